#pragma once
// Pixels as sets of (x, y), for comparing what operations cover.

#include <set>
#include <span>
#include <utility>

#include "raster/picture.h"
#include "raster/stamp.h"

namespace hoopcast::raster::testing {

using PixelSet = std::set<std::pair<int, int>>;

// The pixels of the bitmap in colour c.
inline PixelSet inked(const Bitmap& b, Colour c = kBlack) {
    PixelSet s;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            if (b.pixel(x, y) == c) s.insert({x, y});
    return s;
}

inline PixelSet pixels_of(std::span<const RowSpan> runs) {
    PixelSet s;
    for (const RowSpan& r : runs)
        for (int x = r.x0; x <= r.x1; ++x) s.insert({x, r.y});
    return s;
}

}  // namespace hoopcast::raster::testing
