#pragma once

// A ui table for tests: records every call and answers questions and file
// choosers from queues. Install it with a RecordingUi object; the previous
// table comes back when the object goes out of scope. The model's redraw
// table is recorded into the same lines, so a test sees redraws and
// interface calls in the order they happened.

#include <deque>
#include <string>
#include <vector>

#include "model/redraw.h"
#include "model/ui.h"

struct RecordingUi {
  RecordingUi();
  ~RecordingUi();
  RecordingUi(const RecordingUi&) = delete;
  RecordingUi& operator=(const RecordingUi&) = delete;

  // One line per call, such as "undo_button 0", "error Cannot open file",
  // "cursor_toggle", "draw_element 2 kind 5", "zoom_to_extents 0",
  // "prompt Select function:", "title", "scale_label  1:500 ",
  // "path_entry draw /home/u/", "choose Save Image /tmp/ 1 path /tmp/",
  // "progress 0.5" or "about".
  std::vector<std::string> calls;
  // Answers for msgbox_ask (0 when empty) and filesel_choose ("cancel" when empty).
  std::deque<int> answers;
  std::deque<std::string> paths;
  // What the separate text editor holds when its text is taken ("" when empty).
  std::deque<std::string> editor_texts;
  // The progress window's Cancel counts as pressed once this many updates
  // were shown (never when negative).
  int cancel_after_updates = -1;
  // The functions handed to poll_until (recorded as "poll"), in order; a
  // test calls them as the main loop would.
  std::vector<bool (*)()> polls;
  // The text of the last mainwin_set_prompt call.
  std::string last_prompt;
  // The texts of the last mainwin_set_coord_x and mainwin_set_coord_y calls.
  std::string coord_x, coord_y;

  // The recorded lines that begin with prefix.
  std::vector<std::string> calls_starting(const std::string& prefix) const;

 private:
  UiTable previous_;
  RedrawTable previous_redraw_;
};
