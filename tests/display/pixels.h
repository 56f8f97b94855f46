#pragma once

// Reading the pixels of a view's store in tests.

#include <cairo.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "display/view.h"

// The RGB24 value of pixel (x, y) of view k (0x00RRGGBB).
inline uint32_t view_pixel(int k, int x, int y) {
  cairo_surface_t* s = view_surface(k);
  const uint8_t* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  uint32_t v;
  std::memcpy(&v, data + y * stride + x * 4, 4);
  return v & 0xFFFFFF;
}

// Every byte of view k's store.
inline std::vector<uint8_t> view_bytes(int k) {
  cairo_surface_t* s = view_surface(k);
  const uint8_t* data = cairo_image_surface_get_data(s);
  const int size = cairo_image_surface_get_stride(s) * cairo_image_surface_get_height(s);
  return std::vector<uint8_t>(data, data + size);
}

// The pixel values of view k's store, without the unused fourth byte of
// RGB24 (cairo's opaque drawing sets it, its difference operator clears it).
inline std::vector<uint32_t> view_pixels(int k) {
  cairo_surface_t* s = view_surface(k);
  const uint8_t* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  std::vector<uint32_t> out;
  out.reserve(std::size_t(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint32_t v;
      std::memcpy(&v, data + y * stride + x * 4, 4);
      out.push_back(v & 0xFFFFFF);
    }
  return out;
}

// Number of pixels of view k with the given value.
inline int view_count(int k, uint32_t value) {
  cairo_surface_t* s = view_surface(k);
  const uint8_t* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  int n = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint32_t v;
      std::memcpy(&v, data + y * stride + x * 4, 4);
      n += (v & 0xFFFFFF) == value;
    }
  return n;
}
