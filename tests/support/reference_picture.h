#pragma once

// Pictures held to a reference PNG, pixel for pixel.
//
// The reference lives beside the test (tests/<area>/data/NAME.png). On a
// mismatch the picture is written as NAME.out.png and a diff image as
// NAME.diff.png into the given output folder (the build's test output
// folder), and the failure message names both. The diff shows matching
// pixels faded and differing pixels in pure red.
//
// To make or renew references, run the tests with KAVRO_UPDATE_REFERENCES=1
// in the environment: every compared picture is then written over its
// reference and the comparison passes. Look at the new references before
// committing them.

#include <cairo.h>
#include <gtest/gtest.h>

#include <filesystem>

// Compares picture (an RGB24 or ARGB32 image surface; the alpha byte is not
// compared) with the PNG at reference.
testing::AssertionResult picture_matches_reference(cairo_surface_t* picture,
                                                   const std::filesystem::path& reference,
                                                   const std::filesystem::path& out_dir);
