// Pictures of the tool pages: text alignment, the 3D page's view grid, its
// 3D element and 3D edit buttons.

#include <cmath>
#include <functional>

#include "pictures.h"

namespace {

using namespace ink;

// Text lines of the given lengths, aligned 'l', 'r', 'c' or justified 'b'.
void text_lines(Canvas& c, char align) {
  const int lengths[] = {14, 9, 12, 7, 10};
  for (int i = 0; i < 5; ++i) {
    int y = 2 + 3 * i;
    int len = align == 'b' ? (i < 4 ? 14 : 8) : lengths[i];
    if (align == 'c') len -= len % 2;
    int x0 = align == 'r' ? 15 - len : align == 'c' ? 1 + (14 - len) / 2 : 1;
    c.line(x0, y, x0 + len - 1, y, black);
  }
}

void draw_format_l(Canvas& c) { text_lines(c, 'l'); }
void draw_format_r(Canvas& c) { text_lines(c, 'r'); }
void draw_format_c(Canvas& c) { text_lines(c, 'c'); }
void draw_format_b(Canvas& c) { text_lines(c, 'b'); }

// The view grid: the eight buttons around the plan point from where they
// sit towards the middle, the direction the view looks in.
void view_arrow(Canvas& c, int cell) {
  int col = (cell - 1) % 3, row = (cell - 1) / 3;
  int dx = 1 - col, dy = 1 - row;
  double angle = std::atan2(-dy, dx) * 180.0 / M_PI;
  bool diagonal = dx != 0 && dy != 0;
  double len = diagonal ? 21 : 20;
  double rad = angle * M_PI / 180.0;
  double tx = 11.5 + std::cos(rad) * len / 2, ty = 11.5 - std::sin(rad) * len / 2;
  draw_arrow(c, tx, ty, angle, len, 6, 16, 8);
}

void draw_3d1(Canvas& c) { view_arrow(c, 1); }
void draw_3d2(Canvas& c) { view_arrow(c, 2); }
void draw_3d3(Canvas& c) { view_arrow(c, 3); }
void draw_3d4(Canvas& c) { view_arrow(c, 4); }
void draw_3d6(Canvas& c) { view_arrow(c, 6); }
void draw_3d7(Canvas& c) { view_arrow(c, 7); }
void draw_3d8(Canvas& c) { view_arrow(c, 8); }
void draw_3d9(Canvas& c) { view_arrow(c, 9); }

void draw_3d5(Canvas& c) {
  // The plan: two rooms, a door swinging in, a window.
  c.fill_rect(2, 3, 21, 20, black);
  c.fill_rect(4, 5, 19, 18, white);
  c.fill_rect(13, 5, 14, 10, black);
  c.fill_rect(6, 19, 12, 20, white);
  c.line(6, 19, 6, 13, black);
  c.arc(6, 19, 6.5, 6.5, 0, 90, dark);
  c.fill_rect(20, 9, 21, 14, pale);
}

// Solids of revolution: a frustum from radius r0 at y0 to r1 at y1 (the
// ellipses flattened by `flat`), lit from the left.
void frustum(Canvas& c, double cx, double y0, double r0, double y1, double r1, double flat) {
  auto half_width = [&](double y) { return r0 + (r1 - r0) * (y - y0) / (y1 - y0); };
  for (int y = 0; y < c.height(); ++y) {
    for (int x = 0; x < c.width(); ++x) {
      double hw;
      if (y >= y0 && y <= y1) {
        hw = half_width(y);
      } else if (y > y1 && y <= y1 + r1 * flat) {
        double v = (y - y1) / (r1 * flat);
        hw = r1 * std::sqrt(1 - v * v);
      } else {
        continue;
      }
      double t = (x - cx) / hw;
      if (std::abs(x - cx) <= hw + 1e-9) c.put(x, y, t > 0.3 ? mid : pale);
    }
  }
  c.line(std::lround(cx - r0), std::lround(y0), std::lround(cx - r1), std::lround(y1), black);
  c.line(std::lround(cx + r0), std::lround(y0), std::lround(cx + r1), std::lround(y1), black);
  c.arc(cx, y1, r1, r1 * flat, 180, 360, black);
  if (r0 > 0) {
    c.fill_ellipse(cx, y0, r0, r0 * flat, white);
    c.ellipse(cx, y0, r0, r0 * flat, black);
  }
}

void draw_3d_cu(Canvas& c) {
  c.polygon({{2, 9}, {9, 3}, {22, 3}, {15, 9}}, black, white);
  c.polygon({{15, 9}, {22, 3}, {22, 15}, {15, 21}}, black, mid);
  c.polygon({{2, 9}, {15, 9}, {15, 21}, {2, 21}}, black, pale);
}

void draw_3d_sp(Canvas& c) {
  const double cx = 11.5, cy = 11.5, r = 10.6;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) {
      if (std::hypot(x - cx, y - cy) > r) continue;
      char k = std::hypot(x - 7.5, y - 7.5) <= 3.0 ? white : std::hypot(x - 9, y - 9) <= 9.5 ? pale : mid;
      c.put(x, y, k);
    }
  c.arc(cx, cy, r, 3.6, 180, 360, navy);
  c.ellipse(cx, cy, r, r, black);
}

void draw_3d_po(Canvas& c) {
  // A flat face tilted in space, its corners marked.
  std::vector<Pt> p = {{2, 14}, {8, 5}, {19, 3}, {22, 12}, {12, 21}};
  c.polygon(p, black, pale);
  for (const Pt& v : p)
    c.fill_rect(std::lround(v.x) - 1, std::lround(v.y) - 1, std::lround(v.x) + 1, std::lround(v.y) + 1, navy);
}

void draw_3d_pr(Canvas& c) {
  // A five-sided floor outline raised into a prism: the top and the two
  // faces turned towards the viewer.
  std::vector<Pt> top, bottom;
  for (int i = 0; i < 5; ++i) {
    double a = (-90 + 72 * i) * M_PI / 180.0;
    top.push_back({11.5 + 10 * std::cos(a), 7.5 - 4.6 * std::sin(a)});
    bottom.push_back({top.back().x, top.back().y + 11});
  }
  c.polygon({top[4], top[0], bottom[0], bottom[4]}, black, pale);
  c.polygon({top[0], top[1], bottom[1], bottom[0]}, black, mid);
  c.polygon(top, black, white);
}

void draw_3d_zy(Canvas& c) { frustum(c, 11.5, 5, 8.5, 19, 8.5, 0.35); }
void draw_3d_ke(Canvas& c) { frustum(c, 11.5, 1, 0, 19, 9.5, 0.33); }
void draw_3d_ks(Canvas& c) { frustum(c, 11.5, 5, 4.5, 19, 9.5, 0.33); }

void draw_3d_li(Canvas& c) {
  // A line rising from the ground to a point in space; its foot dashed.
  c.polygon({{1, 17}, {10, 11}, {23, 14}, {14, 21}}, grey, light);
  c.dashed(18, 4, 18, 16, dark, 2, 1);
  c.dashed(5, 16, 18, 16, dark, 2, 1);
  c.line(5, 16, 18, 4, black);
  c.line(6, 16, 18, 5, black);
  c.fill_rect(4, 15, 6, 17, navy);
  c.fill_rect(17, 3, 19, 5, navy);
}

void draw_3d_aw(Canvas& c) {
  // A wall raised to meet a sloping plane (a roof) that it now carries.
  auto P = [](double a, double b) { return Pt{1 + 14 * a + 3 * b, 9 + 5 * a - 2.4 * b}; };
  c.polygon({P(-0.1, 0), P(1.1, 0), P(1.1, 2.4), P(-0.1, 2.4)}, blue, pale);
  c.polygon({{1, 22}, {15, 22}, {15, 14}, {1, 9}}, black, light);
  c.polygon({{15, 22}, {18, 19.6}, {18, 11.6}, {15, 14}}, black, grey);
}

// Two solids, a square block and a round one, combined as `op` says; the
// result is shaded, the parts it drops are left as grey outlines.
void boolean(Canvas& c, const std::function<bool(bool, bool)>& op) {
  auto in_a = [](int x, int y) { return x >= 1 && x <= 14 && y >= 1 && y <= 14; };
  auto in_b = [](int x, int y) { return std::hypot(x - 15.0, y - 15.0) <= 7.8; };
  auto in_r = [&](int x, int y) { return op(in_a(x, y), in_b(x, y)); };
  auto edge_of = [](auto&& in, int x, int y) {
    return in(x, y) && (!in(x + 1, y) || !in(x - 1, y) || !in(x, y + 1) || !in(x, y - 1));
  };
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) {
      if (in_r(x, y)) c.put(x, y, mid);
      if ((edge_of(in_a, x, y) || edge_of(in_b, x, y)) && !in_r(x, y)) c.put(x, y, grey);
      if (edge_of(in_r, x, y)) c.put(x, y, black);
    }
}

void draw_3d_add(Canvas& c) {
  boolean(c, [](bool a, bool b) { return a || b; });
}
void draw_3d_sub(Canvas& c) {
  boolean(c, [](bool a, bool b) { return a && !b; });
}
void draw_3d_and(Canvas& c) {
  boolean(c, [](bool a, bool b) { return a && b; });
}

}  // namespace

void draw_arrow(Canvas& c, double tx, double ty, double angle, double length, double shaft, double head,
                double head_length) {
  double a = angle * M_PI / 180.0;
  double ux = std::cos(a), uy = -std::sin(a);  // along the arrow, screen y down
  double nx = -uy, ny = ux;                    // across it
  auto at = [&](double along, double across) {
    return Pt{tx - ux * along + nx * across, ty - uy * along + ny * across};
  };
  std::vector<Pt> p = {at(0, 0),
                       at(head_length, head / 2),
                       at(head_length, shaft / 2),
                       at(length, shaft / 2),
                       at(length, -shaft / 2),
                       at(head_length, -shaft / 2),
                       at(head_length, -head / 2)};
  c.solid(p, navy, blue);
}

void add_page_pictures(std::vector<Picture>& out) {
  out.insert(out.end(), {
                            {"format_l", 16, 16, draw_format_l}, {"format_r", 16, 16, draw_format_r},
                            {"format_c", 16, 16, draw_format_c}, {"format_b", 16, 16, draw_format_b},
                            {"3d1", 24, 24, draw_3d1},           {"3d2", 24, 24, draw_3d2},
                            {"3d3", 24, 24, draw_3d3},           {"3d4", 24, 24, draw_3d4},
                            {"3d5", 24, 24, draw_3d5},           {"3d6", 24, 24, draw_3d6},
                            {"3d7", 24, 24, draw_3d7},           {"3d8", 24, 24, draw_3d8},
                            {"3d9", 24, 24, draw_3d9},           {"3d_cu", 24, 24, draw_3d_cu},
                            {"3d_sp", 24, 24, draw_3d_sp},       {"3d_po", 24, 24, draw_3d_po},
                            {"3d_pr", 24, 24, draw_3d_pr},       {"3d_zy", 24, 24, draw_3d_zy},
                            {"3d_ke", 24, 24, draw_3d_ke},       {"3d_ks", 24, 24, draw_3d_ks},
                            {"3d_li", 24, 24, draw_3d_li},       {"3d_aw", 24, 24, draw_3d_aw},
                            {"3d_add", 24, 24, draw_3d_add},     {"3d_sub", 24, 24, draw_3d_sub},
                            {"3d_and", 24, 24, draw_3d_and},
                        });
}
