#pragma once

// Helpers of the file tests: an independent byte builder that spells out a
// chunk the way the file format's tables give it (offsets checked as it
// goes), streams over bytes in memory, and temporary folders.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "model/elem.h"
#include "model/files/kavfile.h"
#include "support/test_records.h"

using ByteVec = std::vector<unsigned char>;

class Bytes {
 public:
  Bytes& raw(const void* p, std::size_t n) {
    const auto* c = static_cast<const unsigned char*>(p);
    b_.insert(b_.end(), c, c + n);
    return *this;
  }
  Bytes& u8(unsigned v) {
    b_.push_back(static_cast<unsigned char>(v));
    return *this;
  }
  Bytes& u16(unsigned v) { return u8((v >> 8) & 0xFF).u8(v & 0xFF); }
  Bytes& u32(uint32_t v) { return u16(v >> 16).u16(v & 0xFFFF); }
  Bytes& i32(int32_t v) { return u32(static_cast<uint32_t>(v)); }
  Bytes& f64(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    for (int shift = 56; shift >= 0; shift -= 8) u8(static_cast<unsigned>(bits >> shift) & 0xFF);
    return *this;
  }
  Bytes& tag(const char* t) { return raw(t, 4); }
  // A fixed text field: the text, then zeros to n bytes.
  Bytes& text(const std::string& s, std::size_t n) {
    raw(s.data(), s.size());
    b_.insert(b_.end(), n - s.size(), 0);
    return *this;
  }
  Bytes& zeros(std::size_t n) {
    b_.insert(b_.end(), n, 0);
    return *this;
  }
  // A chunk head with a 32-bit size; the payload offsets count from here.
  Bytes& chunk(const char* t, uint32_t size) {
    tag(t).u32(size);
    payload_ = b_.size();
    return *this;
  }
  // An old chunk head with a 16-bit size.
  Bytes& chunk16(const char* t, uint16_t size) {
    tag(t).u16(size);
    payload_ = b_.size();
    return *this;
  }
  Bytes& head(unsigned layer, unsigned group, unsigned pen, unsigned line_type) {
    return u16(layer).u16(group).u8(pen).u8(line_type);
  }
  // Checks that the next byte written stands at this payload offset.
  Bytes& at(std::size_t offset) {
    EXPECT_EQ(b_.size() - payload_, offset) << "payload offset";
    return *this;
  }
  Bytes& append(const ByteVec& v) { return raw(v.data(), v.size()); }
  std::size_t payload_size() const { return b_.size() - payload_; }
  const ByteVec& bytes() const { return b_; }
  operator const ByteVec&() const { return b_; }  // NOLINT

 private:
  ByteVec b_;
  std::size_t payload_ = 0;
};

inline ByteVec kavw_header(int32_t version = 300) { return Bytes().chunk("KAVW", 4).i32(version).bytes(); }

// What a writer puts into a stream, collected in memory.
template <class Fn>
ByteVec written_by(Fn fn) {
  std::FILE* f = std::tmpfile();
  EXPECT_NE(f, nullptr);
  EXPECT_TRUE(fn(f));
  std::fflush(f);
  std::rewind(f);
  ByteVec out;
  int c;
  while ((c = std::getc(f)) != EOF) out.push_back(static_cast<unsigned char>(c));
  std::fclose(f);
  return out;
}

// A stream positioned at the start of bytes; the caller closes it.
inline std::FILE* stream_of(const ByteVec& bytes) {
  std::FILE* f = std::tmpfile();
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::rewind(f);
  return f;
}
inline std::FILE* stream_of(const std::string& s) { return stream_of(ByteVec(s.begin(), s.end())); }

inline std::string hex(const ByteVec& v, std::size_t from = 0, std::size_t n = std::string::npos) {
  std::string out;
  char b[4];
  for (std::size_t i = from; i < v.size() && i - from < n; ++i) {
    std::snprintf(b, sizeof b, "%02X ", v[i]);
    out += b;
  }
  if (!out.empty()) out.pop_back();
  return out;
}

// Where two byte strings first differ, for failure messages.
inline std::string first_difference(const ByteVec& a, const ByteVec& b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  if (i == a.size() && i == b.size()) return "equal";
  return "first difference at byte " + std::to_string(i) + " of " + std::to_string(a.size()) + "/" +
         std::to_string(b.size()) + ": " + hex(a, i, 8) + " | " + hex(b, i, 8);
}

inline ByteVec file_bytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return ByteVec(std::istreambuf_iterator<char>(in), {});
}

inline void put_file(const std::filesystem::path& p, const ByteVec& bytes) {
  std::filesystem::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The names in a folder, sorted.
inline std::vector<std::string> names_in(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A fresh temporary folder, removed again with the object.
class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "kavro-test-XXXXXX").string();
    path_ = ::mkdtemp(tmpl.data()) ? std::filesystem::path(tmpl) : std::filesystem::path();
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// One element of each of the twelve kinds, with values that differ from one
// another, appended to the drawing in kind order. Groups: the arc 5, the
// mesh and the room 9, the others none.
inline void add_one_of_each_kind() {
  elem_new_line(7, 2, 1, 0, 0, 1, 2);
  elem_new_arc(3, 1, 0, 1.5, 2.5, 3, 4, 6.25, 0.5, 0.125);
  elem_list_tail->group = 5;
  TextElem text = test_text(10, 20, "abc");
  text.layer = 3;
  text.angle = 0.5;
  text.fit_length = 4.0;
  text.alignment = TEXT_CENTRED;
  elem_append(text);
  DimPoint dp[3];  // a level dimension has exactly three entries
  for (int i = 0; i < 3; ++i) {
    const double b = 10.0 * (i + 1);
    dp[i].line_point = {b + 1, b + 2, 0};
    dp[i].measured = {b + 3, b + 4, 0};
    dp[i].segment_length = b + 5;
    dp[i].override_value = b + 6;
    dp[i].second_value = b + 7;
    dp[i].sixth_value = b + 8;
    dp[i].text_dx = b + 9;
    dp[i].text_dy = b + 9.5;
  }
  DimElem dim;
  dim.layer = 4;
  dim.pen = 1;
  dim.line_type = 2;
  dim.figure_pen = 3;
  dim.figure_line_type = 4;
  dim.direction = 0.75;
  dim.figure_size = 2.5;
  dim.figure_width = 1.0;
  dim.figure_space = 0.1;
  dim.chain_space = 1.5;
  dim.help_line_length = 1.25;
  dim.font = "Rund";
  dim.format = 3;
  dim.end_mark = DIM_MARK_ARROW;
  dim.dim_kind = DIM_LEVEL;
  dim.points.assign(dp, dp + 3);
  elem_append(dim);
  double corners[24];
  for (int i = 0; i < 24; ++i) corners[i] = i * 0.5;
  WallSegment segs[4];
  for (int i = 0; i < 4; ++i) segs[i] = {{i + 0.1, i + 0.2, 0}, {i + 0.3, i + 0.4, 0}};
  WallOpening op[1];
  for (int i = 0; i < 8; ++i) op[0].corner[i] = {100.0 + i, 200.0 + i, 300.0 + i, 0};
  op[0].kind = OPENING_WINDOW;
  op[0].symbol_style = 2;
  op[0].leaf_quadrant = 3;
  op[0].sill = 1.0;
  op[0].height = 1.51;
  op[0].stop_width = 0.0625;
  op[0].stop_depth = 0.115;
  elem_new_wall(5, 3, 0, corners, 4, segs, 1, op, "Brick", 1, 1, 2, 3, 4, 5, 6);
  PatternElem pattern;
  pattern.layer = 6;
  pattern.pen = 1;
  pattern.line_type = 2;
  pattern.type = PATTERN_TWO_LINES;
  pattern.origin = Point2{1, 2, 0};
  pattern.angle1 = 0.25;
  pattern.spacing1 = 0.5;
  pattern.pen2 = 3;
  pattern.line_type2 = 4;
  pattern.offset = Point2{0.5, 0.25, 0};
  pattern.angle2 = 1.25;
  pattern.spacing2 = 0.75;
  pattern.r = 0.1;
  pattern.g = 0.2;
  pattern.b = 0.3;
  pattern.points = {{0, 0, 0}, {4, 0, 0}, {4, 3, 0}, {0, 3, 0}, CONTOUR_END};
  elem_append(pattern);
  elem_new_spline(0, 4, 0, 0, 0, 1, 1, 2, 1, 3, 0);
  elem_new_line3d(8, 5, 1, 1, 2, 3, 4, 5, 6);
  Point3 verts[4] = {{0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
  const int32_t sizes[2] = {3, 3};
  const int32_t idx[6] = {0, 1, 2, 0, -3, 1};
  elem_new_mesh(9, 6, 0, 4, 2, sizes, verts, idx, "Glas", 1);
  elem_list_tail->group = 9;
  elem_new_camera(0, 99, 0, 0, -100, 2, 0, 0, 2, 60, 1);
  RoomElem room = test_room(1, 1, {{0, 0, 0}, {5, 0, 0}, {5, 4, 0}, {0, 4, 0}});
  room.layer = 11;
  room.pen = 7;
  room.line_type = 3;
  room.angle = 0.25;
  room.description = "Kitchen";
  room.number = "1.02";
  room.top_z = 2.75;
  room.show_area = 1;
  room.show_description = 1;
  elem_append(room);
  elem_list_tail->group = 9;
  LightElem light;
  light.layer = 12;
  light.type = LIGHT_SPOT;
  light.shadow = 1;
  light.light_size = 6.0;
  light.angle = 20.0;
  light.shadow_intensity = 0.5;
  light.position = Point3{1, 2, 3, 0};
  light.target = Point3{4, 5, 0, 0};
  light.r = 0.9;
  light.g = 0.8;
  light.b = 0.7;
  elem_append(light);
}

// Reads a whole chunk file (header included) into the current drawing.
struct ReadResult {
  int version = 0;
  int result = -1;
  KavReadReport report;
};
inline ReadResult read_file_bytes(const ByteVec& file, int mark = 0, int flags = 0) {
  ReadResult r;
  std::FILE* f = stream_of(file);
  r.version = kavfile_read_header(f);
  if (r.version) r.result = kavfile_read_chunks(f, mark, flags, &r.report);
  std::fclose(f);
  return r;
}
