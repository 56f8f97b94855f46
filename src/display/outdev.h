#pragma once

// The output-device table: every element reaches the screen, a printer or
// an export file through its seven slots. The drawing passes never draw
// themselves; they call the slot that fits. A writer installs its slots
// through an OutdevInstall guard that also carries the writer's own state,
// sets active and runs a drawing pass (draw_scope in display/draw.h); the
// slots it leaves alone keep the screen functions, which break their
// element down into calls of the other slots (display/outdev_breakdown.h).
// The screen device itself is display/outdev_screen.h.
//
// Coordinates are world units of the drawing plane, or view coordinates of
// the projection in 3D views. pen is 0..7 or PEN_GUIDE; lt a line type.

#include <cstdint>

#include "model/elem.h"

// One text for the text slot: a text element's fields, or a line of a
// room's inscription or a dimension's figure. Heights in paper millimetres.
struct OutdevText {
  uint8_t pen = 0;
  uint8_t lt = 0;
  double x = 0.0, y = 0.0;  // insertion point
  double angle = 0.0;
  double height = 0.0;
  double width_factor = 1.0;
  double spacing = 0.0;
  double line_spacing = 0.0;
  const char* text = "";  // may hold newlines; null counts as empty
  double fit_length = 0.0;
  const char* font = "";
  uint8_t alignment = TEXT_LEFT;
};

// The dimension and room slots take the element record (pen and line type
// from its header); a caller without an element fills a record of its own.
using OutdevDimensionFn = void (*)(const DimElem& dim);
using OutdevRoomFn = void (*)(const RoomElem& room);
using OutdevBezierFn = void (*)(uint8_t pen, uint8_t lt, double x0, double y0, double x1, double y1,
                                double x2, double y2, double x3, double y3);
using OutdevTextFn = void (*)(const OutdevText& text);
using OutdevArcFn = void (*)(uint8_t pen, uint8_t lt, double cx, double cy, double rx, double ry,
                             double sweep, double start, double rotation);
using OutdevLineFn = void (*)(uint8_t pen, uint8_t lt, double x1, double y1, double x2, double y2);
using OutdevFillFn = void (*)(double r, double g, double b, int32_t n, const Point2* points);

// Screen colour of the element being drawn.
enum : uint8_t {
  DRAWMODE_NORMAL = 0,
  DRAWMODE_SELECTED = 1,
  DRAWMODE_ERASE = 2,
  DRAWMODE_OTHER_LAYER = 3,
};

// What the installed writer brings besides its slots. Its slots reach the
// writer's own state (the stream it writes, its counters) through
// outdev_writer<T>(), never through file-scope variables.
struct OutdevContext {
  void* writer = nullptr;
  const void* writer_type = nullptr;  // tells which type writer points to
  // The pen whose pass runs, for writers that draw the drawing once per pen
  // (a plotter): their slots draw only what outdev_pen_in_pass lets
  // through. -1 before the first pass: no pen matches.
  int32_t pen_pass = -1;
};

struct OutputDevice {
  OutdevDimensionFn dimension = nullptr;
  OutdevRoomFn room = nullptr;
  OutdevBezierFn bezier = nullptr;
  OutdevTextFn text = nullptr;
  OutdevArcFn arc = nullptr;
  OutdevLineFn line = nullptr;
  OutdevFillFn fill = nullptr;
  uint8_t active = 0;  // 1 while output other than the screen is installed
  uint8_t draw_mode = DRAWMODE_NORMAL;
  OutdevContext context;
};
extern thread_local constinit OutputDevice outdev;

// Puts the screen functions into the seven slots, active and draw_mode 0,
// no writer context. Runs at start-up right after main_init_defaults
// (model/defaults.h); the screen device defines it.
void outdev_init_screen_slots();

// One address per writer type: what the context's type check compares.
template <class Writer>
const void* outdev_writer_type() {
  static const char tag = 0;
  return &tag;
}

// Saves the whole table on construction and puts it back on destruction,
// whatever way the scope is left. A writer or a dissolve installs its slots
// (and sets active) after making one. A writer that keeps state hands it to
// the guard, which makes it the context (with no pen pass) until the guard
// ends; the writer must outlive the guard.
class OutdevInstall {
 public:
  OutdevInstall() : saved_(outdev) {}
  template <class Writer>
  explicit OutdevInstall(Writer& writer) : saved_(outdev) {
    outdev.context = OutdevContext{&writer, outdev_writer_type<Writer>(), -1};
  }
  ~OutdevInstall() { outdev = saved_; }
  OutdevInstall(const OutdevInstall&) = delete;
  OutdevInstall& operator=(const OutdevInstall&) = delete;

 private:
  OutputDevice saved_;
};

// The installed writer's state when it is a Writer, else null.
template <class Writer>
Writer* outdev_writer() {
  const OutdevContext& c = outdev.context;
  return c.writer_type == outdev_writer_type<Writer>() ? static_cast<Writer*>(c.writer) : nullptr;
}

// Whether a stroke of this pen belongs to the running pen pass; the guide
// pen never does (passes are 0..7), and nothing does before the first pass.
bool outdev_pen_in_pass(uint8_t pen);
