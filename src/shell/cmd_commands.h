#pragma once

// The shell's own program commands: a new drawing, quitting, and the path
// buttons of the settings and renderer dialogs.

// The file name of a drawing that has none yet, in the drawing folder: the
// drawing's name after the start and after p_file_new.
inline constexpr const char* DRAWING_UNNAMED = "Unnamed.kav";
// p_file_new: empties the drawing (after asking when it is modified); the
// drawing becomes DRAWING_UNNAMED in the drawing folder.
void cmd_p_file_new();
// What a new drawing resets: the Layers dialog goes, the drawing is emptied.
void gui_reset_for_new_drawing();
// p_file_quit (also closing the main window): quits, after asking when the
// drawing is modified; answering Save saves and keeps the program running.
void cmd_p_file_quit();
// The path buttons of the settings and renderer dialogs: "draw", "sym",
// "dxf", "export", "dia", "pov", "ray". Asks for a folder or file and writes
// the choice into the setting and the dialog's entry; a cancel changes nothing.
void cmd_p_path_choose(const char* name);
