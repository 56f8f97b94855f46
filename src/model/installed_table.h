#pragma once

// The one way a table of plain functions is replaced: installing puts the
// whole new table in and hands back the one it replaced, so whoever installs
// can put that back. The table starts as its type's defaults (silent entries).

#include <utility>

template <class Table>
class InstalledTable {
 public:
  const Table& get() const { return current_; }
  Table install(const Table& table) { return std::exchange(current_, table); }

 private:
  Table current_{};
};
