// Texts, dimensions, block definitions and inserts.

#include <gtest/gtest.h>

#include <cmath>

#include "dxf_test_util.h"
#include "model/presets.h"
#include "model/settings.h"

namespace {

using DxfTexts = ModelTest;

constexpr double PI = 3.141592653589793;

const TextElem* one_text(const DxfImport& r) {
  auto t = dxf_of<TextElem>(r);
  return t.size() == 1 ? t[0] : nullptr;
}

TEST_F(DxfTexts, TextPlacement) {
  struct Case {
    const char* groups;
    double x, y, angle, fit;
    uint8_t alignment;
  } cases[] = {
      {"10 1|20 2|40 2", 1, 2, 0, 0, TEXT_LEFT},
      {"10 0|20 0|11 10|21 5|40 2|72 1|73 2", 10, 4, 0, 0, TEXT_CENTRED},
      {"10 0|20 0|11 10|21 5|40 2|72 2|73 1", 10, 5.5, 0, 0, TEXT_RIGHT},
      {"10 0|20 0|11 10|21 5|40 2|72 2|73 3", 10, 3, 0, 0, TEXT_RIGHT},
      {"10 0|20 0|11 0|21 0|40 2|72 4|50 90", 1, 0, PI / 2, 0, TEXT_CENTRED},
      {"10 0|20 0|11 3|21 4|40 2|72 5", 0, 0, std::atan2(4, 3), 5, TEXT_JUSTIFIED},
      {"10 1|20 1|11 1|21 3|40 2|72 3", 1, 1, PI / 2, 0, TEXT_LEFT},
      {"10 7|20 8|40 2|72 1", 7, 8, 0, 0, TEXT_CENTRED},  // no alignment point: the insertion point
  };
  for (const Case& c : cases) {
    DxfImport r = dxf_read_text(dxf_entities(std::string("0 TEXT|1 AB|") + c.groups));
    const TextElem* t = one_text(r);
    ASSERT_NE(t, nullptr) << c.groups;
    EXPECT_NEAR(t->pos.x, c.x, 1e-12) << c.groups;
    EXPECT_NEAR(t->pos.y, c.y, 1e-12) << c.groups;
    EXPECT_NEAR(t->angle, c.angle, 1e-12) << c.groups;
    EXPECT_NEAR(t->fit_length, c.fit, 1e-12) << c.groups;
    EXPECT_EQ(t->alignment, c.alignment) << c.groups;
    EXPECT_EQ(t->text, "AB");
    EXPECT_EQ(t->font.view(), "Simpel");
    EXPECT_EQ(t->spacing, 0.1);
    EXPECT_EQ(t->line_spacing, 1.3);
    EXPECT_EQ(t->width_factor, 1.0);
  }
}

TEST_F(DxfTexts, TextHeightOnPaperAndWidth) {
  DxfImportOptions o;
  o.drawing_scale = 100;
  DxfImport r =
      dxf_read_text(dxf_entities("0 TEXT|1 AB|10 0|20 0|40 2.5|41 0.8|0 TEXT|1 |10 0|20 0|40 1"), o);
  ASSERT_NE(one_text(r), nullptr);
  EXPECT_DOUBLE_EQ(one_text(r)->height, 25.0);
  EXPECT_EQ(one_text(r)->width_factor, 0.8);
  EXPECT_EQ(r.log, "Empty Text Entity\n");
  EXPECT_EQ(r.stats.text, 1);
  o.drawing_scale = 50;
  r = dxf_read_text(dxf_entities("0 TEXT|1 AB|10 0|20 0|40 2.5"), o);
  EXPECT_DOUBLE_EQ(one_text(r)->height, 50.0);
}

// A text's letters are as wide as its height times its width factor: a
// text whose letters would be wider than the range a drawing keeps is left
// out and said, as one too high is.
TEST_F(DxfTexts, TextsWiderThanTheRangeAreLeftOut) {
  struct Case {
    const char* size;
    bool kept;
  } cases[] = {
      {"40 1|41 1e300", false}, {"40 1e100|41 1e300", false}, {"40 1e-3|41 1e102", true},
      {"40 1|41 1e100", true},  {"40 2|41 1e100", false},     {"40 1e100|41 1", true},
  };
  // At 1:1000 a text's height in metres is its height on paper in millimetres.
  DxfImportOptions o;
  o.drawing_scale = 1000;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    DxfImport r = dxf_read_text(dxf_entities(std::string("0 TEXT|1 AB|10 0|20 0|") + c.size), o);
    EXPECT_EQ(dxf_of<TextElem>(r).size(), c.kept ? 1u : 0u);
    EXPECT_EQ(dxf_left_out_text(r), c.kept ? "" : "1 TEXT beyond the numbers' range not imported");
  }
}

TEST_F(DxfTexts, MtextPlacement) {
  struct Case {
    const char* groups;
    double x, y, angle;
    uint8_t alignment;
  } cases[] = {
      {"71 1|11 1|21 0", 0, -1, 0, TEXT_LEFT},
      {"71 9|11 1|21 0", 0, 0.25, 0, TEXT_RIGHT},
      {"71 5", 0, -0.5, 0, TEXT_CENTRED},
      {"71 1|11 0|21 1", 1, 0, PI / 2, TEXT_LEFT},
      {"71 7|11 -1|21 0|50 30", 0, -0.25, PI, TEXT_LEFT},
      {"71 1|50 90", 1, 0, PI / 2, TEXT_LEFT},  // no direction vector: the rotation
      {"71 1|11 0|21 0|50 -90", -1, 0, 3 * PI / 2, TEXT_LEFT},
  };
  for (const Case& c : cases) {
    DxfImport r =
        dxf_read_text(dxf_entities(std::string("0 MTEXT|10 0|20 0|40 1|41 12|1 A\\PB|") + c.groups));
    const TextElem* t = one_text(r);
    ASSERT_NE(t, nullptr) << c.groups;
    EXPECT_NEAR(t->pos.x, c.x, 1e-12) << c.groups;
    EXPECT_NEAR(t->pos.y, c.y, 1e-12) << c.groups;
    EXPECT_NEAR(t->angle, c.angle, 1e-12) << c.groups;
    EXPECT_EQ(t->alignment, c.alignment) << c.groups;
    EXPECT_EQ(t->text, "A\nB");
    EXPECT_EQ(t->fit_length, 12.0);
    EXPECT_EQ(r.stats.mtext, 1);
  }
}

TEST_F(DxfTexts, Dimensions) {
  dim_preset.figure_size = 3.5;
  dim_preset.font = "Simpel";
  dim_preset.end_mark = DIM_MARK_ARROW;
  struct Case {
    const char* groups;
    uint8_t kind;
    std::vector<std::pair<double, double>> line_points, measured;
  } cases[] = {
      {"70 32|10 0|20 2|13 0|23 0|14 4|24 1|50 0", DIM_CHAIN, {{0, 2}, {4, 2}}, {{0, 0}, {4, 1}}},
      {"70 1|10 0|20 2|13 0|23 0|14 4|24 0", DIM_CHAIN, {{0, 2}, {4, 2}}, {{0, 0}, {4, 0}}},
      {"70 160|10 0|20 2|13 4|23 1|14 0|24 0|50 0", DIM_CHAIN, {{0, 2}, {4, 2}}, {{0, 0}, {4, 1}}},
      {"70 2|13 -1|23 0|14 1|24 0|15 0|25 -1|10 0|20 1|16 1|26 1",
       DIM_ANGLE,
       {{0, 0}, {std::sqrt(2.0), 0}, {0, std::sqrt(2.0)}},
       {{0, 0}, {0, 0}, {0, 0}}},
      {"70 5|15 0|25 0|10 2|20 0|13 0|23 5|14 5|24 0",
       DIM_ANGLE,
       {{0, 0}, {2, 0}, {0, 2}},
       {{0, 0}, {0, 0}, {0, 0}}},
  };
  for (const Case& c : cases) {
    DxfImport r = dxf_read_text(dxf_entities(std::string("0 DIMENSION|") + c.groups));
    auto d = dxf_of<DimElem>(r);
    ASSERT_EQ(d.size(), 1u) << c.groups;
    EXPECT_EQ(d[0]->dim_kind, c.kind) << c.groups;
    ASSERT_EQ(d[0]->points.size(), c.line_points.size()) << c.groups;
    for (std::size_t i = 0; i < c.line_points.size(); ++i) {
      EXPECT_NEAR(d[0]->points[i].line_point.x, c.line_points[i].first, 1e-9) << c.groups << " " << i;
      EXPECT_NEAR(d[0]->points[i].line_point.y, c.line_points[i].second, 1e-9) << c.groups << " " << i;
      EXPECT_NEAR(d[0]->points[i].measured.x, c.measured[i].first, 1e-9) << c.groups << " " << i;
      EXPECT_NEAR(d[0]->points[i].measured.y, c.measured[i].second, 1e-9) << c.groups << " " << i;
    }
    EXPECT_EQ(d[0]->figure_size, 3.5);
    EXPECT_EQ(d[0]->end_mark, DIM_MARK_ARROW);
    EXPECT_EQ(r.stats.dimension, 1);
  }
  for (const char* none : {"70 0|10 0|20 2|13 1|23 0|14 1|24 5|50 0", "70 4|10 0|20 0|15 0|25 0"}) {
    DxfImport r = dxf_read_text(dxf_entities(std::string("0 DIMENSION|") + none));
    EXPECT_TRUE(r.elements.empty()) << none;
    EXPECT_EQ(r.stats.dimension, 0) << none;
  }
}

TEST_F(DxfTexts, RadiusAndDiameterDimensions) {
  struct Case {
    const char* groups;
    uint8_t kind;
    std::vector<std::pair<double, double>> line_points;
  } cases[] = {
      // Centre and a point on the circle; without a text point the figure stands there.
      {"70 4|10 0|20 0|15 3|25 4", DIM_RADIUS, {{0, 0}, {3, 4}, {3, 4}}},
      {"70 36|10 1|20 1|15 4|25 5|11 7|21 9", DIM_RADIUS, {{1, 1}, {4, 5}, {7, 9}}},
      // The figure where the text stands, on the radius or beside it.
      {"70 4|10 0|20 0|15 3|25 4|11 -3|21 -4", DIM_RADIUS, {{0, 0}, {3, 4}, {-3, -4}}},
      {"70 4|10 7|20 6.5|15 8|25 6.5|11 8|21 7", DIM_RADIUS, {{7, 6.5}, {8, 6.5}, {8, 7}}},
      // The two ends of the diameter about the centre, through it wherever
      // the text stands beside or beyond it.
      {"70 3|10 -2|20 0|15 2|25 0", DIM_DIAMETER, {{0, 0}, {2, 0}, {-2, 0}}},
      {"70 35|10 3|20 4|15 1|25 4|11 2.5|21 4", DIM_DIAMETER, {{2, 4}, {1, 4}, {3, 4}}},
      {"70 3|10 3|20 4|15 1|25 4|11 9|21 7", DIM_DIAMETER, {{2, 4}, {1, 4}, {3, 4}}},
      {"70 3|10 0|20 3|15 0|25 -3|11 0.5|21 -4", DIM_DIAMETER, {{0, 0}, {0, -3}, {0, 3}}},
      {"70 3|10 -2|20 0|15 2|25 0|11 -2.85|21 0.225", DIM_DIAMETER, {{0, 0}, {2, 0}, {-2, 0}}},
      // The program's own export of a line beside the centre: the figure
      // right across from the centre.
      {"70 35|10 0|20 -2|15 0|25 2|11 2|21 0", DIM_DIAMETER, {{0, 0}, {2, 2}, {2, -2}}},
  };
  for (const Case& c : cases) {
    DxfImport r = dxf_read_text(dxf_entities(std::string("0 DIMENSION|") + c.groups));
    auto d = dxf_of<DimElem>(r);
    ASSERT_EQ(d.size(), 1u) << c.groups;
    EXPECT_EQ(d[0]->dim_kind, c.kind) << c.groups;
    EXPECT_EQ(d[0]->direction, 0.0);
    ASSERT_EQ(d[0]->points.size(), 3u) << c.groups;
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_NEAR(d[0]->points[i].line_point.x, c.line_points[i].first, 1e-9) << c.groups << " " << i;
      EXPECT_NEAR(d[0]->points[i].line_point.y, c.line_points[i].second, 1e-9) << c.groups << " " << i;
    }
    EXPECT_EQ(r.stats.dimension, 1);
    EXPECT_TRUE(r.left_out.empty());
  }
}

// A kind the program has no dimension for comes in as what its block
// draws; without a block it is named among what was left out.
TEST_F(DxfTexts, OtherDimensionsFromTheirBlocks) {
  const std::string defs = dxf_groups(
      "0 SECTION|2 BLOCKS|0 BLOCK|8 0|2 *D1|70 1|10 0|20 0|30 0|3 *D1|"
      "0 LINE|8 0|10 5|20 0|11 5|21 3|0 SOLID|8 0|10 5|20 3|11 4.9|21 2.8|12 5.1|22 2.8|13 5.1|23 2.8|"
      "0 TEXT|8 0|10 5.2|20 3|40 0.25|1 2.50|0 ENDBLK|8 0|0 ENDSEC");
  DxfImport r =
      dxf_read_text(defs + dxf_entities("0 DIMENSION|2 *D1|70 102|10 0|20 0|13 5|23 0|14 5|24 3|"
                                        "0 DIMENSION|2 *D1|70 2|13 0|23 0|14 1|24 0|15 0|25 1|10 1|20 1|"
                                        "0 DIMENSION|2 *NONE|70 6|0 DIMENSION|70 7"));
  EXPECT_EQ(dxf_of<LineElem>(r).size(), 2u);
  ASSERT_EQ(dxf_of<TextElem>(r).size(), 2u);
  EXPECT_EQ(dxf_of<TextElem>(r)[0]->text, "2.50");
  EXPECT_NEAR(dxf_of<TextElem>(r)[0]->pos.x, 5.2, 1e-12);
  EXPECT_NEAR(dxf_of<LineElem>(r)[0]->p2.y, 3.0, 1e-12);
  EXPECT_EQ(dxf_of<DimElem>(r).size(), 0u);
  EXPECT_EQ(r.stats.dimension, 2);
  EXPECT_EQ(r.left_out, (std::vector<std::pair<std::string, int64_t>>{{"DIMENSION", 2}}));
}

std::string block(const std::string& name, const std::string& base, const std::string& entities) {
  return "0 BLOCK|8 0|2 " + name + "|70 0|" + base + "|3 " + name + "|" + entities + "|0 ENDBLK|8 0";
}

std::string blocks(const std::string& defs) { return dxf_groups("0 SECTION|2 BLOCKS|" + defs + "|0 ENDSEC"); }

TEST_F(DxfTexts, InsertsMoveScaleAndTurnCopies) {
  const std::string defs = blocks(block("B", "10 1|20 1|30 0", "0 LINE|10 1|20 1|11 2|21 1"));
  struct Case {
    const char* insert;
    double x1, y1, x2, y2;
  } cases[] = {
      {"10 11|20 1|30 0|41 2|42 2|50 90", 11, 1, 11, 3},
      {"10 11|20 1|30 0|41 2|42 2|50 90|210 0|220 0|230 1", 11, 1, 11, 3},
      {"10 11|20 1|30 0|41 0|42 0|43 0", 11, 1, 12, 1},
      {"10 0|20 0|41 -1", 0, 0, -1, 0},
      {"10 0|20 0|210 0|220 0|230 -1", 0, 0, -1, 0},
  };
  for (const Case& c : cases) {
    DxfImport r = dxf_read_text(defs + dxf_entities(std::string("0 INSERT|2 B|") + c.insert));
    auto lines = dxf_of<LineElem>(r);
    ASSERT_EQ(lines.size(), 1u) << c.insert;  // the copy only: the definition stays out of the drawing
    EXPECT_NEAR(lines[0]->p1.x, c.x1, 1e-12) << c.insert;
    EXPECT_NEAR(lines[0]->p1.y, c.y1, 1e-12) << c.insert;
    EXPECT_NEAR(lines[0]->p2.x, c.x2, 1e-12) << c.insert;
    EXPECT_NEAR(lines[0]->p2.y, c.y2, 1e-12) << c.insert;
    EXPECT_EQ(lines[0]->group, 0);
    EXPECT_EQ(r.stats.insert, 1);
    EXPECT_EQ(r.stats.block, 1);
  }
  DxfImport r =
      dxf_read_text(defs + dxf_entities("0 INSERT|2 B|10 0|20 0|0 INSERT|2 b|10 5|20 0|0 INSERT|2 NONE"));
  EXPECT_EQ(dxf_of<LineElem>(r).size(), 2u);
  EXPECT_EQ(r.stats.insert, 3);
}

// A grid insert: every copy, the spacings turned with the insert but not
// scaled.
TEST_F(DxfTexts, GridInsertsMakeEveryCopy) {
  const std::string defs = blocks(block("B", "10 0|20 0|30 0", "0 LINE|10 0|20 0|11 1|21 0"));
  struct Case {
    const char* insert;
    std::vector<std::pair<double, double>> starts;
  } cases[] = {
      {"10 10|20 0|70 2|71 3|44 5|45 7", {{10, 0}, {15, 0}, {10, 7}, {15, 7}, {10, 14}, {15, 14}}},
      {"10 10|20 0|70 2|71 3|44 5|45 7|50 90|41 2|42 2",
       {{10, 0}, {10, 5}, {3, 0}, {3, 5}, {-4, 0}, {-4, 5}}},
      {"10 1|20 1|70 0|71 -4|44 5|45 7", {{1, 1}}},
  };
  for (const Case& c : cases) {
    DxfImport r = dxf_read_text(defs + dxf_entities(std::string("0 INSERT|2 B|") + c.insert));
    auto lines = dxf_of<LineElem>(r);
    ASSERT_EQ(lines.size(), c.starts.size()) << c.insert;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      EXPECT_NEAR(lines[i]->p1.x, c.starts[i].first, 1e-9) << c.insert << " " << i;
      EXPECT_NEAR(lines[i]->p1.y, c.starts[i].second, 1e-9) << c.insert << " " << i;
    }
    EXPECT_EQ(r.stats.insert, 1);
  }
  // A grid beyond measure is refused before anything is copied.
  DxfImport r = dxf_read_text(defs + dxf_entities("0 INSERT|2 B|70 100000|71 100000|44 1|45 1"));
  EXPECT_EQ(r.error, DxfError::TOO_MANY_ELEMENTS);
}

// The attributes of an insert come in as texts; invisible ones are named
// among what was left out. A definition shows in its block's inserts only
// when constant, and outside any block as its tag.
TEST_F(DxfTexts, AttributesBecomeTexts) {
  const std::string defs = blocks(block("B", "10 0|20 0|30 0",
                                        "0 LINE|10 0|20 0|11 1|21 0|"
                                        "0 ATTDEF|10 0|20 1|40 0.5|1 default|2 ROOM|3 Room number?|70 0|"
                                        "0 ATTDEF|10 0|20 2|40 0.5|1 Fixed|2 KIND|3 Kind?|70 2"));
  DxfImport r =
      dxf_read_text(defs + dxf_entities("0 INSERT|66 1|2 B|10 10|20 0|"
                                        "0 ATTRIB|10 10|20 1|40 0.5|1 R 101|2 ROOM|70 0|50 30|"
                                        "0 ATTRIB|10 0|20 0|11 12|21 5|40 2|1 Mid|2 NOTE|70 0|72 1|74 2|"
                                        "0 ATTRIB|10 10|20 3|40 0.5|1 secret|2 CODE|70 1|0 SEQEND|"
                                        "0 ATTDEF|10 0|20 9|40 1|1 x|2 TAG|3 Prompt|70 0|"
                                        "0 LINE|10 0|20 0|11 1|21 1"));
  ASSERT_EQ(r.error, DxfError::NONE);
  auto texts = dxf_of<TextElem>(r);
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[0]->text, "Fixed");  // the constant one, copied with the block
  EXPECT_NEAR(texts[0]->pos.x, 10, 1e-12);
  EXPECT_NEAR(texts[0]->pos.y, 2, 1e-12);
  EXPECT_EQ(texts[1]->text, "R 101");
  EXPECT_NEAR(texts[1]->pos.x, 10, 1e-12);
  EXPECT_NEAR(texts[1]->pos.y, 1, 1e-12);
  EXPECT_NEAR(texts[1]->angle, PI / 6, 1e-12);
  EXPECT_EQ(texts[2]->text, "Mid");  // centred, middle: as a TEXT of the same groups
  EXPECT_EQ(texts[2]->alignment, TEXT_CENTRED);
  EXPECT_NEAR(texts[2]->pos.x, 12, 1e-12);
  EXPECT_NEAR(texts[2]->pos.y, 4, 1e-12);
  EXPECT_EQ(texts[3]->text, "TAG");
  EXPECT_EQ(dxf_of<LineElem>(r).size(), 2u);
  EXPECT_EQ(r.stats.attrib, 2);
  EXPECT_EQ(r.stats.attdef, 2);
  EXPECT_EQ(r.left_out, (std::vector<std::pair<std::string, int64_t>>{{"invisible ATTRIB", 1}}));
}

// Where a point of an arc element lies at parameter t.
Point2 on_arc(const ArcElem* a, double t) {
  const double c = std::cos(a->rotation), s = std::sin(a->rotation);
  const double x = a->radius_x * std::cos(t), y = a->radius_y * std::sin(t);
  return {a->centre.x + c * x - s * y, a->centre.y + s * x + c * y, 0};
}

// The arc passes the point within its sweep.
bool arc_passes(const ArcElem* a, double px, double py) {
  for (int i = 0; i <= 2000; ++i) {
    const Point2 p = on_arc(a, a->start + a->sweep * i / 2000);
    if (std::hypot(p.x - px, p.y - py) < 2e-3) return true;
  }
  return false;
}

// A mirrored insert mirrors arcs and ellipses exactly; its texts still read
// forwards with their height.
TEST_F(DxfTexts, MirroredAndStretchedInserts) {
  const std::string defs =
      blocks(block("DOOR", "10 0|20 0|30 0",
                   "0 ARC|10 0|20 0|40 1|50 0|51 90|0 ELLIPSE|10 0|20 0|11 2|21 1|40 0.5|41 0.5|42 2|"
                   "0 TEXT|10 0.5|20 0|40 0.2|1 D"));
  // The sample points of the block's arc and ellipse, as placed by hand.
  const ArcElem* plain_arc;
  const ArcElem* plain_ellipse;
  DxfImport plain = dxf_read_text(defs + dxf_entities("0 INSERT|2 DOOR|10 0|20 0"));
  auto pa = dxf_of<ArcElem>(plain);
  ASSERT_EQ(pa.size(), 2u);
  plain_arc = pa[0];
  plain_ellipse = pa[1];

  struct Case {
    const char* insert;
    double a, b, c, d, tx, ty;  // the placement by hand
  } cases[] = {
      {"10 3|20 1|41 -1", -1, 0, 0, 1, 3, 1},
      {"10 3|20 1|42 -2", 1, 0, 0, -2, 3, 1},
      {"10 3|20 1|41 2|42 0.5|50 30", 2 * std::cos(PI / 6), -0.5 * std::sin(PI / 6), 2 * std::sin(PI / 6),
       0.5 * std::cos(PI / 6), 3, 1},
      {"10 3|20 1|210 0|220 0|230 -1", -1, 0, 0, 1, -3, 1},
  };
  for (const Case& c : cases) {
    DxfImport r = dxf_read_text(defs + dxf_entities(std::string("0 INSERT|2 DOOR|") + c.insert));
    auto arcs = dxf_of<ArcElem>(r);
    ASSERT_EQ(arcs.size(), 2u) << c.insert;
    for (int k = 0; k < 2; ++k) {
      const ArcElem* before = k == 0 ? plain_arc : plain_ellipse;
      for (int i = 0; i <= 8; ++i) {
        const Point2 p = on_arc(before, before->start + before->sweep * i / 8);
        const double x = c.a * p.x + c.b * p.y + c.tx, y = c.c * p.x + c.d * p.y + c.ty;
        EXPECT_TRUE(arc_passes(arcs[static_cast<std::size_t>(k)], x, y))
            << c.insert << " curve " << k << " " << i;
      }
    }
    const TextElem* t = one_text(r);
    ASSERT_NE(t, nullptr);
    EXPECT_GT(t->height, 0.0) << c.insert;
  }
  DxfImport r = dxf_read_text(defs + dxf_entities("0 INSERT|2 DOOR|10 3|20 1|41 -1"));
  const TextElem* t = one_text(r);
  EXPECT_NEAR(t->angle, 0.0, 1e-12);
  EXPECT_EQ(t->alignment, TEXT_RIGHT);
  EXPECT_NEAR(t->pos.x, 2.5, 1e-12);
}

// A text in a block inserted with uneven scales keeps the block's stretch:
// its height follows the scale across it, its width factor the ratio of
// the scales; mirrored, it still reads left to right over the image of
// its box, whichever axis the mirror turns.
TEST_F(DxfTexts, TextsInStretchedAndMirroredInserts) {
  const std::string defs = blocks(block("T", "10 0|20 0|30 0", "0 TEXT|10 1|20 0|40 0.2|1 AB"));
  struct Case {
    const char* insert;
    double angle_deg, x, y, height, width_factor;
    uint8_t alignment;
  } cases[] = {
      {"41 1|42 3", 0, 1, 0, 6, 1.0 / 3, TEXT_LEFT},
      {"41 2|42 1", 0, 2, 0, 2, 2, TEXT_LEFT},
      {"41 -1", 0, -1, 0, 2, 1, TEXT_RIGHT},   // about the y axis: runs back from its end
      {"42 -1", 0, 1, -0.2, 2, 1, TEXT_LEFT},  // about the x axis: below its baseline
      {"41 -1|42 3", 0, -1, 0, 6, 1.0 / 3, TEXT_RIGHT},
      {"42 -1|50 90", 90, 0.2, 1, 2, 1, TEXT_LEFT},  // x and y swapped: reads upwards
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.insert);
    DxfImport r = dxf_read_text(defs + dxf_entities(std::string("0 INSERT|2 T|10 0|20 0|") + c.insert));
    const TextElem* t = one_text(r);
    ASSERT_NE(t, nullptr);
    EXPECT_NEAR(t->angle, c.angle_deg / 180 * PI, 1e-12);
    EXPECT_NEAR(t->pos.x, c.x, 1e-12);
    EXPECT_NEAR(t->pos.y, c.y, 1e-12);
    EXPECT_NEAR(t->height, c.height, 1e-12);
    EXPECT_NEAR(t->width_factor, c.width_factor, 1e-12);
    EXPECT_EQ(t->alignment, c.alignment);
  }
}

// The end-of-import line says how many elements were made, inserts' copies
// counted; a text cut to the longest a text keeps is said there too.
TEST_F(DxfTexts, EndOfImportLineSaysWhatWasMadeAndCut) {
  const std::string defs =
      blocks(block("B", "10 0|20 0|30 0", "0 LINE|10 0|20 0|11 1|21 0|0 LINE|10 0|20 0|11 0|21 1"));
  DxfImport r =
      dxf_read_text(defs + dxf_entities("0 INSERT|2 B|10 0|20 0|70 2|71 3|44 5|45 5|0 POINT|10 0|20 0"));
  EXPECT_EQ(r.stats.insert, 1);
  EXPECT_EQ(dxf_result_text(r), "13 elements made");

  const std::string longest(DXF_TEXT_MAX, 'x');
  const std::string mtext_groups = "0 MTEXT|10 0|20 0|40 1|3 " + std::string(250, 'a') + "|1 " + longest;
  r = dxf_read_text(dxf_entities("0 TEXT|10 0|20 0|40 1|1 " + std::string(1048576, 'y') +
                                 "|0 TEXT|10 0|20 0|40 1|1 " + longest + "|" + mtext_groups));
  const auto texts = dxf_of<TextElem>(r);
  ASSERT_EQ(texts.size(), 3u);
  for (const TextElem* t : texts) EXPECT_EQ(t->text.size(), DXF_TEXT_MAX);
  EXPECT_EQ(dxf_result_text(r), "3 elements made; 2 texts cut to 65535 characters");
  // In a block, once per copy.
  r = dxf_read_text(blocks(block("L", "10 0|20 0|30 0", "0 TEXT|10 0|20 0|40 1|1 " + longest + "z")) +
                    dxf_entities("0 INSERT|2 L|10 0|20 0|0 INSERT|2 L|10 5|20 0"));
  EXPECT_EQ(dxf_result_text(r), "2 elements made; 2 texts cut to 65535 characters");
}

TEST_F(DxfTexts, NestedBlocksDefinedAfterUse) {
  const std::string defs =
      blocks(block("OUTER", "10 0|20 0|30 0", "0 INSERT|2 INNER|10 10|20 0|50 90") + "|" +
             block("INNER", "10 0|20 0|30 0", "0 LINE|10 0|20 0|11 1|21 0") + "|" +
             block("SELF", "10 0|20 0|30 0", "0 INSERT|2 LOOP|0 LINE|10 0|20 0|11 1|21 1") + "|" +
             block("LOOP", "10 0|20 0|30 0", "0 INSERT|2 SELF"));
  DxfImport r = dxf_read_text(defs + dxf_entities("0 INSERT|2 OUTER|10 0|20 5|0 INSERT|2 SELF"));
  ASSERT_EQ(r.error, DxfError::NONE);
  auto lines = dxf_of<LineElem>(r);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NEAR(lines[0]->p1.x, 10, 1e-12);
  EXPECT_NEAR(lines[0]->p1.y, 5, 1e-12);
  EXPECT_NEAR(lines[0]->p2.x, 10, 1e-12);
  EXPECT_NEAR(lines[0]->p2.y, 6, 1e-12);
  EXPECT_NE(r.log.find("Problem: block SELF is inserted into itself\n"), std::string::npos);
  EXPECT_EQ(r.stats.insert, 5);
  EXPECT_EQ(r.stats.block, 4);
}

// Blocks that insert each other many times over are refused before any
// copy is made.
TEST_F(DxfTexts, InsertsThatMultiplyBeyondMeasureAreRefused) {
  std::string defs = block("L0", "10 0|20 0", "0 LINE|10 0|20 0|11 1|21 0");
  for (int level = 1; level <= 8; ++level) {
    std::string body;
    for (int k = 0; k < 10; ++k)
      body += "0 INSERT|2 L" + std::to_string(level - 1) + "|10 " + std::to_string(k) + "|";
    body.pop_back();
    defs += "|" + block("L" + std::to_string(level), "10 0|20 0", body);
  }
  DxfImport r = dxf_read_text(blocks(defs) + dxf_entities("0 INSERT|2 L8"));
  EXPECT_EQ(r.error, DxfError::TOO_MANY_ELEMENTS);
  EXPECT_TRUE(r.elements.empty());
  r = dxf_read_text(blocks(defs) + dxf_entities("0 INSERT|2 L3"));
  EXPECT_EQ(r.error, DxfError::NONE);
  EXPECT_EQ(r.elements.size(), 1000u);
}

// Grids inside grids, turned: every copy placed by both inserts at once.
TEST_F(DxfTexts, NestedGridInsertsPlaceEveryCopy) {
  const std::string defs =
      blocks(block("L", "10 0|20 0|30 0", "0 LINE|10 0|20 0|11 1|21 0") + "|" +
             block("G", "10 0|20 0|30 0", "0 INSERT|2 L|10 0|20 0|70 2|71 2|44 10|45 20"));
  DxfImport r = dxf_read_text(defs + dxf_entities("0 INSERT|2 G|10 0|20 0|70 2|71 1|44 100|50 90"));
  ASSERT_EQ(r.error, DxfError::NONE);
  auto lines = dxf_of<LineElem>(r);
  ASSERT_EQ(lines.size(), 8u);
  std::size_t i = 0;
  for (int outer = 0; outer < 2; ++outer) {
    for (int row = 0; row < 2; ++row) {
      for (int column = 0; column < 2; ++column, ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(lines[i]->p1.x, -20.0 * row, 1e-9);
        EXPECT_NEAR(lines[i]->p1.y, 10.0 * column + 100.0 * outer, 1e-9);
        EXPECT_NEAR(lines[i]->p2.x, -20.0 * row, 1e-9);
        EXPECT_NEAR(lines[i]->p2.y, 10.0 * column + 100.0 * outer + 1, 1e-9);
      }
    }
  }
}

// A chain of blocks each inserting the next, thousands deep, is no loop:
// every block's line comes in, and nothing is said to be left out.
TEST_F(DxfTexts, DeepInsertChainsComeInWhole) {
  for (int depth : {65, 5000}) {
    std::string defs;
    for (int i = 0; i < depth; ++i) {
      std::string body = "0 LINE|10 0|20 0|11 1|21 0";
      if (i + 1 < depth) body += "|0 INSERT|2 B" + std::to_string(i + 1) + "|10 0|20 1";
      defs += (i ? "|" : "") + block("B" + std::to_string(i), "10 0|20 0|30 0", body);
    }
    DxfImport r = dxf_read_text(blocks(defs) + dxf_entities("0 INSERT|2 B0|10 5|20 0"));
    ASSERT_EQ(r.error, DxfError::NONE) << depth;
    auto lines = dxf_of<LineElem>(r);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(depth));
    EXPECT_NEAR(lines.back()->p1.x, 5.0, 1e-9);
    EXPECT_NEAR(lines.back()->p1.y, depth - 1.0, 1e-9);
    EXPECT_EQ(r.log.find("inserted into itself"), std::string::npos) << depth;
    EXPECT_TRUE(r.left_out.empty()) << depth;
  }
}

// Inserts that close a loop are dropped where the drawing first runs into
// them, and counted per copy that would have held them.
TEST_F(DxfTexts, InsertLoopsAreBrokenAndCounted) {
  const std::string defs =
      blocks(block("A", "10 0|20 0|30 0", "0 LINE|10 0|20 0|11 1|21 0|0 INSERT|2 B") + "|" +
             block("B", "10 0|20 0|30 0", "0 LINE|10 0|20 1|11 1|21 1|0 INSERT|2 A"));
  DxfImport r = dxf_read_text(defs + dxf_entities("0 INSERT|2 A|70 3"));
  ASSERT_EQ(r.error, DxfError::NONE);
  EXPECT_EQ(dxf_of<LineElem>(r).size(), 6u);
  EXPECT_EQ(r.left_out, (std::vector<std::pair<std::string, int64_t>>{{"INSERT of a block into itself", 3}}));
  EXPECT_NE(r.log.find("Problem: block A is inserted into itself\n"), std::string::npos);
}

// Cancel reaches a long copying of block content that is within the limit.
TEST_F(DxfTexts, CancelStopsALongExpansion) {
  const std::string defs = blocks(block("B", "10 0|20 0|30 0", "0 LINE|10 0|20 0|11 1|21 0"));
  int asked = 0;
  DxfImportOptions o;
  // The first question comes after the first pass; the second from the copying.
  o.cancelled = [&asked] { return ++asked >= 2; };
  DxfImport r = dxf_read_text(defs + dxf_entities("0 INSERT|2 B|70 1000|71 1000|44 1|45 1"), o);
  EXPECT_EQ(r.error, DxfError::CANCELLED);
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(r.elements.empty());
}

// A block with a rotation and an explicit extrusion turns about it; its 3D
// kinds follow, its plan kinds stay unturned.
TEST_F(DxfTexts, InsertAboutATiltedExtrusion) {
  const std::string defs = blocks(block("B", "10 0|20 0|30 0",
                                        "0 3DLINE|10 0|20 1|30 0|11 1|21 1|31 0|"
                                        "0 LINE|10 0|20 0|11 1|21 0"));
  DxfImport r = dxf_read_text(defs + dxf_entities("0 INSERT|2 B|10 0|20 0|50 90|210 1|220 0|230 0"));
  auto l3 = dxf_of<Line3dElem>(r);
  auto l2 = dxf_of<LineElem>(r);
  ASSERT_EQ(l3.size(), 1u);
  ASSERT_EQ(l2.size(), 1u);
  EXPECT_NEAR(l3[0]->p1.y, 0.0, 1e-12);  // turned a quarter about the x axis
  EXPECT_NEAR(l3[0]->p1.z, 1.0, 1e-12);
  EXPECT_NEAR(l3[0]->p2.x, 1.0, 1e-12);
  EXPECT_NEAR(l2[0]->p2.x, 1.0, 1e-12);
  EXPECT_NEAR(l2[0]->p2.y, 0.0, 1e-12);
}

}  // namespace

namespace {

// Scales beyond the numbers' range leave nothing that could be drawn.
TEST_F(DxfTexts, InsertsScaledBeyondTheNumbersMakeNothing) {
  const std::string defs =
      blocks(block("B", "10 1|20 1|30 0", "0 LINE|10 1|20 1|11 2|21 1|0 CIRCLE|10 2|20 2|40 1") + "|" +
             block("OUTER", "10 0|20 0|30 0", "0 INSERT|2 B|10 0|20 0|41 1e300|42 1e300"));
  DxfImport r =
      dxf_read_text(defs + dxf_entities("0 INSERT|2 OUTER|10 0|20 0|41 1e300|42 1e300|0 INSERT|2 OUTER"));
  ASSERT_EQ(r.error, DxfError::NONE);
  // The first insert's copies run off to infinity, the second's beyond
  // what the drawing keeps.
  EXPECT_EQ(r.elements.size(), 0u);
  EXPECT_EQ(dxf_left_out_text(r), "4 copies beyond the numbers' range not imported");
}

}  // namespace
