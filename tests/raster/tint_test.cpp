// Tinting pixels in place: the channel rule, and where a mask or runs let it act.

#include <gtest/gtest.h>

#include <vector>

#include "raster/picture.h"
#include "raster/runs.h"
#include "raster/tint.h"

namespace hoopcast::raster {
namespace {

// Halves every channel.
Tint halving() {
    return Tint({0.5, 1}, {0.5, 1}, {0.5, 1});
}

Colour tinted(Colour c, Tint tint) {
    Bitmap b(1, 1);
    b.set_pixel(0, 0, c);
    tint.run(b.scan_line(0), 1);
    return b.pixel(0, 0);
}

TEST(Tint, EachChannelIsScaledRoundedHalfToEvenCappedAndKeptOrCleared) {
    EXPECT_EQ(tinted(rgb(5, 7, 9), halving()), rgb(2, 4, 4)) << "2.5, 3.5 and 4.5 go to the even neighbour";
    EXPECT_EQ(tinted(rgb(200, 100, 50), Tint({2.27, 1}, {1, 1}, {1, 0})), rgb(255, 100, 0))
        << "capped at 255; a keep of 0 clears";
    // A negative result is stored as its low eight bits: Round(255 * -0.28) = -71 -> 185.
    EXPECT_EQ(tinted(kWhite, Tint({-0.28, 1}, {-0.28, 1}, {1, 1})), rgb(185, 185, 255));
    EXPECT_EQ(tinted(rgb(10, 20, 30), Tint({1, 3}, {1, -1}, {1, 1})), rgb(30, 236, 30));
}

TEST(Tint, ThroughAMaskOnlyWhereItIsBlackInsideTheBoxAndBothPictures) {
    // A long run of one colour and single pixels take different paths through the tint.
    Bitmap picture(30, 6), mask(20, 4);
    picture.fill(rgb(100, 100, 100));
    picture.set_pixel(12, 2, rgb(40, 60, 80));
    for (int x = 0; x < 20; ++x) mask.set_pixel(x, 1, kBlack);
    mask.set_pixel(3, 2, kBlack);
    mask.set_pixel(4, 2, 0x010000);  // nearly black
    Tint tint = halving();
    tint_through_mask(picture, mask, {5, 1}, {0, 0, 22, 6}, tint);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 30; ++x) {
            const bool black = mask.pixel(x - 5, y - 1) == kBlack;
            const Colour before = x == 12 && y == 2 ? rgb(40, 60, 80) : rgb(100, 100, 100);
            const Colour after = x == 12 && y == 2 ? rgb(20, 30, 40) : rgb(50, 50, 50);
            EXPECT_EQ(picture.pixel(x, y), black && x < 22 ? after : before) << x << "," << y;
        }
}

TEST(Tint, BoxButForTheRunsTintsEveryOtherPixelOnce) {
    Bitmap picture(12, 5);
    picture.fill(rgb(80, 80, 80));
    RunSet except;
    const RowSpan runs[] = {{0, 1, 3}, {0, 2, 5}, {2, -5, 30}};  // overlapping; a whole row
    except.add(runs);
    Tint tint = halving();
    tint_rect_except(picture, {2, 1, 20, 4}, except, {1, 1}, tint);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool in_box = x >= 2 && y >= 1 && y < 4;
            const bool excepted = (y == 1 && x >= 2 && x <= 6) || y == 3;
            EXPECT_EQ(picture.pixel(x, y), in_box && !excepted ? rgb(40, 40, 40) : rgb(80, 80, 80))
                << x << "," << y;
        }
}

}  // namespace
}  // namespace hoopcast::raster
