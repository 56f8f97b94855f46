// Changing the content of texts: a one-line text is edited in the prompt
// line, a text of several lines (or one too long for the prompt line, or any
// text while the key's editor toggle is on) in the separate editor.

#include <optional>
#include <string>

#include "display/command_buffer.h"
#include "display/draw.h"
#include "display/key_state.h"
#include "display/pick.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/undo.h"
#include "tools/text_tools.h"
#include "tools/tool_common.h"

namespace {

// The toggle of b_text_alter_content in text_use_editor.
constexpr int EDITOR_ALTER = 3;

ElemHeader* pick_text(double x, double y) {
  ElemHeader* e = pick_nearest_element(x, y, PICK_TEXT);
  return elem_as<TextElem>(e) ? e : nullptr;
}

bool needs_editor(const TextElem& t) {
  return text_use_editor[EDITOR_ALTER] || t.text.find('\n') != std::string::npos ||
         t.text.size() >= static_cast<std::size_t>(INPUT_TEXT_LEN);
}

// Replaces t by a text with all its attributes but the group and the new
// content, as one undo step.
void replace_content(TextElem* t, std::string_view content) {
  TextParams p = text_params_of(*t);
  p.group = 0;
  ElemHeader* changed = text_make(p, content);
  ToolCursorOff off;
  draw_element(DRAW_ERASE, t);
  t->mark = 1;
  undo_record(UNDO_CHANGE, 0);
  undo_mark_element(changed);
  elem_purge_marked();
  draw_element(DRAW_NORMAL, changed);
}

}  // namespace

void tool_text_alter_content() {
  InputRequest r;
  for (;;) {
    ElemHeader* e = tool_pick_until(r, nls_mark("Select text line:"), pick_text);
    if (!e) return;
    TextElem* t = elem_as<TextElem>(e);
    if (needs_editor(*t)) {
      text_stage_alteration(t);
      continue;
    }
    std::optional<std::string> content;
    {
      ToolHighlight lit(t);
      input_text = t->text;
      const int res = tool_ask(r, {{STEP_TEXT, nls_mark("Text:")}});
      if (res == INPUT_DONE && !r.text.view().empty()) content = std::string(r.text.view());
      // Another command ended the request: it runs next, not another pick.
      else if (res != INPUT_DONE && !cmd_pending_empty())
        return;
    }
    if (content) replace_content(t, *content);
  }
}
