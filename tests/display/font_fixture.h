#pragma once

// A private font folder and base folder for font tests, from a fresh start
// of the model and the display: the font table starts empty, stroke fonts
// are read from <tmp>/fonts and outline fonts from <tmp>/base/ttf;
// everything is put back afterwards.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "display/display_state.h"
#include "display/font.h"
#include "model/model_state.h"
#include "model/settings.h"

// The text of a stroke-font file: every code gets the default advance and
// no strokes unless given its own record body (advance and commands, without
// the closing "0").
inline std::string stroke_font_text(const std::map<int, std::string>& records = {},
                                    const char* default_advance = "0.5") {
  std::string text;
  for (int code = 32; code < 256; ++code) {
    auto it = records.find(code);
    text += (it != records.end() ? it->second : std::string(default_advance)) + "\n0\n";
  }
  return text;
}

class FontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    model_state_reset();
    display_state_reset();
    char pattern[] = "/tmp/kavro-font-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    fonts_ = root_ / "fonts";
    std::filesystem::create_directories(fonts_);
    std::filesystem::create_directories(root_ / "base");
    saved_dir_ = font_stroke_dir;
    saved_base_ = base_dir.c_str();
    font_stroke_dir = fonts_.string();
    base_dir = (root_ / "base").string();
    font_slots_clear();
  }
  void TearDown() override {
    font_slots_clear();
    font_stroke_dir = saved_dir_;
    base_dir = saved_base_;
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }

  void write_file(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << text;
  }
  void write_font(const std::string& name, const std::string& text) { write_file(fonts_ / name, text); }
  void copy_ttf(const std::string& name) {
    std::filesystem::create_directories(root_ / "base" / "ttf");
    std::filesystem::copy_file(dejavu, root_ / "base" / "ttf" / name,
                               std::filesystem::copy_options::overwrite_existing);
  }

  static constexpr const char* dejavu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  std::filesystem::path root_, fonts_;

 private:
  std::string saved_dir_, saved_base_;
};
