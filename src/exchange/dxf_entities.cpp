// The conversion run and the geometric entities: LINE, POINT, 3DLINE,
// CIRCLE, ARC, ELLIPSE, SPLINE, HATCH, 3DFACE and SOLID.

#include <algorithm>
#include <cmath>

#include "exchange/dxf_internal.h"

namespace dxf {

namespace {

constexpr double PI = 3.141592653589793;
constexpr double TWO_PI = 2.0 * PI;

}  // namespace

double into_turn(double a) {
  if (!std::isfinite(a)) return 0.0;
  if (a > TWO_PI) {
    const double r = std::fmod(a, TWO_PI);
    a = r == 0.0 ? TWO_PI : r;
  }
  if (a < 0.0) {
    a = std::fmod(a, TWO_PI);
    if (a < 0.0) a += TWO_PI;
  }
  return a;
}

bool from_below(const Numbers& n) {
  return n.has_ext && n.ext[2] < 0.0 && std::fabs(n.ext[0]) < 1e-6 && std::fabs(n.ext[1]) < 1e-6;
}

std::vector<Point2> through_points(const std::vector<Point2>& f, int per_span) {
  std::vector<Point2> out;
  const std::size_t n = f.size();
  for (std::size_t i = 0; i + 1 < n; ++i) {
    const Point2& p0 = f[i > 0 ? i - 1 : i];
    const Point2& p1 = f[i];
    const Point2& p2 = f[i + 1];
    const Point2& p3 = f[i + 2 < n ? i + 2 : i + 1];
    for (int k = 0; k < per_span; ++k) {
      const double t = static_cast<double>(k) / per_span, t2 = t * t, t3 = t2 * t;
      auto blend = [&](double a, double b, double c, double d) {
        return 0.5 * (2 * b + (c - a) * t + (2 * a - 5 * b + 4 * c - d) * t2 + (3 * b - a - 3 * c + d) * t3);
      };
      out.push_back({blend(p0.x, p1.x, p2.x, p3.x), blend(p0.y, p1.y, p2.y, p3.y), 0});
    }
  }
  if (n > 0) out.push_back({f[n - 1].x, f[n - 1].y, 0});
  return out;
}

std::vector<Point2> bspline_sample(const std::vector<Point2>& control, int degree,
                                   const std::vector<double>& knots, const std::vector<double>& weights,
                                   int samples) {
  const int n = static_cast<int>(control.size());
  std::vector<Point2> out;
  if (n < 2 || samples < 2) return out;
  const int p = std::clamp(degree, 1, n - 1);
  const int order = p + 1;
  std::vector<double> u;
  bool own = static_cast<int>(knots.size()) == n + order;
  for (std::size_t i = 1; own && i < knots.size(); ++i)
    if (!(knots[i] >= knots[i - 1]) || !std::isfinite(knots[i])) own = false;
  if (own && !(knots[static_cast<std::size_t>(n)] > knots[static_cast<std::size_t>(p)])) own = false;
  if (own) {
    u = knots;
  } else {
    // Clamped uniform: order zeros, 1 .. n - order, then n - order + 1 order times.
    for (int i = 0; i < order; ++i) u.push_back(0.0);
    for (int i = 1; i <= n - order; ++i) u.push_back(i);
    for (int i = 0; i < order; ++i) u.push_back(n - order + 1);
  }
  std::vector<double> w(static_cast<std::size_t>(n), 1.0);
  if (static_cast<int>(weights.size()) == n &&
      std::all_of(weights.begin(), weights.end(), [](double v) { return v > 0.0 && std::isfinite(v); }))
    w = weights;

  const double t0 = u[static_cast<std::size_t>(p)], t1 = u[static_cast<std::size_t>(n)];
  std::vector<double> dx(static_cast<std::size_t>(order)), dy(dx), dw(dx);
  out.reserve(static_cast<std::size_t>(samples));
  int span = p;
  for (int j = 0; j < samples; ++j) {
    const double t = j == samples - 1 ? t1 : t0 + (t1 - t0) * j / (samples - 1);
    // The span U[k] <= t < U[k+1] (the last non-empty one at the end).
    while (span < n - 1 && t >= u[static_cast<std::size_t>(span + 1)]) ++span;
    int k = span;
    while (k > p && u[static_cast<std::size_t>(k)] == u[static_cast<std::size_t>(k + 1)]) --k;
    for (int i = 0; i <= p; ++i) {
      const std::size_t c = static_cast<std::size_t>(k - p + i);
      dw[static_cast<std::size_t>(i)] = w[c];
      dx[static_cast<std::size_t>(i)] = control[c].x * w[c];
      dy[static_cast<std::size_t>(i)] = control[c].y * w[c];
    }
    for (int r = 1; r <= p; ++r) {
      for (int i = p; i >= r; --i) {
        const std::size_t a = static_cast<std::size_t>(k - p + i);
        const double den = u[a + static_cast<std::size_t>(p - r + 1)] - u[a];
        const double alpha = den != 0.0 ? (t - u[a]) / den : 0.0;
        const std::size_t s = static_cast<std::size_t>(i);
        dx[s] = (1 - alpha) * dx[s - 1] + alpha * dx[s];
        dy[s] = (1 - alpha) * dy[s - 1] + alpha * dy[s];
        dw[s] = (1 - alpha) * dw[s - 1] + alpha * dw[s];
      }
    }
    const std::size_t last = static_cast<std::size_t>(p);
    const double wt = dw[last] != 0.0 ? dw[last] : 1.0;
    out.push_back({dx[last] / wt, dy[last] / wt, 0});
  }
  if (!own) out.back() = {control.back().x, control.back().y, 0};
  return out;
}

void Importer::emit(std::unique_ptr<ElemHeader> e) {
  // Sizes at the end of the number range can overflow on the way.
  if (!finite_element(e.get())) {
    entity_dropped_ = true;
    return;
  }
  // Past the limit the file is refused at the end, saying how many it
  // would have made; till then they are only counted.
  if (made_ >= DXF_MAX_ELEMENTS) {
    ++dropped_;
    return;
  }
  ++made_;
  content_->items.push_back(Item{std::move(e), -1});
}

void Importer::read_entities(Content& target, bool top) {
  content_ = &target;
  progress_counter_ = 0;
  last_unsupported_.clear();
  pline_ = PolylineState{};
  for (;;) {
    if (cur_name_ == "ENDSEC" || cur_name_ == "ENDBLK") {
      if (pline_.has_mesh) drop_mesh("Problem: end of polymesh/polyface is missing at end of section\n");
      break;
    }
    if (++progress_counter_ > 200) {
      progress_counter_ = 0;
      const double fraction = total_groups_ > 0 ? static_cast<double>(groups_read_) / total_groups_ : 0.0;
      // The bar moves only when the change shows.
      if (fraction - progress_shown_ >= 0.001) {
        progress_shown_ = fraction;
        if (!tell(0.25 + 0.75 * fraction)) break;
      }
    }
    const Kind kind = kind_of(cur_name_);
    if (read_entity(kind) < 0) {
      if (pline_.has_mesh) drop_mesh("Problem: end of polymesh/polyface is missing\n");
      if (!failed_ && out_.error == DxfError::NONE) note("Problem: EOF reached\n");
      break;
    }
    // Paper space (a sheet's frame, title block and viewports) is not part
    // of the drawing.
    const bool paper = top ? f_.n.space == 1 : paper_block_ && kind != Kind::BLOCK;
    if (paper) {
      // A polyline's vertices and end count with it.
      if (kind != Kind::SEQEND && kind != Kind::VERTEX) left_out("paper-space entities");
      if (kind == Kind::POLYLINE || kind == Kind::SEQEND) pline_ = PolylineState{};
    } else if (kind != Kind::OTHER && kind != Kind::SECTION_NAME && kind != Kind::BLOCK &&
               (f_.bad_number || f_.bad_count ||
                (kind == Kind::LWPOLYLINE && f_.n.i9[0] == 0 && !vbuf_.empty()))) {
      // Nothing of it can be trusted: left out whole, and said why.
      left_out(cur_name_ + (f_.bad_number ? " with values that are no numbers" : " with impossible counts"));
      vbuf_.clear();
      ctrl_.clear();
      if (kind == Kind::POLYLINE) pline_ = PolylineState{};
    } else {
      // Only what makes elements has a layer to find (or, unlisted, to make).
      if (kind != Kind::OTHER && kind != Kind::SECTION_NAME && kind != Kind::BLOCK && kind != Kind::INSERT)
        resolve();
      entity_dropped_ = false;
      convert(kind);
      if (entity_dropped_) left_out(cur_name_ + " beyond the numbers' range");
    }
    if (out_.error != DxfError::NONE) break;
    std::string_view next = g_.value;
    while (!next.empty() && (next.back() == ' ' || next.back() == '\t')) next.remove_suffix(1);
    while (!next.empty() && (next.front() == ' ' || next.front() == '\t')) next.remove_prefix(1);
    cur_name_.assign(next);
  }
  content_ = nullptr;
}

void Importer::resolve() {
  uint8_t layer_pen = 0, layer_line_type = 0;
  layer_color_ = 7;
  if (!layer_table_) {
    target_ = std::clamp(opt_.first_layer, 0, LAYER_COUNT - 1);
  } else {
    const LayerRec& rec = layers_[static_cast<std::size_t>(layer_index(f_.layer.empty() ? "0" : f_.layer))];
    target_ = rec.target;
    layer_pen = rec.pen;
    layer_line_type = rec.line_type;
    layer_color_ = rec.color;
  }
  const Numbers& n = f_.n;
  pen_ = n.has_color && n.color != 0 && n.color != 256 ? static_cast<uint8_t>(dxf_pen_from_color(n.color))
                                                       : layer_pen;
  line_type_ = !f_.line_type.empty() && !same_name(f_.line_type, "BYLAYER")
                   ? static_cast<uint8_t>(dxf_linetype_from_name(f_.line_type))
                   : layer_line_type;
}

void Importer::fill_colour(double* r, double* g, double* b) const {
  const Numbers& n = f_.n;
  int c = n.has_color && n.color > 0 && n.color < 256 ? n.color : layer_color_;
  DxfRgb rgb = dxf_aci_color(c);
  // Colour 7 is the drawing colour: black on paper, not white.
  if (c == 7) rgb = {0, 0, 0};
  *r = rgb.r / 255.0;
  *g = rgb.g / 255.0;
  *b = rgb.b / 255.0;
}

void Importer::make_line(double x1, double y1, double x2, double y2) {
  auto e = make<LineElem>();
  e->p1 = {x1, y1, 0};
  e->p2 = {x2, y2, 0};
  emit(std::move(e));
}

void Importer::make_arc(double cx, double cy, double r, double start, double sweep) {
  auto e = make<ArcElem>();
  e->centre = {cx, cy, 0};
  e->radius_x = r;
  e->radius_y = r;
  e->sweep = sweep;
  e->start = start;
  e->rotation = 0.0;
  emit(std::move(e));
}

void Importer::convert(Kind kind) {
  const Numbers& n = f_.n;
  const bool skip = target_ == LAYER_SKIP;
  switch (kind) {
    case Kind::LINE:
      if (skip) return;
      if (opt_.line_mode == 0) {
        make_line(n.x[0], n.y[0], n.x[1], n.y[1]);
        ++out_.stats.line;
      } else {
        auto e = make<Line3dElem>();
        e->p1 = {n.x[0], n.y[0], n.z[0], 0};
        e->p2 = {n.x[1], n.y[1], n.z[1], 0};
        emit(std::move(e));
        ++out_.stats.line3d;
      }
      return;
    case Kind::POINT:
      if (skip) return;
      make_line(n.x[0], n.y[0], n.x[0], n.y[0]);
      ++out_.stats.point;
      return;
    case Kind::LINE3D: {
      if (skip) return;
      auto e = make<Line3dElem>();
      e->p1 = {n.x[0], n.y[0], n.z[0], 0};
      e->p2 = {n.x[1], n.y[1], n.z[1], 0};
      emit(std::move(e));
      ++out_.stats.line3d;
      return;
    }
    case Kind::CIRCLE:
      if (!skip) convert_arc(true);
      return;
    case Kind::ARC:
      if (!skip) convert_arc(false);
      return;
    case Kind::ELLIPSE:
      if (!skip) convert_ellipse();
      return;
    case Kind::SPLINE:
      convert_spline();
      return;
    case Kind::HATCH:
      convert_hatch();
      return;
    case Kind::FACE3D:
      if (!skip) convert_face3d();
      return;
    case Kind::SOLID:
      if (!skip) convert_solid();
      return;
    case Kind::LWPOLYLINE:
      convert_lwpolyline();
      return;
    case Kind::POLYLINE:
      convert_polyline();
      return;
    case Kind::VERTEX:
      convert_vertex();
      return;
    case Kind::SEQEND:
      convert_seqend();
      return;
    case Kind::TEXT:
      if (!skip) convert_text(&out_.stats.text);
      return;
    case Kind::ATTRIB:
    case Kind::ATTDEF:
      if (!skip) convert_attribute(kind == Kind::ATTDEF);
      return;
    case Kind::MTEXT:
      if (!skip) convert_mtext();
      return;
    case Kind::DIMENSION:
      if (!skip) convert_dimension();
      return;
    case Kind::BLOCK:
      convert_block();
      return;
    case Kind::INSERT:
      convert_insert();
      return;
    case Kind::SECTION_NAME:
    case Kind::LAYER:
      return;
    case Kind::OTHER:
      left_out(cur_name_);
      if (cur_name_ != last_unsupported_) {
        note("Problem: Unsupported ENTITY(s): %s\n", cur_name_.c_str());
        last_unsupported_ = cur_name_;
      }
      return;
  }
}

void Importer::convert_arc(bool circle) {
  const Numbers& n = f_.n;
  const bool below = from_below(n);
  const double cx = below ? -n.x[0] : n.x[0];
  if (circle) {
    make_arc(cx, n.y[0], n.size, 0.0, TWO_PI);
    ++out_.stats.circle;
    return;
  }
  double sweep = n.angle[1] - n.angle[0];
  sweep = into_turn(sweep);
  if (!(sweep > 0.0001)) return;
  // Within one turn, however many turns the file gives.
  double start = into_turn(n.angle[0]);
  if (start >= TWO_PI) start = 0.0;
  // Mirrored: the arc from start to end becomes the one from pi - end to pi - start.
  if (below) start = into_turn(PI - (start + sweep));
  make_arc(cx, n.y[0], n.size, start, sweep);
  ++out_.stats.arc;
}

void Importer::convert_ellipse() {
  const Numbers& n = f_.n;
  double start = into_turn(n.f41);
  double end = n.f42;
  if (!std::isfinite(end)) end = start;
  if (end < start) end += TWO_PI * std::ceil((start - end) / TWO_PI);
  while (end < start) end += TWO_PI;
  const double sweep = into_turn(end - start);
  // The direction of the major axis from its undivided vector: no snapping
  // of small angles.
  const double rotation = into_turn(std::atan2(n.y[1], n.x[1]));
  const double rx = std::hypot(n.x[1], n.y[1]);
  if (n.has_ext && std::fabs(n.ext[2] + 1.0) <= 1e-9) start = into_turn(-(start + sweep));
  auto e = make<ArcElem>();
  e->centre = {n.x[0], n.y[0], 0};
  e->radius_x = rx;
  e->radius_y = rx * n.size;
  e->sweep = sweep;
  e->start = start;
  e->rotation = rotation >= TWO_PI ? 0.0 : rotation;
  emit(std::move(e));
  ++out_.stats.ellipse;
}

void Importer::convert_spline() {
  std::vector<Point2> samples;
  if (ctrl_.size() >= 2) {
    const int count = static_cast<int>(ctrl_.size());
    samples = bspline_sample(ctrl_, spline_degree_, f_.knots, f_.weights, 10 * count - 10);
  } else if (ctrl_.empty() && f_.fit.size() >= 2) {
    samples = through_points(f_.fit, 10);
  }
  ctrl_.clear();
  if (target_ == LAYER_SKIP) return;
  if (f_.beyond_count > 0) left_out("SPLINE control points beyond its count", f_.beyond_count);
  if (samples.size() < 2) {
    left_out("SPLINE that makes no curve");
    return;
  }
  for (std::size_t j = 0; j + 1 < samples.size(); ++j)
    make_line(samples[j].x, samples[j].y, samples[j + 1].x, samples[j + 1].y);
  out_.stats.line += static_cast<int32_t>(samples.size() - 1);
}

void Importer::convert_hatch() {
  if (state_ == COLLECT_SPLINE_EDGE) finish_spline_edge();
  const Numbers& n = f_.n;
  if (from_below(n)) {
    // Seen from below: mirrored in x, and each arc bulges the other way.
    for (Vertex& v : vbuf_) {
      v.x = -v.x;
      v.bulge = -v.bulge;
    }
  }
  int64_t moved = 0;
  std::vector<Point2> outline = expand_bulges(vbuf_, &moved);
  vbuf_.clear();
  if (target_ == LAYER_SKIP) return;
  moved_points(moved);
  if (f_.unknown_edges > 0) left_out("HATCH edges of unknown type", f_.unknown_edges);
  // A path with fewer edges or vertices than it announced still ends.
  if (!outline.empty() && !point_is_contour_end(outline.back().x, outline.back().y))
    outline.push_back(CONTOUR_END);
  int corners = 0;
  for (const Point2& p : outline)
    if (!point_is_contour_end(p.x, p.y)) ++corners;
  if (corners < 3) {
    left_out("HATCH without a boundary");
    return;
  }

  auto e = make<PatternElem>();
  auto filling = [&](double r, double g, double b) {
    e->type = PATTERN_FILLING;
    e->line_type = 0;
    e->spacing1 = 0.01;
    e->r = r;
    e->g = g;
    e->b = b;
  };
  // The pattern lines' angles within one turn, however many the file gives.
  const double angle = into_turn(n.angle[3]), angle_before = into_turn(f_.prev53);
  if (n.i7[0] == 1) {
    double r, g, b;
    fill_colour(&r, &g, &b);
    filling(r, g, b);
  } else {
    const int lines = n.i7[8];
    if (lines <= 0) {
      left_out("HATCH without pattern lines");
      return;
    }
    const double f = factor_;
    // The distance between the lines of a family: the offset from one line
    // to the next, taken across the lines' direction.
    // An offset along the lines, or none, puts every line of the family on
    // the first: there is no spacing to draw by, and the family is said to
    // be left out (0, which the drawing passes by).
    auto across = [f](double dx, double dy, double angle) {
      const double d = std::fabs(-dx * std::sin(angle) + dy * std::cos(angle));
      return d > 1e-9 * std::hypot(dx, dy) ? d / f : 0.0;
    };
    const char* no_spacing = "HATCH pattern lines of no spacing";
    if (lines == 1) {
      const bool twice = n.i7[7] == 1;
      const double spacing = across(n.g45, n.g46, angle);
      if (spacing == 0.0) {
        left_out(no_spacing);
        return;
      }
      e->type = twice ? PATTERN_TWO_LINES : PATTERN_ONE_LINE;
      e->origin = {n.g43 / f, n.g44 / f, 0};
      e->angle1 = angle;
      e->spacing1 = spacing;
      e->pen2 = pen_;
      e->line_type2 = line_type_;
      e->offset = e->origin;
      e->angle2 = twice ? angle + PI / 2 : angle;
      e->spacing2 = spacing;
    } else if (lines == 2) {
      e->type = PATTERN_TWO_LINES;
      e->origin = {n.g43 / f, n.g44 / f, 0};
      e->angle1 = angle;
      e->spacing1 = across(n.g45, n.g46, angle);
      e->pen2 = pen_;
      e->line_type2 = line_type_;
      e->offset = {f_.prev43 / f, f_.prev44 / f, 0};
      e->angle2 = angle_before;
      e->spacing2 = across(f_.prev45, f_.prev46, angle_before);
      const int none = (e->spacing1 == 0.0 ? 1 : 0) + (e->spacing2 == 0.0 ? 1 : 0);
      if (none > 0) left_out(no_spacing, none);
      if (none == 2) return;
    } else {
      // More families than a pattern element holds: grey, and said.
      filling(0.75, 0.75, 0.75);
      left_out("HATCH pattern lines (the hatch filled grey)", lines);
    }
  }
  e->points = std::move(outline);
  emit(std::move(e));
  ++out_.stats.hatch;
}

void Importer::convert_face3d() {
  const Numbers& n = f_.n;
  Point3 c[4];
  for (int i = 0; i < 4; ++i) c[i] = {n.x[i], n.y[i], n.z[i], 0};
  auto same = [](const Point3& a, const Point3& b) {
    return std::fabs(a.x - b.x) <= 1e-9 && std::fabs(a.y - b.y) <= 1e-9 && std::fabs(a.z - b.z) <= 1e-9;
  };
  // A triangle repeats its first or its third corner as the fourth.
  const int count = same(c[3], c[0]) || same(c[3], c[2]) ? 3 : 4;
  make_face(c, count, f_.layer);
  ++out_.stats.face3d;
}

void Importer::convert_solid() {
  const Numbers& n = f_.n;
  const int order[4] = {0, 1, 3, 2};
  std::vector<Point2> outline;
  double sign = 1.0;
  if (n.has_ext && (n.ext[2] == 1.0 || n.ext[2] == -1.0)) sign = n.ext[2];
  for (int k : order) {
    outline.push_back({n.x[k] * sign, n.y[k], 0});
    if (move_off_contour_end(outline.back())) moved_points(1);
  }
  outline.push_back(CONTOUR_END);
  if (std::fabs(n.x[2] - n.x[3]) <= 1e-9 && std::fabs(n.y[2] - n.y[3]) <= 1e-9 &&
      std::fabs(n.z[2] - n.z[3]) <= 1e-9) {
    outline[3] = CONTOUR_END;
    outline.pop_back();
  }
  auto e = make<PatternElem>();
  e->type = PATTERN_FILLING;
  e->line_type = 0;
  e->spacing1 = 0.01;
  fill_colour(&e->r, &e->g, &e->b);
  e->points = std::move(outline);
  emit(std::move(e));
  ++out_.stats.solid;
}

}  // namespace dxf
