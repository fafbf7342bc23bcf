// Setting a glyph's ink on a picture.

#include <gtest/gtest.h>

#include <climits>

#include "raster/blit.h"
#include "raster/picture.h"

namespace hoopcast::raster {
namespace {

TEST(BlitGlyph, SetsOnlyTheInkedPixelsInsideTheClip) {
    Bitmap glyph(4, 3);
    glyph.fill(0xFF0000);  // what a turned glyph has in its corners
    for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {3, 1}, {2, 2}}) glyph.set_pixel(x, y, kBlack);
    glyph.set_pixel(0, 2, 0x010101);  // nearly black is not ink

    Bitmap target(8, 6);
    target.fill(kGray);
    blit_glyph(target, {0, 1}, glyph, kBlack, {1, 1, 8, 6});  // column 0 left out
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inked = (x == 1 && y == 1) || (x == 3 && y == 2) || (x == 2 && y == 3);
            EXPECT_EQ(target.pixel(x, y), inked ? kBlack : kGray) << x << "," << y;
        }

    // Far off the target, or over its edges, nothing is written out of place.
    Bitmap small(3, 3);
    small.fill(kGray);
    blit_glyph(small, {INT_MAX - 1, INT_MIN}, glyph, kBlack, {0, 0, 3, 3});
    blit_glyph(small, {2, 2}, glyph, kBlack, {0, 0, INT_MAX, INT_MAX});
    EXPECT_EQ(small.pixel(2, 2), kBlack);
    EXPECT_EQ(small.pixel(1, 1), kGray);
}

}  // namespace
}  // namespace hoopcast::raster
