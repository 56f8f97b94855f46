// The file chooser: a non-modal GtkFileChooserDialog waited for like every
// box, with the program's own question before an existing file is
// overwritten and two buttons that go to the user's data folder and to the
// caller's folder without ending the wait.

#include <gtk/gtk.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "model/nls.h"
#include "model/settings.h"
#include "shell/dlg_boxes.h"
#include "shell/filesel.h"
#include "shell/gtk/box_wait.h"
#include "shell/text_utf8.h"

namespace {

// Private response ids. OK is one of them too: the toolkit's own handling of
// its accept responses would swallow an OK with nothing chosen or with a
// folder chosen in open mode, and the program answers those itself.
enum { RESPONSE_HOME = 1, RESPONSE_PATH = 2, RESPONSE_OK = 3 };

struct Chooser {
  explicit Chooser(int mode) : box(DLG_FILESEL), mode(mode) {}
  BoxWait box;
  int mode;
  std::string path_folder;
  std::string chosen = "cancel";
};

bool is_folder(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

void go_to_folder(GtkFileChooser* fc, const std::string& folder) {
  if (!folder.empty()) gtk_file_chooser_set_current_folder(fc, folder.c_str());
}

void filesel_on_button(GtkDialog* dialog, gint response, gpointer data) {
  auto* c = static_cast<Chooser*>(data);
  if (c->box.done) return;
  GtkFileChooser* fc = GTK_FILE_CHOOSER(dialog);
  switch (response) {
    case RESPONSE_HOME:
      go_to_folder(fc, std::string(base_dir.view()));
      return;
    case RESPONSE_PATH:
      go_to_folder(fc, c->path_folder);
      return;
    case RESPONSE_OK: {
      gchar* name = gtk_file_chooser_get_filename(fc);
      c->chosen = name ? name : "";
      g_free(name);
      // The chooser names folders without the closing "/" that marks them.
      bool folder = c->mode == 2 ? !c->chosen.empty() : is_folder(c->chosen);
      if (folder && c->chosen.back() != '/') c->chosen += '/';
      break;
    }
    default:
      c->chosen = "cancel";
      break;
  }
  box_finish(c->box);
}

// The chooser's name and location fields complete what is typed in two
// ways: the one sure rest of a name goes into the field, selected, and a
// list of the matching names drops down under it. With the list, typing a
// path goes wrong: as the list comes and goes with the letters, the
// selected rest is kept as if accepted, so the next letters land after it
// ("/tmp/kavro-..." becomes "/tmp/kavrovro-..."), and the toolkit checks its
// completion against a folder list it has already dropped (a Gtk-CRITICAL
// each time). A bare GTK program typed into at the same pace does the same.
// Without the list the selected rest is typed over, as it should be.
void keep_completion_list_off(GObject* completion, GParamSpec*, gpointer) {
  auto* c = GTK_ENTRY_COMPLETION(completion);
  if (gtk_entry_completion_get_popup_completion(c)) gtk_entry_completion_set_popup_completion(c, FALSE);
}

// The location field appears when the user starts typing a path: whatever
// field takes the keyboard gets its completion list switched off.
void on_focus_change(GtkWindow*, GtkWidget* focus, gpointer) {
  if (!focus || !GTK_IS_ENTRY(focus)) return;
  GtkEntryCompletion* c = gtk_entry_get_completion(GTK_ENTRY(focus));
  if (!c || g_object_get_data(G_OBJECT(c), "kavro-no-list")) return;
  g_object_set_data(G_OBJECT(c), "kavro-no-list", c);
  g_signal_connect(c, "notify::popup-completion", G_CALLBACK(keep_completion_list_off), nullptr);
  keep_completion_list_off(G_OBJECT(c), nullptr, nullptr);
}

// The drawing choosers, by their (translated) titles.
bool is_drawing_chooser(const char* title) {
  for (const char* english : {nls_mark("Load Drawing..."), nls_mark("Save Drawing...")})
    if (std::strcmp(title, nls_translate(english)) == 0) return true;
  return false;
}

// Drawings first, all files beside them.
void add_drawing_filters(GtkFileChooser* fc) {
  GtkFileFilter* drawings = gtk_file_filter_new();
  gtk_file_filter_set_name(drawings, "*.kav");
  gtk_file_filter_add_pattern(drawings, "*.[kK][aA][vV]");
  gtk_file_chooser_add_filter(fc, drawings);
  GtkFileFilter* all = gtk_file_filter_new();
  gtk_file_filter_set_name(all, gui_to_utf8(nls_translate("All files")).c_str());
  gtk_file_filter_add_pattern(all, "*");
  gtk_file_chooser_add_filter(fc, all);
  gtk_file_chooser_set_filter(fc, drawings);
}

// The name field of a save chooser selects only the proposed name's stem
// when it takes the keyboard, so a whole name typed over it keeps the old
// suffix behind the new one ("house.pdf" became "house.pdf.eps"). The whole
// name is selected instead: what is typed replaces it, and a name typed
// without a suffix gets the format's suffix from the exporter.
void select_whole_name(GtkWidget* entry, gpointer) { gtk_editable_select_region(GTK_EDITABLE(entry), 0, -1); }

void find_name_field(GtkWidget* w, gpointer found) {
  if (*static_cast<GtkWidget**>(found)) return;
  if (GTK_IS_ENTRY(w) && std::strcmp(G_OBJECT_TYPE_NAME(w), "GtkFileChooserEntry") == 0) {
    *static_cast<GtkWidget**>(found) = w;
    return;
  }
  if (GTK_IS_CONTAINER(w)) gtk_container_forall(GTK_CONTAINER(w), find_name_field, found);
}

void select_whole_name_on_focus(GtkWidget* dialog) {
  GtkWidget* entry = nullptr;
  find_name_field(dialog, &entry);
  if (entry) g_signal_connect_after(entry, "grab-focus", G_CALLBACK(select_whole_name), nullptr);
}

// A double click on a file, or Enter on it, answers as OK does.
void on_file_activated(GtkFileChooser* fc, gpointer) { gtk_dialog_response(GTK_DIALOG(fc), RESPONSE_OK); }

// Shows start first: a folder is entered; otherwise an open chooser selects
// the file and a save chooser enters its folder and proposes its name.
void preset(GtkFileChooser* fc, const std::string& start, int mode) {
  if (start.empty()) return;
  if (start.back() == '/' || is_folder(start)) {
    go_to_folder(fc, start);
    return;
  }
  std::filesystem::path p(start);
  if (mode == 0) {
    gtk_file_chooser_set_filename(fc, start.c_str());
  } else if (mode == 1) {
    go_to_folder(fc, p.parent_path().string());
    gtk_file_chooser_set_current_name(fc, gui_to_utf8(p.filename().c_str()).c_str());
  } else {
    go_to_folder(fc, p.parent_path().string());
  }
}

GtkWidget* filesel_create(Chooser& c, const char* title, const std::string& start) {
  GtkFileChooserAction action = c.mode == 1   ? GTK_FILE_CHOOSER_ACTION_SAVE
                                : c.mode == 2 ? GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER
                                              : GTK_FILE_CHOOSER_ACTION_OPEN;
  GtkWidget* w = gtk_file_chooser_dialog_new(
      gui_to_utf8(title).c_str(), nullptr, action, gui_to_utf8(nls_translate("> Kavro Home")).c_str(),
      RESPONSE_HOME, gui_to_utf8(nls_translate("> Kavro Path")).c_str(), RESPONSE_PATH,
      gui_to_utf8(nls_translate("Cancel")).c_str(), GTK_RESPONSE_CANCEL,
      gui_to_utf8(nls_translate("OK")).c_str(), RESPONSE_OK, nullptr);
  box_place(w, title, 5);
  gtk_window_set_modal(GTK_WINDOW(w), FALSE);
  gtk_dialog_set_default_response(GTK_DIALOG(w), RESPONSE_OK);
  g_signal_connect(w, "response", G_CALLBACK(filesel_on_button), &c);
  g_signal_connect(w, "file-activated", G_CALLBACK(on_file_activated), nullptr);
  g_signal_connect(w, "set-focus", G_CALLBACK(on_focus_change), nullptr);
  if (c.mode != 2 && is_drawing_chooser(title)) add_drawing_filters(GTK_FILE_CHOOSER(w));
  preset(GTK_FILE_CHOOSER(w), start, c.mode);
  if (c.mode == 1) select_whole_name_on_focus(w);
  return w;
}

bool readable(const std::string& path) { return access(path.c_str(), R_OK) == 0; }

}  // namespace

std::string filesel_choose(const char* title, const char* start_name, int mode, const char* path_folder) {
  Chooser c(mode);
  c.path_folder = path_folder ? path_folder : "";
  box_run(c.box, filesel_create(c, title ? title : "", start_name ? start_name : ""));
  if (c.box.dropped_key) c.chosen = "cancel";

  FileselCheck check = filesel_check(c.chosen, mode, readable);
  if (check.error) {
    std::string text = nls_translate("Cannot open file");
    if (check.why) text += std::string("\n") + nls_translate(check.why);
    msgbox_error(text.c_str());
  }
  if (check.ask_overwrite) {
    const char* labels[] = {nls_translate("Overwrite"), nls_translate("Cancel")};
    if (msgbox_ask(nls_translate("File already exists. OK to overwrite it?"), 2, labels) != 1)
      check.path = "cancel";
  }
  return check.path;
}
