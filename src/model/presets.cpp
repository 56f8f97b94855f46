#include "model/presets.h"

TextPreset text_preset;
WallPreset wall_preset;
RoomPreset room_preset;
OpeningPreset opening_preset;
OpeningPreset window_preset;
OpeningPreset door_preset;
MaterialPreset material_preset;
DimPreset dim_preset;
LightPreset light_preset;
PatternPreset pattern_preset;
FixedText<MATERIAL_NAME_LEN> glazing_material;
