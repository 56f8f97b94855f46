// What the text tools share: the parameters of new texts, the line step and
// continuation, and the staging that waits for the separate editor.

#include <cmath>
#include <string>

#include "display/draw.h"
#include "display/input.h"
#include "model/elem.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/settings.h"
#include "model/ui.h"
#include "model/undo.h"
#include "tools/text_tools.h"
#include "tools/tool_common.h"

namespace {

enum class Staged { NONE, PLACEMENT, ALTERATION };

// What the editor's Apply or Cancel will act on: a new text's parameters,
// or a changed text's parameters (group included) with its old content.
struct Staging {
  Staged kind = Staged::NONE;
  TextParams params;
  std::string old_text;
};
Staging staged;

// Appends the text as one undo step and draws it. The editor's keys may
// arrive while another tool waits: the cursor of its request goes off the
// screen around the drawing.
void make_recorded(const TextParams& p, std::string_view text) {
  ElemHeader* e = text_make(p, text);
  undo_record(UNDO_CREATED, 1);
  ToolCursorOff off(active_request);
  draw_element(DRAW_NORMAL, e);
}

// Puts the text a pending content change took out back as it was.
void restore_altered() {
  if (staged.kind != Staged::ALTERATION) return;
  staged.kind = Staged::NONE;
  make_recorded(staged.params, staged.old_text);
  staged.old_text.clear();
}

}  // namespace

TextParams text_params_current(double x, double y, double angle, double fit_length) {
  TextParams p;
  p.layer = cur_layer;
  p.pen = elem_pen_or_guide(static_cast<unsigned>(text_preset.pen));
  p.line_type = text_preset.line_type;
  p.x = x;
  p.y = y;
  p.font = text_preset.font.view();
  p.alignment = text_format;
  p.angle = angle;
  p.height = text_size;
  p.width_factor = text_preset.width;
  p.spacing = text_preset.spacing;
  p.line_spacing = text_preset.line_spacing;
  p.fit_length = fit_length;
  return p;
}

bool text_height_ok(double height) {
  if (height > 0.0) return true;
  ui().msgbox_error(nls_translate("A text needs a size above 0: set it with the text size button."));
  return false;
}

TextParams text_params_of(const TextElem& t) {
  TextParams p;
  p.layer = t.layer;
  p.group = t.group;
  p.pen = t.pen;
  p.line_type = t.line_type;
  p.x = t.pos.x;
  p.y = t.pos.y;
  p.font = t.font.view();
  p.alignment = t.alignment;
  p.angle = t.angle;
  p.height = t.height;
  p.width_factor = t.width_factor;
  p.spacing = t.spacing;
  p.line_spacing = t.line_spacing;
  p.fit_length = t.fit_length;
  return p;
}

Point2 text_line_step(double angle, double height, double line_spacing) {
  const double d = line_spacing * height * drawing_scale / 1000.0;
  return {std::sin(angle) * d, -std::cos(angle) * d, 0};
}

const TextElem* text_continued(double x, double y) {
  ElemHeader* it;
  for (elem_first(&it); it; elem_next(&it)) {
    const TextElem* t = elem_as<TextElem>(it);
    // Exactly: the start point was snapped onto the insertion point.
    if (t && t->layer == cur_layer && t->pos.x == x && t->pos.y == y) return t;
  }
  return nullptr;
}

ElemHeader* text_make(const TextParams& p, std::string_view text) {
  elem_new_text(p.layer, p.pen, p.line_type, p.x, p.y, p.angle, p.height, p.width_factor, p.spacing,
                p.line_spacing, text, p.fit_length, p.font.view(), p.alignment);
  ElemHeader* e = elem_list_tail;
  e->group = static_cast<uint16_t>(p.group);
  return e;
}

void text_stage_placement(const TextParams& p) {
  if (staged.kind == Staged::ALTERATION) {
    // The editor holds the changed text's content: put that text back and
    // start the new one in an empty editor.
    restore_altered();
    ui().gui_text_editor_close();
  }
  staged.kind = Staged::PLACEMENT;
  staged.params = p;
  ui().gui_text_editor_show("");
}

void text_stage_alteration(TextElem* t) {
  restore_altered();
  staged.kind = Staged::ALTERATION;
  staged.params = text_params_of(*t);
  staged.old_text = t->text;
  {
    ToolCursorOff off;
    draw_element(DRAW_ERASE, t);
  }
  t->mark = 1;
  undo_record(UNDO_DELETE, 0);
  elem_purge_marked();
  // Whatever an open editor holds belongs to another text.
  ui().gui_text_editor_close();
  ui().gui_text_editor_show(staged.old_text.c_str());
}

bool text_alteration_pending() { return staged.kind == Staged::ALTERATION; }

void text_edit_finish(const char* text) {
  if (!text || !*text) {
    // Cancel; an emptied text is no change either: a changed text comes
    // back as it was rather than being lost.
    restore_altered();
    staged.kind = Staged::NONE;
    return;
  }
  if (staged.kind == Staged::NONE) return;
  TextParams p = staged.params;
  if (staged.kind == Staged::ALTERATION) p.group = 0;
  staged.kind = Staged::NONE;
  staged.old_text.clear();
  if (!text_height_ok(p.height)) return;
  make_recorded(p, text);
}
