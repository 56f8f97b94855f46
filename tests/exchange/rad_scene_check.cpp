#include "rad_scene_check.h"

#include <charconv>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>

namespace {

bool is_real(const std::string& s, double* v = nullptr) {
  double x = 0.0;
  const char* first = s.data();
  if (!s.empty() && s[0] == '+') ++first;
  const auto [end, ec] = std::from_chars(first, s.data() + s.size(), x);
  if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return false;
  if (v) *v = x;
  return true;
}

bool is_int(const std::string& s) {
  std::size_t i = (!s.empty() && (s[0] == '-' || s[0] == '+')) ? 1 : 0;
  if (i == s.size()) return false;
  for (; i < s.size(); ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

std::vector<std::string> tokens_of(const std::string& text) {
  std::vector<std::string> tokens;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first != std::string::npos && line[first] == '#') continue;
    std::istringstream words(line);
    std::string w;
    while (words >> w) tokens.push_back(w);
  }
  return tokens;
}

// The picture pattern's words after the seven fixed ones: options and
// their numbers, nothing left over.
bool transform_words_sound(const std::vector<std::string>& s) {
  static const std::map<std::string, int> takes = {{"-t", 3},  {"-s", 1},  {"-rx", 1}, {"-ry", 1},
                                                   {"-rz", 1}, {"-mx", 0}, {"-my", 0}, {"-mz", 0}};
  std::size_t i = 7;
  while (i < s.size()) {
    const auto it = takes.find(s[i]);
    if (it == takes.end()) return false;
    for (int k = 1; k <= it->second; ++k)
      if (i + k >= s.size() || !is_real(s[i + k])) return false;
    i += 1 + it->second;
  }
  return true;
}

std::string counts_problem(const RadPrimitive& p) {
  const std::size_t ns = p.strings.size(), ni = p.ints.size(), nr = p.reals.size();
  const auto fixed = [&](std::size_t reals) { return ns == 0 && ni == 0 && nr == reals; };
  bool ok = false;
  if (p.type == "polygon")
    ok = ns == 0 && ni == 0 && nr >= 9 && nr % 3 == 0;
  else if (p.type == "sphere" || p.type == "glow" || p.type == "source")
    ok = fixed(4);
  else if (p.type == "light")
    ok = fixed(3);
  else if (p.type == "plastic" || p.type == "metal")
    ok = fixed(5);
  else if (p.type == "trans")
    ok = fixed(7);
  else if (p.type == "glass")
    ok = fixed(3) || fixed(4);
  else if (p.type == "colorpict")
    ok = ns >= 7 && ni == 0 && nr <= 1 && transform_words_sound(p.strings);
  else if (p.type == "brightfunc")
    ok = ns >= 2 && ni == 0;
  else
    return "unknown type " + p.type + " of " + p.id;
  if (ok) return {};
  return p.type + " " + p.id + " with " + std::to_string(ns) + " strings, " + std::to_string(ni) +
         " integers, " + std::to_string(nr) + " reals";
}

}  // namespace

std::vector<RadPrimitive> rad_parse_scene(const std::string& text, std::string* error) {
  const std::vector<std::string> t = tokens_of(text);
  std::vector<RadPrimitive> out;
  std::size_t i = 0;
  const auto fail = [&](const std::string& why) {
    *error = why + " at word " + std::to_string(i) + (i < t.size() ? " \"" + t[i] + "\"" : " (end)");
    return out;
  };
  // A count, then that many words; false when the count is not one or the
  // text ends early.
  const auto take = [&](std::vector<std::string>* words) {
    if (i >= t.size() || !is_int(t[i])) return false;
    const long n = std::strtol(t[i].c_str(), nullptr, 10);
    if (n < 0 || i + 1 + static_cast<std::size_t>(n) > t.size()) return false;
    words->assign(t.begin() + static_cast<long>(i) + 1, t.begin() + static_cast<long>(i) + 1 + n);
    i += 1 + static_cast<std::size_t>(n);
    return true;
  };
  error->clear();
  while (i < t.size()) {
    if (i + 3 > t.size()) return fail("primitive head cut short");
    RadPrimitive p;
    p.modifier = t[i];
    p.type = t[i + 1];
    p.id = t[i + 2];
    i += 3;
    std::vector<std::string> reals;
    if (!take(&p.strings)) return fail("bad string arguments of " + p.id);
    if (!take(&p.ints)) return fail("bad integer arguments of " + p.id);
    for (const std::string& v : p.ints)
      if (!is_int(v)) return fail("integer argument \"" + v + "\" of " + p.id);
    if (!take(&reals)) return fail("bad real arguments of " + p.id);
    for (const std::string& v : reals) {
      double x = 0.0;
      if (!is_real(v, &x)) return fail("real argument \"" + v + "\" of " + p.id);
      p.reals.push_back(x);
    }
    out.push_back(std::move(p));
  }
  return out;
}

std::vector<std::string> rad_check_scene(const std::string& text) {
  std::string error;
  const std::vector<RadPrimitive> prims = rad_parse_scene(text, &error);
  std::vector<std::string> problems;
  if (!error.empty()) problems.push_back(error);
  std::set<std::string> defined;
  for (const RadPrimitive& p : prims) {
    if (std::string why = counts_problem(p); !why.empty()) problems.push_back(why);
    if (p.modifier != "void" && !defined.count(p.modifier))
      problems.push_back(p.id + " names the undefined modifier " + p.modifier);
    defined.insert(p.id);
  }
  return problems;
}
