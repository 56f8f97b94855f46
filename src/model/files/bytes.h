#pragma once

// Big-endian encoding of the chunk files, shared by the stream primitives
// (model/files/fio.h) and the in-memory chunk reader and writer. Doubles and
// floats travel as their IEEE-754 bit patterns, so the bytes never depend on
// the host's byte order.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

inline void be_store16(unsigned char* p, uint16_t v) {
  p[0] = static_cast<unsigned char>(v >> 8);
  p[1] = static_cast<unsigned char>(v);
}
inline void be_store32(unsigned char* p, uint32_t v) {
  p[0] = static_cast<unsigned char>(v >> 24);
  p[1] = static_cast<unsigned char>(v >> 16);
  p[2] = static_cast<unsigned char>(v >> 8);
  p[3] = static_cast<unsigned char>(v);
}
inline void be_store64(unsigned char* p, uint64_t v) {
  be_store32(p, static_cast<uint32_t>(v >> 32));
  be_store32(p + 4, static_cast<uint32_t>(v));
}
inline uint16_t be_load16(const unsigned char* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
inline uint32_t be_load32(const unsigned char* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}
inline uint64_t be_load64(const unsigned char* p) {
  return (uint64_t{be_load32(p)} << 32) | be_load32(p + 4);
}

// Collects bytes in memory and hands them to a stream in large blocks. A
// failed write of the stream sticks: every later call does nothing and ok()
// stays false. Without a stream the bytes stay in memory (bytes()).
class ByteWriter {
 public:
  explicit ByteWriter(std::FILE* stream = nullptr) : stream_(stream) {}
  ByteWriter(const ByteWriter&) = delete;
  ByteWriter& operator=(const ByteWriter&) = delete;
  ~ByteWriter() { flush(); }

  void u8(uint8_t v) { buf_.push_back(v); }
  void u16(uint16_t v) {
    unsigned char b[2];
    be_store16(b, v);
    append(b, 2);
  }
  void u32(uint32_t v) {
    unsigned char b[4];
    be_store32(b, v);
    append(b, 4);
  }
  void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
  void f64(double v) {
    unsigned char b[8];
    be_store64(b, std::bit_cast<uint64_t>(v));
    append(b, 8);
  }
  void tag(const char* t) { append(reinterpret_cast<const unsigned char*>(t), 4); }
  void block(const void* p, std::size_t n) { append(static_cast<const unsigned char*>(p), n); }
  void zeros(std::size_t n) { buf_.insert(buf_.end(), n, 0); }
  // A chunk head: tag and payload size (uint32).
  void chunk(const char* t, uint32_t size) {
    tag(t);
    u32(size);
  }

  // Hands the collected bytes to the stream when they are many.
  void maybe_flush() {
    if (stream_ && buf_.size() >= FLUSH_AT) flush();
  }
  // Hands every collected byte to the stream; returns ok().
  bool flush() {
    if (!stream_) return ok_;
    if (ok_ && !buf_.empty() && std::fwrite(buf_.data(), 1, buf_.size(), stream_) != buf_.size()) ok_ = false;
    buf_.clear();
    return ok_;
  }
  bool ok() const { return ok_; }
  const std::vector<unsigned char>& bytes() const { return buf_; }

 private:
  static constexpr std::size_t FLUSH_AT = 1 << 16;
  void append(const unsigned char* p, std::size_t n) { buf_.insert(buf_.end(), p, p + n); }

  std::FILE* stream_;
  std::vector<unsigned char> buf_;
  bool ok_ = true;
};

// Reads big-endian items from a block of memory, or from a stream through a
// buffer that is refilled as the reading goes on, so that a large file is
// never held whole. A read past the end fails, leaves the destination
// unchanged and sets the sticky failed flag. Positions count from where the
// reading began.
class ByteReader {
 public:
  ByteReader(const unsigned char* data, std::size_t size)
      : cur_(data), end_(data + size), buf_(data), size_(size) {}
  // The rest of stream f through a buffer of about buffer bytes (more when a
  // single item needs it). A stream whose end cannot be found by seeking (a
  // pipe) is read whole into memory first.
  ByteReader(std::FILE* f, std::size_t buffer);
  ByteReader(const ByteReader&) = delete;
  ByteReader& operator=(const ByteReader&) = delete;

  std::size_t pos() const { return base_ + static_cast<std::size_t>(cur_ - buf_); }
  std::size_t left() const { return size_ - pos(); }
  bool failed() const { return failed_; }
  void fail() { failed_ = true; }
  // The bytes from the position on: of a block all that are left, of a
  // stream those the buffer holds.
  const unsigned char* here() const { return cur_; }

  bool u8(uint8_t& v) {
    if (!need(1)) return false;
    v = *cur_++;
    return true;
  }
  bool u16(uint16_t& v) {
    if (!need(2)) return false;
    v = be_load16(cur_);
    cur_ += 2;
    return true;
  }
  bool u32(uint32_t& v) {
    if (!need(4)) return false;
    v = be_load32(cur_);
    cur_ += 4;
    return true;
  }
  bool i32(int32_t& v) {
    uint32_t u;
    if (!u32(u)) return false;
    v = static_cast<int32_t>(u);
    return true;
  }
  bool f64(double& v) {
    if (!need(8)) return false;
    v = std::bit_cast<double>(be_load64(cur_));
    cur_ += 8;
    return true;
  }
  // n raw bytes; the view points into the block or the buffer and holds
  // until the next read.
  bool block(std::size_t n, std::string_view& v) {
    if (!need(n)) return false;
    v = std::string_view(reinterpret_cast<const char*>(cur_), n);
    cur_ += n;
    return true;
  }
  bool skip(std::size_t n) {
    if (!failed_ && n <= static_cast<std::size_t>(end_ - cur_)) {
      cur_ += n;
      return true;
    }
    return skip_far(n);
  }
  // To a position (clamped to the end); going back before the buffer seeks
  // the stream, and a stream that cannot seek fails the reader.
  void seek(std::size_t pos);

  // Called with data after each piece read from the stream (a reader shows
  // its progress by it); false stops the reading: the reader fails.
  bool (*on_refill)(void* data) = nullptr;
  void* on_refill_data = nullptr;

 private:
  bool need(std::size_t k) {
    if (!failed_ && k <= static_cast<std::size_t>(end_ - cur_)) return true;
    return refill(k);
  }
  // Makes k bytes readable at cur_, or fails.
  bool refill(std::size_t k);
  bool skip_far(std::size_t n);
  // Starts the buffer empty at position pos of the stream.
  bool restart_at(std::size_t pos);

  const unsigned char* cur_ = nullptr;
  const unsigned char* end_ = nullptr;
  const unsigned char* buf_ = nullptr;  // position base_ of the data
  std::size_t base_ = 0;
  std::size_t size_ = 0;  // of all the data, from where the reading began
  bool failed_ = false;
  std::FILE* stream_ = nullptr;  // null: the data are all in memory
  long stream_start_ = 0;        // the stream's offset of position 0
  std::size_t buffer_ = 0;
  std::vector<unsigned char> storage_;
};
