#pragma once

// HPGL plotting (p_file_plot): the chosen elements on one sheet placed by
// its centre in the drawing, in HPGL or HPGL/2, to the plot command or to a
// file. The drawing is plotted once per pen, each pass drawing only that
// pen's strokes; HPGL/2 also carries a pen palette (the eight pens and the
// colours of filled patterns), user line types and filled polygons. There
// is no page test: everything chosen is plotted, also beyond the sheet.

#include <cstdio>
#include <string>

#include "exchange/export_2d.h"

struct HpglJob {
  int type = 0;  // 0 HPGL, 1 HPGL/2 mono, 2 HPGL/2 colour
  bool centred = false;
  bool landscape = false;
  double paper_w = 0.0, paper_h = 0.0;  // cm, portrait order
  double scale = 100.0;                 // 1:scale on the sheet
  double resolution = 0.0025;           // cm per plotter unit
  double frame_x = 0.0, frame_y = 0.0;  // the sheet's centre in the drawing
  std::string start, end;               // written before and after the passes
};

// The plot of the sheet centred at (fx, fy), by the plot settings.
HpglJob hpgl_job(double fx, double fy);

struct HpglPoint {
  int x = 0, y = 0;
};
// A drawing point in plotter units, truncated towards zero.
HpglPoint hpgl_to_plotter_units(const HpglJob& job, double x, double y);

// Header, the start text, the eight pen passes over the marked elements,
// the end text. False when a write failed.
bool hpgl_write(std::FILE* f, const HpglJob& job);

// "Plot HPGL:" with the scope answers; marks what is plotted. 1 to go on,
// 0 when cancelled.
int hpgl_ask_scope();

void hpgl_plot();
// Plotting after the scope and the frame: the output method, the file, the
// plot command.
void hpgl_plot_at(double fx, double fy);

// The rubber bands of the sheet centred at the pointer and at the entered
// point; turned by +90 degrees in landscape.
void preview_hpgl_frame(InputRequest* request, double x, double y);
void preview_hpgl_frame_confirm(InputRequest* request, double x, double y);
