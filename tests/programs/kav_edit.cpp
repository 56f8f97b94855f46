// kav-edit: runs a script of user input on a drawing, through the command
// loop, the input engine and the tools, as the window's events would.
//
//   kav-edit [--fonts DIR] IN.kav SCRIPT OUT.kav
//   kav-edit --help
//
// IN is loaded as the Load command loads a drawing and shown in a plan view
// of 800 x 600 pixels fitted to it. SCRIPT holds one event a line; blank
// lines and lines starting with # are ignored (see usage_text below). When
// the script has run to its end, a tool still waiting is ended as Escape
// ends it, and the drawing is saved to OUT as the Save command saves it.
// The text of every message, error and question box goes to standard
// output, one box a paragraph; what the program says besides goes to
// standard error. Exit status 0 when the script ran to its end and OUT was
// written, 1 with the reason on standard error otherwise. Test-only: not
// installed.

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "display/command_buffer.h"
#include "display/display_state.h"
#include "display/font.h"
#include "display/input.h"
#include "display/key_state.h"
#include "display/outdev.h"
#include "display/shell_hooks.h"
#include "display/view.h"
#include "display/wait.h"
#include "display/wait_script.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/files/load_save.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/ui.h"
#include "model/view_rec.h"
#include "shell/cmd_dispatch.h"
#include "shell/cmd_loop.h"
#include "shell/gtk/keymap.h"

namespace {

const char usage_text[] =
    "usage: kav-edit [--fonts DIR] IN.kav SCRIPT OUT.kav\n"
    "\n"
    "Loads IN, runs SCRIPT as a user's input in the plan view shown after\n"
    "loading, ends a tool still running as Escape would and saves OUT.\n"
    "SCRIPT holds one event a line; blank lines and lines starting with #\n"
    "are ignored:\n"
    "  key NAME        a command key or button by its key name\n"
    "                  (b_edit_move, s_deffi_all, s_deffi_ok, z_enter, p_undo, ...)\n"
    "  click B X Y     mouse button B at the world point (X, Y) in metres\n"
    "  value TEXT      text typed into the open entry and confirmed\n"
    "  press NAME      a key by its name (Escape, Return, x, y, a, Tab, F9, ...)\n"
    "  answer N        the answer to the open question box: the number of its\n"
    "                  button from the left (1..5), 0 closes it\n"
    "  set NAME VALUE  a tool page's radio button or toggle, by its variable:\n"
    "%s"
    "The text of each message, error and question box is printed on standard\n"
    "output. File choosers are cancelled; windows that show information only\n"
    "(element and project info, help) are not opened. Exit status 0 when the\n"
    "script ran to its end and OUT was written, 1 with the reason otherwise.\n";

// The radios and toggles a script can set: the variable each is bound to,
// and for a radio button the values it has (a toggle takes 0 and 1).
struct Setting {
  const char* name;
  int32_t* var;
  bool radio;
  int max;
  const char* what;
};
const Setting settings_table[] = {
    {"select_mode", &select_mode, true, 2, "Select page, Mode: 0 Active, 1 Passive, 2 Switch"},
    {"select_all_layers", &select_all_layers, true, 1,
     "Select page, Layers: 0 Active layer, 1 Visible layers"},
    {"select_type", &select_type, true, 4,
     "Select page, Type: 0 Range, 1 Element, 2 Opening, 3 Group, 4 Point\n"
     "                           (Opening and Point only where the tool offers them: Move)"},
    {"select_filter", &select_filter.on, false, 1, "Select page, Filter toggle"},
    {"rotate_copy", &rotate_copy, false, 1, "Edit page, + beside Rotate (rotate copies)"},
    {"mirror_copy", &mirror_copy, false, 1, "Edit page, + beside Mirror (mirror copies)"},
    {"opening_width_fixed", &opening_width_fixed, false, 1, "Opening page, ! beside Opening (fixed width)"},
    {"door_width_fixed", &door_width_fixed, false, 1, "Opening page, ! beside Door (fixed width)"},
    {"window_width_fixed", &window_width_fixed, false, 1, "Opening page, ! beside Window (fixed width)"},
};

std::string settings_help() {
  std::string out;
  for (const Setting& s : settings_table) {
    char line[256];
    std::snprintf(line, sizeof line, "      %-20s %s\n", s.name, s.what);
    out += line;
  }
  return out;
}

// Stops the run with the reason; main reports it. Thrown only where no
// command runs: inside a command, the dispatcher would take it for the
// command's own error.
struct RunFailed : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A failure inside a command: the reason is kept, the level waiting now is
// ended, and the run winds down as after the script's last event.
std::string failure;
void fail_in_command(const std::string& reason) {
  if (failure.empty()) failure = reason;
  wait_end();
}

// Where the boxes' texts go: the standard output as it was at the start
// (the program's own lines are sent to standard error meanwhile).
FILE* said = nullptr;
void say(const char* text) {
  std::fputs(text ? text : "", said);
  if (!text || !*text || text[std::strlen(text) - 1] != '\n') std::fputc('\n', said);
  std::fflush(said);
}

// The state the ui table keeps as the window would.
std::string prompt_shown;
bool opening_and_point = false;
bool final_save = false;
std::string out_path;

// The question box: it waits in a nested wait of its own, which an answer
// ends, and so does a command key posted meanwhile (answer 0).
int box_depth = 0;
int box_count = 0;
int box_answer = 0;
void box_take_answer(int n) {
  if (box_depth == 0) return fail_in_command("an answer, but no question box is open");
  if (n > box_count)
    return fail_in_command("answer " + std::to_string(n) + ", but the question box has " +
                           std::to_string(box_count) + " buttons");
  box_answer = n;
  wait_end_level(box_depth);
}
int ask(const char* message, int count, const char* const*) {
  say(message);
  // A box inside a box (none does so yet) gives the outer one back after.
  struct Level {
    int depth, count;
    ~Level() {
      box_depth = depth;
      box_count = count;
    }
  } level{box_depth, box_count};
  box_answer = 0;
  box_count = count;
  box_depth = wait_depth() + 1;
  wait_run();
  const int answer = box_answer;
  box_answer = 0;
  return answer >= 0 && answer <= count ? answer : 0;
}

void install_ui() {
  UiTable t;
  t.msgbox_error = [](const char* text) { say(text); };
  t.msgbox_message = [](const char*, const char* text) { say(text); };
  t.msgbox_ask = ask;
  t.filesel_choose = [](const char*, const char*, int mode, const char*) -> std::string {
    return final_save && mode == FILESEL_SAVE ? out_path : "cancel";
  };
  t.mainwin_set_prompt = [](const char* text) { prompt_shown = text ? text : ""; };
  t.mainwin_select_page_enter = [](int arg) { opening_and_point = arg != 0; };
  t.mainwin_select_page_leave = [] { opening_and_point = false; };
  t.mainwin_value_entry_open = [](const char*) { value_entry_open = 1; };
  t.mainwin_value_entry_close = [] { value_entry_open = 0; };
  ui_install(t);
}

// Keys whose rows open a window that shows information only, or start the
// help browser or the 3D viewer: nothing an edit needs, and no window here.
void drop_window_rows() {
  for (const char* key : {"z_mb3", "p_file_info", "z_help_guide", "z_help_tutorial", "z_help_readme",
                          "z_help_shortcut", "z_help_about", "b_3d_gl", "p_glminus"}) {
    for (CmdRow& r : cmd_rows(key[0]))
      if (std::strcmp(r.key, key) == 0) r.run = [] {};
  }
}

// A script event that sets a radio button or toggle as a click on it does:
// a radio that becomes active stores its value and posts z_toggle.
void set_widget(const Setting& s, int value) {
  if (s.var == &select_type && (value == 2 || value == 4) && !opening_and_point)
    return fail_in_command(std::string("the ") + (value == 2 ? "Opening" : "Point") +
                           " button of the Select page is not enabled here");
  if (s.radio) {
    if (*s.var == value) return;
    *s.var = value;
    cmd_put_key("z_toggle");
  } else {
    *s.var = value;
  }
}

std::vector<std::string> words_of(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> w;
  for (std::string s; in >> s;) w.push_back(s);
  return w;
}

bool number_of(const std::string& text, double& out) {
  char* end = nullptr;
  out = std::strtod(text.c_str(), &end);
  return end && *end == '\0' && !text.empty() && std::isfinite(out);
}

bool integer_of(const std::string& text, int& out) {
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (!end || *end != '\0' || text.empty() || v < -1000000 || v > 1000000) return false;
  out = static_cast<int>(v);
  return true;
}

// Reads the script into events; the line of each event, for the reasons.
void read_script(const char* path, ScriptedWait& script, std::vector<int>& lines) {
  std::ifstream in(path);
  if (!in) throw RunFailed(std::string("cannot read the script ") + path);
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    const std::vector<std::string> w = words_of(line);
    const std::string at = "line " + std::to_string(number) + ": ";
    const std::string& kind = w[0];
    if (kind == "key" && w.size() == 2) {
      script.key(w[1].c_str());
    } else if (kind == "click" && w.size() == 4) {
      int button = 0;
      double x = 0, y = 0;
      if (!integer_of(w[1], button) || button < 1 || button > 5 || !number_of(w[2], x) || !number_of(w[3], y))
        throw RunFailed(at + "click takes a button 1..5 and two numbers: " + line);
      script.click_world(button, x, y);
    } else if (kind == "value" && w.size() >= 2) {
      // The text as typed, inner spaces included.
      std::string text = line.substr(line.find("value", first) + 5);
      text = text.substr(text.find_first_not_of(" \t"));
      while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
      script.value(text.c_str());
    } else if (kind == "press" && w.size() == 2) {
      script.press(w[1].c_str());
    } else if (kind == "answer" && w.size() == 2) {
      int n = 0;
      if (!integer_of(w[1], n) || n < 0 || n > 5) throw RunFailed(at + "answer takes 0..5: " + line);
      script.answer(n);
    } else if (kind == "set" && w.size() == 3) {
      const Setting* found = nullptr;
      for (const Setting& s : settings_table)
        if (w[1] == s.name) found = &s;
      if (!found) throw RunFailed(at + "no radio or toggle is bound to " + w[1] + " (see kav-edit --help)");
      int value = 0;
      if (!integer_of(w[2], value) || value < 0 || value > found->max)
        throw RunFailed(at + w[1] + " takes 0.." + std::to_string(found->max) + ": " + line);
      script.call([found, value] { set_widget(*found, value); });
    } else {
      throw RunFailed(at + "not an event: " + line);
    }
    lines.push_back(number);
  }
}

// The scripted backend, and what happens when its script is used up: a tool
// that still waits gets Escape until the command loop waits again, which
// then ends.
class EditRun final : public WaitBackend {
 public:
  ScriptedWait script;
  std::vector<int> lines;  // the script line of each event
  bool finishing = false;

  void run(int depth) override {
    if (failure.empty() && !finishing) {
      try {
        script.run(depth);
      } catch (const WaitScriptDry& e) {
        // Dry with every event applied is the script's end; an event that
        // nothing takes is a failure.
        if (script.remaining() != 0) failure = e.what();
        finishing = true;
      }
      if (!failure.empty() && failure.rfind("line ", 0) != 0) failure = where() + failure;
      if (wait_ended(depth)) return;
    }
    finish(depth);
  }
  void end(int) override {}

  // The line of the event applied last.
  std::string where() const {
    const std::size_t n = lines.size() - script.remaining();
    return n ? "line " + std::to_string(lines[n - 1]) + ": " : std::string();
  }

 private:
  void finish(int depth) {
    for (int escapes = 0; !wait_ended(depth); ++escapes) {
      if (depth == 1 && !active_request && box_depth == 0 &&
          prompt_shown == nls_translate("Select function:")) {
        quit_requested = 1;
        wait_end();
        return;
      }
      if (escapes == 20) {
        // Nothing can end this wait: no command may unwind through it.
        std::fflush(stdout);
        std::fprintf(stderr,
                     "kav-edit: %sthe script ended while something waits that Escape does not end, prompt "
                     "shown: \"%s\"\n",
                     failure.empty() ? "" : (failure + "; ").c_str(), prompt_shown.c_str());
        std::exit(1);
      }
      keymap_script_press("Escape");
    }
  }
};

int run(const std::string& fonts, const char* in, const char* script_path) {
  main_init_defaults();
  outdev_init_screen_slots();
  font_stroke_dir = fonts;
  install_ui();

  EditRun backend;
  read_script(script_path, backend.script, backend.lines);
  wait_set_backend(&backend);
  backend.script.prompt_shown = [] { return prompt_shown; };
  cmd_install_shell_hooks();
  ScriptTargets targets;
  targets.key_press = keymap_script_press;
  targets.box_answer = box_take_answer;
  script_targets_install(targets);
  input_install_script_targets();
  input_install_display_hooks();
  drop_window_rows();

  cur_view = 0;
  view_init(0);
  if (!view_offscreen(0, 800, 600)) throw RunFailed("cannot make a view");
  if (kavfile_load_drawing(1, in) != 1) throw RunFailed(std::string("cannot load ") + in);

  // The loop fits the view to the drawing before its first wait.
  cmd_loop();
  if (!failure.empty()) throw RunFailed(failure);
  if (backend.script.remaining() != 0)
    throw RunFailed(backend.where() + "the program quit before the end of the script");

  // Saving writes the unmarked elements: whatever a cancelled tool left
  // marked belongs to the drawing all the same.
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 0;
  final_save = true;
  if (kavfile_save_drawing(0) != 1) throw RunFailed(out_path + " was not written");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::printf(usage_text, settings_help().c_str());
    return 0;
  }
  std::string fonts = std::string(KAVRO_STAGE_DIR) + "/dat/fonts";
  int first = 1;
  if (argc >= 3 && std::strcmp(argv[1], "--fonts") == 0) {
    fonts = argv[2];
    first = 3;
  }
  if (argc - first != 3) {
    std::fprintf(stderr, usage_text, settings_help().c_str());
    return 1;
  }
  out_path = argv[first + 2];

  // The boxes' texts keep the standard output; the program's own lines
  // (dropped keys, statistics) go to standard error.
  std::fflush(stdout);
  said = fdopen(dup(1), "w");
  dup2(2, 1);
  if (!said) return 1;

  int status = 1;
  try {
    status = run(fonts, argv[first], argv[first + 1]);
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "kav-edit: %s\n", e.what());
    status = 1;
  }
  std::fflush(stdout);
  view_free_all();
  drawing_free();
  std::fclose(said);
  return status;
}
