#include "shell/gtk/bind.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "display/command_buffer.h"
#include "display/font.h"
#include "model/consts.h"
#include "model/nls.h"
#include "model/ui.h"
#include "shell/bind_kinds.h"
#include "shell/bind_lists.h"
#include "shell/bind_refresh.h"
#include "shell/gtk/cmd_gtk.h"
#include "shell/gtk/gui_build.h"
#include "shell/latin1.h"
#include "shell/shell_platform.h"

unsigned char radio_suppress = 0;

namespace {

constexpr const char* KEY_VAR = "kv-var";          // the variable or buffer
constexpr const char* KEY_SIZE = "kv-size";        // the buffer's size in bytes
constexpr const char* KEY_REFRESH = "kv-refresh";  // the widget's own copy of its refresh key
constexpr const char* KEY_SPIN = "kv-spin";        // an adjustment's spin button
constexpr const char* KEY_DOUBLE = "kv-double";    // a spin button bound to a double
constexpr const char* KEY_EXTRA = "kv-extra";      // the extra handler of a slider or option menu
constexpr const char* KEY_REDRAW = "kv-redraw";    // an option menu's picture painter
constexpr const char* KEY_KIND = "kv-kind";        // a value entry's store kind

// The data text every extra handler gets.
char extra_data[] = "hallo";

// Size of the name buffer the bare pointer combos assume.
constexpr std::size_t COMBO_BUFFER = 40;

const char* const radio_kinds[10] = {"r0", "r1", "r2", "r3", "r4", "r5", "r6", "r7", "r8", "r9"};

gpointer as_data(const char* text) { return const_cast<char*>(text); }

void set_var(gpointer object, void* var) { g_object_set_data(G_OBJECT(object), KEY_VAR, var); }

void set_buffer(gpointer object, char* buffer, std::size_t size) {
  set_var(object, buffer);
  g_object_set_data(G_OBJECT(object), KEY_SIZE, GSIZE_TO_POINTER(size));
}

// The widget's own copy of its refresh key, alive as long as the object.
const char* keep_refresh(gpointer object, const char* refresh) {
  char* copy = g_strdup(refresh ? refresh : "");
  g_object_set_data_full(G_OBJECT(object), KEY_REFRESH, copy, g_free);
  return copy;
}

template <typename T>
T* var_of(gpointer object) {
  if (!object || !G_IS_OBJECT(object)) return nullptr;
  return static_cast<T*>(g_object_get_data(G_OBJECT(object), KEY_VAR));
}

std::size_t size_of(gpointer object) {
  return GPOINTER_TO_SIZE(g_object_get_data(G_OBJECT(object), KEY_SIZE));
}

// Copies a widget's UTF-8 text into the bound buffer of owner.
void store_text(gpointer owner, const char* utf8) {
  char* buffer = var_of<char>(owner);
  std::size_t size = size_of(owner);
  if (buffer && size) utf8_to_latin1(utf8 ? utf8 : "", buffer, size);
}

GtkWidget* combo_entry(gpointer widget) {
  if (GTK_IS_ENTRY(widget)) return GTK_WIDGET(widget);
  if (GTK_IS_COMBO_BOX(widget) && gtk_combo_box_get_has_entry(GTK_COMBO_BOX(widget)))
    return gtk_bin_get_child(GTK_BIN(widget));
  return nullptr;
}

// Blocks the handlers this layer connects on one object for as long as it
// lives, so that a value set from the program is shown, not stored.
class Quiet {
 public:
  explicit Quiet(gpointer object) : object_(object) {
    if (object_ && G_IS_OBJECT(object_)) each(g_signal_handlers_block_matched);
  }
  ~Quiet() {
    if (object_ && G_IS_OBJECT(object_)) each(g_signal_handlers_unblock_matched);
  }
  Quiet(const Quiet&) = delete;
  Quiet& operator=(const Quiet&) = delete;

 private:
  using Fn = guint (*)(gpointer, GSignalMatchType, guint, GQuark, GClosure*, gpointer, gpointer);
  void each(Fn fn) {
    gpointer funcs[] = {
        reinterpret_cast<gpointer>(bind_on_store), reinterpret_cast<gpointer>(bind_on_changed),
        reinterpret_cast<gpointer>(bind_on_option_changed), g_object_get_data(G_OBJECT(object_), KEY_EXTRA)};
    for (gpointer f : funcs)
      if (f) fn(object_, G_SIGNAL_MATCH_FUNC, 0, 0, nullptr, f, nullptr);
  }
  gpointer object_;
};

// The integer a spin button's value stands for.
int rounded(double v) {
  if (!(v > -2147483648.0)) return v != v ? 0 : INT32_MIN;
  if (v >= 2147483647.0) return INT32_MAX;
  return static_cast<int>(std::lround(v));
}

void store_value_entry(GtkWidget* entry, BindKind kind) {
  double* var = var_of<double>(entry);
  if (!var) return;
  char text[BIND_VALUE_ENTRY_MAX + 1];
  utf8_to_latin1(gtk_entry_get_text(GTK_ENTRY(entry)), text, sizeof text);
  const BindValueStore s = bind_value_check(kind, var, *var, text);
  if (s.store) *var = s.value;
  // A refused text gives way to the value kept before the message shows:
  // the box takes the focus, and leaving the entry then stores nothing.
  gtk_entry_set_text(GTK_ENTRY(entry), latin1_to_utf8(bind_value_format(kind, *var)).c_str());
  if (s.store && bind_is_size_variable(var)) shell_platform().mainwin_size_labels_refresh();
  if (!s.refused.empty()) ui().msgbox_error(s.refused.c_str());
}

void connect_store_and_refresh(gpointer object, const char* signal, const char* kind, const char* refresh) {
  g_signal_connect(object, signal, G_CALLBACK(bind_on_store), as_data(kind));
  g_signal_connect(object, signal, G_CALLBACK(bind_on_changed), as_data(keep_refresh(object, refresh)));
}

GtkWidget* bound_toggle(GtkWidget* button, int* var, const char* kind, const char* refresh) {
  set_var(button, var);
  connect_store_and_refresh(button, "toggled", kind, refresh);
  gui_no_focus(button);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(button), var && *var ? TRUE : FALSE);
  gtk_widget_show(button);
  return button;
}

// Text without a number is refused before the toolkit reads it as 0: the
// button keeps its value, shows it again before the box takes the focus
// (so that leaving the button afterwards stores nothing), and says what it
// takes.
gint spin_input(GtkSpinButton* spin, gdouble* new_value, gpointer) {
  char text[BIND_VALUE_ENTRY_MAX + 1];
  utf8_to_latin1(gtk_entry_get_text(GTK_ENTRY(spin)), text, sizeof text);
  double lo = 0.0, hi = 0.0;
  gtk_spin_button_get_range(spin, &lo, &hi);
  const std::string refused = bind_spin_refusal(text, lo, hi);
  if (refused.empty()) return FALSE;
  *new_value = gtk_spin_button_get_value(spin);
  gtk_spin_button_set_value(spin, *new_value);
  ui().msgbox_error(refused.c_str());
  return TRUE;
}

GtkWidget* spin_new(void* var, bool is_double, double value, float min, float max, float step, int digits,
                    const char* kind, const char* refresh) {
  // A page size of zero: otherwise the top page_size of the range could not be reached.
  GtkAdjustment* adj = gtk_adjustment_new(value, min, max, step, 10, 0);
  GtkWidget* spin = gtk_spin_button_new(adj, 0, digits > 0 ? digits : 0);
  gui_set_width(spin, 100);
  set_var(spin, var);
  if (is_double) g_object_set_data(G_OBJECT(spin), KEY_DOUBLE, GINT_TO_POINTER(1));
  g_object_set_data(G_OBJECT(adj), KEY_SPIN, spin);
  connect_store_and_refresh(adj, "value-changed", kind, refresh);
  g_signal_connect(spin, "input", G_CALLBACK(spin_input), nullptr);
  gtk_widget_show(spin);
  return spin;
}

GtkWidget* value_entry_new(double* var, const char* kind, const char* refresh) {
  BindKind k = bind_kind_parse(kind).kind;
  GtkWidget* entry = gtk_entry_new();
  gtk_entry_set_max_length(GTK_ENTRY(entry), BIND_VALUE_ENTRY_MAX);
  gui_set_width(entry, 100);
  gtk_entry_set_text(GTK_ENTRY(entry), latin1_to_utf8(bind_value_format(k, var ? *var : 0.0)).c_str());
  set_var(entry, var);
  g_object_set_data(G_OBJECT(entry), KEY_KIND, as_data(kind));
  const char* key = keep_refresh(entry, refresh);
  g_signal_connect(entry, "focus-out-event", G_CALLBACK(bind_on_focus_out_store), as_data(kind));
  g_signal_connect(entry, "focus-out-event", G_CALLBACK(bind_on_focus_out_changed), as_data(key));
  g_signal_connect(entry, "activate", G_CALLBACK(bind_on_store), as_data(kind));
  g_signal_connect(entry, "activate", G_CALLBACK(bind_on_changed), as_data(key));
  gtk_widget_show(entry);
  return entry;
}

void set_value_entry(GtkWidget* entry, const char* kind, double value) {
  if (!entry || !GTK_IS_ENTRY(entry)) return;
  Quiet quiet(entry);
  gtk_entry_set_text(GTK_ENTRY(entry),
                     latin1_to_utf8(bind_value_format(bind_kind_parse(kind).kind, value)).c_str());
}

int combo_limit(std::size_t size) {
  std::size_t limit = size > 0 ? size - 1 : 0;
  return static_cast<int>(limit < BIND_NAME_MAX ? limit : BIND_NAME_MAX);
}

// A combo with an entry whose text the store handler copies into buffer.
GtkWidget* text_combo_new(char* buffer, std::size_t size) {
  GtkWidget* combo = gtk_combo_box_text_new_with_entry();
  set_buffer(combo, buffer, size);
  GtkWidget* entry = gtk_bin_get_child(GTK_BIN(combo));
  gtk_entry_set_max_length(GTK_ENTRY(entry), combo_limit(size));
  gui_set_width(entry, 20);
  gtk_widget_set_size_request(combo, 100, -1);
  return combo;
}

void connect_combo(GtkWidget* combo, const char* refresh) {
  GtkWidget* entry = gtk_bin_get_child(GTK_BIN(combo));
  g_signal_connect(entry, "changed", G_CALLBACK(bind_on_store), as_data("combo"));
  g_signal_connect(entry, "changed", G_CALLBACK(bind_on_changed), as_data(keep_refresh(combo, refresh)));
}

// A font chosen from the list that does not load is refused before it is
// stored: a message box says so and the entry shows the font kept. Texts the
// program sets (a preset's font) are not chosen from the list and pass.
void on_font_chosen(GtkEditable* editable, gpointer) {
  GtkWidget* entry = GTK_WIDGET(editable);
  GtkWidget* combo = gtk_widget_get_ancestor(entry, GTK_TYPE_COMBO_BOX);
  if (!combo || gtk_combo_box_get_active(GTK_COMBO_BOX(combo)) < 0) return;
  const std::string name = utf8_to_latin1(gtk_entry_get_text(GTK_ENTRY(entry)));
  const char* kept = var_of<char>(combo);
  const std::string old = kept ? std::string(kept, strnlen(kept, size_of(combo))) : std::string();
  if (name == old || font_loads(name.c_str())) return;
  g_signal_stop_emission_by_name(entry, "changed");
  {
    Quiet quiet(entry);
    gtk_entry_set_text(GTK_ENTRY(entry), latin1_to_utf8(old).c_str());
  }
  ui().msgbox_error((std::string(nls_translate("Not a font file:")) + " " + name).c_str());
}

GtkWidget* list_combo_new(char* buffer, std::size_t size, std::vector<std::string> names, const char* refresh,
                          GCallback check = nullptr) {
  GtkWidget* combo = text_combo_new(buffer, size);
  bind_combo_set_names(combo, std::move(names));
  GtkWidget* entry = gtk_bin_get_child(GTK_BIN(combo));
  gtk_entry_set_text(GTK_ENTRY(entry), latin1_to_utf8(buffer ? buffer : "").c_str());
  if (check) g_signal_connect(entry, "changed", check, nullptr);
  connect_combo(combo, refresh);
  gtk_editable_set_editable(GTK_EDITABLE(entry), FALSE);
  gtk_widget_set_can_focus(entry, FALSE);
  gui_no_focus(combo);
  gtk_widget_show_all(combo);
  return combo;
}

}  // namespace

// Handlers.

void bind_on_store(gpointer widget, const char* kind) {
  if (!widget || !G_IS_OBJECT(widget)) return;
  BindKindInfo k = bind_kind_parse(kind);
  switch (k.kind) {
    case BindKind::ITEM:
      if (int* var = var_of<int>(widget)) *var = k.number;
      break;
    case BindKind::RADIO:
      if (!GTK_IS_TOGGLE_BUTTON(widget) || !gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget))) break;
      if (int* var = var_of<int>(widget)) *var = k.number;
      if (!radio_suppress) cmd_put_key("z_toggle");
      break;
    case BindKind::COMBO:
      // The combo holds the buffer; its text field sits in a box inside it.
      if (GtkWidget* entry = combo_entry(widget)) {
        if (GtkWidget* combo = gtk_widget_get_ancestor(entry, GTK_TYPE_COMBO_BOX))
          store_text(combo, gtk_entry_get_text(GTK_ENTRY(entry)));
      }
      break;
    case BindKind::CHECK:
    case BindKind::TOGGLE:
      if (!GTK_IS_TOGGLE_BUTTON(widget)) break;
      if (int* var = var_of<int>(widget))
        *var = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget)) ? 1 : 0;
      break;
    case BindKind::SPIN_LONG:
    case BindKind::SPIN_DOUBLE: {
      if (!GTK_IS_ADJUSTMENT(widget)) break;
      auto* spin = static_cast<GtkWidget*>(g_object_get_data(G_OBJECT(widget), KEY_SPIN));
      if (!spin || !GTK_IS_SPIN_BUTTON(spin)) break;
      double value = gtk_spin_button_get_value(GTK_SPIN_BUTTON(spin));
      bool is_double = g_object_get_data(G_OBJECT(spin), KEY_DOUBLE) != nullptr;
      if (k.kind == BindKind::SPIN_LONG && !is_double) {
        if (int* var = var_of<int>(spin)) *var = rounded(value);
      } else if (k.kind == BindKind::SPIN_DOUBLE && is_double) {
        if (double* var = var_of<double>(spin)) *var = value;
      }
      break;
    }
    case BindKind::SLIDER:
      if (!GTK_IS_ADJUSTMENT(widget)) break;
      if (double* var = var_of<double>(widget)) *var = gtk_adjustment_get_value(GTK_ADJUSTMENT(widget));
      break;
    case BindKind::ENTRY:
      if (!GTK_IS_ENTRY(widget)) break;
      store_text(widget, gtk_entry_get_text(GTK_ENTRY(widget)));
      if (const char* buffer = var_of<char>(widget))
        gtk_entry_set_text(GTK_ENTRY(widget), latin1_to_utf8(buffer).c_str());
      break;
    case BindKind::ENTRY_CHANGED:
      if (GTK_IS_ENTRY(widget)) store_text(widget, gtk_entry_get_text(GTK_ENTRY(widget)));
      break;
    case BindKind::VENTRY:
    case BindKind::MENTRY:
    case BindKind::WENTRY:
    case BindKind::PENTRY:
    case BindKind::FENTRY:
      if (GTK_IS_ENTRY(widget)) store_value_entry(GTK_WIDGET(widget), k.kind);
      break;
    case BindKind::UNKNOWN:
      break;
  }
}

gboolean bind_on_focus_out_store(GtkWidget* widget, GdkEventFocus*, const char* kind) {
  bind_on_store(widget, kind);
  return GDK_EVENT_PROPAGATE;
}

void bind_on_changed(gpointer, const char* refresh) { bind_refresh_run(refresh); }

gboolean bind_on_focus_out_changed(GtkWidget* widget, GdkEventFocus*, const char* refresh) {
  bind_on_changed(widget, refresh);
  return GDK_EVENT_PROPAGATE;
}

void bind_on_option_changed(GtkComboBox* combo, gpointer) {
  int index = gtk_combo_box_get_active(combo);
  if (index < 0) return;
  std::string kind = std::string("z").append(std::to_string(index));
  bind_on_store(combo, kind.c_str());
}

void* bind_variable(gpointer widget) { return var_of<void>(widget); }

const char* bind_value_entry_kind(GtkWidget* widget) {
  if (!widget || !GTK_IS_ENTRY(widget)) return nullptr;
  return static_cast<const char*>(g_object_get_data(G_OBJECT(widget), KEY_KIND));
}

void bind_set_redraw(GtkWidget* option_menu, void (*redraw)(GtkWidget*)) {
  if (option_menu) g_object_set_data(G_OBJECT(option_menu), KEY_REDRAW, reinterpret_cast<gpointer>(redraw));
}

// Constructors.

GtkWidget* bind_check_new(const char* label, int* var, const char* refresh) {
  return bound_toggle(gtk_check_button_new_with_label(gui_utf8(label).c_str()), var, "checkbutton", refresh);
}

GtkWidget* bind_toggle_new(const char* label, int* var, const char* refresh) {
  return bound_toggle(gtk_toggle_button_new_with_label(gui_utf8(label).c_str()), var, "togglebutton",
                      refresh);
}

GtkWidget* bind_toggle_pixmap_new(const char* xpm_path, int* var, const char* refresh) {
  GtkWidget* button = gtk_toggle_button_new();
  gtk_container_add(GTK_CONTAINER(button), gui_pixmap_new(xpm_path));
  return bound_toggle(button, var, "togglebutton", refresh);
}

GtkWidget* bind_radio_new(const char* label, int* var, int value, GSList** group, const char* refresh) {
  GtkWidget* radio = gtk_radio_button_new_with_label(group ? *group : nullptr, gui_utf8(label).c_str());
  g_signal_connect(radio, "button-press-event", G_CALLBACK(mainwin_on_right_click), nullptr);
  if (group) *group = gtk_radio_button_get_group(GTK_RADIO_BUTTON(radio));
  set_var(radio, var);
  if (var && *var == value) gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(radio), TRUE);
  if (value >= 0 && value <= 9)
    g_signal_connect(radio, "toggled", G_CALLBACK(bind_on_store), as_data(radio_kinds[value]));
  g_signal_connect(radio, "toggled", G_CALLBACK(bind_on_changed), as_data(keep_refresh(radio, refresh)));
  gui_no_focus(radio);
  gtk_widget_show(radio);
  return radio;
}

GtkWidget* bind_spin_long_new(int* var, float min, float max, float step, int digits, const char* refresh) {
  return spin_new(var, false, var ? *var : 0, min, max, step, digits, "spinbutton_long", refresh);
}

GtkWidget* bind_spin_double_new(double* var, float min, float max, float step, int digits,
                                const char* refresh) {
  return spin_new(var, true, var ? *var : 0.0, min, max, step, digits, "spinbutton_double", refresh);
}

GtkWidget* bind_slider_new(double* var, float min, float max, float step, int digits, const char* refresh,
                           GCallback extra) {
  GtkAdjustment* adj = gtk_adjustment_new(var ? *var : 0.0, min, max, step, 0, 0);
  GtkWidget* scale = gtk_scale_new(GTK_ORIENTATION_HORIZONTAL, adj);
  gtk_scale_set_digits(GTK_SCALE(scale), digits);
  connect_store_and_refresh(adj, "value-changed", "slider", refresh);
  if (extra) {
    g_object_set_data(G_OBJECT(adj), KEY_EXTRA, reinterpret_cast<gpointer>(extra));
    g_signal_connect(adj, "value-changed", extra, extra_data);
  }
  set_var(adj, var);
  gtk_widget_show(scale);
  return scale;
}

GtkWidget* bind_ventry_new(double* var, const char* refresh) {
  return value_entry_new(var, "ventry", refresh);
}
GtkWidget* bind_mentry_new(double* var, const char* refresh) {
  return value_entry_new(var, "mentry", refresh);
}
GtkWidget* bind_wentry_new(double* var, const char* refresh) {
  return value_entry_new(var, "wentry", refresh);
}
GtkWidget* bind_pentry_new(double* var, const char* refresh) {
  return value_entry_new(var, "pentry", refresh);
}
GtkWidget* bind_fentry_new(double* var, const char* refresh) {
  return value_entry_new(var, "fentry", refresh);
}

GtkWidget* bind_entry_new(char* buffer, unsigned char max_length, const char* refresh) {
  return bind_entry_new_sized(buffer, max_length ? max_length + 1u : PATH_LEN, max_length, refresh);
}

GtkWidget* bind_entry_new_sized(char* buffer, std::size_t size, unsigned char max_length,
                                const char* refresh) {
  GtkWidget* entry = gtk_entry_new();
  std::size_t limit = size > 0 ? size - 1 : 0;
  if (max_length > 0 && max_length < limit) limit = max_length;
  gtk_entry_set_max_length(GTK_ENTRY(entry), static_cast<gint>(limit));
  gui_set_width(entry, 150);
  gtk_entry_set_text(GTK_ENTRY(entry), latin1_to_utf8(buffer && size ? buffer : "").c_str());
  set_buffer(entry, buffer, size);
  const char* key = keep_refresh(entry, refresh);
  g_signal_connect(entry, "focus-out-event", G_CALLBACK(bind_on_focus_out_store), as_data("entry"));
  if (std::strcmp(key, "layerentry") != 0)
    g_signal_connect(entry, "focus-out-event", G_CALLBACK(bind_on_focus_out_changed), as_data(key));
  g_signal_connect(entry, "activate", G_CALLBACK(bind_on_store), as_data("entry"));
  g_signal_connect(entry, "activate", G_CALLBACK(bind_on_changed), as_data(key));
  g_signal_connect(entry, "changed", G_CALLBACK(bind_on_store), as_data("entry_changed"));
  gtk_widget_show(entry);
  return entry;
}

GtkWidget* bind_option_menu_new(int* var, const char* labels, int count, const char* refresh,
                                GCallback extra) {
  constexpr std::size_t slot = 20;
  std::vector<std::string> texts;
  for (int i = 0; labels && i < count; ++i) {
    const char* label = labels + static_cast<std::size_t>(i) * slot;
    texts.emplace_back(label, strnlen(label, slot - 1));
  }
  return bind_option_menu_new(var, texts, refresh, extra);
}

GtkWidget* bind_option_menu_new(int* var, const std::vector<std::string>& labels, const char* refresh,
                                GCallback extra) {
  GtkWidget* combo = gtk_combo_box_text_new();
  for (const std::string& label : labels)
    gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(combo), gui_utf8(label.c_str()).c_str());
  return bind_option_combo(combo, var, refresh, extra);
}

GtkWidget* bind_option_combo(GtkWidget* combo, int* var, const char* refresh, GCallback extra) {
  if (!combo || !GTK_IS_COMBO_BOX(combo)) return combo;
  set_var(combo, var);
  GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(combo));
  int count = model ? gtk_tree_model_iter_n_children(model, nullptr) : 0;
  if (var && *var >= 0 && *var < count) gtk_combo_box_set_active(GTK_COMBO_BOX(combo), *var);
  g_signal_connect(combo, "changed", G_CALLBACK(bind_on_option_changed), nullptr);
  if (extra) {
    g_object_set_data(G_OBJECT(combo), KEY_EXTRA, reinterpret_cast<gpointer>(extra));
    g_signal_connect(combo, "changed", extra, extra_data);
  }
  g_signal_connect(combo, "changed", G_CALLBACK(bind_on_changed), as_data(keep_refresh(combo, refresh)));
  gui_no_focus(combo);
  gtk_widget_show(combo);
  return combo;
}

GtkWidget* bind_preset_combo_new(char* name, const char* kind) {
  return bind_preset_combo_new_sized(name, COMBO_BUFFER, kind);
}

GtkWidget* bind_preset_combo_new_sized(char* name, std::size_t size, const char* kind) {
  GtkWidget* combo = text_combo_new(name, size);
  std::string shown = name && size ? std::string(name, strnlen(name, size)) : std::string();
  bind_combo_fill_from_folder(combo, kind, shown.c_str());
  connect_combo(combo, kind);
  gtk_widget_show_all(combo);
  bind_set_combo_text(combo, shown.c_str());
  return combo;
}

GtkWidget* bind_font_combo_new(char* buffer, const char* refresh) {
  return bind_font_combo_new_sized(buffer, COMBO_BUFFER, refresh);
}

GtkWidget* bind_font_combo_new_sized(char* buffer, std::size_t size, const char* refresh) {
  return list_combo_new(buffer, size, bind_font_names(), refresh, G_CALLBACK(on_font_chosen));
}

GtkWidget* bind_texture_combo_new(char* buffer, const char* refresh) {
  return bind_texture_combo_new_sized(buffer, COMBO_BUFFER, refresh);
}

GtkWidget* bind_texture_combo_new_sized(char* buffer, std::size_t size, const char* refresh) {
  return list_combo_new(buffer, size, bind_texture_names(), refresh);
}

// Setters.

void bind_set_toggle(GtkWidget* toggle, int active) {
  if (!toggle || !GTK_IS_TOGGLE_BUTTON(toggle)) return;
  // Activating a radio button also lets the active one of its group go.
  GSList* group =
      GTK_IS_RADIO_BUTTON(toggle) ? gtk_radio_button_get_group(GTK_RADIO_BUTTON(toggle)) : nullptr;
  std::vector<GtkWidget*> members;
  for (GSList* m = group; m; m = m->next) members.push_back(GTK_WIDGET(m->data));
  if (members.empty()) members.push_back(toggle);
  std::vector<std::unique_ptr<Quiet>> quiet;
  for (GtkWidget* w : members) quiet.push_back(std::make_unique<Quiet>(w));
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(toggle), active ? TRUE : FALSE);
}

void bind_set_combo_text(GtkWidget* combo, const char* text) {
  GtkWidget* entry = combo ? combo_entry(combo) : nullptr;
  if (!entry) return;
  std::string utf8 = latin1_to_utf8(text ? text : "");
  // The toolkit emits nothing for an unchanged text, yet setting the text is
  // what runs the combo's handlers (the buffer, the preview, a preset loader).
  if (utf8 == gtk_entry_get_text(GTK_ENTRY(entry)))
    g_signal_emit_by_name(entry, "changed");
  else
    gtk_entry_set_text(GTK_ENTRY(entry), utf8.c_str());
}

void bind_set_entry_text(GtkWidget* entry, const char* text) {
  if (!entry || !GTK_IS_ENTRY(entry)) return;
  Quiet quiet(entry);
  gtk_entry_set_text(GTK_ENTRY(entry), latin1_to_utf8(text ? text : "").c_str());
}

void bind_set_ventry(GtkWidget* entry, double v) { set_value_entry(entry, "ventry", v); }
void bind_set_mentry(GtkWidget* entry, double v) { set_value_entry(entry, "mentry", v); }
void bind_set_wentry(GtkWidget* entry, double v) { set_value_entry(entry, "wentry", v); }
void bind_set_pentry(GtkWidget* entry, double v) { set_value_entry(entry, "pentry", v); }
void bind_set_fentry(GtkWidget* entry, double v) { set_value_entry(entry, "fentry", v); }

void bind_set_option_menu(GtkWidget* option_menu, int index) {
  if (!option_menu || !GTK_IS_COMBO_BOX(option_menu)) return;
  GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(option_menu));
  int count = model ? gtk_tree_model_iter_n_children(model, nullptr) : 0;
  Quiet quiet(option_menu);
  gtk_combo_box_set_active(GTK_COMBO_BOX(option_menu), index >= 0 && index < count ? index : -1);
}

void bind_set_spin(GtkWidget* spin, double value) {
  if (!spin || !GTK_IS_SPIN_BUTTON(spin)) return;
  Quiet quiet(gtk_spin_button_get_adjustment(GTK_SPIN_BUTTON(spin)));
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(spin), value);
}

void bind_set_slider(GtkWidget* scale, double value) {
  if (!scale || !GTK_IS_RANGE(scale)) return;
  GtkAdjustment* adj = gtk_range_get_adjustment(GTK_RANGE(scale));
  Quiet quiet(adj);
  gtk_adjustment_set_value(adj, value);
}

void bind_set_colorsel(GtkWidget* colorsel, const double* rgb) {
  if (!colorsel || !rgb || !GTK_IS_COLOR_CHOOSER(colorsel)) return;
  GdkRGBA c{rgb[0], rgb[1], rgb[2], 1.0};
  gtk_color_chooser_set_rgba(GTK_COLOR_CHOOSER(colorsel), &c);
}

// Refreshers.

void bind_refresh_toggle(GtkWidget* toggle) {
  if (const int* var = toggle ? var_of<int>(toggle) : nullptr) bind_set_toggle(toggle, *var);
}

void bind_refresh_spin(GtkWidget* spin) {
  if (!spin || !GTK_IS_SPIN_BUTTON(spin)) return;
  if (g_object_get_data(G_OBJECT(spin), KEY_DOUBLE)) {
    if (const double* var = var_of<double>(spin)) bind_set_spin(spin, *var);
  } else if (const int* var = var_of<int>(spin)) {
    bind_set_spin(spin, *var);
  }
}

void bind_refresh_option_menu(GtkWidget* option_menu) {
  if (!option_menu || !GTK_IS_COMBO_BOX(option_menu)) return;
  auto redraw = reinterpret_cast<void (*)(GtkWidget*)>(g_object_get_data(G_OBJECT(option_menu), KEY_REDRAW));
  if (redraw) redraw(option_menu);
  if (const int* var = var_of<int>(option_menu)) bind_set_option_menu(option_menu, *var);
}

void bind_refresh_option_menu_pair(GtkWidget* first, GtkWidget* second) {
  bind_refresh_option_menu(second);
  bind_refresh_option_menu(first);
}

// Combo lists.

void bind_combo_set_names(GtkWidget* combo, const char* names, unsigned count) {
  bind_combo_set_names(combo, bind_names_from_slots(names, count));
}

void bind_combo_set_names(GtkWidget* combo, std::vector<std::string> names) {
  if (!combo || !GTK_IS_COMBO_BOX_TEXT(combo) || names.empty()) return;
  bind_sort_names(names);
  GtkComboBoxText* box = GTK_COMBO_BOX_TEXT(combo);
  gtk_combo_box_text_remove_all(box);
  for (const std::string& n : names) gtk_combo_box_text_append_text(box, latin1_to_utf8(n).c_str());
}

void bind_combo_fill_from_folder(GtkWidget* combo, const char* kind, const char* name) {
  auto names = bind_scan_folder(bind_preset_folder(kind));
  if (!names) return;
  bind_combo_set_names(combo, std::move(*names));
  bind_set_combo_text(combo, name);
}
