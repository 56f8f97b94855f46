#pragma once

// The picture sizes a rendering can be made at: pov_settings.resolution and
// rad_settings.resolution index this one table, which the option dialogs
// list and the scene writers read.

inline constexpr int RENDER_SIZE_COUNT = 8;

struct RenderSize {
  int width;
  int height;
  const char* label;  // as listed, never translated
};

inline constexpr RenderSize render_sizes[RENDER_SIZE_COUNT] = {
    {160, 120, "160 x 120"},     {320, 240, "320 x 240"},     {640, 480, "640 x 480"},
    {800, 600, "800 x 600"},     {1024, 768, "1024 x 768"},   {2048, 1536, "2048 x 1536"},
    {4096, 3072, "4096 x 3072"}, {8192, 6144, "8192 x 6144"},
};

// The size of index i; an index outside the table gives the size at start (1).
inline constexpr const RenderSize& render_size(int i) {
  return render_sizes[i >= 0 && i < RENDER_SIZE_COUNT ? i : 1];
}
