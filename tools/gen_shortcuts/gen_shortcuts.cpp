// Writes the help page of the keyboard shortcuts from a page template: the
// line "<!-- shortcuts -->" becomes a table made by asking the main
// window's own key mapping what every key does, so the page cannot differ
// from the program. A command key without a description here stops the
// build.
//
// Usage: gen_shortcuts en|de TEMPLATE OUT

#include <gdk/gdk.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "shell/gtk/keymap.h"

namespace {

struct Words {
  const char* en;
  const char* de;
};

// What each posted command key does, in the words of the manual.
const std::map<std::string, Words>& command_words() {
  static const std::map<std::string, Words> words = {
      {"z_def", {"Remember the current view", "Aktuelle Ansicht merken"}},
      {"s_back", {"Back to the remembered view", "Zurück zur gemerkten Ansicht"}},
      {"z_snap_i", {"Snap to the intersection of two elements", "Fang am Schnittpunkt zweier Elemente"}},
      {"z_snap_m", {"Snap to the middle between two points", "Fang in der Mitte zwischen zwei Punkten"}},
      {"z_snap_d",
       {"Snap to a division point between two points", "Fang an einem Teilungspunkt zwischen zwei Punkten"}},
      {"z_snap_t",
       {"Snap to the tangent point from a point to a circle",
        "Fang am Tangentenpunkt von einem Punkt an einen Kreis"}},
      {"z_enter",
       {"Confirm: end the input or take the value", "Bestätigen: Eingabe beenden oder Wert übernehmen"}},
      {"s_deffi_ok", {"Finish the selection", "Auswahl abschließen"}},
      {"p_nop", {"Cancel the running tool", "Laufendes Werkzeug abbrechen"}},
      {"z_cx",
       {"Move the last point along X by a typed length",
        "Letzten Punkt um eine getippte Länge entlang X schieben"}},
      {"z_cy",
       {"Move the last point along Y by a typed length",
        "Letzten Punkt um eine getippte Länge entlang Y schieben"}},
      {"z_cz",
       {"Move the last point along Z by a typed length",
        "Letzten Punkt um eine getippte Länge entlang Z schieben"}},
      {"z_abs",
       {"Type a point: x;y;z in metres (\"Abs. X/Y/Z:\")",
        "Punkt eintippen: x;y;z in Metern („Abs. X/Y/Z:“)"}},
      {"b_gauge", {"Measure a distance", "Abstand messen"}},
      {"z_cup",
       {"Move the last point up by a typed length",
        "Letzten Punkt um eine getippte Länge nach oben schieben"}},
      {"z_cdown",
       {"Move the last point down by a typed length",
        "Letzten Punkt um eine getippte Länge nach unten schieben"}},
      {"z_cleft",
       {"Move the last point left by a typed length",
        "Letzten Punkt um eine getippte Länge nach links schieben"}},
      {"z_cright",
       {"Move the last point right by a typed length",
        "Letzten Punkt um eine getippte Länge nach rechts schieben"}},
      {"z_space", {"Centre the view on the cursor", "Ansicht auf den Cursor zentrieren"}},
      {"p_undo",
       {"Undo the last step (ends a running tool)",
        "Letzten Schritt rückgängig machen (beendet ein laufendes Werkzeug)"}},
      {"z_help_guide", {"Open this manual", "Dieses Handbuch öffnen"}},
      // The keys step the scale number 1:N: plus to a larger N, which
      // shows the drawing smaller.
      {"s_maminus", {"Zoom in (next smaller scale number)", "Vergrößern (nächstkleinere Maßstabszahl)"}},
      {"s_maplus", {"Zoom out (next larger scale number)", "Verkleinern (nächstgrößere Maßstabszahl)"}},
      {"b_edit_delete", {"Delete elements", "Elemente löschen"}},
      // Posted, but nothing acts on it: not listed.
      {"z_pnull", {"", ""}},
  };
  return words;
}

const std::map<std::string, Words>& page_words() {
  static const std::map<std::string, Words> words = {
      {"edit", {"Edit", "Bearbeiten"}},
      {"line", {"Line", "Linie"}},
      {"circle", {"Circle", "Kreis"}},
      {"text", {"Text", "Text"}},
      {"dim", {"Dimension", "Bemaßung"}},
      {"pattern", {"Pattern", "Muster"}},
      {"wall", {"Wall", "Wand"}},
      {"symbol", {"Symbol", "Symbol"}},
      {"room", {"Room", "Raum"}},
      {"opening", {"Opening", "Öffnung"}},
      {"3d", {"3D", "3D"}},
      {"unit", {"Unit", "Einheit"}},
  };
  return words;
}

bool german = false;

std::string say(const Words& w) { return german ? w.de : w.en; }

// The description of an action; empty for none. Exits on an unknown key.
std::string describe(const KeyAction& a) {
  char text[256];
  switch (a.kind) {
    case KeyActKind::NONE:
      return "";
    case KeyActKind::POST: {
      auto it = command_words().find(a.text);
      if (it == command_words().end()) {
        std::fprintf(stderr, "gen_shortcuts: no description for the command key %s\n", a.text);
        std::exit(1);
      }
      return say(it->second);
    }
    case KeyActKind::PAGE: {
      auto it = page_words().find(a.text);
      if (it == page_words().end()) {
        std::fprintf(stderr, "gen_shortcuts: no description for the page %s\n", a.text);
        std::exit(1);
      }
      std::snprintf(text, sizeof text, german ? "Werkzeugseite „%s“ zeigen" : "Show the %s tool page",
                    say(it->second).c_str());
      return text;
    }
    case KeyActKind::PAN: {
      static const Words dirs[3][3] = {
          {{"down left", "nach links unten"}, {"down", "nach unten"}, {"down right", "nach rechts unten"}},
          {{"left", "nach links"}, {"", ""}, {"right", "nach rechts"}},
          {{"up left", "nach links oben"}, {"up", "nach oben"}, {"up right", "nach rechts oben"}},
      };
      std::snprintf(text, sizeof text,
                    german ? "Ansicht um ein Viertel %s schieben" : "Move the view a quarter %s",
                    say(dirs[a.dy + 1][a.dx + 1]).c_str());
      return text;
    }
    case KeyActKind::FIT:
      return german ? "Ganze Zeichnung zeigen" : "Fit the whole drawing into the view";
    case KeyActKind::PEN:
      if (a.pen >= 0 && a.line_type >= 0)
        std::snprintf(text, sizeof text,
                      german ? "Stift %d und Linientyp %d wählen" : "Choose pen %d and line type %d",
                      a.pen + 1, a.line_type + 1);
      else if (a.pen >= 0)
        std::snprintf(text, sizeof text, german ? "Stift %d wählen" : "Choose pen %d", a.pen + 1);
      else
        std::snprintf(text, sizeof text, german ? "Linientyp %d wählen" : "Choose line type %d",
                      a.line_type + 1);
      return text;
    case KeyActKind::LAYERS:
      return german ? "Ebenen-Dialog öffnen" : "Open the Layers dialog";
  }
  return "";
}

std::string html(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '<')
      out += "&lt;";
    else if (c == '>')
      out += "&gt;";
    else if (c == '&')
      out += "&amp;";
    else
      out += c;
  }
  return out;
}

// How the manual writes a key with its modifiers.
std::string key_name(uint32_t k, unsigned state) {
  std::string name;
  if (state & KEYMAP_CONTROL) name += german ? "Strg+" : "Ctrl+";
  if (state & KEYMAP_SHIFT) name += german ? "Umschalt+" : "Shift+";
  const gunichar c = k < 0xff00 ? gdk_keyval_to_unicode(k) : 0;
  if (c > 32 && c < 127) {
    if (c >= 'A' && c <= 'Z') name += german ? "Umschalt+" : "Shift+";
    name += static_cast<char>(c);
  } else if (const char* n = gdk_keyval_name(k)) {
    std::string s = n;
    if (s.rfind("KP_", 0) == 0) s = (german ? "Ziffernblock " : "Keypad ") + s.substr(3);
    name += s;
  }
  return name;
}

struct Row {
  std::vector<std::string> keys;
  std::string what;
};

std::string table() {
  // Printable keys, then the function, cursor and keypad keys.
  std::vector<uint32_t> keys;
  for (uint32_t k = 0x20; k < 0x7f; ++k) keys.push_back(k);
  for (uint32_t k = 0xff00; k <= 0xffff; ++k) keys.push_back(k);
  const unsigned states[] = {0, KEYMAP_SHIFT, KEYMAP_CONTROL, KEYMAP_SHIFT | KEYMAP_CONTROL};

  std::vector<Row> rows;
  std::map<std::string, std::size_t> by_what;
  for (uint32_t k : keys) {
    std::string unmodified;
    for (unsigned s : states) {
      // Letters and signs come with their own case; their modifiers are
      // already in the key value.
      if (k < 0x7f && s & KEYMAP_SHIFT) continue;
      const KeyAction plain = keymap_action(k, s, false, true, false);
      const KeyAction snap = keymap_action(k, s, true, true, false);
      const KeyAction selecting = keymap_action(k, s, false, false, false);
      std::string what = describe(plain);
      const std::string with_snap = describe(snap);
      const std::string while_busy = describe(selecting);
      if (with_snap != what)
        what = (what.empty() ? "" : what + "; ") +
               (german ? "während ein Punkt gefragt ist: " : "while a point is asked: ") + with_snap;
      if (while_busy != describe(plain))
        what += std::string("; ") + (german ? "während einer Auswahl: " : "while selecting: ") + while_busy;
      // A modifier that changes nothing is not worth a line of its own.
      if (s == 0) unmodified = what;
      if (what.empty() || (s != 0 && what == unmodified)) continue;
      const std::string name = key_name(k, s);
      auto it = by_what.find(what);
      if (it == by_what.end()) {
        by_what[what] = rows.size();
        rows.push_back({{name}, what});
      } else {
        std::vector<std::string>& names = rows[it->second].keys;
        bool seen = false;
        for (const std::string& n : names) seen = seen || n == name;
        if (!seen) names.push_back(name);
      }
    }
  }

  std::ostringstream out;
  out << "<table class=\"keys\">\n<tr><th>" << (german ? "Taste" : "Key") << "</th><th>"
      << (german ? "Wirkung" : "What it does") << "</th></tr>\n";
  for (const Row& r : rows) {
    out << "<tr><td>";
    for (std::size_t i = 0; i < r.keys.size(); ++i)
      out << (i ? ", " : "") << "<kbd>" << html(r.keys[i]) << "</kbd>";
    out << "</td><td>" << html(r.what) << "</td></tr>\n";
  }
  out << "</table>\n";
  return out.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 || (std::strcmp(argv[1], "en") != 0 && std::strcmp(argv[1], "de") != 0)) {
    std::fprintf(stderr, "usage: gen_shortcuts en|de TEMPLATE OUT\n");
    return 2;
  }
  german = std::strcmp(argv[1], "de") == 0;
  std::ifstream in(argv[2]);
  if (!in) {
    std::fprintf(stderr, "gen_shortcuts: cannot read %s\n", argv[2]);
    return 1;
  }
  std::ostringstream page;
  bool placed = false;
  for (std::string line; std::getline(in, line);) {
    if (line.find("<!-- shortcuts -->") != std::string::npos) {
      page << table();
      placed = true;
    } else {
      page << line << "\n";
    }
  }
  if (!placed) {
    std::fprintf(stderr, "gen_shortcuts: %s has no <!-- shortcuts --> line\n", argv[2]);
    return 1;
  }
  std::ofstream out(argv[3], std::ios::binary);
  out << page.str();
  out.close();
  if (!out) {
    std::fprintf(stderr, "gen_shortcuts: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
