#pragma once

// The material preview: a sphere with the current material over a checker
// floor, rendered by POV-Ray in its own window (140 x 100 pixels, no image
// file). The scene goes to the preview scene file in the private temporary
// folder; POV-Ray is started from an argument vector in the background.
//
// Toolkit-free: the Material dialog shows the outcome.

#include <string>
#include <vector>

#include "exchange/material_table.h"

class OutText;

// The identifier of the material in the preview scene.
inline constexpr const char* MAT_PREVIEW_TEXTURE = "pre_mat";

// material_preset as a material of the export table.
MaterialDef mat_preview_material();
// The scene: the texture declaration of the current material, then the
// light, camera, floor and sphere.
void mat_preview_write_scene(OutText& out);
// The configured POV-Ray command's words, then the preview's options and
// "-i" with the scene path in double quotes as one argument (POV-Ray reads
// a blank in an option as the option's end); empty when the command cannot
// be split.
std::vector<std::string> mat_preview_argv(const std::string& scene);

enum class MatPreview {
  STARTED,
  NO_POVRAY,    // no POV-Ray program found (its error box was shown)
  NO_SCENE,     // the scene file could not be written (said in an error box)
  NOT_STARTED,  // the program could not be started (said in an error box)
};
// Looks for POV-Ray, writes the scene and starts POV-Ray on it.
MatPreview mat_preview_render();
