#include "model/files/fio_read.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "model/nls.h"
#include "model/ui.h"

namespace {

// The progress window of one reading with its Cancel button, opened only
// for a large one and closed however the reading ends.
class ReadProgress {
 public:
  ReadProgress(const char* title, std::size_t total) : total_(total) {
    if (total_ >= FIO_PROGRESS_FROM) {
      ui().gui_progress_open_cancel(nls_translate(title ? title : ""));
      open_ = true;
    }
  }
  ~ReadProgress() {
    if (open_) ui().gui_progress_close();
  }
  ReadProgress(const ReadProgress&) = delete;
  ReadProgress& operator=(const ReadProgress&) = delete;

  void at(std::size_t done) const {
    if (open_) ui().gui_progress_update(static_cast<double>(done) / static_cast<double>(total_));
  }
  bool cancelled() const { return open_ && ui().gui_progress_cancelled(); }

 private:
  std::size_t total_;
  bool open_ = false;
};

}  // namespace

const char* fio_read_error_text(FioReadError error) {
  switch (error) {
    case FioReadError::NONE:
      break;
    case FioReadError::NO_PERMISSION:
      return nls_mark("You have no permission to read this file.");
    case FioReadError::MISSING:
      return nls_mark("The file does not exist.");
    case FioReadError::FOLDER:
      return nls_mark("This is a folder, not a file.");
    case FioReadError::UNREADABLE:
      return nls_mark("The file cannot be read.");
    case FioReadError::EMPTY:
      return nls_mark("The file is empty.");
    case FioReadError::TOO_LARGE:
      return nls_mark("The file is larger than a file of its kind can be.");
    case FioReadError::CUT_SHORT:
      return nls_mark("The file is cut short.");
    case FioReadError::CANCELLED:
      return nls_mark("Import cancelled.");
  }
  return "";
}

std::string fio_read_error_message(const char* what, FioReadError error) {
  std::string text = nls_translate(what);
  if (error != FioReadError::NONE) text += std::string("\n") + nls_translate(fio_read_error_text(error));
  return text;
}

FioReadError fio_read_error_of(int err) {
  switch (err) {
    case 0:
      return FioReadError::NONE;
    case EACCES:
    case EPERM:
      return FioReadError::NO_PERMISSION;
    case ENOENT:
    case ENOTDIR:
      return FioReadError::MISSING;
    case EISDIR:
      return FioReadError::FOLDER;
    default:
      return FioReadError::UNREADABLE;
  }
}

FioFile fio_open_read(const std::string& path, FioReadError& error) {
  errno = 0;
  FioFile f(path.c_str(), "rb");
  if (!f) {
    error = fio_read_error_of(errno == 0 ? EIO : errno);
    return f;
  }
  struct stat st;
  if (::fstat(fileno(f.get()), &st) != 0) {
    error = fio_read_error_of(errno);
    return FioFile();
  }
  if (S_ISDIR(st.st_mode)) {
    error = FioReadError::FOLDER;
    return FioFile();
  }
  error = FioReadError::NONE;
  return f;
}

int64_t fio_bytes_left(std::FILE* f) {
  struct stat st;
  const long here = std::ftell(f);
  if (here < 0 || ::fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < here) return -1;
  return static_cast<int64_t>(st.st_size) - here;
}

FioReadError fio_read_pieces(std::FILE* f, std::size_t count, const char* title,
                             const std::function<bool(std::string_view piece)>& take) {
  ReadProgress progress(title, count);
  std::string piece;
  std::size_t done = 0;
  while (done < count) {
    piece.resize(std::min(FIO_READ_PIECE, count - done));
    errno = 0;
    const std::size_t n = std::fread(piece.data(), 1, piece.size(), f);
    done += n;
    const bool short_read = n < piece.size();
    piece.resize(n);
    if (n > 0 && !take(piece)) return FioReadError::NONE;
    if (short_read)
      return std::ferror(f) ? fio_read_error_of(errno == 0 ? EIO : errno) : FioReadError::CUT_SHORT;
    progress.at(done);
    if (progress.cancelled()) return FioReadError::CANCELLED;
  }
  return FioReadError::NONE;
}

FioReadError fio_read_bytes(std::FILE* f, std::size_t count, const char* title, std::string& bytes) {
  bytes.clear();
  bytes.reserve(count);
  const FioReadError e = fio_read_pieces(f, count, title, [&bytes](std::string_view piece) {
    bytes += piece;
    return true;
  });
  // What was read before a Cancel is not kept waiting for its owner.
  if (e == FioReadError::CANCELLED) std::string().swap(bytes);
  return e;
}

FioReadError fio_read_rest(std::FILE* f, std::size_t max, const char* title, std::string& bytes) {
  bytes.clear();
  const int64_t left = fio_bytes_left(f);
  if (left >= 0) {
    if (static_cast<uint64_t>(left) > max) return FioReadError::TOO_LARGE;
    if (left == 0) return FioReadError::EMPTY;
    return fio_read_bytes(f, static_cast<std::size_t>(left), title, bytes);
  }
  // A stream without a size (a pipe): pieces until its end or past max.
  std::string piece;
  for (;;) {
    const FioReadError e = fio_read_bytes(f, FIO_READ_PIECE, nullptr, piece);
    bytes += piece;
    if (bytes.size() > max) {
      bytes.clear();
      return FioReadError::TOO_LARGE;
    }
    if (e == FioReadError::CUT_SHORT) return bytes.empty() ? FioReadError::EMPTY : FioReadError::NONE;
    if (e != FioReadError::NONE) return e;
  }
}

FioStreamProgress::FioStreamProgress(std::FILE* f, const char* title, double share) : f_(f), share_(share) {
  start_ = f ? std::ftell(f) : -1;
  size_ = f && start_ >= 0 ? fio_bytes_left(f) : -1;
  if (size_ >= static_cast<int64_t>(FIO_PROGRESS_FROM)) {
    ui().gui_progress_open_cancel(nls_translate(title ? title : ""));
    open_ = true;
  }
}

FioStreamProgress::~FioStreamProgress() { close(); }

void FioStreamProgress::close() {
  if (open_) ui().gui_progress_close();
  open_ = false;
}

bool FioStreamProgress::at(double fraction) {
  if (!open_ || cancelled_) return !cancelled_;
  ui().gui_progress_update(fraction);
  cancelled_ = ui().gui_progress_cancelled();
  return !cancelled_;
}

bool FioStreamProgress::step() {
  if (!open_ || ++steps_ < STEPS_PER_LOOK) return !cancelled_;
  steps_ = 0;
  return look();
}

bool FioStreamProgress::look() {
  if (!open_ || cancelled_) return !cancelled_;
  const long pos = std::ftell(f_);
  if (pos < start_) {
    cancelled_ = ui().gui_progress_cancelled();
    return !cancelled_;
  }
  return at(share_ * static_cast<double>(pos - start_) / static_cast<double>(size_));
}
