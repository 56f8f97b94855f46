#include "dialogs/dialog_rows.h"

#include "dialogs/dlg_info.h"
#include "dialogs/dlg_mat.h"
#include "dialogs/dlg_small.h"
#include "model/ui.h"

CmdRows dialog_rows() {
  return {
      {"p_layerstate_save", cmd_p_layerstate_save},
      {"p_layerstate_delete", cmd_p_layerstate_delete},
      {"p_layerfunc_up", cmd_p_layerfunc_up},
      {"p_layerfunc_down", cmd_p_layerfunc_down},
      {"p_layerfunc_delete", cmd_p_layerfunc_delete},
      {"p_path_special", cmd_p_path_special},
      {"z_mb3", gui_show_element_info},
      {"p_file_info", gui_show_project_info},
      {"z_help_about", [] { ui().gui_show_about(); }},
  };
}
