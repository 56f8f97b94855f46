#include "support/recording_device.h"

#include <charconv>
#include <cmath>

#include "model/geom.h"

namespace {

const char HEX[] = "0123456789ABCDEF";

std::string quoted(const char* s) {
  std::string out = "\"";
  for (const char* p = s ? s : ""; *p; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20 || c >= 0x7F) {
      out += "\\x";
      out += HEX[c >> 4];
      out += HEX[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string num(double v) { return recording_number(v); }

std::string xy(double x, double y) { return num(x) + "," + num(y); }

std::string pen_lt(uint8_t pen, uint8_t lt) { return std::to_string(pen) + "/" + std::to_string(lt); }

std::string points(const Point2* p, std::size_t n) {
  std::string out;
  for (std::size_t i = 0; i < n; ++i)
    out += geom_is_end_marker(p[i].x, p[i].y) ? " end" : " " + xy(p[i].x, p[i].y);
  return out;
}

// Appends the draw mode and hands the line to the installed recorder.
void put(std::string line) {
  RecordingDevice* device = outdev_writer<RecordingDevice>();
  if (!device) return;
  switch (outdev.draw_mode) {
    case DRAWMODE_NORMAL:
      break;
    case DRAWMODE_SELECTED:
      line += " [selected]";
      break;
    case DRAWMODE_ERASE:
      line += " [erase]";
      break;
    case DRAWMODE_OTHER_LAYER:
      line += " [other layer]";
      break;
    default:
      line += " [mode " + std::to_string(outdev.draw_mode) + "]";
      break;
  }
  device->write_line(line);
}

void rec_dimension(const DimElem& d) {
  std::string line = "dimension " + pen_lt(d.pen, d.line_type) + " kind=" + std::to_string(d.dim_kind) +
                     " format=" + std::to_string(d.format) + " end_mark=" + std::to_string(d.end_mark) +
                     " direction=" + num(d.direction) +
                     " figure=" + pen_lt(d.figure_pen, d.figure_line_type) + " size=" + num(d.figure_size) +
                     " width=" + num(d.figure_width) + " space=" + num(d.figure_space) +
                     " chain_space=" + num(d.chain_space) + " help=" + num(d.help_line_length) +
                     " font=" + quoted(d.font.c_str());
  for (const DimPoint& p : d.points)
    line += " [" + xy(p.line_point.x, p.line_point.y) + " measured=" + xy(p.measured.x, p.measured.y) +
            " length=" + num(p.segment_length) + " override=" + num(p.override_value) +
            " second=" + num(p.second_value) + " shift=" + xy(p.text_dx, p.text_dy) + "]";
  put(line);
}

void rec_room(const RoomElem& r) {
  put("room " + pen_lt(r.pen, r.line_type) + " label=" + xy(r.label.x, r.label.y) +
      " font=" + quoted(r.font.c_str()) + " angle=" + num(r.angle) + " height=" + num(r.height) +
      " width=" + num(r.width_factor) + " spacing=" + num(r.spacing) +
      " line_spacing=" + num(r.line_spacing) + " description=" + quoted(r.description.c_str()) +
      " number=" + quoted(r.number.c_str()) + " factor=" + num(r.area_factor) +
      " z=" + xy(r.base_z, r.top_z) + " show=" + std::to_string(r.show_area) + "," +
      std::to_string(r.show_volume) + "," + std::to_string(r.show_description) + "," +
      std::to_string(r.show_number) + points(r.points.data(), r.points.size()));
}

void rec_bezier(uint8_t pen, uint8_t lt, double x0, double y0, double x1, double y1, double x2, double y2,
                double x3, double y3) {
  put("bezier " + pen_lt(pen, lt) + " " + xy(x0, y0) + " " + xy(x1, y1) + " " + xy(x2, y2) + " " +
      xy(x3, y3));
}

void rec_text(const OutdevText& t) {
  put("text " + pen_lt(t.pen, t.lt) + " at=" + xy(t.x, t.y) + " angle=" + num(t.angle) +
      " height=" + num(t.height) + " width=" + num(t.width_factor) + " spacing=" + num(t.spacing) +
      " line_spacing=" + num(t.line_spacing) + " fit=" + num(t.fit_length) +
      " align=" + std::to_string(t.alignment) + " font=" + quoted(t.font) + " " + quoted(t.text));
}

void rec_arc(uint8_t pen, uint8_t lt, double cx, double cy, double rx, double ry, double sweep, double start,
             double rotation) {
  put("arc " + pen_lt(pen, lt) + " centre=" + xy(cx, cy) + " radii=" + xy(rx, ry) + " sweep=" + num(sweep) +
      " start=" + num(start) + " rotation=" + num(rotation));
}

void rec_line(uint8_t pen, uint8_t lt, double x1, double y1, double x2, double y2) {
  put("line " + pen_lt(pen, lt) + " " + xy(x1, y1) + " " + xy(x2, y2));
}

void rec_fill(double r, double g, double b, int32_t n, const Point2* p) {
  put("fill rgb=" + num(r) + "," + num(g) + "," + num(b) + points(p, p && n > 0 ? n : 0));
}

}  // namespace

RecordingDevice::RecordingDevice(unsigned slots, uint8_t active) : guard_(*this) {
  if (slots & DIMENSION) outdev.dimension = rec_dimension;
  if (slots & ROOM) outdev.room = rec_room;
  if (slots & BEZIER) outdev.bezier = rec_bezier;
  if (slots & TEXT) outdev.text = rec_text;
  if (slots & ARC) outdev.arc = rec_arc;
  if (slots & LINE) outdev.line = rec_line;
  if (slots & FILL) outdev.fill = rec_fill;
  outdev.active = active;
}

void RecordingDevice::write_line(const std::string& line) {
  text_ += line;
  text_ += '\n';
}

std::string recording_number(double v) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
  char buf[400];
  const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 6);
  std::string s(buf, res.ptr);
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  if (s == "-0") s = "0";
  return s;
}
