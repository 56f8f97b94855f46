#pragma once

// The drawing areas: each view's backing store, palette and dirty
// rectangle, clipping against the view's world window, and the lowest
// drawing primitives.
//
// Every view draws into a cairo image surface of its pixel size (RGB24,
// antialiasing off), made by view_offscreen: the same surface on screen and
// off screen. A view without a surface ignores every primitive. Normal
// drawing grows one dirty rectangle that view_flush_dirty hands to the
// present hook; inverting drawing (rubber bands, markers, the program's
// cursor) presents its own small box at once, and drawing the same inverted
// figure twice gives back the pixels byte for byte.
//
// Pixel coordinates: a whole pixel (x, y) is drawn at its centre. One-pixel
// lines cover both end pixels.

#include <cstdint>
#include <vector>

#include "model/elem.h"
#include "model/settings.h"
#include "model/view_rec.h"

typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo cairo_t;

// The scale denominator N of the main view (1:N).
extern double view_scale;
// One pixel at 1:N covers N x screen_aspect / SCREEN_SCALE_DIVISOR metres.
inline constexpr double SCREEN_SCALE_DIVISOR = 30000.0;

// The palette of a view: background, marked elements, guide elements, the
// eight pens, the eight pens dimmed towards the background.
inline constexpr int VIEW_PALETTE_SIZE = 19;
enum : uint8_t {
  PAL_BACKGROUND = 0,
  PAL_SELECTED = 1,
  PAL_GUIDE = 2,
  PAL_PEN_0 = 3,
  PAL_DIMMED_PEN_0 = 11,
};

// Backing store and drawing context of each view; null until view_offscreen.
extern cairo_surface_t* view_pixmaps[VIEW_COUNT];
extern cairo_t* view_gcs[VIEW_COUNT];
// The palette of each view as RGB24 pixel values (0x00RRGGBB).
extern uint32_t view_palettes[VIEW_COUNT][VIEW_PALETTE_SIZE];
// The colours of the last palette built, channels 0..1.
extern Rgb palette_rgb[VIEW_PALETTE_SIZE];

// The ends of the last segment view_clip_line found visible, in world
// coordinates and in pixels of the current view.
struct ClipResult {
  double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
  int16_t sx1 = 0, sy1 = 0, sx2 = 0, sy2 = 0;
};
extern thread_local constinit ClipResult clip_result;

// The pointer over view 0 in pixels, (-1, -1) while it is outside; the world
// position of the last click in view 0.
struct PixelPoint {
  double x = -1.0, y = -1.0;
};
extern PixelPoint pointer_pixel;
extern Point2 cursor_world;
// The pointer's world position, kept up to date by the coordinate display.
extern Point2 pointer_world;

// The one dirty rectangle, in pixels of the current view.
struct DirtyRect {
  double xmin = 0.0, ymin = 0.0, xmax = 0.0, ymax = 0.0;
  bool dirty = false;
};
extern DirtyRect view_dirty;

// Calls from the drawing code up to whoever shows it; each may stay null.
struct DisplayHooks {
  // Copies a box of view k's backing store to its window.
  void (*present)(int k, int x, int y, int w, int h) = nullptr;
  // Hides or shows the program's cursor and the waiting step's rubber band.
  void (*cursor_toggle)() = nullptr;
  // Toggles the point markers of the points entered so far.
  void (*request_markers_toggle)() = nullptr;
};
extern DisplayHooks display_hooks;

// While an object of this class lives, the program's cursor and the waiting
// step's rubber band are off the screen (through display_hooks, so nothing
// happens where no input engine is installed): drawing done meanwhile leaves
// nothing of them behind.
class CursorHidden {
 public:
  CursorHidden() { toggle(); }
  ~CursorHidden() { toggle(); }
  CursorHidden(const CursorHidden&) = delete;
  CursorHidden& operator=(const CursorHidden&) = delete;

 private:
  static void toggle() {
    if (display_hooks.cursor_toggle) display_hooks.cursor_toggle();
  }
};

// An RGB colour as the RGB24 pixel value it is drawn with: each channel
// taken to 16 bits (truncated) and then to its upper 8 bits.
uint32_t view_rgb_pixel(double r, double g, double b);

// cur_view = k, view_scale = 500, view k's window (-10, -10) to (10, 10).
void view_init(int k);
// Recomputes view k's window about its centre from view_scale,
// screen_aspect and the pixel box. A view with an empty pixel box is left
// as it is.
void view_apply_scale(int k);
// Gives view k a backing store of w x h pixels filled white, the pixel box
// (0, 0, w, h), its window from the scale and its palette: what a configure
// of the drawing area does, without a widget. False (and no store) for a
// size outside 1..32767 or when the store cannot be made.
bool view_offscreen(int k, int w, int h);
// Releases view k's store; its primitives do nothing until the next
// view_offscreen.
void view_release(int k);
void view_free_all();
// Builds view k's palette from the display colours and the pens.
void view_alloc_palette(int k);
// View k's store with every drawing written to it, ready to be read or
// copied; null when the view has none.
cairo_surface_t* view_surface(int k);
// Writes view k's store as a PNG file; false when it has none or the write fails.
bool view_write_png(int k, const char* path);

void view_clear();
void view_clear_and_refresh();
void view_add_dirty(double x1, double y1, double x2, double y2);
// The whole store of the current view.
void view_add_dirty_all();
void view_flush_dirty();
// While 1, each drawn element and point marker is shown at once
// (view_flush_dirty after it); batches of drawing hold it at 0 and show
// their dirty rectangle once at the end.
extern uint8_t draw_refresh_now;

// Pixel primitives of the current view; coordinates are truncated to whole
// pixels. Width 0 and 1 draw a one-pixel line.
void view_draw_pen_line(uint8_t width, uint8_t colour, double x1, double y1, double x2, double y2);
void view_draw_rgb_line(double r, double g, double b, double x1, double y1, double x2, double y2);
void view_xor_line_px(double x1, double y1, double x2, double y2);
void view_xor_rect_px(double x1, double y1, double x2, double y2);

// Recording instead of drawing, so that several threads can draw one view:
// while a thread records, its one-pixel lines (all of view_draw_pen_line
// of width 0 or 1 and of view_draw_rgb_line) go as pixel operations into
// one list per band of rows of the current view, and nothing touches the
// view's store or its dirty rectangle. Played back band by band in the
// order of the lists, they give the very pixels drawing them at once would
// have given. A line wider than one pixel cannot be recorded: it is counted
// in `wide` and left out.
struct PixelOp {
  int16_t x1, y1, x2, y2;
  uint32_t pixel;
};
struct PixelRecording {
  std::vector<PixelOp>* bands = nullptr;  // band b holds rows b * band_rows ...
  int band_count = 0;
  int band_rows = 1;
  int wide = 0;
};
// Starts (or with null ends) recording on this thread.
void view_record_into(PixelRecording* recording);
// The rows of each of `bands` bands over the current view's store; 0 when
// the view has no store.
int view_band_rows(int bands);
// Writes the recorded operations of band b into the current view's store.
// Safe to run for different bands at once; the caller adds the dirty
// rectangle.
void view_play_band(const std::vector<PixelOp>& ops, int band, int band_rows);
// Lets cairo and direct writes of the current view agree before bands are
// played on several threads.
void view_prepare_direct();

// Clipping against the world window of the current view.
int view_clip_outcode(double x, double y);
// 1 when part of the segment lies in the window (ends in clip_result), else 0.
int view_clip_line(double x1, double y1, double x2, double y2);

// The inverting rubber band between two world points (clipped).
void draw_xor_line(double x1, double y1, double x2, double y2);
// The inverting rectangle between two world corners (not clipped).
void draw_xor_rect(double x1, double y1, double x2, double y2);
