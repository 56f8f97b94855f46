#include "shell/nls_table.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <unordered_map>

#include "model/nls.h"
#include "shell/latin1.h"

int language_count = 0;
std::vector<std::string> language_locales;
std::vector<std::string> languages;
std::string chosen_language = "english";
int language_index = 0;
int nls_text_language = 0;
int nls_entry_count = 0;
int nls_appended = 0;

namespace {

const char* const table_path = "./nls/kav.nls";
const char* const install_language_path = "./nls/language";

bool table_active = false;
int file_language_count = 0;  // languages in the file, also those beyond the 20 kept
std::unordered_map<std::string, std::size_t> key_index;
std::deque<std::string> texts;  // a deque: the returned pointers stay put

bool read_line(std::istream& in, std::string& line) {
  if (!std::getline(in, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

// An older table may hold ISO-8859-1 lines; the interface takes UTF-8 only.
std::string as_utf8(const std::string& s) { return utf8_valid(s) ? s : latin1_to_utf8(s); }

bool parse_count(const std::string& line, int& out) {
  char* end = nullptr;
  long v = std::strtol(line.c_str(), &end, 10);
  if (end == line.c_str()) return false;
  if (v < -1000000000L || v > 1000000000L) return false;
  out = static_cast<int>(v);
  return true;
}

void clear_table() {
  table_active = false;
  key_index.clear();
  texts.clear();
}

// Whether the file ends with a line feed (an empty file counts as ending so).
bool ends_with_newline(const char* path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return true;
  std::streamoff size = in.tellg();
  if (size <= 0) return true;
  in.seekg(size - 1);
  char last = 0;
  in.get(last);
  return last == '\n';
}

// Appends the entry of a missing text; false when the file cannot be written.
bool append_entry(const std::string& bar_text) {
  bool newline_first = !ends_with_newline(table_path);
  std::FILE* out = std::fopen(table_path, "a");
  if (!out) return false;
  std::string entry = newline_first ? "\n" : "";
  entry += "\n" + bar_text + "\n";
  for (int i = 1; i < file_language_count; ++i) entry += "*" + bar_text + "\n";
  bool ok = std::fwrite(entry.data(), 1, entry.size(), out) == entry.size();
  ok = (std::fclose(out) == 0) && ok;
  return ok;
}

}  // namespace

void nls_swap_bars(char* text) {
  if (!text) return;
  for (char* p = text; *p; ++p) {
    if (*p == '\n')
      *p = '|';
    else if (*p == '|')
      *p = '\n';
  }
}

void nls_swap_bars(std::string& text) {
  for (char& c : text) {
    if (c == '\n')
      c = '|';
    else if (c == '|')
      c = '\n';
  }
}

std::vector<std::string> nls_conversions(const std::string& text) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    if (i + 1 < text.size() && text[i + 1] == '%') {
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    while (j < text.size() && std::strchr("0123456789.*$#-+ 'hlLqjzt", text[j])) ++j;
    if (j < text.size()) {
      out.push_back(text.substr(i, j - i + 1));
      i = j;
    } else {
      out.push_back(text.substr(i));
      break;
    }
  }
  return out;
}

void nls_read_language() {
  chosen_language = "english";
  std::ifstream in;
  if (const char* home = std::getenv("HOME"))
    in.open(std::string(home) + "/.kavro3/language", std::ios::binary);
  if (!in.is_open()) in.open(install_language_path, std::ios::binary);
  std::string line;
  if (in.is_open() && read_line(in, line)) chosen_language = as_utf8(line);
}

void nls_load() {
  clear_table();
  language_count = 0;
  language_locales.clear();
  languages.clear();
  language_index = 0;
  nls_text_language = 0;
  nls_entry_count = 0;
  nls_appended = 0;
  file_language_count = 0;
  nls_set_lookup(nls_lookup);
  nls_read_language();

  std::ifstream in(table_path, std::ios::binary);
  if (!in) return;

  std::string line;
  int n = 0;
  if (!read_line(in, line) || !parse_count(line, n) || n < 1) {
    std::printf("nls table %s: no valid number of languages, table not used\n", table_path);
    return;
  }
  for (int i = 0; i < n; ++i) {
    std::string locale, name;
    if (!read_line(in, locale) || !read_line(in, name)) {
      std::printf("nls table %s: ends within the language list, table not used\n", table_path);
      language_locales.clear();
      languages.clear();
      return;
    }
    if (i >= NLS_MAX_LANGUAGES) {
      if (i == NLS_MAX_LANGUAGES)
        std::printf("nls table %s: more than %d languages, the others are ignored\n", table_path,
                    NLS_MAX_LANGUAGES);
      continue;
    }
    language_locales.push_back(as_utf8(locale));
    languages.push_back(as_utf8(name));
    if (languages.back() == chosen_language) nls_text_language = i;
  }
  file_language_count = n;
  language_count = static_cast<int>(languages.size());
  language_index = nls_text_language;

  int m = 0;
  if (!read_line(in, line) || !parse_count(line, m) || m < 0) m = 0;

  table_active = true;
  std::vector<std::string> entry(static_cast<std::size_t>(n));
  for (int k = 0; k < m; ++k) {
    bool complete = read_line(in, line);  // the separator
    for (int j = 0; complete && j < n; ++j) complete = read_line(in, entry[j]);
    if (!complete) break;  // a table that ends early keeps the entries read so far

    std::string key = as_utf8(entry[0]);
    std::string text = as_utf8(entry[nls_text_language]);
    nls_swap_bars(key);
    nls_swap_bars(text);
    if (nls_conversions(key) != nls_conversions(text)) {
      std::printf("nls entry *%s*: the translation has other conversions, the English text is used\n",
                  entry[0].c_str());
      text = key;
    }
    if (key_index.emplace(key, texts.size()).second) texts.push_back(std::move(text));
    ++nls_entry_count;
  }
}

const char* nls_lookup(const char* english) {
  if (!english) return "";
  if (!table_active) {
    std::puts("nls is not active!");
    return english;
  }
  auto it = key_index.find(english);
  if (it != key_index.end()) return texts[it->second].c_str();

  // Not loaded: it may have been appended by this or an earlier run, or stand
  // in the file as a text of any language.
  std::ifstream in(table_path, std::ios::binary);
  if (!in) return english;
  std::string line;
  while (read_line(in, line)) {
    nls_swap_bars(line);
    if (line == english) {
      std::printf("nls entry *%s* _NOT_ added ... num = %d\n", english, nls_appended + nls_entry_count);
      return english;
    }
  }
  in.close();

  std::string bar_text = english;
  nls_swap_bars(bar_text);
  if (!append_entry(bar_text)) {
    std::printf("nls entry *%s* NOT written (table not writable)\n", bar_text.c_str());
    return english;
  }
  ++nls_appended;
  std::printf("nls entry *%s* added ... num = %d\n", bar_text.c_str(), nls_appended + nls_entry_count);
  return english;
}

void nls_save_language() {
  int loaded = 0;
  for (int i = 0; i < static_cast<int>(languages.size()); ++i)
    if (languages[i] == chosen_language) loaded = i;
  clear_table();
  nls_set_lookup(nullptr);
  if (loaded == language_index) return;
  if (language_index < 0 || language_index >= static_cast<int>(languages.size())) return;
  const char* home = std::getenv("HOME");
  if (!home) return;

  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path dir = fs::path(home) / ".kavro3";
  fs::create_directories(dir, ec);
  fs::path target = dir / "language";
  fs::path temp = dir / "language.tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return;
    out << languages[language_index] << '\n';
    out.close();
    if (!out) {
      fs::remove(temp, ec);
      return;
    }
  }
  fs::rename(temp, target, ec);
  if (ec) fs::remove(temp, ec);
}
