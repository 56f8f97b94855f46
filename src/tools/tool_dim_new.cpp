// What the dimension tools share: the entry of a measured point, the second
// point of a dimension line, a figure's move in the dimension's own frame
// and a new dimension in the current style.

#include <cmath>

#include "display/input.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/presets.h"
#include "tools/dim_tools.h"
#include "tools/tool_common.h"

Point2 dim_line_second_point(Point2 p, double angle) {
  return Point2{p.x + 10.0 * std::cos(angle), p.y + 10.0 * std::sin(angle), 0};
}

DimPoint dim_chain_entry(Point2 p, Point2 q, Point2 m, int link) {
  const GeomProjection f = geom_projection(m.x, m.y, p.x, p.y, q.x, q.y);
  DimPoint d;
  d.line_point = Point2{f.x, f.y, 0};
  d.measured = link ? Point2{m.x, m.y, 0} : d.line_point;
  return d;
}

Point2 dim_displacement(double dx, double dy, double direction) {
  // Turned into [0, 2 pi] first, so that the quarter turns come out exact.
  double back = -direction;
  geom_norm_angle(&back);
  return geom_rotated(0.0, 0.0, dx, dy, back);
}

DimElem* dim_new_from_preset(int kind, double direction, int n, const DimPoint* entries,
                             std::string_view font, bool guide_figure) {
  const DimPreset& s = dim_preset;
  const int pen = elem_pen_or_guide(static_cast<unsigned>(s.chain_pen));
  const int figure_pen = guide_figure ? elem_pen_or_guide(static_cast<unsigned>(s.figure_pen)) : s.figure_pen;
  elem_new_dim(cur_layer, pen, s.chain_line_type, figure_pen, s.figure_line_type, direction, s.figure_size,
               s.figure_width, s.figure_space, s.chain_space, s.help_line_length, font, s.display_format,
               s.end_mark, kind, n, entries);
  return static_cast<DimElem*>(elem_list_tail);
}

void dim_remove(ElemHeader* e) {
  elem_unlink(e);
  elem_destroy(e);
  drawing_modified = 1;
}

int dim_ask_direction(InputRequest& r, double& angle) {
  const int res = tool_ask(r, {{STEP_POINT_OR_ANGLE, nls_mark("Angle/1st Direction point:")},
                               {STEP_NEXT_POINT, nls_mark("Move/2nd Direction point:")},
                               {STEP_CONFIRM, nls_mark("Move/Confirm:")}});
  if (res == INPUT_VALUE) angle = r.angle;
  if (res == INPUT_DONE) angle = geom_angle(r.x[0], r.y[0], r.x[1], r.y[1]);
  return res;
}
