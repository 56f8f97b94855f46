#pragma once

// A private working folder with an "nls" folder and a private HOME, the way
// the program runs from its installation; both are put back afterwards.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "model/nls.h"
#include "shell/nls_table.h"

class NlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    old_cwd_ = fs::current_path();
    if (const char* h = std::getenv("HOME")) old_home_ = h;
    std::string pattern = (fs::temp_directory_path() / "kavro-nls-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    fs::create_directories(dir_ / "nls");
    fs::create_directories(dir_ / "home");
    fs::current_path(dir_);
    setenv("HOME", (dir_ / "home").c_str(), 1);
  }

  void TearDown() override {
    nls_set_lookup(nullptr);
    std::filesystem::current_path(old_cwd_);
    if (old_home_.empty())
      unsetenv("HOME");
    else
      setenv("HOME", old_home_.c_str(), 1);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  static void write_file(const std::filesystem::path& p, const std::string& text) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
  }
  static std::string read_file(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void write_table(const std::string& text) { write_file(dir_ / "nls" / "kav.nls", text); }
  std::string table() const { return read_file(dir_ / "nls" / "kav.nls"); }
  void choose_language(const std::string& name) {
    write_file(dir_ / "home" / ".kavro3" / "language", name + "\n");
  }

  // Runs f with standard output captured and returns what it printed.
  template <class F>
  static std::string printed(F f) {
    testing::internal::CaptureStdout();
    f();
    return testing::internal::GetCapturedStdout();
  }

  std::filesystem::path dir_;

 private:
  std::filesystem::path old_cwd_;
  std::string old_home_;
};
