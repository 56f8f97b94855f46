#pragma once

// The interactive view tools and the gauge: each asks its points through
// the input engine and then changes the view (or shows a measurement).
// They run from the command loop and, through transparent requests, in the
// middle of another tool's request.

struct InputRequest;

// f_zoom: two raw corners; the box then fills the view. Returns the input
// result (0 when the corners were given).
int view_zoom_window();
// f_pan: from one point to another; the "To" point comes to lie where
// "From" was.
int view_pan();
// f_mamid: a new centre at the same scale.
int view_zoom_center();
// b_gauge: measures between two snapped points until cancelled; returns the
// result that ended it.
int tool_gauge();

// Rubber bands: the rectangle from point 0 to the pointer, the line from
// point 0 to the pointer, and the view's window centred on the pointer.
void preview_zoom_window(InputRequest* request, double x, double y);
void preview_pan(InputRequest* request, double x, double y);
void preview_zoom_center(InputRequest* request, double x, double y);
