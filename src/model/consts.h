#pragma once

// Constants shared by the whole program: element kinds, marker values,
// alignments and the codes stored inside element records.

#include <cstdint>

// Element kinds, as stored in the kind byte of every record. A switch over
// a kind lists every kind and has no default, so that a kind forgotten in
// one of them fails the test build. A plain byte becomes an ElemKind only
// after a range check.
enum ElemKind : uint8_t {
  ELEM_LINE = 1,
  ELEM_ARC = 2,
  ELEM_TEXT = 3,
  ELEM_DIM = 4,
  ELEM_WALL = 5,
  ELEM_PATTERN = 6,
  ELEM_SPLINE = 7,
  ELEM_LINE3D = 8,
  ELEM_MESH = 9,
  ELEM_CAMERA = 10,
  ELEM_ROOM = 11,
  ELEM_LIGHT = 12,
};
inline constexpr int ELEM_KIND_COUNT = 12;
// Written into a record in the instant before it is freed. Not one of the
// kinds: no switch ever sees it, so none has to list it.
inline constexpr ElemKind ELEM_FREED = static_cast<ElemKind>(99);

// The point that ends one contour of a pattern or room outline.
inline constexpr double CONTOUR_END_X = 999.0;
inline constexpr double CONTOUR_END_Y = 999.0;

// Pens and line types.
inline constexpr int PEN_COUNT = 8;
inline constexpr int LINE_TYPE_COUNT = 8;
inline constexpr uint8_t PEN_GUIDE = 99;
inline constexpr uint8_t LINE_TYPE_PATTERN_POINTS = 100;
inline constexpr uint8_t LINE_TYPE_PATTERN_FILLING = 101;

// Layers.
inline constexpr int LAYER_COUNT = 1000;
inline constexpr int LAYER_LIST_COUNT = 10;
inline constexpr int LAYERS_PER_LIST = 100;
inline constexpr uint16_t LAYER_TEMP_3D = 1007;
inline constexpr uint16_t LAYER_TEMP_DONE = 1008;
inline constexpr uint16_t LAYER_TEMP_SYMBOL = 1009;

// Text alignment.
enum : uint8_t { TEXT_LEFT = 0, TEXT_RIGHT = 1, TEXT_CENTRED = 2, TEXT_JUSTIFIED = 3 };

// Dimension end markers, kinds and display formats.
enum : uint8_t { DIM_MARK_LINE = 0, DIM_MARK_CIRCLE = 1, DIM_MARK_ARROW = 2 };
enum : uint8_t { DIM_CHAIN = 0, DIM_RADIUS = 1, DIM_DIAMETER = 2, DIM_LEVEL = 3, DIM_ANGLE = 4 };
enum : uint8_t { DIM_FORMAT_ARCHITECTURE = 0, DIM_FORMAT_IMPERIAL_1_1 = 12 };
inline constexpr int DIM_MAX_POINTS = 99;

// Wall openings.
enum : uint8_t {
  OPENING_PLAIN = 1,
  OPENING_DOOR = 2,
  OPENING_WINDOW = 3,
  OPENING_REMOVED = 99,
};
inline constexpr int WALL_MAX_OPENINGS = 15;

// Pattern types.
enum : uint8_t {
  PATTERN_ONE_LINE = 0,
  PATTERN_TWO_LINES = 1,
  PATTERN_POINTS = 2,
  PATTERN_FILLING = 3,
};

// Light types.
enum : uint8_t { LIGHT_POINT = 0, LIGHT_SPOT = 1 };

// Fixed text field sizes, terminator included.
inline constexpr int FONT_NAME_LEN = 21;
inline constexpr int MATERIAL_NAME_LEN = 40;
inline constexpr int ROOM_NUMBER_LEN = 40;
inline constexpr int ROOM_DESCRIPTION_LEN = 128;
inline constexpr int NAME_LEN = 80;
inline constexpr int PATH_LEN = 256;

// Drawing modes of the element drawing calls.
enum : int {
  DRAW_NORMAL = 0,     // marked in the selection colour, other layers dimmed
  DRAW_CLEAR = 1,      // draw_all only: clear the view first, then as normal
  DRAW_ERASE = 2,      // in the background colour
  DRAW_HIGHLIGHT = 3,  // in the selection colour whatever the mark
  DRAW_PLAIN = 4,      // every element in its pen colour (printing, export)
};

inline constexpr double HALF_PI = 1.5707963267948966;
