#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "drawings/arcs.h"
#include "play/rounding.h"
#include "raster/picture.h"

namespace hoopcast {
namespace {

using raster::Picture;

bool same_pixels(const Picture& a, const Picture& b) {
    return a.width() == b.width() && a.height() == b.height() &&
           std::equal(a.bitmap().bytes().begin(), a.bitmap().bytes().end(), b.bitmap().bytes().begin());
}

int count_colour(const Picture& p, raster::Colour c) {
    int n = 0;
    for (int y = 0; y < p.height(); ++y) {
        for (int x = 0; x < p.width(); ++x) n += p.bitmap().pixel(x, y) == c;
    }
    return n;
}

TEST(DrawArc, ThreePointArcRunsOverItsHighestPixel) {
    Picture p(289, 361);
    draw_arc(p, 180, 360, 29, 280, 257, 280, false);
    EXPECT_EQ(p.bitmap().pixel(29, 280), kBlack);
    EXPECT_EQ(p.bitmap().pixel(143, 166), kBlack);
    // Nothing above the top of the circle.
    for (int y = 0; y < 166; ++y) {
        for (int x = 0; x < 289; ++x) ASSERT_EQ(p.bitmap().pixel(x, y), kWhite) << x << "," << y;
    }
    // The chain ends at the far end of the diameter, which as the last end point is left out.
    EXPECT_EQ(p.canvas().position(), (raster::Point{257, 280}));
    EXPECT_EQ(p.bitmap().pixel(256, 279) == kBlack || p.bitmap().pixel(256, 280) == kBlack ||
                  p.bitmap().pixel(257, 279) == kBlack,
              true);
}

TEST(DrawArc, AnglesInEitherOrderDrawTheSameArc) {
    for (bool dashed : {false, true}) {
        Picture forward(200, 200);
        Picture backward(200, 200);
        draw_arc(forward, 30, 250, 20.3, 100.7, 180.2, 100.7, dashed);
        draw_arc(backward, 250, 30, 20.3, 100.7, 180.2, 100.7, dashed);
        EXPECT_TRUE(same_pixels(forward, backward)) << dashed;
    }
}

// A dash starting at a multiple m of 12 covers m - 1 to m + 11, which is exactly the solid
// arc over those degrees; a dash starting at the first angle is one degree shorter.
void expect_dashes(int a1, int a2, const std::vector<std::pair<int, int>>& dashes) {
    Picture dashed(500, 500);
    draw_arc(dashed, a1, a2, 50, 250, 450, 250, true);
    Picture expected(500, 500);
    for (auto [from, to] : dashes) draw_arc(expected, from, to, 50, 250, 450, 250, false);
    EXPECT_TRUE(same_pixels(dashed, expected)) << a1 << ".." << a2;
    EXPECT_GT(count_colour(dashed, kBlack), 0);
}

TEST(DrawArc, DashesAreAnchoredAtMultiplesOfTwelveDegrees) {
    expect_dashes(0, 180,
                  {{0, 11}, {23, 35}, {47, 59}, {71, 83}, {95, 107}, {119, 131}, {143, 155}, {167, 179}});
    expect_dashes(
        180, 360,
        {{180, 191}, {203, 215}, {227, 239}, {251, 263}, {275, 287}, {299, 311}, {323, 335}, {347, 359}});
    // Started between multiples, the pen is up until the next multiple puts it down.
    expect_dashes(5, 40, {{11, 23}, {35, 40}});
    expect_dashes(-30, 0, {{-25, -13}, {-1, 0}});
}

TEST(DrawArcTo, ReachesTheFirstPointWithALine) {
    Picture p(300, 300);
    p.canvas().move_to(10, 150);
    draw_arc_to(p, 180, 270, 50, 150, 250, 150, false);
    // The line from (10, 150) to P(180) = (50, 150) is drawn.
    for (int x = 10; x < 50; ++x) EXPECT_EQ(p.bitmap().pixel(x, 150), kBlack) << x;

    Picture moved(300, 300);
    moved.canvas().move_to(10, 150);
    draw_arc(moved, 180, 270, 50, 150, 250, 150, false);
    EXPECT_EQ(moved.bitmap().pixel(20, 150), kWhite);
}

// The oracle: the chord chain drawn one canvas line at a time, point to point.
void chords_line_by_line(Picture& p, int a1, int a2, double x1, double y1, double x2, double y2, bool dashed,
                         bool line_to_start) {
    const long double cx = (static_cast<long double>(x1) + x2) / 2,
                      cy = (static_cast<long double>(y1) + y2) / 2;
    const long double r =
        (std::fabs(static_cast<long double>(x1) - x2) + std::fabs(static_cast<long double>(y1) - y2)) * 0.5L;
    const auto at = [&](int a) {
        const long double rad = static_cast<long double>(a) * 3.1415926535897932385L / 180;
        return raster::Point{Round(cx + r * std::cos(rad)), Round(cy + r * std::sin(rad))};
    };
    if (a1 > a2) std::swap(a1, a2);
    raster::Canvas& c = p.canvas();
    const raster::Point first = at(a1);
    if (line_to_start)
        c.line_to(first.x, first.y);
    else
        c.move_to(first.x, first.y);
    bool down = !dashed;
    for (int a = a1; a <= a2; ++a) {
        if (dashed && a % 12 == 0) down = !down;
        const raster::Point q = at(a);
        if (down)
            c.line_to(q.x, q.y);
        else
            c.move_to(q.x, q.y);
    }
}

TEST(DrawArc, DrawsTheSamePixelsAsItsChordsLineByLine) {
    std::uint32_t seed = 777;
    auto next = [&seed](int n) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(n));
    };
    for (int round = 0; round < 200; ++round) {
        const double x1 = next(2000) / 10.0, y1 = next(2000) / 10.0, x2 = next(2000) / 10.0;
        const int a1 = next(1200) - 480, a2 = a1 + next(next(4) == 0 ? 700 : 200);
        const bool dashed = next(2) == 0, to = next(2) == 0;
        const int width = next(6);
        const int start_x = next(200), start_y = next(200);
        Picture drawn(200, 200), expected(200, 200);
        for (Picture* q : {&drawn, &expected}) {
            q->canvas().pen.width = width;
            q->canvas().move_to(start_x, start_y);
        }
        if (to)
            draw_arc_to(drawn, a1, a2, x1, y1, x2, y1, dashed);
        else
            draw_arc(drawn, a1, a2, x1, y1, x2, y1, dashed);
        chords_line_by_line(expected, a1, a2, x1, y1, x2, y1, dashed, to);
        ASSERT_TRUE(same_pixels(drawn, expected)) << "round " << round;
        EXPECT_EQ(drawn.canvas().position(), expected.canvas().position());
    }
}

TEST(DrawArc, SingleAngleLeavesADotOnlyWithAWidePen) {
    Picture thin(100, 100);
    draw_arc(thin, 45, 45, 10, 50, 90, 50, false);
    EXPECT_EQ(count_colour(thin, kBlack), 0);

    Picture wide(100, 100);
    wide.canvas().pen.width = 3;
    draw_arc(wide, 45, 45, 10, 50, 90, 50, false);
    EXPECT_GT(count_colour(wide, kBlack), 0);

    Picture dashed_off(100, 100);
    dashed_off.canvas().pen.width = 3;
    draw_arc(dashed_off, 45, 45, 10, 50, 90, 50, true);
    EXPECT_EQ(count_colour(dashed_off, kBlack), 0);

    Picture dashed_on(100, 100);
    dashed_on.canvas().pen.width = 3;
    draw_arc(dashed_on, 48, 48, 10, 50, 90, 50, true);
    EXPECT_GT(count_colour(dashed_on, kBlack), 0);
}

TEST(FillArcRegion, FillsBetweenArcAndBaseWithAnOutline) {
    Picture p(289, 361);
    p.canvas().brush.colour = 0x0000FF;
    fill_arc_region(p, 29, 280, 257, 280, 307, 1.0, 180, 360);
    EXPECT_EQ(p.bitmap().pixel(143, 166), kBlack);    // top of the arc
    EXPECT_EQ(p.bitmap().pixel(143, 165), kWhite);    // above it
    EXPECT_EQ(p.bitmap().pixel(143, 250), 0x0000FF);  // inside
    EXPECT_EQ(p.bitmap().pixel(29, 307), kBlack);     // base corners
    EXPECT_EQ(p.bitmap().pixel(257, 307), kBlack);
    EXPECT_EQ(p.bitmap().pixel(143, 308), kWhite);  // below the base

    // The same region at another scale, angles reversed.
    Picture reversed(578, 722);
    Picture forward(578, 722);
    fill_arc_region(reversed, 29, 280, 257, 280, 307, 2.0, 360, 180);
    fill_arc_region(forward, 29, 280, 257, 280, 307, 2.0, 180, 360);
    EXPECT_TRUE(same_pixels(reversed, forward));
    EXPECT_EQ(forward.bitmap().pixel(286, 332), kBlack);
}

TEST(FillArcRegion, ManyTurnsStopAtTheFixedListsEnd) {
    // Ten turns of a large circle give far more distinct points than the list holds; the
    // points beyond it are dropped.
    Picture p(240, 240);
    fill_arc_region(p, 10, 120, 230, 120, 120, 1.0, 0, 3600);
    EXPECT_EQ(p.bitmap().pixel(230, 120), kBlack);
    EXPECT_EQ(p.bitmap().pixel(120, 10), kBlack);
}

TEST(DrawCirclePoints, PlotsTheMidpointCircle) {
    Picture p(41, 41);
    draw_circle_points(p, 20, 20, 5);
    for (auto [x, y] : std::vector<std::pair<int, int>>{{25, 20}, {15, 20}, {20, 25}, {20, 15}}) {
        EXPECT_EQ(p.bitmap().pixel(x, y), kBlack) << x << "," << y;
    }
    EXPECT_EQ(p.bitmap().pixel(20, 20), kWhite);
    // Eight-fold symmetric.
    for (int y = 0; y < 41; ++y) {
        for (int x = 0; x < 41; ++x) {
            const auto c = p.bitmap().pixel(x, y);
            ASSERT_EQ(c, p.bitmap().pixel(40 - x, y));
            ASSERT_EQ(c, p.bitmap().pixel(20 + (y - 20), 20 + (x - 20)));
        }
    }

    Picture centre(10, 10);
    draw_circle_points(centre, 4, 4, 0);
    EXPECT_EQ(count_colour(centre, kBlack), 1);
    EXPECT_EQ(centre.bitmap().pixel(4, 4), kBlack);

    Picture negative(10, 10);
    draw_circle_points(negative, 4, 4, -3);
    EXPECT_EQ(count_colour(negative, kBlack), 0);
}

TEST(DrawCirclePoints, WidePenDrawsDotsOneWiderAndIsPutBack) {
    Picture thin(60, 60);
    thin.canvas().pen.width = 1;
    draw_circle_points(thin, 30, 30, 12);
    Picture wide(60, 60);
    wide.canvas().pen.width = 3;
    draw_circle_points(wide, 30, 30, 12);
    EXPECT_EQ(wide.canvas().pen.width, 3);
    EXPECT_GT(count_colour(wide, kBlack), 3 * count_colour(thin, kBlack));
    // A dot 4 pixels across reaches two pixels outside the ring on one side.
    EXPECT_EQ(wide.bitmap().pixel(30, 16), kBlack);
    EXPECT_EQ(wide.bitmap().pixel(30, 30), kWhite);
}

TEST(FillDisc, FillsWithTheBrushAndRingsWithThePen) {
    Picture p(60, 60);
    p.canvas().brush.colour = 0x00FF00;
    p.canvas().pen.width = 2;
    fill_disc(p, 30, 30, 10);
    EXPECT_EQ(p.canvas().pen.colour, kBlack);
    EXPECT_EQ(p.bitmap().pixel(30, 30), 0x00FF00);
    EXPECT_EQ(p.bitmap().pixel(33, 27), 0x00FF00);
    // Rings of radius 10 and 11 in the pen colour.
    EXPECT_EQ(p.bitmap().pixel(40, 30), kBlack);
    EXPECT_EQ(p.bitmap().pixel(30, 19), kBlack);
    EXPECT_EQ(p.bitmap().pixel(30, 45), kWhite);

    Picture dot(10, 10);
    dot.canvas().brush.colour = 0x00FF00;
    fill_disc(dot, 5, 5, 0);
    EXPECT_EQ(count_colour(dot, 0x00FF00), 0);
    EXPECT_EQ(count_colour(dot, kBlack), 1);
}

}  // namespace
}  // namespace hoopcast
