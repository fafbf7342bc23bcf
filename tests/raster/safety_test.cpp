// Sizes read from a play file can be absurd. Such input must draw nothing harmful, allocate
// nothing in proportion to it and finish quickly (UBSan checks the arithmetic).

#include <gtest/gtest.h>

#include <climits>

#include "raster/fonts.h"
#include "raster/picture.h"

namespace hoopcast::raster {
namespace {

int count_not(const Bitmap& b, Colour c) {
    int n = 0;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) n += b.pixel(x, y) != c ? 1 : 0;
    return n;
}

TEST(BadInput, ExtremeCoordinatesClipWithoutOverflow) {
    Picture p(32, 32);
    Canvas& c = p.canvas();
    c.move_to(INT_MIN, INT_MIN);
    c.line_to(INT_MAX, INT_MAX);
    // The diagonal through the bitmap is drawn as the whole line would draw it.
    EXPECT_EQ(c.pixel(0, 0), kBlack);
    EXPECT_EQ(c.pixel(31, 31), kBlack);
    EXPECT_EQ(count_not(p.bitmap(), kWhite), 32);
    c.move_to(INT_MAX, 0);
    c.line_to(INT_MIN, 5);
    c.rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    c.ellipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    c.arc(INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX, 0, INT_MIN, 0);
    const Point far[] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, 7}};
    c.polygon(far);
    c.polyline(far);
    c.set_pixel(INT_MAX, INT_MIN, kBlack);
    EXPECT_EQ(c.pixel(INT_MIN, INT_MAX), kInvalidColour);
}

TEST(BadInput, HugePenWidthsCoverTheBitmapAndStop) {
    Picture p(40, 30);
    Canvas& c = p.canvas();
    c.pen.width = 1000000000;
    c.move_to(20, 15);
    c.line_to(25, 16);
    EXPECT_EQ(count_not(p.bitmap(), kBlack), 0);
    p.bitmap().fill(kWhite);
    c.pen.width = INT_MAX;
    c.rectangle(INT_MIN, 0, INT_MAX, 10);
    c.ellipse(0, 0, 30, 20);
    c.arc(0, 0, 30, 20, 40, 0, 0, 0);
    const Point tri[] = {{0, 0}, {INT_MAX, 3}, {5, INT_MIN}};
    c.polyline(tri);
    EXPECT_EQ(count_not(p.bitmap(), kBlack), 0);
}

TEST(BadInput, HugeEllipseFarOffTheBitmapDrawsOnlyItsVisibleEdge) {
    Picture p(50, 50);
    Canvas& c = p.canvas();
    c.brush.colour = 0x0000FF;
    // The left edge of an ellipse two billion pixels wide passes through the bitmap.
    c.ellipse(10, -1000000000, 2000000000, 1000000000);
    EXPECT_EQ(c.pixel(10, 25), kBlack);
    EXPECT_EQ(c.pixel(30, 25), 0x0000FF);
    EXPECT_EQ(c.pixel(5, 25), kWhite);
    c.pen.width = 3;
    c.ellipse(-2000000000, 20, 2000000000, 40);
    EXPECT_EQ(c.pixel(25, 20), kBlack);
}

TEST(BadInput, AbsurdFontSizesMeasureSanelyAndDrawNothing) {
    const FontLibrary fonts;
    Picture p(64, 32, &fonts);
    Canvas& c = p.canvas();
    c.brush.style = BrushStyle::clear;
    c.font.size = 2000000;
    EXPECT_EQ(c.font_height(), -2666667);
    const int wide = c.text_width("Wide");
    EXPECT_GT(wide, 1000000);
    c.text_out(0, 0, "Wide");
    EXPECT_EQ(count_not(p.bitmap(), kWhite), 0);
    c.font.size = INT_MAX;
    EXPECT_EQ(c.font_height(), -INT_MAX);
    EXPECT_GT(c.text_width("x"), 0);
    c.text_out(INT_MAX, INT_MIN, "x");
    c.font.size = INT_MIN;
    EXPECT_GE(c.text_width("x"), 0);
    c.text_out(-5, -5, "x");
    c.font.size = 0;
    c.text_out(0, 0, "zero");
}

TEST(BadInput, BrokenUtf8DrawsReplacementGlyphsWithoutReadingPastTheText) {
    const FontLibrary fonts;
    Picture p(120, 40, &fonts);
    Canvas& c = p.canvas();
    const char broken[] = {'A', static_cast<char>(0xE2), static_cast<char>(0x82), 'B',
                           static_cast<char>(0xF0)};
    c.text_out(2, 2, std::string_view(broken, sizeof broken));
    EXPECT_GT(c.text_width(std::string_view(broken, sizeof broken)), c.text_width("AB"));
}

TEST(BadInput, CopyRectWithAbsurdRectanglesStaysInBounds) {
    Picture src(8, 8), dst(8, 8);
    src.canvas().set_pixel(0, 0, kBlack);
    Canvas& c = dst.canvas();
    c.copy_rect({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, src.bitmap(), {0, 0, 8, 8});
    c.copy_rect({0, 0, 8, 8}, src.bitmap(), {INT_MIN, INT_MIN, INT_MAX, INT_MAX});
    c.copy_rect({0, 0, 8, 8}, src.bitmap(), {-100, -100, -50, -50});
    c.copy_rect({8, 8, 0, 0}, src.bitmap(), {0, 0, 8, 8});
    c.copy_rect({0, 0, 8, 8}, Bitmap(), {0, 0, 8, 8});
    SUCCEED();
}

TEST(BadInput, NoFontsMeansNoTextAndZeroExtent) {
    Picture p(20, 20);
    p.canvas().text_out(0, 0, "nothing");
    EXPECT_EQ(p.canvas().text_width("nothing"), 0);
    EXPECT_EQ(p.canvas().text_height("nothing"), 0);
    EXPECT_EQ(count_not(p.bitmap(), kWhite), 0);
}

}  // namespace
}  // namespace hoopcast::raster
