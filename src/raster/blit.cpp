#include "raster/blit.h"

#include <algorithm>
#include <cstdint>

#include "raster/picture.h"

namespace hoopcast::raster {

void blit_glyph(Bitmap& target, Point at, const Bitmap& glyph, Colour ink, Rect clip) noexcept {
    using i64 = std::int64_t;
    // The glyph's rows and columns that land inside the clip and the target.
    const i64 left = std::max<i64>({clip.left, 0, at.x});
    const i64 right = std::min<i64>({clip.right, target.width(), i64{at.x} + glyph.width()});
    const i64 top = std::max<i64>({clip.top, 0, at.y});
    const i64 bottom = std::min<i64>({clip.bottom, target.height(), i64{at.y} + glyph.height()});
    for (i64 y = top; y < bottom; ++y)
        for (i64 x = left; x < right; ++x)
            if (glyph.pixel(static_cast<int>(x - at.x), static_cast<int>(y - at.y)) == ink)
                target.set_pixel(static_cast<int>(x), static_cast<int>(y), ink);
}

}  // namespace hoopcast::raster
