// Reading chunk files: older files, unknown chunks, cut and broken files,
// symbols, layers and layer sets.

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "model/file_test_util.h"
#include "model/files/kavfile.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/settings.h"
#include "support/model_fixture.h"
#include "support/recording_ui.h"

namespace {

using KavfileRead = ModelTest;

ByteVec operator+(ByteVec a, const ByteVec& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

ByteVec line_chunk(unsigned layer, double x, unsigned pen = 0, unsigned line_type = 0, unsigned group = 0) {
  return Bytes().chunk("LINE", 38).head(layer, group, pen, line_type).f64(x).f64(0).f64(x).f64(1);
}
ByteVec line16_chunk(unsigned layer, double x) {
  return Bytes().chunk16("LINE", 38).head(layer, 0, 0, 0).f64(x).f64(0).f64(x).f64(1);
}

// The payload of a current element chunk after its head, as the tables give it.
Bytes& text_fixed(Bytes& b, const std::string& font) {
  return b.f64(1).f64(2).text(font, 21).u8(0).f64(0).f64(2.5).f64(1).f64(0).f64(1).f64(0);
}

TEST_F(KavfileRead, OldNumberingMapsLayersTensToHundreds) {
  const std::pair<uint16_t, uint16_t> cases[] = {{0, 0},       {9, 9},        {10, 100},  {25, 205},
                                                 {90, 900},    {99, 909},     {100, 100}, {999, 999},
                                                 {1007, 1007}, {65535, 65535}};
  for (auto [in, out] : cases) EXPECT_EQ(kavfile_map_old_layer(in), out) << in;
  char name[FONT_NAME_LEN];
  const std::pair<int, const char*> fonts[] = {{0, "Simpel"},   {3, "SimpelProp"}, {5, "Outline"},
                                               {6, "Filled_1"}, {11, "Filled_6"},  {12, ""},
                                               {-1, ""}};
  for (auto [n, f] : fonts) {
    kavfile_old_font_name(n, name);
    EXPECT_STREQ(name, f) << n;
  }
}

TEST_F(KavfileRead, Headers) {
  std::FILE* f = stream_of(Bytes().chunk("KAVW", 4).i32(310).bytes());
  EXPECT_EQ(kavfile_read_header(f), 310);
  std::fclose(f);
  f = stream_of(std::string("plain text, not a drawing\n"));
  EXPECT_EQ(kavfile_read_header(f), 0);
  std::fclose(f);
  f = stream_of(ByteVec{'K', 'A', 'V', 'W', 0, 0});
  EXPECT_EQ(kavfile_read_header(f), 0);
  std::fclose(f);
  f = stream_of(Bytes().chunk("KAVW", 2).u16(1).bytes());  // too short to hold a version
  EXPECT_EQ(kavfile_read_header(f), 0);
  std::fclose(f);
  // The header is read field by field too: whatever its size field says,
  // the chunks start right after the version.
  for (uint32_t size : {0u, 8u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(size);
    drawing_reset();
    const ReadResult r = read_file_bytes(Bytes().chunk("KAVW", size).i32(400).append(line_chunk(1, 5)));
    EXPECT_EQ(r.version, 400);
    EXPECT_EQ(elem_count(), 1);
    EXPECT_EQ(r.report.damaged + r.report.unknown, 0);
  }
  drawing_reset();
  const ReadResult old = read_file_bytes(Bytes().chunk16("KAVV", 0).i32(240).append(line16_chunk(1, 5)));
  EXPECT_EQ(old.version, 240);
  EXPECT_EQ(elem_count(), 1);
  EXPECT_EQ(old.report.damaged + old.report.unknown, 0);
}

// clang-format off
// An old file: 16-bit sizes, old layer chunk, the old element chunks.
ByteVec old_file() {
  Bytes b;
  b.chunk16("KAVV", 4).i32(240);
  b.chunk16("LAYR", 96).at(0).i32(25).at(4).text("Old walls", 80).at(84).u32(1).at(88).f64(1.5).at(96);
  // The older writer's size counts 12 bytes more than it wrote: the next
  // chunk follows the text.
  b.chunk16("TEXT", 84 + 3).head(25, 2, 1, 0)
      .at(6).f64(1).f64(2)
      .at(22).u8(3).at(23).u8(TEXT_RIGHT)
      .at(24).f64(0.5).f64(2.5).f64(1).f64(0.1).f64(1.5).f64(0)
      .at(72).raw("Hi\0", 3)
      .at(75);
  b.chunk16("DIMC", 63 + 80).head(3, 0, 0, 0)
      .at(6).u8(1).at(7).u8(2).at(8).u8(DIM_MARK_CIRCLE)
      .at(9).f64(0).f64(2.5).f64(1).f64(0.1).f64(1.5)
      .at(49).u8(1).at(50).u8(0).at(51).f64(1)
      .at(59).i32(1)
      .at(63);
  for (int i = 0; i < 10; ++i) b.f64(i);
  b.at(143);
  b.chunk16("PATT", 76 + 32).head(4, 0, 0, 100)
      .at(6).u8(1).u8(0).f64(0).f64(0).f64(0).f64(0).f64(0).f64(0.5).f64(0).f64(0)
      .at(72).u32(2).at(76).f64(0).f64(0).f64(1).f64(1).at(108);
  b.chunk16("PATT", 76).head(4, 0, 0, 0)
      .at(6).u8(1).u8(0).f64(0).f64(0).f64(0).f64(0).f64(0).f64(0.5).f64(0).f64(0.3)
      .at(72).u32(0).at(76);
  b.chunk16("ROOM", 263 + 16).head(5, 0, 0, 0)
      .at(6).f64(1).f64(1)
      .at(22).u8(7)
      .at(23).f64(0).f64(2.5).f64(1).f64(0.1).f64(1.5)
      .at(63).text("Bath", 128)
      .at(191).text("7", 40)
      .at(231).f64(1).f64(0).f64(2.5)
      .at(255).u8(1).u8(1).u8(1).u8(1)
      .at(259).i32(1).at(263).f64(3).f64(4).at(279);
  b.chunk16("LIGT", 31).head(6, 0, 0, 0).at(6).f64(1).f64(2).f64(3).at(30).u8(LIGHT_SPOT).at(31);
  b.chunk16("LIGH", 96).head(6, 0, 0, 0)
      .at(6).f64(1).f64(2).f64(3).f64(4).f64(5).f64(6)
      .at(54).u8(LIGHT_POINT).u8(0)
      .at(56).f64(0.5).f64(0.5).f64(0.5).f64(2).f64(30)
      .at(96);
  b.chunk16("PDIP", 4).i32(1);
  return b;
}

// clang-format on
TEST_F(KavfileRead, OldFileLoadsIntoTheCurrentRecords) {
  const ReadResult r = read_file_bytes(old_file());
  EXPECT_EQ(r.version, 240);
  EXPECT_EQ(r.result, 1);
  EXPECT_EQ(r.report.damaged + r.report.rejected + r.report.repaired + r.report.unknown, 0);
  ASSERT_EQ(elem_count(), 7);
  auto e = elements();

  EXPECT_EQ(layers[205].name, "Old walls");  // 25 under the old numbering
  EXPECT_EQ(layers[205].shown, 1);
  EXPECT_DOUBLE_EQ(layers[205].reserved, 1.5);
  EXPECT_EQ(layers[25].name, "Layer 25");

  auto* t = elem_as<TextElem>(e[0]);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->layer, 205);
  EXPECT_EQ(t->group, 2);
  EXPECT_EQ(t->font, "SimpelProp");
  EXPECT_EQ(t->alignment, TEXT_RIGHT);
  EXPECT_EQ(t->text, "Hi");
  EXPECT_DOUBLE_EQ(t->line_spacing, 1.5);

  auto* d = elem_as<DimElem>(e[1]);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->font, "Freihand");
  EXPECT_EQ(d->dim_kind, DIM_CHAIN);
  EXPECT_EQ(d->end_mark, DIM_MARK_CIRCLE);
  ASSERT_EQ(d->points.size(), 1u);
  EXPECT_DOUBLE_EQ(d->points[0].text_dy, 9);

  auto* p1 = elem_as<PatternElem>(e[2]);
  auto* p2 = elem_as<PatternElem>(e[3]);
  ASSERT_TRUE(p1 && p2);
  EXPECT_EQ(p1->type, PATTERN_POINTS);  // line type 100
  EXPECT_EQ(p1->points.size(), 2u);
  EXPECT_EQ(p2->type, PATTERN_TWO_LINES);  // a second spacing
  EXPECT_DOUBLE_EQ(p2->r + p2->g + p2->b, 0);

  auto* room = elem_as<RoomElem>(e[4]);
  ASSERT_NE(room, nullptr);
  EXPECT_EQ(room->font, "Filled_2");
  EXPECT_EQ(room->description, "Bath");
  EXPECT_DOUBLE_EQ(room->top_z, 2.5);
  ASSERT_EQ(room->points.size(), 1u);
  EXPECT_DOUBLE_EQ(room->points[0].y, 4);

  auto* l1 = elem_as<LightElem>(e[5]);
  ASSERT_NE(l1, nullptr);
  EXPECT_EQ(l1->type, LIGHT_SPOT);
  EXPECT_EQ(l1->shadow, 1);
  EXPECT_DOUBLE_EQ(l1->position.z, 3);
  EXPECT_DOUBLE_EQ(l1->target.x + l1->target.y + l1->target.z, 0);
  EXPECT_DOUBLE_EQ(l1->r + l1->g + l1->b, 3);
  EXPECT_DOUBLE_EQ(l1->shadow_intensity, 1.0);
  auto* l2 = elem_as<LightElem>(e[6]);
  ASSERT_NE(l2, nullptr);
  EXPECT_DOUBLE_EQ(l2->angle, 30);
  EXPECT_DOUBLE_EQ(l2->shadow_intensity, 1.0);

  EXPECT_EQ(dim_settings.accuracy, 1);
  EXPECT_EQ(dim_settings.accuracy_architecture, 2);  // unchanged by the old chunk

  // Without an old layer chunk, layer 25 stays 25.
  drawing_reset();
  read_file_bytes(kavw_header() + line_chunk(25, 0));
  EXPECT_EQ(elem_list_head->layer, 25);
}

// The stored older-format fixture is old_file(); KAVRO_UPDATE_GOLDEN=1 writes
// it anew.
TEST_F(KavfileRead, OlderFormatFixtureIsTheOldFile) {
  const std::filesystem::path fixture = std::filesystem::path(KAVRO_TEST_DATA_DIR) / "older_format.kav";
  const ByteVec want = old_file();
  const char* update = std::getenv("KAVRO_UPDATE_GOLDEN");
  if (update && std::strcmp(update, "1") == 0) put_file(fixture, want);
  const ByteVec stored = file_bytes(fixture);
  if (stored != want) {
    const std::filesystem::path out = std::filesystem::path(KAVRO_TEST_OUTPUT_DIR) / "older_format.kav.out";
    put_file(out, want);
    ADD_FAILURE() << fixture << " is not the older file the test builds (" << first_difference(stored, want)
                  << "); the built one: " << out;
  }
}

TEST_F(KavfileRead, UnknownChunksAreSkippedBySize) {
  testing::internal::CaptureStdout();
  const ReadResult r = read_file_bytes(kavw_header() + line_chunk(1, 1) +
                                       Bytes().chunk("ABCD", 10).zeros(10).bytes() + line_chunk(2, 2));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "unknown key *ABCD* size:10\n");
  EXPECT_EQ(elem_count(), 2);
  EXPECT_EQ(r.report.unknown, 1);
  EXPECT_EQ(r.report.damaged, 0);
  // What the drawing will not hold is said.
  struct Case {
    ByteVec file;
    const char* said;
  } cases[] = {
      {kavw_header() + line_chunk(1, 1) + Bytes().chunk("ABCD", 10).zeros(10).bytes(),
       "error 1 part of the file of a kind this program does not know was skipped."},
      {kavw_header() + Bytes().chunk("ABCD", 2).zeros(2).bytes() + Bytes().chunk("LIN9", 0).bytes() +
           line_chunk(2, 2),
       "error 2 parts of the file of a kind this program does not know were skipped."},
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStdout();
    const ReadResult read = read_file_bytes(c.file);
    testing::internal::GetCapturedStdout();
    RecordingUi ui;
    kavfile_report_problems(read.report);
    EXPECT_EQ(ui.calls, std::vector<std::string>{c.said});
  }
}

// Where each chunk of a current file ends.
std::vector<std::size_t> chunk_ends(const ByteVec& file) {
  std::vector<std::size_t> ends;
  std::size_t at = 0;
  while (at + 8 <= file.size()) {
    const uint32_t size = (file[at + 4] << 24) | (file[at + 5] << 16) | (file[at + 6] << 8) | file[at + 7];
    at += 8 + size;
    ends.push_back(at);
  }
  return ends;
}

TEST_F(KavfileRead, CutFilesKeepWhatCameBefore) {
  const ByteVec file = file_bytes(std::filesystem::path(KAVRO_TEST_DATA_DIR) / "every_kind.kav");
  ASSERT_FALSE(file.empty());
  const std::vector<std::size_t> ends = chunk_ends(file);
  const std::size_t first_element = ends.size() - 12 - 1;  // the twelve elements close the file
  for (std::size_t cut = ends[0]; cut < file.size(); ++cut) {
    drawing_free();
    main_init_defaults();
    const ReadResult r = read_file_bytes(ByteVec(file.begin(), file.begin() + static_cast<long>(cut)));
    std::size_t whole = 0;
    while (whole < ends.size() && ends[whole] <= cut) ++whole;
    const bool at_boundary = ends[whole - 1] == cut;
    const int expect_elements = whole > first_element ? static_cast<int>(whole - first_element - 1) : 0;
    ASSERT_EQ(elem_count(), expect_elements) << "cut at " << cut;
    ASSERT_EQ(r.report.damaged, at_boundary ? 0 : 1) << "cut at " << cut;
  }
}

// The reader's verdict on one chunk between two good lines.
struct BadChunkCase {
  const char* what;
  ByteVec chunk;
  int elements;  // loaded in all
  int rejected, repaired, damaged;
};

ByteVec long_text(char c, std::size_t n) { return ByteVec(n, static_cast<unsigned char>(c)); }

std::vector<BadChunkCase> bad_chunks() {
  std::vector<BadChunkCase> cases;
  {
    Bytes b;
    b.chunk("TEX2", 92).head(0, 0, 0, 0);
    text_fixed(b, "Simpel");
    cases.push_back({"text chunk without room for its text", b, 1, 0, 0, 1});
  }
  {
    Bytes b;
    b.chunk("DIM3", 84 + 201 * 80).head(0, 0, 0, 0).text("Simpel", 21).u8(0).u8(0);
    for (int i = 0; i < 5; ++i) b.f64(1);
    b.u8(0).u8(0).f64(1).i32(201).u8(0).zeros(201 * 80);
    cases.push_back({"dimension with more entries than the work area", b, 2, 1, 0, 0});
  }
  {
    Bytes b;
    b.chunk("DIM3", 84).head(0, 0, 0, 0).text("Simpel", 21).u8(0).u8(0);
    for (int i = 0; i < 5; ++i) b.f64(1);
    b.u8(0).u8(0).f64(1).i32(-1).u8(0);
    cases.push_back({"dimension with a negative count", b, 1, 0, 0, 1});
  }
  {
    Bytes b;
    b.chunk("WALL", 295 + 16 * 227).head(0, 0, 0, 0).zeros(192).u32(0).u32(16).text("", 40).u8(0).zeros(48);
    b.zeros(16 * 227);
    cases.push_back({"wall with 16 openings", b, 2, 1, 0, 0});
  }
  {
    Bytes b;
    b.chunk("PAT2", 101).head(0, 0, 0, 0).u8(0).u8(0).zeros(64).u32(0x7FFFFFFF).u8(0).zeros(24);
    cases.push_back({"pattern with a huge count", b, 1, 0, 0, 1});
  }
  auto mesh = [](std::vector<int32_t> sizes, std::vector<int32_t> idx) {
    Bytes b;
    b.chunk("OBJ3", static_cast<uint32_t>(55 + 4 * sizes.size() + 24 * 3 + 4 * idx.size()))
        .head(0, 0, 0, 0)
        .text("", 40)
        .u32(3)
        .u32(static_cast<uint32_t>(sizes.size()))
        .u8(0);
    for (int32_t s : sizes) b.i32(s);
    b.zeros(72);
    for (int32_t i : idx) b.i32(i);
    return b.bytes();
  };
  cases.push_back({"mesh naming a vertex it lacks", mesh({3}, {0, 1, 3}), 2, 1, 0, 0});
  cases.push_back({"mesh with a negative index beyond its vertices", mesh({3}, {0, 1, -3}), 2, 1, 0, 0});
  cases.push_back({"mesh with the most negative index", mesh({3}, {0, 1, INT_MIN}), 2, 1, 0, 0});
  cases.push_back({"mesh with a negative face size", mesh({-1}, {}), 2, 1, 0, 0});
  cases.push_back(
      {"mesh whose faces need more indices than the chunk holds", mesh({0x40000000}, {0, 1, 2}), 1, 0, 0, 1});
  {
    Bytes b;
    b.chunk("ROO2", 283)
        .head(0, 0, 0, 0)
        .zeros(16)
        .text("Simpel", 21)
        .zeros(40)
        .text("", 128)
        .text("", 40)
        .zeros(28);
    b.i32(-5);
    cases.push_back({"room with a negative count", b, 1, 0, 0, 1});
  }
  cases.push_back({"element on a layer that does not exist", line_chunk(5000, 0), 3, 0, 1, 0});
  cases.push_back({"element on a temporary layer", line_chunk(LAYER_TEMP_3D, 0), 3, 0, 0, 0});
  cases.push_back({"element with an unknown pen", line_chunk(1, 0, 50), 3, 0, 1, 0});
  cases.push_back({"element with an unknown line type", line_chunk(1, 0, 0, 200), 3, 0, 1, 0});
  cases.push_back({"guide pen and pattern line type", line_chunk(1, 0, PEN_GUIDE, LINE_TYPE_PATTERN_FILLING),
                   3, 0, 0, 0});
  // A known chunk is read by its fields, never skipped by its size: a wrong
  // size loses nothing while the fields are whole.
  for (uint32_t size : {0u, 30u, 46u, 0xFFFFFFFFu})
    cases.push_back({"size field that does not match whole fields",
                     Bytes().chunk("LINE", size).head(0, 0, 0, 0).zeros(32), 3, 0, 0, 0});
  cases.push_back({"settings chunk whose size runs past the file",
                   Bytes().chunk("PSNP", 0xFFFFFFF0).i32(7).zeros(36), 2, 0, 0, 0});
  {
    Bytes b;
    b.chunk("WALL", 4).head(0, 0, 0, 0).zeros(192).u32(1).u32(16).text("", 40).u8(0).zeros(48);
    b.zeros(32 + 16 * 227);
    cases.push_back({"wall with 16 openings and a wrong size", b, 2, 1, 0, 0});
  }
  cases.push_back({"unknown chunk longer than the file", Bytes().chunk("ZZZZ", 1000).zeros(10), 1, 0, 0, 1});
  return cases;
}

TEST_F(KavfileRead, BrokenChunksLoadNothingOrWhatIsSound) {
  for (const BadChunkCase& c : bad_chunks()) {
    SCOPED_TRACE(c.what);
    drawing_free();
    main_init_defaults();
    testing::internal::CaptureStdout();
    const ReadResult r = read_file_bytes(kavw_header() + line_chunk(1, 1) + c.chunk + line_chunk(2, 2));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(elem_count(), c.elements);
    EXPECT_EQ(r.report.rejected, c.rejected);
    EXPECT_EQ(r.report.repaired, c.repaired);
    EXPECT_EQ(r.report.damaged, c.damaged);
    for (ElemHeader* e : elements()) {
      EXPECT_TRUE(e->layer < LAYER_COUNT || e->layer == LAYER_TEMP_3D);
      EXPECT_TRUE(e->pen < PEN_COUNT || e->pen == PEN_GUIDE);
    }
  }
}

TEST_F(KavfileRead, FixedTextsWithoutTerminatorAreCut) {
  Bytes b;
  b.chunk("TEX2", 93 + 4).head(0, 0, 0, 0).f64(1).f64(2).raw(long_text('F', 21).data(), 21).u8(0);
  b.f64(0).f64(2.5).f64(1).f64(0).f64(1).f64(0).raw("WXYZ\x41", 5);  // the text has no NUL
  Bytes lay;
  lay.chunk("LAY3", 93).i32(4).raw(long_text('N', 80).data(), 80).u8(1).f64(0);
  read_file_bytes(kavw_header() + b.bytes() + lay.bytes());
  auto* t = elem_as<TextElem>(elem_list_head);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->font, std::string(20, 'F'));
  EXPECT_EQ(t->text, "WXYZA");
  EXPECT_EQ(layers[4].name, std::string(79, 'N'));
  EXPECT_EQ(layers[4].shown, 1);
}

TEST_F(KavfileRead, SymbolsLoadMarkedWithTheirGroups) {
  WallSegment seg[1];
  seg[0].start.mark = 1;
  const double corners[24] = {};
  elem_new_wall(0, 0, 0, corners, 1, seg, 0, nullptr, "", 0, 0, 0, 0, 0, 0, 0);
  elem_list_tail->group = 4;
  elem_as<WallElem>(elem_list_tail)->segments[0].end.mark = 1;  // point marks are never stored
  elem_new_line(1, 0, 0, 0, 0, 1, 1);
  for (ElemHeader* e : elements()) e->mark = 1;
  const ByteVec symbol =
      written_by([](std::FILE* f) { return kavfile_write_header(f) && kavfile_write_elements(f, 1); });
  drawing_reset();
  elem_new_line(2, 0, 0, 0, 0, 1, 1);
  loaded_count = 0;
  const ReadResult r = read_file_bytes(symbol, 1);
  EXPECT_EQ(r.result, 1);
  EXPECT_EQ(loaded_count, 2);
  const auto e = elements();
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[0]->mark, 0);
  EXPECT_EQ(e[1]->mark, 1);
  EXPECT_EQ(e[2]->mark, 1);
  EXPECT_EQ(e[1]->group, 4);
  EXPECT_EQ(elem_has_marked_point(e[1]), 0);
}

TEST_F(KavfileRead, LayerSetsTakeTheirPlace) {
  LayerSet upper;
  upper.name = "Upper";
  upper.current_layer = 3;
  layer_set_append(upper);
  layer_set_append(upper);  // a second set of the same name stays untouched
  auto set_chunk = [](const char* name, int flagged_layer, uint32_t current) {
    Bytes b;
    b.chunk("LAS3", 1084).text(name, 80);
    for (int i = 0; i < 1000; ++i) b.u8(i == flagged_layer ? 1 : 0);
    return b.u32(current).bytes();
  };
  ByteVec pmsc = Bytes().chunk("PMSC", 32).f64(100).i32(42).i32(0).i32(1).i32(0).i32(1).i32(1);
  read_file_bytes(kavw_header() + pmsc + set_chunk("Upper", 7, 8) + set_chunk("New", 9, 10) +
                  set_chunk("Bad", 1, 5000));
  EXPECT_EQ(cur_layer, 42);
  LayerSet* s = layer_sets->next;
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->shown[7], 1);
  EXPECT_EQ(s->current_layer, 42);  // an existing set takes the current layer of the moment
  EXPECT_EQ(s->next->shown[7], 0);
  EXPECT_EQ(s->next->current_layer, 3);
  LayerSet* added = s->next->next;
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->name, "New");
  EXPECT_EQ(added->current_layer, 10);
  EXPECT_EQ(added->shown[9], 1);
  ASSERT_NE(added->next, nullptr);
  EXPECT_EQ(added->next->current_layer, 42);  // an invalid current layer is not taken

  // Layer chunks for layers that do not exist are read and ignored.
  ByteVec lay = Bytes().chunk("LAY3", 93).i32(1000).text("Nowhere", 80).u8(1).f64(0).bytes() +
                Bytes().chunk("LAY3", 93).i32(-1).text("Nowhere", 80).u8(1).f64(0).bytes() + line_chunk(1, 1);
  const ReadResult r = read_file_bytes(kavw_header() + lay);
  EXPECT_EQ(r.report.damaged, 0);
  EXPECT_EQ(elem_count(), 1);
}

// A translation that shows which key was asked for.
const char* tagged(const char* key) {
  static std::string last;
  last = std::string("<") + key + ">";
  return last.c_str();
}

TEST_F(KavfileRead, ProblemCountsReadAsSingularOrPlural) {
  struct Case {
    int rejected, repaired;
    const char* message;
  } cases[] = {
      {1, 0, "error <%d damaged element was not loaded.>"},
      {2, 0, "error <%d damaged elements were not loaded.>"},
      {0, 1, "error <%d element had an invalid layer, pen or line type; it was set to 0.>"},
      {0, 3, "error <%d elements had an invalid layer, pen or line type; it was set to 0.>"},
  };
  struct TaggedTranslation {
    TaggedTranslation() { nls_set_lookup(tagged); }
    ~TaggedTranslation() { nls_set_lookup(nullptr); }
  };
  for (const Case& c : cases) {
    TaggedTranslation translation;
    RecordingUi ui;
    KavReadReport report;
    report.rejected = c.rejected;
    report.repaired = c.repaired;
    kavfile_report_problems(report);
    std::string want = c.message;
    want.replace(want.find("%d"), 2, std::to_string(c.rejected + c.repaired));
    EXPECT_EQ(ui.calls, std::vector<std::string>{want});
  }
  RecordingUi ui;  // untranslated
  KavReadReport report;
  report.rejected = 1;
  report.repaired = 1;
  kavfile_report_problems(report);
  EXPECT_EQ(ui.calls,
            std::vector<std::string>{"error 1 damaged element was not loaded.\n1 element had an invalid "
                                     "layer, pen or line type; it was set to 0."});
}

// What one read leaves: the reader's result and report, its notes on
// standard output, and the drawing as it saves.
struct ReadOutcome {
  ReadResult read;
  std::string notes;
  ByteVec drawing;
};

ReadOutcome read_outcome(std::FILE* f) {
  drawing_free();
  main_init_defaults();
  ReadOutcome o;
  testing::internal::CaptureStdout();
  o.read.version = kavfile_read_header(f);
  if (o.read.version) o.read.result = kavfile_read_chunks(f, 0, 0, &o.read.report);
  o.notes = testing::internal::GetCapturedStdout();
  std::fclose(f);
  o.drawing = written_by(kavfile_write_drawing);
  return o;
}

// A stream that cannot seek: the read end of a pipe holding the bytes.
std::FILE* pipe_of(const ByteVec& bytes) {
  int fds[2];
  if (::pipe(fds) != 0) return nullptr;
  EXPECT_EQ(::write(fds[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  ::close(fds[1]);
  return ::fdopen(fds[0], "rb");
}

void expect_same(const ReadOutcome& want, const ReadOutcome& got) {
  EXPECT_EQ(got.read.version, want.read.version);
  EXPECT_EQ(got.read.result, want.read.result);
  EXPECT_EQ(got.read.report.damaged, want.read.report.damaged);
  EXPECT_EQ(got.read.report.rejected, want.read.report.rejected);
  EXPECT_EQ(got.read.report.repaired, want.read.report.repaired);
  EXPECT_EQ(got.read.report.unknown, want.read.report.unknown);
  EXPECT_EQ(got.notes, want.notes);
  EXPECT_TRUE(got.drawing == want.drawing) << first_difference(want.drawing, got.drawing);
}

// The file is read in pieces: however small they are, so that every item
// and every skip straddles their borders and rejected chunks are found
// again behind them, the reader sees what one piece for the whole file
// shows; a pipe, which is read whole first, too.
TEST_F(KavfileRead, PiecesOfAnySizeReadTheSame) {
  const std::filesystem::path data(KAVRO_TEST_DATA_DIR);
  const ByteVec every_kind = file_bytes(data / "every_kind.kav");
  ASSERT_FALSE(every_kind.empty());
  std::vector<std::pair<std::string, ByteVec>> files = {
      {"every kind", every_kind}, {"older format", file_bytes(data / "older_format.kav")}};
  for (std::size_t cut = 40; cut < every_kind.size(); cut += 997)
    files.emplace_back("cut at " + std::to_string(cut),
                       ByteVec(every_kind.begin(), every_kind.begin() + static_cast<long>(cut)));
  for (const BadChunkCase& c : bad_chunks())
    files.emplace_back(c.what, kavw_header() + line_chunk(1, 1) + c.chunk + line_chunk(2, 2));

  const std::size_t saved_pieces = kavfile_read_buffer_bytes;
  for (const auto& [what, bytes] : files) {
    SCOPED_TRACE(what);
    kavfile_read_buffer_bytes = bytes.size() + 1;
    const ReadOutcome whole = read_outcome(stream_of(bytes));
    for (std::size_t pieces : {1, 3, 8, 100}) {
      SCOPED_TRACE(pieces);
      kavfile_read_buffer_bytes = pieces;
      expect_same(whole, read_outcome(stream_of(bytes)));
    }
    kavfile_read_buffer_bytes = 3;
    std::FILE* pipe = pipe_of(bytes);
    ASSERT_NE(pipe, nullptr);
    expect_same(whole, read_outcome(pipe));
  }
  kavfile_read_buffer_bytes = saved_pieces;
}

}  // namespace
