#include "display/draw_opening.h"

#include <cmath>

#include "display/outdev.h"
#include "display/outdev_screen.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/layers.h"

namespace {

constexpr double BAND = 0.08;  // depth of a window frame, width of its end pieces and mullions
constexpr double GLASS = 0.04;
constexpr double PI = GEOM_PI;

// The opening's frame and its eight reference points:
//   0 c0, 1 stop corner, 2 jamb corner behind the stop, 3 inner-face corner
//   of the jamb (start side); 4 to 7 the same at the end side.
class Frame {
 public:
  explicit Frame(const OpeningSymbol& s) : mode_(s.mode) {
    const Point2* c = s.corner;
    w_ = geom_dist(c[0].x, c[0].y, c[1].x, c[1].y);
    theta_ = geom_angle(c[0].x, c[0].y, c[1].x, c[1].y);
    ux_ = std::cos(theta_);
    uy_ = std::sin(theta_);
    nx_ = -uy_;
    ny_ = ux_;
    l_ = w_ + 2.0 * s.stop_width;
    const double sw = s.stop_width, sd = s.stop_depth;
    p_[0] = c[0];
    p_[1] = offset(c[0], 0.0, sd);
    p_[2] = offset(c[0], -sw, sd);
    p_[3] = offset(c[3], -sw, 0.0);
    p_[4] = c[1];
    p_[5] = offset(c[1], 0.0, sd);
    p_[6] = offset(c[1], sw, sd);
    p_[7] = offset(c[2], sw, 0.0);
    // Without a stop, leaves that open inwards hang at the inner face.
    const bool hung_inside = s.kind == OPENING_DOOR && s.style >= 1 && s.style <= 3;
    if (hung_inside && (sw == 0.0 || sd == 0.0)) {
      p_[1] = p_[2] = c[3];
      p_[5] = p_[6] = c[2];
    }
  }

  double w() const { return w_; }
  double l() const { return l_; }

  // Point i moved by x along u and y along n.
  Point2 at(int i, double x, double y) const { return offset(p_[i], x, y); }

  void line(uint8_t pen, uint8_t lt, int i, double x1, double y1, int j, double x2, double y2) const {
    segment(pen, lt, at(i, x1, y1), at(j, x2, y2));
  }
  void line(int i, double x1, double y1, int j, double x2, double y2) const {
    line(0, 0, i, x1, y1, j, x2, y2);
  }

  // A quarter arc (or other sweep) about point k + (x, y), its start angle
  // measured from u.
  void arc(uint8_t pen, uint8_t lt, int k, double x, double y, double radius, double start,
           double sweep = PI / 2.0) const {
    const Point2 c = at(k, x, y);
    double a = theta_ + start;
    if (a > GEOM_TWO_PI) a -= GEOM_TWO_PI;
    if (mode_ == 2)
      draw_xor_ellipse_arc(c.x, c.y, radius, radius, sweep, a, 0.0);
    else
      outdev.arc(pen, lt, c.x, c.y, radius, radius, sweep, a, 0.0);
  }
  void arc(int k, double x, double y, double radius, double start) const {
    arc(0, 0, k, x, y, radius, start);
  }

  void outer_line(uint8_t lt = 0) const { segment(0, lt, p_[0], p_[4]); }
  void inner_line(uint8_t lt = 0) const { segment(0, lt, p_[3], p_[7]); }
  // Through the middle of both jambs, 0.1 beyond each.
  void axis() const {
    const Point2 m1{(p_[2].x + p_[3].x) / 2.0, (p_[2].y + p_[3].y) / 2.0, 0};
    const Point2 m2{(p_[6].x + p_[7].x) / 2.0, (p_[6].y + p_[7].y) / 2.0, 0};
    segment(1, 3, offset(m1, -0.1, 0.0), offset(m2, 0.1, 0.0));
  }

 private:
  Point2 offset(const Point2& p, double x, double y) const {
    return Point2{p.x + x * ux_ + y * nx_, p.y + x * uy_ + y * ny_, 0};
  }
  void segment(uint8_t pen, uint8_t lt, const Point2& a, const Point2& b) const {
    if (mode_ == 2)
      draw_xor_line(a.x, a.y, b.x, b.y);
    else
      outdev.line(pen, lt, a.x, a.y, b.x, b.y);
  }

  uint8_t mode_;
  double w_ = 0.0, theta_ = 0.0, l_ = 0.0;
  double ux_ = 1.0, uy_ = 0.0, nx_ = 0.0, ny_ = 1.0;
  Point2 p_[8];
};

// The window frame: a band BAND deep behind the stop with end pieces.
void window_frame(const Frame& f) {
  f.outer_line();
  f.line(1, 0, 0, 5, 0, 0);
  f.line(2, 0, BAND, 6, 0, BAND);
  f.line(2, BAND, 0, 2, BAND, BAND);
  f.line(6, -BAND, 0, 6, -BAND, BAND);
}

// Glass along the middle of the band, split by mullions BAND wide.
void one_pane(const Frame& f) { f.line(2, BAND, GLASS, 6, -BAND, GLASS); }

void two_panes(const Frame& f) {
  const double l = f.l();
  f.line(2, BAND, GLASS, 2, l / 2 - GLASS, GLASS);
  f.line(6, -BAND, GLASS, 6, -l / 2 + GLASS, GLASS);
  f.line(2, l / 2 - GLASS, 0, 2, l / 2 - GLASS, BAND);
  f.line(2, l / 2 + GLASS, 0, 2, l / 2 + GLASS, BAND);
}

void three_panes(const Frame& f) {
  const double l = f.l();
  f.line(2, BAND, GLASS, 2, l / 3 - GLASS, GLASS);
  f.line(2, l / 3 + GLASS, GLASS, 2, 2 * l / 3 - GLASS, GLASS);
  f.line(6, -BAND, GLASS, 6, -l / 3 + GLASS, GLASS);
  for (double x : {l / 3 - GLASS, l / 3 + GLASS, 2 * l / 3 - GLASS, 2 * l / 3 + GLASS})
    f.line(2, x, 0, 2, x, BAND);
}

void plain(const Frame& f, uint8_t style) {
  switch (style) {
    case 1:
      f.outer_line();
      break;
    case 2:
      f.outer_line();
      f.axis();
      break;
    case 3:
      f.inner_line();
      f.outer_line();
      break;
    case 4:
      f.inner_line();
      f.outer_line();
      f.axis();
      break;
    case 5:
      f.inner_line(1);
      f.outer_line(1);
      break;
    case 6:
      f.inner_line(1);
      f.outer_line(1);
      f.axis();
      break;
    default:
      break;
  }
}

void window(const Frame& f, uint8_t style) {
  if (style == 0) return;
  window_frame(f);
  if (style == 2 || style == 4 || style == 6) f.inner_line();
  if (style == 1 || style == 2) one_pane(f);
  if (style == 3 || style == 4) two_panes(f);
  if (style == 5 || style == 6) three_panes(f);
}

// Leaf and swing of a single leaf hung at point k, opening towards +n
// (inwards) or -n (outwards).
void leaf(const Frame& f, int k, double width, double start) {
  const bool inwards = start < PI;
  f.line(k, 0, 0, k, 0, inwards ? width : -width);
  f.arc(k, 0, 0, width, start);
}

void door_side_light(const Frame& f, uint8_t q) {
  f.outer_line();
  f.line(2, BAND, 0, 2, BAND, BAND);
  f.line(6, -BAND, 0, 6, -BAND, BAND);
  if (q == 0 || q == 2) {
    f.line(2, 0, 0, 2, BAND, 0);
    f.line(2, 0, BAND, 2, BAND, BAND);
    f.line(2, 1.08, 0, 6, 0, 0);
    f.line(2, 1.08, BAND, 6, 0, BAND);
    f.line(2, 1.08, 0, 2, 1.08, BAND);
    f.line(2, 1.16, 0, 2, 1.16, BAND);
    f.line(2, 1.16, GLASS, 6, -BAND, GLASS);
    f.line(2, BAND, BAND, 2, BAND, 1.08);
    f.arc(2, BAND, BAND, 1.0, 0.0);
  } else if (q == 1 || q == 3) {
    f.line(6, 0, 0, 6, -BAND, 0);
    f.line(6, 0, BAND, 6, -BAND, BAND);
    f.line(6, -1.08, 0, 2, 0, 0);
    f.line(6, -1.08, BAND, 2, 0, BAND);
    f.line(6, -1.08, 0, 6, -1.08, BAND);
    f.line(6, -1.16, 0, 6, -1.16, BAND);
    f.line(6, -1.16, GLASS, 2, BAND, GLASS);
    f.line(6, -BAND, BAND, 6, -BAND, 1.08);
    f.arc(6, -BAND, BAND, 1.0, PI / 2);
  }
}

void door(const Frame& f, uint8_t style, uint8_t q) {
  const double w = f.w(), l = f.l();
  switch (style) {
    case 1:
      if (q == 0) leaf(f, 1, w, 0.0);
      if (q == 1) leaf(f, 5, w, PI / 2);
      if (q == 2) leaf(f, 0, w, 3 * PI / 2);
      if (q == 3) leaf(f, 4, w, PI);
      break;
    case 2:
      if (q == 0 || q == 1) {
        leaf(f, 1, w / 2, 0.0);
        leaf(f, 5, w / 2, PI / 2);
      } else if (q == 2 || q == 3) {
        leaf(f, 0, w / 2, 3 * PI / 2);
        leaf(f, 4, w / 2, PI);
      }
      break;
    case 3:
      if (q == 0 || q == 3) {
        leaf(f, 1, w / 2, 0.0);
        leaf(f, 4, w / 2, PI);
        f.line(0, w / 2, 0, 1, w / 2, 0);
      } else if (q == 1 || q == 2) {
        leaf(f, 0, w / 2, 3 * PI / 2);
        leaf(f, 5, w / 2, PI / 2);
        f.line(0, w / 2, 0, 1, w / 2, 0);
      }
      break;
    case 4:
      window_frame(f);
      one_pane(f);
      if (q == 0 || q == 2) {
        f.line(0, 1, 2, BAND, BAND, 2, BAND, l - BAND);
        f.arc(0, 1, 2, BAND, BAND, l - 2 * BAND, 0.0);
      } else if (q == 1 || q == 3) {
        f.line(0, 1, 6, -BAND, BAND, 6, -BAND, l - BAND);
        f.arc(0, 1, 6, -BAND, BAND, l - 2 * BAND, PI / 2);
      }
      break;
    case 5: {
      window_frame(f);
      two_panes(f);
      const double r = (l - 3 * BAND) / 2;
      f.line(0, 1, 2, BAND, BAND, 2, BAND, BAND + r);
      f.line(0, 1, 6, -BAND, BAND, 6, -BAND, BAND + r);
      f.arc(0, 1, 2, BAND, BAND, r, 0.0);
      f.arc(0, 1, 6, -BAND, BAND, r, PI / 2);
      break;
    }
    case 6:
      door_side_light(f, q);
      break;
    default:
      break;
  }
}

}  // namespace

void draw_opening_symbol(const OpeningSymbol& s) {
  if (!layer_visible(s.layer)) return;
  if (s.kind != OPENING_PLAIN && s.kind != OPENING_DOOR && s.kind != OPENING_WINDOW) return;
  const Frame f(s);
  if (s.kind == OPENING_PLAIN) plain(f, s.style);
  if (s.kind == OPENING_WINDOW) window(f, s.style);
  if (s.kind == OPENING_DOOR) door(f, s.style, s.quadrant);
}

void draw_opening_symbol(uint8_t mode, uint16_t layer, uint8_t, uint8_t kind, uint8_t style, double c0x,
                         double c0y, double c1x, double c1y, double c2x, double c2y, double c3x, double c3y,
                         double stop_width, double stop_depth, uint8_t quadrant) {
  OpeningSymbol s;
  s.mode = mode;
  s.layer = layer;
  s.kind = kind;
  s.style = style;
  s.corner[0] = Point2{c0x, c0y, 0};
  s.corner[1] = Point2{c1x, c1y, 0};
  s.corner[2] = Point2{c2x, c2y, 0};
  s.corner[3] = Point2{c3x, c3y, 0};
  s.stop_width = stop_width;
  s.stop_depth = stop_depth;
  s.quadrant = quadrant;
  draw_opening_symbol(s);
}
