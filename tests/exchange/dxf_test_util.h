#pragma once

// Small DXF files written inline for the reader's tests: groups are given
// as "code value" pieces separated by "|", so that a test shows the file it
// reads on one or two lines.

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/dxf_reader.h"
#include "support/model_fixture.h"

// "0 LINE|8 0|10 1" -> "0\nLINE\n8\n0\n10\n1\n". The value is everything
// after the first blank, so values may hold blanks and be empty.
inline std::string dxf_groups(std::string_view spec) {
  std::string out;
  while (!spec.empty()) {
    const std::size_t bar = spec.find('|');
    std::string_view piece = spec.substr(0, bar);
    const std::size_t blank = piece.find(' ');
    out += piece.substr(0, blank);
    out += '\n';
    if (blank != std::string_view::npos) out += piece.substr(blank + 1);
    out += '\n';
    if (bar == std::string_view::npos) break;
    spec.remove_prefix(bar + 1);
  }
  return out;
}

// An ENTITIES section around the given groups, and the file's end.
inline std::string dxf_entities(std::string_view groups) {
  return dxf_groups("0 SECTION|2 ENTITIES") + dxf_groups(groups) + dxf_groups("0 ENDSEC|0 EOF");
}

// A LAYER table of the given entries ("0 LAYER|2 A|62 5|...").
inline std::string dxf_layer_table(std::string_view entries) {
  return dxf_groups("0 SECTION|2 TABLES|0 TABLE|2 LAYER|70 9") + dxf_groups(entries) +
         dxf_groups("0 ENDTAB|0 ENDSEC");
}

inline DxfImport dxf_read_text(const std::string& text, DxfImportOptions options = {}) {
  std::istringstream in(text);
  return dxf_read(in, options);
}

// The elements of one kind from a result.
template <class T>
std::vector<const T*> dxf_of(const DxfImport& r) {
  std::vector<const T*> out;
  for (const auto& e : r.elements)
    if (const T* t = elem_as<T>(e.get())) out.push_back(t);
  return out;
}
