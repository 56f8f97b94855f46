// Polylines and hatch boundaries: bulge arcs, LWPOLYLINE, POLYLINE with its
// VERTEX and SEQEND entities (2D, 3D, polyface and polygon meshes), and the
// boundary paths of hatches.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "dxf_test_util.h"
#include "exchange/dxf_internal.h"

namespace {

using DxfPolylines = ModelTest;

constexpr double PI = 3.141592653589793;

TEST(DxfBulge, ArcOfABulge) {
  struct Case {
    double b, cx, cy, r, start, sweep;
  } cases[] = {
      {1, 1, 0, 1, PI, PI},
      {-1, 1, 0, 1, 0, PI},
      {0.5, 1, 0.75, 1.25, PI + std::atan(0.75), 4 * std::atan(0.5)},
      {-0.5, 1, -0.75, 1.25, std::atan2(0.75, 1), 4 * std::atan(0.5)},
      {3, 1, -4.0 / 3.0, 5.0 / 3.0, std::atan2(4.0 / 3.0, -1), 4 * std::atan(3.0)},
  };
  for (const Case& c : cases) {
    const dxf::BulgeArc a = dxf::bulge_arc(0, 0, 2, 0, c.b);
    EXPECT_NEAR(a.cx, c.cx, 1e-12) << c.b;
    EXPECT_NEAR(a.cy, c.cy, 1e-12) << c.b;
    EXPECT_NEAR(a.radius, c.r, 1e-12) << c.b;
    EXPECT_NEAR(a.start, c.start, 1e-12) << c.b;
    EXPECT_NEAR(a.sweep, c.sweep, 1e-12) << c.b;
  }
  // Coinciding ends and bulges beyond the numbers' range give no arc.
  EXPECT_EQ(dxf::bulge_arc(1, 1, 1, 1, 1).radius, 0.0);
  EXPECT_EQ(dxf::bulge_arc(0, 0, 2, 0, 1e300).radius, 0.0);
}

std::vector<std::string> kinds(const DxfImport& r) {
  std::vector<std::string> out;
  for (const auto& e : r.elements)
    out.push_back(e->kind == ELEM_LINE ? "line" : e->kind == ELEM_ARC ? "arc" : "?");
  return out;
}

TEST_F(DxfPolylines, LightweightPolylines) {
  const std::string tri = "|10 0|20 0|10 2|20 0|10 2|20 2";
  struct Case {
    std::string groups;
    std::vector<std::string> made;
  } cases[] = {
      {"90 3|70 0" + tri, {"line", "line"}},
      {"90 3|70 1" + tri, {"line", "line", "line"}},
      {"90 3|70 129" + tri, {"line", "line", "line"}},
      {"90 3|70 1|10 0|20 0|10 2|20 0|10 2|20 2|42 1", {"line", "line", "arc"}},
      {"90 2|70 0|10 0|20 0|42 1|10 2|20 0", {"arc"}},
      {"90 5|70 1" + tri, {"line", "line", "line"}},  // fewer vertices than announced
      {"90 2|70 0" + tri, {"line"}},
  };
  for (const Case& c : cases) {
    DxfImport r = dxf_read_text(dxf_entities("0 LWPOLYLINE|" + c.groups));
    EXPECT_EQ(kinds(r), c.made) << c.groups;
    EXPECT_EQ(r.stats.lwpolyline, 1);
  }
  // The closing half circle from (2, 2) to (0, 0).
  DxfImport r = dxf_read_text(dxf_entities("0 LWPOLYLINE|90 3|70 1" + tri + "|42 1"));
  auto arcs = dxf_of<ArcElem>(r);
  ASSERT_EQ(arcs.size(), 1u);
  EXPECT_NEAR(arcs[0]->centre.x, 1.0, 1e-12);
  EXPECT_NEAR(arcs[0]->centre.y, 1.0, 1e-12);
  EXPECT_NEAR(arcs[0]->sweep, PI, 1e-12);
  // Seen from below: mirrored, the arc too.
  r = dxf_read_text(dxf_entities("0 LWPOLYLINE|90 2|70 0|10 0|20 0|42 1|10 2|20 0|210 0|220 0|230 -1"));
  arcs = dxf_of<ArcElem>(r);
  ASSERT_EQ(arcs.size(), 1u);
  EXPECT_NEAR(arcs[0]->centre.x, -1.0, 1e-12);
  EXPECT_NEAR(arcs[0]->start, PI, 1e-12);  // through (-1, -1) as the original ran through (1, -1)
}

std::string vertex(double x, double y, const std::string& extra = "") {
  return "|0 VERTEX|10 " + std::to_string(x) + "|20 " + std::to_string(y) + "|30 0" + extra;
}

TEST_F(DxfPolylines, TwoAndThreeDimensionalPolylines) {
  DxfImport r = dxf_read_text(dxf_entities("0 POLYLINE|66 1|70 1" + vertex(0, 0) + vertex(2, 0) +
                                           vertex(2, 2) + vertex(0, 2, "|42 1") + "|0 SEQEND"));
  EXPECT_EQ(kinds(r), (std::vector<std::string>{"line", "line", "line", "arc"}));
  EXPECT_EQ(r.stats.polyline2d, 1);
  EXPECT_EQ(r.stats.vertex, 4);

  r = dxf_read_text(
      dxf_entities("0 POLYLINE|70 9|10 0|20 0|30 0|0 VERTEX|70 32|10 0|20 0|30 1|0 VERTEX|70 32|10 "
                   "1|20 0|30 2|0 VERTEX|70 32|10 1|20 1|30 3|0 SEQEND"));
  auto l3 = dxf_of<Line3dElem>(r);
  ASSERT_EQ(l3.size(), 3u);
  EXPECT_EQ(l3[2]->p1.z, 3.0);
  EXPECT_EQ(l3[2]->p2.z, 1.0);
  EXPECT_EQ(r.stats.polyline3d, 1);

  // A spline-fit polyline: the frame's control points are no part of the curve.
  r = dxf_read_text(dxf_entities("0 POLYLINE|70 4" + vertex(0, 0, "|70 8") + vertex(5, 5, "|70 16") +
                                 vertex(1, 0, "|70 8") + vertex(9, 9, "|70 16") + vertex(2, 0, "|70 8") +
                                 "|0 SEQEND"));
  auto lines = dxf_of<LineElem>(r);
  ASSERT_EQ(lines.size(), 2u);
  for (const LineElem* l : lines) EXPECT_EQ(l->p2.y, 0.0);
  EXPECT_EQ(r.stats.fit_vertex, 5);

  // The POLYLINE's layer is frozen, its vertices' is not: the vertices decide.
  r = dxf_read_text(
      dxf_layer_table("0 LAYER|2 F|70 1|0 LAYER|2 V|70 0") +
      dxf_entities("0 POLYLINE|8 F|70 0" + vertex(0, 0, "|8 V") + vertex(1, 0, "|8 V") + "|0 SEQEND|8 V"));
  EXPECT_EQ(dxf_of<LineElem>(r).size(), 1u);
}

std::string mesh(int m, int n, int flags) {
  std::string s = "0 POLYLINE|8 Hill|70 " + std::to_string(16 | flags) + "|71 " + std::to_string(m) + "|72 " +
                  std::to_string(n);
  for (int i = 0; i < m; ++i)
    for (int j = 0; j < n; ++j)
      s += "|0 VERTEX|70 64|10 " + std::to_string(i) + "|20 " + std::to_string(j) + "|30 0";
  return s + "|0 SEQEND|8 Hill";
}

TEST_F(DxfPolylines, PolygonMeshes) {
  struct Case {
    int flags;
    std::size_t quads;
  } cases[] = {{0, 6}, {1, 9}, {32, 8}, {33, 12}};
  for (const Case& c : cases) {
    DxfImport r = dxf_read_text(dxf_entities(mesh(3, 4, c.flags)));
    auto quads = dxf_of<MeshElem>(r);
    ASSERT_EQ(quads.size(), c.quads) << c.flags;
    EXPECT_EQ(quads[0]->vertex_count(), 4);
    EXPECT_EQ(quads[0]->material.view(), "Hill");
    EXPECT_EQ(r.stats.polymesh, 1);
  }
  // The first quad of the open mesh: (0,0) (0,1) (1,1) (1,0).
  DxfImport r = dxf_read_text(dxf_entities(mesh(3, 4, 0)));
  const MeshElem* q = dxf_of<MeshElem>(r)[0];
  EXPECT_EQ(q->vertices[1].y, 1.0);
  EXPECT_EQ(q->vertices[2].x, 1.0);

  // Sizes the file cannot hold are refused before anything is kept for them.
  for (const char* size : {"71 -3|72 4", "71 0|72 4", "71 100000|72 100000", "71 2000000000|72 2000000000"}) {
    r = dxf_read_text(dxf_entities(std::string("0 POLYLINE|70 16|") + size +
                                   "|0 VERTEX|70 64|10 0|20 0|30 0|0 VERTEX|70 64|10 0|20 0|30 0|0 SEQEND"));
    EXPECT_TRUE(r.elements.empty()) << size;
    EXPECT_NE(r.log.find("Problem: "), std::string::npos) << size;
  }
  // Two vertices too many, and a mesh never ended.
  r = dxf_read_text(dxf_entities("0 POLYLINE|70 16|71 1|72 1" + vertex(0, 0, "|70 64") +
                                 vertex(0, 0, "|70 64") + "|0 SEQEND|0 POLYLINE|70 16|71 2|72 2" +
                                 vertex(0, 0, "|70 64")));
  EXPECT_EQ(r.log,
            "Problem: to many points in polymesh\n"
            "Problem: end of polymesh/polyface is missing at end of section\n");
}

TEST_F(DxfPolylines, PolyfaceMeshes) {
  std::string pf = "0 POLYLINE|70 64|71 4|72 3";
  pf += vertex(0, 0, "|70 192") + vertex(1, 0, "|70 192") + vertex(1, 1, "|70 192") + vertex(0, 1, "|70 192");
  pf += "|0 VERTEX|8 Skin|70 128|71 1|72 2|73 -3|0 VERTEX|8 Skin|70 128|71 1|72 2|73 3|74 -4";
  pf += "|0 VERTEX|8 Skin|70 128|71 1|72 2|73 3|74 4|0 VERTEX|70 128|71 1|72 2|73 9|0 SEQEND";
  DxfImport r = dxf_read_text(dxf_entities(pf));
  auto faces = dxf_of<MeshElem>(r);
  ASSERT_EQ(faces.size(), 2u);
  EXPECT_EQ(faces[0]->vertex_count(), 3);
  EXPECT_EQ(faces[0]->material.view(), "Skin");
  EXPECT_EQ(faces[1]->vertex_count(), 4);
  EXPECT_EQ(faces[1]->vertices[2].y, 1.0);
  EXPECT_EQ(r.stats.polyface, 1);
  EXPECT_EQ(r.stats.vertex, 8);
}

// What a polyface or polygon mesh cannot use is left out and said in the
// end-of-import line: faces naming vertices it does not have, vertices
// beyond its count, a mesh without a count or without its end. A face
// whose fourth number is out of range is still made, as a triangle, and
// the corner it lost is said.
TEST_F(DxfPolylines, MeshPartsLeftOutAreSaid) {
  const std::string square = "0 POLYLINE|70 64|71 4|72 2" + vertex(0, 0, "|70 192") +
                             vertex(1, 0, "|70 192") + vertex(1, 1, "|70 192") + vertex(0, 1, "|70 192");
  auto face = [](const std::string& numbers) { return "|0 VERTEX|70 128|" + numbers; };
  struct Case {
    const char* what;
    std::string groups;
    std::size_t made;
    const char* said;
  } cases[] = {
      {"good faces", square + face("71 1|72 2|73 3|74 0") + face("71 1|72 3|73 4|74 2") + "|0 SEQEND", 2, ""},
      {"fourth numbers -2 and 5",
       square + face("71 1|72 3|73 4|74 -2") + face("71 1|72 2|73 3|74 5") + "|0 SEQEND", 2,
       "2 polyface face corners with vertex numbers out of range not imported"},
      {"faces naming vertices 0, -3 and 5",
       square + face("71 0|72 2|73 3") + face("71 1|72 2|73 -3") + face("71 1|72 5|73 3") +
           face("71 1|72 2|73 3") + "|0 SEQEND",
       1, "3 polyface faces with vertex numbers out of range not imported"},
      {"a polyface vertex beyond its count",
       square + vertex(5, 5, "|70 192") + face("71 1|72 2|73 3") + "|0 SEQEND", 1,
       "1 polyface vertices beyond its count not imported"},
      {"a polyface without a count",
       "0 POLYLINE|70 64|71 0" + vertex(0, 0, "|70 192") + face("71 1|72 1|73 1") + "|0 SEQEND", 0,
       "1 POLYLINE meshes without a vertex count not imported"},
      {"a polygon mesh without a count",
       "0 POLYLINE|70 16|71 0|72 2" + vertex(0, 0, "|70 64") + vertex(0, 1, "|70 64") + "|0 SEQEND", 0,
       "1 POLYLINE meshes without a vertex count not imported"},
      {"a polygon mesh vertex beyond its count",
       "0 POLYLINE|70 16|71 2|72 2" + vertex(0, 0, "|70 64") + vertex(0, 1, "|70 64") +
           vertex(1, 0, "|70 64") + vertex(1, 1, "|70 64") + vertex(9, 9, "|70 64") + "|0 SEQEND",
       1, "1 polygon mesh vertices beyond its count not imported"},
      {"a polygon mesh cut off by the next",
       "0 POLYLINE|70 16|71 2|72 2" + vertex(0, 0, "|70 64") + "|" + mesh(2, 2, 0), 1,
       "1 polygon meshes without an end not imported"},
      {"a polygon mesh cut off by the section's end", "0 POLYLINE|70 16|71 2|72 2" + vertex(0, 0, "|70 64"),
       0, "1 polygon meshes without an end not imported"},
      // Counted once, as the impossible count it is.
      {"a polygon mesh of -3 rows",
       "0 POLYLINE|70 16|71 -3|72 2" + vertex(0, 0, "|70 64") + vertex(0, 1, "|70 64") + "|0 SEQEND", 0,
       "1 POLYLINE with impossible counts not imported"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DxfImport r = dxf_read_text(dxf_entities(c.groups));
    ASSERT_EQ(r.error, DxfError::NONE);
    EXPECT_EQ(dxf_of<MeshElem>(r).size(), c.made);
    EXPECT_EQ(dxf_left_out_text(r), c.said);
  }
}

// Vertices beyond a polyline's count and control points beyond a spline's
// are said, and so is a polyline that has too few vertices for a segment;
// a closed one of a single vertex still makes its point.
TEST_F(DxfPolylines, VerticesLeftOutAreSaid) {
  struct Case {
    const char* what;
    std::string groups;
    bool made;
    const char* said;
  } cases[] = {
      {"three vertices, as counted", "0 LWPOLYLINE|90 3|10 0|20 0|10 1|20 0|10 1|20 1", true, ""},
      {"three vertices, two counted", "0 LWPOLYLINE|90 2|10 0|20 0|10 1|20 0|10 1|20 1", true,
       "1 LWPOLYLINE vertices beyond its count not imported"},
      {"one vertex", "0 LWPOLYLINE|90 1|10 0|20 0", false,
       "1 LWPOLYLINE with fewer than two vertices not imported"},
      {"one vertex, closed", "0 LWPOLYLINE|70 1|90 1|10 0|20 0", false,
       "1 LWPOLYLINE with fewer than two vertices not imported"},
      {"a 2D polyline of one vertex", "0 POLYLINE|66 1|70 0" + vertex(0, 0) + "|0 SEQEND", false,
       "1 POLYLINE with fewer than two vertices not imported"},
      {"a 3D polyline without vertices", "0 POLYLINE|66 1|70 8|0 SEQEND", false,
       "1 POLYLINE with fewer than two vertices not imported"},
      {"a closed 2D polyline of one vertex", "0 POLYLINE|66 1|70 1" + vertex(0, 0) + "|0 SEQEND", true, ""},
      {"three control points, two counted",
       "0 SPLINE|70 8|71 1|72 4|73 2|40 0|40 0|40 1|40 1|10 0|20 0|10 1|20 1|10 2|20 0", true,
       "1 SPLINE control points beyond its count not imported"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DxfImport r = dxf_read_text(dxf_entities(c.groups));
    EXPECT_EQ(!r.elements.empty(), c.made);
    EXPECT_EQ(dxf_left_out_text(r), c.said);
  }
}

// The outline points of the one hatch a file holds.
std::vector<std::pair<double, double>> outline(const std::string& hatch) {
  DxfImport r = dxf_read_text(dxf_entities("0 HATCH|70 1" + hatch));
  std::vector<std::pair<double, double>> out;
  auto p = dxf_of<PatternElem>(r);
  if (p.size() == 1)
    for (const Point2& q : p[0]->points) out.emplace_back(q.x, q.y);
  return out;
}

std::size_t ends(const std::vector<std::pair<double, double>>& pts) {
  return static_cast<std::size_t>(std::count(pts.begin(), pts.end(), std::pair<double, double>(999, 999)));
}

TEST_F(DxfPolylines, HatchBoundaryPaths) {
  const std::string square =
      "|92 1|93 4|72 1|10 0|20 0|11 1|21 0|72 1|10 1|20 0|11 1|21 1|72 1|10 1|20 1|11 0|21 "
      "1|72 1|10 0|20 1|11 0|21 0";
  auto pts = outline("|91 1" + square + "|97 0|75 0|98 1|10 5|20 5");
  ASSERT_EQ(pts.size(), 9u);
  EXPECT_EQ(pts[2], (std::pair<double, double>(1, 0)));
  EXPECT_EQ(ends(pts), 1u);

  auto arc_edge = [](const char* from, const char* to) {
    return std::string("|91 1|92 1|93 2|72 2|10 0|20 0|40 1|50 ") + from + "|51 " + to +
           "|73 1|72 1|10 0|20 0|11 1|21 0|75 0";
  };
  EXPECT_EQ(outline(arc_edge("0", "97")).size(), 19u + 2 + 1);
  EXPECT_EQ(outline(arc_edge("0", "47")).size(), 12u + 2 + 1);
  pts = outline(arc_edge("0", "90"));
  EXPECT_NEAR(pts[0].first, 1.0, 1e-12);
  EXPECT_NEAR(pts[17].second, std::sin(PI / 2 * 17 / 18), 1e-12);

  // A polyline path, bulge 1 on each corner: 24 points a corner.
  pts = outline(
      "|91 1|92 3|72 1|73 1|93 4|10 0|20 0|42 1|10 1|20 0|42 1|10 1|20 1|42 1|10 0|20 1|42 1|97 0|75 0");
  EXPECT_EQ(pts.size(), 4u * 24 + 1);

  // An island: two paths, two contours.
  pts = outline("|91 2" + square +
                "|92 16|93 4|72 1|10 0.2|20 0.2|11 0.8|21 0.2|72 1|10 0.8|20 0.2|11 0.8|21 0.8|"
                "72 1|10 0.8|20 0.8|11 0.2|21 0.8|72 1|10 0.2|20 0.8|11 0.2|21 0.2|75 0");
  EXPECT_EQ(pts.size(), 18u);
  EXPECT_EQ(ends(pts), 2u);
}

// A spline edge is sampled and ends its path; its weights are no bulges.
TEST_F(DxfPolylines, HatchSplineEdges) {
  const std::string spline_edge =
      "|72 4|94 2|73 1|74 0|95 6|96 3|40 0|40 0|40 0|40 1|40 1|40 1|10 1|20 0|42 1|10 1|20 1|42 "
      "0.7071067811865476|"
      "10 0|20 1|42 1";
  auto pts = outline("|91 2|92 1|93 3|72 1|10 0|20 0|11 1|21 0" + spline_edge +
                     "|72 1|10 0|20 1|11 0|21 0|97 0|92 1|93 1|72 2|10 5|20 5|40 1|50 0|51 360|73 1|75 0");
  ASSERT_EQ(ends(pts), 2u);
  const std::size_t first_end = static_cast<std::size_t>(
      std::find(pts.begin(), pts.end(), std::pair<double, double>(999, 999)) - pts.begin());
  EXPECT_EQ(first_end, 2u + 19 + 2);
  for (std::size_t i = 2; i < 21; ++i) EXPECT_NEAR(std::hypot(pts[i].first, pts[i].second), 1.0, 1e-12) << i;
  EXPECT_EQ(pts.size() - first_end - 1, 72u + 1);  // the full circle of the second path
}

// Fewer boundary vertices than announced: the path ends where the
// vertices end; a bulge on its last vertex bends towards the path's first.
TEST_F(DxfPolylines, ShortPolylinePathStaysInItsBuffer) {
  auto pts = outline("|91 1|92 2|72 1|73 1|93 9|10 0|20 0|10 2|20 0|42 1|75 0");
  ASSERT_EQ(pts.size(), 2u + 23 + 1);
  EXPECT_EQ(pts.back(), std::make_pair(999.0, 999.0));
  EXPECT_NEAR(pts[13].first, 1.0, 1e-12);  // the middle of the half circle from (2,0) back to (0,0)
  EXPECT_NEAR(pts[13].second, 1.0, 1e-12);
}

// (999, 999) is a vertex like any other, whatever route brings it there:
// the file's unit, or a hatch seen from below whose x is mirrored.
TEST_F(DxfPolylines, VerticesAtTheContourEndMarker) {
  DxfImportOptions mm;
  mm.unit = 2;
  DxfImport r =
      dxf_read_text(dxf_entities("0 LWPOLYLINE|90 3|70 1|10 0|20 0|10 999000|20 999000|10 2000000|20 0|"
                                 "0 LWPOLYLINE|90 2|10 999000|20 999000|42 1|10 999000|20 998000"),
                    mm);
  auto lines = dxf_of<LineElem>(r);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0]->p2.x, 999.0);
  EXPECT_EQ(lines[1]->p1.y, 999.0);
  EXPECT_EQ(lines[2]->p1.x, 2000.0);
  auto arcs = dxf_of<ArcElem>(r);
  ASSERT_EQ(arcs.size(), 1u);
  EXPECT_NEAR(arcs[0]->centre.y, 998.5, 1e-9);
  EXPECT_EQ(r.moved_points, 0);

  // Mirrored from below, (-999, 999) lands on the marker: moved, counted.
  r =
      dxf_read_text(dxf_entities("0 HATCH|70 1|210 0|220 0|230 -1|91 1|92 2|72 0|73 1|93 3|"
                                 "10 -999|20 999|10 -990|20 999|10 -990|20 990|75 0"));
  auto p = dxf_of<PatternElem>(r);
  ASSERT_EQ(p.size(), 1u);
  ASSERT_EQ(p[0]->points.size(), 4u);
  EXPECT_FALSE(point_is_contour_end(p[0]->points[0].x, p[0]->points[0].y));
  EXPECT_NEAR(p[0]->points[0].x, 999.0, 1.1e-6);
  EXPECT_EQ(p[0]->points[1].x, 990.0);
  EXPECT_TRUE(point_is_contour_end(p[0]->points[3].x, p[0]->points[3].y));
  EXPECT_EQ(r.moved_points, 1);

  // A bulge's arc point that falls on the marker moves too.
  r =
      dxf_read_text(dxf_entities("0 HATCH|70 1|91 1|92 2|72 1|73 1|93 3|"
                                 "10 1000|20 999|42 1|10 998|20 999|10 998|20 990|75 0"));
  p = dxf_of<PatternElem>(r);
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p[0]->points.size(), 3u + 23 + 1);
  for (std::size_t k = 0; k + 1 < p[0]->points.size(); ++k)
    EXPECT_FALSE(point_is_contour_end(p[0]->points[k].x, p[0]->points[k].y)) << k;
}

}  // namespace
