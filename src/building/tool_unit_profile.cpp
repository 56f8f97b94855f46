// Window frames with mullions, transoms and panes in picked openings, each
// frame one undo step and one group.

#include "building/solid/archgen_mesh.h"
#include "building/tool_unit_common.h"
#include "building/unit_tools.h"
#include "display/pick.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/settings.h"
#include "model/undo.h"

void tool_unit_profile() {
  int mullions = 0, transoms = 0;
  if (!archgen_ask_int(nls_mark("Number of monials:"), mullions) || mullions < 0) return;
  if (!archgen_ask_int(nls_mark("Number of transoms:"), transoms) || transoms < 0) return;
  if (archgen_frame_box_count(mullions, transoms) > ARCHGEN_MAX_PARTS) return archgen_show_too_many_parts();
  for (;;) {
    const WallOpening* picked = pick_opening();
    if (!picked) return;
    const std::vector<ArchgenFramePart> parts =
        archgen_window_frame(*picked, mullions, transoms, profile_size);
    for (const ArchgenFramePart& p : parts)
      archgen_append(p.mesh, p.glazing ? glazing_material.view() : material_preset.name.view());
    const int made = static_cast<int>(parts.size());
    undo_record(UNDO_CREATED, made);
    group_last_created(made);
  }
}
