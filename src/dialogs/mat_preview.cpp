#include "dialogs/mat_preview.h"

#include "exchange/out_text.h"
#include "exchange/pov_export.h"
#include "model/files/fio.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/settings.h"
#include "model/ui.h"
#include "platform/process.h"

MaterialDef mat_preview_material() {
  const MaterialPreset& p = material_preset;
  MaterialDef def;
  def.name = p.name.view();
  def.identifier = MAT_PREVIEW_TEXTURE;
  mat_take_preset(def, p);
  return def;
}

void mat_preview_write_scene(OutText& out) {
  pov_write_texture(out, mat_preview_material(), MAT_PREVIEW_TEXTURE);
  out << "light_source { <2,4,-3> color rgb <1,1,1> }\n";
  out << "camera { location <0,2,-3> look_at <0,1,2> }\n";
  out << "plane { <0, 1, 0>, -1 pigment { checker color rgb <0,0,0>, color rgb <1,1,1> } }\n";
  out << "sphere { <0, 1, 2>, 2\n";
  out << "texture {" << MAT_PREVIEW_TEXTURE << "}}\n";
}

std::vector<std::string> mat_preview_argv(const std::string& scene) {
  std::optional<std::vector<std::string>> words = process_split_command(pov_settings.command.c_str());
  if (!words || words->empty()) return {};
  std::vector<std::string> argv = std::move(*words);
  for (const char* option : {"-F", "+w140", "+h100", "+p", "+x", "+d0", "-v"}) argv.emplace_back(option);
  // POV-Ray splits its own options at blanks, even inside one argument;
  // a quoted name stays whole.
  argv.push_back("-i\"" + scene + "\"");
  return argv;
}

namespace {

bool write_scene(const std::string& path) {
  if (path.empty()) return false;
  FioSafeWriter writer(path);
  if (!writer.stream()) return false;
  {
    FileOut out(writer.stream());
    mat_preview_write_scene(out);
    out.flush();
    if (!out.ok()) return false;
  }
  return writer.commit();
}

void error(const char* english, const std::string& what) {
  std::string text = nls_translate(english);
  text += "\n" + what;
  ui().msgbox_error(text.c_str());
}

}  // namespace

MatPreview mat_preview_render() {
  if (!pov_find_command()) return MatPreview::NO_POVRAY;
  // Without its scene POV-Ray could only report the missing file.
  const std::string scene = pov_scene_path();
  if (!write_scene(scene)) {
    error("Cannot open file", scene);
    return MatPreview::NO_SCENE;
  }
  ProcessRequest request;
  request.argv = mat_preview_argv(scene);
  request.wait = false;
  if (request.argv.empty() || !process_start(request).started) {
    error("Cannot execute", pov_settings.command.c_str());
    return MatPreview::NOT_STARTED;
  }
  return MatPreview::STARTED;
}
