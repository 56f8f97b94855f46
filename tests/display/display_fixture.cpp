#include "display_fixture.h"

namespace {

void record(const char* slot, int pen, int lt, std::vector<double> v, std::string text = {}) {
  RecordingOutdev* recorder = outdev_writer<RecordingOutdev>();
  if (!recorder) return;
  recorder->calls.push_back({slot, pen, lt, std::move(v), outdev.draw_mode, outdev.active, std::move(text)});
}

void rec_dimension(const DimElem& d) {
  record("dimension", d.pen, d.line_type,
         {double(d.figure_pen), double(d.figure_line_type), d.direction, d.figure_size, d.figure_width,
          d.figure_space, d.chain_space, d.help_line_length, double(d.format), double(d.end_mark),
          double(d.dim_kind), double(d.points.size())},
         d.font.c_str());
}

void rec_room(const RoomElem& r) {
  record("room", r.pen, r.line_type,
         {r.label.x, r.label.y, r.angle, r.height, r.width_factor, r.spacing, r.line_spacing, r.area_factor,
          r.base_z, r.top_z, double(r.show_area), double(r.show_volume), double(r.show_description),
          double(r.show_number), double(r.points.size())},
         std::string(r.font.c_str()) + "|" + r.description.c_str() + "|" + r.number.c_str());
}

void rec_bezier(uint8_t pen, uint8_t lt, double x0, double y0, double x1, double y1, double x2, double y2,
                double x3, double y3) {
  record("bezier", pen, lt, {x0, y0, x1, y1, x2, y2, x3, y3});
}

void rec_text(const OutdevText& t) {
  record("text", t.pen, t.lt,
         {t.x, t.y, t.angle, t.height, t.width_factor, t.spacing, t.line_spacing, t.fit_length,
          double(t.alignment)},
         std::string(t.text ? t.text : "") + "|" + (t.font ? t.font : ""));
}

void rec_arc(uint8_t pen, uint8_t lt, double cx, double cy, double rx, double ry, double sweep, double start,
             double rotation) {
  record("arc", pen, lt, {cx, cy, rx, ry, sweep, start, rotation});
}

void rec_line(uint8_t pen, uint8_t lt, double x1, double y1, double x2, double y2) {
  record("line", pen, lt, {x1, y1, x2, y2});
}

void rec_fill(double r, double g, double b, int32_t n, const Point2*) {
  record("fill", -1, -1, {r, g, b, double(n)});
}

}  // namespace

RecordingOutdev::RecordingOutdev() : guard_(*this) {
  outdev.dimension = rec_dimension;
  outdev.room = rec_room;
  outdev.bezier = rec_bezier;
  outdev.text = rec_text;
  outdev.arc = rec_arc;
  outdev.line = rec_line;
  outdev.fill = rec_fill;
}

std::vector<SlotCall> RecordingOutdev::of(const std::string& slot) const {
  std::vector<SlotCall> out;
  for (const SlotCall& c : calls)
    if (c.slot == slot) out.push_back(c);
  return out;
}

std::string RecordingOutdev::slots() const {
  std::string s;
  for (const SlotCall& c : calls) s += (s.empty() ? "" : " ") + c.slot;
  return s;
}
