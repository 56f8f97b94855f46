#pragma once

// A small paletted raster for drawing the installation's pictures and
// writing them as XPM. Pixel (x, y) has its centre at (x, y): shapes given
// with real coordinates cover the pixels whose centres they contain.

#include <string>
#include <string_view>
#include <vector>

// One key per colour, shared by every picture so that they keep one look.
namespace ink {
inline constexpr char clear = ' ';   // transparent: the widget's background shows
inline constexpr char black = '#';   // lines
inline constexpr char dark = '+';    // dark grey: secondary lines, shadows
inline constexpr char grey = ':';    // mid grey: hidden or removed parts
inline constexpr char light = '-';   // light grey: faces, paper edges
inline constexpr char white = 'w';   // paper, lit faces
inline constexpr char blue = 'b';    // the accent: arrows, markers, results
inline constexpr char pale = 'l';    // light blue faces
inline constexpr char mid = 'm';     // mid blue: shaded faces
inline constexpr char navy = 'd';    // dark blue faces and outlines
inline constexpr char red = 'r';     // removal
inline constexpr char green = 'g';   // a pen colour
inline constexpr char yellow = 'y';  // highlight
}  // namespace ink

struct Pt {
  double x, y;
};

class Canvas {
 public:
  Canvas(int w, int h);

  int width() const { return w_; }
  int height() const { return h_; }
  char at(int x, int y) const;

  void put(int x, int y, char c);
  void line(int x0, int y0, int x1, int y1, char c);
  // A line drawn `on` pixels, left out `off` pixels, and so on.
  void dashed(int x0, int y0, int x1, int y1, char c, int on, int off);
  void rect(int x0, int y0, int x1, int y1, char c);
  void fill_rect(int x0, int y0, int x1, int y1, char c);
  void polyline(const std::vector<Pt>& p, char c, bool closed);
  void fill_polygon(const std::vector<Pt>& p, char c);
  // A closed outline filled inside: fill first, then the edges.
  void polygon(const std::vector<Pt>& p, char edge, char fill);
  // A filled shape whose outline is the rim of its own pixels: symmetric
  // shapes stay symmetric where their corners fall between pixels.
  void solid(const std::vector<Pt>& p, char edge, char fill);
  void ellipse(double cx, double cy, double rx, double ry, char c);
  void fill_ellipse(double cx, double cy, double rx, double ry, char c);
  // Part of an ellipse outline between two angles in degrees, counter-clockwise
  // on screen (y grows downwards, so 90 is the top).
  void arc(double cx, double cy, double rx, double ry, double from, double to, char c);
  // A filled arrow head with its tip at (tx, ty), pointing along (dx, dy).
  void arrow_head(double tx, double ty, double dx, double dy, double length, double half_width, char c);
  // Pixels within width / 2 of the segment.
  void thick_line(double x0, double y0, double x1, double y1, double width, char c);
  // The band between an ellipse and the one `width` pixels inside it, between
  // two angles as for arc().
  void ring(double cx, double cy, double rx, double ry, double width, double from, double to, char c);
  void flood(int x, int y, char c);
  // Recolours the pixels of the drawing that touch the transparent
  // background (or the picture's edge) with `edge`.
  void rim(char edge);
  // Draws another canvas's opaque pixels at (x0, y0), mirrored if asked.
  void paste(const Canvas& src, int x0, int y0, bool mirror = false);
  // Copies a block of text rows; a blank leaves the pixel as it is.
  void art(int x0, int y0, const std::vector<std::string_view>& rows);
  // Text in the built-in 5 x 7 letters, scaled by `scale`; returns the width used.
  int text(int x, int y, std::string_view s, char c, int scale = 1);
  static int text_width(std::string_view s, int scale = 1);

  // The picture as an XPM file body; `symbol` names its array.
  std::string to_xpm(std::string_view symbol) const;

 private:
  bool inside_ellipse(double x, double y, double cx, double cy, double rx, double ry) const;

  int w_, h_;
  std::vector<char> px_;
};
