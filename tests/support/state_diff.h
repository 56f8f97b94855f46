#pragma once

// For tests of the state resets, which write the state as text, one group
// of values a line: what differs between two such texts.

#include <sstream>
#include <string>

// Each line of b that differs from a's, beside a's, from a little before
// the first difference; empty when the texts are equal line for line.
inline std::string differing_lines(const std::string& a, const std::string& b) {
  std::istringstream ia(a), ib(b);
  std::string la, lb, out;
  while (std::getline(ia, la) && std::getline(ib, lb)) {
    if (la == lb) continue;
    std::size_t i = 0;
    while (i < la.size() && i < lb.size() && la[i] == lb[i]) ++i;
    const std::size_t from = i > 40 ? i - 40 : 0;
    out += "fresh: " + la.substr(from, 120) + "\nreset: " + lb.substr(from, 120) + "\n";
  }
  return out;
}
