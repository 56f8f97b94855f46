#include "display_fixture.h"

namespace {

RecordingOutdev* recorder = nullptr;

void record(const char* slot, int pen, int lt, std::vector<double> v, std::string text = {}) {
  if (!recorder) return;
  recorder->calls.push_back({slot, pen, lt, std::move(v), outdev.draw_mode, outdev.active, std::move(text)});
}

void rec_dimension(uint8_t pen, uint8_t lt, uint8_t fp, uint8_t flt, double dir, double size, double width,
                   double space, double chain, double help, const char* font, uint8_t format,
                   uint8_t end_mark, uint8_t kind, int32_t n, const DimPoint*) {
  record("dimension", pen, lt,
         {double(fp), double(flt), dir, size, width, space, chain, help, double(format), double(end_mark),
          double(kind), double(n)},
         font ? font : "");
}

void rec_room(uint8_t pen, uint8_t lt, double lx, double ly, const char* font, double angle, double height,
              double wf, double spacing, double ls, const char* desc, const char* number, double factor,
              double base_z, double top_z, int32_t sa, int32_t sv, int32_t sd, int32_t sn, int32_t n,
              const Point2*) {
  record("room", pen, lt,
         {lx, ly, angle, height, wf, spacing, ls, factor, base_z, top_z, double(sa), double(sv), double(sd),
          double(sn), double(n)},
         std::string(font ? font : "") + "|" + (desc ? desc : "") + "|" + (number ? number : ""));
}

void rec_bezier(uint8_t pen, uint8_t lt, double x0, double y0, double x1, double y1, double x2, double y2,
                double x3, double y3) {
  record("bezier", pen, lt, {x0, y0, x1, y1, x2, y2, x3, y3});
}

void rec_text(uint8_t pen, uint8_t lt, double x, double y, double angle, double height, double wf,
              double spacing, double ls, const char* text, double fit, const char* font, uint8_t align) {
  record("text", pen, lt, {x, y, angle, height, wf, spacing, ls, fit, double(align)},
         std::string(text ? text : "") + "|" + (font ? font : ""));
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

RecordingOutdev::RecordingOutdev() {
  outdev.dimension = rec_dimension;
  outdev.room = rec_room;
  outdev.bezier = rec_bezier;
  outdev.text = rec_text;
  outdev.arc = rec_arc;
  outdev.line = rec_line;
  outdev.fill = rec_fill;
  recorder = this;
}

RecordingOutdev::~RecordingOutdev() { recorder = nullptr; }

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
