#pragma once

// The shipped translation table's German texts, read straight from the
// source tree (the staged copy is left alone: a running table appends the
// texts it lacks), and a lookup that shows them as the program does after
// choosing German.

#include <fstream>
#include <map>
#include <set>
#include <string>

#include "shell/nls_table.h"

struct GermanTable {
  std::map<std::string, std::string> by_english;  // English text -> German text
  std::set<std::string> german;                   // every German text
};

inline const GermanTable& german_table() {
  static const GermanTable table = [] {
    GermanTable t;
    std::ifstream in(std::string(KAVRO_SOURCE_DIR) + "/nls/kav.nls", std::ios::binary);
    std::string line;
    std::getline(in, line);
    const int languages = std::stoi(line);
    for (int i = 0; i < 2 * languages; ++i) std::getline(in, line);
    std::getline(in, line);
    const int entries = std::stoi(line);
    for (int k = 0; k < entries && in; ++k) {
      std::string english, german;
      std::getline(in, line);
      std::getline(in, english);
      std::getline(in, german);
      for (int l = 2; l < languages; ++l) std::getline(in, line);
      nls_swap_bars(english);
      nls_swap_bars(german);
      t.by_english[english] = german;
      t.german.insert(german);
    }
    return t;
  }();
  return table;
}

// The translation of english, or english when the table has none.
inline const char* german_lookup(const char* english) {
  const auto& m = german_table().by_english;
  auto it = m.find(english ? english : "");
  return it != m.end() ? it->second.c_str() : english;
}

// Interface texts that read the same in German: words both languages use,
// names of file formats and programs, and signs.
inline const std::set<std::string>& german_same_words() {
  static const std::set<std::string> words = {
      "OK",      "-Format",  "-Polar",   "-Text",    "-X",        "-Y",        "3D",
      "Auto",    "Element",  "Ellipse",  "Export",   "Filter",    "Format",    "Import",
      "Info",    "Material", "Original", "Parallel", "Polygon",   "Position",  "Radius",
      "Spline",  "Symbol",   "Text",     "Zoom",     "Element:",  "Name",      "Text:",
      "Radius:", "Name:",    "Plotter",  "Start:",   "Position:", "X:",        "Y:",
      "Detail",  "Radiance", "Radzilla", "Splines:", "Radius 1:", "Radius 2:", "Material:",
  };
  return words;
}
