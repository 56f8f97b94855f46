#include "display/wait_script.h"

#include <utility>

#include "display/shell_hooks.h"

namespace {

ScriptTargets targets;

[[noreturn]] void fail(const std::string& what) { throw WaitScriptDry(what); }

}  // namespace

const ScriptTargets& script_targets() { return targets; }

ScriptTargets script_targets_install(const ScriptTargets& t) {
  ScriptTargets previous = targets;
  targets = t;
  return previous;
}

ScriptedWait& ScriptedWait::key(const char* k, void* widget) {
  events_.push_back({Kind::KEY, k, widget});
  return *this;
}

ScriptedWait& ScriptedWait::click(int button, double px, double py) {
  events_.push_back({Kind::CLICK, "", nullptr, button, px, py});
  return *this;
}

ScriptedWait& ScriptedWait::click_world(int button, double x, double y) {
  events_.push_back({Kind::CLICK_WORLD, "", nullptr, button, x, y});
  return *this;
}

ScriptedWait& ScriptedWait::value(const char* text) {
  events_.push_back({Kind::VALUE, text});
  return *this;
}

ScriptedWait& ScriptedWait::press(const char* key_name) {
  events_.push_back({Kind::PRESS, key_name});
  return *this;
}

ScriptedWait& ScriptedWait::answer(int n) {
  events_.push_back({Kind::ANSWER, "", nullptr, n});
  return *this;
}

ScriptedWait& ScriptedWait::call(std::function<void()> action) {
  Event e{Kind::CALL, ""};
  e.action = std::move(action);
  events_.push_back(std::move(e));
  return *this;
}

void ScriptedWait::run(int depth) {
  while (!wait_ended(depth)) {
    if (next_ == events_.size()) {
      std::string prompt = prompt_shown ? prompt_shown() : std::string();
      fail("the script ran dry while waiting at depth " + std::to_string(depth) + ", prompt shown: \"" +
           prompt + "\"");
    }
    apply(events_[next_++]);
  }
}

void ScriptedWait::end(int) {}

void ScriptedWait::apply(const Event& e) {
  switch (e.kind) {
    case Kind::KEY:
      shell_hooks().cmd_post_key(e.widget, e.text.c_str());
      return;
    case Kind::CLICK:
    case Kind::CLICK_WORLD:
      if (!targets.click) fail("the script holds a click, but nothing takes clicks");
      targets.click(e.number, e.x, e.y, e.kind == Kind::CLICK_WORLD);
      return;
    case Kind::VALUE:
      if (!targets.value) fail("the script holds a typed value, but nothing takes typed values");
      targets.value(e.text.c_str());
      return;
    case Kind::PRESS:
      if (!targets.key_press) fail("the script holds a key press, but nothing takes key presses");
      targets.key_press(e.text.c_str());
      return;
    case Kind::ANSWER:
      if (!targets.box_answer) fail("the script holds a box answer, but no box takes answers");
      targets.box_answer(e.number);
      return;
    case Kind::CALL:
      if (e.action) e.action();
      return;
  }
}
