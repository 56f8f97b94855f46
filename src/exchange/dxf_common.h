#pragma once

// What the DXF reader and the DXF writer share: the unit of the file's
// lengths.

// Units of dxf_settings.import_unit and export_unit.
enum : int { DXF_UNIT_M = 0, DXF_UNIT_CM = 1, DXF_UNIT_MM = 2, DXF_UNIT_INCH = 3, DXF_UNIT_FEET = 4 };
inline constexpr int DXF_UNIT_COUNT = 5;
// The units' names as the option dialogs list them, indexed by unit.
inline constexpr const char* dxf_unit_names[DXF_UNIT_COUNT] = {"m", "cm", "mm", "inch", "feet"};

// DXF units per metre of the unit last chosen; the reader divides the
// file's lengths by it, the writer multiplies. 1 at start.
extern double dxf_unit_factor;

// DXF units per metre of unit, 0 for a unit outside 0..4.
double dxf_factor_of_unit(int unit);
// Sets dxf_unit_factor from unit; a unit outside 0..4 leaves it.
void dxf_set_unit(int unit);
