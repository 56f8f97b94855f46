#include "model/files/bytes.h"

#include <algorithm>
#include <limits>

ByteReader::ByteReader(std::FILE* f, std::size_t buffer) : buffer_(std::max<std::size_t>(buffer, 1)) {
  const long at = f ? std::ftell(f) : -1;
  if (at >= 0 && std::fseek(f, 0, SEEK_END) == 0) {
    const long end = std::ftell(f);
    const bool back = std::fseek(f, at, SEEK_SET) == 0;
    if (back && end >= at) {
      stream_ = f;
      stream_start_ = at;
      size_ = static_cast<std::size_t>(end - at);
      return;
    }
    if (!back) {
      failed_ = true;
      return;
    }
  }
  // A stream without an end to seek to: all of it now.
  if (!f) return;
  unsigned char block[1 << 16];
  std::size_t n;
  while ((n = std::fread(block, 1, sizeof block, f)) > 0) storage_.insert(storage_.end(), block, block + n);
  buf_ = cur_ = storage_.data();
  end_ = buf_ + storage_.size();
  size_ = storage_.size();
}

bool ByteReader::refill(std::size_t k) {
  if (failed_ || !stream_ || k > left()) {
    failed_ = true;
    return false;
  }
  // The unread bytes move to the front, and as much follows as the buffer
  // holds (all of k, however large).
  const std::size_t have = static_cast<std::size_t>(end_ - cur_);
  const std::size_t at = pos();
  const std::size_t want = std::min(std::max(k, buffer_), left());
  if (storage_.size() < want) {
    std::vector<unsigned char> bigger(want);
    if (have) std::memcpy(bigger.data(), cur_, have);
    storage_.swap(bigger);
  } else if (have) {
    std::memmove(storage_.data(), cur_, have);
  }
  unsigned char* fill = storage_.data() + have;
  std::size_t room = want - have;
  while (room > 0) {
    const std::size_t n = std::fread(fill, 1, room, stream_);
    if (n == 0) break;
    fill += n;
    room -= n;
  }
  buf_ = cur_ = storage_.data();
  end_ = fill;
  base_ = at;
  if (on_refill && !on_refill(on_refill_data)) {
    failed_ = true;
    return false;
  }
  if (static_cast<std::size_t>(end_ - cur_) < k) {
    // The file ended before its size said (it was cut while being read).
    failed_ = true;
    return false;
  }
  return true;
}

bool ByteReader::restart_at(std::size_t pos) {
  if (pos > static_cast<std::size_t>(std::numeric_limits<long>::max() - stream_start_) ||
      std::fseek(stream_, stream_start_ + static_cast<long>(pos), SEEK_SET) != 0) {
    failed_ = true;
    return false;
  }
  base_ = pos;
  buf_ = cur_ = end_ = storage_.data();
  return true;
}

bool ByteReader::skip_far(std::size_t n) {
  if (failed_ || !stream_ || n > left()) {
    failed_ = true;
    return false;
  }
  return restart_at(pos() + n);
}

void ByteReader::seek(std::size_t pos) {
  if (pos > size_) pos = size_;
  if (pos >= base_ && pos - base_ <= static_cast<std::size_t>(end_ - buf_)) {
    cur_ = buf_ + (pos - base_);
    return;
  }
  if (!stream_) {
    failed_ = true;
    return;
  }
  restart_at(pos);
}
