#pragma once

// Reads the list of the program's pictures: one "name width height" a line,
// '#' starts a comment. Shared by the generator, its tests and the contact
// sheet, so that all three read the list the same way.

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct PictureName {
  std::string name;
  int width = 0, height = 0;
};

// False with a message in `error` when the file cannot be read, a line is
// malformed or a name is listed twice.
inline bool read_picture_names(const std::string& path, std::vector<PictureName>& out, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    PictureName p;
    if (!(words >> p.name)) continue;
    std::string rest;
    if (!(words >> p.width >> p.height) || p.width <= 0 || p.height <= 0 || (words >> rest)) {
      error = path + ":" + std::to_string(number) + ": expected \"name width height\"";
      return false;
    }
    for (const PictureName& q : out) {
      if (q.name == p.name) {
        error = path + ":" + std::to_string(number) + ": " + p.name + " listed twice";
        return false;
      }
    }
    out.push_back(p);
  }
  return true;
}
