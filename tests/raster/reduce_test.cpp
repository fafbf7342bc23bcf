// Area averaging: every new pixel is the mean of the source area it covers.

#include <gtest/gtest.h>

#include "raster/picture.h"
#include "raster/reduce.h"

namespace hoopcast::raster {
namespace {

TEST(ReduceAreaAverage, MeansOfCoveredAreas) {
    // Whole blocks: a 2 x 2 checkerboard of black and white becomes mid grey, one colour stays.
    Bitmap board(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            if ((x + y) % 2 == 0) board.set_pixel(x, y, rgb(0, 0, 0));
    const Bitmap half = reduce_area_average(board, 2, 2);
    ASSERT_EQ(half.width(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(half.pixel(x, y), rgb(128, 128, 128));

    Bitmap red(7, 5);
    red.fill(rgb(200, 10, 30));
    const Bitmap small = reduce_area_average(red, 3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(small.pixel(x, y), rgb(200, 10, 30));

    // Parts of pixels count by their share: 3 columns onto 2, the middle one split.
    Bitmap row(3, 1);
    row.set_pixel(0, 0, rgb(0, 0, 0));
    row.set_pixel(1, 0, rgb(90, 90, 90));
    row.set_pixel(2, 0, rgb(255, 255, 255));
    const Bitmap two = reduce_area_average(row, 2, 1);
    EXPECT_EQ(two.pixel(0, 0), rgb(30, 30, 30));     // (0 * 1 + 90 * 0.5) / 1.5
    EXPECT_EQ(two.pixel(1, 0), rgb(200, 200, 200));  // (90 * 0.5 + 255) / 1.5
}

TEST(ReduceAreaAverage, ThinLinesFadeButNeverDropOut) {
    // A one-pixel black line, at every offset, leaves a trace in every new pixel it crosses.
    for (int at = 0; at < 10; ++at) {
        Bitmap lines(40, 40);
        for (int y = 0; y < 40; ++y) lines.set_pixel(at, y, rgb(0, 0, 0));
        const Bitmap r = reduce_area_average(lines, 4, 4);
        for (int y = 0; y < 4; ++y) {
            EXPECT_LT(red_of(r.pixel(0, y)), 255) << at;
            EXPECT_EQ(r.pixel(1, y), rgb(255, 255, 255)) << at;
        }
    }
}

TEST(ReduceAreaAverage, SameSizeIsACopyAndEnlargingIsRefused) {
    Bitmap b(3, 2);
    b.set_pixel(1, 1, rgb(1, 2, 3));
    const Bitmap same = reduce_area_average(b, 3, 2);
    EXPECT_TRUE(std::equal(same.bytes().begin(), same.bytes().end(), b.bytes().begin()));
    EXPECT_TRUE(reduce_area_average(b, 4, 2).empty());
    EXPECT_TRUE(reduce_area_average(b, 0, 1).empty());
    EXPECT_TRUE(reduce_area_average(Bitmap{}, 1, 1).empty());
}

}  // namespace
}  // namespace hoopcast::raster
