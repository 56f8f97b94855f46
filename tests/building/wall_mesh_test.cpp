// Walls turned into meshes: counts and face lists, the sorting and turning
// of opening boxes, openings of no height, closed and consistently oriented
// meshes, and the temporary meshes that leave the drawing as it was.

#include "building/solid/wall_mesh.h"

#include <cmath>
#include <map>
#include <set>
#include <stdexcept>

#include "building/solid/solid_marked.h"
#include "mesh_winding.h"
#include "model/consts.h"
#include "model/geom.h"
#include "model/triangulate.h"
#include "wall_tool_fixture.h"

namespace {

class WallMeshTest : public WallToolTest {
 protected:
  // A 6 m wall along x, 0.3 thick, base 0 and height 2.75.
  static WallElem* plain() { return axis_wall(0, 0, 6, 0, 0.3); }

  static WallElem* gable(WallElem* w) {
    w->gable = 1;
    w->gable_a = {3, -0.15, 4.0, 0};
    w->gable_b = {3, 0.15, 4.0, 0};
    return w;
  }

  // w with an opening from x = a to x = b at the sill and height given,
  // outer face 0-1 or 2-3; w itself is removed.
  static WallElem* cut(WallElem* w, double a, double b, double sill, double height, bool outer23 = false) {
    const double y0 = w->corner[0].y, y1 = w->corner[3].y, z0 = w->corner[0].z + sill, z1 = z0 + height;
    Point2 p[4] = {{a, y0, 0}, {b, y0, 0}, {b, y1, 0}, {a, y1, 0}};
    if (outer23) {
      const Point2 q[4] = {p[2], p[3], p[0], p[1]};
      std::copy(q, q + 4, p);
    }
    Point3 box[8];
    for (int i = 0; i < 4; ++i) {
      box[i] = {p[i].x, p[i].y, z0, 0};
      box[i + 4] = {p[i].x, p[i].y, z1, 0};
    }
    WallElem* n = opening_cut_wall(box, OPENING_WINDOW, 1, sill, height, stop_width, 0.1, 0, w);
    EXPECT_NE(n, w) << "the opening " << a << " to " << b << " does not fit";
    w->mark = 1;
    elem_purge_marked();
    return n;
  }
  // The same without a stop, which lets an opening reach an end of the wall
  // or another opening.
  static WallElem* cut_flush(WallElem* w, double a, double b, double sill, double height,
                             bool outer23 = false) {
    stop_width = 0;
    WallElem* n = cut(w, a, b, sill, height, outer23);
    stop_width = 0.05;
    return n;
  }
  static inline double stop_width = 0.05;

  static ElemHeader* a_line() {
    elem_new_line(0, 0, 0, 0, 0, 1, 1);
    return elem_list_tail;
  }

  static MeshElem* mesh_of(const WallElem* w) {
    wall_to_mesh(*w, 3);
    return elem_as<MeshElem>(elem_list_tail);
  }

  // The walls every check over generated meshes runs on.
  static std::vector<std::pair<const char*, WallElem*>> sample_walls() {
    return {
        {"plain", plain()},
        {"gable", gable(plain())},
        {"one opening", cut(plain(), 1, 2, 0.8, 1.2)},
        {"door at sill 0", cut(plain(), 1, 2, 0, 2.1)},
        {"two openings, second first", cut(cut(plain(), 4, 5, 0.8, 1.2), 1, 2, 0, 2.1)},
        {"outer face 2-3", cut(plain(), 1, 2, 0.8, 1.2, true)},
        {"gable with openings", cut(cut(gable(plain()), 0.5, 1.5, 0.8, 1.2), 3, 4, 0.5, 3.0)},
        {"raised base",
         [] {
           WallElem* w = plain();
           for (int i = 0; i < 8; ++i) w->corner[i].z += 1.5;
           return cut(w, 2, 3, 0.5, 1);
         }()},
    };
  }
};

double sum_volume(const MeshElem& m) {
  // Each planar face adds a third of (a point of it) . (its vector area).
  double v = 0.0;
  std::size_t at = 0;
  for (int32_t n : m.face_sizes) {
    double ax = 0, ay = 0, az = 0;
    for (int32_t i = 0; i < n; ++i) {
      const Point3& p = m.vertices[m.indices[at + i]];
      const Point3& q = m.vertices[m.indices[at + (i + 1) % n]];
      ax += (p.y - q.y) * (p.z + q.z);
      ay += (p.z - q.z) * (p.x + q.x);
      az += (p.x - q.x) * (p.y + q.y);
    }
    const Point3& p0 = m.vertices[m.indices[at]];
    v += (p0.x * ax + p0.y * ay + p0.z * az) / 6.0;
    at += n;
  }
  return v;
}

TEST_F(WallMeshTest, CountsAndFaceSizes) {
  struct Case {
    const char* name;
    WallElem* wall;
    int v;
    std::vector<int32_t> sizes;
  } cases[] = {
      {"plain", plain(), 8, {4, 4, 4, 4, 4, 4}},
      {"gable", gable(plain()), 10, {4, 4, 4, 4, 4, 5, 5}},
      {"one opening", cut(plain(), 1, 2, 0.8, 1.2), 18, {11, 11, 6, 4, 4, 4, 4, 4, 4, 4}},
      {"gable, one opening", cut(gable(plain()), 1, 2, 0.8, 1.2), 20, {12, 12, 6, 4, 4, 4, 4, 4, 4, 4, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const MeshElem* m = mesh_of(c.wall);
    EXPECT_EQ(m->vertex_count(), c.v);
    EXPECT_EQ(m->face_sizes, c.sizes);
    EXPECT_EQ(m->layer, 3);
    EXPECT_EQ(m->pen, c.wall->pen);
    EXPECT_EQ(m->material, "Default");
    EXPECT_EQ(m->flag, 0);
    EXPECT_EQ(m->group, 0);
    // The base face runs through the bridge points of both long faces.
    const int o = static_cast<int>(c.wall->openings.size());
    EXPECT_EQ(m->indices.size(), static_cast<std::size_t>((c.wall->gable ? 30 : 24) + 32 * o));
  }
}

TEST_F(WallMeshTest, FaceListsOfAPlainWallAndOfOneOpening) {
  const MeshElem* m = mesh_of(plain());
  EXPECT_EQ(m->indices,
            (std::vector<int32_t>{0, 1, 2, 3, 1, 5, 6, 2, 3, 7, 4, 0, 4, 7, 6, 5, 0, 4, 5, 1, 2, 6, 7, 3}));
  m = mesh_of(cut(plain(), 1, 2, 0.8, 1.2));
  EXPECT_EQ(m->indices,
            (std::vector<int32_t>{0,  4,  5,  1,  16, 8, 9,  13, 12, 8,  16, 2,  6,  7,  3, 17, 10, 11, 15,
                                  14, 10, 17, 0,  16, 1, 2,  17, 3,  0,  3,  7,  4,  1,  5, 6,  2,  4,  7,
                                  6,  5,  8,  11, 10, 9, 12, 13, 14, 15, 8,  12, 15, 11, 9, 10, 14, 13}));
  // The bridge points on the base below box corners 0 and 2.
  EXPECT_EQ(m->vertices[16].x, 1);
  EXPECT_EQ(m->vertices[16].y, -0.15);
  EXPECT_EQ(m->vertices[16].z, 0);
  EXPECT_EQ(m->vertices[17].x, 2);
  EXPECT_EQ(m->vertices[17].y, 0.15);
  EXPECT_EQ(m->vertices[17].z, 0);
}

// Every edge in exactly two faces, met once each way, as the polygons and
// as the triangles every export and the boolean tool get; no vertex twice.
void expect_closed(const MeshElem& m) {
  expect_edges_paired(m);
  FaceList* t = tri_faces_new(&m);
  tri_triangulate_faces(t, 0);
  std::map<std::pair<int32_t, int32_t>, int> uses;
  for (int k = 0; k < t->triangle_count; ++k) {
    const int32_t c[3] = {t->t0[k], t->t1[k], t->t2[k]};
    for (int i = 0; i < 3; ++i) ++uses[{c[i], c[(i + 1) % 3]}];
  }
  tri_faces_free(t);
  int unpaired = 0;
  for (const auto& [edge, count] : uses) {
    const auto back = uses.find({edge.second, edge.first});
    unpaired += count != 1 || back == uses.end() || back->second != 1;
  }
  EXPECT_EQ(unpaired, 0) << "triangle edges not in exactly two triangles";
  for (std::size_t i = 0; i < m.vertices.size(); ++i)
    for (std::size_t j = 0; j < i; ++j)
      EXPECT_FALSE(geom_eq3(m.vertices[i], m.vertices[j])) << i << " = " << j;
}

// Openings of every kind and place: free in the wall, standing on the
// floor, at either end of the wall, reaching the top, beside each other
// at equal or other heights, through the whole height.
TEST_F(WallMeshTest, EveryMeshIsClosedAndFacesInwards) {
  auto walls = sample_walls();
  const std::vector<std::pair<const char*, WallElem*>> more = {
      {"door at the start", cut_flush(plain(), 0, 1, 0, 2.1)},
      {"door at the end", cut_flush(plain(), 5, 6, 0, 2.1)},
      {"window at the start", cut_flush(plain(), 0, 1, 0.8, 1.2)},
      {"window at the end, outer face 2-3", cut_flush(plain(), 5, 6, 0.8, 1.2, true)},
      {"window reaching the top", cut_flush(plain(), 2, 3, 1.0, 1.75)},
      {"door reaching the top at the end", cut_flush(plain(), 5, 6, 0, 2.75)},
      {"slot through the whole height", cut_flush(plain(), 2, 3, 0, 2.75)},
      {"two windows side by side", cut_flush(cut_flush(plain(), 1, 2, 0.8, 1.2), 2, 3, 0.8, 1.2)},
      {"two windows side by side at other heights",
       cut_flush(cut_flush(plain(), 1, 2, 0.8, 1.2), 2, 3, 1.2, 1.2)},
      {"door beside a window", cut_flush(cut_flush(plain(), 1, 2, 0.8, 1.2), 2, 3, 0, 2.1)},
      {"two doors side by side", cut_flush(cut_flush(plain(), 2, 3, 0, 2.1), 1, 2, 0, 2.1)},
      {"two doors side by side at other heights",
       cut_flush(cut_flush(plain(), 2, 3, 0, 2.3), 1, 2, 0, 2.1, true)},
      {"three openings in a row from the start",
       cut_flush(cut_flush(cut_flush(plain(), 0, 1, 0, 2.0), 1, 2, 0.5, 1.0), 2, 3, 0, 2.75)},
      {"gable with a door", cut_flush(gable(plain()), 1, 2, 0, 2.1)},
      {"raised base with a door",
       [] {
         WallElem* w = plain();
         for (int i = 0; i < 8; ++i) w->corner[i].z += 1.5;
         return cut_flush(w, 2, 3, 0, 2);
       }()},
  };
  walls.insert(walls.end(), more.begin(), more.end());
  for (auto [name, w] : walls) {
    SCOPED_TRACE(name);
    const MeshElem& m = *mesh_of(w);
    expect_closed(m);
    // Normals into the body: the signed volume is minus the wall's volume
    // less its openings.
    const double len = 6, thick = 0.3, h = 2.75;
    double volume = len * thick * h + (w->gable ? thick * len * (4.0 - h) / 2.0 : 0.0);
    for (const WallOpening& op : w->openings)
      volume -= std::fabs(op.corner[1].x - op.corner[0].x) * thick * (op.corner[4].z - op.corner[0].z);
    EXPECT_NEAR(sum_volume(m), -volume, 1e-9);
  }
}

// A wall given a negative height has its top corners below its base: its
// mesh keeps them there and still faces outward.
TEST_F(WallMeshTest, AWallWhoseTopLiesBelowItsBaseIsWoundOutward) {
  const struct {
    const char* what;
    bool gabled;
    double volume;
  } rows[] = {
      {"plain", false, 6 * 0.3 * 2.75},
      {"gable", true, 6 * 0.3 * 2.75 + 0.3 * 6 * 1.25 / 2.0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    WallElem* w = plain();
    for (int i = 4; i < 8; ++i) w->corner[i].z = -2.75;
    if (r.gabled) {
      gable(w);
      w->gable_a.z = w->gable_b.z = -4.0;
    }
    const MeshElem& m = *mesh_of(w);
    for (int i = 4; i < 8; ++i) EXPECT_EQ(m.vertices[i].z, -2.75);
    expect_edges_paired(m);
    EXPECT_NEAR(sum_volume(m), -r.volume, 1e-9);
  }
}

TEST_F(WallMeshTest, OpeningsSortedAlongTheWallAndTurnedToFace01) {
  const auto a = mesh_of(cut(cut(plain(), 1, 2, 0.8, 1.2), 4, 5, 0, 2.1))->vertices;
  const auto b = mesh_of(cut(cut(plain(), 4, 5, 0, 2.1), 1, 2, 0.8, 1.2))->vertices;
  // The door stands on the floor: its bridge points are its own corners.
  ASSERT_EQ(a.size(), 26u);
  ASSERT_EQ(b.size(), a.size());
  for (std::size_t i = 0; i < a.size(); ++i) EXPECT_TRUE(geom_eq3(a[i], b[i])) << "vertex " << i;
  EXPECT_EQ(a[8].x, 1);

  const auto c = mesh_of(cut(plain(), 1, 2, 0.8, 1.2))->vertices;
  const auto d = mesh_of(cut(plain(), 1, 2, 0.8, 1.2, true))->vertices;
  ASSERT_EQ(c.size(), d.size());
  for (std::size_t i = 0; i < c.size(); ++i) EXPECT_TRUE(geom_eq3(c[i], d[i])) << "vertex " << i;
}

TEST_F(WallMeshTest, BridgesRiseFromTheBasePlaneBelowTheOpening) {
  WallElem* w = cut(plain(), 1, 2, 0.8, 1.2);
  // A base sloping up along the wall, from 0 at its start to 0.1 at its end.
  w->corner[1].z = w->corner[2].z = 0.1;
  geo_result.isect3 = {99, 99, 99, 0};  // what an earlier intersection left
  const MeshElem* m = mesh_of(w);
  ASSERT_EQ(m->vertex_count(), 18);
  const Point3& ak = m->vertices[16];
  const Point3& bk = m->vertices[17];
  EXPECT_NEAR(ak.x, 1, 1e-12);
  EXPECT_NEAR(ak.y, -0.15, 1e-12);
  EXPECT_NEAR(ak.z, 0.0 + 0.1 * (1.0 / 6.0), 1e-12);
  EXPECT_NEAR(bk.x, 2, 1e-12);
  EXPECT_NEAR(bk.y, 0.15, 1e-12);
  EXPECT_NEAR(bk.z, 0.1 * (2.0 / 6.0), 1e-12);
}

// An opening of no height takes nothing away: the mesh is the plain
// wall's, with no faces of no area and no point twice.
TEST_F(WallMeshTest, AnOpeningOfNoHeightLeavesThePlainWall) {
  const MeshElem* plain_mesh = mesh_of(plain());
  const MeshElem* m = mesh_of(cut(plain(), 1, 2, 0.8, 0.0));
  expect_closed(*m);
  EXPECT_EQ(m->vertex_count(), 8);
  EXPECT_EQ(m->face_count(), 6);
  EXPECT_NEAR(sum_volume(*m), sum_volume(*plain_mesh), 1e-12);
}

TEST_F(WallMeshTest, TemporaryMeshesComeAndGoLeavingTheDrawing) {
  WallElem* a = cut(plain(), 1, 2, 0.8, 1.2);
  WallElem* b = gable(axis_wall(0, 3, 6, 3));
  WallElem* c = axis_wall(0, 6, 6, 6);
  ElemHeader* line = a_line();
  drawing_modified = 0;
  const auto before = drawing_state();
  a->mark = b->mark = line->mark = 1;
  {
    WallTempMeshes temp;
    std::vector<MeshElem*> meshes;
    for (ElemHeader* e : elements())
      if (auto* m = elem_as<MeshElem>(e)) meshes.push_back(m);
    ASSERT_EQ(meshes.size(), 2u);
    EXPECT_EQ(meshes[0]->layer, LAYER_TEMP_3D);
    EXPECT_EQ(meshes[0]->vertex_count(), 18);
    EXPECT_EQ(meshes[1]->vertex_count(), 10);
    EXPECT_EQ(meshes[0]->mark, 0);
    EXPECT_EQ(elem_list_tail, meshes[1]);
  }
  EXPECT_EQ(drawing_state(), before);
  EXPECT_EQ(a->mark, 1);  // marks left by a careless caller survive, and so do their elements
  EXPECT_EQ(line->mark, 1);
  EXPECT_EQ(c->mark, 0);
  EXPECT_EQ(drawing_modified, 0);

  // Left by an error, the meshes go too.
  try {
    WallTempMeshes temp;
    throw std::runtime_error("export failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(drawing_state(), before);
}

TEST_F(WallMeshTest, SolidsAmongTheMarkedElements) {
  ElemHeader* l = a_line();
  EXPECT_EQ(solid_any_marked(), 0);
  l->mark = 1;
  EXPECT_EQ(solid_any_marked(), 0);
  elem_new_line3d(0, 0, 0, 0, 0, 0, 1, 1, 1);
  elem_list_tail->mark = 1;
  EXPECT_EQ(solid_any_marked(), 1);
  elem_list_tail->mark = 0;
  WallElem* w = plain();
  EXPECT_EQ(solid_any_marked(), 0);
  w->mark = 1;
  EXPECT_EQ(solid_any_marked(), 1);
  w->mark = 0;
  mesh_of(w)->mark = 1;
  EXPECT_EQ(solid_any_marked(), 1);
}

}  // namespace
