#include "drawings/lines_internal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "drawing_testing.h"
#include "drawings/geometry.h"
#include "drawings/symbols.h"

namespace hoopcast {
namespace {

using testing::inked;
using testing::is_white;
using testing::TestContext;

constexpr double kPi = std::numbers::pi;

TEST(LineAngle, ArctangentOfTheSegmentWithVerticalsAndCoincidingPoints) {
    EXPECT_DOUBLE_EQ(*line_angle(0, 0, 10, 0), 0.0);
    EXPECT_DOUBLE_EQ(*line_angle(0, 0, 10, -10), kPi / 4);  // up and right
    // Running left gives the arctangent, not the direction: the callers turn it round.
    EXPECT_DOUBLE_EQ(*line_angle(10, 0, 0, 0), 0.0);
    EXPECT_DOUBLE_EQ(*line_angle(0, 0, -10, -10), -kPi / 4);
    EXPECT_DOUBLE_EQ(*line_angle(5, 10, 5, 0), kPi / 2);      // upward
    EXPECT_DOUBLE_EQ(*line_angle(5, 0, 5, 10), 3 * kPi / 2);  // downward
    EXPECT_FALSE(line_angle(3, 4, 3.004, 4.004).has_value());
    EXPECT_TRUE(line_angle(3, 4, 3.006, 4).has_value());
}

TEST(ArrowHead, BarbsAreMirrorImagesOnVerticalSegmentsAndPointBack) {
    for (double s : {1.0, 1.3, 2.0, 2.86}) {
        for (int dir : {-1, 1}) {
            const auto barbs = lines_detail::arrow_barbs(50, 50, 50, 50 + 40 * dir, s);
            ASSERT_TRUE(barbs.has_value());
            const raster::Point tip = barbs->tip;
            const raster::Point a = barbs->ends[0];
            const raster::Point b = barbs->ends[1];
            EXPECT_EQ(a.y, b.y) << s;
            EXPECT_EQ(a.x - tip.x, tip.x - b.x) << s;
            // Both barbs lie back towards the start.
            EXPECT_EQ((a.y - tip.y) * dir < 0, true) << s;
        }
    }
    // At scale 1 the barbs are 7 pixels long at 30 degrees: 4 across (3.5 rounded to even)
    // and 6 back.
    const auto up = lines_detail::arrow_barbs(50, 50, 50, 10, 1.0);
    EXPECT_EQ(up->tip, (raster::Point{50, 10}));
    EXPECT_EQ(std::abs(up->ends[0].x - 50), 4);
    EXPECT_EQ(up->ends[0].y, 16);
    // A segment to the left has its barbs to the right of the tip.
    const auto left = lines_detail::arrow_barbs(100, 50, 40, 50, 1.0);
    EXPECT_GT(left->ends[0].x, 40);
    EXPECT_GT(left->ends[1].x, 40);
    EXPECT_FALSE(lines_detail::arrow_barbs(7, 7, 7, 7, 1.0).has_value());
}

TEST(LineWidth, FactorMultipliesThePenAndIsClampedForAbsurdFactors) {
    EXPECT_EQ(lines_detail::widened_pen(2, 0), 2);
    EXPECT_EQ(lines_detail::widened_pen(2, 3), 6);
    EXPECT_EQ(lines_detail::widened_pen(3, INT_MAX), 1024);
    EXPECT_EQ(lines_detail::widened_pen(3, INT_MIN), 0);
}

class LinePicture : public ::testing::Test {
  protected:
    raster::Picture picture{300, 200, testing::fonts()};
    TestContext t;
    void element(const char* kind, int x1, int y1, int x2, int y2, double s, int extra1 = 0, int extra3 = 0,
                 Colour colour = 0) {
        draw_element(picture, t.ctx, {kind, "", "", x1, y1, x2, y2, extra1, 0, extra3, 0, colour}, s);
    }
    bool ink(int x, int y) const { return !is_white(picture.bitmap().pixel(x, y)); }
};

TEST_F(LinePicture, WidthFactorAndScaleSetTheLineWidth) {
    // s = 2: draw_element sets the pen to Round(s) = 2, factor 3 makes it 6.
    element("loop", 20, 20, 120, 20, 2.0, 3);
    EXPECT_EQ(testing::column_ink(picture, 100, 20, 60), 6);
    EXPECT_EQ(picture.canvas().pen.width, 1);
    // s = 1.3 keeps the width the frame gave the pen (Trunc(s) + 1).
    picture.canvas().pen.width = 2;
    element("loop", 20, 100, 120, 100, 1.3);
    EXPECT_EQ(testing::column_ink(picture, 100, 110, 150), 2);
    // s = 1.0: a one-pixel line.
    element("loop", 20, 170, 120, 170, 1.0);
    EXPECT_EQ(testing::column_ink(picture, 100, 160, 200), 1);
    EXPECT_TRUE(ink(100, 170));
}

TEST_F(LinePicture, ShortPassIsSolidLongPassHasGapsAndASolidTail) {
    // R3 = 3 at scale 1: up to 18 pixels the pass is one solid line.
    element("pass", 10, 10, 28, 10, 1.0);
    for (int x = 10; x < 28; ++x) EXPECT_TRUE(ink(x, 10)) << x;
    element("pass", 10, 50, 110, 50, 1.0);
    int gaps = 0;
    for (int x = 10; x < 110; ++x) gaps += ink(x, 50) ? 0 : 1;
    EXPECT_GT(gaps, 30);
    for (int x = 10; x < 14; ++x) EXPECT_TRUE(ink(x, 50)) << "first dash starts at the start";
    for (int x = 101; x < 110; ++x) EXPECT_TRUE(ink(x, 50)) << "solid stretch before the end";
}

TEST_F(LinePicture, ShortDribbleIsStraightLongerOneWaves) {
    element("dribbel", 10, 10, 14, 10, 1.0);  // 4 pixels: no room for a wave
    EXPECT_EQ(inked(picture), 4);
    element("dribbel", 10, 60, 110, 60, 1.0);
    bool above = false;
    bool below = false;
    for (int x = 20; x < 100; ++x) {
        above = above || ink(x, 58);
        below = below || ink(x, 62);
    }
    EXPECT_TRUE(above);
    EXPECT_TRUE(below);
}

TEST_F(LinePicture, EndMarksOnlyOnTheLastSegmentAndOnlyWithoutTheNoMarkSwitch) {
    element("loop", 10, 50, 100, 50, 1.0);
    const int plain = inked(picture);
    EXPECT_EQ(plain, 90);
    element("ploop", 10, 100, 100, 100, 1.0, 0, 1);
    EXPECT_EQ(inked(picture), 2 * plain);
    element("ploop", 10, 150, 100, 150, 1.0);
    EXPECT_GT(inked(picture), 3 * plain + 8);
    EXPECT_TRUE(ink(95, 147));
    EXPECT_TRUE(ink(95, 153));
}

TEST_F(LinePicture, ScreenBarCrossesTheEnd) {
    element("pscreen", 10, 50, 100, 50, 1.0);
    for (int y = 44; y < 57; ++y) EXPECT_TRUE(ink(100, y)) << y;
}

TEST_F(LinePicture, ZeroLengthSegmentsHaveNoMarkAndShotsNothingAtAll) {
    for (const char* kind : {"ppass", "pdribbel", "shot"}) element(kind, 50, 50, 50, 50, 2.0);
    element("ploop", 50, 50, 50, 50, 1.0);
    element("pscreen", 50, 50, 50, 50, 1.0);
    EXPECT_EQ(inked(picture), 0);
    // A straight segment without length is a line to where the pen stands: a dot of the
    // pen's width, and still no mark.
    element("ploop", 20, 20, 20, 20, 2.0);
    element("pscreen", 60, 20, 60, 20, 2.0);
    EXPECT_EQ(inked(picture), 8);
}

TEST_F(LinePicture, ShotIsADoubleLinePulledBackFromItsHead) {
    // Straight up at scale 2: the double lines stop 2 * s = 4 pixels below the end.
    draw_shot_segment(picture, t.ctx, {50, 80, 50, 20, {0, false, 0}}, 2.0, SegmentMode::mark);
    EXPECT_TRUE(ink(98, 100));
    EXPECT_TRUE(ink(102, 100));
    EXPECT_FALSE(ink(100, 100));
    EXPECT_TRUE(ink(98, 45));  // lines leave their end pixel out
    EXPECT_FALSE(ink(98, 44));
    draw_shot_segment(picture, t.ctx, {10, 10, 100, 10, {0, true, 0}}, 1.0, SegmentMode::line);
    EXPECT_FALSE(ink(50, 9));
}

TEST_F(LinePicture, ArcPolylineOverlapsTheArcByADegreeAtEachEnd) {
    draw_arc_polyline(picture, 150, 100, 100.0, 0, 180);
    // -1 degree is below the right end of the diameter, 181 below the left end.
    EXPECT_TRUE(ink(250, 102));
    EXPECT_TRUE(ink(50, 101));
    for (int y = 103; y < 200; ++y) {
        EXPECT_FALSE(ink(250, y));
        EXPECT_FALSE(ink(50, y));
    }
    EXPECT_TRUE(ink(150, 0));  // the top of the half circle
    const int drawn = inked(picture);
    draw_arc_polyline(picture, 150, 150, 20.0, 50, 48);
    EXPECT_EQ(inked(picture), drawn);
}

TEST(ArcPoints, SamePixelsAsRoundingEachPointForNearAndFarCentres) {
    using lines_detail::round_trig;
    // Values within noise of a half go to the even neighbour; others to the nearest.
    EXPECT_EQ(round_trig(2.5 + 1e-12), 2);
    EXPECT_EQ(round_trig(3.5 - 1e-12), 4);
    EXPECT_EQ(round_trig(-2.5), -2);
    EXPECT_EQ(round_trig(2.5001), 3);
    EXPECT_EQ(round_trig(-0.4), 0);
    EXPECT_EQ(round_trig(3e9), INT_MAX);
    for (double r : {1.0, 5.72, 20.0, 1e6}) {
        lines_detail::ArcPoints points(r);
        for (int c : {0, 137, -4000, 70000, -2000000000}) {
            for (int k = -1; k <= 361; ++k) {
                const int degree = ((k % 360) + 360) % 360;
                const double t = degree * kPi / 180;
                const raster::Point p = points.at(c, c + 11, static_cast<std::size_t>(degree));
                EXPECT_EQ(p.x, round_trig(c + r * std::cos(t))) << r << ' ' << c << ' ' << k;
                EXPECT_EQ(p.y, round_trig(c + 11 - r * std::sin(t))) << r << ' ' << c << ' ' << k;
            }
        }
    }
}

// Arcs drawn again and again around new centres are painted from what the first drawing
// left; every pixel and the pen's end position must be what drawing each point gives.
TEST(ArcPoints, RepeatedArcsMatchDrawingEveryPoint) {
    std::mt19937 random(20261208);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int round = 0; round < 60; ++round) {
        const double r = pick(0, 3000) / 100.0 - (round % 7 == 0 ? 40 : 0);
        const int width = pick(0, 9);
        lines_detail::ArcPoints points(r);
        raster::Picture fast(120, 90);
        raster::Picture plain(120, 90);
        const int arcs[][2] = {{0, 180}, {180, 360}, {pick(-400, 400), pick(-400, 800)}};
        for (int call = 0; call < 12; ++call) {
            const auto& arc = arcs[pick(0, 2)];
            const int cx = pick(-40, 160), cy = pick(-40, 130);
            fast.canvas().pen = {static_cast<raster::Colour>(pick(0, 0xFFFFFF)), width};
            plain.canvas().pen = fast.canvas().pen;
            draw_arc_polyline(fast, cx, cy, points, arc[0], arc[1]);

            geometry::PenPath path(plain.canvas());
            auto point = [&](std::int64_t k) {
                const double t = static_cast<double>(((k % 360) + 360) % 360) * kPi / 180;
                return raster::Point{lines_detail::round_trig(cx + r * std::cos(t)),
                                     lines_detail::round_trig(cy - r * std::sin(t))};
            };
            const raster::Point first = point(arc[0] - 1);
            path.move_to(first.x, first.y);
            const std::int64_t last = std::min<std::int64_t>(arc[1] + 1, std::int64_t{arc[0]} + 361);
            for (std::int64_t k = arc[0]; k <= last; ++k) path.line_to(point(k).x, point(k).y);
            path.flush();
            ASSERT_EQ(fast.canvas().position(), plain.canvas().position())
                << r << ' ' << width << ' ' << call;
        }
        ASSERT_TRUE(std::equal(fast.bitmap().bytes().begin(), fast.bitmap().bytes().end(),
                               plain.bitmap().bytes().begin()))
            << "radius " << r << " width " << width;
    }
}

TEST_F(LinePicture, MonochromeLinesAreBlack) {
    t.ctx.monochrome = true;
    element("ppass", 10, 50, 200, 50, 1.0, 0, 0, 0x0000FF);
    element("pdribbel", 10, 100, 200, 120, 1.0, 0, 0, 0x00FF00);
    EXPECT_TRUE(testing::all_pixels(picture, [](raster::Colour c) { return c == 0 || c == 0xFFFFFF; }));
    EXPECT_GT(inked(picture), 100);
}

// Passes and dribbles that start far outside the picture step over what cannot show; the
// part that shows keeps the dash and wave pattern it has when drawn from nearby.
TEST(LongLines, FarStartsKeepThePatternAndHugeOnesEnd) {
    TestContext t;
    auto draw = [&](const char* kind, int x1, int x2) {
        raster::Picture p(300, 60, testing::fonts());
        draw_element(p, t.ctx, {kind, "", "", x1, 30, x2, 30, 0, 0, 0, 0, 0}, 1.0);
        return std::vector<std::uint8_t>(p.bitmap().bytes().begin(), p.bitmap().bytes().end());
    };
    // Dash period 9 units, wave period 8 units at scale 1.
    EXPECT_EQ(draw("ppass", -3, 250), draw("ppass", -9003, 250));
    EXPECT_EQ(draw("pdribbel", -5, 250), draw("pdribbel", -8005, 250));

    for (const char* kind : {"ppass", "pdribbel", "pscreen", "shot"}) {
        raster::Picture p(827, 1032, testing::fonts());
        draw_element(p, t.ctx, {kind, "", "", INT_MIN + 1, 200, INT_MAX - 1, 210, 0, 0, 0, 0, 0}, 2.86);
        draw_element(p, t.ctx, {kind, "", "", INT_MAX, INT_MAX, INT_MIN, INT_MIN, 0, 0, 0, 0, 0}, 2.86);
        EXPECT_GT(inked(p), 0) << kind;
    }
}

}  // namespace
}  // namespace hoopcast

namespace hoopcast {
namespace {

// Paths go to the canvas as polylines; they must leave the pixels of single moves and lines.
TEST(PenPath, SamePixelsAsMovesAndLines) {
    unsigned seed = 12345;
    auto next = [&](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<unsigned>(range));
    };
    for (int width : {1, 2, 3, 4, 7}) {
        raster::Picture direct(120, 120, testing::fonts());
        raster::Picture pathed(120, 120, testing::fonts());
        direct.canvas().pen.width = width;
        pathed.canvas().pen.width = width;
        {
            geometry::PenPath path(pathed.canvas());
            for (int i = 0; i < 300; ++i) {
                // Points repeated up to three times, now and then a move.
                const int x = 10 + next(100);
                const int y = 10 + next(100);
                const bool move = next(10) == 0;
                const int repeats = next(3) + 1;
                for (int r = 0; r < repeats; ++r) {
                    if (move) {
                        direct.canvas().move_to(x, y);
                        path.move_to(x, y);
                    } else {
                        direct.canvas().line_to(x, y);
                        path.line_to(x, y);
                    }
                }
            }
            // A line to the point just moved to: a dot with a wide pen, nothing with a thin one.
            direct.canvas().move_to(5, 5);
            direct.canvas().line_to(5, 5);
            path.move_to(5, 5);
            path.line_to(5, 5);
        }
        EXPECT_TRUE(testing::same_pixels(direct, pathed)) << width;
    }
}

}  // namespace
}  // namespace hoopcast
