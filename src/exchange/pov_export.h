#pragma once

// POV-Ray scenes: the marked model written as a scene for the POV-Ray ray
// tracer (materials, meshes, walls as solids with their openings cut out,
// lights and the perspective view's camera), and POV-Ray started on it.
// The material preview uses the program search and the texture writer.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/material_table.h"

class OutText;

// 1 when the last pov_find_command found a POV-Ray program.
extern uint8_t pov_found;

// Looks for POV-Ray on PATH: the first word of the configured
// pov_settings.command, else "povray" (which then becomes the command),
// else "x-povray" (likewise). Sets pov_found and returns it; when nothing
// is found, shows the error box naming the configured command. Runs no
// shell and writes no file.
int pov_find_command();

// The scene of the render command and the scene of the material preview,
// both in the program's private temporary folder; empty when there is no
// such folder.
std::string pov_render_scene_path();
std::string pov_scene_path();

// Writes "#declare <identifier> = texture { ... }" for the material: its
// colour and transparency, the image map of a textured material (the image
// in base_dir's "tex" folder; an image map is also printed on standard
// output), the finish (ambient by pov_settings.quality), and the lines of
// the special file when the material has one.
void pov_write_texture(OutText& out, const MaterialDef& def, std::string_view identifier);
void pov_write_texture(std::FILE* f, const MaterialDef& def, std::string_view identifier);

// The scene identifier of every entry of mat_table, in table order: the
// table's identifier, with "mat_" in front when it is a POV-Ray keyword
// ("box", "plane"), and a number behind when that prefix made it equal to
// another entry's.
std::vector<std::string> pov_identifiers();

// The whole scene of the marked elements, their materials already in
// mat_table: global settings, camera (view_camera; orthographic when asked),
// background and sky, one texture per table entry, then the marked meshes,
// walls and lights in list order. Other kinds are left out.
void pov_write_scene(OutText& out, bool orthographic);

// The argument vector that renders scene with pov_settings: the configured
// command's words, the scene, the size, the image file (or none), the
// quality and the anti-aliasing. Empty when the command cannot be split.
std::vector<std::string> pov_run_argv(const std::string& scene);
// Starts POV-Ray on the render scene in the background, in the private
// temporary folder. False (with a message) when it could not be started,
// or when the picture to be saved could not be written (saying why). Once
// a render that saves its picture has ended, the user is told where the
// picture is, or that POV-Ray wrote none.
bool pov_run();
// Where the rendered picture goes: pov_settings.output_file ("kavro.tga"
// when empty), a relative name taken from the drawing's folder, or from
// the folder the program was started in while the drawing has no name.
std::string pov_image_path();
// Looks whether the renders started by pov_run have ended and says for
// each that has what became of its picture. True when none is left to
// look after (handed to ui().poll_until).
bool pov_render_check();

// The export (mode 1: the scope question and the chooser) and the render
// (mode 0: the current and the shown layers into the render scene, then
// pov_run). Both ask for the camera type first and need POV-Ray on PATH.
// Every mark is cleared however the command ends.
void pov_export(int mode);
void pov_export_file();  // p_file_export_pov
void pov_render();       // b_3d_pov
