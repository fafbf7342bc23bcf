#include "drawings/curves.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "drawing_testing.h"
#include "drawings/curves_internal.h"
#include "drawings/lines_internal.h"
#include "play/rounding.h"

namespace hoopcast {
namespace {

using testing::inked;
using testing::is_white;
using testing::TestContext;

// The chain's points with the mirrored extra point at each end, as the line pass builds them.
std::vector<TPunt> chain(std::vector<TPunt> ends) {
    std::vector<TPunt> points;
    const TPunt a = ends[0];
    const TPunt b = ends[1];
    points.push_back({2 * a.x - b.x, 2 * a.y - b.y});
    points.insert(points.end(), ends.begin(), ends.end());
    const TPunt y = ends[ends.size() - 2];
    const TPunt z = ends.back();
    points.push_back({2 * z.x - y.x, 2 * z.y - y.y});
    return points;
}

TEST(Spline, BasisIsTheUniformCubicAndSumsToOne) {
    EXPECT_DOUBLE_EQ(bspline_basis(0), 4.0 / 6);
    EXPECT_DOUBLE_EQ(bspline_basis(1), 1.0 / 6);
    EXPECT_DOUBLE_EQ(bspline_basis(-1), 1.0 / 6);
    EXPECT_DOUBLE_EQ(bspline_basis(2), 0);
    EXPECT_DOUBLE_EQ(bspline_basis(-2), 0);
    EXPECT_DOUBLE_EQ(bspline_basis(0.5), bspline_basis(-0.5));
    for (double t : {0.1, 0.37, 0.5, 0.93}) {
        double sum = 0;
        for (int j = -3; j <= 3; ++j) sum += bspline_basis(j - t);
        EXPECT_NEAR(sum, 1.0, 1e-12) << t;
    }
    // Step 30 of 100 with 10 points is t = 3: points 1 to 6 can carry weight.
    EXPECT_EQ(spline_first_index(10, 30, 100), 1);
    EXPECT_DOUBLE_EQ(spline_weight(10, 3, 30, 100), 4.0 / 6);
    EXPECT_DOUBLE_EQ(spline_weight(10, 6, 30, 100), 0);
}

TEST(Spline, CurvePassesThroughTheChainsStartAndEndButNotItsInnerPoints) {
    const auto points = chain({{20, 30}, {80, 10}, {140, 90}, {60, 120}});
    const int n = static_cast<int>(points.size());
    const int N = n * 25;
    const CurvePoint start = spline_point(N / n, n, N, points);
    const CurvePoint end = spline_point(N - 2 * N / n, n, N, points);
    EXPECT_NEAR(start.x, 20, 1e-9);
    EXPECT_NEAR(start.y, 30, 1e-9);
    EXPECT_NEAR(end.x, 60, 1e-9);
    EXPECT_NEAR(end.y, 120, 1e-9);
    const CurvePoint inner = spline_point(2 * N / n, n, N, points);
    EXPECT_GT(std::abs(inner.x - 80) + std::abs(inner.y - 10), 5);
}

class CurvePicture : public ::testing::Test {
  protected:
    raster::Picture picture{300, 200, testing::fonts()};
    TestContext t;
    void curve(const char* kind, const std::vector<TPunt>& points, int no_mark = 0, Colour colour = 0,
               double s = 1.0) {
        draw_curved_line(picture, t.ctx, kind, points, {0, no_mark == 0, colour}, s);
    }
    bool ink(int x, int y) const { return !is_white(picture.bitmap().pixel(x, y)); }
};

TEST_F(CurvePicture, OneSegmentChainIsTheStraightLine) {
    curve("ploop", chain({{20, 40}, {200, 40}}), 1);
    raster::Picture line(300, 200, testing::fonts());
    draw_loop_segment(line, t.ctx, {20, 40, 200, 40, {0, false, 0}}, 1.0, SegmentMode::line);
    EXPECT_TRUE(testing::same_pixels(picture, line));

    raster::Picture diagonal(300, 200, testing::fonts());
    draw_curved_line(diagonal, t.ctx, "ploop", chain({{20, 20}, {170, 120}}), {0, false, 0}, 1.0);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            if (!is_white(diagonal.bitmap().pixel(x, y))) {
                // Distance from the line 2x - 3y + 20 = 0.
                EXPECT_LE(std::abs(2 * x - 3 * y + 20), 4) << x << "," << y;
            }
}

TEST_F(CurvePicture, DrawsFromStartToEndWithItsMark) {
    curve("ploop", chain({{20, 30}, {80, 10}, {140, 90}, {60, 120}}));
    EXPECT_TRUE(ink(20, 30));
    EXPECT_TRUE(ink(60, 121) || ink(60, 119) || ink(59, 120) || ink(61, 120));
    // The arrow head follows the last control segment (140, 90) -> (60, 120).
    const auto barbs = lines_detail::arrow_barbs(140, 90, 60, 120, 1.0);
    EXPECT_TRUE(ink((barbs->ends[0].x + 60) / 2, (barbs->ends[0].y + 120) / 2));
}

TEST_F(CurvePicture, KindNamesAreExactAndShortListsDrawNothing) {
    const auto points = chain({{20, 30}, {80, 10}, {140, 90}});
    for (const char* kind : {"Ploop", "loop", "PPASS", "", "pshot"}) curve(kind, points);
    curve("ploop", {{1, 1}, {20, 20}, {40, 40}});
    EXPECT_EQ(inked(picture), 0);
    for (const char* kind : {"ploop", "pscreen", "ppass", "pdribbel"}) {
        raster::Picture p(300, 200, testing::fonts());
        draw_curved_line(p, t.ctx, kind, points, {0, true, 0}, 1.0);
        EXPECT_GT(inked(p), 50) << kind;
    }
}

TEST_F(CurvePicture, PassIsDashedWithASolidEnd) {
    curve("ppass", chain({{10, 100}, {150, 100}, {290, 100}}), 1);
    int gaps = 0;
    for (int x = 10; x < 280; ++x) gaps += ink(x, 100) ? 0 : 1;
    EXPECT_GT(gaps, 60);
    for (int x = 288; x < 290; ++x) EXPECT_TRUE(ink(x, 100));
}

TEST_F(CurvePicture, DribbleStartsAndEndsStraightAndWavesBetween) {
    curve("pdribbel", chain({{10, 100}, {150, 100}, {290, 100}}), 1);
    for (int x = 10; x < 13; ++x) EXPECT_TRUE(ink(x, 100));
    for (int x = 281; x < 290; ++x) EXPECT_TRUE(ink(x, 100));
    bool above = false;
    bool below = false;
    for (int x = 30; x < 270; ++x) {
        above = above || ink(x, 98);
        below = below || ink(x, 102);
    }
    EXPECT_TRUE(above && below);
}

TEST_F(CurvePicture, MonochromeCurvesAreBlackAndTheWidthFactorApplies) {
    t.ctx.monochrome = true;
    curve("pdribbel", chain({{10, 50}, {150, 80}, {290, 50}}), 0, 0x0000FF);
    curve("ppass", chain({{10, 150}, {150, 180}, {290, 150}}), 0, 0x00FF00);
    EXPECT_TRUE(testing::all_pixels(picture, [](raster::Colour c) { return c == 0 || c == 0xFFFFFF; }));
    EXPECT_GT(inked(picture), 100);

    raster::Picture wide(300, 200, testing::fonts());
    wide.canvas().pen.width = 2;
    draw_curved_line(wide, t.ctx, "ploop", chain({{20, 40}, {200, 40}}), {3, false, 0}, 1.0);
    EXPECT_EQ(testing::column_ink(wide, 100, 20, 60), 6);
    EXPECT_EQ(wide.canvas().pen.width, 2);
}

// Dribbles pass over the steps along their waves where nothing can happen; the pixels must
// be those of working out every step, for tight and loose curves at every scale.
TEST(CurvedDribble, PassingOverQuietStepsKeepsEveryPixel) {
    TestContext t;
    std::mt19937 random(8122026);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int round = 0; round < 40; ++round) {
        std::vector<TPunt> points(static_cast<std::size_t>(pick(4, 9)));
        const int spread = round % 4 == 0 ? 15 : 160;
        for (TPunt& p : points) p = {pick(60, 60 + spread), pick(40, 40 + spread)};
        if (round % 5 == 0) points[2] = points[1];  // a control point repeated
        const double scale = std::array{0.7, 1.0, 1.13573, 2.0, 2.86}[static_cast<std::size_t>(round % 5)];
        raster::Picture fast(Round(289 * scale), Round(361 * scale));
        raster::Picture every(Round(289 * scale), Round(361 * scale));
        fast.canvas().pen.width = every.canvas().pen.width = Trunc(scale) + 1;
        draw_curved_dribble(fast, t.ctx, points, {round % 3, round % 2 == 0, 0x0000FF}, scale);
        curves_detail::draw_curved_dribble_every_step(every, t.ctx, points,
                                                      {round % 3, round % 2 == 0, 0x0000FF}, scale);
        ASSERT_TRUE(std::equal(fast.bitmap().bytes().begin(), fast.bitmap().bytes().end(),
                               every.bitmap().bytes().begin()))
            << "round " << round;
        EXPECT_EQ(fast.canvas().position(), every.canvas().position());
    }
}

}  // namespace
}  // namespace hoopcast
