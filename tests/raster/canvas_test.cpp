// Canvas rules the drawings rely on, and input that must not hurt.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "raster/picture.h"

namespace hoopcast::raster {
namespace {

int count_not(const Bitmap& b, Colour c) {
    int n = 0;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) n += b.pixel(x, y) != c ? 1 : 0;
    return n;
}

TEST(Bitmap, NewPixelsAreWhiteAndRowsAreBlueGreenRed) {
    Bitmap b(3, 2);
    EXPECT_EQ(b.stride(), 9u);
    EXPECT_EQ(count_not(b, kWhite), 0);
    b.set_pixel(1, 1, rgb(10, 20, 30));
    const std::uint8_t* row = b.scan_line(1);
    EXPECT_EQ(row[3], 30);
    EXPECT_EQ(row[4], 20);
    EXPECT_EQ(row[5], 10);
    EXPECT_EQ(b.pixel(1, 1), rgb(10, 20, 30));
}

TEST(Bitmap, OutsideReadsInvalidAndWritesNothing) {
    Bitmap b(4, 4);
    EXPECT_EQ(b.pixel(-1, 0), kInvalidColour);
    EXPECT_EQ(b.pixel(4, 0), kInvalidColour);
    b.set_pixel(INT_MIN, INT_MAX, kBlack);
    EXPECT_EQ(count_not(b, kWhite), 0);
}

TEST(Bitmap, AbsurdSizesGiveAnEmptyBitmap) {
    EXPECT_TRUE(Bitmap(0, 10).empty());
    EXPECT_TRUE(Bitmap(-5, 10).empty());
    EXPECT_TRUE(Bitmap(kMaxPictureSide + 1, 1).empty());
    EXPECT_TRUE(Bitmap(INT_MAX, INT_MAX).empty());
    Picture p(INT_MAX, 3);
    p.canvas().rectangle(0, 0, 10, 10);
    p.canvas().flood_fill(0, 0, kBlack);
    EXPECT_EQ(p.canvas().pixel(0, 0), kInvalidColour);
}

TEST(Bitmap, FillRectAndColourRunsPaintExactlyTheirClippedPixels) {
    // Against pixel by pixel painting, over boxes of every kind: narrow, wide, whole rows,
    // partly or wholly outside, inverted; grey colours take a different path.
    std::uint32_t seed = 12345;
    auto next = [&seed](int n) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(n));
    };
    const Colour colours[] = {0x123456, 0x808080, 0x000000, 0xFFFFFF, 0x00CCFF};
    for (int round = 0; round < 300; ++round) {
        const int w = 1 + next(70), h = 1 + next(12);
        Bitmap drawn(w, h, PixelStart::unset), expected(w, h);
        drawn.fill(0x010203);
        expected.fill(0x010203);
        for (int k = 0; k < 4; ++k) {
            Rect r{next(w + 20) - 10, next(h + 6) - 3, next(w + 20) - 10, next(h + 6) - 3};
            if (next(4) == 0) r.left = 0, r.right = w;  // whole rows
            const Colour c = colours[next(5)];
            drawn.fill_rect(r, c);
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x) expected.set_pixel(x, y, c);
        }
        ASSERT_TRUE(std::equal(drawn.bytes().begin(), drawn.bytes().end(), expected.bytes().begin()))
            << "round " << round;
        // Runs copied from a prepared run, some longer than it.
        const ColourRun run(colours[round % 5], 1 + next(30));
        for (int k = 0; k < 4; ++k) {
            const int y = next(h + 4) - 2, x0 = next(w + 20) - 10, x1 = next(w + 20) - 10;
            run.paint(drawn, y, x0, x1);
            for (int x = x0; x <= x1; ++x) expected.set_pixel(x, y, colours[round % 5]);
        }
        ASSERT_TRUE(std::equal(drawn.bytes().begin(), drawn.bytes().end(), expected.bytes().begin()))
            << "round " << round;
    }
}

TEST(Bitmap, ChangedRectBoundsExactlyThePixelsThatDiffer) {
    Bitmap a(20, 10), b(20, 10);
    EXPECT_EQ(changed_rect(a, b).right, changed_rect(a, b).left) << "equal bitmaps change nothing";
    b.set_pixel(3, 7, 0x000001);  // one channel of one pixel
    Rect r = changed_rect(a, b);
    EXPECT_EQ(std::vector<int>({r.left, r.top, r.right, r.bottom}), std::vector<int>({3, 7, 4, 8}));
    b.set_pixel(19, 2, 0x010000);
    b.set_pixel(0, 4, 0x000100);
    r = changed_rect(a, b);
    EXPECT_EQ(std::vector<int>({r.left, r.top, r.right, r.bottom}), std::vector<int>({0, 2, 20, 8}));
    r = changed_rect(a, b, Rect{1, 3, 25, 9});
    EXPECT_EQ(std::vector<int>({r.left, r.top, r.right, r.bottom}), std::vector<int>({3, 7, 4, 8}))
        << "only the pixels inside the area, which is clipped to the bitmap";
    r = changed_rect(a, Bitmap(20, 11));
    EXPECT_EQ(r.right, r.left) << "bitmaps of different sizes are not compared";
}

TEST(Canvas, LineLeavesItsEndPixelOut) {
    Picture p(16, 4);
    Canvas& c = p.canvas();
    c.move_to(0, 1);
    c.line_to(10, 1);
    EXPECT_EQ(c.pixel(0, 1), kBlack);
    EXPECT_EQ(c.pixel(9, 1), kBlack);
    EXPECT_EQ(c.pixel(10, 1), kWhite);
    EXPECT_EQ(count_not(p.bitmap(), kWhite), 10);
    EXPECT_EQ(c.position(), (Point{10, 1}));
}

TEST(Canvas, LineToItselfDrawsNothingThinButADotWide) {
    Picture p(20, 20);
    Canvas& c = p.canvas();
    c.move_to(10, 10);
    c.line_to(10, 10);
    EXPECT_EQ(count_not(p.bitmap(), kWhite), 0);
    c.pen.width = 3;
    c.line_to(10, 10);
    // A round dot 3 pixels across, centred on the point.
    EXPECT_EQ(c.pixel(10, 10), kBlack);
    EXPECT_EQ(c.pixel(9, 10), kBlack);
    EXPECT_EQ(c.pixel(11, 10), kBlack);
    EXPECT_EQ(c.pixel(10, 9), kBlack);
    EXPECT_EQ(c.pixel(10, 11), kBlack);
    EXPECT_EQ(c.pixel(12, 10), kWhite);
}

TEST(Canvas, PenWidthZeroDrawsAsOne) {
    Picture a(20, 20), b(20, 20);
    a.canvas().pen.width = 0;
    b.canvas().pen.width = 1;
    for (Picture* p : {&a, &b}) {
        p->canvas().move_to(2, 3);
        p->canvas().line_to(17, 11);
        p->canvas().rectangle(1, 1, 9, 7);
        p->canvas().ellipse(4, 4, 18, 15);
    }
    EXPECT_TRUE(std::equal(a.bitmap().bytes().begin(), a.bitmap().bytes().end(), b.bitmap().bytes().begin()));
}

TEST(Canvas, RectangleEndsBeforeItsRightAndBottomCoordinates) {
    Picture p(12, 12);
    Canvas& c = p.canvas();
    c.brush.colour = kRed;
    c.rectangle(0, 0, 10, 10);
    EXPECT_EQ(c.pixel(9, 9), kBlack);
    EXPECT_EQ(c.pixel(10, 10), kWhite);
    EXPECT_EQ(c.pixel(5, 0), kBlack);
    EXPECT_EQ(c.pixel(5, 5), kRed);
    EXPECT_EQ(c.pixel(8, 8), kRed);
}

TEST(Canvas, ZeroSizedBoxesDrawNothing) {
    Picture p(20, 20);
    Canvas& c = p.canvas();
    c.brush.colour = kRed;
    c.rectangle(5, 5, 5, 15);
    c.rectangle(5, 5, 15, 5);
    c.ellipse(5, 5, 5, 15);
    c.ellipse(5, 5, 15, 5);
    c.pen.width = 1;
    c.rectangle(3, 3, 4, 4);
    EXPECT_EQ(count_not(p.bitmap(), kWhite), 0);
}

TEST(Canvas, BoxCornersMayComeInAnyOrder) {
    for (auto draw : {&Canvas::ellipse, &Canvas::rectangle}) {
        Picture a(30, 30), b(30, 30), c(30, 30);
        (a.canvas().*draw)(0, 0, 10, 20);
        (b.canvas().*draw)(10, 20, 0, 0);
        (c.canvas().*draw)(10, 0, 0, 20);
        EXPECT_TRUE(
            std::equal(a.bitmap().bytes().begin(), a.bitmap().bytes().end(), b.bitmap().bytes().begin()));
        EXPECT_TRUE(
            std::equal(a.bitmap().bytes().begin(), a.bitmap().bytes().end(), c.bitmap().bytes().begin()));
        EXPECT_GT(count_not(a.bitmap(), kWhite), 0);
    }
}

TEST(Canvas, FloodFillStopsAtTheBorderAndIgnoresBadStarts) {
    Picture p(20, 20);
    Canvas& c = p.canvas();
    c.brush.style = BrushStyle::clear;
    c.rectangle(2, 2, 12, 12);
    c.brush = Brush{kRed, BrushStyle::solid};
    c.flood_fill(2, 2, kBlack);   // on the border: nothing
    c.flood_fill(-1, 5, kBlack);  // outside: nothing
    c.flood_fill(5, 40, kBlack);
    EXPECT_EQ(count_not(p.bitmap(), kWhite), 36);  // the outline only
    c.flood_fill(5, 5, kBlack);
    EXPECT_EQ(c.pixel(3, 3), kRed);
    EXPECT_EQ(c.pixel(10, 10), kRed);
    EXPECT_EQ(c.pixel(12, 12), kWhite);
    EXPECT_EQ(c.pixel(0, 0), kWhite);
}

TEST(Canvas, FloodFillDoesNotLeakThroughADiagonalCorner) {
    Picture p(10, 10);
    Canvas& c = p.canvas();
    // A diagonal wall from (0,9) to (9,0): 4-connected fill stays on its side.
    for (int i = 0; i < 10; ++i) c.set_pixel(i, 9 - i, kBlack);
    c.brush.colour = kRed;
    c.flood_fill(0, 0, kBlack);
    EXPECT_EQ(c.pixel(0, 0), kRed);
    EXPECT_EQ(c.pixel(8, 0), kRed);
    EXPECT_EQ(c.pixel(9, 9), kWhite);
}

TEST(Canvas, FloodFillTerminatesWhenTheBrushMatchesColoursInside) {
    // The brush colour already appears inside: filled and unfilled pixels look alike, and
    // the fill must still stop and cover everything up to the border.
    Picture p(40, 40);
    Canvas& c = p.canvas();
    c.brush.style = BrushStyle::clear;
    c.rectangle(0, 0, 40, 40);
    c.pen.colour = kRed;
    c.move_to(5, 20);
    c.line_to(35, 20);
    c.brush = Brush{kRed, BrushStyle::solid};
    c.flood_fill(10, 10, kBlack);
    EXPECT_EQ(c.pixel(10, 30), kRed);
    EXPECT_EQ(c.pixel(1, 1), kRed);
    EXPECT_EQ(c.pixel(38, 38), kRed);
    EXPECT_EQ(c.pixel(0, 0), kBlack);
    EXPECT_EQ(count_not(p.bitmap(), kRed), 156);  // only the black outline is left
}

TEST(Canvas, WideLineToChainMatchesPolyline) {
    const Point path[] = {{5, 5}, {40, 12}, {22, 38}, {6, 20}};
    Picture a(48, 48), b(48, 48);
    a.canvas().pen.width = b.canvas().pen.width = 5;
    a.canvas().polyline(path);
    b.canvas().move_to(path[0].x, path[0].y);
    for (int i = 1; i < 4; ++i) b.canvas().line_to(path[i].x, path[i].y);
    EXPECT_TRUE(std::equal(a.bitmap().bytes().begin(), a.bitmap().bytes().end(), b.bitmap().bytes().begin()));
    EXPECT_EQ(b.canvas().position(), (Point{6, 20}));
}

TEST(Canvas, CopyRectCopiesAndStretches) {
    Picture src(4, 2);
    src.canvas().set_pixel(0, 0, kRed);
    src.canvas().set_pixel(3, 1, kBlack);
    Picture same(4, 2);
    same.canvas().copy_rect({0, 0, 4, 2}, src.bitmap(), {0, 0, 4, 2});
    EXPECT_TRUE(
        std::equal(same.bitmap().bytes().begin(), same.bitmap().bytes().end(), src.bitmap().bytes().begin()));
    Picture big(8, 4);
    big.canvas().copy_rect({0, 0, 8, 4}, src.bitmap(), {0, 0, 4, 2});
    EXPECT_EQ(big.canvas().pixel(0, 0), kRed);
    EXPECT_EQ(big.canvas().pixel(1, 1), kRed);
    EXPECT_EQ(big.canvas().pixel(2, 0), kWhite);
    EXPECT_EQ(big.canvas().pixel(7, 3), kBlack);
    EXPECT_EQ(big.canvas().pixel(6, 2), kBlack);
    EXPECT_EQ(count_not(big.bitmap(), kWhite), 8);
}

}  // namespace
}  // namespace hoopcast::raster
