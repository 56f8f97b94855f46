#pragma once

// The values a number setting or creation parameter may hold. One range per
// kind of quantity, used where a value comes in: the dialogs refuse a typed
// value outside it, the file readers bring a stored one back into it, and
// the writers check against the same limits before they write.
//
// Ranges are wide: they refuse what cannot be meant (a scale of 0, a
// negative pen, a dash of a kilometre), not what is merely unusual.

struct ValueRange {
  double lo = 0.0;
  double hi = 0.0;
  // lo itself is refused: the value must lie above it ("above 0").
  bool above = false;
  // What a stored value that is no number, or on the wrong side of an
  // "above" limit, becomes when it is brought into range.
  double fallback = 0.0;

  // A finite value inside the range.
  bool holds(double v) const;
  // The value itself when the range holds it, else the nearest limit, or
  // the fallback for what has no nearest value inside (no number, or at or
  // below an "above" limit).
  double clamp(double v) const;
};

// Scale denominators N of 1:N (drawing, print and plot scale).
extern const ValueRange RANGE_SCALE;
// Paper width and height, centimetres.
extern const ValueRange RANGE_PAPER;
// Print margins, centimetres.
extern const ValueRange RANGE_MARGIN;
// Pen widths, paper millimetres; 0 is the thinnest line a device draws.
extern const ValueRange RANGE_PEN_WIDTH;
// Dash and gap lengths of line types, paper millimetres.
extern const ValueRange RANGE_DASH;
// A line type's period: its three dashes and gaps together.
extern const ValueRange RANGE_DASH_PERIOD;
// Colour components.
extern const ValueRange RANGE_COLOUR;
// Centimetres per plotter unit.
extern const ValueRange RANGE_PLOT_RESOLUTION;
// Centimetres that 300 screen pixels measure.
extern const ValueRange RANGE_SCREEN_ASPECT;

// The range of a global number variable a dialog binds (a setting, a
// current creation parameter, a working copy); null for any other address.
const ValueRange* value_range_of(const void* var);
// Whether 0 in var means "none" rather than a size outside its range: the
// second hatching of a pattern, the tiles of a material without a texture.
// Stored presets hold it so, the shipped ones included.
bool value_zero_means_none(const void* var);
