#include "support/golden_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

bool read_file(const fs::path& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  text = s.str();
  return true;
}

// The line of text that starts at `at`, without its newline.
std::string line_at(const std::string& text, std::size_t at) {
  if (at >= text.size()) return "(end of text)";
  return text.substr(at, text.find('\n', at) - at);
}

std::string first_difference(const std::string& want, const std::string& got) {
  std::size_t at = 0, line = 1;
  for (std::size_t i = 0; i < want.size() && i < got.size() && want[i] == got[i]; ++i) {
    if (want[i] == '\n') {
      at = i + 1;
      ++line;
    }
  }
  return "first difference in line " + std::to_string(line) + ":\n  golden: " + line_at(want, at) +
         "\n  actual: " + line_at(got, at);
}

}  // namespace

testing::AssertionResult golden_text_matches(const std::string& actual, const std::string& golden_path,
                                             const std::string& out_dir) {
  const fs::path golden(golden_path);
  const fs::path out = fs::path(out_dir) / (golden.stem().string() + ".out");
  std::string want;
  const bool found = read_file(golden, want);
  std::error_code ec;
  if (found && want == actual) {
    fs::remove(out, ec);
    return testing::AssertionSuccess();
  }
  testing::AssertionResult failure = testing::AssertionFailure();
  if (!found)
    failure << "no golden file " << golden.string();
  else
    failure << golden.string() << " differs, " << first_difference(want, actual);
  fs::create_directories(out_dir, ec);
  std::ofstream file(out, std::ios::binary);
  file << actual;
  file.close();
  if (!file) return failure << "\nand the actual text could not be written to " << out.string();
  return failure << "\nthe actual text is in " << out.string();
}
