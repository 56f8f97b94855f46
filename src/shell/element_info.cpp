#include "shell/element_info.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "model/geom.h"
#include "model/nls.h"
#include "model/units.h"

const char* const project_count_captions[PROJECT_COUNT_ROWS] = {
    nls_mark("Lines:"),      nls_mark("Circles:"), nls_mark("Texts:"),    nls_mark("Dimensions:"),
    nls_mark("Walls:"),      nls_mark("Splines:"), nls_mark("Patterns:"), nls_mark("3D Lines:"),
    nls_mark("3D Objects:"), nls_mark("Rooms:"),   nls_mark("Lights:"),
};

namespace {

constexpr double FULL_TURN = 2.0 * UNITS_PI;

std::string number(const char* format, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

std::string whole(long v) { return std::to_string(v); }

// A colour part as its value and, in brackets, as a byte.
std::string colour_part(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.3f  [%d]", v, static_cast<int>(v * 255.0));
  return buf;
}

class Rows {
 public:
  explicit Rows(ElementInfo& rows) : rows_(rows) {}
  // The next row: the caption translated unless raw.
  void add(const char* caption, std::string value, bool raw = false) {
    set(next_++, caption, std::move(value), raw);
  }
  void set(int row, const char* caption, std::string value, bool raw = false) {
    if (row < 0 || row >= ELEMENT_INFO_ROWS) return;
    rows_[row] = {raw ? caption : nls_translate(caption), std::move(value)};
    next_ = std::max(next_, row + 1);
  }

 private:
  ElementInfo& rows_;
  int next_ = 4;
};

const WallOpening* opening_at(const WallElem& w, Point2 click) {
  for (const WallOpening& o : w.openings) {
    const GeomProjection p =
        geom_projection(click.x, click.y, o.corner[0].x, o.corner[0].y, o.corner[1].x, o.corner[1].y);
    if (p.t >= 0.0 && p.t <= 1.0) return &o;
  }
  return nullptr;
}

const char* opening_name(int kind) {
  switch (kind) {
    case OPENING_PLAIN:
      return nls_mark("Opening");
    case OPENING_DOOR:
      return nls_mark("Door");
    case OPENING_WINDOW:
      return nls_mark("Window");
    default:
      return nullptr;
  }
}

const char* dim_name(int kind) {
  switch (kind) {
    case DIM_RADIUS:
      return nls_mark("Dimension - Radius");
    case DIM_DIAMETER:
      return nls_mark("Dimension - Diameter");
    case DIM_LEVEL:
      return nls_mark("Dimension - Height");
    case DIM_ANGLE:
      return nls_mark("Dimension - Angle");
    default:
      return nls_mark("Dimension chain");
  }
}

// Fills rows 4 on and returns the type name (English, to translate), or
// null for none.
const char* kind_rows(const ElemHeader& e, Point2 click, ElementInfo& info, Rows& r) {
  if (const auto* l = elem_as<LineElem>(&e)) {
    r.add(nls_mark("Length:"), units_format_length(geom_dist(l->p1.x, l->p1.y, l->p2.x, l->p2.y)));
    r.add(nls_mark("Angle:"), units_format_angle(geom_angle(l->p1.x, l->p1.y, l->p2.x, l->p2.y)));
    return nls_mark("Line");
  }
  if (const auto* a = elem_as<ArcElem>(&e)) {
    if (a->radius_x != a->radius_y) {
      r.add(nls_mark("Radius 1:"), units_format_length(a->radius_x));
      r.add(nls_mark("Radius 2:"), units_format_length(a->radius_y));
      r.add(nls_mark("Angle:"), units_format_angle(a->rotation));
      return nls_mark("Ellipse");
    }
    r.add(nls_mark("Radius:"), units_format_length(a->radius_x));
    if (std::fabs(a->sweep - FULL_TURN) < 0.00001) return nls_mark("Circle");
    r.add(nls_mark("Start angle:"), units_format_angle(a->start));
    r.add(nls_mark("Angle:"), units_format_angle(a->sweep));
    r.add(nls_mark("Length:"), units_format_length(a->sweep * a->radius_x));
    return nls_mark("Arc");
  }
  if (const auto* t = elem_as<TextElem>(&e)) {
    r.add(nls_mark("Size:"), units_format_size(t->height));
    r.add(nls_mark("Angle:"), units_format_angle(t->angle));
    r.add(nls_mark("Font:"), std::string(t->font.view()));
    return nls_mark("Text");
  }
  if (const auto* d = elem_as<DimElem>(&e)) {
    r.add(nls_mark("Size:"), units_format_size(d->figure_size));
    r.add(nls_mark("Angle:"), units_format_angle(d->direction));
    r.add(nls_mark("Font:"), std::string(d->font.view()));
    return dim_name(d->dim_kind);
  }
  if (const auto* w = elem_as<WallElem>(&e)) {
    if (const WallOpening* o = opening_at(*w, click)) {
      info[1].value = info[2].value = "---";
      r.add(nls_mark("Size:"),
            units_format_length(geom_dist(o->corner[0].x, o->corner[0].y, o->corner[1].x, o->corner[1].y)));
      r.add(nls_mark("Base:"), units_format_length(o->corner[0].z - w->corner[0].z));
      r.add(nls_mark("Height:"), units_format_length(o->corner[4].z - o->corner[0].z));
      return opening_name(o->kind);
    }
    const Point3* c = w->corner;
    r.add(nls_mark("Length:"), units_format_length(geom_dist(c[0].x, c[0].y, c[1].x, c[1].y)));
    r.add(nls_mark("Base:"), units_format_length(c[0].z));
    r.add(nls_mark("Height:"), units_format_length(c[4].z - c[0].z));
    r.add(nls_mark("Angle:"), units_format_angle(geom_angle(c[0].x, c[0].y, c[1].x, c[1].y)));
    r.add(nls_mark("Material:"), std::string(w->material.view()));
    return nls_mark("Wall");
  }
  if (const auto* p = elem_as<PatternElem>(&e)) {
    if (p->type != PATTERN_FILLING) return nls_mark("Pattern");
    r.set(2, "R:", colour_part(p->r), true);
    r.set(3, "G:", colour_part(p->g), true);
    r.set(4, "B:", colour_part(p->b), true);
    return nls_mark("Filling");
  }
  if (elem_as<SplineElem>(&e)) return nls_mark("Spline");
  if (const auto* l = elem_as<Line3dElem>(&e)) {
    const double low = std::min(l->p1.z, l->p2.z);
    r.add(nls_mark("Base:"), units_format_length(low));
    r.add(nls_mark("Height:"), units_format_length(std::max(l->p1.z, l->p2.z) - low));
    return nls_mark("3D Line");
  }
  if (const auto* m = elem_as<MeshElem>(&e)) {
    double low = 0.0, high = 0.0;
    if (!m->vertices.empty()) {
      const auto [lo, hi] = std::minmax_element(m->vertices.begin(), m->vertices.end(),
                                                [](const Point3& a, const Point3& b) { return a.z < b.z; });
      low = lo->z;
      high = hi->z;
    }
    long corners = 0;
    for (int32_t n : m->face_sizes) corners += n;
    r.add(nls_mark("Base:"), units_format_length(low));
    r.add(nls_mark("Height:"), units_format_length(high - low));
    r.add(nls_mark("Material:"), std::string(m->material.view()));
    r.add("NF:", whole(m->face_count()), true);
    r.add("NP:", whole(m->vertex_count()), true);
    r.add("NI:", whole(corners), true);
    return nls_mark("3D Object");
  }
  if (const auto* c = elem_as<CameraElem>(&e)) {
    r.add(nls_mark("Angle:"), units_format_number(c->view_angle));
    r.add(nls_mark("Height:"), units_format_length(c->eye.z));
    return nls_mark("Camera");
  }
  if (const auto* m = elem_as<RoomElem>(&e)) {
    r.add(nls_mark("Base:"), units_format_length(m->base_z));
    r.add(nls_mark("Height:"), units_format_length(m->top_z - m->base_z));
    return nls_mark("Room");
  }
  if (const auto* l = elem_as<LightElem>(&e)) {
    char shadow[64];
    std::snprintf(shadow, sizeof shadow, "%d (%.2f)", l->shadow, l->shadow_intensity);
    r.add(nls_mark("Size:"), units_format_length(l->light_size));
    r.add(nls_mark("Shadow:"), shadow);
    r.add("R:", number("%f", l->r), true);
    r.add("G:", number("%f", l->g), true);
    r.add("B:", number("%f", l->b), true);
    if (l->type == LIGHT_POINT) return nls_mark("Pointlight");
    r.add(nls_mark("Angle:"), units_format_angle(l->angle / 180.0 * UNITS_PI));
    return nls_mark("Spotlight");
  }
  return nullptr;
}

}  // namespace

ElementInfo element_info_rows(const ElemHeader& e, Point2 click) {
  ElementInfo info;
  info[0].label = nls_translate("Element type:");
  info[1] = {nls_translate("Layer:"), whole(e.layer)};
  info[2] = {nls_translate("Pen:"), whole(e.pen)};
  info[3] = {nls_translate("Line:"), whole(e.line_type)};
  Rows rows(info);
  const char* type = kind_rows(e, click, info, rows);
  info[0].value = type ? nls_translate(type) : "";
  return info;
}

std::array<int, PROJECT_COUNT_ROWS> project_counts() {
  // The row of each element kind, -1 for kinds not counted.
  constexpr int row_of[ELEM_KIND_COUNT + 1] = {-1, 0, 1, 2, 3, 4, 6, 5, 7, 8, -1, 9, 10};
  std::array<int, PROJECT_COUNT_ROWS> counts{};
  ElemHeader* e;
  for (elem_first(&e); e; elem_next(&e)) {
    const int k = e->kind;
    if (k >= 0 && k <= ELEM_KIND_COUNT && row_of[k] >= 0) ++counts[row_of[k]];
  }
  return counts;
}
