// Files written by another program (tools/dxf_fixtures.py with ezdxf, R12
// and R2000): each imports with the expected elements per kind and layer,
// the expected statistics and no diagnostics beyond the expected ones.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>

#include "dxf_test_util.h"

namespace {

using DxfFixtures = ModelTest;

DxfImport read_fixture(const std::string& name, DxfImportOptions o) {
  std::ifstream in(std::string(KAVRO_TEST_DATA_DIR) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  return dxf_read(in, o);
}

// "kind@layer" -> count; kinds by element number (1 line, 2 arc, 3 text, 4
// dimension, 6 pattern, 8 3D line, 9 mesh).
std::map<std::string, int> per_kind_and_layer(const DxfImport& r) {
  std::map<std::string, int> out;
  for (const auto& e : r.elements) ++out[std::to_string(e->kind) + "@" + std::to_string(e->layer)];
  return out;
}

TEST_F(DxfFixtures, EachImportsWithTheExpectedCounts) {
  struct Case {
    const char* file;
    std::map<std::string, int> made;
    std::vector<const char*> stats;
    std::vector<const char*> layers;
  } cases[] = {
      // Layers kept from 10 up: "0", "Defpoints", "Walls", "Doors"; "Hidden" is frozen.
      {"basic_r12.dxf",
       {{"1@10", 1}, {"1@12", 2}, {"1@13", 1}, {"2@10", 1}, {"2@12", 1}, {"2@13", 1}},
       {"      LINE: 3\n", "     POINT: 1\n", "    CIRCLE: 2\n", "       ARC: 1\n"},
       {"0", "Defpoints", "Walls", "Doors"}},
      {"basic_r2000.dxf",
       {{"1@10", 1}, {"1@12", 2}, {"1@13", 1}, {"2@10", 1}, {"2@12", 1}, {"2@13", 1}},
       {"      LINE: 3\n", "     POINT: 1\n", "    CIRCLE: 2\n", "       ARC: 1\n"},
       {"0", "Defpoints", "Walls", "Doors"}},
      {"polylines_r12.dxf",
       {{"1@10", 2}, {"2@10", 2}, {"8@10", 2}, {"9@10", 8}},
       {"2DPOLYLINE: 1\n", "3DPOLYLINE: 1\n", "3DPOLYFACE: 1\n", "3DPOLYMESH: 1\n", "    VERTEX: 26\n"},
       {"0", "Defpoints"}},
      {"polylines_r2000.dxf", {{"1@10", 7}, {"2@10", 3}}, {"LWPOLYLINE: 3\n"}, {"0", "Defpoints"}},
      {"hatches_r2000.dxf", {{"6@10", 3}}, {"     HATCH: 3\n"}, {"0", "Defpoints"}},
      {"splines_r2000.dxf", {{"1@10", 59}}, {"      LINE: 59\n"}, {"0", "Defpoints"}},
      {"blocks_r12.dxf",
       {{"1@10", 4}, {"2@10", 4}, {"3@10", 4}},
       {"     BLOCK: 4\n", "    INSERT: 4\n"},
       {"0", "Defpoints"}},
      {"blocks_r2000.dxf",
       {{"1@10", 4}, {"2@10", 4}, {"3@10", 4}},
       {"     BLOCK: 4\n", "    INSERT: 4\n"},
       {"0", "Defpoints"}},
      {"texts_r2000.dxf",
       {{"3@10", 4}, {"4@10", 4}},
       {"      TEXT: 3\n", " DIMENSION: 4\n"},
       {"0", "Defpoints"}},
  };
  for (const Case& c : cases) {
    DxfImportOptions o;
    o.layer_mode = 1;
    o.first_layer = 10;
    DxfImport r = read_fixture(c.file, o);
    ASSERT_EQ(r.error, DxfError::NONE) << c.file;
    EXPECT_EQ(per_kind_and_layer(r), c.made) << c.file;
    const std::string stats = dxf_stats_text(r.stats);
    for (const char* line : c.stats)
      EXPECT_NE(stats.find(line), std::string::npos) << c.file << ": " << line << stats;
    std::vector<std::string> names;
    for (const DxfLayerName& l : r.layer_names) names.push_back(l.name);
    EXPECT_EQ(names, std::vector<std::string>(c.layers.begin(), c.layers.end())) << c.file;
    EXPECT_EQ(r.log.find("Problem"), std::string::npos) << c.file << ": " << r.log;
  }
}

TEST_F(DxfFixtures, HatchIslandIsASecondContour) {
  DxfImport r = read_fixture("hatches_r2000.dxf", {});
  auto p = dxf_of<PatternElem>(r);
  ASSERT_EQ(p.size(), 3u);
  // Solid red, the outer path with two bulges (4 + 2 x 23 points), the circle island (72 points).
  EXPECT_EQ(p[0]->type, PATTERN_FILLING);
  EXPECT_EQ(p[0]->r, 1.0);
  EXPECT_EQ(p[0]->points.size(), 4u + 46 + 1 + 72 + 1);
  EXPECT_TRUE(point_is_contour_end(p[0]->points[50].x, p[0]->points[50].y));
  for (std::size_t i = 51; i < 123; ++i)
    EXPECT_NEAR(std::hypot(p[0]->points[i].x - 5, p[0]->points[i].y - 3), 1.5, 1e-9);
  // ANSI31: one line at 45 degrees.
  EXPECT_EQ(p[1]->type, PATTERN_ONE_LINE);
  EXPECT_NEAR(p[1]->angle1, 3.141592653589793 / 4, 1e-12);
  EXPECT_EQ(p[1]->points.size(), 9u);
  // The spline edge ends its path: one contour.
  std::size_t ends = 0;
  for (const Point2& q : p[2]->points) ends += point_is_contour_end(q.x, q.y);
  EXPECT_EQ(ends, 1u);
  EXPECT_EQ(p[2]->points.size(), 19u + 2 + 1);
}

TEST_F(DxfFixtures, MirroredNestedBlocks) {
  DxfImport r = read_fixture("blocks_r2000.dxf", {});
  auto texts = dxf_of<TextElem>(r);
  ASSERT_EQ(texts.size(), 4u);
  // The door of the pair mirrored inside its block reads forwards, right-aligned.
  EXPECT_EQ(texts[1]->alignment, TEXT_RIGHT);
  EXPECT_NEAR(texts[1]->pos.x, 12.8, 1e-12);
  EXPECT_NEAR(texts[1]->angle, 0.0, 1e-12);
  for (const TextElem* t : texts) EXPECT_GT(t->height, 0.0);
  // Each arc is the quarter of a unit circle about its door's hinge.
  auto arcs = dxf_of<ArcElem>(r);
  auto lines = dxf_of<LineElem>(r);
  ASSERT_EQ(arcs.size(), 4u);
  for (std::size_t i = 0; i < arcs.size(); ++i) {
    EXPECT_NEAR(arcs[i]->radius_x, 1.0, 1e-12);
    EXPECT_NEAR(arcs[i]->sweep, 3.141592653589793 / 2, 1e-12);
    EXPECT_NEAR(arcs[i]->centre.x, lines[i]->p1.x, 1e-12);
    EXPECT_NEAR(arcs[i]->centre.y, lines[i]->p1.y, 1e-12);
  }
}

TEST_F(DxfFixtures, TextsAndDimensions) {
  DxfImport r = read_fixture("texts_r2000.dxf", {});
  auto texts = dxf_of<TextElem>(r);
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[2]->text,
            "\xD8 20 \xB1"
            "1 45\xB0");
  EXPECT_EQ(texts[3]->text,
            "K\xFC"
            "che\n12,5 m\xB2 1/2");
  auto dims = dxf_of<DimElem>(r);
  ASSERT_EQ(dims.size(), 4u);
  EXPECT_EQ(dims[0]->dim_kind, DIM_CHAIN);
  EXPECT_NEAR(dims[0]->points[1].line_point.x, 4.0, 1e-9);
  EXPECT_NEAR(dims[0]->points[1].line_point.y, 2.0, 1e-9);
  EXPECT_EQ(dims[1]->dim_kind, DIM_CHAIN);
  EXPECT_EQ(dims[2]->dim_kind, DIM_ANGLE);
  EXPECT_EQ(dims[3]->dim_kind, DIM_RADIUS);
}

// Every dimension comes in: the program's own kinds where it has them, an
// ordinate dimension as the lines and texts of its block.
TEST_F(DxfFixtures, EveryDimensionKind) {
  DxfImport r = read_fixture("dimensions_r2000.dxf", {});
  ASSERT_EQ(r.error, DxfError::NONE);
  EXPECT_EQ(r.stats.dimension, 5);
  EXPECT_TRUE(r.left_out.empty());
  auto dims = dxf_of<DimElem>(r);
  ASSERT_EQ(dims.size(), 4u);
  const double c45 = std::sqrt(0.5), radius = std::sqrt(18.0);
  struct Want {
    uint8_t kind;
    std::size_t first;      // the entries compared
    double x1, y1, x2, y2;  // ... first and first + 1
  } want[] = {
      {DIM_CHAIN, 0, 0, 2, 4, 2},
      {DIM_RADIUS, 0, 10, 0, 10 + 2 * c45, 2 * c45},
      {DIM_ANGLE, 1, radius, 0, 0, radius},  // the quarter between the legs that holds the arc
  };
  const DimElem* by_kind[5] = {};
  for (const DimElem* d : dims) by_kind[d->dim_kind] = d;
  for (const Want& w : want) {
    SCOPED_TRACE(static_cast<int>(w.kind));
    const DimElem* d = by_kind[w.kind];
    ASSERT_NE(d, nullptr);
    EXPECT_NEAR(d->points[w.first].line_point.x, w.x1, 1e-6);
    EXPECT_NEAR(d->points[w.first].line_point.y, w.y1, 1e-6);
    EXPECT_NEAR(d->points[w.first + 1].line_point.x, w.x2, 1e-6);
    EXPECT_NEAR(d->points[w.first + 1].line_point.y, w.y2, 1e-6);
  }
  // The diameter: centre, 3 long at 30 degrees.
  const DimElem* dia = by_kind[DIM_DIAMETER];
  ASSERT_NE(dia, nullptr);
  EXPECT_NEAR(dia->points[0].line_point.x, 20, 1e-6);
  EXPECT_NEAR(dia->points[0].line_point.y, 0, 1e-6);
  const Point2 a = dia->points[1].line_point, b = dia->points[2].line_point;
  EXPECT_NEAR(std::hypot(b.x - a.x, b.y - a.y), 3, 1e-6);
  EXPECT_NEAR(std::fabs(std::atan2(b.y - a.y, b.x - a.x)), 3.141592653589793 / 6, 1e-6);
  EXPECT_NEAR((a.x + b.x) / 2, 20, 1e-6);  // through the centre
  EXPECT_NEAR((a.y + b.y) / 2, 0, 1e-6);
  // The ordinate dimension: its leader and its figure (ezdxf writes "200") at the feature.
  bool figure = false;
  for (const TextElem* t : dxf_of<TextElem>(r)) {
    figure = figure || (t->text == "200" && t->pos.x > 29);
  }
  EXPECT_TRUE(figure);
  EXPECT_GE(dxf_of<LineElem>(r).size(), 1u);
}

// A grid insert, attributes and texts in the file's code page.
TEST_F(DxfFixtures, GridAttributesAndCodePage) {
  DxfImport r = read_fixture("inserts_r12.dxf", {});
  ASSERT_EQ(r.error, DxfError::NONE);
  auto circles = dxf_of<ArcElem>(r);
  ASSERT_EQ(circles.size(), 6u);
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_NEAR(circles[i]->centre.x, static_cast<double>(i % 2), 1e-12) << i;
    EXPECT_NEAR(circles[i]->centre.y, 2.0 * static_cast<double>(i / 2), 1e-12) << i;
  }
  auto texts = dxf_of<TextElem>(r);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0]->text, "R 101");
  EXPECT_NEAR(texts[0]->pos.x, 9.8, 1e-9);
  EXPECT_NEAR(texts[0]->pos.y, 0.0, 1e-9);
  EXPECT_NEAR(texts[0]->angle, 3.141592653589793 / 2, 1e-9);
  EXPECT_EQ(texts[1]->text,
            "Preis 5 EUR \"neu\" - K\xFC"
            "che");
  EXPECT_EQ(r.left_out, (std::vector<std::pair<std::string, int64_t>>{{"invisible ATTRIB", 1}}));
}

// An MTEXT turned by its rotation alone; what is left out is named.
TEST_F(DxfFixtures, LeftOutIsCounted) {
  DxfImport r = read_fixture("left_out_r2000.dxf", {});
  ASSERT_EQ(r.error, DxfError::NONE);
  auto texts = dxf_of<TextElem>(r);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_NEAR(texts[0]->angle, 3.141592653589793 / 2, 1e-12);
  EXPECT_EQ(dxf_of<LineElem>(r).size(), 1u);
  EXPECT_EQ(dxf_left_out_text(r), "1 IMAGE, 2 paper-space entities not imported");
}

// Grids of blocks that hold nothing to make are passed by at once, however
// many copies they ask for and however deep.
TEST_F(DxfFixtures, GridsOfNothingMakeNothingAtOnce) {
  DxfImportOptions o;
  int asked = 0;
  // Were the copies walked one by one, the question would come again and again.
  o.cancelled = [&asked] { return ++asked > 20; };
  DxfImport r = read_fixture("empty_grids_r12.dxf", o);
  ASSERT_EQ(r.error, DxfError::NONE);
  EXPECT_EQ(r.elements.size(), 1u);
  EXPECT_LE(asked, 2);
  EXPECT_TRUE(r.left_out.empty());
}

// Nested grids that would make more than fits are refused before anything
// is copied, saying how many elements they would make.
TEST_F(DxfFixtures, HugeGridIsRefusedWithItsCount) {
  DxfImport r = read_fixture("huge_grid_r12.dxf", {});
  ASSERT_EQ(r.error, DxfError::TOO_MANY_ELEMENTS);
  EXPECT_TRUE(r.elements.empty());
  const int64_t grid = int64_t{32767} * 32767;
  EXPECT_EQ(r.would_make, grid * grid);
  EXPECT_EQ(dxf_error_message(r), "The file would make " + std::to_string(grid * grid) +
                                      " elements; at most 10000000 can be imported.");
}

// Inserts of blocks nobody defined, and kinds the program does not take
// inside blocks, count once per copy of the block that holds them.
TEST_F(DxfFixtures, LeftOutInsideBlocksCountsPerInsert) {
  DxfImport r = read_fixture("missing_blocks_r2000.dxf", {});
  ASSERT_EQ(r.error, DxfError::NONE);
  EXPECT_EQ(dxf_of<LineElem>(r).size(), 3u);
  EXPECT_EQ(r.stats.insert, 4);
  EXPECT_EQ(dxf_left_out_text(r), "4 INSERT of missing blocks, 3 XLINE not imported");
}

// Diameter dimensions at several angles, their figures beside the line:
// the line is the diameter, its ends the file's definition points.
TEST_F(DxfFixtures, DiametersRunThroughTheCentre) {
  DxfImport r = read_fixture("diameters_r2000.dxf", {});
  ASSERT_EQ(r.error, DxfError::NONE);
  auto dims = dxf_of<DimElem>(r);
  ASSERT_EQ(dims.size(), 3u);
  const double pi = 3.141592653589793;
  const double angles[3] = {0, 90, 200};
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    ASSERT_EQ(dims[i]->dim_kind, DIM_DIAMETER);
    ASSERT_EQ(dims[i]->points.size(), 3u);
    EXPECT_NEAR(dims[i]->points[0].line_point.x, 5, 1e-9);
    EXPECT_NEAR(dims[i]->points[0].line_point.y, 5, 1e-9);
    // ezdxf's ends: 10 at the angle, 15 opposite.
    const double c = 2 * std::cos(angles[i] * pi / 180), s = 2 * std::sin(angles[i] * pi / 180);
    EXPECT_NEAR(dims[i]->points[1].line_point.x, 5 - c, 1e-9);
    EXPECT_NEAR(dims[i]->points[1].line_point.y, 5 - s, 1e-9);
    EXPECT_NEAR(dims[i]->points[2].line_point.x, 5 + c, 1e-9);
    EXPECT_NEAR(dims[i]->points[2].line_point.y, 5 + s, 1e-9);
  }
}

// Vertices at (999, 999), where the program's outlines end a contour:
// lines and polylines keep them; outlines of hatches and solids move them
// off by a millionth and say so at the end.
TEST_F(DxfFixtures, PointsOnTheContourEndStay) {
  DxfImport r = read_fixture("contour_end_r2000.dxf", {});
  ASSERT_EQ(r.error, DxfError::NONE);
  auto lines = dxf_of<LineElem>(r);
  ASSERT_EQ(lines.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const Point2& bend = i % 2 ? lines[i]->p1 : lines[i]->p2;
    EXPECT_EQ(bend.x, 999.0);
    EXPECT_EQ(bend.y, 999.0);
  }
  EXPECT_EQ(lines[1]->p2.x, 2000.0);
  auto patterns = dxf_of<PatternElem>(r);
  ASSERT_EQ(patterns.size(), 5u);
  // Corners per outline, and how far the nearest lies from (999, 999).
  const std::size_t corners[5] = {4, 6, 3, 4, 4};
  for (std::size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    const auto& pts = patterns[i]->points;
    ASSERT_EQ(pts.size(), corners[i] + 1);
    EXPECT_TRUE(point_is_contour_end(pts.back().x, pts.back().y));
    double nearest = 1e9;
    for (std::size_t k = 0; k + 1 < pts.size(); ++k) {
      EXPECT_FALSE(point_is_contour_end(pts[k].x, pts[k].y)) << k;
      nearest = std::min(nearest, std::hypot(pts[k].x - 999, pts[k].y - 999));
    }
    if (i < 4) {
      EXPECT_LT(nearest, 1.1e-6);
    }
  }
  EXPECT_EQ(r.moved_points, 5);
  EXPECT_EQ(dxf_left_out_text(r), "5 outline points moved off (999, 999) by a millionth");
}

// Entities holding values that are no numbers, or counts no entity can
// have, are left out whole and named with the reason.
TEST_F(DxfFixtures, ValuesThatAreNoNumbers) {
  DxfImport r = read_fixture("no_numbers_r2000.dxf", {});
  ASSERT_EQ(r.error, DxfError::NONE);
  auto lines = dxf_of<LineElem>(r);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->p2.x, 2.0);
  EXPECT_TRUE(dxf_of<ArcElem>(r).empty());
  EXPECT_EQ(dxf_left_out_text(r),
            "1 LINE with values that are no numbers, 1 CIRCLE with values that are no numbers, "
            "1 LWPOLYLINE with impossible counts not imported");
}

// Letters of a code page that ISO 8859-1 lacks become "?" and are counted,
// in every copy of a block; a code page the reader does not know is named.
TEST_F(DxfFixtures, LettersThatCannotBeShownAreCounted) {
  struct Case {
    const char* file;
    const char* text;
    int64_t lost;
    const char* line;
  } cases[] = {
      {"codepage_1250_r12.dxf",
       "?\xF3"
       "d? i Brno",
       6, "6 characters the program cannot show became \"?\""},
      {"codepage_1251_r12.dxf", "??? 5", 9, "9 characters the program cannot show became \"?\""},
      {"codepage_1253_r12.dxf", "\xC1\xE8\xDE\xED\xE1", 0,
       "code page ANSI_1253 unknown, texts read as ANSI_1252"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    DxfImport r = read_fixture(c.file, {});
    ASSERT_EQ(r.error, DxfError::NONE);
    auto texts = dxf_of<TextElem>(r);
    ASSERT_EQ(texts.size(), 3u);
    for (const TextElem* t : texts) EXPECT_EQ(t->text, c.text);
    EXPECT_EQ(r.lost_characters, c.lost);
    EXPECT_EQ(dxf_left_out_text(r), c.line);
  }
}

}  // namespace
