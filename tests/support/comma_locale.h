#pragma once

// Puts the process into a locale whose decimal point is a comma, as a German
// desktop does, for the lifetime of the object, and back to "C" afterwards.
// An installed de_DE (or another comma locale) is used when there is one;
// otherwise the locale is compiled with localedef into a private temporary
// folder, which needs no installation. active() is false when neither works;
// tests then skip.

#include <string>

class DecimalCommaLocale {
 public:
  DecimalCommaLocale();
  ~DecimalCommaLocale();
  DecimalCommaLocale(const DecimalCommaLocale&) = delete;
  DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

  bool active() const { return active_; }
  const std::string& name() const { return name_; }

 private:
  bool active_ = false;
  std::string name_;
  std::string dir_;  // temporary locale folder, when one was made
  bool had_locpath_ = false;
  std::string old_locpath_;
};
