// The Material dialog: the current material of new 3D objects and walls,
// its colour, surface, image texture and special file, with named presets
// and a rendered preview. It is destroyed on every close, so that its image
// combo lists the "tex" folder as it is when the dialog opens again.

#include "dialogs/dlg_mat.h"

#include <string>

#include "dialogs/dlg_frame.h"
#include "dialogs/dlg_items.h"
#include "dialogs/mat_preview.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/ui.h"
#include "shell/gtk/bind.h"
#include "shell/latin1.h"

namespace {

using namespace dlg;

MaterialPreset& m = material_preset;

const char* const textures[] = {nls_mark("Off"), "Default",   "Planar-X",   "Planar-Y",
                                "Planar-Z",      "Spherical", "Cylindrical"};

void on_texture(GtkComboBox*, gpointer) { dlg_mat_texture_widgets_update(); }
void on_preview(GtkButton*, gpointer) { dlg_mat_preview_pov(); }

const DlgItem items[] = {
    frame(nls_mark("Color")),
    color(m.r, m.g, m.b),
    end(),
    row(),
    frame(nls_mark("Settings")),
    label(nls_mark("Transparency")),
    slider(m.transparency, 0, 1, 0.01, 2),
    label(nls_mark("Reflection")),
    slider(m.reflection, 0, 1, 0.01, 2),
    label(nls_mark("Ambience")),
    slider(m.ambience, 0, 1, 0.01, 2),
    label(nls_mark("Highlight")),
    slider(m.highlight, 0, 1, 0.01, 2),
    row(),
    toggle(nls_mark("Refraction"), m.refraction),
    toggle(nls_mark("Metallic"), m.metallic),
    end(),
    end(),
    column(),
    frame(nls_mark("Texture")),
    options(m.texture_mode, textures, 1, G_CALLBACK(on_texture)),
    end(),
    frame(nls_mark("Image"), DLG_GROUP_IMAGE),
    row(),
    texture(m.image_file),
    toggle(nls_mark("Repeat"), m.repeat),
    end(),
    end(),
    frame(nls_mark("Size"), DLG_GROUP_SIZE),
    row(),
    label(nls_mark("X:")),
    length(nullptr, m.size_x),
    label(nls_mark("Y:")),
    length(nullptr, m.size_y),
    end(),
    end(),
    frame(nls_mark("Offset"), DLG_GROUP_OFFSET),
    row(),
    label(nls_mark("X:")),
    length(nullptr, m.offset_x),
    label(nls_mark("Y:")),
    length(nullptr, m.offset_y),
    end(),
    end(),
    frame(nls_mark("Special")),
    row(),
    toggle(nls_mark("Special"), m.special),
    text(m.special_text, 255, DLG_NO_REFRESH),
    button("p_path_special", "...", nullptr, DLG_AS_WRITTEN),
    end(),
    end(),
    frame(nls_mark("Render preview")),
    button("s_3d_render_mat", nls_mark("Preview"), G_CALLBACK(on_preview)),
    label(nullptr),
    end(),
    end(),
    end(),
};

// The label under "Preview" that says why there is no preview.
GtkWidget* preview_message() {
  if (!dlg_built(PresetKind::MAT)) return nullptr;
  for (const DlgWidgets::Bound& b : dlg_widgets(PresetKind::MAT).bound)
    if (b.item->kind == DlgItemKind::LABEL && !b.item->text) return b.widget;
  return nullptr;
}

void after_build() {
  dlg_store(DLG_MAT, dlg_widgets(PresetKind::MAT).window);
  if (GtkWidget* message = preview_message()) {
    gtk_label_set_line_wrap(GTK_LABEL(message), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(message), 30);
  }
  dlg_mat_texture_widgets_update();
}

}  // namespace

const PresetDialog mat_dialog = {
    PresetKind::MAT, DLG_MAT,    nls_mark("Material"), "z_d_mat", "z_c_mat", "z_save_mat", true, 0,
    items,           after_build};

GtkWidget* dlg_mat_create() { return dlg_preset_build(mat_dialog); }

void dlg_mat_install() {
  dlg_row_set(
      {mat_dialog.open_key, DlgAct::OPEN, DLG_MAT, [] { return static_cast<void*>(dlg_mat_create()); }});
  dlg_row_set({mat_dialog.close_key, DlgAct::DESTROY, DLG_MAT});
}

void dlg_mat_texture_widgets_update() {
  if (!dlg_built(PresetKind::MAT)) return;
  const DlgWidgets& w = dlg_widgets(PresetKind::MAT);
  const gboolean on = mat_texture_groups_sensitive(material_preset.texture_mode) ? TRUE : FALSE;
  for (int group : {DLG_GROUP_IMAGE, DLG_GROUP_SIZE, DLG_GROUP_OFFSET})
    if (w.groups[group]) gtk_widget_set_sensitive(w.groups[group], on);
}

bool mat_texture_groups_sensitive(int texture_mode) { return texture_mode != 0; }

void dlg_mat_preview_pov() {
  const char* message = "";
  switch (mat_preview_render()) {
    case MatPreview::STARTED:
      break;
    case MatPreview::NO_POVRAY:
      message = nls_translate("POV-Ray was not found: no preview.");
      break;
    case MatPreview::NO_SCENE:
    case MatPreview::NOT_STARTED:
      message = nls_translate("No preview: POV-Ray could not render the scene.");
      break;
  }
  if (GtkWidget* label = preview_message())
    gtk_label_set_text(GTK_LABEL(label), latin1_to_utf8(message).c_str());
}

void cmd_p_path_special() {
  const std::string start(material_preset.special_text.c_str());
  const std::string path =
      ui().filesel_choose(nls_translate("Special"), start.c_str(), FILESEL_OPEN, start.c_str());
  if (path == "cancel") return;
  if (path.size() >= PATH_LEN) {
    ui().msgbox_error(nls_translate("The chosen path is too long."));
    return;
  }
  material_preset.special_text = path;
  if (dlg_built(PresetKind::MAT))
    bind_set_entry_text(dlg_widgets(PresetKind::MAT).of(&material_preset.special_text), path.c_str());
}
