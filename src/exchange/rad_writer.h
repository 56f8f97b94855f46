#pragma once

// The texts of a Radiance render: the scene's materials, lights and
// polygons, the sky's glow, the rad control file and the sky generator's
// arguments. Every primitive is "modifier type identifier", then its string,
// integer and real arguments, each list led by its count. Coordinates are
// the drawing's own (z up). Numbers are written the same in every locale.

#include <cstdio>
#include <string>
#include <vector>

#include "exchange/material_table.h"
#include "model/elem.h"
#include "model/settings.h"
#include "model/view_rec.h"

class OutText;

// One material: a picture pattern first when it is textured (the picture
// in texture_dir, which ends with "/"), then glass and/or metal, or else a
// transparent or a plastic material, named by m.identifier.
void rad_write_material(OutText& out, const MaterialDef& m, const std::string& texture_dir);
// The same into a stream, with the pictures in the user's "tex" folder;
// false when the stream failed.
bool rad_write_material(std::FILE* f, const MaterialDef& m);
// The user's texture folder: base_dir and "tex/".
std::string rad_texture_dir();

// The glow of sky and ground around a generated sky.
void rad_write_sky_glow(OutText& out);
// The n-th light: its emitting material and a sphere of radius 0.1 at its
// position.
void rad_write_light(OutText& out, int n, const LightElem& light);
// Every face of the mesh as a polygon of the material, numbered on from
// *next. Faces with fewer than three corners or with a corner outside the
// vertex list are left out.
void rad_write_polygons(OutText& out, const MeshElem& mesh, const std::string& material, int* next);

// The box of the zone rad computes its light in.
struct RadZone {
  double xmin = 0.0, xmax = 0.0, ymin = 0.0, ymax = 0.0, zmin = 0.0, zmax = 0.0;
};

enum RadViewType { RAD_VIEW_PERSPECTIVE = 1, RAD_VIEW_LINEAR = 2 };

// What the control file is written from.
struct RadJob {
  int mode = 0;  // 0 rad, 1 the Radzilla variant (it also writes the picture root and filter options)
  int view_type = RAD_VIEW_PERSPECTIVE;
  RadSettings settings;
  ViewCamera camera;
  RadZone zone;
};

// The rad control file. For the linear view the view sizes are the camera's
// view angle and 0.75 of it taken as lengths.
void rad_write_rif(OutText& out, const RadJob& job);

// The arguments of the sky generator for the sky of the 1st of July at the
// settings' hour and latitude (its program name first); empty when the sky
// is off.
std::vector<std::string> rad_gensky_argv(const RadSettings& settings);
