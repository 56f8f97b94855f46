#include "exchange/export_2d.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "display/draw.h"
#include "display/export_name.h"
#include "display/ink_box.h"
#include "display/text_mode.h"
#include "display/view_commands.h"
#include "exchange/export_check.h"
#include "exchange/out_text.h"
#include "model/files/fio.h"
#include "model/geom.h"
#include "model/nls.h"
#include "model/ui.h"
#include "platform/process.h"
#include "platform/temp_folder.h"

bool ExportPage::segment_visible(double x1, double y1, double x2, double y2) const {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  return !(x1 > x + w || y1 > y + h || x > x2 || y > y2);
}

bool ExportPage::point_visible(double px, double py) const {
  return x <= px && px <= x + w && y <= py && py <= y + h;
}

bool ExportPage::bezier_visible(double x0, double y0, double x1, double y1, double x2, double y2, double x3,
                                double y3) const {
  return segment_visible(x0, y0, x3, y3) || segment_visible(x1, y1, x2, y2);
}

bool ExportPage::arc_visible(double cx, double cy, double rx, double ry) const {
  const double r = geom_max(rx, ry);
  return segment_visible(cx - r, cy - r, cx + r, cy + r);
}

bool ExportPage::fill_visible(int32_t n, const Point2* points) const {
  for (int32_t i = 0; i < n; ++i)
    if (!geom_is_end_marker(points[i].x, points[i].y) && point_visible(points[i].x, points[i].y)) return true;
  return false;
}

bool ExportPage::written_text_visible(const OutdevText& t) const {
  InkBox ink;
  ink_add_text_mode(ink, t);
  if (!ink.started) return point_visible(t.x, t.y);
  return segment_visible(ink.xmin, ink.ymin, ink.xmax, ink.ymax);
}

double export_pt_per_metre(double n) { return 100.0 / n * 72.0 / 2.54; }

ExtentsPage export_extents_page(double units_per_metre, bool text_mode) {
  view_zoom_to_extents(text_mode ? 4 : 2);
  const double grow = 2.0 / units_per_metre;
  extents.xmin -= grow;
  extents.ymin -= grow;
  extents.xmax += grow;
  extents.ymax += grow;
  ExtentsPage p;
  p.xmin = extents.xmin;
  p.ymin = extents.ymin;
  p.xmax = extents.xmax;
  p.ymax = extents.ymax;
  p.width = (p.xmax - p.xmin) * units_per_metre;
  p.height = (p.ymax - p.ymin) * units_per_metre;
  p.window = ExportPage{p.xmin, p.ymin, p.width / units_per_metre, p.height / units_per_metre};
  return p;
}

int export_pen(uint8_t pen) { return pen < PEN_COUNT ? pen : 0; }
int export_line_type(uint8_t line_type) { return line_type < LINE_TYPE_COUNT ? line_type : 0; }
const PenDef& export_pen_def(uint8_t pen) { return pens[export_pen(pen)]; }
const LineTypeDef& export_line_type_def(uint8_t line_type) { return line_types[export_line_type(line_type)]; }

void export_string_literal(OutText& out, std::string_view text) {
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\\' || c == '(' || c == ')') {
      out << '\\' << c;
    } else if (u < 32 || u > 126) {
      const char octal[4] = {'\\', static_cast<char>('0' + (u >> 6)), static_cast<char>('0' + ((u >> 3) & 7)),
                             static_cast<char>('0' + (u & 7))};
      out << std::string_view(octal, 4);
    } else {
      out << c;
    }
  }
}

ExportMarks::~ExportMarks() {
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 0;
  view_redraw();
}

int export_ask_text_mode() {
  const char* labels[] = {nls_translate("Export graphics(WYSIWYG)"),
                          nls_translate("Export text(For later editing)"), nls_translate("Cancel")};
  const int answer = ui().msgbox_ask(nls_translate("Text export:"), 3, labels);
  return answer == 1 || answer == 2 ? answer : 0;
}

int export_ask_output_method(const char* device_label) {
  const char* labels[] = {nls_translate(device_label), nls_translate("To File"), nls_translate("Cancel")};
  const int answer = ui().msgbox_ask(nls_translate("Output method:"), 3, labels);
  return answer == 1 || answer == 2 ? answer : 0;
}

std::string export_choose_file(const char* title, const char* suffix) {
  std::string path = export_name_choose(title, std::string(export_file.view()), export_path.c_str(), suffix);
  return path == "cancel" ? std::string() : path;
}

std::string export_spool_path(const char* name) {
  const std::string& dir = temp_folder();
  return dir.empty() ? std::string() : dir + "/" + name;
}

bool export_write_file(const std::string& path, const std::function<bool(std::FILE*)>& write) {
  FioSafeWriter out(path);
  if (!out.stream()) {
    ui().msgbox_error(nls_translate("Cannot open file"));
    return false;
  }
  if (path.size() < export_file.capacity) export_file = path;
  export_refused_clear();
  const bool written = write(out.stream());
  // A writer that found it could not write a sound file says why; what it
  // wrote so far is dropped with the temporary file.
  if (!export_refused().empty()) {
    ui().msgbox_error(export_refused().c_str());
    return false;
  }
  if (!(written && out.commit())) {
    ui().msgbox_error(nls_translate("Cannot write file"));
    return false;
  }
  return true;
}

bool export_spool(const char* command, const std::string& path, const char* error_text) {
  auto words = process_split_command(command ? command : "");
  ProcessRequest request;
  if (words && !words->empty()) {
    request.argv = std::move(*words);
    request.argv.push_back(path);
    request.wait = false;
    if (process_start(request).started) return true;
  }
  ui().msgbox_error(nls_translate(error_text));
  return false;
}

bool export_frame_request(InputPreviewFn set_preview, InputPreviewFn confirm_preview, double* x, double* y) {
  InputRequest r;
  r.transparent = 1;
  input_set_step(&r, 0, STEP_POINT, nls_translate("Set frame:"), set_preview);
  input_set_step(&r, 1, STEP_CONFIRM, nls_translate("Move/Confirm:"), confirm_preview);
  if (input_run_request(&r) != INPUT_DONE) return false;
  *x = r.x[0];
  *y = r.y[0];
  return true;
}
