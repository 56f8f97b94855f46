#include "model/model_state.h"

#include "model/defaults.h"
#include "model/elem.h"
#include "model/files/kavfile.h"
#include "model/files/load_save.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/undo.h"
#include "model/view_rec.h"
#include "model/wall_outline.h"
#include "model/xform.h"

void model_state_reset() {
  undo_record(UNDO_CLEAR, 0);
  drawing_free();

  // What neither the defaults nor a new drawing set.
  for (LayerRec& l : layers) l = LayerRec{};
  cur_pen = 0;
  cur_line_type = 0;
  snap_on = 0;
  symbol_angle = 0.0;
  base_dir = "";
  import_file = "";
  export_file = "";
  symbol_file = "";
  symbol_save_file = "";
  drawing_modified = 0;
  guide_mode = 0;
  group_counter = 0;
  geo_result = GeoResult{};
  for (ViewRec& v : views) v = ViewRec{};
  cur_view = 0;
  view_camera = ViewCamera{};
  for (double& b : wall_corner_bank) b = 0.0;
  xform_axis = XformAxis{};
  undo_capacity = UNDO_STEPS;
  undo_with_point_marks = 0;
  file_version = KAV_FILE_VERSION;
  layer_remap_old = 0;
  loaded_count = 0;
  kavfile_read_buffer_bytes = KAV_READ_PIECE_BYTES;
  drawing_file.clear();

  main_init_defaults();
}
