#include "exchange/exchange_rows.h"

#include "exchange/dxf_reader.h"

CmdRows exchange_rows() {
  return {
      {"p_file_import_dxf", dxf_import},
  };
}
