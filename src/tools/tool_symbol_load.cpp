// Placing a symbol, the clipboard or the symbol chosen in the browser: the
// elements are read onto the temporary symbol layer, dragged to the
// insertion point, turned about their origin and given to the current layer
// as one new group (the clipboard keeps its own groups, renumbered).

#include <string>

#include "display/input.h"
#include "display/select.h"
#include "display/view_commands.h"
#include "model/elem.h"
#include "model/files/kavfile.h"
#include "model/files/symbol_file.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/ui.h"
#include "model/undo.h"
#include "model/view_rec.h"
#include "model/xform.h"
#include "tools/edit_tools.h"
#include "tools/tool_common.h"

namespace {

// The insertion point of the running placement, for the angle previews.
Point3 insertion;

// The symbol's origin (0, 0, 0) goes where the pointer or the entered point is.
void place_at(double x, double y, double angle) {
  view_unproject(x, y);
  edit_drag_preview(0.0, 0.0, 0.0, geo_result.world_x, geo_result.world_y, geo_result.world_z, angle);
}

void preview_symbol_place(InputRequest*, double x, double y) { place_at(x, y, 0.0); }
void preview_symbol_place_confirm(InputRequest* r, double, double) {
  edit_drag_preview(0.0, 0.0, 0.0, r->x[0], r->y[0], r->z[0], 0.0);
}
void preview_symbol_place_rotated(InputRequest*, double x, double y) { place_at(x, y, symbol_angle); }
void preview_symbol_place_rotated_confirm(InputRequest* r, double, double) {
  edit_drag_preview(0.0, 0.0, 0.0, r->x[0], r->y[0], r->z[0], symbol_angle);
}

void turn_towards(double x, double y) {
  edit_drag_preview(0.0, 0.0, 0.0, insertion.x, insertion.y, insertion.z,
                    geom_angle(insertion.x, insertion.y, x, y));
}
void preview_symbol_angle(InputRequest*, double x, double y) { turn_towards(x, y); }
void preview_symbol_angle_confirm(InputRequest* r, double, double) { turn_towards(r->x[0], r->y[0]); }

// The file of a mode; empty when the chooser was cancelled.
std::string source_file(int mode) {
  if (mode == 1) return symbol_clipboard_path();
  if (mode == 2) return symbol_file.c_str();
  const char* start = symbol_save_file.empty() ? symbol_path.c_str() : symbol_save_file.c_str();
  std::string path =
      ui().filesel_choose(nls_translate("Load Symbol..."), start, FILESEL_OPEN, symbol_path.c_str());
  return path == "cancel" ? std::string() : path;
}

// Asks where the symbol goes and how it is turned. False when cancelled.
bool ask_placement(int mode, double& angle) {
  InputRequest r;
  const bool rotated = mode == 2;
  if (tool_ask(
          r,
          {{STEP_POINT, nls_mark("Origin:"), rotated ? preview_symbol_place_rotated : preview_symbol_place},
           {STEP_CONFIRM, nls_mark("Move/Confirm:"),
            rotated ? preview_symbol_place_rotated_confirm : preview_symbol_place_confirm}}) != INPUT_DONE)
    return false;
  insertion = Point3{r.x[0], r.y[0], r.z[0], 0};
  if (rotated) {
    angle = symbol_angle;
    return true;
  }
  const int res =
      tool_ask(r, {{STEP_POINT_OR_ANGLE, nls_mark("Angle/Direction Point:"), preview_symbol_angle},
                   {STEP_CONFIRM, nls_mark("Move/Confirm:"), preview_symbol_angle_confirm}});
  if (res == INPUT_DONE) {
    angle = geom_angle(insertion.x, insertion.y, r.x[0], r.y[0]);
    return true;
  }
  if (res == INPUT_VALUE) {
    angle = r.angle;
    return true;
  }
  return false;
}

}  // namespace

void symbol_load(int mode) {
  loaded_count = 0;
  const std::string path = source_file(mode);
  if (path.empty()) return;
  // Whatever else is marked would be placed with the symbol.
  select_clear_flags();
  if (!symbol_read_file(path)) return;
  if (mode == 0 && path.size() < PATH_LEN) symbol_save_file = path;
  if (loaded_count == 0) return;

  // The box of the previews, taken while the elements lie on a shown layer.
  elem_set_layer_marked(cur_layer);
  view_zoom_to_extents(1);
  elem_set_layer_marked(LAYER_TEMP_SYMBOL);

  double angle = 0.0;
  if (!ask_placement(mode, angle)) {
    elem_purge_marked();
    return;
  }
  if (view_type == VIEW_PLAN)
    xform_rotate_marked(0.0, 0.0, angle);
  else
    xform_rotate_axis(0.0, 0.0, 0.0, 0.0, 0.0, 1.0, angle);
  xform_move_marked(insertion.x, insertion.y, insertion.z);
  elem_set_layer_marked(cur_layer);
  if (mode == 1)
    group_renumber_marked();
  else
    group_marked();
  select_clear(0);
  undo_record(UNDO_CREATED, loaded_count);
}
