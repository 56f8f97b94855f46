#include "model/files/fio.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "model/elem.h"
#include "model/files/bytes.h"
#include "platform/process.h"

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

// A temporary file of the safe writer is named
//   TARGET.kavro-tmp.HOST.PID.START.XXXXXX
// after the machine and the process (its id and start time) that write it,
// so that one left behind by a writer that was killed can be told from the
// user's own files and from those of writers that still run, here or on
// another machine sharing the folder.
constexpr std::string_view TEMP_MARK = ".kavro-tmp.";
constexpr std::size_t NAME_BYTES_MAX = 255;

std::string host_name() {
  char host[HOST_NAME_MAX + 1] = {};
  if (::gethostname(host, sizeof host - 1) != 0 || !host[0]) return "localhost";
  std::string name = host;
  for (char& c : name)
    if (c == '/') c = '_';
  return name;
}

bool all_digits(std::string_view s) {
  return !s.empty() && s.size() <= 20 && s.find_first_not_of("0123456789") == std::string_view::npos;
}

// The writer's id and start time from a temporary file's name, when the
// name is one of ours and from this machine.
bool temp_writer(std::string_view name, const std::string& host, int& pid, unsigned long long& start) {
  const std::size_t mark = name.rfind(TEMP_MARK);
  if (mark == std::string_view::npos) return false;
  std::string_view rest = name.substr(mark + TEMP_MARK.size());  // HOST.PID.START.XXXXXX
  const std::size_t last = rest.rfind('.');
  if (last == std::string_view::npos || rest.size() - last - 1 != 6) return false;
  rest = rest.substr(0, last);
  const std::size_t dot_start = rest.rfind('.');
  if (dot_start == std::string_view::npos || !all_digits(rest.substr(dot_start + 1))) return false;
  const std::string_view start_text = rest.substr(dot_start + 1);
  rest = rest.substr(0, dot_start);
  const std::size_t dot_pid = rest.rfind('.');
  if (dot_pid == std::string_view::npos || !all_digits(rest.substr(dot_pid + 1))) return false;
  if (rest.substr(0, dot_pid) != host) return false;
  const unsigned long long id = std::strtoull(std::string(rest.substr(dot_pid + 1)).c_str(), nullptr, 10);
  if (id == 0 || id > static_cast<unsigned long long>(INT_MAX)) return false;
  pid = static_cast<int>(id);
  start = std::strtoull(std::string(start_text).c_str(), nullptr, 10);
  return true;
}

// Removes the temporary files in folder that writers of this program on
// this machine left behind when they ended before renaming them: plain
// files of this user whose writer no longer runs. Nothing else is touched.
void remove_abandoned_temps(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  const std::string host = host_name();
  const uid_t me = ::getuid();
  while (const dirent* entry = ::readdir(dir)) {
    int pid = 0;
    unsigned long long start = 0;
    if (!temp_writer(entry->d_name, host, pid, start)) continue;
    if (process_is_running(pid, start)) continue;
    struct stat st;
    if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(st.st_mode) || st.st_uid != me) continue;
    ::unlinkat(::dirfd(dir), entry->d_name, 0);
  }
  ::closedir(dir);
}

// The pattern of a new temporary file beside path (mkostemp fills the Xs);
// a long target name is cut so that the name stays within the file system's
// limit (a host name is at most 64 bytes, so the tail always fits).
std::string temp_pattern(const std::string& path) {
  const int pid = static_cast<int>(::getpid());
  const std::string tail = std::string(TEMP_MARK) + host_name() + "." + std::to_string(pid) + "." +
                           std::to_string(process_start_ticks(pid)) + ".XXXXXX";
  const std::size_t slash = path.rfind('/');
  const std::size_t base_at = slash == std::string::npos ? 0 : slash + 1;
  std::string base = path.substr(base_at);
  if (base.size() + tail.size() > NAME_BYTES_MAX) base.resize(NAME_BYTES_MAX - tail.size());
  return path.substr(0, base_at) + base + tail;
}

std::string folder_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
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
  remove_abandoned_temps(folder_of(path));
  std::string name = temp_pattern(path);
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
