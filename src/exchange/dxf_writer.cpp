#include "exchange/dxf_writer.h"

#include <charconv>
#include <cmath>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "building/solid/wall_mesh.h"
#include "display/draw.h"
#include "display/export_name.h"
#include "display/export_scope.h"
#include "display/outdev.h"
#include "display/outdev_breakdown.h"
#include "display/text_layout.h"
#include "display/view_commands.h"
#include "exchange/dxf_common.h"
#include "exchange/export_2d.h"
#include "exchange/out_text.h"
#include "model/files/fio.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/triangulate.h"
#include "model/ui.h"

namespace {

// At most this many material layers in the 3D tables.
constexpr int MAX_MATERIAL_LAYERS = 50;

bool symbol_byte(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
         c == '$';
}

// A name fit for a symbol table: unsafe bytes become "_", an empty name the
// fallback.
std::string safe_symbol(std::string_view name, const std::string& fallback) {
  if (name.empty()) return fallback;
  std::string s(name);
  for (char& c : s)
    if (!symbol_byte(c)) c = '_';
  return s;
}

bool same_dashes(const LineTypeDef& a, const LineTypeDef& b) {
  if (a.pairs != b.pairs || a.period != b.period) return false;
  for (int i = 0; i < a.pairs && i < 3; ++i)
    if (a.dash[i] != b.dash[i] || a.gap[i] != b.gap[i]) return false;
  return true;
}

// A code line and its value line.
void group(OutText& out, std::string_view code, std::string_view value) {
  out << code << '\n' << value << '\n';
}
void group_int(OutText& out, std::string_view code, long long value) {
  out << code << '\n';
  out.integer(value) << '\n';
}
void group_real(OutText& out, std::string_view code, double value, int decimals = 6) {
  out << code << '\n';
  out.fixed(value, decimals) << '\n';
}

// The unit factor on standard output after every TEXT, with "." whatever
// the locale.
void print_factor() {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf - 1, dxf_unit_factor, std::chars_format::fixed, 6);
  *r.ptr = '\0';
  std::printf("dxf f: %s\n", buf);
}

struct DxfWriter {
  OutText& out;
  DxfLineTypeNames names;
};

DxfWriter& writer() { return *outdev_writer<DxfWriter>(); }

// The pen an entity is written with: the guide pen keeps its number, pens
// outside the table take pen 0.
int entity_pen(uint8_t pen) { return pen == PEN_GUIDE ? PEN_GUIDE : export_pen(pen); }

const std::string& line_type_name(DxfWriter& w, uint8_t lt) { return w.names.name[export_line_type(lt)]; }

// Layer, line type and colour, as LINE, CIRCLE, ARC and TEXT carry them.
void common_head(DxfWriter& w, uint8_t pen, uint8_t lt) {
  const int p = entity_pen(pen);
  group_int(w.out, "8", p + 101);
  group(w.out, "6", line_type_name(w, lt));
  group_int(w.out, "62", p + 7);
}

void dxf_out_line(uint8_t pen, uint8_t lt, double x1, double y1, double x2, double y2) {
  DxfWriter& w = writer();
  const double f = dxf_unit_factor;
  group(w.out, "0", "LINE");
  common_head(w, pen, lt);
  group_real(w.out, "10", x1 * f);
  group_real(w.out, "20", y1 * f);
  group_real(w.out, "11", x2 * f);
  group_real(w.out, "21", y2 * f);
}

void dxf_out_arc(uint8_t pen, uint8_t lt, double cx, double cy, double rx, double ry, double sweep,
                 double start, double rotation) {
  if (std::fabs(rx - ry) > 0.001) {
    // An ellipse has no entity in this version: it goes as chords.
    outdev_screen_arc(pen, lt, cx, cy, rx, ry, sweep, start, rotation);
    return;
  }
  DxfWriter& w = writer();
  const double f = dxf_unit_factor;
  const bool full = geom_eq(sweep, GEOM_TWO_PI);
  group(w.out, "0", full ? "CIRCLE" : "ARC");
  common_head(w, pen, lt);
  group_real(w.out, "10", cx * f);
  group_real(w.out, "20", cy * f);
  group_real(w.out, "40", rx * f);
  if (full) return;
  group_real(w.out, "50", (rotation + start) / GEOM_PI * 180.0);
  group_real(w.out, "51", (rotation + start + sweep) / GEOM_PI * 180.0);
}

void dxf_out_text(const OutdevText& t) {
  DxfWriter& w = writer();
  const double f = dxf_unit_factor;
  const double h = t.height * drawing_scale / 1000.0;
  const double pitch = t.line_spacing * t.height * drawing_scale / 1000.0;
  const double ca = std::cos(t.angle), sa = std::sin(t.angle);
  const char* font = t.font ? t.font : "";
  double x = t.x, y = t.y;
  std::string_view rest(t.text ? t.text : "");
  for (;;) {
    const std::size_t nl = rest.find('\n');
    const std::string line(rest.substr(0, nl));
    group(w.out, "0", "TEXT");
    common_head(w, t.pen, t.lt);
    if (t.alignment == TEXT_RIGHT || t.alignment == TEXT_CENTRED) {
      double width =
          font_text_width(t.height, t.width_factor, t.spacing, font, line.c_str(), t.alignment, t.fit_length);
      if (t.alignment == TEXT_CENTRED) width /= 2.0;
      group(w.out, "72", t.alignment == TEXT_RIGHT ? "2" : "1");
      group_real(w.out, "10", (x - width * ca) * f);
      group_real(w.out, "20", (y - width * sa) * f);
      group_real(w.out, "11", x * f);
      group_real(w.out, "21", y * f);
    } else if (t.alignment == TEXT_JUSTIFIED) {
      group(w.out, "72", "5");
      group_real(w.out, "10", x * f);
      group_real(w.out, "20", y * f);
      group_real(w.out, "11", (x + t.fit_length * ca) * f);
      group_real(w.out, "21", (y + t.fit_length * sa) * f);
    } else {
      group_real(w.out, "10", x * f);
      group_real(w.out, "20", y * f);
    }
    group_real(w.out, "40", h * f);
    group(w.out, "1", line);
    group_real(w.out, "50", t.angle / GEOM_TWO_PI * 360.0);
    group_real(w.out, "41", t.width_factor);
    print_factor();
    if (nl == std::string_view::npos) break;
    rest.remove_prefix(nl + 1);
    x += sa * pitch;
    y -= ca * pitch;
  }
}

// Holds "Show room borders" off while the screen writer draws a room's
// inscriptions, and puts it back however the call ends.
class RoomBordersOff {
 public:
  RoomBordersOff() : saved_(view_options.show_room_borders) { view_options.show_room_borders = 0; }
  ~RoomBordersOff() { view_options.show_room_borders = saved_; }
  RoomBordersOff(const RoomBordersOff&) = delete;
  RoomBordersOff& operator=(const RoomBordersOff&) = delete;

 private:
  int32_t saved_;
};

void dxf_out_room(const RoomElem& room) {
  DxfWriter& w = writer();
  if (view_options.show_room_borders && !room.points.empty()) {
    const int p = entity_pen(room.pen);
    const std::string& lt = line_type_name(w, room.line_type);
    const double f = dxf_unit_factor;
    auto layer_and_colour = [&] {
      group_int(w.out, "8", p + 101);
      group(w.out, "6", lt);
      group_int(w.out, "62", p + 7);
    };
    auto head = [&] {
      group(w.out, "0", "POLYLINE");
      layer_and_colour();
      group(w.out, "66", "1");
      group(w.out, "10", "0.0");
      group(w.out, "20", "0.0");
      group(w.out, "30", "0.0");
      group(w.out, "70", "1");
    };
    head();
    bool open = true;
    for (std::size_t i = 0; i < room.points.size(); ++i) {
      const Point2& q = room.points[i];
      if (geom_is_end_marker(q.x, q.y)) {
        group(w.out, "0", "SEQEND");
        layer_and_colour();
        open = false;
        if (i + 1 < room.points.size()) {
          head();
          open = true;
        }
        continue;
      }
      group(w.out, "0", "VERTEX");
      layer_and_colour();
      group_real(w.out, "10", q.x * f);
      group_real(w.out, "20", q.y * f);
      group_real(w.out, "30", 0.0);
    }
    // An outline whose last contour lacks its end marker still gets its
    // SEQEND: a POLYLINE left open swallows every entity after it.
    if (open) {
      group(w.out, "0", "SEQEND");
      layer_and_colour();
    }
  }
  RoomBordersOff off;
  outdev_screen_room(room);
}

void dxf_out_dimension(const DimElem& dim) {
  if (dim.dim_kind != DIM_CHAIN) {
    outdev_screen_dimension(dim);
    return;
  }
  DxfWriter& w = writer();
  const double f = dxf_unit_factor;
  const int p = entity_pen(dim.pen);
  for (std::size_t i = 0; i + 1 < dim.points.size(); ++i) {
    const Point2 a = dim.points[i].line_point;
    const Point2 b = dim.points[i + 1].line_point;
    group(w.out, "0", "DIMENSION");
    group_int(w.out, "8", p + 101);
    group(w.out, "2", "*D0");
    group(w.out, "6", line_type_name(w, dim.line_type));
    group_int(w.out, "62", p + 7);
    group_real(w.out, "10", a.x * f);
    group_real(w.out, "20", a.y * f);
    group_real(w.out, "11", (a.x + b.x) / 2.0 * f);
    group_real(w.out, "21", (a.y + b.y) / 2.0 * f);
    group(w.out, "70", "1");
    group_real(w.out, "13", a.x * f);
    group_real(w.out, "23", a.y * f);
    group_real(w.out, "14", b.x * f);
    group_real(w.out, "24", b.y * f);
    group(w.out, "3", "STANDARD");
  }
}

// Fillings have no entity here; the screen's fill would paint the view.
void dxf_out_fill(double, double, double, int32_t, const Point2*) {}

// The meshes the 3D entities hold, in list order.
std::vector<const MeshElem*> meshes_3d() {
  std::vector<const MeshElem*> out;
  ElemHeader* e;
  for (elem_first(&e); e; elem_next(&e))
    if (const MeshElem* m = elem_as<MeshElem>(e); m && (e->mark || e->layer == LAYER_TEMP_3D))
      out.push_back(m);
  return out;
}

struct FaceListFree {
  void operator()(FaceList* l) const { tri_faces_free(l); }
};

}  // namespace

DxfLineTypeNames dxf_line_type_names() {
  DxfLineTypeNames r;
  std::array<std::string, 8> base;
  for (int i = 0; i < LINE_TYPE_COUNT && i < 8; ++i) {
    base[i] = safe_symbol(line_types[i].name.c_str(), "LT" + std::to_string(i));
    r.first[i] = true;
    r.name[i] = base[i];
    bool clash = false;
    for (int j = 0; j < i; ++j) {
      if (base[j] != base[i]) continue;
      if (same_dashes(line_types[i], line_types[j])) {
        r.name[i] = r.name[j];
        r.first[i] = false;
        break;
      }
      clash = true;
    }
    if (!r.first[i] || !clash) continue;
    // A name of its own: the lowest free suffix.
    for (int k = 2;; ++k) {
      const std::string candidate = base[i] + "_" + std::to_string(k);
      bool taken = false;
      for (int m = 0; m < 8; ++m) taken = taken || (m < i ? r.name[m] : base[m]) == candidate;
      if (!taken) {
        r.name[i] = candidate;
        break;
      }
    }
  }
  return r;
}

void dxf_write_header(OutText& out) {
  view_zoom_to_extents(1);
  const double f = dxf_unit_factor;
  group(out, " 0", "SECTION");
  group(out, " 2", "HEADER");
  group(out, " 9", "$ACADVER");
  group(out, " 1", "AC1009");
  group(out, " 9", "$INSBASE");
  group(out, " 10", "0.0");
  group(out, " 20", "0.0");
  group(out, " 30", "0.0");
  group(out, " 9", "$EXTMIN");
  group_real(out, " 10", extents.xmin * f, 5);
  group_real(out, " 20", extents.ymin * f, 5);
  group(out, " 30", "0.0");
  group(out, "  9", "$EXTMAX");
  group_real(out, " 10", extents.xmax * f, 5);
  group_real(out, " 20", extents.ymax * f, 5);
  group(out, " 30", "0.0");
  group(out, "0", "ENDSEC");
}

void dxf_write_tables(OutText& out) {
  const double f = dxf_unit_factor;
  const DxfLineTypeNames names = dxf_line_type_names();
  int entries = 0;
  for (bool b : names.first) entries += b ? 1 : 0;
  group(out, "0", "SECTION");
  group(out, "2", "TABLES");
  group(out, "0", "TABLE");
  group(out, "2", "LTYPE");
  group_int(out, "70", entries);
  for (int i = 0; i < 8; ++i) {
    if (!names.first[i]) continue;
    const LineTypeDef& t = line_types[i];
    const int pairs = t.pairs <= 3 ? t.pairs : 3;
    group(out, "0", "LTYPE");
    group(out, "2", names.name[i]);
    group(out, "70", "64");
    group(out, "3", names.name[i]);
    group(out, "72", "65");
    group_int(out, "73", 2 * pairs);
    group_real(out, "40", t.period / 10.0 * f);
    for (int k = 0; k < pairs; ++k) {
      group_real(out, "49", t.dash[k] / 10.0 * f);
      group_real(out, "49", -(t.gap[k] / 10.0) * f);
    }
  }
  group(out, "0", "ENDTAB");
  group(out, "0", "TABLE");
  group(out, "2", "LAYER");
  group(out, "70", "8");
  for (int n = 101; n <= 108; ++n) {
    group(out, "0", "LAYER");
    group_int(out, "2", n);
    group(out, "70", "64");
    group_int(out, "62", n - 94);
    group(out, "6", "CONTINUOUS");
  }
  group(out, "0", "ENDTAB");
  out << "  0\nTABLE\n  2\nDIMSTYLE\n 70\n     1\n"
         "  0\nDIMSTYLE\n  2\nSTANDARD\n 70\n     0\n"
         "  3\n\n  4\n\n  5\n\n  6\n\n  7\n\n"
         " 40\n1.0\n 41\n0.18\n 42\n0.0625\n 43\n0.38\n 44\n0.18\n"
         " 45\n0.0\n 46\n0.0\n 47\n0.0\n 48\n0.0\n"
         "140\n0.18\n141\n0.09\n142\n0.0\n143\n25.4\n144\n1.0\n145\n0.0\n146\n1.0\n147\n0.09\n"
         " 71\n     0\n 72\n     0\n 73\n     1\n 74\n     1\n"
         " 75\n     0\n 76\n     0\n 77\n     0\n 78\n     0\n170\n     0\n"
         "171\n     2\n172\n     0\n173\n     0\n174\n     0\n175\n     0\n176\n     0\n177\n     0\n"
         "178\n     0\n"
         "  0\nENDTAB\n"
         "0\nENDSEC\n";
}

void dxf_write_tables_3d(OutText& out) {
  std::vector<std::string> names;
  for (const MeshElem* m : meshes_3d()) {
    if (static_cast<int>(names.size()) >= MAX_MATERIAL_LAYERS) break;
    std::string name = safe_symbol(m->material.c_str(), "Default");
    bool known = false;
    for (const std::string& n : names) known = known || n == name;
    if (!known) names.push_back(std::move(name));
  }
  group(out, "0", "SECTION");
  group(out, "2", "TABLES");
  group(out, "0", "TABLE");
  group(out, "2", "LAYER");
  group_int(out, "70", static_cast<long long>(names.size()));
  for (const std::string& n : names) {
    group(out, "0", "LAYER");
    group(out, "2", n);
    group(out, "70", "64");
    group(out, "62", "0");
    group(out, "6", "CONTINUOUS");
  }
  group(out, "0", "ENDTAB");
  group(out, "0", "ENDSEC");
}

void dxf_write_blocks(OutText& out) {
  out << " 0\nSECTION\n 2\nBLOCKS\n"
         "  0\nBLOCK\n  8\n0\n  2\n*D0\n 70\n     1\n 10\n0.0\n 20\n0.0\n 30\n0.0\n"
         "  0\nENDBLK\n"
         " 0\nENDSEC\n";
}

void dxf_write_entities_2d(OutText& out) {
  group(out, "0", "SECTION");
  group(out, "2", "ENTITIES");
  {
    DxfWriter w{out, dxf_line_type_names()};
    OutdevInstall guard(w);
    outdev.line = dxf_out_line;
    outdev.arc = dxf_out_arc;
    outdev.text = dxf_out_text;
    outdev.room = dxf_out_room;
    outdev.dimension = dxf_out_dimension;
    outdev.fill = dxf_out_fill;
    outdev.active = 1;
    draw_scope(DRAW_PLAIN, DrawScope::MARKED);
  }
  group(out, "0", "ENDSEC");
  group(out, "0", "EOF");
}

void dxf_write_3dfaces(OutText& out, const FaceList& faces) {
  const double f = dxf_unit_factor;
  auto corner = [&](const char* cx, const char* cy, const char* cz, int32_t v) {
    const Point3 p = v >= 0 && v < static_cast<int32_t>(faces.vertices.size()) ? faces.vertices[v] : Point3{};
    group_real(out, cx, p.x * f);
    group_real(out, cy, p.y * f);
    group_real(out, cz, p.z * f);
  };
  for (int32_t k = 0; k < faces.triangle_count; ++k) {
    group(out, "0", "3DFACE");
    group(out, "8", "Default");
    corner("10", "20", "30", faces.t0[k]);
    corner("11", "21", "31", faces.t1[k]);
    corner("12", "22", "32", faces.t2[k]);
    corner("13", "23", "33", faces.t2[k]);
  }
}

void dxf_write_entities_3d(OutText& out) {
  group(out, "0", "SECTION");
  group(out, "2", "ENTITIES");
  for (const MeshElem* m : meshes_3d()) {
    std::unique_ptr<FaceList, FaceListFree> faces(tri_faces_new(m));
    tri_triangulate_faces(faces.get(), 0);
    dxf_write_3dfaces(out, *faces);
  }
  group(out, "0", "ENDSEC");
  group(out, "0", "EOF");
}

bool dxf_write(std::FILE* f, int mode) {
  FileOut out(f);
  const bool three_d = mode == DXF_OUT_3D || mode == DXF_OUT_3D_ENTITIES;
  dxf_write_header(out);
  if (mode == DXF_OUT_2D) dxf_write_tables(out);
  if (mode == DXF_OUT_3D) dxf_write_tables_3d(out);
  dxf_write_blocks(out);
  if (three_d)
    dxf_write_entities_3d(out);
  else
    dxf_write_entities_2d(out);
  out.flush();
  std::fflush(stdout);
  return out.ok() && std::fflush(f) == 0 && !std::ferror(f);
}

void dxf_export() {
  ExportMarks marks;
  ElemHeader* e;
  switch (dxf_settings.export_scope) {
    case DXF_OBJECTS_VISIBLE:
      for (elem_first(&e); e; elem_next(&e))
        if (e->layer == cur_layer || layer_shown(e->layer)) e->mark = 1;
      break;
    case DXF_OBJECTS_ALL:
      for (elem_first(&e); e; elem_next(&e)) e->mark = 1;
      break;
    default:
      if (export_scope_select(0) != 1) return;
      break;
  }
  dxf_set_unit(dxf_settings.export_unit);
  const std::string path = export_name_choose(nls_translate("Export DXF..."), std::string(import_file.view()),
                                              import_path.c_str(), ".dxf");
  if (path == "cancel") return;

  const int mode = dxf_settings.export_mode;
  const bool three_d = mode == DXF_OUT_3D || mode == DXF_OUT_3D_ENTITIES;
  FioSafeWriter file(path);
  if (!file.stream()) {
    ui().msgbox_error(nls_translate("Cannot open file"));
    return;
  }
  if (path.size() < import_file.capacity) import_file = path;
  bool written;
  if (three_d) {
    WallTempMeshes meshes;
    written = dxf_write(file.stream(), mode) && file.commit();
  } else {
    written = dxf_write(file.stream(), mode) && file.commit();
  }
  if (!written) ui().msgbox_error(nls_translate("Cannot write file"));
}
