#pragma once

// Start-up and shut-down, and the main window's life with its two timers.
//
// The program runs in its installation folder (it reads "nls", "graphics",
// "dat" and "doc" from there). Start-up: the user's base folder, the drawing
// argument, the translation table, the toolkit with the locale and the style
// file, the defaults, the user's settings (setting up the user's folders on
// the first start), the presets, the main window with its timers, the
// default view, the drawing, then the command loop; shut-down in reverse.

#include <gtk/gtk.h>

#include <optional>
#include <string>

// The main window, from mainwin_start to mainwin_stop; null otherwise.
extern GtkWidget* main_window;
// The ids of the autobackup and the hover timers; 0 when not running.
extern guint backup_timer_id;
extern guint hover_timer_id;

// The whole program; returns the exit status. With an install folder (the
// executable's own), a drawing named by a relative path is taken from the
// folder the user started in, and the program then works in the install
// folder, where it finds its own files and the helper programs it starts.
// Without one it works in the current folder.
int kavro_main(int argc, char** argv, const std::string& install = {});

// The user's base folder: the first line of "<home>/.kavro3/kavro.base" when
// that file holds a complete line, else "<home>/KAVRO3/". base_file is the
// file's content, or null when it cannot be read. A folder is made to end
// in "/"; one of PATH_LEN bytes or more is refused (with a line on standard
// output) in favour of the default.
std::string startup_base_dir(const std::string& home, const std::optional<std::string>& base_file);
// Reads the file and resolves as above.
std::string startup_read_base_dir(const std::string& home);

// The drawing argument as an absolute path (relative to the folder the
// program was started in). Empty when there is none; refused (nullopt, with
// a line on standard output) when the path has PATH_LEN bytes or more.
std::optional<std::string> startup_drawing_argument(const char* arg);

// Seconds between two autobackups for an interval in minutes: none (0) for
// an interval of 0 or less, at most one day.
unsigned startup_backup_seconds(int interval_minutes);
inline constexpr int BACKUP_INTERVAL_MAX = 1440;

// Toolkit start-up: the locale of the chosen language (numbers stay "C"),
// the toolkit, the style file. False when there is no display.
bool gui_init();
// The program's own look, below the style file: compact buttons, entries
// and menus, so that the window fits small screens.
void gui_style_install_builtin();

// Puts the main window's calls into the ui table and into the shell
// platform table (pages, menus, size labels, rebuild, the main view's
// drawing for bound widgets), keeping both tables' other entries.
void mainwin_install_ui();

// Builds and shows the main window and starts both timers.
void mainwin_start();
// Stops both timers and destroys the main window.
void mainwin_stop();
// The window built again (after the interface font changed): stopped, the
// views freed, started again.
void mainwin_rebuild();
// Starts the autobackup timer again with the current backup_interval.
void mainwin_restart_autobackup();
// The autobackup timer: writes the backup of a modified drawing when
// autobackup is on. Keeps the timer running.
gboolean mainwin_on_autobackup(gpointer data);
void mainwin_set_title(const char* text);

// Frees the drawing at exit; returns 1.
int main_exit_free_drawing(int mode);
