#include "model/files/prefs.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "model/files/fio.h"
#include "model/files/fio_read.h"
#include "model/files/kavfile.h"
#include "model/files/load_save.h"
#include "model/nls.h"
#include "model/redraw.h"
#include "model/settings.h"
#include "model/ui.h"

namespace fs = std::filesystem;

namespace {

void error(const char* text) { ui().msgbox_error(nls_translate(text)); }

// What went wrong while setting up the user's folders, shown once at the end.
struct SetupLog {
  std::vector<std::string> lines;

  void add(const fs::path& p, const std::string& why) { lines.push_back(p.string() + ": " + why); }
  void add(const fs::path& p, const std::error_code& ec) { add(p, ec.message()); }
  void show() const {
    if (lines.empty()) return;
    std::string text = nls_translate("Setting up the user folders failed:");
    for (const std::string& l : lines) text += "\n" + l;
    ui().msgbox_error(text.c_str());
  }
};

// A path setting takes the value whole or not at all.
void set_path(FixedText<PATH_LEN>& dst, const std::string& value, SetupLog& log) {
  if (value.size() >= PATH_LEN)
    log.add(value, nls_translate("path too long"));
  else
    dst = value;
}

void make_dir(const fs::path& p, SetupLog& log) {
  std::error_code ec;
  fs::create_directories(p, ec);
  if (ec) log.add(p, ec);
}

// Installation files: the user's own copies are never overwritten.
void install_file(const fs::path& src, const fs::path& dst, SetupLog& log) {
  std::error_code ec;
  if (!fs::is_regular_file(src, ec)) {
    log.add(src, nls_translate("missing in the installation"));
    return;
  }
  fs::copy_file(src, dst, fs::copy_options::skip_existing, ec);
  if (ec) log.add(dst, ec);
}

void install_tree(const fs::path& src, const fs::path& dst, SetupLog& log) {
  std::error_code ec;
  if (!fs::is_directory(src, ec)) {
    log.add(src, nls_translate("missing in the installation"));
    return;
  }
  fs::create_directories(dst, ec);
  if (!ec) fs::copy(src, dst, fs::copy_options::recursive | fs::copy_options::skip_existing, ec);
  if (ec) log.add(dst, ec);
}

// Copies what a folder of the older version holds (folders too when
// recursive), replacing files of the same name.
void copy_contents(const fs::path& src, const fs::path& dst, bool recursive, SetupLog& log) {
  std::error_code ec;
  fs::directory_iterator it(src, ec), end;
  if (ec) {
    log.add(src, ec);
    return;
  }
  for (; it != end; it.increment(ec)) {
    const fs::path target = dst / it->path().filename();
    std::error_code e2;
    if (it->is_directory(e2)) {
      if (recursive)
        fs::copy(it->path(), target, fs::copy_options::recursive | fs::copy_options::overwrite_existing, e2);
    } else {
      fs::copy_file(it->path(), target, fs::copy_options::overwrite_existing, e2);
    }
    if (e2) log.add(target, e2);
  }
  if (ec) log.add(src, ec);
}

void first_start(const fs::path& home, SetupLog& log) {
  const fs::path work = home / ".kavro3";
  const fs::path user = home / "KAVRO3";
  make_dir(work, log);
  install_file("kavro.version", work / "kavro.version", log);
  install_file("kavro.gtkrc", work / "kavro.gtkrc", log);
  make_dir(work / "tmp", log);
  make_dir(user, log);
  make_dir(user / "ttf", log);
  make_dir(user / "prefs", log);
  install_file("dat/prefs/default.prefs", user / "prefs" / "default.prefs", log);
  for (const char* d : {"draw", "sym", "dia", "tex"}) install_tree(fs::path("dat") / d, user / d, log);
}

bool ask_yes(const char* question) {
  const char* answers[] = {nls_translate("Yes"), nls_translate("No")};
  return ui().msgbox_ask(nls_translate(question), 2, answers) == 1;
}

// Offers the files of the previous version.
void copy_previous_version(const fs::path& home, SetupLog& log) {
  const fs::path old = home / ".kavro2";
  const fs::path user = home / "KAVRO3";
  std::error_code ec;
  if (!fs::exists(old / "kavro.version", ec)) return;
  if (ask_yes("Copy settings from KAVRO 2.40 ?")) {
    copy_contents(old / "ttf", user / "ttf", false, log);
    copy_contents(old / "prefs", user / "prefs", false, log);
    copy_contents(old / "dia", user / "dia", true, log);
  }
  if (ask_yes("Copy drawings from KAVRO 2.40 ?")) copy_contents(old / "draw", user / "draw", true, log);
  if (ask_yes("Copy symbols from KAVRO 2.40 ?")) copy_contents(old / "sym", user / "sym", true, log);
  if (fs::exists("/usr/local/kavro2/kavro.version", ec) && ask_yes("Copy textures from KAVRO 2.40 ?"))
    copy_contents("/usr/local/kavro2/dat/tex", user / "tex", false, log);
}

bool readable(const std::string& path) { return static_cast<bool>(FioFile(path.c_str(), "rb")); }

// Reads the chunks of a settings file after its header. A file cut or
// broken halfway would leave settings of two origins: it changes nothing
// and false is returned.
bool read_whole(std::FILE* f, KavReadReport& report) {
  const KavSettingsSnapshot before;
  if (kavfile_read_chunks(f, 0, KAV_READ_SETTINGS_FILE, &report) && !report.damaged) return true;
  before.put_back();
  return false;
}

}  // namespace

std::string prefs_home() {
  if (const char* h = std::getenv("HOME"); h && *h) return h;
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && *pw->pw_dir) return pw->pw_dir;
  error("The home folder is unknown; the current folder is used instead.");
  return ".";
}

int prefs_write_settings_file(std::FILE* f) {
  return kavfile_write_header(f) && kavfile_write_settings(f) && prefs_write_file_chunks(f);
}

int prefs_load(int mode) {
  const std::string home = prefs_home();
  SetupLog log;
  set_path(tmp_dir, home + "/.kavro3/tmp/", log);
  const bool first = mode == 0 && !readable(home + "/.kavro3/kavro.version");
  if (first) {
    first_start(home, log);
    copy_previous_version(home, log);
  }
  const std::string base = base_dir.empty() ? home + "/KAVRO3/" : std::string(base_dir.c_str());
  set_path(prefs_path, base + "prefs/", log);
  log.show();

  std::string file = std::string(prefs_path.c_str()) + "default.prefs";
  if (mode == 1) {
    file = ui().filesel_choose(nls_translate("Load Settings..."), file.c_str(), 0, prefs_path.c_str());
    if (file == "cancel") return 0;
  }
  FioReadError open_error = FioReadError::NONE;
  FioFile in = fio_open_read(file, open_error);
  if (!in) {
    ui().msgbox_error(fio_read_error_message("Cannot open local settings!", open_error).c_str());
    return 0;
  }
  int read = 0;
  KavReadReport report;
  if (kavfile_read_header(in.get()) == 0) {
    error("This is not a Kavro file!");
  } else if (!read_whole(in.get(), report)) {
    error("The settings file is damaged; no setting was changed.");
  } else {
    read = 1;
    if (first) {
      SetupLog paths;
      set_path(draw_path, home + "/KAVRO3/draw/", paths);
      set_path(symbol_path, home + "/KAVRO3/sym/", paths);
      set_path(dialog_path, home + "/KAVRO3/dia/", paths);
      set_path(export_path, home + "/", paths);
      set_path(import_path, home + "/", paths);
      help_browser = "";
      paths.show();
    }
    if (mode == 1) {
      kavfile_refresh_after_read(true);
      redraw().view_zoom_to_extents(0);
    }
    kavfile_report_problems(report);
  }
  in.close();

  if (first) {
    help_browser = "";
    kavfile_write_file(home + "/KAVRO3/prefs/default.prefs", prefs_write_settings_file, "Cannot open file",
                       "Cannot write file");
  }
  return read;
}

int cmd_z_save_settings() {
  const std::string path =
      ui().filesel_choose(nls_translate("Save Settings..."), prefs_path.c_str(), 1, prefs_path.c_str());
  if (path == "cancel") return 0;
  return kavfile_write_file(path, prefs_write_settings_file, "Cannot open file", "Cannot write file");
}
