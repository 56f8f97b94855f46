#include "dialogs/dlg_frame.h"

#include <cstring>
#include <string>

#include "dialogs/pattern_groups.h"
#include "dialogs/preset_gui.h"
#include "display/gtk/view_gtk.h"
#include "model/nls.h"
#include "model/presets.h"
#include "shell/gtk/bind.h"
#include "shell/gtk/gui_build.h"
#include "shell/gtk/mainwin.h"
#include "shell/gtk/mainwin_parts.h"
#include "shell/gtk/penline_selector.h"
#include "shell/latin1.h"

namespace {

constexpr const char* TRASHCAN = "./graphics/trashcan.xpm";

DlgWidgets registry[PRESET_KIND_COUNT];

DlgWidgets& widgets_of(PresetKind kind) { return registry[static_cast<std::size_t>(kind)]; }

gpointer kind_data(PresetKind kind) { return GINT_TO_POINTER(static_cast<int>(kind)); }
PresetKind kind_from(gpointer data) { return static_cast<PresetKind>(GPOINTER_TO_INT(data)); }

void on_combo_changed(GtkEditable*, gpointer kind) { preset_gui_load(kind_from(kind)); }
void on_save(GtkButton*, gpointer kind) { preset_gui_save(kind_from(kind)); }
void on_trash(GtkButton*, gpointer kind) { preset_gui_delete(kind_from(kind)); }

void on_window_destroy(GtkWidget* window, gpointer kind) {
  DlgWidgets& w = widgets_of(kind_from(kind));
  if (w.window == window) w = DlgWidgets{};
}

// The colour selection (kept for its continuous "color-changed" while a
// colour is dragged, and because it leaves the desktop's settings alone).
G_GNUC_BEGIN_IGNORE_DEPRECATIONS

// The selection's colour into the item's three variables.
void on_color(GtkColorSelection* sel, gpointer data) {
  const auto* item = static_cast<const DlgItem*>(data);
  GdkRGBA c;
  gtk_color_selection_get_current_rgba(sel, &c);
  *static_cast<double*>(item->var) = c.red;
  *static_cast<double*>(item->var2) = c.green;
  *static_cast<double*>(item->var3) = c.blue;
}

// Shows the item's colour, storing nothing (the selection's round trip
// through its own colour model would change the values slightly).
void show_color(GtkWidget* w, const DlgItem& item) {
  if (!w || !GTK_IS_COLOR_SELECTION(w)) return;
  const GdkRGBA c{*static_cast<double*>(item.var), *static_cast<double*>(item.var2),
                  *static_cast<double*>(item.var3), 1.0};
  g_signal_handlers_block_by_func(w, reinterpret_cast<gpointer>(on_color), const_cast<DlgItem*>(&item));
  gtk_color_selection_set_current_rgba(GTK_COLOR_SELECTION(w), &c);
  g_signal_handlers_unblock_by_func(w, reinterpret_cast<gpointer>(on_color), const_cast<DlgItem*>(&item));
}

GtkWidget* color_new(const DlgItem& item) {
  GtkWidget* w = gtk_color_selection_new();
  gtk_color_selection_set_has_opacity_control(GTK_COLOR_SELECTION(w), FALSE);
  gtk_color_selection_set_has_palette(GTK_COLOR_SELECTION(w), FALSE);
  g_signal_connect(w, "color-changed", G_CALLBACK(on_color), const_cast<DlgItem*>(&item));
  show_color(w, item);
  gtk_widget_show(w);
  return w;
}

G_GNUC_END_IGNORE_DEPRECATIONS

const char* tr(const char* english) { return english ? nls_translate(english) : nullptr; }

// Walks a dialog's items into its column.
class ItemBuilder {
 public:
  ItemBuilder(const PresetDialog& d, DlgWidgets& w, GtkWidget* column)
      : refresh_(preset_kind_name(d.kind)), widgets_(w) {
    stack_.push_back({column, DlgItemKind::FRAME});
  }

  void add(const DlgItem& item) {
    switch (item.kind) {
      case DlgItemKind::FRAME: {
        GtkWidget* frame = gui_frame_new(tr(item.text));
        GtkWidget* column = gui_vbox_new();
        gtk_container_add(GTK_CONTAINER(frame), column);
        place(frame, stack_.back().kind == DlgItemKind::ROW);
        if (item.group >= 0 && item.group < DLG_GROUP_COUNT) widgets_.groups[item.group] = frame;
        stack_.push_back({column, DlgItemKind::FRAME});
        return;
      }
      case DlgItemKind::COLUMN: {
        GtkWidget* column = gui_vbox_new();
        place(column, false);
        stack_.push_back({column, DlgItemKind::COLUMN});
        return;
      }
      case DlgItemKind::ROW: {
        GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 4);
        gtk_widget_show(row);
        place(row, false);
        stack_.push_back({row, DlgItemKind::ROW});
        return;
      }
      case DlgItemKind::NOTEBOOK: {
        GtkWidget* notebook = gtk_notebook_new();
        gtk_widget_show(notebook);
        place(notebook, false);
        stack_.push_back({notebook, DlgItemKind::NOTEBOOK});
        return;
      }
      case DlgItemKind::PAGE: {
        GtkWidget* page = gui_vbox_new();
        GtkWidget* tab = gui_label_new(1, tr(item.text));
        if (GTK_IS_NOTEBOOK(stack_.back().widget))
          gtk_notebook_append_page(GTK_NOTEBOOK(stack_.back().widget), page, tab);
        stack_.push_back({page, DlgItemKind::PAGE});
        return;
      }
      case DlgItemKind::END:
        if (stack_.size() > 1) stack_.pop_back();
        return;
      case DlgItemKind::LENGTH:
      case DlgItemKind::SIZE:
      case DlgItemKind::ANGLE:
      case DlgItemKind::NUMBER:
        entry_row(item);
        return;
      default:
        place(make(item), stack_.back().kind == DlgItemKind::ROW);
    }
  }

 private:
  struct Level {
    GtkWidget* widget;
    DlgItemKind kind;
    GtkWidget* grid = nullptr;  // the entry table being filled
    int rows = 0;
  };

  const char* refresh(const DlgItem& item) const { return (item.flags & DLG_NO_REFRESH) ? "" : refresh_; }

  void place(GtkWidget* w, bool expand) {
    if (!w) return;
    Level& level = stack_.back();
    level.grid = nullptr;  // the next entry starts a table of its own
    gui_pack(level.widget, w, expand ? 1 : 0);
  }

  void keep(const DlgItem& item, GtkWidget* w, GtkWidget* second = nullptr) {
    widgets_.bound.push_back({&item, w, second});
  }

  // An entry in the first column of the level's table, its label in the second.
  void entry_row(const DlgItem& item) {
    auto* var = static_cast<double*>(item.var);
    GtkWidget* entry = nullptr;
    switch (item.kind) {
      case DlgItemKind::LENGTH:
        entry = bind_ventry_new(var, refresh(item));
        break;
      case DlgItemKind::SIZE:
        entry = bind_mentry_new(var, refresh(item));
        break;
      case DlgItemKind::ANGLE:
        entry = bind_wentry_new(var, refresh(item));
        break;
      default:
        entry = bind_fentry_new(var, refresh(item));
        break;
    }
    keep(item, entry);
    Level& level = stack_.back();
    if (!level.grid) {
      GtkWidget* grid = gui_table_new(1, 2);
      gtk_grid_set_column_spacing(GTK_GRID(grid), 2);
      gui_pack(level.widget, grid, 0);
      level.grid = grid;
      level.rows = 0;
    }
    gui_table_attach(level.grid, entry, 0, 1, level.rows, level.rows + 1, 0);
    if (item.text)
      gui_table_attach(level.grid, gui_label_new(0, tr(item.text)), 1, 2, level.rows, level.rows + 1, 0);
    ++level.rows;
  }

  GtkWidget* options(const DlgItem& item) {
    std::vector<std::string> texts;
    for (int i = 0; i < item.count; ++i) {
      const bool translate = item.translated < 0 || i < item.translated;
      texts.emplace_back(translate ? nls_translate(item.labels[i]) : item.labels[i]);
    }
    return bind_option_menu_new(static_cast<int*>(item.var), texts, refresh(item), item.extra);
  }

  GtkWidget* make(const DlgItem& item) {
    switch (item.kind) {
      case DlgItemKind::TOGGLE: {
        GtkWidget* w = bind_toggle_new(tr(item.text), static_cast<int*>(item.var), refresh(item));
        keep(item, w);
        return w;
      }
      case DlgItemKind::OPTIONS: {
        GtkWidget* w = options(item);
        keep(item, w);
        return w;
      }
      case DlgItemKind::PENLINE: {
        GtkWidget* pen = nullptr;
        GtkWidget* type = nullptr;
        GtkWidget* frame = penline_selector_new(static_cast<int*>(item.var), static_cast<int*>(item.var2),
                                                refresh(item), &pen, &type);
        keep(item, pen, type);
        return frame;
      }
      case DlgItemKind::FONT: {
        GtkWidget* w = bind_font_combo_new(*static_cast<FixedText<FONT_NAME_LEN>*>(item.var), refresh(item));
        keep(item, w);
        return w;
      }
      case DlgItemKind::MATERIAL: {
        GtkWidget* w = bind_preset_combo_new(*static_cast<FixedText<MATERIAL_NAME_LEN>*>(item.var), "mat");
        gui_no_focus(w);
        if (GtkWidget* entry = gtk_bin_get_child(GTK_BIN(w))) gtk_widget_set_can_focus(entry, FALSE);
        keep(item, w);
        return w;
      }
      case DlgItemKind::TEXTURE: {
        GtkWidget* w = bind_texture_combo_new(*static_cast<FixedText<PATH_LEN>*>(item.var), refresh(item));
        keep(item, w);
        return w;
      }
      case DlgItemKind::TEXT: {
        GtkWidget* w = bind_entry_new(*static_cast<FixedText<PATH_LEN>*>(item.var),
                                      static_cast<unsigned char>(item.count), refresh(item));
        keep(item, w);
        return w;
      }
      case DlgItemKind::LABEL: {
        GtkWidget* w = gui_label_new(0, tr(item.text));
        keep(item, w);
        return w;
      }
      case DlgItemKind::SPIN: {
        GtkWidget* w = bind_spin_double_new(static_cast<double*>(item.var), static_cast<float>(item.min),
                                            static_cast<float>(item.max), static_cast<float>(item.step),
                                            item.digits, refresh(item));
        keep(item, w);
        return w;
      }
      case DlgItemKind::SLIDER: {
        GtkWidget* w = bind_slider_new(static_cast<double*>(item.var), static_cast<float>(item.min),
                                       static_cast<float>(item.max), static_cast<float>(item.step),
                                       item.digits, refresh(item), nullptr);
        gtk_widget_set_size_request(w, 150, -1);
        keep(item, w);
        return w;
      }
      case DlgItemKind::COLOR: {
        GtkWidget* w = color_new(item);
        keep(item, w);
        return w;
      }
      case DlgItemKind::BUTTON: {
        const char* text = (item.flags & DLG_AS_WRITTEN) ? item.text : tr(item.text);
        GtkWidget* w = gui_command_button_new(1, item.key, text);
        if (item.extra) g_signal_connect(w, "clicked", item.extra, nullptr);
        return w;
      }
      case DlgItemKind::PREVIEW: {
        GtkWidget* frame = gui_frame_new(nls_translate("Preview"));
        GtkWidget* area = view_create(item.view);
        gtk_widget_set_size_request(area, item.size, item.size);
        gtk_widget_set_halign(area, GTK_ALIGN_CENTER);
        gtk_container_add(GTK_CONTAINER(frame), area);
        return frame;
      }
      case DlgItemKind::GAP:
        return gui_spacer_new(0);
      default:
        return nullptr;
    }
  }

  const char* refresh_;
  DlgWidgets& widgets_;
  std::vector<Level> stack_;
};

// The frame "Name": the preset combo, "Save" and the trash button.
GtkWidget* name_frame(const PresetDialog& d, DlgWidgets& w) {
  GtkWidget* frame = gui_frame_new(nls_translate("Name"));
  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 2);
  gtk_widget_show(row);
  gtk_container_add(GTK_CONTAINER(frame), row);
  w.combo = bind_preset_combo_new(preset_name(d.kind), preset_kind_name(d.kind));
  if (GtkWidget* entry = gtk_bin_get_child(GTK_BIN(w.combo)))
    g_signal_connect(entry, "changed", G_CALLBACK(on_combo_changed), kind_data(d.kind));
  gui_pack(row, w.combo, 1);
  w.save = gui_command_button_new(1, d.save_key, nls_translate("Save"));
  g_signal_connect(w.save, "clicked", G_CALLBACK(on_save), kind_data(d.kind));
  gui_pack(row, w.save, 0);
  w.trash = mainwin_picture_button("z_anything", TRASHCAN);
  g_signal_connect(w.trash, "clicked", G_CALLBACK(on_trash), kind_data(d.kind));
  gui_pack(row, w.trash, 0);
  return frame;
}

}  // namespace

GtkWidget* DlgWidgets::of(const void* var) const {
  for (const Bound& b : bound) {
    if (b.item->var == var) return b.widget;
    if (b.item->kind == DlgItemKind::PENLINE && b.item->var2 == var) return b.second;
  }
  return nullptr;
}

DlgWidgets& dlg_widgets(PresetKind kind) { return widgets_of(kind); }

bool dlg_built(PresetKind kind) {
  switch (kind) {
    case PresetKind::MAT:
      return dlg_slots[DLG_MAT] != nullptr;
    default:
      if (const PresetDialog* d = preset_dialog_of(kind)) return dlg_slots[d->slot] != nullptr;
      return false;
  }
}

GtkWidget* dlg_preset_build(const PresetDialog& d) {
  DlgWidgets& w = widgets_of(d.kind);
  if (w.window) gtk_widget_destroy(w.window);
  w = DlgWidgets{};
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  w.window = window;
  gtk_window_set_title(GTK_WINDOW(window), gui_utf8(nls_translate(d.title)).c_str());
  gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
  gtk_container_set_border_width(GTK_CONTAINER(window), 4);
  if (GtkWidget* main = mainwin_widgets.window)
    gtk_window_set_transient_for(GTK_WINDOW(window), GTK_WINDOW(main));
  g_signal_connect(window, "delete-event", G_CALLBACK(dlg_on_delete), nullptr);
  g_signal_connect(window, "destroy", G_CALLBACK(on_window_destroy), kind_data(d.kind));

  GtkWidget* vbox = gtk_box_new(GTK_ORIENTATION_VERTICAL, 2);
  gtk_widget_show(vbox);
  gtk_container_add(GTK_CONTAINER(window), vbox);
  gui_pack(vbox, name_frame(d, w), 0);
  ItemBuilder builder(d, w, vbox);
  for (const DlgItem& item : d.items) builder.add(item);

  GtkWidget* actions = gtk_button_box_new(GTK_ORIENTATION_HORIZONTAL);
  gtk_container_set_border_width(GTK_CONTAINER(actions), 0);
  gtk_widget_show(actions);
  w.close = gui_command_button_new(1, d.close_key, nls_translate("Close"));
  gtk_container_add(GTK_CONTAINER(actions), w.close);
  gtk_box_pack_end(GTK_BOX(vbox), actions, FALSE, FALSE, 4);
  gui_focus_widget(w.close);
  gui_escape_closes(window, w.close);
  if (d.after_build) d.after_build();
  return window;
}

void dlg_show_values(PresetKind kind) {
  for (const DlgWidgets::Bound& b : widgets_of(kind).bound) {
    const DlgItem& item = *b.item;
    switch (item.kind) {
      case DlgItemKind::LENGTH:
        bind_set_ventry(b.widget, *static_cast<double*>(item.var));
        break;
      case DlgItemKind::SIZE:
        bind_set_mentry(b.widget, *static_cast<double*>(item.var));
        break;
      case DlgItemKind::ANGLE:
        bind_set_wentry(b.widget, *static_cast<double*>(item.var));
        break;
      case DlgItemKind::NUMBER:
        bind_set_fentry(b.widget, *static_cast<double*>(item.var));
        break;
      case DlgItemKind::TOGGLE:
        bind_set_toggle(b.widget, *static_cast<int*>(item.var));
        break;
      case DlgItemKind::OPTIONS:
        bind_set_option_menu(b.widget, *static_cast<int*>(item.var));
        break;
      case DlgItemKind::PENLINE:
        bind_refresh_option_menu_pair(b.widget, b.second);
        break;
      case DlgItemKind::FONT:
      case DlgItemKind::MATERIAL:
      case DlgItemKind::TEXTURE:
        bind_set_entry_text(gtk_bin_get_child(GTK_BIN(b.widget)), static_cast<const char*>(item.var));
        break;
      case DlgItemKind::TEXT:
        bind_set_entry_text(b.widget, static_cast<const char*>(item.var));
        break;
      case DlgItemKind::SPIN:
        bind_set_spin(b.widget, *static_cast<double*>(item.var));
        break;
      case DlgItemKind::SLIDER:
        bind_set_slider(b.widget, *static_cast<double*>(item.var));
        break;
      case DlgItemKind::COLOR:
        show_color(b.widget, item);
        break;
      default:
        break;
    }
  }
}

gboolean dlg_on_delete(GtkWidget* window, GdkEvent*, gpointer) {
  for (DlgId id : {DLG_MAT, DLG_DIM, DLG_TEXT}) {
    if (dlg_slots[id] == window) {
      dlg_destroy(id);
      return TRUE;
    }
  }
  gtk_widget_hide(window);
  return TRUE;
}

void dlg_pattern_type_widgets_update() {
  const DlgWidgets& w = widgets_of(PresetKind::PATTERN);
  const PatternGroups on = pattern_type_groups(pattern_preset.type);
  const bool sensitive[DLG_GROUP_COUNT] = {on.line1, on.line2, on.filling};
  for (int i = 0; i < DLG_GROUP_COUNT; ++i)
    if (w.groups[i]) gtk_widget_set_sensitive(w.groups[i], sensitive[i] ? TRUE : FALSE);
}
