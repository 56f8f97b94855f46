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
