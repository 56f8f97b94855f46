// Changing the style, format and size of the selected texts (and of rooms'
// inscriptions), each as one undo step.

#include <cmath>

#include "display/draw.h"
#include "display/select.h"
#include "model/elem.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/settings.h"
#include "model/undo.h"
#include "tools/text_tools.h"
#include "tools/tool_common.h"

namespace {

// Records one change step for the marked elements, then erases each marked
// text (and room, with rooms) and changes it, and ends the selection, which
// draws them again.
template <class Change>
void change_marked(bool rooms, Change change) {
  undo_record(UNDO_CHANGE, 0);
  {
    ToolCursorOff off;
    ElemHeader* it;
    for (elem_first(&it); it; elem_next(&it)) {
      if (it->mark != 1 || !(it->kind == ELEM_TEXT || (rooms && it->kind == ELEM_ROOM))) continue;
      draw_element(DRAW_ERASE, it);
      change(it);
      drawing_modified = 1;
    }
  }
  // Texts take another outline: what snapping and picking have cached of
  // them is stale.
  elem_touch();
  select_clear(0);
}

}  // namespace

void tool_text_alter_style() {
  if (select_elements(0) != 1) return;
  change_marked(true, [](ElemHeader* e) {
    if (TextElem* t = elem_as<TextElem>(e)) {
      t->font = text_preset.font.view();
      t->width_factor = text_preset.width;
      t->spacing = text_preset.spacing;
      t->line_spacing = text_preset.line_spacing;
    } else if (RoomElem* room = elem_as<RoomElem>(e)) {
      room->font = text_preset.font.view();
      room->width_factor = text_preset.width;
      room->spacing = text_preset.spacing;
      room->line_spacing = text_preset.line_spacing;
    }
    e->pen = static_cast<uint8_t>(text_preset.pen);
    e->line_type = static_cast<uint8_t>(text_preset.line_type);
  });
}

void tool_text_alter_format() {
  if (select_elements(0) != 1) return;
  double fit = 0.0;
  if (text_format == TEXT_JUSTIFIED) {
    // The width is asked before anything is recorded, so that a cancel
    // leaves no empty undo step behind.
    InputRequest r;
    for (;;) {
      if (tool_ask(r, {{STEP_LENGTH, nls_mark("Width:")}}) != INPUT_DONE) {
        select_clear(0);
        return;
      }
      if (r.length > 0.0 && std::isfinite(r.length)) break;
    }
    fit = r.length;
  }
  change_marked(false, [fit](ElemHeader* e) {
    TextElem* t = elem_as<TextElem>(e);
    t->alignment = static_cast<uint8_t>(text_format);
    t->fit_length = fit;
  });
}

void tool_text_alter_size() {
  if (!text_height_ok(text_size)) return;
  if (select_elements(0) != 1) return;
  change_marked(true, [](ElemHeader* e) {
    if (TextElem* t = elem_as<TextElem>(e)) t->height = text_size;
    if (RoomElem* room = elem_as<RoomElem>(e)) room->height = text_size;
  });
}
