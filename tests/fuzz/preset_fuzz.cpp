// libFuzzer target for the preset file reader. Each input is read as the
// file of every kind over the group's start values; what it leaves in the
// group must be written and read back to the same values, so that a preset
// saved from it loads as it was.
#include <cstdint>
#include <string>
#include <string_view>

#include "model/defaults.h"
#include "model/files/preset_files.h"
#include "model/presets.h"

namespace {

template <class Group>
void read_and_reread(std::string_view text, const Group& start) {
  Group first = start;
  const PresetFields fields = preset_fields(first);
  const int read = preset_parse(text, fields);
  if (read < 0 || read > static_cast<int>(fields.size())) __builtin_trap();
  const std::string written = preset_format(fields);

  Group second = start;
  const PresetFields again = preset_fields(second);
  if (preset_parse(written, again) != static_cast<int>(again.size())) __builtin_trap();
  if (preset_format(again) != written) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const bool once = [] {
    main_init_defaults();
    return true;
  }();
  (void)once;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  read_and_reread(text, wall_preset);
  read_and_reread(text, room_preset);
  read_and_reread(text, text_preset);
  read_and_reread(text, dim_preset);
  read_and_reread(text, window_preset);
  read_and_reread(text, material_preset);
  read_and_reread(text, pattern_preset);
  read_and_reread(text, light_preset);
  return 0;
}
