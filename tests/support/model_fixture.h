#pragma once

// Puts the model's global state back to a fresh start (the built-in
// defaults, an empty drawing) before each test, and frees the drawing after
// it.

#include <gtest/gtest.h>

#include "model/defaults.h"
#include "model/elem.h"
#include "model/layers.h"
#include "model/model_state.h"
#include "model/undo.h"

class ModelTest : public ::testing::Test {
 protected:
  void SetUp() override { model_state_reset(); }
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
