// The caches a caller owns: the pool that hands pixel storage from one picture to the next,
// and the render cache of wide-pen dots that pictures may share or keep to themselves.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "raster/picture.h"
#include "raster/render_cache.h"

namespace hoopcast::raster {
namespace {

detail::PixelBytes storage(std::size_t size) {
    detail::PixelBytes bytes;
    bytes.reserve(size);
    return bytes;
}

TEST(PicturePool, APictureGoneLeavesItsPixelsToTheNextOfItsSize) {
    PicturePool pool;
    const std::uint8_t* first = nullptr;
    {
        Bitmap frame(40, 30, PixelStart::white, &pool);
        frame.fill(kRed);
        first = frame.bytes().data();
    }
    Bitmap next(40, 30, PixelStart::white, &pool);
    EXPECT_EQ(next.bytes().data(), first);
    // Reused storage starts as asked, not with the last picture's pixels.
    EXPECT_TRUE(
        std::all_of(next.bytes().begin(), next.bytes().end(), [](std::uint8_t b) { return b == 0xFF; }));

    Bitmap larger(41, 30, PixelStart::white, &pool);  // nothing kept is large enough
    EXPECT_NE(larger.bytes().data(), first);
    EXPECT_EQ(larger.pixel(40, 29), kWhite);
}

TEST(PicturePool, KeepsAFewOfTheLargestAndHandsOutTheSmallestThatFits) {
    PicturePool pool;
    for (std::size_t size : {5000, 1000, 3000, 2000, 4000}) pool.give(storage(size));
    std::vector<std::size_t> taken;
    for (int i = 0; i < 5; ++i) taken.push_back(pool.take(500).capacity());
    // At most four are kept; the smallest went when the fifth came.
    EXPECT_EQ(taken, (std::vector<std::size_t>{2000, 3000, 4000, 5000, 0}));

    pool.give(storage(1000));
    EXPECT_EQ(pool.take(1001).capacity(), 0u);  // too small for this picture, so still kept
    EXPECT_EQ(pool.take(1000).capacity(), 1000u);
}

// Wide lines and round dots at several widths: what the render cache keeps.
void draw_wide_strokes(Picture& picture) {
    Canvas& c = picture.canvas();
    for (int width = 2; width <= 9; ++width) {
        c.pen = {kBlack, width};
        c.move_to(5, 5 * width);
        c.line_to(90, 5 * width + 3);
        c.line_to(95, 5 * width + 3);
        c.ellipse(100, 5 * width, 100 + 2 * width, 6 * width);
    }
}

TEST(RenderCache, ACanvasWithoutOneDrawsAsOneSharingACache) {
    RenderCache shared;
    Picture warm(130, 60, nullptr, PixelStart::white, &shared);
    draw_wide_strokes(warm);  // fills the shared cache
    Picture with_shared(130, 60, nullptr, PixelStart::white, &shared);
    draw_wide_strokes(with_shared);
    Picture on_its_own(130, 60);
    draw_wide_strokes(on_its_own);

    EXPECT_TRUE(std::ranges::equal(with_shared.bitmap().bytes(), on_its_own.bitmap().bytes()));
    EXPECT_TRUE(std::ranges::equal(warm.bitmap().bytes(), on_its_own.bitmap().bytes()));
    EXPECT_GT(std::ranges::count(on_its_own.bitmap().bytes(), std::uint8_t{0}), 0);
}

}  // namespace
}  // namespace hoopcast::raster
