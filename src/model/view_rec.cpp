#include "model/view_rec.h"

ViewRec views[VIEW_COUNT];
int32_t cur_view = 0;
ViewCamera view_camera;

ViewRec& view_current() {
  if (cur_view < 0 || cur_view >= VIEW_COUNT) return views[0];
  return views[cur_view];
}
