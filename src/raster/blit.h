#pragma once
// Copying a small picture's ink onto another: a glyph written upright on a work picture,
// turned there, then set on the target where it is inked and nowhere else.

#include "raster/types.h"

namespace hoopcast::raster {

class Bitmap;

// Sets to `ink` every target pixel whose glyph pixel is `ink`, the glyph's (0, 0) lying on
// the target's pixel `at`, as far as the target pixel lies in `clip` (right and bottom
// excluded) and in the target. Every other pixel stays as it is.
void blit_glyph(Bitmap& target, Point at, const Bitmap& glyph, Colour ink, Rect clip) noexcept;

}  // namespace hoopcast::raster
