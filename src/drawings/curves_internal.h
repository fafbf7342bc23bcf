#pragma once
// Inside the curve drawing: the plain form of a shortcut, kept as the tests' oracle.

#include <span>

#include "drawings/curves.h"

namespace hoopcast::curves_detail {

// draw_curved_dribble working out every step of the curve instead of passing over the
// steps along the waves where nothing can happen; the pixels are the same.
void draw_curved_dribble_every_step(raster::Picture& picture, const DrawContext& ctx,
                                    std::span<const TPunt> points, const LinePen& pen, double scale);

}  // namespace hoopcast::curves_detail
