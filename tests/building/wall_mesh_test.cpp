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
    WallElem* n = opening_cut_wall(box, OPENING_WINDOW, 1, sill, height, 0.05, 0.1, 0, w);
    EXPECT_NE(n, w) << "the opening " << a << " to " << b << " does not fit";
    w->mark = 1;
    elem_purge_marked();
    return n;
  }

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
      {"one opening", cut(plain(), 1, 2, 0.8, 1.2), 18, {11, 11, 4, 4, 4, 4, 4, 4, 4, 4}},
      {"door at sill 0", cut(plain(), 1, 2, 0, 2.1), 18, {11, 11, 4, 4, 4, 4, 4, 4, 4, 4}},
      {"gable, one opening", cut(gable(plain()), 1, 2, 0.8, 1.2), 20, {12, 12, 4, 4, 4, 4, 4, 4, 4, 4, 4}},
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
    const int o = static_cast<int>(c.wall->openings.size());
    EXPECT_EQ(m->indices.size(), static_cast<std::size_t>((c.wall->gable ? 30 : 24) + 30 * o));
  }
}

TEST_F(WallMeshTest, FaceListsOfAPlainWallAndOfOneOpening) {
  const MeshElem* m = mesh_of(plain());
  EXPECT_EQ(m->indices,
            (std::vector<int32_t>{0, 1, 2, 3, 1, 5, 6, 2, 3, 7, 4, 0, 4, 7, 6, 5, 0, 4, 5, 1, 2, 6, 7, 3}));
  m = mesh_of(cut(plain(), 1, 2, 0.8, 1.2));
  EXPECT_EQ(m->indices,
            (std::vector<int32_t>{0,  4,  5,  1,  16, 8, 9,  13, 12, 8,  16, 2,  6,  7,  3, 17, 10, 11,
                                  15, 14, 10, 17, 0,  1, 2,  3,  0,  3,  7,  4,  1,  5,  6, 2,  4,  7,
                                  6,  5,  8,  11, 10, 9, 12, 13, 14, 15, 8,  12, 15, 11, 9, 10, 14, 13}));
  // The bridge points on the base below box corners 0 and 2.
  EXPECT_EQ(m->vertices[16].x, 1);
  EXPECT_EQ(m->vertices[16].y, -0.15);
  EXPECT_EQ(m->vertices[16].z, 0);
  EXPECT_EQ(m->vertices[17].x, 2);
  EXPECT_EQ(m->vertices[17].y, 0.15);
  EXPECT_EQ(m->vertices[17].z, 0);
}

TEST_F(WallMeshTest, EveryMeshIsClosedAndFacesInwards) {
  for (auto [name, w] : sample_walls()) {
    SCOPED_TRACE(name);
    const MeshElem& m = *mesh_of(w);
    const int g = w->gable ? 1 : 0;
    const int o = static_cast<int>(w->openings.size());
    // The seam the mesh leaves: the bridge points split the base edge of
    // the long faces (0-1 and 2-3) but not that of the base face, so along
    // those two base edges the faces meet in T-junctions. Edges between
    // two of {0, 1, all Ak} or two of {2, 3, all Bk} are checked as chains.
    std::set<int32_t> line01 = {0, 1}, line23 = {2, 3};
    for (int k = 0; k < o; ++k) {
      line01.insert(8 + 2 * g + 10 * k + 8);
      line23.insert(8 + 2 * g + 10 * k + 9);
    }
    std::map<std::pair<int32_t, int32_t>, int> uses;
    double seam01 = 0, seam23 = 0;
    std::size_t at = 0;
    for (int32_t n : m.face_sizes) {
      for (int32_t i = 0; i < n; ++i) {
        const int32_t a = m.indices[at + i], b = m.indices[at + (i + 1) % n];
        const Point3 &p = m.vertices[a], &q = m.vertices[b];
        const double len = geom_dist3(p.x, p.y, p.z, q.x, q.y, q.z);
        if (line01.count(a) && line01.count(b))
          seam01 += (a == 0 && b == 1) ? len : -len;
        else if (line23.count(a) && line23.count(b))
          seam23 += (a == 2 && b == 3) ? len : -len;
        else
          ++uses[{a, b}];
      }
      at += n;
    }
    EXPECT_EQ(at, m.indices.size());
    // Along each seam the long face runs back exactly the base face's edge.
    EXPECT_NEAR(seam01, 0.0, 1e-9);
    EXPECT_NEAR(seam23, 0.0, 1e-9);
    for (const auto& [edge, count] : uses) {
      EXPECT_EQ(count, 1) << edge.first << " -> " << edge.second;
      const auto back = uses.find({edge.second, edge.first});
      EXPECT_TRUE(back != uses.end() && back->second == 1) << edge.first << " -> " << edge.second << " alone";
    }
    // Normals into the body: the signed volume is minus the wall's volume
    // without its openings.
    const double len = 6, thick = 0.3, h = 2.75;
    double volume = len * thick * h + (g ? thick * len * (4.0 - h) / 2.0 : 0.0);
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
  ASSERT_EQ(a.size(), 28u);
  ASSERT_EQ(b.size(), a.size());
  for (std::size_t i = 0; i < a.size(); ++i) EXPECT_TRUE(geom_eq3(a[i], b[i])) << "vertex " << i;
  EXPECT_EQ(a[8].x, 1);

  const auto c = mesh_of(cut(plain(), 1, 2, 0.8, 1.2))->vertices;
  const auto d = mesh_of(cut(plain(), 1, 2, 0.8, 1.2, true))->vertices;
  ASSERT_EQ(c.size(), d.size());
  for (std::size_t i = 0; i < c.size(); ++i) EXPECT_TRUE(geom_eq3(c[i], d[i])) << "vertex " << i;
}

TEST_F(WallMeshTest, AnOpeningOfNoHeightBridgesFromTheBaseBelowIt) {
  WallElem* w = cut(plain(), 1, 2, 0.8, 0.0);
  for (int i = 0; i < 4; ++i) w->corner[i].z = 0.1 * i;  // a sloping base plane
  geo_result.isect3 = {99, 99, 99, 0};                   // what an earlier intersection left
  const MeshElem* m = mesh_of(w);
  const Point3& ak = m->vertices[16];
  const Point3& bk = m->vertices[17];
  EXPECT_NEAR(ak.x, 1, 1e-12);
  EXPECT_NEAR(ak.y, -0.15, 1e-12);
  EXPECT_NEAR(ak.z, 0.0 + 0.1 * (1.0 / 6.0), 1e-12);
  EXPECT_NEAR(bk.x, 2, 1e-12);
  EXPECT_NEAR(bk.y, 0.15, 1e-12);
  EXPECT_NEAR(bk.z, 0.1 * (2.0 / 6.0) + 0.1, 1e-12);
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
