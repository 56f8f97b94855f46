// The bytes of every chunk the writers produce, spelled out independently
// from the file format's tables, and the whole drawing's round trip.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "model/file_test_util.h"
#include "model/files/chunk_table.h"
#include "model/files/kavfile.h"
#include "model/layers.h"
#include "model/settings.h"
#include "programs/kavdump.h"
#include "support/model_fixture.h"
#include "support/test_records.h"

namespace {

using KavfileChunks = ModelTest;

ByteVec chunk_of(const ElemHeader* e) {
  return written_by([&](std::FILE* f) { return kavfile_write_element(f, e); });
}

// clang-format off
// The expected chunk of each element add_one_of_each_kind makes, in order.
std::vector<ByteVec> expected_element_chunks() {
  std::vector<ByteVec> out;
  // LINE: layer 7, group 0, pen 2, line type 1, (0, 0) to (1, 2).
  out.push_back(Bytes()
                    .raw("LINE\x00\x00\x00\x26\x00\x07\x00\x00\x02\x01", 14)
                    .raw("\0\0\0\0\0\0\0\0", 8)
                    .raw("\0\0\0\0\0\0\0\0", 8)
                    .raw("\x3F\xF0\0\0\0\0\0\0", 8)
                    .raw("\x40\x00\0\0\0\0\0\0", 8));
  out.push_back(Bytes()
                    .chunk("CIRC", 62)
                    .head(3, 5, 1, 0)
                    .at(6).f64(1.5).at(14).f64(2.5).at(22).f64(3).at(30).f64(4)
                    .at(38).f64(6.25).at(46).f64(0.5).at(54).f64(0.125).at(62));
  out.push_back(Bytes()
                    .chunk("TEX2", 96)
                    .head(3, 0, 0, 0)
                    .at(6).f64(10).at(14).f64(20)
                    .at(22).text("Simpel", 21)
                    .at(43).u8(TEXT_CENTRED)
                    .at(44).f64(0.5).at(52).f64(2.5).at(60).f64(1.0).at(68).f64(0.1).at(76).f64(1.5)
                    .at(84).f64(4.0)
                    .at(92).raw("abc\0", 4).at(96));
  Bytes dim;
  dim.chunk("DIM3", 84 + 3 * 80)
      .head(4, 0, 1, 2)
      .at(6).text("Rund", 21)
      .at(27).u8(3).at(28).u8(DIM_MARK_ARROW)
      .at(29).f64(0.75).at(37).f64(2.5).at(45).f64(1.0).at(53).f64(0.1).at(61).f64(1.5)
      .at(69).u8(3).at(70).u8(4)
      .at(71).f64(1.25)
      .at(79).i32(3)
      .at(83).u8(DIM_LEVEL)
      .at(84);
  for (int i = 0; i < 3; ++i) {
    const double b = 10.0 * (i + 1);
    dim.f64(b + 1).f64(b + 2).f64(b + 3).f64(b + 4).f64(b + 5);
    dim.f64(b + 6).f64(b + 7).f64(b + 8).f64(b + 9).f64(b + 9.5);
  }
  out.push_back(dim.at(324));
  Bytes wall;
  wall.chunk("WALL", 650).head(5, 0, 3, 0).at(6);
  for (int i = 0; i < 24; ++i) wall.f64(i * 0.5);
  wall.at(198).u32(4).at(202).u32(1)
      .at(206).text("Brick", 40)
      .at(246).u8(1)
      .at(247).f64(1).f64(2).f64(3)
      .at(271).f64(4).f64(5).f64(6)
      .at(295);
  for (int i = 0; i < 4; ++i) wall.f64(i + 0.1).f64(i + 0.2).f64(i + 0.3).f64(i + 0.4);
  wall.at(295 + 128);
  for (int i = 0; i < 8; ++i) wall.f64(100.0 + i).f64(200.0 + i).f64(300.0 + i);
  wall.at(295 + 128 + 192).u8(OPENING_WINDOW).u8(2).u8(3)
      .at(295 + 128 + 195).f64(1.0).f64(1.51).f64(0.0625).f64(0.115)
      .at(650);
  out.push_back(wall);
  Bytes pat;
  pat.chunk("PAT2", 101 + 5 * 16)
      .head(6, 0, 1, 2)
      .at(6).u8(3).at(7).u8(4)
      .at(8).f64(1).at(16).f64(2).at(24).f64(0.5).at(32).f64(0.25)
      .at(40).f64(0.25).at(48).f64(0.5).at(56).f64(1.25).at(64).f64(0.75)
      .at(72).u32(5).at(76).u8(PATTERN_TWO_LINES)
      .at(77).f64(0.1).at(85).f64(0.2).at(93).f64(0.3)
      .at(101);
  for (auto [x, y] : {std::pair{0.0, 0.0}, {4.0, 0.0}, {4.0, 3.0}, {0.0, 3.0}, {999.0, 999.0}})
    pat.f64(x).f64(y);
  out.push_back(pat.at(181));
  out.push_back(Bytes()
                    .chunk("SPLI", 70)
                    .head(0, 0, 4, 0)
                    .at(6).f64(0).f64(0).at(22).f64(1).f64(1).at(38).f64(2).f64(1).at(54).f64(3).f64(0)
                    .at(70));
  out.push_back(Bytes()
                    .chunk("LIN3", 54)
                    .head(8, 0, 5, 1)
                    .at(6).f64(1).at(14).f64(2).at(22).f64(3).at(30).f64(4).at(38).f64(5).at(46).f64(6)
                    .at(54));
  out.push_back(Bytes()
                    .chunk("OBJ3", 55 + 4 * 2 + 24 * 4 + 4 * 6)
                    .head(9, 9, 6, 0)
                    .at(6).text("Glas", 40)
                    .at(46).u32(4).at(50).u32(2).at(54).u8(1)
                    .at(55).i32(3).i32(3)
                    .at(63).f64(0).f64(0).f64(0).f64(1).f64(0).f64(0)
                    .f64(0).f64(1).f64(0).f64(0).f64(0).f64(1)
                    .at(159).i32(0).i32(1).i32(2).i32(0).i32(-3).i32(1)
                    .at(183));
  out.push_back(Bytes()
                    .chunk("OCAM", 66)
                    .head(0, 0, 99, 0)
                    .at(6).f64(0).f64(-100).f64(2)
                    .at(30).f64(0).f64(0).f64(2)
                    .at(54).f64(60)
                    .at(62).u32(1)
                    .at(66));
  Bytes room;
  room.chunk("ROO2", 283 + 4 * 16)
      .head(11, 9, 7, 3)
      .at(6).f64(1).at(14).f64(1)
      .at(22).text("Simpel", 21)
      .at(43).f64(0.25).at(51).f64(2.5).at(59).f64(1.0).at(67).f64(0.1).at(75).f64(1.5)
      .at(83).text("Kitchen", 128)
      .at(211).text("1.02", 40)
      .at(251).f64(1.0).at(259).f64(0.0).at(267).f64(2.75)
      .at(275).u8(1).u8(0).u8(1).u8(0)
      .at(279).i32(4)
      .at(283);
  for (auto [x, y] : {std::pair{0.0, 0.0}, {5.0, 0.0}, {5.0, 4.0}, {0.0, 4.0}}) room.f64(x).f64(y);
  out.push_back(room.at(347));
  out.push_back(Bytes()
                    .chunk("LIG2", 104)
                    .head(12, 0, 0, 0)
                    .at(6).f64(1).f64(2).f64(3)
                    .at(30).f64(4).f64(5).f64(0)
                    .at(54).u8(LIGHT_SPOT)
                    .at(55).u8(1)
                    .at(56).f64(0.9).at(64).f64(0.8).at(72).f64(0.7)
                    .at(80).f64(6.0).at(88).f64(20.0).at(96).f64(0.5)
                    .at(104));
  return out;
}

// clang-format on
TEST_F(KavfileChunks, EveryElementChunkHasTheDefinedBytes) {
  add_one_of_each_kind();
  const std::vector<ByteVec> expected = expected_element_chunks();
  const auto elems = elements();
  ASSERT_EQ(elems.size(), expected.size());
  for (std::size_t i = 0; i < elems.size(); ++i) {
    SCOPED_TRACE(kavfile_elem_chunk_of_kind(elems[i]->kind)->tag);
    const ByteVec got = chunk_of(elems[i]);
    EXPECT_EQ(got, expected[i]) << first_difference(got, expected[i]);
    // The record's size field is the chunk's payload size.
    EXPECT_EQ(kavfile_elem_payload_bytes(*elems[i]), elems[i]->size);
    EXPECT_EQ(got.size(), elems[i]->size + 8u);
  }
  // An empty text is its NUL alone.
  TextElem empty_text = test_text(0, 0, "");
  empty_text.spacing = 0;
  empty_text.line_spacing = 1;
  elem_append(empty_text);
  const ByteVec empty = chunk_of(elem_list_tail);
  EXPECT_EQ(hex(empty, 4, 4), "00 00 00 5D");  // 93
  EXPECT_EQ(empty.back(), 0);
}

TEST_F(KavfileChunks, UnknownKindWritesNothing) {
  struct Foreign : ElemOfKind<Foreign, static_cast<ElemKind>(42)> {};
  Foreign f;
  EXPECT_TRUE(chunk_of(&f).empty());
}

TEST_F(KavfileChunks, ElementsAreWrittenByMark) {
  elem_new_line(0, 0, 0, 0, 0, 1, 1);
  elem_new_line(1, 0, 0, 0, 0, 1, 1);
  elem_list_tail->mark = 1;
  elem_new_line(2, 0, 0, 0, 0, 1, 1);
  const ByteVec unmarked = written_by([](std::FILE* f) { return kavfile_write_elements(f, 0); });
  const ByteVec marked = written_by([](std::FILE* f) { return kavfile_write_elements(f, 1); });
  ASSERT_EQ(unmarked.size(), 2 * 46u);
  ASSERT_EQ(marked.size(), 46u);
  EXPECT_EQ(hex(unmarked, 8, 2), "00 00");
  EXPECT_EQ(hex(unmarked, 46 + 8, 2), "00 02");
  EXPECT_EQ(hex(marked, 8, 2), "00 01");
}

TEST_F(KavfileChunks, LayerChunks) {
  elem_new_line(7, 0, 0, 0, 0, 1, 1);  // a layer with elements is written whatever its name
  layers[12].name = "Walls";           // an own name is written even when empty
  layers[12].shown = 1;
  layers[12].reserved = 2.5;
  layers[13].name = "Ebene 13";  // the program's own names are left out when empty
  layers[14].name = "Layerless";
  layer_list_names[3] = "Upper floor";

  // clang-format off
  Bytes expected;
  expected.chunk("LAY3", 93).at(0).i32(7).at(4).text("Layer 7", 80).at(84).u8(0).at(85).f64(0).at(93);
  expected.chunk("LAY3", 93).at(0).i32(12).at(4).text("Walls", 80).at(84).u8(1).at(85).f64(2.5).at(93);
  expected.chunk("LAYG", 800);
  for (int k = 0; k < 10; ++k)
    expected.at(80u * k).text(k == 3 ? "Upper floor" : "List " + std::to_string(k), 80);
  expected.at(800);
  // clang-format on
  const ByteVec got = written_by(kavfile_write_layers);
  EXPECT_EQ(got, expected.bytes()) << first_difference(got, expected);
  EXPECT_EQ(layers[7].count, 1);  // the writer counts the elements per layer

  LayerSet upper;
  upper.name = "Upper";
  upper.shown[0] = 1;
  upper.shown[999] = 1;
  upper.current_layer = 100;
  layer_set_append(upper);
  layer_sets->current_layer = 3;
  // clang-format off
  Bytes sets;
  sets.chunk("LAS3", 1084).at(0).text("Default", 80).at(80).zeros(1000).at(1080).u32(3).at(1084);
  sets.chunk("LAS3", 1084).at(0).text("Upper", 80).at(80).u8(1).zeros(998).u8(1).at(1080).u32(100).at(1084);
  // clang-format on
  const ByteVec got_sets = written_by(kavfile_write_layer_sets);
  EXPECT_EQ(got_sets, sets.bytes()) << first_difference(got_sets, sets);
}

TEST_F(KavfileChunks, TablesDescribeOneChunkPerKindInKindOrder) {
  for (uint8_t kind = 1; kind <= ELEM_KIND_COUNT; ++kind) {
    const ElemChunk* c = kavfile_elem_chunk_of_kind(kind);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->kind, kind);
    EXPECT_TRUE(c->current);
    // The fixed part of the record size is the head plus the fixed fields.
    EXPECT_EQ(6 + fields_fixed_bytes(c->fields), elem_fixed_size(c->kind)) << c->tag;
  }
  EXPECT_EQ(kavfile_elem_chunk_of_kind(0), nullptr);
  EXPECT_EQ(kavfile_elem_chunk_of_kind(13), nullptr);
  for (const ElemChunk& c : kavfile_elem_chunks())
    if (!c.current) {
      EXPECT_NE(kavfile_elem_chunk_of_kind(c.kind), &c);
    }
}

// The whole drawing: settings, layers, sets, every kind, groups.
void build_drawing() {
  add_one_of_each_kind();
  layers[12].name = "Walls";
  layers[3].shown = 1;
  layer_list_names[1] = "Ground";
  LayerSet s;
  s.name = "Second";
  s.shown[3] = 1;
  s.current_layer = 12;
  layer_set_append(s);
  cur_layer = 7;
  layer_sets->current_layer = 7;  // a loaded "Default" takes cur_layer
  pens[3].width = 0.4;
  line_types[6].name = "MINE";
  drawing_scale = 50;
}

TEST_F(KavfileChunks, DrawingSavesLoadsAndSavesToTheSameBytes) {
  build_drawing();
  const ByteVec first = written_by(kavfile_write_drawing);

  // The file as it stands in the fixture (its dump beside it is for people).
  const std::filesystem::path fixture = std::filesystem::path(KAVRO_TEST_DATA_DIR) / "every_kind.kav";
  const ByteVec golden = file_bytes(fixture);
  if (golden != first) {
    std::filesystem::create_directories(KAVRO_TEST_OUTPUT_DIR);
    const std::filesystem::path out = std::filesystem::path(KAVRO_TEST_OUTPUT_DIR) / "every_kind.kav.out";
    put_file(out, first);
    std::ofstream(out.string() + ".txt") << kavdump(first.data(), first.size());
    ADD_FAILURE() << "the drawing differs from " << fixture << " (" << first_difference(first, golden)
                  << "); written: " << out << " and its dump " << out << ".txt";
  }
  const std::filesystem::path dump = std::filesystem::path(KAVRO_TEST_DATA_DIR) / "every_kind.kav.txt";
  std::ifstream dump_in(dump);
  const std::string dump_text((std::istreambuf_iterator<char>(dump_in)), {});
  EXPECT_EQ(kavdump(first.data(), first.size()), dump_text) << "kavdump of the drawing differs from " << dump;

  drawing_free();
  main_init_defaults();  // the settings too come from the file
  std::FILE* f = stream_of(first);
  ASSERT_EQ(kavfile_read_header(f), 300);
  KavReadReport report;
  EXPECT_EQ(kavfile_read_chunks(f, 0, 0, &report), 1);
  std::fclose(f);
  EXPECT_EQ(report.damaged + report.rejected + report.repaired + report.unknown, 0);
  EXPECT_EQ(elem_count(), 12);
  EXPECT_EQ(cur_layer, 7);
  EXPECT_DOUBLE_EQ(pens[3].width, 0.4);
  EXPECT_EQ(layers[12].name, "Walls");
  const ByteVec second = written_by(kavfile_write_drawing);
  EXPECT_EQ(second, first) << first_difference(second, first);
}

// The stored drawings other tests and the fuzzer start from hold sound
// dimensions: a chain has 1 to 99 entries, every other kind exactly 3.
TEST_F(KavfileChunks, StoredDrawingsHoldSoundDimensions) {
  const std::filesystem::path fixture = std::filesystem::path(KAVRO_TEST_DATA_DIR) / "every_kind.kav";
  const std::filesystem::path seed =
      std::filesystem::path(KAVRO_SOURCE_DIR) / "tests/fuzz/corpus/every_kind.kav";
  EXPECT_EQ(file_bytes(seed), file_bytes(fixture)) << seed << " is a copy of " << fixture;
  for (const auto& path : {fixture, seed}) {
    SCOPED_TRACE(path);
    drawing_reset();
    read_file_bytes(file_bytes(path));
    int dims = 0;
    for (ElemHeader* e : elements()) {
      const auto* d = elem_as<DimElem>(e);
      if (!d) continue;
      ++dims;
      if (d->dim_kind == DIM_CHAIN) {
        EXPECT_TRUE(d->points.size() >= 1 && d->points.size() <= DIM_MAX_POINTS) << d->points.size();
      } else {
        EXPECT_EQ(d->points.size(), 3u) << "dimension kind " << int(d->dim_kind);
      }
    }
    EXPECT_GT(dims, 0);
  }
}

}  // namespace
