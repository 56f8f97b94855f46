#pragma once

// Puts the program's global state back to the built-in defaults with an
// empty drawing before each test, and frees the drawing after it.

#include <gtest/gtest.h>

#include "model/defaults.h"
#include "model/elem.h"
#include "model/layers.h"
#include "model/undo.h"

class ModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
    main_init_defaults();
    drawing_modified = 0;
    guide_mode = 0;
    group_counter = 0;
  }
  void TearDown() override {
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
  }

  // The elements of the drawing in list order.
  static std::vector<ElemHeader*> elements() {
    std::vector<ElemHeader*> out;
    ElemHeader* it;
    for (elem_first(&it); it; elem_next(&it)) out.push_back(it);
    return out;
  }
};
