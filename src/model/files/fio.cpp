#include "model/files/fio.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "model/elem.h"
#include "model/files/bytes.h"

namespace {

bool read_exact(std::FILE* f, unsigned char* b, std::size_t n) { return std::fread(b, 1, n, f) == n; }
int write_exact(std::FILE* f, const unsigned char* b, std::size_t n) {
  return std::fwrite(b, 1, n, f) == n ? 1 : 0;
}

// Makes a rename in path's folder last. A folder the system cannot sync
// (no read permission, a file system that refuses) does not fail a write
// whose file is already in place; an error of the disk does.
bool sync_folder_of(const std::string& path) {
  std::string folder = std::filesystem::path(path).parent_path().string();
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return true;
  const bool ok = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
  ::close(fd);
  return ok;
}

}  // namespace

int fio_read_f64be(std::FILE* f, double* v) {
  unsigned char b[8];
  if (!read_exact(f, b, 8)) return 0;
  *v = std::bit_cast<double>(be_load64(b));
  return 1;
}

int fio_read_u32be(std::FILE* f, uint32_t* v) {
  unsigned char b[4];
  if (!read_exact(f, b, 4)) return 0;
  *v = be_load32(b);
  return 1;
}

int fio_read_i32be(std::FILE* f, int32_t* v) {
  uint32_t u;
  if (!fio_read_u32be(f, &u)) return 0;
  *v = static_cast<int32_t>(u);
  return 1;
}

int fio_read_u16be(std::FILE* f, uint16_t* v) {
  unsigned char b[2];
  if (!read_exact(f, b, 2)) return 0;
  *v = be_load16(b);
  return 1;
}

int fio_read_i16be(std::FILE* f, int16_t* v) {
  uint16_t u;
  if (!fio_read_u16be(f, &u)) return 0;
  *v = static_cast<int16_t>(u);
  return 1;
}

int fio_read_u8(std::FILE* f, uint8_t* v) {
  unsigned char b;
  if (!read_exact(f, &b, 1)) return 0;
  *v = b;
  return 1;
}

int fio_read_i8(std::FILE* f, int8_t* v) {
  uint8_t u;
  if (!fio_read_u8(f, &u)) return 0;
  *v = static_cast<int8_t>(u);
  return 1;
}

int fio_read_block(std::FILE* f, void* buf, int n) {
  if (n < 0) return 0;
  if (n == 0) return 1;
  return read_exact(f, static_cast<unsigned char*>(buf), static_cast<std::size_t>(n)) ? 1 : 0;
}

int fio_write_f64be(std::FILE* f, const double* v) {
  unsigned char b[8];
  be_store64(b, std::bit_cast<uint64_t>(*v));
  return write_exact(f, b, 8);
}

int fio_write_f32be(std::FILE* f, const float* v) {
  unsigned char b[4];
  be_store32(b, std::bit_cast<uint32_t>(*v));
  return write_exact(f, b, 4);
}

int fio_write_u32be(std::FILE* f, const uint32_t* v) {
  unsigned char b[4];
  be_store32(b, *v);
  return write_exact(f, b, 4);
}

int fio_write_i32be(std::FILE* f, const int32_t* v) {
  const uint32_t u = static_cast<uint32_t>(*v);
  return fio_write_u32be(f, &u);
}

int fio_write_u16be(std::FILE* f, const uint16_t* v) {
  unsigned char b[2];
  be_store16(b, *v);
  return write_exact(f, b, 2);
}

int fio_write_i16be(std::FILE* f, const int16_t* v) {
  const uint16_t u = static_cast<uint16_t>(*v);
  return fio_write_u16be(f, &u);
}

int fio_write_u8(std::FILE* f, const uint8_t* v) { return write_exact(f, v, 1); }

int fio_write_i8(std::FILE* f, const int8_t* v) {
  const uint8_t u = static_cast<uint8_t>(*v);
  return fio_write_u8(f, &u);
}

int fio_write_block(std::FILE* f, const void* buf, int n) {
  if (n < 0) return 0;
  if (n == 0) return 1;
  return write_exact(f, static_cast<const unsigned char*>(buf), static_cast<std::size_t>(n));
}

int fio_write_chunk_header(std::FILE* f, const char* tag, uint32_t size) {
  return fio_write_block(f, tag, 4) && fio_write_u32be(f, &size);
}

int kavfile_write_elem_header(std::FILE* f, const ElemHeader* e) {
  return fio_write_u16be(f, &e->layer) && fio_write_u16be(f, &e->group) && fio_write_u8(f, &e->pen) &&
         fio_write_u8(f, &e->line_type);
}

int fio_read_line(std::FILE* f, char* buf) {
  constexpr int stored_max = FIO_LINE_MAX - 1;  // characters before the terminator
  int n = 0;
  for (;;) {
    const int c = std::getc(f);
    if (c == EOF) {
      buf[n] = '\0';
      return n > 0 ? static_cast<int>(std::strlen(buf)) : -1;
    }
    if (c == '\n') break;
    if (c == '\r') {
      // CR LF and a lone CR both end the line; the character after a lone CR
      // belongs to the next line.
      const int d = std::getc(f);
      if (d != '\n' && d != EOF) std::ungetc(d, f);
      break;
    }
    buf[n++] = static_cast<char>(c);
    if (n == stored_max) {
      buf[n] = '\0';
      return 0;
    }
  }
  buf[n] = '\0';
  return static_cast<int>(std::strlen(buf));
}

int fio_shell_rm(const char* path) {
  if (!path || !*path) return -1;
  std::error_code ec;
  const auto st = std::filesystem::symlink_status(path, ec);
  if (ec || std::filesystem::is_directory(st)) return -1;
  return std::filesystem::remove(path, ec) && !ec ? 0 : -1;
}

FioSafeWriter::FioSafeWriter(const std::string& path) : path_(path) {
  if (path.empty()) return;
  std::string name = path + ".XXXXXX";
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return;
  tmp_ = name;
  // mkostemp makes the file private; give it the target's permissions, or
  // those any new file gets under the user's mask.
  struct stat st;
  mode_t mode;
  if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);  // reading the mask sets it: put it back (one thread)
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd, mode);
  stream_ = FioFile(::fdopen(fd, "wb"));
  if (!stream_) {
    ::close(fd);
    ::unlink(tmp_.c_str());
    tmp_.clear();
  }
}

FioSafeWriter::~FioSafeWriter() {
  stream_.close();
  if (!tmp_.empty()) ::unlink(tmp_.c_str());
}

bool FioSafeWriter::commit() {
  if (!stream_) return false;
  std::FILE* f = stream_.get();
  bool ok = std::fflush(f) == 0 && !std::ferror(f);
  ok = ok && ::fsync(fileno(f)) == 0;  // the bytes are on disk before the name points at them
  ok = stream_.close() && ok;
  ok = ok && std::rename(tmp_.c_str(), path_.c_str()) == 0;
  if (!ok) return false;  // the destructor removes the temporary file
  tmp_.clear();           // renamed: nothing left to remove
  return sync_folder_of(path_);
}
