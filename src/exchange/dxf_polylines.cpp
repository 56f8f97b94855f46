// Polylines and hatch boundaries: the vertex collector that the entity
// reader feeds group by group, arc and spline edges, bulges, and the
// LWPOLYLINE, POLYLINE, VERTEX and SEQEND conversions.

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "exchange/dxf_internal.h"
#include "model/units.h"

namespace dxf {

namespace {

constexpr double PI = 3.141592653589793;
constexpr double TWO_PI = 2.0 * PI;
// A polygon mesh or polyface holds at most this many vertices.
constexpr int64_t MESH_MAX = 4000000;
// A spline has at most this many control points.
constexpr int SPLINE_MAX = 100000;

bool is_end(const Vertex& v) { return v.end; }

// P mirrored across the line through A and B.
Point2 mirrored(double px, double py, double ax, double ay, double bx, double by) {
  const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
  if (!(len2 > 0.0)) return {px, py, 0};
  const double t = ((px - ax) * dx + (py - ay) * dy) / len2;
  const double fx = ax + t * dx, fy = ay + t * dy;
  return {2 * fx - px, 2 * fy - py, 0};
}

}  // namespace

BulgeArc bulge_arc(double px, double py, double qx, double qy, double b) {
  BulgeArc arc;
  const double c = std::hypot(qx - px, qy - py);
  if (!(c > 1e-12) || b == 0.0 || !std::isfinite(b)) return arc;
  const double theta = 4.0 * std::atan(std::fabs(b));
  const double s = std::fabs(b) * c / 2.0;
  const double r = (s * s + c * c / 4.0) / (2.0 * s);
  // Left of P->Q for b > 0, right for b < 0.
  const double side = b > 0 ? 1.0 : -1.0;
  const double nx = -(qy - py) / c * side, ny = (qx - px) / c * side;
  arc.cx = (px + qx) / 2.0 + (r - s) * nx;
  arc.cy = (py + qy) / 2.0 + (r - s) * ny;
  // A bulge so large that the numbers overflow is a straight segment.
  if (!std::isfinite(r) || !std::isfinite(arc.cx) || !std::isfinite(arc.cy)) return BulgeArc{};
  arc.radius = r;
  arc.sweep = theta;
  arc.start = b > 0 ? into_turn(std::atan2(py - arc.cy, px - arc.cx))
                    : into_turn(std::atan2(qy - arc.cy, qx - arc.cx));
  if (arc.start >= TWO_PI) arc.start = 0.0;
  return arc;
}

bool move_off_contour_end(Point2& p) {
  if (!point_is_contour_end(p.x, p.y)) return false;
  // Along the axis where the step is shorter, away from the marker.
  const double dx = std::fabs(p.x - CONTOUR_END_X), dy = std::fabs(p.y - CONTOUR_END_Y);
  double& v = dx >= dy ? p.x : p.y;
  const double mark = dx >= dy ? CONTOUR_END_X : CONTOUR_END_Y;
  const double away = v < mark ? -HUGE_VAL : HUGE_VAL;
  v = mark + (away < 0 ? -1e-6 : 1e-6);
  while (point_is_contour_end(p.x, p.y)) v = std::nextafter(v, away);
  return true;
}

std::vector<Point2> expand_bulges(const std::vector<Vertex>& v, int64_t* moved) {
  std::vector<Point2> out;
  auto put = [&out, moved](double x, double y) {
    Point2 p{x, y, 0};
    if (move_off_contour_end(p) && moved) ++*moved;
    out.push_back(p);
  };
  std::size_t bulged = 0;
  for (const Vertex& p : v)
    if (p.bulge != 0.0) ++bulged;
  out.reserve(v.size() + 23 * bulged);
  std::size_t first = 0;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const Vertex& p = v[i];
    if (is_end(p)) {
      out.push_back(CONTOUR_END);
      first = i + 1;
      continue;
    }
    put(p.x, p.y);
    if (p.bulge == 0.0) continue;
    // To the next vertex, or back to the path's first at the path's end.
    const Vertex& q = i + 1 < v.size() && !is_end(v[i + 1]) ? v[i + 1] : v[first];
    const BulgeArc arc = bulge_arc(p.x, p.y, q.x, q.y, std::fabs(p.bulge));
    if (!(arc.radius > 0.0)) continue;
    for (int l = 1; l <= 23; ++l) {
      const double a = arc.start + l * arc.sweep / 24.0;
      double x = arc.cx + arc.radius * std::cos(a), y = arc.cy + arc.radius * std::sin(a);
      if (p.bulge < 0) {
        const Point2 m = mirrored(x, y, p.x, p.y, q.x, q.y);
        x = m.x;
        y = m.y;
      }
      put(x, y);
    }
  }
  return out;
}

void Importer::set_bulge(double b) {
  if (vbuf_.empty()) return;
  if (!is_end(vbuf_.back())) {
    vbuf_.back().bulge = b;
  } else if (vbuf_.size() >= 2 && !is_end(vbuf_[vbuf_.size() - 2])) {
    vbuf_[vbuf_.size() - 2].bulge = b;
  }
}

bool Importer::possible_count(int32_t count) const {
  return count >= 0 && static_cast<uint64_t>(count) <= bytes_left();
}

void Importer::end_edge() {
  if (edge_countdown_ <= 0 || --edge_countdown_ == 0) {
    vbuf_.push_back(PATH_END);
    state_ = COLLECT_IDLE;
  } else {
    state_ = COLLECT_EDGE_TYPE;
  }
}

void Importer::sample_arc_edge() {
  const Numbers& n = f_.n;
  double start = into_turn(n.angle[0]), end = into_turn(n.angle[1]);
  double rotation = 0.0, a = n.size, b = n.size;
  if (state_ == COLLECT_ELLIPSE_EDGE) {
    const double ratio = n.size;
    rotation = into_turn(std::atan2(n.y[1], n.x[1]));
    a = std::hypot(n.x[1], n.y[1]);
    b = a * ratio;
    // The edge's angles as the ellipse's parameters.
    if (ratio != 0.0) {
      start = into_turn(std::atan2(std::sin(start) / ratio, std::cos(start)));
      end = into_turn(std::atan2(std::sin(end) / ratio, std::cos(end)));
    }
  }
  const double sweep = into_turn(end - start);
  int count = static_cast<int>(sweep * 72.0 / TWO_PI);
  if (count < 12) count = 12;
  const double step = sweep / count;
  note("c/e-arc w1:%s w:%s wg:%s ww:%s\n", units_format_angle(start).c_str(),
       units_format_angle(sweep).c_str(), units_format_angle(rotation).c_str(),
       units_format_angle(step).c_str());
  const bool ccw = n.i7[3] != 0;
  const double back = into_turn(-(start + sweep));
  const double cr = std::cos(rotation), sr = std::sin(rotation);
  for (int j = 0; j < count; ++j) {
    const double t = ccw ? start + j * step : back + (count - j) * step;
    const double ct = std::cos(t), st = std::sin(t);
    vbuf_.push_back({n.x[0] + a * cr * ct - b * sr * st, n.y[0] + a * sr * ct + b * cr * st, 0.0});
  }
  end_edge();
}

void Importer::finish_spline_edge() {
  std::vector<Point2> pts;
  if (ctrl_.size() >= 2) {
    const int count = static_cast<int>(ctrl_.size());
    pts = bspline_sample(ctrl_, spline_degree_, edge_knots_, edge_weights_, std::max(2, 10 * count - 10));
  } else if (edge_fit_.size() >= 2) {
    pts = through_points(edge_fit_, 10);
  }
  // The last point is where the next edge starts.
  for (std::size_t j = 0; j + 1 < pts.size(); ++j) vbuf_.push_back({pts[j].x, pts[j].y, 0.0});
  ctrl_.clear();
  edge_knots_.clear();
  edge_weights_.clear();
  edge_fit_.clear();
  end_edge();
}

void Importer::collect(Kind kind, int code) {
  const Numbers& n = f_.n;
  if (kind == Kind::LWPOLYLINE && code == 90) {
    if (!possible_count(n.i9[0])) {
      f_.bad_count = true;
      vertex_countdown_ = 0;
      state_ = COLLECT_IDLE;
      return;
    }
    vertex_countdown_ = n.i9[0];
    state_ = COLLECT_VERTICES;
    if (vertex_countdown_ > 0)
      vbuf_.reserve(static_cast<std::size_t>(
          std::min<uint64_t>(static_cast<uint64_t>(vertex_countdown_) + 1, bytes_left() / 8 + 1)));
    return;
  }
  if (kind == Kind::SPLINE && code == 73) {
    note("DXF Spline: flag:%d k:%d s:%d n:%d\n", n.i7[0], n.i7[1], n.i7[2], n.i7[3]);
    ctrl_.clear();
    spline_n_ = n.i7[3];
    spline_degree_ = n.i7[1];
    if (spline_n_ < 0 || spline_n_ > SPLINE_MAX) f_.bad_count = true;
    if (spline_n_ < 2 || spline_n_ > SPLINE_MAX) {
      // None at all: the fit points may still give the curve.
      if (spline_n_ != 0) note("Problem: SPLINE with %d control points left out\n", spline_n_);
      state_ = COLLECT_IDLE;
      return;
    }
    state_ = COLLECT_SPLINE;
    return;
  }
  if (kind == Kind::HATCH) {
    switch (code) {
      case 92:
        if (state_ == COLLECT_SPLINE_EDGE) finish_spline_edge();
        polyline_path_ = (n.i9[2] & 2) != 0;
        if (!polyline_path_) state_ = COLLECT_EDGE_TYPE;
        return;
      case 93:
        if (state_ == COLLECT_SPLINE_EDGE) finish_spline_edge();
        if (!possible_count(n.i9[3])) {
          f_.bad_count = true;
          state_ = COLLECT_IDLE;
          return;
        }
        if (polyline_path_) {
          vertex_countdown_ = n.i9[3];
          state_ = COLLECT_VERTICES;
        } else {
          edge_countdown_ = n.i9[3];
          state_ = COLLECT_EDGE_TYPE;
        }
        return;
      case 72:
        if (state_ == COLLECT_SPLINE_EDGE) finish_spline_edge();
        if (state_ != COLLECT_EDGE_TYPE) return;
        switch (n.i7[2]) {
          case 1:
            state_ = COLLECT_LINE_EDGE;
            break;
          case 2:
            state_ = COLLECT_ARC_EDGE;
            break;
          case 3:
            state_ = COLLECT_ELLIPSE_EDGE;
            break;
          case 4:
            state_ = COLLECT_SPLINE_EDGE;
            spline_degree_ = 3;
            ctrl_.clear();
            edge_knots_.clear();
            edge_weights_.clear();
            edge_fit_.clear();
            break;
          default:
            // Its groups are passed by; the outline runs on to the next edge.
            ++f_.unknown_edges;
            break;
        }
        return;
      case 75:
        if (state_ == COLLECT_SPLINE_EDGE) finish_spline_edge();
        state_ = COLLECT_IDLE;
        return;
      case 73:
        if (state_ == COLLECT_ARC_EDGE || state_ == COLLECT_ELLIPSE_EDGE) sample_arc_edge();
        return;
      case 94:
        if (state_ == COLLECT_SPLINE_EDGE) spline_degree_ = parse_int(g_.value);
        return;
      case 42:
        // A spline edge's weights, never a bulge.
        if (state_ == COLLECT_SPLINE_EDGE) {
          if (edge_weights_.size() < static_cast<std::size_t>(SPLINE_MAX)) edge_weights_.push_back(n.f42);
          return;
        }
        break;
      case 20:
        if (state_ == COLLECT_SPLINE_EDGE) {
          if (ctrl_.size() < static_cast<std::size_t>(SPLINE_MAX)) ctrl_.push_back({n.x[0], n.y[0], 0});
          return;
        }
        break;
      case 21:
        if (state_ == COLLECT_SPLINE_EDGE) {
          if (edge_fit_.size() < static_cast<std::size_t>(SPLINE_MAX))
            edge_fit_.push_back({n.x[1], n.y[1], 0});
          return;
        }
        break;
      default:
        break;
    }
  }
  switch (code) {
    case 20:
      if (state_ == COLLECT_VERTICES) {
        vbuf_.push_back({n.x[0], n.y[0], 0.0});
        if (vertex_countdown_ > 0 && --vertex_countdown_ == 0) {
          vbuf_.push_back(PATH_END);
          path_closed_ = true;
          state_ = COLLECT_IDLE;
        }
      } else if (state_ == COLLECT_SPLINE) {
        if (static_cast<int>(ctrl_.size()) < spline_n_)
          ctrl_.push_back({n.x[0], n.y[0], 0});
        else
          ++f_.beyond_count;
      } else if (kind == Kind::LWPOLYLINE && state_ == COLLECT_IDLE) {
        ++f_.beyond_count;
      }
      return;
    case 21:
      if (state_ == COLLECT_LINE_EDGE) {
        vbuf_.push_back({n.x[0], n.y[0], 0.0});
        vbuf_.push_back({n.x[1], n.y[1], 0.0});
        end_edge();
      }
      return;
    case 42:
      if (state_ == COLLECT_VERTICES || path_closed_) {
        set_bulge(n.f42);
        path_closed_ = false;
      }
      return;
    default:
      return;
  }
}

void Importer::make_bulge_segment(double x1, double y1, double x2, double y2, double bulge) {
  if (std::fabs(bulge) > 1e-9) {
    const BulgeArc arc = bulge_arc(x1, y1, x2, y2, bulge);
    if (arc.radius > 0.0) {
      make_arc(arc.cx, arc.cy, arc.radius, arc.start, arc.sweep);
      return;
    }
  }
  make_line(x1, y1, x2, y2);
}

void Importer::make_face(const Point3* corners, int count, std::string_view material) {
  auto e = make<MeshElem>();
  for (int i = 0; i < count; ++i) {
    e->vertices.push_back(corners[i]);
    e->vertices.back().mark = 0;
    e->indices.push_back(i);
  }
  e->face_sizes.push_back(count);
  e->material = material;
  e->flag = 1;
  emit(std::move(e));
}

void Importer::drop_mesh(const char* problem) {
  note("%s", problem);
  // A polygon mesh makes its faces at its end: without it, nothing comes
  // in. (A polyface's faces are made as they come.)
  if (pline_.kind == PLINE_POLYMESH && pline_.kept && pline_.has_mesh)
    left_out("polygon meshes without an end");
  pline_.mesh.clear();
  pline_.mesh.shrink_to_fit();
  pline_.has_mesh = false;
}

void Importer::convert_lwpolyline() {
  std::vector<Vertex> v;
  v.reserve(vbuf_.size());
  for (const Vertex& p : vbuf_)
    if (!is_end(p)) v.push_back(p);
  vbuf_.clear();
  if (target_ == LAYER_SKIP) return;
  const std::size_t count =
      std::min<std::size_t>(v.size(), static_cast<std::size_t>(std::max(f_.n.i9[0], 0)));
  if (f_.beyond_count > 0) left_out("LWPOLYLINE vertices beyond its count", f_.beyond_count);
  if (count < 2) left_out("LWPOLYLINE with fewer than two vertices");
  if (from_below(f_.n)) {
    for (Vertex& p : v) {
      p.x = -p.x;
      p.bulge = -p.bulge;
    }
  }
  for (std::size_t i = 0; i + 1 < count; ++i)
    make_bulge_segment(v[i].x, v[i].y, v[i + 1].x, v[i + 1].y, v[i].bulge);
  // Bit 1 closes; higher bits (line-type generation) say nothing about it.
  if ((f_.n.i7[0] & 1) && count >= 2)
    make_bulge_segment(v[count - 1].x, v[count - 1].y, v[0].x, v[0].y, v[count - 1].bulge);
  ++out_.stats.lwpolyline;
}

void Importer::convert_polyline() {
  const Numbers& n = f_.n;
  const int flags = n.i7[0];
  uint8_t kind = PLINE_2D;
  if (flags & 8) kind = PLINE_3D;
  if (flags & 64) kind = PLINE_POLYFACE;
  if (flags & 16) kind = PLINE_POLYMESH;
  const bool mesh = kind == PLINE_POLYFACE || kind == PLINE_POLYMESH;
  if (mesh && pline_.has_mesh)
    drop_mesh("Problem: end of polymesh/polyface is missing at start of a new one\n");
  pline_ = PolylineState{};
  pline_.kind = kind;
  pline_.closed = flags & 1;
  pline_.closed_n = (flags & 32) ? 1 : 0;
  pline_.m = n.i7[1];
  pline_.n = n.i7[2];
  pline_.pen = pen_;
  pline_.line_type = line_type_;
  pline_.flip = kind == PLINE_2D && from_below(n);
  pline_.kept = target_ != LAYER_SKIP;
  if (mesh && pline_.m != 0) {
    const int64_t m = pline_.m, cols = kind == PLINE_POLYMESH ? pline_.n : 1;
    const int64_t size = m * cols;
    // Every vertex takes a few dozen bytes of the file: a count the rest of
    // the file cannot hold is false.
    if (m < 1 || cols < 1 || size > MESH_MAX || static_cast<uint64_t>(size) > bytes_left() / 16 + 1) {
      note("Problem: mesh of %d x %d vertices left out\n", pline_.m, kind == PLINE_POLYMESH ? pline_.n : 1);
      left_out(cur_name_ + " with impossible counts");
      pline_.m = 0;
      pline_.refused = true;
    } else {
      pline_.mesh.assign(static_cast<std::size_t>(size), Point3{});
      pline_.has_mesh = true;
    }
  }
}

void Importer::convert_vertex() {
  const Numbers& n = f_.n;
  const int flags = n.i7[0];
  PolylineState& p = pline_;
  ++out_.stats.vertex;
  if (flags & 31) ++out_.stats.fit_vertex;
  const double x = p.flip ? -n.x[0] : n.x[0], y = n.y[0], z = n.z[0];
  const double bulge = p.flip ? -n.f42 : n.f42;
  // The frame of a spline-fit polyline is not part of its curve.
  if ((flags & 16) && (p.kind == PLINE_2D || p.kind == PLINE_3D)) return;
  if (p.counter == 0) {
    p.fx = x;
    p.fy = y;
    p.fz = z;
  } else if (target_ != LAYER_SKIP && (p.kind == PLINE_2D || p.kind == PLINE_3D)) {
    const uint8_t pen = pen_, line_type = line_type_;
    pen_ = p.pen;
    line_type_ = p.line_type;
    if (p.kind == PLINE_2D) {
      make_bulge_segment(p.px, p.py, x, y, p.pbulge);
    } else {
      auto e = make<Line3dElem>();
      e->p1 = {p.px, p.py, p.pz, 0};
      e->p2 = {x, y, z, 0};
      emit(std::move(e));
    }
    pen_ = pen;
    line_type_ = line_type;
  }
  if (p.kind == PLINE_POLYFACE) {
    if (flags & 64) {
      if (p.has_mesh && p.counter < p.m) {
        p.mesh[static_cast<std::size_t>(p.counter)] = {x, y, z, 0};
      } else {
        note("Problem: to many points in polyface\n");
        if (p.has_mesh && p.kept) left_out("polyface vertices beyond its count");
      }
    } else if (p.has_mesh) {
      const int idx[4] = {n.i7[1], n.i7[2], n.i7[3], n.i7[4]};
      auto valid = [&](int i) { return i >= 1 && i <= p.m; };
      if (valid(idx[0]) && valid(idx[1]) && valid(idx[2]) && target_ != LAYER_SKIP) {
        const int count = valid(idx[3]) ? 4 : 3;
        // No fourth number (0) makes a triangle; one out of range makes one
        // too, without the corner it names.
        if (idx[3] != 0 && count == 3) left_out("polyface face corners with vertex numbers out of range");
        Point3 c[4];
        for (int k = 0; k < count; ++k) c[k] = p.mesh[static_cast<std::size_t>(idx[k] - 1)];
        make_face(c, count, f_.layer);
      } else if (target_ != LAYER_SKIP) {
        left_out("polyface faces with vertex numbers out of range");
      }
    }
  } else if (p.kind == PLINE_POLYMESH && (flags & 31) == 0 && (flags & 64)) {
    if (p.has_mesh && static_cast<int64_t>(p.counter) < static_cast<int64_t>(p.mesh.size())) {
      p.mesh[static_cast<std::size_t>(p.counter)] = {x, y, z, 0};
    } else {
      note("Problem: to many points in polymesh\n");
      if (p.has_mesh && p.kept) left_out("polygon mesh vertices beyond its count");
    }
  }
  p.px = x;
  p.py = y;
  p.pz = z;
  p.pbulge = bulge;
  ++p.counter;
}

void Importer::convert_seqend() {
  PolylineState& p = pline_;
  const bool keep = target_ != LAYER_SKIP;
  const uint8_t pen = pen_, line_type = line_type_;
  pen_ = p.pen;
  line_type_ = p.line_type;
  switch (p.kind) {
    case PLINE_2D:
      if (!keep) break;
      if (p.counter == 0 || (p.counter == 1 && !p.closed)) left_out("POLYLINE with fewer than two vertices");
      if (p.closed && p.counter >= 1) make_bulge_segment(p.px, p.py, p.fx, p.fy, p.pbulge);
      ++out_.stats.polyline2d;
      break;
    case PLINE_3D:
      if (!keep) break;
      if (p.counter == 0 || (p.counter == 1 && !p.closed)) left_out("POLYLINE with fewer than two vertices");
      if (p.closed && p.counter >= 1) {
        auto e = make<Line3dElem>();
        e->p1 = {p.px, p.py, p.pz, 0};
        e->p2 = {p.fx, p.fy, p.fz, 0};
        emit(std::move(e));
      }
      ++out_.stats.polyline3d;
      break;
    case PLINE_POLYMESH:
      if (p.counter >= 1 && keep) {
        if (!p.has_mesh) {
          note("Problem: start of polymesh is missing\n");
          if (!p.refused) left_out("POLYLINE meshes without a vertex count");
        } else {
          const int m = p.m, cols = p.n;
          auto at = [&](int r, int c) -> const Point3& {
            if (r < 0) r = m - 1;
            if (c < 0) c = cols - 1;
            return p.mesh[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols) +
                          static_cast<std::size_t>(c)];
          };
          for (int r = p.closed ? 0 : 1; r < m; ++r) {
            for (int c = p.closed_n ? 0 : 1; c < cols; ++c) {
              const Point3 quad[4] = {at(r - 1, c - 1), at(r - 1, c), at(r, c), at(r, c - 1)};
              make_face(quad, 4, f_.layer);
            }
          }
        }
      }
      if (keep) ++out_.stats.polymesh;
      break;
    case PLINE_POLYFACE:
      if (p.counter >= 1 && keep && !p.has_mesh) {
        note("Problem: start of polyface is missing\n");
        if (!p.refused) left_out("POLYLINE meshes without a vertex count");
      }
      if (keep) ++out_.stats.polyface;
      break;
    default:
      break;
  }
  pen_ = pen;
  line_type_ = line_type;
  pline_ = PolylineState{};
}

}  // namespace dxf
