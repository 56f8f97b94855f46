// libFuzzer target for the stroke-font reader. A text it takes must give a
// slot whose every glyph is a complete command list; a text it refuses must
// leave the slot exactly as it was, with a reason.
#include <cstdint>
#include <string>
#include <string_view>

#include "display/font.h"
#include "font_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  FontSlot slot;
  slot.name = "kept";
  slot.codes = {GLYPH_END};
  slot.glyph[FONT_FIRST_CODE] = 0;
  slot.advance[FONT_FIRST_CODE] = 7;
  const FontSlot before = slot;
  std::string why;
  if (font_parse_stroke(text, slot, &why)) {
    if (slot.name != "kept") __builtin_trap();
    font_check_slot(slot);
  } else {
    if (why.empty()) __builtin_trap();
    if (slot.codes != before.codes || slot.glyph != before.glyph || slot.advance != before.advance)
      __builtin_trap();
  }
  return 0;
}
