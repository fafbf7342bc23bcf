// Text metrics: heights from point sizes as GDI gives them, Arial's widths from the
// Arial-metric face, cells and backgrounds where TextOut puts them.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "base/colours.h"
#include "base/cp1252.h"
#include "base/utf8.h"
#include "raster/fonts.h"
#include "raster/picture.h"

namespace hoopcast::raster {
namespace {

TEST(FontHeight, IsMinusMulDivOfTheSizeAt96DotsPerInch) {
    EXPECT_EQ(font_height_for_size(8), -11);  // 10.67
    EXPECT_EQ(font_height_for_size(9), -12);
    EXPECT_EQ(font_height_for_size(10), -13);  // 13.33
    EXPECT_EQ(font_height_for_size(12), -16);
    EXPECT_EQ(font_height_for_size(1), -1);  // 1.33
    EXPECT_EQ(font_height_for_size(0), 0);
    EXPECT_EQ(font_height_for_size(-3), 4);  // rounds away from zero on both sides
    EXPECT_EQ(font_height_for_size(-8), 11);
}

class Text : public ::testing::Test {
  protected:
    FontLibrary fonts;
    Picture picture{200, 60, &fonts};
    Canvas& canvas = picture.canvas();
};

TEST_F(Text, ArialResolvesToAnArialMetricFace) {
    ASSERT_TRUE(fonts.ready());
    EXPECT_NE(fonts.face_file(Font{"Arial", 10, 0, 0}).find("LiberationSans"), std::string::npos);
    // Unknown and empty names fall back to the same metrics rather than failing.
    EXPECT_FALSE(fonts.face_file(Font{"No Such Face 123", 10, 0, 0}).empty());
    EXPECT_FALSE(fonts.face_file(Font{"", 10, 0, 0}).empty());
}

TEST_F(Text, ArialDigitsAreFivePointFiveSixTenthsOfTheEm) {
    // Arial's digits advance 1139/2048 em: 9 pixels at 12 points (16 pixels), 6 at 8 points.
    canvas.font = Font{"Arial", 12, 0, 0};
    EXPECT_EQ(canvas.text_width("0"), 9);
    EXPECT_EQ(canvas.text_width("0123456789"), 90);
    canvas.font.size = 8;
    EXPECT_EQ(canvas.text_width("7"), 6);
    EXPECT_EQ(canvas.text_width(""), 0);
}

TEST_F(Text, WidthsAddUpWithoutKerningAndHeightIsTheCell) {
    canvas.font = Font{"Arial", 14, 0, 0};
    EXPECT_EQ(canvas.text_width("AVAV"), 2 * canvas.text_width("AV"));
    // Ascent plus descent of Arial's cell at 19 pixels: 1854 and 434 of 2048 units.
    EXPECT_EQ(canvas.text_height("x"), 17 + 4);
    EXPECT_EQ(canvas.text_height("x"), canvas.text_height("Wg"));
    canvas.font.style = kBold;
    EXPECT_GT(canvas.text_width("Hello"), Canvas(picture.bitmap(), &fonts).text_width("Hello") - 1);
}

TEST_F(Text, TextOutPutsTheCellTopLeftAtThePointAndFillsItWithASolidBrush) {
    canvas.font = Font{"Arial", 12, 0x000000, 0};
    canvas.brush = Brush{0x00FF00, BrushStyle::solid};
    canvas.text_out(10, 20, "Hi");
    const int w = canvas.text_width("Hi"), h = canvas.text_height("Hi");
    EXPECT_EQ(canvas.pixel(10, 20), 0x00FF00);
    EXPECT_EQ(canvas.pixel(10 + w - 1, 20 + h - 1), 0x00FF00);
    EXPECT_EQ(canvas.pixel(10 + w, 20), kWhite);
    EXPECT_EQ(canvas.pixel(10, 20 + h), kWhite);
    EXPECT_EQ(canvas.pixel(9, 20), kWhite);
    // Ink lies inside the cell, between its top and the baseline region.
    int ink = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            if (canvas.pixel(x, y) == 0x000000) {
                ++ink;
                EXPECT_TRUE(x >= 10 && x < 10 + w && y >= 20 && y < 20 + h) << x << "," << y;
            }
    EXPECT_GT(ink, 20);
}

TEST_F(Text, ClearBrushLeavesTheBackgroundAndGlyphsHaveNoAntiAliasing) {
    canvas.font = Font{"Arial", 20, 0x0000FF, kItalic | kUnderline | kStrikeOut};
    canvas.brush.style = BrushStyle::clear;
    canvas.text_out(5, 5, "Sample");
    int ink = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x) {
            const Colour c = canvas.pixel(x, y);
            ASSERT_TRUE(c == kWhite || c == 0x0000FF) << "grey pixel at " << x << "," << y;
            ink += c == 0x0000FF ? 1 : 0;
        }
    // The underline runs the full width of the text.
    const int w = canvas.text_width("Sample");
    int underline_rows = 0;
    for (int y = 5; y < 60; ++y) {
        bool full = true;
        for (int x = 5; x < 5 + w; ++x) full = full && canvas.pixel(x, y) == 0x0000FF;
        underline_rows += full ? 1 : 0;
    }
    EXPECT_GE(underline_rows, 2);  // underline and strike-out
    EXPECT_GT(ink, 100);
}

// Glyphs are kept per face, size and style once loaded: text measured and drawn after other
// sizes and faces have been used must come out as it does from a fresh library.
// Windows-1252 text measures and draws as its UTF-8 does: every byte, a text long enough to
// be measured by its byte counts, underlined and struck out on a solid brush, and a size
// beyond the rendering limit.
TEST_F(Text, Cp1252TextIsItsUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    std::string long_text;
    while (long_text.size() < 5000) long_text += all;
    for (const std::string& bytes : {all, std::string("Score! \x80\x85\x9D"), long_text}) {
        std::string utf8;
        for (const char c : bytes) append_utf8(utf8, cp1252_code_point(static_cast<std::uint8_t>(c)));
        for (const int size : {10, 3000}) {
            Picture a{200, 60, &fonts};
            Picture b{200, 60, &fonts};
            for (Canvas* c : {&a.canvas(), &b.canvas()}) {
                c->font = Font{"Arial", size, kBlue, kUnderline | kStrikeOut};
                c->brush.colour = kYellow;
            }
            EXPECT_EQ(a.canvas().text_width(utf8), b.canvas().text_width(Cp1252Text{bytes})) << size;
            EXPECT_EQ(a.canvas().text_width(utf8), b.canvas().text_width(ByteCounts(bytes))) << size;
            a.canvas().text_out(-30, 5, utf8);
            b.canvas().text_out(-30, 5, Cp1252Text{bytes});
            EXPECT_TRUE(std::ranges::equal(a.bitmap().bytes(), b.bitmap().bytes()))
                << bytes.size() << " " << size;
        }
    }
}

TEST(TextCache, DrawingAfterOtherSizesMatchesAFreshLibrary) {
    auto draw = [](const FontLibrary& fonts, bool warm) {
        Picture p(220, 60, &fonts);
        Canvas& c = p.canvas();
        if (warm) {
            for (int size : {30, 6, 12, 9, 48}) {
                c.font.size = size;
                c.font.style = size == 12 ? unsigned{kBold} : 0u;
                (void)c.text_width("Warm up 0123");
                c.text_out(0, 0, "Warm");
            }
            p.bitmap().fill(kWhite);
        }
        c.font.size = 9;
        c.font.style = 0;
        const int width = c.text_width("Sequence 12");
        c.text_out(5, 5, "Sequence 12");
        c.font.style = kBold | kItalic | kUnderline;
        c.text_out(5, 30, "PG 1");
        std::vector<Colour> pixels;
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x) pixels.push_back(p.bitmap().pixel(x, y));
        return std::make_pair(width, pixels);
    };
    const FontLibrary warm_fonts, fresh_fonts;
    const auto warm = draw(warm_fonts, true);
    const auto fresh = draw(fresh_fonts, false);
    EXPECT_EQ(warm.first, fresh.first);
    EXPECT_TRUE(warm.second == fresh.second);
    EXPECT_GT(fresh.first, 0);
}

}  // namespace
}  // namespace hoopcast::raster
