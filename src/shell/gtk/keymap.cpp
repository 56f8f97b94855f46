#include "shell/gtk/keymap.h"

#include <gdk/gdk.h>

#include <string>

#include "display/command_buffer.h"
#include "display/gtk/view_gtk.h"
#include "display/input.h"
#include "display/key_state.h"
#include "display/view_commands.h"
#include "display/wait.h"
#include "model/settings.h"
#include "shell/cmd_loop.h"
#include "shell/shell_platform.h"
#include "shell/value_entry.h"

namespace {

// Shift, Control, Alt (Mod1), Super, Hyper, Meta: the modifiers a key
// combination is made of. Lock and Num Lock (Mod2) are left out, so Caps
// Lock or Num Lock never turn Control+key into a plain key.
constexpr unsigned MEANINGFUL_MODIFIERS =
    KEYMAP_SHIFT | KEYMAP_CONTROL | (1u << 3) | (1u << 26) | (1u << 27) | (1u << 28);

KeyAction post(const char* key, bool focus_view = false) {
  KeyAction a;
  a.kind = KeyActKind::POST;
  a.text = key;
  a.focus_view = focus_view;
  return a;
}

KeyAction page(const char* name) {
  KeyAction a;
  a.kind = KeyActKind::PAGE;
  a.text = name;
  return a;
}

KeyAction pan(int dx, int dy) {
  KeyAction a;
  a.kind = KeyActKind::PAN;
  a.dx = dx;
  a.dy = dy;
  return a;
}

KeyAction of_kind(KeyActKind kind) {
  KeyAction a;
  a.kind = kind;
  return a;
}

// The keypad digits with and without Num Lock, then the digit keys; index
// 1..9 is the digit, laid out like the keypad.
bool keypad_digit(uint32_t k, int& digit) {
  static const uint32_t numlock_off[10] = {0,
                                           GDK_KEY_KP_End,
                                           GDK_KEY_KP_Down,
                                           GDK_KEY_KP_Next,
                                           GDK_KEY_KP_Left,
                                           GDK_KEY_KP_Begin,
                                           GDK_KEY_KP_Right,
                                           GDK_KEY_KP_Home,
                                           GDK_KEY_KP_Up,
                                           GDK_KEY_KP_Prior};
  for (int d = 1; d <= 9; ++d) {
    if (k == static_cast<uint32_t>(GDK_KEY_KP_0 + d) || k == numlock_off[d] ||
        k == static_cast<uint32_t>(GDK_KEY_0 + d)) {
      digit = d;
      return true;
    }
  }
  return false;
}

// F1..F8 with Control and/or Shift: the current pen and line type.
KeyAction pen_keys(uint32_t k, unsigned s) {
  if (k < GDK_KEY_F1 || k > GDK_KEY_F8) return {};
  int n = static_cast<int>(k - GDK_KEY_F1);
  KeyAction a = of_kind(KeyActKind::PEN);
  if (s & KEYMAP_CONTROL) a.pen = n;
  if (s & KEYMAP_SHIFT) a.line_type = n;
  if (a.pen < 0 && a.line_type < 0) return {};
  return a;
}

// The page letters reached after the snap letters and F12; "r" is the room
// page while "R" went back to the previous view before.
const char* page_letter(uint32_t k) {
  struct Page {
    uint32_t lower, upper;
    const char* name;
  };
  static const Page pages[] = {
      {GDK_KEY_e, GDK_KEY_E, "edit"},    {GDK_KEY_l, GDK_KEY_L, "line"},   {GDK_KEY_c, GDK_KEY_C, "circle"},
      {GDK_KEY_t, GDK_KEY_T, "text"},    {GDK_KEY_d, GDK_KEY_D, "dim"},    {GDK_KEY_p, GDK_KEY_P, "pattern"},
      {GDK_KEY_w, GDK_KEY_W, "wall"},    {GDK_KEY_s, GDK_KEY_S, "symbol"}, {GDK_KEY_r, 0, "room"},
      {GDK_KEY_o, GDK_KEY_O, "opening"}, {GDK_KEY_h, GDK_KEY_H, "3d"},     {GDK_KEY_b, GDK_KEY_B, "unit"},
  };
  for (const Page& p : pages)
    if (k == p.lower || (p.upper && k == p.upper)) return p.name;
  return nullptr;
}

}  // namespace

KeyAction keymap_action(uint32_t k, unsigned state, bool snap_keys_enabled, bool select_idle,
                        bool value_entry_open) {
  if (value_entry_open) {
    // Escape leaves the entry without a value; the waiting step decides
    // where that leads. Every other key is the entry's.
    if (k == GDK_KEY_Escape) {
      KeyAction a = post("z_eesc", true);
      a.close_entry = true;
      return a;
    }
    KeyAction a;
    a.propagate = true;
    return a;
  }
  const unsigned s = state & MEANINGFUL_MODIFIERS;
  // Control alone only sets the pen; Control with any other key does nothing.
  if (s == KEYMAP_CONTROL) return pen_keys(k, s);

  switch (k) {
    case GDK_KEY_M:
      return post("z_def");
    case GDK_KEY_R:
      return post("s_back");
    default:
      break;
  }
  if (snap_keys_enabled) {
    switch (k) {
      case GDK_KEY_i:
        return post("z_snap_i");
      case GDK_KEY_m:
        return post("z_snap_m");
      case GDK_KEY_d:
        return post("z_snap_d");
      case GDK_KEY_t:
        return post("z_snap_t");
      default:
        break;
    }
  }
  switch (k) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
      return post("z_enter", true);
    case GDK_KEY_Tab:
      return post(select_idle ? "z_enter" : "s_deffi_ok", true);
    case GDK_KEY_Escape:
      return post("p_nop", true);
    case GDK_KEY_asterisk:
    case GDK_KEY_KP_Multiply:
      return of_kind(KeyActKind::LAYERS);
    case GDK_KEY_x:
    case GDK_KEY_X:
      return post("z_cx");
    case GDK_KEY_y:
    case GDK_KEY_Y:
      return post("z_cy");
    case GDK_KEY_z:
    case GDK_KEY_Z:
      return post("z_cz");
    case GDK_KEY_a:
    case GDK_KEY_A:
      return post("z_abs");
    default:
      break;
  }
  if (int digit = 0; keypad_digit(k, digit)) {
    if (digit == 5) return of_kind(KeyActKind::FIT);
    return pan((digit - 1) % 3 - 1, (digit - 1) / 3 - 1);
  }
  switch (k) {
    case GDK_KEY_KP_Divide:
    case GDK_KEY_slash:
      return post("b_gauge");
    case GDK_KEY_Up:
      return post("z_cup");
    case GDK_KEY_Down:
      return post("z_cdown");
    case GDK_KEY_Left:
      return post("z_cleft");
    case GDK_KEY_Right:
      return post("z_cright");
    case GDK_KEY_space: {
      KeyAction a = post("z_space");
      a.show_coordinates = true;
      return a;
    }
    case GDK_KEY_u:
      return post("p_undo");
    case GDK_KEY_U:
      return post("z_help_guide");
    case GDK_KEY_KP_Subtract:
    case GDK_KEY_minus:
      return post("s_maminus");
    case GDK_KEY_KP_Add:
    case GDK_KEY_plus:
      return post("s_maplus");
    case GDK_KEY_F9:
      return post("b_edit_delete");
    case GDK_KEY_F1:
      // With Shift or Control F1 sets the line type or pen below.
      if (!(s & (KEYMAP_SHIFT | KEYMAP_CONTROL))) return post("z_help_guide");
      break;
    case GDK_KEY_F12:
      return post("z_pnull");
    default:
      break;
  }
  if (const char* name = page_letter(k)) return page(name);
  return pen_keys(k, s);
}

void keymap_run(const KeyAction& a) {
  const ShellPlatform& p = shell_platform();
  switch (a.kind) {
    case KeyActKind::NONE:
      return;
    case KeyActKind::POST:
      if (a.close_entry) mainwin_value_entry_close();
      if (a.focus_view) view_main_grab_focus();
      if (a.show_coordinates) input_show_coordinates(active_request);
      cmd_put_key(a.text);
      return;
    case KeyActKind::PAGE:
      // The page switch cancels a running tool like Escape; showing the page
      // may post its own key, which then stands.
      command_key = "p_nop";
      p.mainwin_show_tool_page(a.text);
      wait_end();
      return;
    case KeyActKind::PAN:
      view_scroll_quarter(a.dx, a.dy);
      return;
    case KeyActKind::FIT:
      view_zoom_to_extents(0);
      return;
    case KeyActKind::PEN:
      if (a.pen >= 0) {
        cur_pen = a.pen;
        p.mainwin_refresh_pen_menus();
      }
      if (a.line_type >= 0) {
        cur_line_type = a.line_type;
        p.mainwin_refresh_linetype_menus();
      }
      return;
    case KeyActKind::LAYERS:
      // As the key z_d_layer of a button: the dialog opens at once.
      cmd_post_key(nullptr, "z_d_layer");
      return;
  }
}

bool keymap_press(uint32_t keyval, unsigned state) {
  KeyAction a = keymap_action(keyval, state, snap_keys_enabled != 0, select_idle != 0, value_entry_open != 0);
  keymap_run(a);
  return !a.propagate;
}

void keymap_script_press(const char* name) {
  if (!name) return;
  unsigned state = 0;
  std::string rest = name;
  for (;;) {
    if (rest.rfind("<Control>", 0) == 0) {
      state |= KEYMAP_CONTROL;
      rest.erase(0, 9);
    } else if (rest.rfind("<Shift>", 0) == 0) {
      state |= KEYMAP_SHIFT;
      rest.erase(0, 7);
    } else {
      break;
    }
  }
  guint keyval = gdk_keyval_from_name(rest.c_str());
  if (keyval == GDK_KEY_VoidSymbol || keyval == 0) return;
  keymap_press(keyval, state);
}
