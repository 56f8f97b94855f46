#pragma once

// File primitives: big-endian items on stdio streams, the text line reader
// every text file goes through, removing a file, and writing a file safely
// through a temporary name.
//
// Every item primitive returns 1 when the whole item was read or written and
// 0 otherwise; a failed read leaves the destination unchanged. Callers chain
// them with && and stop at the first 0.

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

struct ElemHeader;

int fio_read_f64be(std::FILE* f, double* v);
int fio_read_i32be(std::FILE* f, int32_t* v);
int fio_read_u32be(std::FILE* f, uint32_t* v);
int fio_read_i16be(std::FILE* f, int16_t* v);
int fio_read_u16be(std::FILE* f, uint16_t* v);
int fio_read_i8(std::FILE* f, int8_t* v);
int fio_read_u8(std::FILE* f, uint8_t* v);
// n raw bytes; n = 0 reads nothing and succeeds.
int fio_read_block(std::FILE* f, void* buf, int n);

int fio_write_f64be(std::FILE* f, const double* v);
int fio_write_f32be(std::FILE* f, const float* v);
int fio_write_i32be(std::FILE* f, const int32_t* v);
int fio_write_u32be(std::FILE* f, const uint32_t* v);
int fio_write_i16be(std::FILE* f, const int16_t* v);
int fio_write_u16be(std::FILE* f, const uint16_t* v);
int fio_write_i8(std::FILE* f, const int8_t* v);
int fio_write_u8(std::FILE* f, const uint8_t* v);
int fio_write_block(std::FILE* f, const void* buf, int n);
// The 4 tag bytes and the payload size as a 32-bit big-endian integer.
int fio_write_chunk_header(std::FILE* f, const char* tag, uint32_t size);
// The 6-byte head of an element chunk: layer and group (16-bit), pen and
// line type (8-bit).
int kavfile_write_elem_header(std::FILE* f, const ElemHeader* e);

// The buffer given to fio_read_line holds at least this many bytes.
inline constexpr int FIO_LINE_MAX = 256;

// Reads one line into buf (FIO_LINE_MAX bytes) and ends it with a NUL in
// place of its line end (LF, CR LF or a lone CR). Returns:
//   the line's length (strlen, so a NUL byte inside the line ends it);
//   0 for an empty line, and for the first 255 characters of a longer line,
//     whose rest the next call returns (callers that stop at 0 therefore
//     stop at an empty line too);
//   -1 at the end of the file.
// A last line without a line end is returned as a line; the next call
// gives -1. The buffer always holds what was stored, terminated.
int fio_read_line(std::FILE* f, char* buf);

// Removes exactly the file at path (never a folder, never through a shell).
// Returns 0 when it was removed, -1 otherwise.
int fio_shell_rm(const char* path);

// Owns a stdio stream and closes it on every way out. close() closes it
// early and tells whether the last buffered bytes reached the file.
class FioFile {
 public:
  FioFile() = default;
  explicit FioFile(std::FILE* f) : f_(f) {}
  FioFile(const char* path, const char* mode) : f_(std::fopen(path, mode)) {}
  ~FioFile() { close(); }
  FioFile(FioFile&& other) noexcept : f_(std::exchange(other.f_, nullptr)) {}
  FioFile& operator=(FioFile&& other) noexcept {
    if (this != &other) {
      close();
      f_ = std::exchange(other.f_, nullptr);
    }
    return *this;
  }
  FioFile(const FioFile&) = delete;
  FioFile& operator=(const FioFile&) = delete;

  std::FILE* get() const { return f_; }
  explicit operator bool() const { return f_ != nullptr; }
  // Closes the stream (nothing when there is none); false when closing failed.
  bool close() {
    if (!f_) return true;
    const bool ok = std::fclose(f_) == 0;
    f_ = nullptr;
    return ok;
  }

 private:
  std::FILE* f_ = nullptr;
};

// Writes a file through a temporary file beside it that is renamed over the
// target on commit(), so a failed or partial write never replaces the old
// file. The temporary file gets a new unique name that says it is ours and
// which process on which machine writes it
// ("<path>.kavro-tmp.<host>.<pid>.<start>.XXXXXX", made exclusively as
// mkstemp does), so no file or link a user keeps beside the target is ever
// touched; it takes an existing target's permissions, or those a new file
// gets. commit() syncs the file before the rename and the folder after it,
// so a crash leaves either the old file or the whole new one. Such a file
// left behind by a writer that was killed is removed by the next writer
// into that folder once its process no longer runs.
class FioSafeWriter {
 public:
  explicit FioSafeWriter(const std::string& path);
  ~FioSafeWriter();
  FioSafeWriter(const FioSafeWriter&) = delete;
  FioSafeWriter& operator=(const FioSafeWriter&) = delete;

  // The stream to write to, null when the temporary file could not be made.
  std::FILE* stream() const { return stream_.get(); }
  // Flushes, syncs and closes the stream, renames the temporary file over
  // the target and syncs the folder. Returns false on any failure; the
  // temporary file is then gone.
  bool commit();

 private:
  std::string path_;
  std::string tmp_;
  FioFile stream_;
};
