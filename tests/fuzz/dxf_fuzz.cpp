// libFuzzer target for the DXF reader. Each input is read with each layer
// mode and with 3D lines; a failed read must leave no elements. What the
// first read makes goes into the drawing and out again through the
// program's own DXF export; reading that export back must make every plain
// line, circle and arc of the first read again, to the six decimals the
// export writes. A crash, a sanitizer report, a leak, a hang or a broken
// round trip fails.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <tuple>

#include "display/outdev.h"
#include "display/view.h"
#include "exchange/dxf_common.h"
#include "exchange/dxf_reader.h"
#include "exchange/dxf_writer.h"
#include "exchange/out_text.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/layers.h"
#include "model/undo.h"

namespace {

// A round trip of a few thousand elements stays quick; larger drawings are
// read and freed only.
constexpr std::size_t ROUND_TRIP_MOST = 4000;

// A value as the export writes it and the import reads it back (metres).
double written(double v) {
  StringOut s;
  s.fixed(v, 6);
  const std::string& t = s.text();
  return std::strtod(t.c_str(), nullptr);
}

using Key = std::tuple<int, double, double, double, double>;

// The plain lines and the circles and arcs of one read, as the export
// writes them. Arcs near no sweep or a full turn are left aside: the
// rounding of their angles may carry them across the reader's limits.
std::map<Key, int> shapes(const DxfImport& r, bool as_written) {
  std::map<Key, int> out;
  auto v = [as_written](double x) { return as_written ? written(x) : x; };
  for (const auto& e : r.elements) {
    if (const LineElem* l = elem_as<LineElem>(e.get())) {
      ++out[{0, v(l->p1.x), v(l->p1.y), v(l->p2.x), v(l->p2.y)}];
    } else if (const ArcElem* a = elem_as<ArcElem>(e.get())) {
      if (a->radius_x != a->radius_y || !(a->radius_x > 0.0)) continue;
      const double turn = 2 * 3.141592653589793;
      const bool full = a->sweep == turn;
      if (!full && (a->sweep < 0.001 || a->sweep > turn - 0.001)) continue;
      ++out[{full ? 1 : 2, v(a->centre.x), v(a->centre.y), v(a->radius_x), 0.0}];
    }
  }
  return out;
}

void round_trip(DxfImport& first) {
  if (first.elements.empty() || first.elements.size() > ROUND_TRIP_MOST) return;
  // Beyond this the six decimals of the export hold more digits than a
  // double, and the drawing pass need not draw what lies so far out.
  for (const auto& e : first.elements) {
    bool far = false;
    auto check = [&far](double x) { far = far || !(std::fabs(x) < 1e9); };
    if (const LineElem* l = elem_as<LineElem>(e.get())) {
      check(l->p1.x), check(l->p1.y), check(l->p2.x), check(l->p2.y);
    } else if (const ArcElem* a = elem_as<ArcElem>(e.get())) {
      check(a->centre.x), check(a->centre.y), check(a->radius_x), check(a->radius_y);
    }
    if (far) return;
  }
  const std::map<Key, int> want = shapes(first, true);
  dxf_import_commit(first);
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 1;
  char* data = nullptr;
  std::size_t size = 0;
  std::FILE* f = open_memstream(&data, &size);
  if (!f) return;
  dxf_set_unit(DXF_UNIT_M);
  const bool ok = dxf_write(f, DXF_OUT_2D);
  std::fclose(f);
  const std::string text(data, size);
  std::free(data);
  if (!ok) __builtin_trap();
  std::istringstream in(text);
  DxfImportOptions options;
  DxfImport second = dxf_read(in, options);
  if (second.error != DxfError::NONE) __builtin_trap();
  // Everything the first read made is there again; the export may add
  // (the lines of hatches and dimensions), never lose.
  std::map<Key, int> have = shapes(second, false);
  for (const auto& [key, count] : want) {
    auto it = have.find(key);
    if (it == have.end() || it->second < count) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const bool once = [] {
    std::freopen("/dev/null", "w", stdout);
    main_init_defaults();
    outdev_init_screen_slots();
    view_init(0);
    return true;
  }();
  (void)once;
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (int variant = 0; variant < 3; ++variant) {
    DxfImportOptions options;
    options.unit = variant;
    options.layer_mode = variant == 1;
    options.line_mode = variant == 2;
    options.first_layer = variant == 1 ? 998 : 0;
    std::istringstream in(text);
    DxfImport result = dxf_read(in, options);
    if (result.error != DxfError::NONE && !result.elements.empty()) __builtin_trap();
    if (variant == 0) {
      if (result.error == DxfError::NONE) round_trip(result);
      dxf_import_commit(result);
      undo_record(UNDO_CLEAR, 0);
      drawing_free();
      drawing_init();
    }
  }
  return 0;
}
