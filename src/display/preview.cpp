#include "display/preview.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "display/draw.h"
#include "display/draw_hatch.h"
#include "display/outdev_breakdown.h"
#include "display/outdev_screen.h"
#include "display/view.h"
#include "display/view_commands.h"
#include "model/layers.h"
#include "model/presets.h"
#include "model/settings.h"
#include "model/view_rec.h"
#include "model/xform.h"

namespace {

constexpr double PREVIEW_SCALE = 50.0;
constexpr double TEXT_VIEW_SCALE = 125.0;
constexpr double DIM_SCALE = 30.0;

// Sets a global for the object's life and puts the old value back.
template <class T>
class Borrow {
 public:
  Borrow(T& ref, T value) : ref_(ref), saved_(ref) { ref_ = std::move(value); }
  explicit Borrow(T& ref) : ref_(ref), saved_(ref) {}
  ~Borrow() { ref_ = saved_; }
  Borrow(const Borrow&) = delete;
  Borrow& operator=(const Borrow&) = delete;

 private:
  T& ref_;
  T saved_;
};

// What every preview borrows: its view made current with the screen device
// in normal draw mode, both scales at 1:50, a dirty rectangle of its own.
struct PreviewScope {
  explicit PreviewScope(int k) : view(k) { outdev_init_screen_slots(); }
  CurrentView view;
  OutdevInstall device;
  Borrow<double> scale{view_scale, PREVIEW_SCALE};
  Borrow<double> reference{drawing_scale, PREVIEW_SCALE};
  Borrow<DirtyRect> dirty{view_dirty, DirtyRect{}};
};

// The world window (0, 0)..(w, w), centred in view k at view_scale.
void window_square(int k, double w) {
  ViewRec& v = views[k];
  v.xmin = 0.0;
  v.ymin = 0.0;
  v.xmax = w;
  v.ymax = w;
  view_apply_scale(k);
}

const OpeningPreset& opening_of(int k) {
  if (k == PREVIEW_WINDOW) return window_preset;
  if (k == PREVIEW_DOOR) return door_preset;
  return opening_preset;
}

void draw_text() {
  view_scale = TEXT_VIEW_SCALE;
  window_square(PREVIEW_TEXT, 7.0);
  for (const OutdevText& t : preview_text_lines(drawing_scale)) outdev_screen_text(t);
}

void draw_dimension() {
  view_scale = drawing_scale = DIM_SCALE;
  window_square(PREVIEW_DIM, 1.4);
  outdev_screen_dimension(preview_dimension(drawing_scale));
}

void draw_pattern() {
  Borrow<int32_t> shown(view_options.show_patterns, 1);
  window_square(PREVIEW_PATTERN, 2.5);
  const std::array<Point2, 5> area = preview_pattern_area();
  const PatternPreset& p = pattern_preset;
  const auto pen1 = static_cast<uint8_t>(p.pen1), lt1 = static_cast<uint8_t>(p.line_type1);
  switch (p.type) {
    case PATTERN_ONE_LINE:
      draw_hatch_lines(pen1, lt1, 0.0, 0.0, p.angle1, p.spacing1, 5, area.data());
      break;
    case PATTERN_TWO_LINES: {
      draw_hatch_lines(pen1, lt1, 0.0, 0.0, p.angle1, p.spacing1, 5, area.data());
      const double a = p.angle2, d = p.spacing2;
      draw_hatch_lines(static_cast<uint8_t>(p.pen2), static_cast<uint8_t>(p.line_type2),
                       -std::sin(a) * d / 2.0, std::cos(a) * d / 2.0, a, d, 5, area.data());
      break;
    }
    case PATTERN_POINTS:
      draw_hatch_points(pen1, lt1, 0.0, 0.0, p.angle1, p.spacing1, 5, area.data());
      break;
    case PATTERN_FILLING:
      outdev_screen_fill(p.r, p.g, p.b, 5, area.data());
      break;
    default:
      break;
  }
}

void draw_opening(int k) {
  window_square(k, 2.0);
  draw_opening_symbol(preview_opening_symbol(k));
  for (const PreviewLine& l : preview_wall_lines(k)) outdev_screen_line(2, 0, l.x1, l.y1, l.x2, l.y2);
}

}  // namespace

std::vector<OutdevText> preview_text_lines(double scale) {
  const TextPreset& p = text_preset;
  std::vector<OutdevText> lines;
  const char* const samples[3] = {"abcdef", "ABCDEF", "012345"};
  for (int i = 0; i < 3; ++i) {
    OutdevText t;
    t.pen = static_cast<uint8_t>(p.pen);
    t.lt = static_cast<uint8_t>(p.line_type);
    t.x = 0.5;
    t.y = 1.5 + i * p.line_spacing;
    t.angle = 0.0;
    t.height = 1000.0 / scale;
    t.width_factor = p.width;
    t.spacing = p.spacing;
    t.line_spacing = p.line_spacing;
    t.text = samples[i];
    t.fit_length = 0.0;
    t.font = p.font.c_str();
    t.alignment = TEXT_LEFT;
    lines.push_back(t);
  }
  return lines;
}

DimElem preview_dimension(double scale) {
  const DimPreset& p = dim_preset;
  DimElem d;
  d.pen = static_cast<uint8_t>(p.chain_pen);
  d.line_type = static_cast<uint8_t>(p.chain_line_type);
  d.figure_pen = static_cast<uint8_t>(p.figure_pen);
  d.figure_line_type = static_cast<uint8_t>(p.figure_line_type);
  d.direction = 0.0;
  d.figure_size = p.figure_size * 100.0 / scale;
  d.figure_width = p.figure_width;
  d.figure_space = p.figure_space;
  d.chain_space = p.chain_space;
  d.help_line_length = p.help_line_length;
  d.font = p.font.view();
  d.format = static_cast<uint8_t>(p.display_format);
  d.end_mark = static_cast<uint8_t>(p.end_mark);
  d.dim_kind = DIM_CHAIN;
  const double xs[3] = {0.2, 0.565, 1.2};
  const double lengths[3] = {0.0, 0.365, 0.635};
  for (int i = 0; i < 3; ++i) {
    DimPoint pt;
    pt.line_point = Point2{xs[i], 0.7, 0};
    pt.measured = Point2{xs[i], 0.2, 0};
    pt.segment_length = lengths[i];
    d.points.push_back(pt);
  }
  d.points[2].second_value = 1.26;
  return d;
}

std::array<Point2, 5> preview_pattern_area() {
  return {Point2{-3.0, -1.0, 0}, Point2{5.0, -1.0, 0}, Point2{5.0, 5.0, 0}, Point2{-3.0, 5.0, 0},
          Point2{CONTOUR_END_X, CONTOUR_END_Y, 0}};
}

OpeningSymbol preview_opening_symbol(int k) {
  const OpeningPreset& p = opening_of(k);
  const double y2 = 0.4 + p.stop_depth + 0.24;
  OpeningSymbol s;
  s.mode = 0;
  s.layer = static_cast<uint16_t>(cur_layer);
  s.kind = k == PREVIEW_WINDOW ? OPENING_WINDOW : k == PREVIEW_DOOR ? OPENING_DOOR : OPENING_PLAIN;
  s.style = static_cast<uint8_t>(p.symbol_variant);
  s.corner[0] = Point2{0.3, 0.4, 0};
  s.corner[1] = Point2{1.7, 0.4, 0};
  s.corner[2] = Point2{1.7, y2, 0};
  s.corner[3] = Point2{0.3, y2, 0};
  s.stop_width = p.stop_width;
  s.stop_depth = p.stop_depth;
  s.quadrant = 0;
  return s;
}

std::array<PreviewLine, 10> preview_wall_lines(int k) {
  const OpeningPreset& p = opening_of(k);
  const double b = p.stop_width;
  const double y1 = 0.4 + p.stop_depth, y2 = y1 + 0.24;
  return {{
      {-1.0, 0.4, 0.3, 0.4},
      {0.3, 0.4, 0.3, y1},
      {0.3, y1, 0.3 - b, y1},
      {0.3 - b, y1, 0.3 - b, y2},
      {0.3 - b, y2, -1.0, y2},
      {3.0, 0.4, 1.7, 0.4},
      {1.7, 0.4, 1.7, y1},
      {1.7, y1, 1.7 + b, y1},
      {1.7 + b, y1, 1.7 + b, y2},
      {1.7 + b, y2, 3.0, y2},
  }};
}

void preview_draw(int k) {
  if (k < PREVIEW_TEXT || k > PREVIEW_DOOR || !view_pixmaps[k]) return;
  PreviewScope scope(k);
  view_clear();
  switch (k) {
    case PREVIEW_TEXT:
      draw_text();
      break;
    case PREVIEW_DIM:
      draw_dimension();
      break;
    case PREVIEW_PATTERN:
      draw_pattern();
      break;
    default:
      draw_opening(k);
      break;
  }
  view_flush_dirty();
}

void preview_draw_symbol(const std::function<void()>& append_symbol) {
  const int k = PREVIEW_SYMBOL;
  if (!view_pixmaps[k]) return;
  PreviewScope scope(k);
  Borrow<int32_t> layer(cur_layer);
  Borrow<uint8_t> refresh(draw_refresh_now);
  Borrow<int32_t> type(view_type, VIEW_PLAN);
  Borrow<ViewExtents> all(extents), marked(marked_extents);
  Borrow<int> modified(drawing_modified);
  Borrow<uint16_t> groups(group_counter);
  view_clear();

  // The drawing's own marks stay out of the transforms and the purge.
  std::vector<std::pair<ElemHeader*, uint8_t>> marks;
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (e->mark) {
      marks.emplace_back(e, e->mark);
      e->mark = 0;
    }
  ElemHeader* const last = elem_list_tail;
  if (append_symbol) append_symbol();
  bool any = false;
  for (ElemHeader* e = last ? last->next : elem_list_head; e; e = e->next) {
    e->mark = 1;
    any = true;
  }

  ViewRec& v = views[k];
  if (any) {
    elem_set_layer_marked(cur_layer);
    xform_rotate_marked(0.0, 0.0, symbol_angle);
    view_zoom_to_extents(1);
    elem_set_layer_marked(LAYER_TEMP_SYMBOL);
    const ViewExtents& box = marked_extents;
    const double size = std::max(box.xmax - box.xmin, box.ymax - box.ymin);
    const double pixels = std::abs(v.right - v.left) * screen_aspect.width / SCREEN_SCALE_DIVISOR;
    const double scale = size * 1.25 / pixels;
    if (std::isfinite(scale) && scale > 0.0) view_scale = scale;
    v.xmin = box.xmin;
    v.ymin = box.ymin;
    v.xmax = box.xmax;
    v.ymax = box.ymax;
    if (!std::isfinite(v.xmin + v.xmax + v.ymin + v.ymax)) v.xmin = v.xmax = v.ymin = v.ymax = 0.0;
  } else {
    v.xmin = v.ymin = v.xmax = v.ymax = 0.0;
  }
  view_apply_scale(k);

  cur_layer = LAYER_TEMP_SYMBOL;
  draw_refresh_now = 0;
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (e->mark == 1 && e->layer == LAYER_TEMP_SYMBOL) draw_element(DRAW_PLAIN, e);
  elem_purge_marked();
  for (auto [e, mark] : marks) e->mark = mark;

  const double half = 0.002 * view_scale;
  draw_rect_lines(1, 0, -half, -half, half, half);
  view_flush_dirty();
}
