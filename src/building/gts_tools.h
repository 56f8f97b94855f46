#pragma once

// GTS surface files from the menu: the marked meshes and walls written to
// one file, and one file read back as a cleaned mesh.

void cmd_p_file_export_gts();
void cmd_p_file_import_gts();
