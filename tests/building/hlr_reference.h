#pragma once

// The hidden-line renderer written the plain way: every scan walks the face
// list from its start, every edge is compared with every edge of every
// later face, every face with every other for the lines where meshes pass
// through each other. Slow (quadratic and worse), but easy to check by reading; the
// fast renderer must give the same lines in the same order.

#include "building/solid/hlr.h"

HlrCounts hlr_render_reference(HlrScene& scene, const HlrOptions& options, HlrSink& sink);
