#pragma once

// Golden-file comparison of text output. The golden file lives beside the
// test (tests/<area>/data/NAME.txt). On a mismatch the text goes to
// OUT_DIR/NAME.out (OUT_DIR: the area's KAVRO_TEST_OUTPUT_DIR) and the
// failure names that file, the golden file and the first line that
// differs; a missing golden file fails the same way, so a new one is made
// by looking at the .out file and copying it. A match removes an old .out.

#include <gtest/gtest.h>

#include <string>

testing::AssertionResult golden_text_matches(const std::string& actual, const std::string& golden_path,
                                             const std::string& out_dir);
