// The DXF reader's frame: lines and groups, units, text codes, colours and
// line types, the header, the layer table, refused files, progress and the
// import command around it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "display/display_state.h"
#include "dxf_test_util.h"
#include "exchange/dxf_common.h"
#include "exchange/dxf_internal.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/undo.h"
#include "model/view_rec.h"
#include "support/recording_ui.h"
#include "support/temp_folder.h"

namespace {

using DxfReader = ModelTest;

const std::string ONE_LINE = dxf_entities("0 LINE|8 0|10 0|20 0|11 1000|21 500");

TEST_F(DxfReader, LengthsAreDividedByTheUnit) {
  struct Case {
    int unit;
    std::string file;
    double x2, y2;
  } cases[] = {
      {2, ONE_LINE, 1.0, 0.5},
      {1, ONE_LINE, 10.0, 5.0},
      {0, ONE_LINE, 1000.0, 500.0},
      {3, dxf_entities("0 LINE|10 0|20 0|11 39.37007874015748|21 -39.37007874015748"), 1.0, -1.0},
      {4, dxf_entities("0 LINE|10 0|20 0|11 3.280839895013123|21 0"), 1.0, 0.0},
  };
  for (const Case& c : cases) {
    DxfImportOptions o;
    o.unit = c.unit;
    DxfImport r = dxf_read_text(c.file, o);
    ASSERT_EQ(r.error, DxfError::NONE);
    auto lines = dxf_of<LineElem>(r);
    ASSERT_EQ(lines.size(), 1u) << "unit " << c.unit;
    EXPECT_NEAR(lines[0]->p2.x, c.x2, 1e-12) << "unit " << c.unit;
    EXPECT_NEAR(lines[0]->p2.y, c.y2, 1e-12) << "unit " << c.unit;
    EXPECT_EQ(r.stats.line, 1);
  }
}

TEST(DxfText, CodesBecomeLatin1) {
  struct Case {
    const char* raw;
    bool mtext;
    const char* expected;
  } cases[] = {
      {"%%132", false, "\xE4"},
      {"%%129%%142%%148%%153%%154", false, "\xFC\xC4\xF6\xD6\xDC"},
      {"50%%p12", false,
       "50\xB1"
       "12"},
      {"45%%d", false, "45\xB0"},
      {"%%c100", false,
       "\xD8"
       "100"},
      {"100%%%", false, "100%"},
      {"%%uunder%%u", false, "under"},
      {"%%999x", false, "x"},  // another number: the five characters go
      {"5%", false, "5%"},
      {"{\\fArial|b0;Hello}\\PWorld", true, "Hello\nWorld"},
      {"{x}", false, "{x}"},
      {"{x}", true, "x"},
      {"\\{a\\}\\\\b\\~c", true, "{a}\\b c"},
      {"\\H2.5x;big\\W0.8;narrow\\Q15;\\T1.1;\\C1;\\c255;\\Fromans|c0;x\\pi-3;y", true, "bignarrowxy"},
      {"1\\S1^2;\"", true, "11/2\""},
      {"\\S3#4; and \\S5/8;", true, "3/4 and 5/8"},
      {"\\Lund\\l\\Oover\\o\\Kstrike\\k", true, "undoverstrike"},
      {"caf\\U+00E9 \\U+4E2D", false, "caf\xE9 ?"},
      {"Gr\xC3\xB6\xC3\x9F"
       "e \xE2\x82\xAC",
       false,
       "Gr\xF6\xDF"
       "e EUR"},  // what ISO 8859-1 lacks: a look-alike
      {"Gr\xF6\xDF"
       "e",
       false,
       "Gr\xF6\xDF"
       "e"},  // not UTF-8: the bytes as they are
      {"ends\\", true, "ends"},
      // A TEXT keeps its backslashes; only MTEXT has formatting codes.
      {"ends\\", false, "ends\\"},
      {"C:\\Plans\\new\\P\\{x\\}", false, "C:\\Plans\\new\\P\\{x\\}"},
      // Caret notation, in both: a caret, control characters; an undefined
      // one stays as it is.
      {"x^ 2 y^ J^", false, "x^2 y^J^"},
      {"a^Ib^Jc^x", false, "a\tb\nc^x"},
      {"x^ 2\\P^ ", true, "x^2\n^"},
      {"\\A1;centred", true, "centred"},
  };
  for (const Case& c : cases) {
    std::string log;
    EXPECT_EQ(dxf_convert_text(c.raw, c.mtext, &log), c.expected) << c.raw;
    EXPECT_EQ(log, "") << c.raw;
  }
  std::string log;
  EXPECT_EQ(dxf_convert_text("a\\Xb", true, &log), "ab");
  EXPECT_EQ(log, "unsupported mtext code 88: X\n");
  EXPECT_EQ(dxf_convert_text(std::string(70000, 'x'), false, nullptr).size(), 65535u);
}

TEST_F(DxfReader, PensLineTypesAndColours) {
  const int pens[][2] = {{7, 0}, {1, 2}, {0, 1}, {256, 1}, {5, 6}, {250, 3}};
  for (const auto& p : pens) EXPECT_EQ(dxf_pen_from_color(p[0]), p[1]) << "colour " << p[0];

  line_types[4].name = "dashed";
  const std::pair<const char*, int> types[] = {
      {"DASHED", 2},      {"HIDDEN", 1},
      {"CENTER", 3},      {"PHANTOM", 5},
      {"VERDECKT", 1},    {"MITTE", 7},
      {"RAND", 6},        {"KURZGESTRICHELT", 1},
      {"GESTRICHELT", 2}, {"STRICHPUNKT", 3},
      {"GETRENNT", 5},    {"dashed", 4},
      {"Continuous", 0},  {"", 0},
  };
  for (const auto& [name, type] : types) EXPECT_EQ(dxf_linetype_from_name(name), type) << name;

  struct Rgb {
    int index, r, g, b;
  } colours[] = {
      {0, 0, 0, 0},         {1, 255, 0, 0},       {7, 255, 255, 255},   {8, 65, 65, 65},
      {9, 128, 128, 128},   {10, 255, 0, 0},      {11, 255, 170, 170},  {12, 189, 0, 0},
      {13, 189, 126, 126},  {14, 129, 0, 0},      {15, 129, 86, 86},    {16, 104, 0, 0},
      {17, 104, 69, 69},    {18, 79, 0, 0},       {19, 79, 53, 53},     {20, 255, 63, 0},
      {30, 255, 127, 0},    {40, 255, 191, 0},    {50, 255, 255, 0},    {60, 191, 255, 0},
      {90, 0, 255, 0},      {130, 0, 255, 255},   {170, 0, 0, 255},     {210, 255, 0, 255},
      {240, 255, 0, 63},    {250, 51, 51, 51},    {251, 80, 80, 80},    {252, 105, 105, 105},
      {253, 130, 130, 130}, {254, 190, 190, 190}, {255, 255, 255, 255},
  };
  for (const Rgb& c : colours) {
    const DxfRgb got = dxf_aci_color(c.index);
    EXPECT_EQ(got.r, c.r) << "colour " << c.index;
    EXPECT_EQ(got.g, c.g) << "colour " << c.index;
    EXPECT_EQ(got.b, c.b) << "colour " << c.index;
  }
}

// The line source hands out whole lines across its block borders, with or
// without CR, and the last line without its LF.
TEST(DxfLines, WholeLinesAcrossBlocks) {
  const std::string long_line(5000, 'x');
  std::istringstream in("0\r\nTEXT\r\n1\n" + long_line + "\r\n\r\nlast");
  dxf::LineSource src(in, 7);
  std::vector<std::string> lines;
  std::string_view line;
  while (src.next(line)) lines.emplace_back(line);
  const std::vector<std::string> expected = {"0", "TEXT", "1", long_line, "", "last"};
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(src.consumed(), in.str().size());
}

TEST_F(DxfReader, LongValuesKeepTheGroupsInStep) {
  const std::string chunk(250, 'a'), rest(100, 'b'), long_text(3000, 'c');
  DxfImport r =
      dxf_read_text(dxf_entities("0 MTEXT|10 0|20 0|40 1|3 " + chunk + "|3 " + chunk + "|1 " + rest +
                                 "|0 TEXT|10 0|20 0|40 1|1 " + long_text + "|0 LINE|10 1|20 2|11 3|21 4"));
  ASSERT_EQ(r.error, DxfError::NONE);
  auto texts = dxf_of<TextElem>(r);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0]->text, chunk + chunk + rest);
  EXPECT_EQ(texts[1]->text, long_text);
  auto lines = dxf_of<LineElem>(r);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->p2.x, 3.0);
  EXPECT_EQ(lines[0]->p2.y, 4.0);
}

TEST_F(DxfReader, CodesWithBlanksAndCrLf) {
  std::string file =
      "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nLINE\r\n 10\r\n 1.5\r\n 20\r\n+2\r\n 11\r\n"
      "1e1\r\n 21\r\n.5\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n\r\n\r\n";
  DxfImport r = dxf_read_text(file);
  ASSERT_EQ(r.error, DxfError::NONE);
  auto lines = dxf_of<LineElem>(r);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->p1.x, 1.5);
  EXPECT_EQ(lines[0]->p1.y, 2.0);
  EXPECT_EQ(lines[0]->p2.x, 10.0);
  EXPECT_EQ(lines[0]->p2.y, 0.5);
}

TEST_F(DxfReader, HeaderExtentsOnlyWhenUsable) {
  struct Case {
    const char* header;
    bool usable;
  } cases[] = {
      {"9 $EXTMIN|10 0|20 -1|30 0|9 $EXTMAX|10 4|20 3|30 0", true},
      // Without z the following groups belong to the next variable.
      {"9 $EXTMIN|10 0|20 -1|9 $EXTMAX|10 4|20 3|9 $LIMMIN|10 0|20 0", true},
      {"9 $EXTMIN|10 1e+20|20 1e+20|30 1e+20|9 $EXTMAX|10 -1e+20|20 -1e+20|30 -1e+20", false},
      {"9 $EXTMIN|10 5|20 5|9 $EXTMAX|10 4|20 3", false},
      {"9 $EXTMIN|10 0|20 0|30 0", false},
  };
  for (const Case& c : cases) {
    const std::string file = dxf_groups("0 SECTION|2 HEADER") + dxf_groups(c.header) +
                             dxf_groups("0 ENDSEC") + dxf_layer_table("0 LAYER|2 A|62 3|70 0") +
                             dxf_entities("0 LINE|8 A|10 0|20 0|11 1|21 1");
    DxfImport r = dxf_read_text(file);
    ASSERT_EQ(r.error, DxfError::NONE) << c.header;
    EXPECT_EQ(r.has_extents, c.usable) << c.header;
    ASSERT_EQ(r.elements.size(), 1u) << c.header;
    EXPECT_EQ(r.elements[0]->pen, 4) << c.header;  // the layer table was read after the header
    if (c.usable) {
      EXPECT_EQ(r.extents_min.y, -1.0);
      EXPECT_EQ(r.extents_max.x, 4.0);
    }
  }
}

TEST_F(DxfReader, RefusesWhatIsNoUsableDxf) {
  struct Case {
    const char* what;
    std::string file;
    DxfError error;
    int64_t line;
  } cases[] = {
      {"binary", std::string("AutoCAD Binary DXF\r\n\x1a\0", 22) + "\x01\x02", DxfError::BINARY, 0},
      {"drawing file", std::string("AC1015\x00\x00\x00\x00\x06", 11), DxfError::NOT_DXF, 0},
      {"text", "Hello\nWorld\n", DxfError::NOT_DXF, 0},
      {"zeros", std::string(100000, '\0'), DxfError::NOT_DXF, 0},
      {"one endless line", std::string(100000, '7'), DxfError::NOT_DXF, 0},
      {"bad code", dxf_groups("0 SECTION|2 ENTITIES|0 LINE|10 1") + "x20\n1\n" + dxf_groups("0 ENDSEC|0 EOF"),
       DxfError::CORRUPT, 9},
      {"no entities", dxf_groups("0 SECTION|2 HEADER|0 ENDSEC|0 EOF"), DxfError::NO_ENTITIES, 0},
      {"empty", "", DxfError::NO_ENTITIES, 0},
      {"entities as a value", dxf_groups("0 SECTION|2 HEADER|9 $X|1 ENTITIES|0 ENDSEC|0 EOF"),
       DxfError::NO_ENTITIES, 0},
      {"truncated", dxf_groups("0 SECTION|2 ENTITIES|0 LINE|10 0|20 0|11 1|21"), DxfError::TRUNCATED, 0},
      {"cut before ENDSEC", dxf_groups("0 SECTION|2 ENTITIES|0 LINE|10 0|20 0|11 1|21 1"),
       DxfError::TRUNCATED, 0},
  };
  for (const Case& c : cases) {
    DxfImport r = dxf_read_text(c.file);
    EXPECT_EQ(r.error, c.error) << c.what;
    EXPECT_EQ(r.error_line, c.line) << c.what;
    if (c.error != DxfError::NONE) {
      EXPECT_TRUE(r.elements.empty()) << c.what;
    }
  }
}

// A file that cannot be a DXF is refused from its first bytes: a huge one
// is not read through first.
TEST_F(DxfReader, NoDxfIsRefusedWithoutReadingIt) {
  struct CountingBuf : std::stringbuf {
    explicit CountingBuf(const std::string& s) : std::stringbuf(s) {}
    std::size_t taken = 0;
    std::streamsize xsgetn(char* s, std::streamsize n) override {
      const std::streamsize got = std::stringbuf::xsgetn(s, n);
      taken += static_cast<std::size_t>(got);
      return got;
    }
  };
  CountingBuf buf(std::string(std::size_t{32} << 20, '\0'));
  std::istream in(&buf);
  DxfImport r = dxf_read(in, {});
  EXPECT_EQ(r.error, DxfError::NOT_DXF);
  EXPECT_LE(buf.taken, 4096u);
}

TEST_F(DxfReader, LayersJoinedKeptFrozenAndUnlisted) {
  const std::string table = dxf_layer_table(
      "0 LAYER|2 Walls|62 5|6 DASHED|70 0|0 LAYER|2 Frozen|62 1|70 1|0 LAYER|2 Off|62 -1|70 0|"
      "0 LAYER|2 D|70 0|0 LAYER|2 E|70 0|0 LAYER|2 F|70 0");
  const std::string body = table + dxf_entities(
                                       "0 LINE|8 WALLS|62 256|10 0|20 0|11 1|21 0|"
                                       "0 LINE|8 Walls|62 0|6 HIDDEN|10 0|20 0|11 1|21 0|"
                                       "0 LINE|8 Frozen|10 0|20 0|11 1|21 0|"
                                       "0 LINE|8 Off|10 0|20 0|11 1|21 0|"
                                       "0 LINE|8 Nowhere|62 3|10 0|20 0|11 1|21 0|"
                                       "0 LINE|8 F|10 0|20 0|11 1|21 0");
  // Joined: everything on the current layer; the frozen layer's line is gone.
  DxfImportOptions join;
  join.first_layer = 12;
  DxfImport r = dxf_read_text(body, join);
  ASSERT_EQ(r.error, DxfError::NONE);
  ASSERT_EQ(r.elements.size(), 5u);
  for (const auto& e : r.elements) EXPECT_EQ(e->layer, 12);
  EXPECT_EQ(r.elements[0]->pen, 6);  // by layer, and the name's case does not matter
  EXPECT_EQ(r.elements[0]->line_type, 2);
  EXPECT_EQ(r.elements[1]->pen, 6);  // colour 0 (by block) as by layer
  EXPECT_EQ(r.elements[1]->line_type, 1);
  EXPECT_EQ(r.elements[2]->pen, 2);  // an "off" layer keeps its colour's pen
  EXPECT_EQ(r.elements[3]->pen, 4);
  EXPECT_EQ(r.stats.line, 5);
  EXPECT_TRUE(r.layer_names.empty());

  // Kept: program layers from the current one up, the last ones sharing 999.
  DxfImportOptions keep;
  keep.layer_mode = 1;
  keep.first_layer = 997;
  r = dxf_read_text(body, keep);
  ASSERT_EQ(r.error, DxfError::NONE);
  std::vector<std::pair<int, std::string>> names;
  for (const DxfLayerName& l : r.layer_names) names.emplace_back(l.layer, l.name);
  const std::vector<std::pair<int, std::string>> expected = {{997, "Walls"}, {998, "Off"}, {999, "D"},
                                                             {999, "E"},     {999, "F"},   {999, "Nowhere"}};
  EXPECT_EQ(names, expected);
  ASSERT_EQ(r.elements.size(), 5u);
  EXPECT_EQ(r.elements[0]->layer, 997);
  EXPECT_EQ(r.elements[2]->layer, 998);
  EXPECT_EQ(r.elements[3]->layer, 999);
  EXPECT_EQ(r.elements[4]->layer, 999);
  // Those put on the last layer with another are said.
  EXPECT_EQ(dxf_left_out_text(r), "3 more layers put on layer 999");
  const std::string three_layers = dxf_layer_table("0 LAYER|2 A|70 0|0 LAYER|2 B|70 0|0 LAYER|2 C|70 0") +
                                   dxf_entities("0 LINE|8 A|10 0|20 0|11 1|21 0");
  keep.first_layer = 998;
  r = dxf_read_text(three_layers, keep);
  EXPECT_EQ(dxf_left_out_text(r), "1 more layer put on layer 999");
  keep.first_layer = 997;
  r = dxf_read_text(three_layers, keep);
  EXPECT_EQ(dxf_left_out_text(r), "");
}

// A kept layer's name longer than a program layer's name holds is cut, and
// the end-of-import line says so; joined layers keep no names to cut.
TEST_F(DxfReader, LayerNamesCutAreSaid) {
  const std::string longest(79, 'a');
  struct Case {
    const char* what;
    std::vector<std::string> names;  // of the layer table's entries
    int layer_mode;
    const char* said;
  } cases[] = {
      {"as long as a name holds", {longest}, 1, ""},
      {"one character longer", {longest + "b"}, 1, "1 layer name cut to 79 characters"},
      {"one long, one far longer",
       {longest + "b", std::string(300, 'c'), "short"},
       1,
       "2 layer names cut to 79 characters"},
      {"joined", {longest + "b"}, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string table;
    for (const std::string& name : c.names)
      table += (table.empty() ? "0 LAYER|2 " : "|0 LAYER|2 ") + name + "|70 0";
    DxfImportOptions o;
    o.layer_mode = c.layer_mode;
    DxfImport r = dxf_read_text(dxf_layer_table(table) + dxf_entities("0 LINE|10 0|20 0|11 1|21 0"), o);
    ASSERT_EQ(r.error, DxfError::NONE);
    EXPECT_EQ(r.elements.size(), 1u);
    EXPECT_EQ(dxf_left_out_text(r), c.said);
  }
}

TEST_F(DxfReader, WithoutLayerTableEverythingOnTheCurrentLayer) {
  DxfImportOptions o;
  o.first_layer = 3;
  o.layer_mode = 1;
  DxfImport r =
      dxf_read_text(dxf_entities("0 LINE|8 A|10 0|20 0|11 1|21 0|0 LINE|8 B|62 256|6 DASHED|10 0|20 0|"
                                 "11 1|21 0"),
                    o);
  ASSERT_EQ(r.elements.size(), 2u);
  for (const auto& e : r.elements) {
    EXPECT_EQ(e->layer, 3);
    EXPECT_EQ(e->pen, 0);
  }
  EXPECT_EQ(r.elements[1]->line_type, 2);
  EXPECT_TRUE(r.layer_names.empty());
}

// Values that read like section, table or entry names are only values.
TEST_F(DxfReader, KeywordsCountOnlyAsCodesZeroAndTwo) {
  const std::string file = dxf_groups("0 SECTION|2 HEADER|9 $PROJECTNAME|1 BLOCK|9 $X|1 ENTITIES|0 ENDSEC") +
                           dxf_layer_table("0 LAYER|2 LAYER|62 2|70 0|0 LAYER|2 ENTITIES|62 4|70 0") +
                           dxf_groups(
                               "0 SECTION|2 BLOCKS|0 BLOCK|2 B|10 0|20 0|0 TEXT|8 LAYER|10 0|20 0|40 1|1 "
                               "BLOCK|0 ENDBLK|0 ENDSEC") +
                           dxf_entities("0 TEXT|8 ENTITIES|10 0|20 0|40 1|1 ENDSEC|0 INSERT|2 B|10 5|20 0");
  DxfImport r = dxf_read_text(file);
  ASSERT_EQ(r.error, DxfError::NONE);
  auto texts = dxf_of<TextElem>(r);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0]->text, "ENDSEC");
  EXPECT_EQ(texts[0]->pen, 5);
  EXPECT_EQ(texts[1]->text, "BLOCK");
  EXPECT_EQ(texts[1]->pen, 3);
  EXPECT_EQ(texts[1]->pos.x, 5.0);
}

TEST_F(DxfReader, ProgressMovesEveryTwoHundredEntities) {
  std::string body;
  for (int i = 0; i < 500; ++i) body += "0 POINT|10 " + std::to_string(i) + "|20 0|";
  body.pop_back();
  std::vector<double> seen;
  DxfImportOptions o;
  o.progress = [&seen](double f) { seen.push_back(f); };
  DxfImport r = dxf_read_text(dxf_entities(body), o);
  EXPECT_EQ(r.stats.point, 500);
  ASSERT_EQ(seen.size(), 3u);  // after the first pass, then twice
  EXPECT_EQ(seen[0], 0.25);
  EXPECT_GT(seen[1], 0.25 + 0.75 * 0.3);
  EXPECT_LT(seen[2], 1.0);
  EXPECT_GT(seen[2], seen[1]);
}

// Cancel stops the import in either pass and leaves nothing.
TEST_F(DxfReader, CancelStopsTheImport) {
  std::string body;
  for (int i = 0; i < 200000; ++i) body += "0 POINT|10 " + std::to_string(i) + "|20 0|";
  body.pop_back();
  const std::string file = dxf_entities(body);
  for (int answer_at : {1, 3}) {
    int asked = 0;
    std::vector<double> seen;
    DxfImportOptions o;
    o.progress = [&seen](double f) { seen.push_back(f); };
    o.cancelled = [&asked, answer_at] { return ++asked >= answer_at; };
    DxfImport r = dxf_read_text(file, o);
    EXPECT_EQ(r.error, DxfError::CANCELLED) << answer_at;
    EXPECT_TRUE(r.elements.empty());
    EXPECT_EQ(asked, answer_at);
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(answer_at));
    // The first pass showed its part of the bar by the bytes read.
    EXPECT_LT(seen[0], 0.25);
  }
}

TEST(DxfStatsText, OneLinePerKind) {
  DxfStats s;
  s.line = 3;
  s.ellipse = 2;
  s.hatch = 1;
  s.attdef = 4;
  const std::string text = dxf_stats_text(s);
  EXPECT_EQ(text.substr(0, 32), "      LINE: 3\n     POINT: 0\n    ");
  EXPECT_NE(text.find("\n    ELLIPSE 2\n"), std::string::npos);
  EXPECT_NE(text.find("\n     HATCH: 1\n    ATTRIB: 0\n    ATTDEF: 4\n"), std::string::npos);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 23);
}

// 8-bit texts decode by the file's code page; what ISO 8859-1 lacks becomes
// a look-alike or "?", never a control character.
TEST_F(DxfReader, TextsDecodeByTheCodePage) {
  struct Case {
    const char* page;  // nullptr: no $DWGCODEPAGE
    std::string raw, expected;
  } cases[] = {
      {"ANSI_1252", "\x80 5 \x84x\x93 a\x96z \xE9", "EUR 5 \"x\" a-z \xE9"},
      {nullptr, "\x80\x85", "EUR..."},
      {"ANSI_1250", "\xE9\xE8\x8A", "\xE9??"},
      {"ANSI_1251", "\xC0\xE0", "??"},
      {"dos850", "\x81\xE1", "\xFC\xDF"},
      {"DOS437", "\x84\xE1\x9B", "\xE4\xDF\xA2"},
      {"ANSI_1252",
       "Gr\xC3\xB6\xC3\x9F"
       "e \xE2\x80\x93",
       "Gr\xF6\xDF"
       "e -"},  // UTF-8 stays UTF-8
  };
  for (const Case& c : cases) {
    std::string file;
    if (c.page) file = dxf_groups(std::string("0 SECTION|2 HEADER|9 $DWGCODEPAGE|3 ") + c.page + "|0 ENDSEC");
    file += dxf_entities("0 TEXT|10 0|20 0|40 1|1 " + c.raw);
    DxfImport r = dxf_read_text(file);
    auto t = dxf_of<TextElem>(r);
    ASSERT_EQ(t.size(), 1u) << c.raw;
    EXPECT_EQ(t[0]->text, c.expected) << (c.page ? c.page : "none");
  }
}

// The command: a refused file leaves the drawing as it was, a good one is
// one undo step.
class DxfImportCommand : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    display_state_reset();
  }
  std::string run(const std::string& file_text, const char* name = "plan.dxf") {
    folder_.write(name, file_text);
    ui_.paths.push_back((folder_ / name).string());
    testing::internal::CaptureStdout();
    dxf_import();
    return testing::internal::GetCapturedStdout();
  }
  TempFolder folder_;
  RecordingUi ui_;
};

TEST_F(DxfImportCommand, GoodFileIsOneUndoStep) {
  elem_new_line(0, 0, 0, 5, 5, 6, 6);
  undo_record(UNDO_CREATED, 1);
  dxf_settings.import_unit = 2;
  const std::string out = run(ONE_LINE + "");
  EXPECT_NE(out.find("      LINE: 1\n"), std::string::npos) << out;
  ASSERT_EQ(elements().size(), 2u);
  const auto* l = elem_as<LineElem>(elements()[1]);
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(l->p2.x, 1.0);
  EXPECT_EQ(l->p2.y, 0.5);
  EXPECT_EQ(import_file.view(), (folder_ / "plan.dxf").string());
  EXPECT_TRUE(ui_.calls_starting("error").empty());
  undo_step_back();
  EXPECT_EQ(elements().size(), 1u);
}

// A unit the import offers none for ($INSUNITS of decimetres, kilometres,
// yards, ...) is said in the end-of-import line with the unit the lengths
// were read in; no unit (0) and the units it offers say nothing.
TEST_F(DxfReader, AUnitTheImportDoesNotOfferIsSaid) {
  struct Case {
    const char* insunits;
    int unit;
    const char* said;
  } cases[] = {
      {"14", DXF_UNIT_M, "unit 14 of the file unknown, lengths read in m"},
      {"7", DXF_UNIT_MM, "unit 7 of the file unknown, lengths read in mm"},
      {"-3", DXF_UNIT_M, "unit -3 of the file unknown, lengths read in m"},
      {"0", DXF_UNIT_M, ""},
      {"4", DXF_UNIT_M, ""},
      {"6", DXF_UNIT_CM, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.insunits);
    DxfImportOptions o;
    o.unit = c.unit;
    DxfImport r =
        dxf_read_text(dxf_groups(std::string("0 SECTION|2 HEADER|9 $ACADVER|1 AC1015|9 $INSUNITS|70 ") +
                                 c.insunits + "|0 ENDSEC") +
                          dxf_entities("0 LINE|10 0|20 0|11 1|21 0"),
                      o);
    ASSERT_EQ(r.error, DxfError::NONE);
    EXPECT_EQ(r.elements.size(), 1u);
    EXPECT_EQ(dxf_left_out_text(r), c.said);
  }
}

// A file that gives its unit ($INSUNITS) has it preselected: the question
// offers it first, the dialog's unit second; the answer becomes the
// dialog's unit and the unit of the lengths read. A file that gives none,
// or the dialog's own, asks nothing.
TEST_F(DxfImportCommand, TheFilesUnitIsPreselected) {
  auto file = [](const char* insunits) {
    std::string header = "0 SECTION|2 HEADER|9 $ACADVER|1 AC1015";
    if (insunits) header += std::string("|9 $INSUNITS|70 ") + insunits;
    return dxf_groups(header + "|0 ENDSEC") + dxf_entities("0 LINE|10 0|20 0|11 1000|21 0");
  };
  struct Case {
    const char* insunits;
    int dialog;
    std::vector<int> answers;
    const char* asked;  // nullptr: no question
    int unit_after;
    double length;  // of the line read, in metres; 0: nothing read
  } cases[] = {
      {"4",
       DXF_UNIT_M,
       {1},
       "ask The file gives its lengths in mm, the import is set to m. Read them in: [mm] [m] [Cancel]",
       DXF_UNIT_MM,
       1},
      {"4",
       DXF_UNIT_M,
       {2},
       "ask The file gives its lengths in mm, the import is set to m. Read them in: [mm] [m] [Cancel]",
       DXF_UNIT_M,
       1000},
      {"4",
       DXF_UNIT_M,
       {3},
       "ask The file gives its lengths in mm, the import is set to m. Read them in: [mm] [m] [Cancel]",
       DXF_UNIT_M,
       0},
      {"5",
       DXF_UNIT_INCH,
       {1},
       "ask The file gives its lengths in cm, the import is set to inch. Read them in: [cm] [inch] [Cancel]",
       DXF_UNIT_CM,
       10},
      {"1",
       DXF_UNIT_M,
       {1},
       "ask The file gives its lengths in inch, the import is set to m. Read them in: [inch] [m] [Cancel]",
       DXF_UNIT_INCH,
       25.4},
      {"2",
       DXF_UNIT_MM,
       {1},
       "ask The file gives its lengths in feet, the import is set to mm. Read them in: [feet] [mm] [Cancel]",
       DXF_UNIT_FEET,
       304.8},
      {"6",
       DXF_UNIT_MM,
       {1},
       "ask The file gives its lengths in m, the import is set to mm. Read them in: [m] [mm] [Cancel]",
       DXF_UNIT_M,
       1000},
      {"4", DXF_UNIT_MM, {}, nullptr, DXF_UNIT_MM, 1},
      {"0", DXF_UNIT_CM, {}, nullptr, DXF_UNIT_CM, 10},  // unitless
      {"3", DXF_UNIT_CM, {}, nullptr, DXF_UNIT_CM, 10},  // miles: not offered
      {nullptr, DXF_UNIT_CM, {}, nullptr, DXF_UNIT_CM, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.insunits ? c.insunits : "none");
    drawing_free();
    ui_.calls.clear();
    ui_.answers.assign(c.answers.begin(), c.answers.end());
    dxf_settings.import_unit = c.dialog;
    run(file(c.insunits));
    const auto asked = ui_.calls_starting("ask");
    if (c.asked) {
      EXPECT_EQ(asked, std::vector<std::string>{c.asked});
    } else {
      EXPECT_TRUE(asked.empty()) << asked[0];
    }
    EXPECT_EQ(dxf_settings.import_unit, c.unit_after);
    const auto lines = elements();
    if (c.length == 0) {
      EXPECT_TRUE(lines.empty());
      continue;
    }
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NEAR(elem_as<LineElem>(lines[0])->p2.x, c.length, 1e-9);
  }
}

TEST_F(DxfImportCommand, RefusedFilesChangeNothing) {
  elem_new_line(0, 0, 0, 5, 5, 6, 6);
  undo_record(UNDO_CREATED, 1);
  const uint8_t steps = undo_used;
  struct Case {
    std::string file;
    const char* message;
  } cases[] = {
      {dxf_groups("0 SECTION|2 HEADER|0 ENDSEC|0 EOF"),
       "error The ENTITIES section is missing.. file is corrupt!"},
      {"AutoCAD Binary DXF\r\n", "error This is a binary DXF file. Please save it as ASCII DXF."},
      {"0\nSECTION\n2\nENTITIES\n0\nLINE\nten\n1\n",
       "error Line 7 of the DXF file holds no group code.. file is corrupt!"},
      {dxf_groups("0 SECTION|2 ENTITIES|0 LINE|10 0|20 0"),
       "error The DXF file ends inside the ENTITIES section.. file is truncated!"},
      {dxf_groups("0 SECTION|2 BLOCKS|0 BLOCK|2 L|10 0|20 0|0 LINE|10 0|20 0|11 1|21 0|0 ENDBLK|"
                  "0 BLOCK|2 G|10 0|20 0|0 INSERT|2 L|70 32767|71 32767|0 ENDBLK|0 ENDSEC") +
           dxf_entities("0 INSERT|2 G|70 4|71 1"),
       "error The file would make 4294705156 elements; at most 10000000 can be imported."},
  };
  for (const Case& c : cases) {
    ui_.calls.clear();
    run(c.file);
    EXPECT_EQ(ui_.calls_starting("error"), std::vector<std::string>{c.message});
    EXPECT_EQ(elements().size(), 1u);
    EXPECT_EQ(undo_used, steps);
  }
  ui_.calls.clear();
  ui_.paths.push_back((folder_ / "missing.dxf").string());
  dxf_import();
  EXPECT_EQ(ui_.calls_starting("error"), std::vector<std::string>{"error Cannot open file"});
}

// The main view shows the header's box with a tenth to spare, or without a
// usable box the imported drawing.
TEST_F(DxfImportCommand, ZoomsToTheResult) {
  views[0] = ViewRec{};
  views[0].right = 600;
  views[0].bottom = 400;
  run(dxf_groups("0 SECTION|2 HEADER|9 $EXTMIN|10 0|20 0|30 0|9 $EXTMAX|10 10|20 5|30 0|0 ENDSEC") +
      dxf_entities("0 LINE|10 0|20 0|11 1|21 1"));
  EXPECT_NEAR(views[0].xmax - views[0].xmin, 11.0, 1e-9);
  EXPECT_NEAR((views[0].xmin + views[0].xmax) / 2, 5.0, 1e-9);
  EXPECT_NEAR((views[0].ymin + views[0].ymax) / 2, 2.5, 1e-9);

  // Both imports together: (0, 0) to (140, 220).
  run(dxf_entities("0 LINE|10 100|20 200|11 140|21 220"));
  EXPECT_NEAR((views[0].xmin + views[0].xmax) / 2, 70.0, 1e-9);
  EXPECT_NEAR((views[0].ymin + views[0].ymax) / 2, 110.0, 1e-9);
  EXPECT_GT(views[0].ymax - views[0].ymin, 220.0);
}

// What was left out is counted by kind and said at the end: on standard
// output and as the progress window's last line. Cancel leaves the drawing
// as it was, without an error box.
TEST_F(DxfImportCommand, SaysWhatWasLeftOutAndCanBeCancelled) {
  const std::string out = run(dxf_entities(
      "0 IMAGE|10 0|0 LINE|67 1|10 0|20 0|11 1|21 0|0 IMAGE|10 0|0 IMAGE|10 0|"
      "0 CIRCLE|67 1|10 0|20 0|40 1|0 POLYLINE|67 1|8 Sheet|66 1|0 VERTEX|67 1|8 Sheet|10 0|20 0|"
      "0 VERTEX|67 1|8 Sheet|10 5|20 0|0 SEQEND|67 1|8 Sheet|0 LINE|10 0|20 0|11 1|21 1"));
  EXPECT_EQ(elements().size(), 1u);
  const std::string line = "1 element made; 3 IMAGE, 3 paper-space entities not imported";
  EXPECT_NE(out.find("     HATCH: 0\n    ATTRIB: 0\n    ATTDEF: 0\n" + line + "\n"), std::string::npos)
      << out;
  EXPECT_EQ(ui_.calls_starting("progress_open"),
            std::vector<std::string>{"progress_open_cancel Import DXF..."});
  EXPECT_EQ(ui_.calls_starting("progress_finish"), std::vector<std::string>{"progress_finish " + line});

  ui_.calls.clear();
  run(dxf_entities("0 LINE|10 0|20 0|11 1|21 1"));
  EXPECT_EQ(ui_.calls_starting("progress_finish"),
            std::vector<std::string>{"progress_finish 1 element made"});

  ui_.calls.clear();
  ui_.cancel_after_updates = 1;
  const std::string cancelled = run(dxf_entities("0 LINE|10 0|20 0|11 1|21 1"));
  EXPECT_EQ(elements().size(), 2u);
  EXPECT_TRUE(ui_.calls_starting("error").empty());
  EXPECT_EQ(ui_.calls_starting("progress_close"), std::vector<std::string>{"progress_close"});
  EXPECT_NE(cancelled.find("Import cancelled."), std::string::npos);
}

// The progress window's Cancel also stops the copying of block content
// after the reading: the drawing stays as it was, without an error box.
TEST_F(DxfImportCommand, CancelStopsTheCopyingOfBlocks) {
  const std::string file =
      dxf_groups("0 SECTION|2 BLOCKS|0 BLOCK|2 L|10 0|20 0|0 LINE|10 0|20 0|11 1|21 0|0 ENDBLK|0 ENDSEC") +
      dxf_entities("0 INSERT|2 L|70 1000|71 1000|44 2|45 2");
  const std::size_t before = elements().size();
  const int steps = undo_used;
  // The first update comes after the first pass, the second from the copying.
  ui_.cancel_after_updates = 2;
  const std::string out = run(file);
  EXPECT_EQ(elements().size(), before);
  EXPECT_EQ(undo_used, steps);
  EXPECT_TRUE(ui_.calls_starting("error").empty());
  EXPECT_EQ(ui_.calls_starting("progress_close"), std::vector<std::string>{"progress_close"});
  EXPECT_NE(out.find("Import cancelled."), std::string::npos);
}

TEST_F(DxfImportCommand, KeptLayersAreNamedAndShown) {
  dxf_settings.import_layer_mode = 1;
  cur_layer = 5;
  run(dxf_layer_table("0 LAYER|2 Walls|70 0|0 LAYER|2 Doors|70 0") +
      dxf_entities("0 LINE|8 Doors|10 0|20 0|11 1|21 0"));
  EXPECT_EQ(layers[5].name.view(), "Walls");
  EXPECT_EQ(layers[6].name.view(), "Doors");
  EXPECT_EQ(layers[6].shown, 1);
  ASSERT_EQ(elements().size(), 1u);
  EXPECT_EQ(elements()[0]->layer, 6);
}

}  // namespace
