#pragma once

// The scripted wait backend: runs the program without a display.
//
// Each level of a wait pops the next event from the script and applies it
// through the same functions the real event handlers call, until something
// ends the level. A command key goes through cmd_post_key (shell hooks); the
// other kinds go to the script targets that their modules register. When the
// script runs dry while a level waits, run() throws WaitScriptDry naming the
// prompt shown, so a test fails instead of hanging.

#include <deque>
#include <functional>
#include <stdexcept>
#include <string>

#include "display/wait.h"

// Receivers of the events other than command keys. Null means nothing takes
// that kind of event yet; a script that holds one then fails with a message.
struct ScriptTargets {
  // A mouse button press in the drawing area, at a pixel or at a world point.
  void (*click)(int button, double x, double y, bool world) = nullptr;
  // A value typed into the inline entry and confirmed.
  void (*value)(const char* text) = nullptr;
  // A key press by key name, such as "Escape" or "F9".
  void (*key_press)(const char* name) = nullptr;
  // The answer to the open question box (1..5, 0 = closed).
  void (*box_answer)(int answer) = nullptr;
};

const ScriptTargets& script_targets();
ScriptTargets script_targets_install(const ScriptTargets& targets);

// A script that cannot go on: it ran dry, or holds an event nobody takes.
struct WaitScriptDry : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class ScriptedWait final : public WaitBackend {
 public:
  // Script building; each returns *this for chaining.
  ScriptedWait& key(const char* key, void* widget = nullptr);
  ScriptedWait& click(int button, double px, double py);
  ScriptedWait& click_world(int button, double x, double y);
  ScriptedWait& value(const char* text);
  ScriptedWait& press(const char* key_name);
  ScriptedWait& answer(int n);
  // A change in a widget that may post no key at all (a toggle button, a
  // radio button that is already active): run as the widget's handler would.
  ScriptedWait& call(std::function<void()> action);

  // Events not yet applied.
  std::size_t remaining() const { return events_.size() - next_; }

  // Names the prompt shown in the message of a dry script.
  std::function<std::string()> prompt_shown;

  void run(int depth) override;
  void end(int depth) override;

 private:
  enum class Kind { KEY, CLICK, CLICK_WORLD, VALUE, PRESS, ANSWER, CALL };
  struct Event {
    Kind kind;
    std::string text;
    void* widget = nullptr;
    int number = 0;
    double x = 0.0, y = 0.0;
    std::function<void()> action = nullptr;
  };
  void apply(const Event& e);
  // Applied events stay: a posted key must outlive its post, as the static
  // key texts of buttons do.
  std::deque<Event> events_;
  std::size_t next_ = 0;
};
