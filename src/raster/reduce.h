#pragma once
// Making a picture smaller by area averaging: each new pixel is the mean of the source area
// it covers, parts of pixels by their share. Thin lines fade instead of dropping out, as
// they would when every new pixel took the colour of one source pixel.

#include "raster/picture.h"

namespace hoopcast::raster {

// `source` reduced to width x height, both within 1..the source's own side (no enlarging);
// anything else gives an empty bitmap.
Bitmap reduce_area_average(const Bitmap& source, int width, int height);

}  // namespace hoopcast::raster
