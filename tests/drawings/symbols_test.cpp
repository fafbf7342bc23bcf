#include "drawings/symbols.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>
#include <vector>

#include "drawing_testing.h"
#include "drawings/curves.h"
#include "golden.h"
#include "play/rounding.h"

namespace hoopcast {
namespace {

using testing::inked;
using testing::is_white;
using testing::TestContext;

using Mode = LabelSlot::Mode;

TEST(LabelSlot, NumberOrLabelAsSymbolsShowThem) {
    struct Case {
        int number;
        const char* label;
        bool triangle;
        Mode mode;
        bool writes;
        const char* text;
    };
    const Case cases[] = {
        {7, "", false, Mode::number, true, "7"},   // the number
        {12, "", false, Mode::number, false, ""},  // two digits: nothing
        {12, "", true, Mode::number, false, ""},
        {3, "A", false, Mode::label, true, "A"},  // a label, whatever the number
        {12, "A", true, Mode::label, true, "A"},
        {5, "5", false, Mode::number, true, "5"},   // the number's own text
        {5, "##", false, Mode::number, false, ""},  // suppressed
        {5, "##", true, Mode::number, false, ""},
        {3, "ABC", false, Mode::number, true, "3"},  // too long: circles show the number...
        {3, "ABC", true, Mode::number, true, "AB"},  // ...triangles its first two characters
        {12, "ABC", true, Mode::number, false, ""},
        {-5, "", false, Mode::number, false, ""},
        {4, "12", false, Mode::label, true, "12"},
        {0, "", false, Mode::number, false, ""},
        // A line break is CR LF, held as a bare LF or not: a label of two lines is too long.
        {3, "A\r\nB", true, Mode::number, true, "A\r"},
        {3, "A\nB", true, Mode::number, true, "A\r"},
        {3, "\n", true, Mode::label, true, "\r\n"},
        {3, "\r\n", true, Mode::label, true, "\r\n"},
    };
    for (const Case& c : cases) {
        const LabelSlot slot = label_slot(c.number, c.label, c.triangle);
        EXPECT_EQ(slot.mode, c.mode) << c.number << " '" << c.label << "' " << c.triangle;
        EXPECT_EQ(slot.writes, c.writes) << c.number << " '" << c.label << "' " << c.triangle;
        if (c.writes) {
            EXPECT_EQ(slot.text, c.text) << c.number << " '" << c.label << "' " << c.triangle;
        }
    }
}

class SymbolPicture : public ::testing::Test {
  protected:
    raster::Picture picture{200, 200, testing::fonts()};
    TestContext t;
    void element(std::string_view kind, int x, int y, double s, int number = 0, std::string_view label = "",
                 Colour colour = 0, int extra2 = 0) {
        draw_element(picture, t.ctx, {kind, label, "", x, y, 0, 0, 0, extra2, 0, number, colour}, s);
    }
    bool ink(int x, int y) const { return !is_white(picture.bitmap().pixel(x, y)); }
    int black_in_column(int x, int y0, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y) n += picture.bitmap().pixel(x, y) == 0 ? 1 : 0;
        return n;
    }
};

TEST_F(SymbolPicture, KindNamesIgnoreCaseButNothingElse) {
    element("circle", 10, 10, 1.0, 4);
    std::vector<std::uint8_t> lower(picture.bitmap().bytes().begin(), picture.bitmap().bytes().end());
    for (const char* kind : {"Circle", "CIRCLE", "cIrClE"}) {
        raster::Picture other(200, 200, testing::fonts());
        draw_element(other, t.ctx, {kind, "", "", 10, 10, 0, 0, 0, 0, 0, 4, 0}, 1.0);
        EXPECT_TRUE(std::equal(lower.begin(), lower.end(), other.bitmap().bytes().begin())) << kind;
    }
    raster::Picture none(200, 200, testing::fonts());
    for (const char* kind : {"circle ", "circl", "Court", "ellipse", "", "Player"})
        draw_element(none, t.ctx, {kind, "", "", 10, 10, 20, 20, 0, 0, 0, 4, 0}, 1.0);
    EXPECT_EQ(inked(none), 0);
}

TEST_F(SymbolPicture, EveryKindEndsWithAOnePixelPen) {
    for (const char* kind :
         {"circle", "circlef", "dcircle", "otriangl", "triangle", "triangf", "cross", "crossf",
          "ocross", "ncross",  "ochair",  "dchair",   "ball",     "ballf",   "coach", "rack",
          "pylon",  "ploop",   "ppass",   "pdribbel", "pscreen",  "shot",    "text"}) {
        picture.canvas().pen.width = 3;
        draw_element(picture, t.ctx, {kind, "7", "Arial", 10, 10, 60, 80, 0, 0, 0, 3, 0}, 2.5);
        EXPECT_EQ(picture.canvas().pen.width, 1) << kind;
    }
}

// Outline widths: the frame sets Trunc(s) + 1 above 1.1, the symbols Round(s) above 1.9,
// the "f" kinds Round(2 s).
TEST_F(SymbolPicture, OutlineWidthsFollowTheScale) {
    struct Case {
        double s;
        const char* kind;
        int width;
    };
    for (const Case& c : {Case{1.0, "circle", 1}, Case{1.3, "circle", 2}, Case{2.0, "circle", 2},
                          Case{1.0, "circlef", 2}, Case{1.3, "circlef", 3}, Case{2.0, "circlef", 4}}) {
        raster::Picture p(200, 200, testing::fonts());
        p.canvas().pen.width = c.s > 1.1 ? Trunc(c.s) + 1 : 1;
        draw_element(p, t.ctx, {c.kind, "", "", 10, 10, 0, 0, 0, 0, 0, 0, 0}, c.s);
        // The outline at the top of the circle, in its centre column.
        const int x = Round(20.5 * c.s);
        int black = 0;
        for (int y = 0; y < Round(20 * c.s); ++y) black += p.bitmap().pixel(x, y) == 0 ? 1 : 0;
        EXPECT_EQ(black, c.width) << c.kind << " at " << c.s;
    }
    // The open triangle's outline is thin when its style fills, the triangle keeps the pen.
    for (auto [kind, width] : {std::pair{"otriangl", 1}, std::pair{"triangle", 2}}) {
        raster::Picture p(200, 200, testing::fonts());
        p.canvas().pen.width = 2;
        draw_element(p, t.ctx, {kind, "##", "", 10, 10, 0, 0, 0, 0, 0, 0, 0}, 1.3);
        // The bottom side, in the middle column.
        const int x = Round(20.5 * 1.3);
        int black = 0;
        for (int y = Round(25 * 1.3); y < 60; ++y) black += p.bitmap().pixel(x, y) == 0 ? 1 : 0;
        EXPECT_EQ(black, width) << kind;
    }
}

TEST_F(SymbolPicture, FittingShrinksWideLabelsAndStopsWhereItCannot) {
    raster::Canvas& canvas = picture.canvas();
    draw_circle(picture, t.ctx, 10, 10, 1, 0, "WW", 1.0);
    EXPECT_LT(canvas.font.size, 10);
    draw_circle(picture, t.ctx, 10, 10, 1, 0, "i", 1.0);
    EXPECT_EQ(canvas.font.size, 10);
    // Below half a pixel per unit the step would be 0: the first size stays.
    draw_circle(picture, t.ctx, 10, 10, 1, 0, "WW", 0.3);
    EXPECT_EQ(canvas.font.size, 3);
    draw_triangle(picture, t.ctx, 10, 10, 1, 0, "WW", 0.3);
    EXPECT_EQ(canvas.font.size, 3);
    // Sizes never go below 1.
    draw_triangle(picture, t.ctx, 10, 10, 1, 0, "WW", 0.6);
    EXPECT_GE(canvas.font.size, 1);
}

TEST_F(SymbolPicture, MonochromeSymbolsAreBlackAndWhite) {
    t.ctx.monochrome = true;
    element("circle", 5, 5, 2.0, 4, "", 0x00FF00);
    element("triangle", 40, 5, 2.0, 0, "AB", 0x0000FF);
    element("ncross", 5, 40, 2.0, 5, "", 0xFF0000);
    element("dchair", 40, 40, 2.0, 5, "", 0x00FFFF, 30);
    EXPECT_TRUE(testing::all_pixels(picture, [](raster::Colour c) { return c == 0 || c == 0xFFFFFF; }));
    EXPECT_GT(inked(picture), 500);
    // Without it the defaults and the item's colours fill.
    t.ctx.monochrome = false;
    raster::Picture colour(200, 200, testing::fonts());
    draw_element(colour, t.ctx, {"circle", "", "", 5, 5, 0, 0, 0, 0, 0, 4, 0}, 2.0);
    draw_element(colour, t.ctx, {"triangle", "", "", 40, 5, 0, 0, 0, 0, 0, 4, 0x00FF00}, 2.0);
    EXPECT_EQ(colour.bitmap().pixel(Round(15.5 * 2), 16), t.defaults.circle_style.colour);
    EXPECT_EQ(colour.bitmap().pixel(Round(50.5 * 2), 46), 0x00FF00);
}

TEST_F(SymbolPicture, NumberedCrossIsSmallWithTextOrFullWithout) {
    element("ncross", 10, 10, 1.0, 4);
    EXPECT_TRUE(ink(10, 10));  // the small cross starts at the cell corner
    EXPECT_FALSE(ink(12, 12) && !ink(10, 10));
    raster::Picture full(200, 200, testing::fonts());
    draw_element(full, t.ctx, {"ocross", "", "", 10, 10, 0, 0, 0, 0, 0, 12, 0}, 1.0);
    EXPECT_FALSE(!is_white(full.bitmap().pixel(10, 10)));
    EXPECT_TRUE(!is_white(full.bitmap().pixel(12, 12)));
}

TEST_F(SymbolPicture, ChairSeatReachesAboveTheCellAndTurnsClockwise) {
    element("ochair", 20, 20, 2.0, 0, "", 0, 0);
    // Seat top at offset -3, legs to the bottom edge at offset 21.
    EXPECT_TRUE(ink(Round(30.5 * 2), 34));
    EXPECT_FALSE(ink(Round(30.5 * 2), 34 - 3));
    EXPECT_TRUE(ink(42, Round(40.5 * 2)));
    raster::Picture turned(200, 200, testing::fonts());
    draw_element(turned, t.ctx, {"ochair", "", "", 20, 20, 0, 0, 0, 90, 0, 0, 0}, 2.0);
    // Turned a quarter clockwise, the seat's upper edge faces right.
    EXPECT_TRUE(!is_white(turned.bitmap().pixel(88, Round(30.5 * 2))));
    EXPECT_TRUE(is_white(turned.bitmap().pixel(34, Round(30.5 * 2))));
}

TEST(RotatedDigit, TurnsAboutTheCentreAndNeverWritesTheFirstRowOrColumn) {
    raster::Bitmap bits(7, 7);
    bits.set_pixel(5, 3, 0);
    rotate_bitmap(bits, 3, 3, 2 * 3.1415926535897932385 - 3.1415926535897932385 / 2);  // chair angle 90
    EXPECT_EQ(bits.pixel(3, 5), 0);  // right of the centre turns to below it
    EXPECT_EQ(bits.pixel(5, 3), 0xFFFFFF);
    raster::Bitmap corners(7, 7);
    rotate_bitmap(corners, 3, 3, 2 * 3.1415926535897932385 - 3.1415926535897932385 / 4);
    EXPECT_EQ(corners.pixel(0, 0), 0xFF0000);  // pure blue where nothing was
    EXPECT_EQ(corners.pixel(3, 3), 0xFFFFFF);

    raster::Picture picture(100, 100, testing::fonts());
    for (int angle : {0, 30, 90}) draw_rotated_digit(picture, "8", -8, -6, angle, 2.0);
    EXPECT_GT(inked(picture), 20);
    EXPECT_TRUE(testing::all_pixels(picture, [](raster::Colour c) { return c == 0 || c == 0xFFFFFF; }));
    for (int i = 0; i < 100; ++i) {
        EXPECT_TRUE(is_white(picture.bitmap().pixel(i, 0)));
        EXPECT_TRUE(is_white(picture.bitmap().pixel(0, i)));
    }
}

// Values a damaged or hostile file can hold: every kind must come back, quickly, and draw
// only inside the picture.
TEST(AbsurdValues, EveryKindReturns) {
    TestContext t;
    raster::Picture picture(300, 300, testing::fonts());
    const int big[] = {INT_MIN, -40000, 0, 33000, INT_MAX};
    for (const char* kind :
         {"circle", "circlef", "dcircle", "otriangl", "triangle", "triangf", "cross",   "crossf", "ocross",
          "ncross", "ochair",  "dchair",  "ball",     "ballf",    "coach",   "rack",    "pylon",  "loop",
          "ploop",  "pass",    "ppass",   "dribbel",  "pdribbel", "screen",  "pscreen", "shot",   "text"}) {
        for (int v : big) {
            for (double s : {0.0, 0.3, 2.86}) {
                draw_element(picture, t.ctx, {kind, "WW\r\nX", "Arial", v, 10, 20, v, v, v, v, v, v}, s);
                draw_element(picture, t.ctx, {kind, "1", "", 10, v, v, 20, 2'000'000, 0, 0, 1, 0}, s);
            }
        }
    }
    const std::vector<TPunt> points{{INT_MIN, 0}, {INT_MAX, 5}, {0, INT_MIN}, {INT_MAX, INT_MAX}, {3, 3}};
    for (const char* kind : {"ploop", "ppass", "pdribbel", "pscreen"}) {
        draw_curved_line(picture, t.ctx, kind, points, {INT_MAX, true, 0}, 2.86);
        draw_curved_line(picture, t.ctx, kind, points, {0, true, 0}, 0.0);
    }
    SUCCEED();
}

// ---- The sheet of every item kind, compared with golden pictures ----

struct SheetItem {
    const char* kind;
    const char* text;
    const char* text2;
    int x1, y1, x2, y2;
    int extra1, extra2, extra3, number;
    Colour colour;
};

// Laid out on a sheet as wide as the court, in court units.
const SheetItem kSheet[] = {
    // Circles: number, label, suppressed, filled, the other style, two digits, long label.
    {"Circle", "", "", 5, 5, 0, 0, 0, 0, 0, 4, 0},
    {"Circle", "A", "", 40, 5, 0, 0, 0, 0, 0, 1, 0},
    {"Circle", "##", "", 75, 5, 0, 0, 0, 0, 0, 2, 0},
    {"Circlef", "", "", 110, 5, 0, 0, 0, 0, 0, 7, 0},
    {"Dcircle", "", "", 145, 5, 0, 0, 0, 0, 0, 3, 0},
    {"Dcircle", "PG", "", 180, 5, 0, 0, 0, 0, 0, 3, 0},
    {"Circle", "", "", 215, 5, 0, 0, 0, 0, 0, 12, 0x00CC00},
    {"circle", "WW", "", 250, 5, 0, 0, 0, 0, 0, 3, 0},
    // Triangles.
    {"Triangle", "", "", 5, 40, 0, 0, 0, 0, 0, 5, 0},
    {"Triangle", "AB", "", 40, 40, 0, 0, 0, 0, 0, 5, 0},
    {"Triangf", "", "", 75, 40, 0, 0, 0, 0, 0, 2, 0},
    {"Otriangl", "", "", 110, 40, 0, 0, 0, 0, 0, 1, 0},
    {"Otriangl", "X", "", 145, 40, 0, 0, 0, 0, 0, 1, 0},
    {"Triangle", "ABC", "", 180, 40, 0, 0, 0, 0, 0, 3, 0},
    {"Triangle", "", "", 215, 40, 0, 0, 0, 0, 0, 9, 0xFF00FF},
    {"Triangle", "MW", "", 250, 40, 0, 0, 0, 0, 0, 9, 0},
    // Crosses and chairs.
    {"Cross", "", "", 5, 75, 0, 0, 0, 0, 0, 0, 0},
    {"Crossf", "", "", 40, 75, 0, 0, 0, 0, 0, 0, 0x0000CC},
    {"Ncross", "", "", 75, 75, 0, 0, 0, 0, 0, 6, 0},
    {"Ocross", "B", "", 110, 75, 0, 0, 0, 0, 0, 6, 0xCC0000},
    {"Ncross", "", "", 145, 75, 0, 0, 0, 0, 0, 12, 0},
    {"Ochair", "", "", 180, 78, 0, 0, 0, 0, 0, 3, 0},
    {"Ochair", "", "", 215, 78, 0, 0, 0, 90, 0, 4, 0},
    {"Dchair", "", "", 250, 78, 0, 0, 0, 45, 0, 8, 0},
    {"Dchair", "", "", 215, 110, 0, 0, 0, 180, 0, 2, 0},
    // Ball and equipment.
    {"Ball", "", "", 5, 110, 0, 0, 0, 0, 0, 0, 0},
    {"Ballf", "", "", 40, 110, 0, 0, 0, 0, 0, 0, 0x0066CC},
    {"Coach", "", "", 75, 110, 0, 0, 0, 0, 0, 0, 0},
    {"Rack", "", "", 110, 110, 0, 0, 0, 0, 0, 0, 0x0000CC},
    {"Pylon", "", "", 145, 110, 0, 0, 0, 0, 0, 0, 0x0080FF},
    {"Ball", "", "", 180, 110, 0, 0, 0, 0, 0, 0, 0x00AA00},
    {"Ballf", "", "", 250, 110, 0, 0, 0, 0, 0, 0, 0},
    // Straight lines: every kind, a wide one and one without its mark.
    {"loop", "", "", 10, 150, 60, 150, 0, 0, 0, 0, 0},
    {"ploop", "", "", 70, 150, 130, 170, 0, 0, 0, 0, 0},
    {"ploop", "", "", 140, 170, 190, 145, 2, 0, 0, 0, 0x0000CC},
    {"ploop", "", "", 200, 150, 270, 150, 0, 0, 1, 0, 0},
    {"pass", "", "", 10, 185, 80, 185, 0, 0, 0, 0, 0},
    {"ppass", "", "", 90, 185, 170, 200, 0, 0, 0, 0, 0},
    {"ppass", "", "", 260, 180, 190, 210, 0, 0, 0, 0, 0xCC0000},
    {"dribbel", "", "", 10, 220, 80, 220, 0, 0, 0, 0, 0},
    {"pdribbel", "", "", 90, 220, 170, 240, 0, 0, 0, 0, 0},
    {"pdribbel", "", "", 200, 260, 200, 215, 0, 0, 0, 0, 0x008800},
    {"screen", "", "", 10, 255, 60, 255, 0, 0, 0, 0, 0},
    {"pscreen", "", "", 70, 255, 130, 275, 0, 0, 0, 0, 0},
    {"pscreen", "", "", 160, 280, 140, 250, 0, 0, 0, 0, 0},
    {"shot", "", "", 230, 300, 270, 230, 0, 0, 0, 0, 0},
    {"shot", "", "", 60, 300, 10, 290, 0, 0, 0, 0, 0x0000CC},
    // Texts.
    {"Text", "Box out\r\nthen roll", "Arial", 10, 305, 0, 0, 10, 0, 1, 0, 0},
    {"Text", "Press!", "Arial", 100, 320, 0, 0, 14, 0, 2 | 4, 0, 0x0000CC},
    {"Text", "Zone", "", 170, 335, 0, 0, 0, 0, 8, 0, 0},  // no font name or size: size 1
    {"Text", "Zone", "Liberation Serif", 150, 292, 0, 0, 9, 0, 8, 0, 0},
};

struct SheetCurve {
    const char* kind;
    std::vector<TPunt> ends;
    int extra1, extra3;
    Colour colour;
};

std::vector<TPunt> mirrored(const std::vector<TPunt>& ends) {
    std::vector<TPunt> points;
    points.push_back({2 * ends[0].x - ends[1].x, 2 * ends[0].y - ends[1].y});
    points.insert(points.end(), ends.begin(), ends.end());
    const TPunt y = ends[ends.size() - 2];
    const TPunt z = ends.back();
    points.push_back({2 * z.x - y.x, 2 * z.y - y.y});
    return points;
}

// Below the items, in a strip under the court's height.
const SheetCurve kCurves[] = {
    {"ploop", {{10, 380}, {40, 365}, {70, 395}, {90, 375}}, 0, 0, 0},
    {"ppass", {{100, 400}, {130, 410}, {170, 385}}, 0, 0, 0x0000CC},
    {"pdribbel", {{180, 370}, {210, 395}, {250, 375}, {280, 400}}, 0, 0, 0},
    {"pscreen", {{20, 410}, {60, 415}, {90, 400}}, 2, 0, 0x008800},
    {"ploop", {{200, 410}, {240, 415}, {280, 412}}, 0, 1, 0},
};

void draw_sheet(raster::Picture& picture, const DrawContext& ctx, double s) {
    for (const SheetItem& it : kSheet) {
        if (s > 1.1) picture.canvas().pen.width = Trunc(s) + 1;
        draw_element(picture, ctx,
                     {it.kind, it.text, it.text2, it.x1, it.y1, it.x2, it.y2, it.extra1, it.extra2, it.extra3,
                      it.number, it.colour},
                     s);
    }
    for (const SheetCurve& c : kCurves) {
        if (s > 1.1) picture.canvas().pen.width = Trunc(s) + 1;
        draw_curved_line(picture, ctx, c.kind, mirrored(c.ends), {c.extra1, c.extra3 == 0, c.colour}, s);
    }
}

struct SheetCase {
    const char* name;
    double scale;
    bool monochrome;
};

const SheetCase kSheetCases[] = {
    {"sheet_s1", 1.0, false},
    {"sheet_s2", 2.0, false},
    {"sheet_mono_s1", 1.0, true},
};

void PrintTo(const SheetCase& c, std::ostream* os) {
    *os << c.name;
}

class GoldenSheet : public ::testing::TestWithParam<SheetCase> {};

TEST_P(GoldenSheet, MatchesPixelForPixel) {
    const SheetCase& c = GetParam();
    TestContext t;
    t.ctx.monochrome = c.monochrome;
    raster::Picture picture(Round(289 * c.scale), Round(420 * c.scale), testing::fonts());
    draw_sheet(picture, t.ctx, c.scale);
    testing::expect_golden(picture.bitmap(), testing::golden_path("symbols", c.name));
}

INSTANTIATE_TEST_SUITE_P(Symbols, GoldenSheet, ::testing::ValuesIn(kSheetCases),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace hoopcast
