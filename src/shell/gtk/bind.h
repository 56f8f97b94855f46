#pragma once

// Bound widgets: every input widget of the main window and the dialogs edits
// one global variable directly. The widget carries the variable's address;
// a store handler, given a store kind (shell/bind_kinds.h), writes the
// widget's value into the variable when the user changes it, and a refresh
// handler, given a refresh key (shell/bind_refresh.h), then redraws what
// shows the variable. Tools read the variables when they create elements.
//
// Construction may run the handlers once: a check or toggle button made on a
// nonzero variable stores it and runs its refresh key; a preset combo stores
// its name and runs its key. Setting a widget from the program (the bind_set_
// and bind_refresh_ functions) only shows the value and stores nothing, with
// one exception: a combo's text, which its buffer follows and whose further
// "changed" handlers (a tool page's preset loader) run, even when the text
// does not change.
//
// Texts: variables hold ISO-8859-1 bytes, widgets UTF-8. Each text widget
// knows the byte size of its buffer and never writes past it. The bare
// pointer constructors take the buffer sizes their limits imply (the text
// limit plus one); the FixedText overloads take the field's own size and
// lower the widget's limit to fit it.

#include <gtk/gtk.h>

#include <cstddef>
#include <string>
#include <vector>

#include "model/fixed_text.h"

// While nonzero, a radio button that becomes active stores its value but
// posts no z_toggle (set while a tool page selects its radios itself).
extern unsigned char radio_suppress;

// Check button, toggle button with a label, toggle button showing an XPM
// picture: int 0/1, not focusable.
GtkWidget* bind_check_new(const char* label, int* var, const char* refresh);
GtkWidget* bind_toggle_new(const char* label, int* var, const char* refresh);
GtkWidget* bind_toggle_pixmap_new(const char* xpm_path, int* var, const char* refresh);
// Radio button in *group (null starts a group; *group is updated), active when
// *var equals value. Becoming active stores value (0..9 only; other values
// store nothing) and posts z_toggle unless radio_suppress is set. Button 3
// posts p_nop; not focusable.
GtkWidget* bind_radio_new(const char* label, int* var, int value, GSList** group, const char* refresh);
// Spin buttons over min..max, 100 pixels wide; the int is the value rounded.
GtkWidget* bind_spin_long_new(int* var, float min, float max, float step, int digits, const char* refresh);
GtkWidget* bind_spin_double_new(double* var, float min, float max, float step, int digits,
                                const char* refresh);
// Horizontal scale, updated while dragged. extra, when not null, runs after
// the store and the refresh as extra(adjustment, "hallo").
GtkWidget* bind_slider_new(double* var, float min, float max, float step, int digits, const char* refresh,
                           GCallback extra);
// Value entries (at most 40 characters, 100 pixels wide): Enter and leaving
// the entry parse the text in the kind's unit, store, show the value again
// and run the refresh key; typing alone stores nothing.
GtkWidget* bind_ventry_new(double* var, const char* refresh);  // metres, length unit
GtkWidget* bind_mentry_new(double* var, const char* refresh);  // paper mm, size unit
GtkWidget* bind_wentry_new(double* var, const char* refresh);  // radians, angle unit
GtkWidget* bind_pentry_new(double* var, const char* refresh);  // paper cm, paper unit
GtkWidget* bind_fentry_new(double* var, const char* refresh);  // plain number
// Text entry of at most max_length characters, 150 pixels wide: every change
// stores the text; Enter stores, shows the buffer again and runs the refresh
// key; leaving stores and (except for the key "layerentry") runs it. With a
// bare pointer the buffer holds max_length + 1 bytes; max_length 0 means a
// buffer of PATH_LEN bytes.
GtkWidget* bind_entry_new(char* buffer, unsigned char max_length, const char* refresh);
GtkWidget* bind_entry_new_sized(char* buffer, std::size_t size, unsigned char max_length,
                                const char* refresh);
template <std::size_t N>
GtkWidget* bind_entry_new(FixedText<N>& buffer, unsigned char max_length, const char* refresh) {
  return bind_entry_new_sized(buffer.data(), N, max_length, refresh);
}
// Option menu of count items labelled from consecutive 20-byte slots; item i
// stores i, then extra(combo, "hallo") runs when given, then the refresh key.
// Shows item *var; not focusable.
GtkWidget* bind_option_menu_new(int* var, const char* labels, int count, const char* refresh,
                                GCallback extra);
// The same from whole labels (interface texts): no label is cut, and the
// menu is as wide as its longest label.
GtkWidget* bind_option_menu_new(int* var, const std::vector<std::string>& labels, const char* refresh,
                                GCallback extra);
// Editable combo listing the preset folder of kind, bound to the name buffer
// with kind as refresh key, at most 39 characters, 100 pixels wide. Its text
// is set to the name once more after the handlers are connected, so they run
// once while it is made.
GtkWidget* bind_preset_combo_new(char* name, const char* kind);
GtkWidget* bind_preset_combo_new_sized(char* name, std::size_t size, const char* kind);
template <std::size_t N>
GtkWidget* bind_preset_combo_new(FixedText<N>& name, const char* kind) {
  return bind_preset_combo_new_sized(name.data(), N, kind);
}
// Combos whose text cannot be typed, listing the font names (stroke fonts,
// then the user's outline fonts) or the texture images; at most 39 characters,
// 100 pixels wide.
GtkWidget* bind_font_combo_new(char* buffer, const char* refresh);
GtkWidget* bind_font_combo_new_sized(char* buffer, std::size_t size, const char* refresh);
template <std::size_t N>
GtkWidget* bind_font_combo_new(FixedText<N>& buffer, const char* refresh) {
  return bind_font_combo_new_sized(buffer.data(), N, refresh);
}
GtkWidget* bind_texture_combo_new(char* buffer, const char* refresh);
GtkWidget* bind_texture_combo_new_sized(char* buffer, std::size_t size, const char* refresh);
template <std::size_t N>
GtkWidget* bind_texture_combo_new(FixedText<N>& buffer, const char* refresh) {
  return bind_texture_combo_new_sized(buffer.data(), N, refresh);
}

// Setters: show a value; a null widget is ignored.
void bind_set_toggle(GtkWidget* toggle, int active);
// Sets a combo's text; its handlers run as for a user's change (see above).
void bind_set_combo_text(GtkWidget* combo, const char* text);
void bind_set_entry_text(GtkWidget* entry, const char* text);
void bind_set_ventry(GtkWidget* entry, double metres);
void bind_set_mentry(GtkWidget* entry, double millimetres);
void bind_set_wentry(GtkWidget* entry, double radians);
void bind_set_pentry(GtkWidget* entry, double centimetres);
void bind_set_fentry(GtkWidget* entry, double value);
void bind_set_option_menu(GtkWidget* option_menu, int index);
void bind_set_spin(GtkWidget* spin, double value);
void bind_set_slider(GtkWidget* scale, double value);
// Red, green, blue in 0..1 into a GtkColorChooser.
void bind_set_colorsel(GtkWidget* colorsel, const double* rgb);

// Refreshers: set a bound widget from its own variable; null is ignored.
void bind_refresh_toggle(GtkWidget* toggle);
void bind_refresh_spin(GtkWidget* spin);
// Also draws the pictures of a pen or line-type menu again.
void bind_refresh_option_menu(GtkWidget* option_menu);
// second, then first.
void bind_refresh_option_menu_pair(GtkWidget* first, GtkWidget* second);

// Combo lists. The names are sorted by bind_name_compare and replace the
// drop-down list; no names leave the list as it was.
void bind_combo_set_names(GtkWidget* combo, const char* names, unsigned count);  // 40-byte slots
void bind_combo_set_names(GtkWidget* combo, std::vector<std::string> names);
// Lists the preset folder of kind and shows name; a folder that cannot be
// read leaves the combo as it was.
void bind_combo_fill_from_folder(GtkWidget* combo, const char* kind, const char* name);

// The handlers the constructors connect; usable directly. widget is the
// object the signal came from (an adjustment for spin buttons and sliders,
// the text field for combos).
void bind_on_store(gpointer widget, const char* kind);
gboolean bind_on_focus_out_store(GtkWidget* widget, GdkEventFocus* event, const char* kind);
void bind_on_changed(gpointer widget, const char* refresh);
gboolean bind_on_focus_out_changed(GtkWidget* widget, GdkEventFocus* event, const char* refresh);
// "changed" of an option menu: stores the active item's index through the
// kind "z<i>".
void bind_on_option_changed(GtkComboBox* combo, gpointer data);

// Binds a combo box of any model as an option menu: row i stores i into
// *var, then extra(combo, "hallo") runs when given, then the refresh key.
// Shows row *var and keeps the combo from taking the focus. Returns combo.
GtkWidget* bind_option_combo(GtkWidget* combo, int* var, const char* refresh, GCallback extra);

// The variable a bound widget edits (null when it is not bound).
void* bind_variable(gpointer widget);
// The store kind of a value entry ("ventry" ... "fentry"); null for any
// other widget.
const char* bind_value_entry_kind(GtkWidget* widget);
// What an option menu calls to draw its pictures again (pen and line-type
// menus); run by bind_refresh_option_menu.
void bind_set_redraw(GtkWidget* option_menu, void (*redraw)(GtkWidget*));
