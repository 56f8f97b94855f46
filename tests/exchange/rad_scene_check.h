#pragma once

// An independent reader of Radiance scene text for the tests: splits a
// scene into primitives ("modifier type identifier", then the string,
// integer and real arguments, each list led by its count) and checks each
// primitive's counts against what its type takes. A count that announces
// more or fewer arguments than follow shifts every later primitive, which
// the reader then reports.

#include <string>
#include <vector>

struct RadPrimitive {
  std::string modifier, type, id;
  std::vector<std::string> strings;
  std::vector<std::string> ints;
  std::vector<double> reals;
};

// The primitives of the text in order; lines starting with "#" are
// comments. On a malformed text returns what was read and sets *error.
std::vector<RadPrimitive> rad_parse_scene(const std::string& text, std::string* error);

// One line per problem: an unknown type, counts the type does not take, a
// picture pattern's transformation words out of step, or a modifier that is
// neither "void" nor defined before. Empty when the scene is sound.
std::vector<std::string> rad_check_scene(const std::string& text);
