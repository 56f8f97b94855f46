#pragma once

// A private folder for a test, made with mkdtemp and removed with everything
// in it when the object goes.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kavro-test-XXXXXX").string();
    if (mkdtemp(pattern.data())) path_ = pattern;
    EXPECT_FALSE(path_.empty()) << "cannot make a temporary folder";
  }
  ~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  // Writes a file (making its folders) below the folder.
  void write(const std::string& name, const std::string& text = "") const {
    std::filesystem::path p = path_ / name;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
  }
  void make_folder(const std::string& name) const { std::filesystem::create_directories(path_ / name); }

 private:
  std::filesystem::path path_;
};
