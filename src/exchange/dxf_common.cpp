#include "exchange/dxf_common.h"

double dxf_unit_factor = 1.0;

double dxf_factor_of_unit(int unit) {
  switch (unit) {
    case DXF_UNIT_M:
      return 1.0;
    case DXF_UNIT_CM:
      return 100.0;
    case DXF_UNIT_MM:
      return 1000.0;
    case DXF_UNIT_INCH:
      return 39.37007874015748;
    case DXF_UNIT_FEET:
      return 3.280839895013123;
    default:
      return 0.0;
  }
}

void dxf_set_unit(int unit) {
  const double f = dxf_factor_of_unit(unit);
  if (f > 0.0) dxf_unit_factor = f;
}
