#pragma once

// Rendering with the Radiance tools, which are separate programs the user
// installs: the elements on the current and the shown layers become a
// scene (with a generated sky when the settings ask for one), the octree is
// built while the program waits, and the rendering, its conversion to a
// portable pixmap and the image viewer then run in the background.
//
// Everything lives in the folder rad_work_folder(): the scene "kavro.rad",
// the control file "kavro.rif" and what the tools make of them. Each render
// first removes the files of the one before. The tools start from argument
// vectors with that folder as their working folder; their redirections are
// files opened for them.

#include <string>

// The render's folder inside the program's private temporary folder, made
// when missing; empty when it cannot be made.
std::string rad_work_folder();

// Mode 0 uses oconv and rad, mode 1 their Radzilla variants rzoconv and radz.
void rad_render(int mode);

// b_3d_ray and b_3d_raz.
void tool_3d_ray();
void tool_3d_raz();
