#pragma once

// Reading the file of an import: why it cannot be opened or read, said so
// the user learns what is wrong, and its bytes read in pieces so that a
// large file shows the progress window instead of a frozen one.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "model/files/fio.h"

enum class FioReadError {
  NONE,
  NO_PERMISSION,  // the user may not read the file
  MISSING,        // there is no file of that name
  FOLDER,         // the name is a folder's
  UNREADABLE,     // any other failure of the system
  EMPTY,          // the file holds no byte
  TOO_LARGE,      // larger than its kind of file can be
  CUT_SHORT,      // the file ended before the bytes asked for
  CANCELLED,      // Cancel was pressed in the progress window: no error
};

// The message of an error, in English (translate it to show it); "" for NONE.
const char* fio_read_error_text(FioReadError error);
// A message box text: what failed (translated) and on a line of its own why.
std::string fio_read_error_message(const char* what, FioReadError error);
// The error of a failed open or read by the system's error number.
FioReadError fio_read_error_of(int err);

// Opens path for reading; on failure error says why. A folder, which the
// system lets open, is refused here.
FioFile fio_open_read(const std::string& path, FioReadError& error);

// The bytes from f's position to its end, -1 when that cannot be told.
int64_t fio_bytes_left(std::FILE* f);

// Reads with the progress window from this many bytes on.
inline constexpr std::size_t FIO_PROGRESS_FROM = std::size_t{8} << 20;
// The piece read between two progress updates.
inline constexpr std::size_t FIO_READ_PIECE = std::size_t{1} << 20;

// Reads count bytes from f in pieces of FIO_READ_PIECE bytes and hands each
// to take, which returns false to stop the reading (NONE is returned then).
// From FIO_PROGRESS_FROM bytes on the progress window titled title shows how
// far the reading is; its Cancel stops the reading after the piece (then
// CANCELLED). CUT_SHORT when the file ends first, UNREADABLE (or
// NO_PERMISSION ...) on a failure of the system.
FioReadError fio_read_pieces(std::FILE* f, std::size_t count, const char* title,
                             const std::function<bool(std::string_view piece)>& take);

// Reads count bytes from f into bytes, in pieces. From FIO_PROGRESS_FROM
// bytes on the progress window titled title shows how far the reading is
// (CANCELLED, bytes emptied, when its Cancel was pressed). CUT_SHORT when
// the file ends first, UNREADABLE on a failure of the system.
FioReadError fio_read_bytes(std::FILE* f, std::size_t count, const char* title, std::string& bytes);

// Reads the rest of f into bytes as fio_read_bytes does; a file of more than
// max bytes is refused before a byte is read (TOO_LARGE), an empty one is
// EMPTY.
FioReadError fio_read_rest(std::FILE* f, std::size_t max, const char* title, std::string& bytes);

// The progress window of a reader that parses a stream as it goes: opened
// from FIO_PROGRESS_FROM bytes on, it shows the stream's position and a
// Cancel button. The reader calls step() once per item (a line, a point)
// and stops reading as soon as it returns false: every few thousand items
// the window is updated and asked whether Cancel was pressed. Closed when
// the object goes. Work that follows the reading may keep the window: the
// reading then fills the bar up to share, and the later work shows the
// rest through at() or phase().
class FioStreamProgress {
 public:
  FioStreamProgress(std::FILE* f, const char* title, double share = 1.0);
  ~FioStreamProgress();
  FioStreamProgress(const FioStreamProgress&) = delete;
  FioStreamProgress& operator=(const FioStreamProgress&) = delete;

  // False once Cancel was pressed.
  bool step();
  // Shows the position now; false once Cancel was pressed.
  bool look();
  // Cancel was pressed (and stays so after the window closed).
  bool cancelled() const { return cancelled_; }
  // step() as a function for the readers that know no window.
  std::function<bool()> stepper() {
    return [this] { return step(); };
  }
  // Shows the whole work's fraction done; false once Cancel was pressed.
  bool at(double fraction);
  // A later piece of work's fraction, shown in [from, to) of the bar.
  std::function<bool(double)> phase(double from, double to) {
    return [this, from, to](double done) { return at(from + (to - from) * done); };
  }
  // Closes the window now (before a message box, say).
  void close();

 private:
  static constexpr unsigned STEPS_PER_LOOK = 4096;
  std::FILE* f_;
  int64_t start_ = 0;
  int64_t size_ = 0;
  unsigned steps_ = 0;
  double share_ = 1.0;
  bool open_ = false;
  bool cancelled_ = false;
};
