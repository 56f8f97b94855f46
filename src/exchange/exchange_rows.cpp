#include "exchange/exchange_rows.h"

#include "exchange/dxf_reader.h"
#include "exchange/dxf_writer.h"
#include "exchange/hpgl_writer.h"
#include "exchange/m3ds.h"
#include "exchange/pdf_writer.h"
#include "exchange/ps_writer.h"
#include "exchange/svg_writer.h"

CmdRows exchange_rows() {
  return {
      {"p_file_print", ps_print},
      {"p_file_export_eps", eps_export},
      {"p_file_export_pdf", pdf_export},
      {"p_file_export_svg", svg_export},
      {"p_file_plot", hpgl_plot},
      {"p_file_import_dxf", dxf_import},
      {"p_file_export_dxf", dxf_export},
      // 3DS
      {"p_file_import_3ds", m3ds_import},
      {"p_file_export_3ds", m3ds_export},
  };
}
