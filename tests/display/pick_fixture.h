#pragma once

// Picking tests: a plan view of 600 x 400 pixels at 1:500 (one pixel is
// 1/6 m, the world origin at pixel (300, 200)), the installation's fonts,
// an empty drawing on layer 0, and builders for an element of each kind.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "display/pick.h"
#include "display/snap.h"
#include "display/snap_grid.h"
#include "display_fixture.h"
#include "model/elem.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/view_rec.h"

inline constexpr double PICK_PX = 1.0 / 6.0;  // metres per pixel
// Lights, cameras and level and angle dimensions count this much nearer.
inline constexpr double PICK_BONUS = 5 * PICK_PX;

// Builders of one element of each kind on the current layer.
struct PickBuilders {
  // Appends a record of kind T on the current layer, filled by fill.
  template <class T, class F>
  static T* add(F&& fill) {
    auto e = std::make_unique<T>();
    e->layer = static_cast<uint16_t>(cur_layer);
    fill(*e);
    elem_adopt(std::move(e));
    return static_cast<T*>(elem_list_tail);
  }

  static LineElem* line(double x1, double y1, double x2, double y2) {
    return add<LineElem>([&](LineElem& l) {
      l.p1 = {x1, y1, 0};
      l.p2 = {x2, y2, 0};
    });
  }
  static ArcElem* arc(double cx, double cy, double rx, double ry, double start, double sweep,
                      double rotation = 0.0) {
    return add<ArcElem>([&](ArcElem& a) {
      a.centre = {cx, cy, 0};
      a.radius_x = rx;
      a.radius_y = ry;
      a.start = start;
      a.sweep = sweep;
      a.rotation = rotation;
    });
  }
  static TextElem* text(double x, double y, double angle, uint8_t alignment, const char* s,
                        double fit = 0.0) {
    return add<TextElem>([&](TextElem& t) {
      t.pos = {x, y, 0};
      t.angle = angle;
      t.alignment = alignment;
      t.height = 5.0;
      t.width_factor = 1.0;
      t.font = "Simpel";
      t.text = s;
      t.fit_length = fit;
    });
  }
  // A dimension whose dimension-line points are pts (the measured points too).
  static DimElem* dim(uint8_t kind, std::vector<Point2> pts) {
    return add<DimElem>([&](DimElem& d) {
      d.dim_kind = kind;
      d.font = "Simpel";
      for (const Point2& p : pts) {
        DimPoint dp;
        dp.line_point = p;
        dp.measured = p;
        d.points.push_back(dp);
      }
    });
  }
  // A wall standing from z 0 to 3 on the base corners c (counter-clockwise),
  // with the plan outline segs (the base ring when empty).
  static WallElem* wall(std::vector<Point2> c, std::vector<WallSegment> segs = {}) {
    return add<WallElem>([&](WallElem& w) {
      for (int i = 0; i < 4; ++i) {
        w.corner[i] = {c[i].x, c[i].y, 0.0, 0};
        w.corner[i + 4] = {c[i].x, c[i].y, 3.0, 0};
      }
      if (segs.empty())
        for (int i = 0; i < 4; ++i) segs.push_back({c[i], c[(i + 1) % 4]});
      w.segments = std::move(segs);
    });
  }
  // A box opening between (x0, y0, z0) and (x1, y1, z1).
  static WallOpening opening(double x0, double y0, double z0, double x1, double y1, double z1) {
    WallOpening o;
    const double xs[4] = {x0, x1, x1, x0}, ys[4] = {y0, y0, y1, y1};
    for (int i = 0; i < 4; ++i) {
      o.corner[i] = {xs[i], ys[i], z0, 0};
      o.corner[i + 4] = {xs[i], ys[i], z1, 0};
    }
    o.kind = OPENING_PLAIN;
    return o;
  }
  static PatternElem* pattern(std::vector<Point2> pts) {
    return add<PatternElem>([&](PatternElem& p) {
      p.points = std::move(pts);
      p.type = PATTERN_ONE_LINE;
      p.spacing1 = 1.0;
    });
  }
  static RoomElem* room(Point2 label, std::vector<Point2> pts) {
    return add<RoomElem>([&](RoomElem& r) {
      r.label = label;
      r.font = "Simpel";
      r.points = std::move(pts);
    });
  }
  static SplineElem* spline(Point2 p0, Point2 p1, Point2 p2, Point2 p3) {
    return add<SplineElem>([&](SplineElem& s) {
      s.p0 = p0;
      s.p1 = p1;
      s.p2 = p2;
      s.p3 = p3;
    });
  }
  static Line3dElem* line3d(Point3 a, Point3 b) {
    return add<Line3dElem>([&](Line3dElem& l) {
      l.p1 = a;
      l.p2 = b;
    });
  }
  // A mesh of one face through the vertices in order.
  static MeshElem* mesh(std::vector<Point3> face) {
    return add<MeshElem>([&](MeshElem& m) {
      m.face_sizes = {static_cast<int32_t>(face.size())};
      for (std::size_t i = 0; i < face.size(); ++i) m.indices.push_back(static_cast<int32_t>(i));
      m.vertices = std::move(face);
    });
  }
  static LightElem* light(double x, double y, double z) {
    return add<LightElem>([&](LightElem& l) {
      l.position = {x, y, z, 0};
      l.target = {x, y, z - 1.0, 0};
    });
  }
  static CameraElem* camera(double x, double y, double z) {
    return add<CameraElem>([&](CameraElem& c) {
      c.eye = {x, y, z, 0};
      c.target = {x + 1.0, y, z, 0};
      c.view_angle = 60.0;
    });
  }
  // A square from (x0, y0) to (x1, y1), counter-clockwise, with its end marker.
  static std::vector<Point2> square(double x0, double y0, double x1, double y1) {
    return {{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}, CONTOUR_END};
  }

  // The distance by which pick_nearest_element ranks e at the view point
  // (x, y) with PICK_ANY, NaN when e does not count there: found by setting
  // a rival light after e that the view shows s above the point (it counts
  // s less 5 pixels, and e wins ties) and narrowing s down.
  static double pick_distance_of(const ElemHeader* e, double x, double y) {
    auto e_wins = [&](double s) {
      view_unproject(x, y + s);
      light(geo_result.world_x, geo_result.world_y, geo_result.world_z);
      const bool won = pick_nearest_element(x, y, PICK_ANY) == e;
      elem_remove_last();
      return won;
    };
    double lo = 0.0, hi = 100.0 + PICK_BONUS;
    if (!e_wins(hi)) return std::nan("");
    if (e_wins(lo)) return -PICK_BONUS;
    for (int i = 0; i < 60; ++i) {
      const double mid = (lo + hi) / 2.0;
      (e_wins(mid) ? hi : lo) = mid;
    }
    return hi - PICK_BONUS;
  }
};

// How the picks find what to look at: walking the list; on a drawing taken
// as large, the elements of the kinds there are few of; or the grid of
// element boxes around the point. The results must not differ.
enum class PickSearch { WALK, KIND_LISTS, AREA };
inline void pick_search_use(PickSearch s) {
  snap_index_threshold = s == PickSearch::WALK ? 20000 : 0;
  pick_kind_list_max = s == PickSearch::AREA ? 0 : 4096;
}
inline void pick_search_reset() { pick_search_use(PickSearch::WALK); }
inline const auto pick_searches =
    ::testing::Values(PickSearch::WALK, PickSearch::KIND_LISTS, PickSearch::AREA);
inline std::string pick_search_name(const ::testing::TestParamInfo<PickSearch>& i) {
  return i.param == PickSearch::WALK ? "Walk" : i.param == PickSearch::KIND_LISTS ? "KindLists" : "Area";
}

// Each test runs with every PickSearch.
class PickRulesTest : public DisplayTest,
                      protected PickBuilders,
                      public ::testing::WithParamInterface<PickSearch> {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    views[0] = ViewRec{0, 0, 600, 400, -50.0, -200.0 / 6.0, 50.0, 200.0 / 6.0, PICK_PX, PICK_PX};
    view_type = VIEW_PLAN;
    cur_layer = 0;
    select_all_layers = 0;
    pick_search_use(GetParam());
    elem_grid_reset();
  }
  void TearDown() override {
    select_all_layers = 0;
    pick_search_reset();
    elem_grid_reset();
    DisplayTest::TearDown();
  }
};
