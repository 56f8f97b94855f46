// Texts, dimensions, block definitions and inserts.

#include <algorithm>
#include <cmath>
#include <utility>

#include "exchange/dxf_internal.h"
#include "model/geom.h"
#include "model/presets.h"
#include "model/xform.h"

namespace dxf {

namespace {

constexpr double PI = 3.141592653589793;
constexpr double TWO_PI = 2.0 * PI;

// An angle in [0, 2 pi).
double angle_of(double dx, double dy) {
  const double a = into_turn(std::atan2(dy, dx));
  return a >= TWO_PI ? 0.0 : a;
}

double turn0(double a) {
  a = into_turn(a);
  return a >= TWO_PI ? 0.0 : a;
}

void moved(double* x, double* y, double distance, double angle) {
  *x += distance * std::sin(angle);
  *y -= distance * std::cos(angle);
}

}  // namespace

void Importer::convert_text(int32_t* counter) {
  const Numbers& n = f_.n;
  const double h = n.size, a = turn0(n.angle[0]);
  double x = n.x[0], y = n.y[0];
  // Files often leave out the alignment point where it adds nothing.
  const double x1 = n.has_point1 ? n.x[1] : n.x[0], y1 = n.has_point1 ? n.y[1] : n.y[0];
  double angle = a, fit = 0.0;
  uint8_t alignment = TEXT_LEFT;
  switch (n.i7[2]) {
    case 1:
      x = x1, y = y1, alignment = TEXT_CENTRED;
      break;
    case 2:
      x = x1, y = y1, alignment = TEXT_RIGHT;
      break;
    case 3:
      angle = angle_of(x1 - x, y1 - y);
      break;
    case 4:
      x = x1, y = y1, alignment = TEXT_CENTRED;
      moved(&x, &y, h / 2, a);
      break;
    case 5:
      angle = angle_of(x1 - x, y1 - y);
      fit = std::hypot(x1 - x, y1 - y);
      alignment = TEXT_JUSTIFIED;
      break;
    default:
      break;
  }
  switch (n.i7[3]) {
    case 1:
      moved(&x, &y, -h / 4, angle);
      break;
    case 2:
      moved(&x, &y, h / 2, angle);
      break;
    case 3:
      moved(&x, &y, h, angle);
      break;
    default:
      break;
  }
  int64_t lost = 0;
  bool cut = false;
  std::string text = dxf_convert_text(f_.text, false, &out_.log, codepage_, &lost, &cut);
  if (cut && !text.empty() && target_ != LAYER_SKIP) text_cut();
  if (text.empty()) {
    note("Empty Text Entity\n");
    return;
  }
  const double scale = opt_.drawing_scale > 0.0 ? opt_.drawing_scale : 1.0;
  auto e = make<TextElem>();
  e->pos = {x, y, 0};
  e->angle = angle;
  e->height = h * 1000.0 / scale;
  e->width_factor = n.f41 != 0.0 ? n.f41 : 1.0;
  e->spacing = 0.1;
  e->line_spacing = 1.3;
  e->text = std::move(text);
  e->fit_length = fit;
  e->font = "Simpel";
  e->alignment = alignment;
  emit(std::move(e));
  ++*counter;
  lost_characters(lost);
}

void Importer::convert_attribute(bool definition) {
  Numbers& n = f_.n;
  const bool invisible = (n.i7[0] & 1) != 0, constant = (n.i7[0] & 2) != 0;
  if (definition) {
    // In a block the inserts' attributes carry the values; only a constant
    // one shows its own. Outside any block the definition shows its tag.
    if (cur_block_ >= 0 && !constant) return;
    if (cur_block_ < 0) f_.text = f_.name;
  }
  if (invisible) {
    left_out(definition ? "invisible ATTDEF" : "invisible ATTRIB");
    return;
  }
  // An attribute keeps its vertical justification in 74 (73 is its field length).
  n.i7[3] = n.i7[4];
  convert_text(definition ? &out_.stats.attdef : &out_.stats.attrib);
}

void Importer::convert_mtext() {
  const Numbers& n = f_.n;
  const double h = n.size;
  double x = n.x[0], y = n.y[0];
  // The direction vector as given (its angle needs no snapping), else the
  // rotation.
  const double angle =
      n.has_point1 && (n.x[1] != 0.0 || n.y[1] != 0.0) ? angle_of(n.x[1], n.y[1]) : turn0(n.angle[0]);
  const int attach = n.i7[1];
  uint8_t alignment = TEXT_LEFT;
  if (attach == 2 || attach == 5 || attach == 8) alignment = TEXT_CENTRED;
  if (attach == 3 || attach == 6 || attach == 9) alignment = TEXT_RIGHT;
  if (attach >= 7 && attach <= 9) moved(&x, &y, -h / 4, angle);
  if (attach >= 4 && attach <= 6) moved(&x, &y, h / 2, angle);
  if (attach >= 1 && attach <= 3) moved(&x, &y, h, angle);
  int64_t lost = 0;
  bool cut = false;
  std::string text = dxf_convert_text(f_.text, true, &out_.log, codepage_, &lost, &cut);
  if (cut && !text.empty() && target_ != LAYER_SKIP) text_cut();
  if (text.empty()) {
    note("Empty Text Entity\n");
    return;
  }
  const double scale = opt_.drawing_scale > 0.0 ? opt_.drawing_scale : 1.0;
  auto e = make<TextElem>();
  e->pos = {x, y, 0};
  e->angle = angle;
  e->height = h * 1000.0 / scale;
  e->width_factor = 1.0;
  e->spacing = 0.1;
  e->line_spacing = 1.3;
  e->text = std::move(text);
  // The reference width is a length like every other.
  e->fit_length = n.f41 / factor_;
  e->font = "Simpel";
  e->alignment = alignment;
  emit(std::move(e));
  ++out_.stats.mtext;
  lost_characters(lost);
}

void Importer::make_dimension(uint8_t dim_kind, double direction, std::vector<DimPoint> pts) {
  auto e = make<DimElem>();
  e->figure_pen = static_cast<uint8_t>(dim_preset.figure_pen);
  e->figure_line_type = static_cast<uint8_t>(dim_preset.figure_line_type);
  e->direction = direction;
  e->figure_size = dim_preset.figure_size;
  e->figure_width = dim_preset.figure_width;
  e->figure_space = dim_preset.figure_space;
  e->chain_space = dim_preset.chain_space;
  e->help_line_length = dim_preset.help_line_length;
  e->font = dim_preset.font.view();
  e->format = static_cast<uint8_t>(dim_preset.display_format);
  e->end_mark = static_cast<uint8_t>(dim_preset.end_mark);
  e->dim_kind = dim_kind;
  e->points = std::move(pts);
  emit(std::move(e));
  ++out_.stats.dimension;
}

// A dimension the program has no kind for comes in as what its block
// draws: the block's lines, solids and texts where the file placed them.
bool Importer::dimension_from_block() {
  if (f_.name.empty()) return false;
  InsertRef ref;
  ref.block = f_.name;
  // The block holds world coordinates: its base point is where it goes.
  auto it = block_by_key_.find(ref.block);
  if (it == block_by_key_.end()) return false;
  const Block& b = blocks_[static_cast<std::size_t>(it->second)];
  ref.px = b.bx, ref.py = b.by, ref.pz = b.bz;
  content_->items.push_back(Item{nullptr, static_cast<int>(content_->inserts.size())});
  content_->inserts.push_back(std::move(ref));
  ++out_.stats.dimension;
  return true;
}

void Importer::convert_dimension() {
  const Numbers& n = f_.n;
  const int type = n.i7[0] & ~(32 | 64 | 128);
  std::vector<DimPoint> pts;
  if (type == 0 || type == 1) {
    const double direction = type == 0 ? turn0(n.angle[0]) : angle_of(n.x[4] - n.x[3], n.y[4] - n.y[3]);
    const double ax = n.x[0], ay = n.y[0];
    const double bx = ax + 10 * std::cos(direction), by = ay + 10 * std::sin(direction);
    pts.resize(2);
    for (int k = 0; k < 2; ++k) {
      const GeomProjection foot = geom_projection(n.x[3 + k], n.y[3 + k], ax, ay, bx, by);
      pts[static_cast<std::size_t>(k)].measured = {n.x[3 + k], n.y[3 + k], 0};
      pts[static_cast<std::size_t>(k)].line_point = {foot.x, foot.y, 0};
    }
    const int kept = elem_dim_sort_chain_points(ax, ay, bx, by, 2, pts.data(), DIM_CHAIN);
    if (kept != 2) return;
    make_dimension(DIM_CHAIN, direction, std::move(pts));
    return;
  }
  if (type == 2 || type == 5) {
    double vx, vy, r;
    int to1 = 4, to2 = type == 2 ? 0 : 3;
    if (type == 2) {
      const std::optional<Point2> v =
          geom_line_intersection(n.x[3], n.y[3], n.x[4], n.y[4], n.x[5], n.y[5], n.x[0], n.y[0]);
      if (!v) {
        if (!dimension_from_block()) left_out("DIMENSION");
        return;
      }
      vx = v->x, vy = v->y;
      r = std::hypot(n.x[6] - vx, n.y[6] - vy);
    } else {
      vx = n.x[5], vy = n.y[5];
      r = std::hypot(n.x[0] - vx, n.y[0] - vy);
    }
    auto along = [&](int k) {
      const double dx = n.x[k] - vx, dy = n.y[k] - vy, len = std::hypot(dx, dy);
      return len > 0.0 ? Point2{vx + r * dx / len, vy + r * dy / len, 0} : Point2{vx, vy, 0};
    };
    // The angle runs counter-clockwise from the first leg to the second and
    // holds the arc's place (point 6, or point 0 for three points).
    const int place = type == 2 ? 6 : 0;
    const double a1 = angle_of(n.x[to1] - vx, n.y[to1] - vy);
    const double sweep = turn0(angle_of(n.x[to2] - vx, n.y[to2] - vy) - a1);
    const double at = turn0(angle_of(n.x[place] - vx, n.y[place] - vy) - a1);
    if (at > sweep + 1e-9) std::swap(to1, to2);
    pts.resize(3);
    pts[0].line_point = {vx, vy, 0};
    pts[1].line_point = along(to1);
    pts[2].line_point = along(to2);
    make_dimension(DIM_ANGLE, 0.0, std::move(pts));
    return;
  }
  const double len = std::hypot(n.x[5] - n.x[0], n.y[5] - n.y[0]);
  if ((type == 3 || type == 4) && len > 0.0) {
    pts.resize(3);
    if (type == 4) {
      // Centre (10) and a point on the circle (15); the figure stands where
      // the file's text does (11), on the radius or beside it, else at the
      // circle point.
      const Point2 c{n.x[0], n.y[0], 0}, on{n.x[5], n.y[5], 0};
      pts[0].line_point = c;
      pts[1].line_point = on;
      pts[2].line_point = n.has_point1 ? Point2{n.x[1], n.y[1], 0} : on;
      make_dimension(DIM_RADIUS, 0.0, std::move(pts));
    } else {
      // The two ends of the diameter (15 and 10) about the centre. The line
      // is the diameter itself, through the centre: a figure written beside
      // it (as other programs write it, above the line or beyond the
      // circle) does not move it. The program's own export writes a line
      // that runs beside the centre as the diameter with the figure right
      // across from the centre, where that line's middle is: such a file
      // gets its line back.
      const Point2 a{n.x[5], n.y[5], 0}, b{n.x[0], n.y[0], 0};
      const Point2 c{(a.x + b.x) / 2, (a.y + b.y) / 2, 0};
      double sx = 0.0, sy = 0.0;
      if (n.has_point1) {
        const double ux = (b.x - a.x) / len, uy = (b.y - a.y) / len;
        const double along = (n.x[1] - c.x) * ux + (n.y[1] - c.y) * uy;
        const double across = (n.x[1] - c.x) * -uy + (n.y[1] - c.y) * ux;
        if (std::fabs(along) <= 1e-5 * std::max(1.0, len)) sx = across * -uy, sy = across * ux;
      }
      pts[0].line_point = c;
      pts[1].line_point = {a.x + sx, a.y + sy, 0};
      pts[2].line_point = {b.x + sx, b.y + sy, 0};
      make_dimension(DIM_DIAMETER, 0.0, std::move(pts));
    }
    return;
  }
  if (!dimension_from_block()) left_out("DIMENSION");
}

void Importer::convert_block() {
  ++out_.stats.block;
  if (cur_block_ < 0) return;
  Block& b = blocks_[static_cast<std::size_t>(cur_block_)];
  b.name = f_.name;
  b.bx = f_.n.x[0];
  b.by = f_.n.y[0];
  b.bz = f_.n.z[0];
  paper_block_ = same_name(std::string_view(b.name).substr(0, 12), "*Paper_Space");
  // The first definition of a name counts.
  block_by_key_.emplace(b.name, cur_block_);
}

void Importer::convert_insert() {
  const Numbers& n = f_.n;
  InsertRef ref;
  ref.block = f_.name;
  ref.px = n.x[0];
  ref.py = n.y[0];
  ref.pz = n.z[0];
  ref.sx = n.f41 != 0.0 ? n.f41 : 1.0;
  ref.sy = n.f42 != 0.0 ? n.f42 : 1.0;
  ref.sz = n.g43 != 0.0 ? n.g43 : 1.0;
  ref.rotation = turn0(n.angle[0]);
  ref.has_ext = n.has_ext;
  for (int k = 0; k < 3; ++k) ref.ext[k] = n.ext[k];
  // A grid of copies: counts below 1 count as 1.
  ref.columns = std::max(n.i7[0], 1);
  ref.rows = std::max(n.i7[1], 1);
  ref.column_space = n.g44;
  ref.row_space = n.g45;
  content_->items.push_back(Item{nullptr, static_cast<int>(content_->inserts.size())});
  content_->inserts.push_back(std::move(ref));
  ++out_.stats.insert;
}

InsertRef grid_copy(const InsertRef& ref, int32_t row, int32_t column) {
  InsertRef one = ref;
  one.columns = one.rows = 1;
  if (row == 0 && column == 0) return one;
  const double dx = column * ref.column_space, dy = row * ref.row_space;
  const double c = std::cos(ref.rotation), s = std::sin(ref.rotation);
  one.px += c * dx - s * dy;
  one.py += s * dx + c * dy;
  return one;
}

namespace {

// The plan and z parts as the rows of the 3D map.
void plan_rows(Placement& p, double e, double tz) {
  const double rows[3][4] = {{p.a, p.b, 0, p.tx}, {p.c, p.d, 0, p.ty}, {0, 0, e, tz}};
  std::copy(&rows[0][0], &rows[0][0] + 12, &p.m[0][0]);
}

}  // namespace

Placement placement_of(const InsertRef& ref, const Block& block) {
  Placement p;
  const double* x = ref.ext;
  const bool up = !ref.has_ext || (std::fabs(x[0]) <= 1e-9 && std::fabs(x[1]) <= 1e-9 &&
                                   (std::fabs(x[2] - 1.0) <= 1e-9 || std::fabs(x[2]) <= 1e-9));
  const bool down = !up && std::fabs(x[0]) < 1e-6 && std::fabs(x[1]) < 1e-6 && x[2] < 0.0;
  const double rot = std::fabs(ref.rotation) > 1e-9 ? ref.rotation : 0.0;
  if (up || down) {
    const double c = std::cos(rot), s = std::sin(rot);
    p.a = c * ref.sx, p.b = -s * ref.sy, p.c = s * ref.sx, p.d = c * ref.sy;
    double e = ref.sz, ix = ref.px, iz = ref.pz;
    if (down) {
      // The insert's plane seen from below: x and z mirrored.
      p.a = -p.a, p.b = -p.b, e = -e;
      ix = -ix, iz = -iz;
    }
    p.tx = ix - (p.a * block.bx + p.b * block.by);
    p.ty = ref.py - (p.c * block.bx + p.d * block.by);
    plan_rows(p, e, iz - e * block.bz);
    return p;
  }
  // Any other extrusion: moved and scaled in plan; only the 3D kinds turn,
  // about the extrusion through the insertion point.
  p.a = ref.sx, p.d = ref.sy;
  p.tx = ref.px - ref.sx * block.bx;
  p.ty = ref.py - ref.sy * block.by;
  plan_rows(p, ref.sz, ref.pz - ref.sz * block.bz);
  const double len = std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]);
  if (rot != 0.0 && len > 0.0 && std::isfinite(len)) {
    // Rodrigues: the turn about the unit axis k through the insertion point.
    const double k[3] = {x[0] / len, x[1] / len, x[2] / len};
    const double c = std::cos(rot), s = std::sin(rot), t = 1.0 - c;
    const double r[3][3] = {
        {c + k[0] * k[0] * t, k[0] * k[1] * t - k[2] * s, k[0] * k[2] * t + k[1] * s},
        {k[1] * k[0] * t + k[2] * s, c + k[1] * k[1] * t, k[1] * k[2] * t - k[0] * s},
        {k[2] * k[0] * t - k[1] * s, k[2] * k[1] * t + k[0] * s, c + k[2] * k[2] * t},
    };
    const double at[3] = {ref.px, ref.py, ref.pz};
    Placement turn;
    for (int i = 0; i < 3; ++i) {
      double shift = at[i];
      for (int j = 0; j < 3; ++j) {
        turn.m[i][j] = r[i][j];
        shift -= r[i][j] * at[j];
      }
      turn.m[i][3] = shift;
    }
    const Placement plan = p;
    p = compose(turn, plan);
    // The plan part stays that of the insert without its turn.
    p.a = plan.a, p.b = plan.b, p.c = plan.c, p.d = plan.d, p.tx = plan.tx, p.ty = plan.ty;
  }
  return p;
}

Placement compose(const Placement& o, const Placement& i) {
  Placement p;
  p.a = o.a * i.a + o.b * i.c;
  p.b = o.a * i.b + o.b * i.d;
  p.c = o.c * i.a + o.d * i.c;
  p.d = o.c * i.b + o.d * i.d;
  p.tx = o.a * i.tx + o.b * i.ty + o.tx;
  p.ty = o.c * i.tx + o.d * i.ty + o.ty;
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 4; ++c) {
      double v = c == 3 ? o.m[r][3] : 0.0;
      for (int k = 0; k < 3; ++k) v += o.m[r][k] * i.m[k][c];
      p.m[r][c] = v;
    }
  }
  return p;
}

int place_element(ElemHeader* e, const Placement& p, double scale) {
  int moved = 0;
  auto map = [&p](Point2& q) {
    const double x = q.x, y = q.y;
    q.x = p.a * x + p.b * y + p.tx;
    q.y = p.c * x + p.d * y + p.ty;
  };
  auto map3 = [&p](Point3& q) {
    const double x = q.x, y = q.y, z = q.z;
    q.x = p.m[0][0] * x + p.m[0][1] * y + p.m[0][2] * z + p.m[0][3];
    q.y = p.m[1][0] * x + p.m[1][1] * y + p.m[1][2] * z + p.m[1][3];
    q.z = p.m[2][0] * x + p.m[2][1] * y + p.m[2][2] * z + p.m[2][3];
  };
  // Directions and lengths along them.
  auto dir = [&p](double angle, double* len) {
    const double dx = p.a * std::cos(angle) + p.b * std::sin(angle);
    const double dy = p.c * std::cos(angle) + p.d * std::sin(angle);
    if (len) *len = std::hypot(dx, dy);
    return angle_of(dx, dy);
  };
  const double det = p.a * p.d - p.b * p.c;
  switch (e->kind) {
    case ELEM_LINE: {
      auto* l = static_cast<LineElem*>(e);
      map(l->p1);
      map(l->p2);
      break;
    }
    case ELEM_ARC: {
      auto* a = static_cast<ArcElem*>(e);
      map(a->centre);
      // The half axes' images u and v; their matrix taken apart into a
      // rotation, two stretches and a rotation gives the new axes.
      const double cr = std::cos(a->rotation), sr = std::sin(a->rotation);
      const double ux = (p.a * cr + p.b * sr) * a->radius_x, uy = (p.c * cr + p.d * sr) * a->radius_x;
      const double vx = (-p.a * sr + p.b * cr) * a->radius_y, vy = (-p.c * sr + p.d * cr) * a->radius_y;
      const double E = (ux + vy) / 2, F = (ux - vy) / 2, G = (uy + vx) / 2, H = (uy - vx) / 2;
      const double q = std::hypot(E, H), r = std::hypot(F, G);
      const double s1 = q + r, s2 = q - r;
      const double a1 = std::atan2(G, F), a2 = std::atan2(H, E);
      const double theta = (a2 - a1) / 2, phi = (a2 + a1) / 2;
      double rotation = phi, start;
      if (s2 >= 0) {
        start = a->start + theta;
      } else {
        start = -(a->start + a->sweep) - theta;
      }
      a->radius_x = s1;
      a->radius_y = std::fabs(s2);
      // A circle keeps no rotation of its own: the turn goes to its start.
      if (std::fabs(a->radius_x - a->radius_y) <= 1e-9 * std::max(1.0, a->radius_x)) {
        start += rotation;
        rotation = 0.0;
        a->radius_y = a->radius_x;
      }
      a->rotation = turn0(rotation);
      a->start = turn0(start);
      break;
    }
    case ELEM_TEXT: {
      auto* t = static_cast<TextElem*>(e);
      double along = 1.0, across = 1.0;
      const double angle = dir(t->angle, &along);
      dir(t->angle + PI / 2, &across);
      // Scaled unevenly, the glyphs keep the stretch of the block: as wide
      // as the scale along them, as high as the one across.
      if (across > 0.0 && std::isfinite(along / across)) t->width_factor *= along / across;
      if (det < 0) {
        // Mirrored, the text still reads forwards, left to right where it
        // can: along its image's direction with the box moved across its
        // baseline, or turned half round and running back from where its
        // end was. Both cover the image of its box.
        const double c = std::cos(angle), sn = std::sin(angle);
        const bool forwards = c > 1e-9 || (c >= -1e-9 && sn > 0.0);
        // The up of the text that reads forwards: its image points the other way.
        const double up = angle + PI / 2;
        map(t->pos);
        t->height *= across;
        t->fit_length *= along;
        if (forwards) {
          // Lines stack downwards from the image of the box's top.
          std::size_t lines = 1;
          for (char ch : t->text) lines += ch == '\n' ? 1 : 0;
          const double world_h = t->height * (scale > 0.0 ? scale : 1.0) / 1000.0;
          const double shift = world_h * (1.0 + static_cast<double>(lines - 1) * t->line_spacing);
          t->pos.x -= shift * std::cos(up);
          t->pos.y -= shift * std::sin(up);
          t->angle = angle;
        } else {
          if (t->alignment == TEXT_JUSTIFIED) {
            t->pos.x += t->fit_length * std::cos(angle);
            t->pos.y += t->fit_length * std::sin(angle);
          } else if (t->alignment == TEXT_LEFT) {
            t->alignment = TEXT_RIGHT;
          } else if (t->alignment == TEXT_RIGHT) {
            t->alignment = TEXT_LEFT;
          }
          t->angle = turn0(angle + PI);
        }
        break;
      }
      t->angle = angle;
      map(t->pos);
      t->height *= across;
      t->fit_length *= along;
      break;
    }
    case ELEM_DIM: {
      auto* d = static_cast<DimElem*>(e);
      for (DimPoint& q : d->points) {
        map(q.line_point);
        map(q.measured);
      }
      d->direction = dir(d->direction, nullptr);
      if (d->dim_kind == DIM_CHAIN && !d->points.empty()) {
        const Point2 s = d->points[0].line_point;
        const int kept = elem_dim_sort_chain_points(
            s.x, s.y, s.x + 10 * std::cos(d->direction), s.y + 10 * std::sin(d->direction),
            static_cast<int>(d->points.size()), d->points.data(), DIM_CHAIN);
        if (kept >= 0 && kept < static_cast<int>(d->points.size()))
          d->points.resize(static_cast<std::size_t>(kept));
      } else if (det < 0 && d->points.size() >= 3) {
        std::swap(d->points[1].line_point, d->points[2].line_point);
      }
      break;
    }
    case ELEM_PATTERN: {
      auto* pt = static_cast<PatternElem*>(e);
      for (Point2& q : pt->points) {
        if (point_is_contour_end(q.x, q.y)) continue;
        map(q);
        if (move_off_contour_end(q)) ++moved;
      }
      map(pt->origin);
      map(pt->offset);
      const double s = std::sqrt(std::fabs(det));
      pt->angle1 = dir(pt->angle1, nullptr);
      pt->angle2 = dir(pt->angle2, nullptr);
      if (pt->type != PATTERN_FILLING) {
        pt->spacing1 *= s;
        pt->spacing2 *= s;
      }
      break;
    }
    case ELEM_LINE3D: {
      auto* l = static_cast<Line3dElem*>(e);
      map3(l->p1);
      map3(l->p2);
      break;
    }
    case ELEM_MESH: {
      auto* m = static_cast<MeshElem*>(e);
      for (Point3& v : m->vertices) map3(v);
      // Turned inside out: the faces keep their outward side.
      const double det3 = p.m[0][0] * (p.m[1][1] * p.m[2][2] - p.m[1][2] * p.m[2][1]) -
                          p.m[0][1] * (p.m[1][0] * p.m[2][2] - p.m[1][2] * p.m[2][0]) +
                          p.m[0][2] * (p.m[1][0] * p.m[2][1] - p.m[1][1] * p.m[2][0]);
      if (det3 < 0) {
        std::size_t at = 0;
        for (int32_t size : m->face_sizes) {
          if (size <= 0 || at + static_cast<std::size_t>(size) > m->indices.size()) break;
          std::reverse(m->indices.begin() + static_cast<std::ptrdiff_t>(at),
                       m->indices.begin() + static_cast<std::ptrdiff_t>(at + static_cast<std::size_t>(size)));
          at += static_cast<std::size_t>(size);
        }
      }
      break;
    }
    case ELEM_WALL:
    case ELEM_SPLINE:
    case ELEM_CAMERA:
    case ELEM_ROOM:
    case ELEM_LIGHT:
      break;
  }
  return moved;
}

}  // namespace dxf
