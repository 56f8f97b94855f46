#pragma once

// The chunks of a drawing file the program saved, read back through the
// chunk dump.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "programs/kavdump.h"

// The chunks of the saved file whose dump line starts with tag ("LINE"),
// one dump line each.
inline std::vector<std::string> saved_chunks(const std::filesystem::path& file, const std::string& tag) {
  std::ifstream in(file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  std::istringstream dump(kavdump(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
  std::vector<std::string> out;
  for (std::string line; std::getline(dump, line);)
    if (line.rfind(tag + " ", 0) == 0) out.push_back(line);
  return out;
}
