#include "exchange/exchange_rows.h"

#include "exchange/dgm_import.h"
#include "exchange/dxf_reader.h"
#include "exchange/dxf_writer.h"
#include "exchange/hpgl_writer.h"
#include "exchange/lwo_writer.h"
#include "exchange/m3ds.h"
#include "exchange/pdf_writer.h"
#include "exchange/pov_export.h"
#include "exchange/ps_writer.h"
#include "exchange/rad_render.h"
#include "exchange/svg_writer.h"

CmdRows exchange_rows() {
  // One row a line, so rows are added without moving others.
  // clang-format off
  return {
      {"p_file_print", ps_print},
      {"p_file_export_eps", eps_export},
      {"p_file_export_pdf", pdf_export},
      {"p_file_export_svg", svg_export},
      {"p_file_plot", hpgl_plot},
      {"p_file_import_dxf", dxf_import},
      {"p_file_export_dxf", dxf_export},
      {"b_3d_ray", tool_3d_ray},
      {"b_3d_raz", tool_3d_raz},
      {"p_file_export_lwo", lwo_export},
      {"p_file_import_dgm", dgm_import},
      {"p_file_export_pov", pov_export_file},
      {"b_3d_pov", pov_render},
      {"p_file_import_3ds", m3ds_import},
      {"p_file_export_3ds", m3ds_export},
  };
  // clang-format on
}
