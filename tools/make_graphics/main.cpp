// Draws the installation's pictures and writes them as XPM files.
//
//   make_graphics NAMES OUTDIR
//
// NAMES lists every picture the program loads ("name width height" a line,
// '#' starts a comment); the program refuses to write anything when its
// drawings and that list disagree, so a picture can be neither forgotten nor
// drawn at another size than the one the windows are laid out for.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>

#include "names.h"
#include "pictures.h"

namespace {

// XPM arrays are C identifiers; some picture names start with a digit.
std::string symbol_for(std::string_view name) {
  std::string s = "kavro_";
  for (char ch : name) s += (ch == '-' || ch == '.') ? '_' : ch;
  return s + "_xpm";
}

bool write_file(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::path tmp = path;
  tmp += ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
      std::fprintf(stderr, "make_graphics: cannot write %s\n", tmp.c_str());
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(tmp, path, ec);
  if (ec) {
    std::fprintf(stderr, "make_graphics: cannot rename %s: %s\n", tmp.c_str(), ec.message().c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_graphics NAMES OUTDIR\n");
    return 2;
  }
  std::vector<PictureName> list;
  std::string error;
  if (!read_picture_names(argv[1], list, error)) {
    std::fprintf(stderr, "make_graphics: %s\n", error.c_str());
    return 1;
  }
  std::map<std::string, PictureName> names;
  for (const PictureName& p : list) names[p.name] = p;

  std::vector<Picture> pictures;
  add_bar_pictures(pictures);
  add_page_pictures(pictures);
  add_dialog_pictures(pictures);

  bool ok = true;
  std::map<std::string, const Picture*> drawn;
  for (const Picture& p : pictures) {
    std::string name(p.name);
    auto it = names.find(name);
    if (it == names.end()) {
      std::fprintf(stderr, "make_graphics: %s is drawn but not listed in %s\n", name.c_str(), argv[1]);
      ok = false;
    } else if (it->second.width != p.width || it->second.height != p.height) {
      std::fprintf(stderr, "make_graphics: %s is drawn %dx%d but listed as %dx%d\n", name.c_str(), p.width,
                   p.height, it->second.width, it->second.height);
      ok = false;
    }
    if (!drawn.emplace(name, &p).second) {
      std::fprintf(stderr, "make_graphics: %s is drawn twice\n", name.c_str());
      ok = false;
    }
  }
  for (const auto& [name, w] : names) {
    if (!drawn.count(name)) {
      std::fprintf(stderr, "make_graphics: %s is listed but has no drawing\n", name.c_str());
      ok = false;
    }
  }
  if (!ok) return 1;

  std::filesystem::path dir(argv[2]);
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) {
    std::fprintf(stderr, "make_graphics: cannot create %s: %s\n", dir.c_str(), ec.message().c_str());
    return 1;
  }
  // The folder is the generator's own: pictures no longer listed go.
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
    const std::filesystem::path& f = entry.path();
    if (f.extension() == ".xpm" && !names.count(f.stem().string())) std::filesystem::remove(f, ec);
  }
  for (const Picture& p : pictures) {
    Canvas c(p.width, p.height);
    try {
      p.draw(c);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "make_graphics: %s: %s\n", std::string(p.name).c_str(), e.what());
      return 1;
    }
    if (!write_file(dir / (std::string(p.name) + ".xpm"), c.to_xpm(symbol_for(p.name)))) return 1;
  }
  return 0;
}
