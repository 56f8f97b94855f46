#include "exchange/rad_render.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "building/solid/wall_mesh.h"
#include "display/view_commands.h"
#include "exchange/export_2d.h"
#include "exchange/export_check.h"
#include "exchange/material_table.h"
#include "exchange/out_text.h"
#include "exchange/rad_writer.h"
#include "model/consts.h"
#include "model/elem.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/ui.h"
#include "model/view_rec.h"
#include "platform/process.h"
#include "platform/temp_folder.h"

namespace {

constexpr const char* SCENE = "kavro.rad";
constexpr const char* CONTROL = "kavro.rif";
constexpr const char* OCTREE = "kavro.oct";
constexpr const char* PICTURE = "kavro_a.pic";
constexpr const char* PIXMAP = "kavro_a.ppm";
// Every file a render leaves behind; the next one starts without them.
constexpr const char* KNOWN_FILES[] = {SCENE, CONTROL, OCTREE, "kavro.amb", PICTURE, PIXMAP};

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// The table lives for the writing of one scene, however that ends.
struct MaterialTableScope {
  MaterialTableScope() { mat_table_init(); }
  ~MaterialTableScope() { mat_table_free(); }
  MaterialTableScope(const MaterialTableScope&) = delete;
  MaterialTableScope& operator=(const MaterialTableScope&) = delete;
};

// An error whose translated format holds one %s.
void say(const char* format, const std::string& value) {
  char text[1024];
  std::snprintf(text, sizeof text, format, value.c_str());
  ui().msgbox_error(text);
}

ProcessRequest tool_request(const std::string& folder, std::vector<std::string> argv) {
  ProcessRequest r;
  r.argv = std::move(argv);
  r.working_dir = folder;
  r.stdin_path = "/dev/null";
  return r;
}

// Runs a tool and waits for it; false (said to the user) when it could not
// start or ended with an error.
bool run_tool(const ProcessRequest& r) {
  const ProcessResult result = process_start(r);
  if (!result.started) {
    say(nls_translate("Cannot start %s"), r.argv[0]);
    return false;
  }
  if (result.exit_status != 0) {
    say(nls_translate("%s ended with an error"), r.argv[0]);
    return false;
  }
  return true;
}

// Every program the render needs must be there before anything is written.
bool programs_found(const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    if (process_find_program(name).empty()) {
      say(nls_translate("Cannot find the program %s.\nThe Radiance tools are not part of Kavro; install them "
                        "to render."),
          name);
      return false;
    }
  }
  return true;
}

bool on_shown_layer(const ElemHeader* e) { return e->layer == cur_layer || layer_shown(e->layer); }

void grow(RadZone& z, bool& started, double x, double y) {
  if (!started) {
    z.xmin = z.xmax = x;
    z.ymin = z.ymax = y;
    started = true;
    return;
  }
  z.xmin = std::min(z.xmin, x);
  z.xmax = std::max(z.xmax, x);
  z.ymin = std::min(z.ymin, y);
  z.ymax = std::max(z.ymax, y);
}

// The box of a room: its contour points in plan, from its base to its top.
RadZone room_zone(const RoomElem& room) {
  RadZone z;
  bool started = false;
  for (std::size_t i = 0; i < room.points.size(); ++i) {
    const Point2& p = room.points[i];
    if (i > 0 && point_is_contour_end(p.x, p.y)) continue;
    grow(z, started, p.x, p.y);
  }
  z.zmin = room.base_z;
  z.zmax = room.top_z;
  return z;
}

// Writes the marked elements after what the file holds (its header and
// sky). False when the user cancelled at a material question or the file
// could not be written (said to the user); the zone is set on success.
bool write_scene_body(std::FILE* f, bool sky, RadZone* zone) {
  MaterialTableScope table;
  bool have_room = false;
  for (ElemHeader* e = elem_list_head; e; e = e->next) {
    if (e->mark != 1) continue;
    int registered = 1;
    if (const auto* mesh = elem_as<MeshElem>(e))
      registered = mat_register(mesh->material.view());
    else if (const auto* wall = elem_as<WallElem>(e))
      registered = mat_register(wall->material.view());
    else if (const auto* room = elem_as<RoomElem>(e)) {
      // A later room replaces the box of an earlier one.
      *zone = room_zone(*room);
      have_room = true;
    }
    if (!registered) return false;
  }
  if (have_room) {
    marked_extents.xmin3 = zone->xmin;
    marked_extents.xmax3 = zone->xmax;
    marked_extents.ymin3 = zone->ymin;
    marked_extents.ymax3 = zone->ymax;
    marked_extents.zmin3 = zone->zmin;
    marked_extents.zmax3 = zone->zmax;
  } else {
    // Without a room the zone is the box of what is rendered.
    view_zoom_to_extents(1);
    *zone = RadZone{marked_extents.xmin3, marked_extents.xmax3, marked_extents.ymin3,
                    marked_extents.ymax3, marked_extents.zmin3, marked_extents.zmax3};
  }

  FileOut out(f);
  export_refused_clear();
  {
    // Nothing is rendered from a scene that cannot hold the drawing.
    ExportCoordinates limits(EXPORT_RENDER_LIMIT, "Radiance", false);
    if (sky) rad_write_sky_glow(out);
    const std::string texture_dir = rad_texture_dir();
    for (int i = 0; i < mat_count; ++i) rad_write_material(out, mat_table[i], texture_dir);

    WallTempMeshes walls;
    for (ElemHeader* e = elem_list_head; e; e = e->next)
      if (e->layer == LAYER_TEMP_3D) e->mark = 1;
    int lights = 0;
    int polygons = 0;
    for (ElemHeader* e = elem_list_head; e; e = e->next) {
      if (e->mark != 1) continue;
      if (const auto* light = elem_as<LightElem>(e)) {
        rad_write_light(out, lights++, *light);
      } else if (const auto* mesh = elem_as<MeshElem>(e)) {
        // Polygons name their material by the identifier the table gave it.
        const std::string id =
            mat_count > 0 ? mat_table[mat_index(mesh->material.view())].identifier.c_str() : "void";
        rad_write_polygons(out, *mesh, id, &polygons);
      }
    }
    out.flush();
  }
  if (export_refusal_shown()) return false;
  if (!out.ok() || std::fflush(f) != 0 || std::ferror(f)) {
    ui().msgbox_error(nls_translate("Cannot write file"));
    return false;
  }
  return true;
}

// The scene file with its header, the generated sky and the marked
// elements. False when it was not written whole (said to the user, or the
// user cancelled).
bool write_scene(const std::string& folder, const RadSettings& settings, RadZone* zone) {
  const std::string path = folder + "/" + SCENE;
  {
    File f(std::fopen(path.c_str(), "w"));
    if (!f || std::fputs("#Radiance file written by Kavro\n\n", f.get()) < 0 || std::fflush(f.get()) != 0) {
      ui().msgbox_error(nls_translate("Cannot open file"));
      return false;
    }
  }
  const std::vector<std::string> gensky = rad_gensky_argv(settings);
  if (!gensky.empty()) {
    ProcessRequest r = tool_request(folder, gensky);
    r.stdout_path = SCENE;
    r.stdout_append = true;
    if (!run_tool(r)) return false;
  }
  File f(std::fopen(path.c_str(), "a"));
  if (!f) {
    ui().msgbox_error(nls_translate("Cannot open file"));
    return false;
  }
  if (write_scene_body(f.get(), !gensky.empty(), zone)) return true;
  // No half scene is left for the renderer.
  ::unlink(path.c_str());
  return false;
}

bool write_control(const std::string& folder, const RadJob& job) {
  File f(std::fopen((folder + "/" + CONTROL).c_str(), "w"));
  if (!f) {
    ui().msgbox_error(nls_translate("Cannot open file"));
    return false;
  }
  FileOut out(f.get());
  rad_write_rif(out, job);
  out.flush();
  if (!out.ok() || std::fflush(f.get()) != 0 || std::ferror(f.get())) {
    ui().msgbox_error(nls_translate("Cannot write file"));
    return false;
  }
  return true;
}

}  // namespace

std::string rad_work_folder() {
  const std::string& base = temp_folder();
  if (base.empty()) return {};
  const std::string folder = base + "/radiance";
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return {};
  return folder;
}

void rad_render(int mode) {
  const RadSettings settings = rad_settings;
  const std::string octree_tool = mode == 1 ? "rzoconv" : "oconv";
  const std::string render_tool = mode == 1 ? "radz" : "rad";
  const std::optional<std::vector<std::string>> viewer = process_split_command(settings.viewer.c_str());
  if (!viewer || viewer->empty()) {
    say(nls_translate("Cannot start %s"), settings.viewer.c_str());
    return;
  }
  std::vector<std::string> programs{octree_tool, render_tool, "ra_ppm", viewer->front()};
  if (!rad_gensky_argv(settings).empty()) programs.insert(programs.begin(), "gensky");
  if (!programs_found(programs)) return;

  const std::string folder = rad_work_folder();
  if (folder.empty()) {
    ui().msgbox_error(nls_translate("Cannot open file"));
    return;
  }
  for (const char* name : KNOWN_FILES) ::unlink((folder + "/" + name).c_str());

  const char* labels[] = {"Perspective", "Linear", nls_translate("Cancel")};
  const int view_type = ui().msgbox_ask(nls_translate("Viewtype:"), 3, labels);
  if (view_type != RAD_VIEW_PERSPECTIVE && view_type != RAD_VIEW_LINEAR) return;

  RadJob job;
  job.mode = mode;
  job.view_type = view_type;
  job.settings = settings;
  job.camera = view_camera;
  {
    // A mark left behind would keep the element out of the next save.
    ExportMarks marks;
    for (ElemHeader* e = elem_list_head; e; e = e->next)
      if (on_shown_layer(e)) e->mark = 1;
    if (!write_scene(folder, settings, &job.zone)) return;
  }

  ProcessRequest octree = tool_request(folder, {octree_tool, SCENE});
  octree.stdout_path = OCTREE;
  if (!run_tool(octree)) return;
  if (!write_control(folder, job)) return;

  // Rendering, conversion and display follow one another in the
  // background, each only after the one before succeeded.
  ProcessRequest render = tool_request(folder, {render_tool, CONTROL});
  render.wait = false;
  ProcessRequest convert = tool_request(folder, {"ra_ppm", PICTURE});
  convert.stdout_path = PIXMAP;
  std::vector<std::string> show = *viewer;
  show.push_back(folder + "/" + PIXMAP);
  render.then = {convert, tool_request(folder, show)};
  if (!process_start(render).started) say(nls_translate("Cannot start %s"), render_tool);
}

void tool_3d_ray() { rad_render(0); }
void tool_3d_raz() { rad_render(1); }
