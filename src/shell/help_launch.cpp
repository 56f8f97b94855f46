#include "shell/help_launch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <optional>

#include "model/nls.h"
#include "model/settings.h"
#include "model/ui.h"
#include "platform/process.h"
#include "shell/nls_table.h"
#include "shell/shell_platform.h"

const std::vector<std::string>& help_browser_candidates() {
  static const std::vector<std::string> names = {"konqueror", "firefox",  "mozilla",       "galeon",
                                                 "opera",     "netscape", "x-www-browser", "xdg-open"};
  return names;
}

std::vector<std::string> help_find_browser(std::string (*find)(const std::string& name)) {
  // An old settings value names a helper script that no longer exists.
  if (std::string(help_browser.c_str()) == "./nshelp") help_browser = "mozilla";

  // The configured command keeps its arguments; only its program is looked up.
  if (std::optional<std::vector<std::string>> words = process_split_command(help_browser.c_str());
      words && !words->empty()) {
    if (std::string path = find(words->front()); !path.empty()) return *words;
  }
  for (const std::string& name : help_browser_candidates()) {
    if (find(name).empty()) continue;
    help_browser = name;
    return {name};
  }
  return {};
}

std::string help_page_url(const std::string& folder, const std::string& page, const std::string& anchor) {
  const std::string path = folder + "/doc/" + page;
  std::string url = "file://";
  static const char hex[] = "0123456789ABCDEF";
  for (unsigned char c : path) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.' || c == '~' || c == '/';
    if (plain) {
      url += static_cast<char>(c);
    } else {
      url += '%';
      url += hex[c >> 4];
      url += hex[c & 15];
    }
  }
  if (!anchor.empty()) url += "#" + anchor;
  return url;
}

std::string help_page_in_language(const std::string& folder, const std::string& page) {
  const bool german = nls_text_language >= 0 && nls_text_language < static_cast<int>(languages.size()) &&
                      languages[nls_text_language] == "german";
  struct stat st;
  if (german && stat((folder + "/doc/de/" + page).c_str(), &st) == 0) return "de/" + page;
  return page;
}

namespace {

// The browser last started in the background, until it is known how it ended.
struct StartedBrowser {
  int pid = 0;
  std::string name;
  std::string manual;
};
StartedBrowser started_browser;

// No browser could show the page: the user gets the manual's path instead.
void say_no_browser(const std::string& name, const std::string& manual) {
  char text[512];
  std::snprintf(text, sizeof text, nls_translate("Cannot start %s"),
                name.empty() ? "x-www-browser" : name.c_str());
  const std::string message =
      std::string(text) + "\n" + nls_translate(nls_mark("The manual is here:")) + "\n" + manual;
  ui().msgbox_error(message.c_str());
}

}  // namespace

bool help_browser_check(bool wait) {
  if (started_browser.pid == 0) return true;
  std::optional<int> status = process_background_status(started_browser.pid);
  if (!status && wait) status = process_background_wait(started_browser.pid);
  if (!status) return false;
  const StartedBrowser ended = started_browser;
  started_browser = StartedBrowser{};
  // A desktop opener such as xdg-open ends at once, with a failure when no
  // browser could take the page; a browser that ends well has shown it.
  if (*status != 0) say_no_browser(ended.name, ended.manual);
  return true;
}

void help_show_page(const char* page, const char* anchor) {
  std::vector<std::string> argv = help_find_browser(process_find_program);
  const std::string shown = argv.empty() ? std::string(help_browser.c_str()) : argv.front();
  char cwd[4096];
  const std::string folder = getcwd(cwd, sizeof cwd) ? cwd : ".";
  const std::string name = help_page_in_language(folder, page ? page : "index.html");
  const std::string manual = folder + "/doc/" + name;
  if (argv.empty()) {
    say_no_browser(shown, manual);
    return;
  }
  argv.push_back(help_page_url(folder, name, anchor ? anchor : ""));
  ProcessRequest request;
  request.argv = argv;
  request.wait = false;
  const ProcessResult result = process_start(request);
  if (!result.started || result.exit_status > 0) {
    say_no_browser(shown, manual);
  } else if (result.pid > 0 && result.exit_status < 0) {
    started_browser = StartedBrowser{result.pid, shown, manual};
    shell_platform().poll_until([] { return help_browser_check(false); });
  }
}
