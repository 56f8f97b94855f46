#pragma once

// The operations on the selection run by the scripted wait backend on the
// drawn plan view of the line tools (600 x 400 pixels at 1:500, the world
// origin in the middle). The elements of the drawing of every kind lie apart,
// also after a quarter turn about the origin, so that erasing one never
// touches another. The points the scripts click lie away from every element,
// or object snap would catch the element's points.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "line_tool_fixture.h"
#include "model/elem_points.h"
#include "model/files/kavfile.h"
#include "model/wall_outline.h"
#include "support/test_records.h"
#include "tools/edit_tools.h"

class EditToolTest : public LineToolTest {
 protected:
  void SetUp() override {
    LineToolTest::SetUp();
    radio_types().clear();
    // A radio button of the Select page stores its value, then posts
    // z_toggle.
    rows()["z_toggle"] = [] {
      if (radio_types().empty()) return;
      select_type = radio_types().front();
      radio_types().pop_front();
    };
  }

  // Runs the tool to its end; a script that runs dry or is not used up
  // fails the test.
  void run_tool(const std::function<void()>& tool) {
    try {
      tool();
    } catch (const WaitScriptDry& e) {
      ADD_FAILURE() << e.what();
    }
    EXPECT_EQ(script.remaining(), 0u) << "events left unused";
    EXPECT_EQ(active_request, nullptr);
  }

  // The user chooses a selection type on the Select page (0 range, 1
  // element, 2 opening, 3 group, 4 point); every selection starts at 1.
  void choose_type(int type) {
    radio_types().push_back(type);
    script.key("z_toggle");
  }
  static std::deque<int>& radio_types() {
    static std::deque<int> d;
    return d;
  }

  // A line, an arc, a text, a chain dimension, a wall with a door, a
  // pattern, a room and a mesh, drawn.
  void make_mixed_drawing() {
    elem_new_line(0, 1, 0, -20, 10, -15, 12);
    elem_new_arc(0, 2, 0, -10, 10, 2, 2, 2.0, 0.3, 0);
    elem_append(test_text(0, 10, "Kavro"));
    elem_append(test_dim({test_dim_point(5, 12, 5, 10, 0), test_dim_point(8, 12, 8, 10, 3)}));
    wall_with_door(-20, -14, 0);
    elem_append(test_pattern(PATTERN_TWO_LINES, {{-14, -6}, {-11, -6}, {-11, -3}, {-14, -3}, CONTOUR_END}));
    elem_append(test_room(4, -3, {{2, -5}, {6, -5}, {6, -1}, {2, -1}, CONTOUR_END}));
    mesh_quad(10, -12, 12, -10);
    redraw();
  }

  // A wall along y = y0 from x0 to x1, 0.3 thick, 2.75 high, with a door
  // from x0 + 1 to x0 + 2 cut into its outline.
  static WallElem* wall_with_door(double x0, double x1, double y0) {
    const double y1 = y0 + 0.3;
    const double c[24] = {x0, y0, 0,    x1, y0, 0,    x1, y1, 0,    x0, y1, 0,
                          x0, y0, 2.75, x1, y0, 2.75, x1, y1, 2.75, x0, y1, 2.75};
    WallSegment quad[4];
    wall_outline_quad(x0, y0, x1, y0, x1, y1, x0, y1, quad);
    elem_new_wall(0, 1, 0, c, 4, quad, 0, nullptr, "Default", 0, 0, 0, 0, 0, 0, 0);
    WallElem* w = elem_as<WallElem>(elem_list_tail);
    Point3 box[8];
    const double xs[4] = {x0 + 1, x0 + 2, x0 + 2, x0 + 1}, ys[4] = {y0, y0, y1, y1};
    for (int i = 0; i < 4; ++i) {
      box[i] = {xs[i], ys[i], 0, 0};
      box[i + 4] = {xs[i], ys[i], 2.1, 0};
    }
    WallElem* cut = opening_cut_wall(box, OPENING_DOOR, 1, 0, 2.1, 0.05, 0.1, 0, w);
    elem_unlink(w);
    elem_destroy(w);
    return cut;
  }

  // A mesh of one face over the box (x0, y0) - (x1, y1), rising from z 0 to 1.
  static ElemHeader* mesh_quad(double x0, double y0, double x1, double y1) {
    Point3 v[4] = {{x0, y0, 0, 0}, {x1, y0, 0, 0}, {x1, y1, 1, 0}, {x0, y1, 1, 0}};
    const int32_t sizes[1] = {4};
    const int32_t idx[4] = {0, 1, 2, 3};
    elem_new_mesh(0, 3, 0, 4, 1, sizes, v, idx, "Default", 0);
    return elem_list_tail;
  }

  // The selection: everything on the current layer, then OK.
  void select_all() { script.key("s_deffi_all").key("s_deffi_ok"); }

  // Every element as the bytes of its file chunk, sorted: what the drawing
  // holds, whatever the order of the list.
  static std::vector<std::string> chunks() {
    std::vector<std::string> out;
    for (ElemHeader* e : elements()) out.push_back(chunk_of(e));
    std::sort(out.begin(), out.end());
    return out;
  }
  static std::string chunk_of(const ElemHeader* e) {
    std::FILE* f = std::tmpfile();
    if (!f) return {};
    kavfile_write_element(f, e);
    std::string bytes(static_cast<std::size_t>(std::ftell(f)), '\0');
    std::rewind(f);
    const std::size_t n = std::fread(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    bytes.resize(n);
    return bytes;
  }

  // Every point of an element, in the order the point walk visits them.
  static std::vector<Point3> points_of(ElemHeader* e) {
    std::vector<Point3> out;
    elem_for_each_point(
        e, 0,
        [&](Point2& p) {
          out.push_back({p.x, p.y, 0, 0});
        },
        [&](Point3& p) { out.push_back(p); });
    return out;
  }
  // The points of every element, element by element in list order.
  static std::vector<std::vector<Point3>> all_points() {
    std::vector<std::vector<Point3>> out;
    for (ElemHeader* e : elements()) out.push_back(points_of(e));
    return out;
  }
  // got[i] must be want[i] under the map, point by point.
  template <class Map>
  static void expect_points_mapped(const std::vector<std::vector<Point3>>& want_from,
                                   const std::vector<std::vector<Point3>>& got, Map map, double eps = 1e-9) {
    ASSERT_EQ(got.size(), want_from.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      SCOPED_TRACE("element " + std::to_string(i) + " (kind " + std::to_string(elements()[i]->kind) + ")");
      ASSERT_EQ(got[i].size(), want_from[i].size());
      for (std::size_t k = 0; k < got[i].size(); ++k) {
        const Point3 w = map(want_from[i][k]);
        EXPECT_NEAR(got[i][k].x, w.x, eps) << "point " << k;
        EXPECT_NEAR(got[i][k].y, w.y, eps) << "point " << k;
        EXPECT_NEAR(got[i][k].z, w.z, eps) << "point " << k;
      }
    }
  }
};
