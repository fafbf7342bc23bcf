// The pixel rules of lines, wide pens, polygons, ellipses and arcs, checked on small cases
// whose pixels can be worked out by hand.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "pixel_sets.h"
#include "raster/picture.h"
#include "raster/rasterizer.h"

namespace hoopcast::raster {
namespace {

using testing::inked;
using testing::PixelSet;

PixelSet line_pixels(Point from, Point to, int w = 24, int h = 24) {
    Picture p(w, h);
    p.canvas().move_to(from.x, from.y);
    p.canvas().line_to(to.x, to.y);
    return inked(p.bitmap());
}

TEST(ThinLine, TiesStepEarlyOnlyInOctantsThreeFiveSixAndEight) {
    // (0,0)-(4,2) passes exactly between two pixels at x = 1 and x = 3.
    EXPECT_EQ(line_pixels({2, 2}, {6, 4}), (PixelSet{{2, 2}, {3, 2}, {4, 3}, {5, 3}}));  // octant 1: late
    EXPECT_EQ(line_pixels({6, 4}, {2, 2}), (PixelSet{{6, 4}, {5, 3}, {4, 3}, {3, 2}}));  // octant 5: early
    EXPECT_EQ(line_pixels({6, 2}, {2, 4}), (PixelSet{{6, 2}, {5, 2}, {4, 3}, {3, 3}}));  // octant 4: late
    EXPECT_EQ(line_pixels({2, 4}, {6, 2}), (PixelSet{{2, 4}, {3, 3}, {4, 3}, {5, 2}}));  // octant 8: early
    // The same in the steep octants.
    EXPECT_EQ(line_pixels({2, 2}, {4, 6}), (PixelSet{{2, 2}, {2, 3}, {3, 4}, {3, 5}}));  // octant 2: late
    EXPECT_EQ(line_pixels({4, 2}, {2, 6}), (PixelSet{{4, 2}, {3, 3}, {3, 4}, {2, 5}}));  // octant 3: early
}

TEST(ThinLine, ALineToANeighbourIsItsFirstPixel) {
    // Arcs with a thin pen rely on it to plot their outline pixel by pixel.
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            const PixelSet drawn = line_pixels({5, 5}, {5 + dx, 5 + dy}, 10, 10);
            EXPECT_EQ(drawn, (dx == 0 && dy == 0 ? PixelSet{} : PixelSet{{5, 5}})) << dx << "," << dy;
        }
    }
}

TEST(ThinLine, ClippingKeepsThePixelsOfTheWholeLine) {
    // A line mostly outside the bitmap picks the same pixels as when it fits.
    Picture big(200, 200);
    big.canvas().move_to(10, 17);
    big.canvas().line_to(190, 83);
    Picture small(60, 60);
    small.canvas().move_to(10 - 70, 17 - 30);
    small.canvas().line_to(190 - 70, 83 - 30);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(small.canvas().pixel(x, y), big.canvas().pixel(x + 70, y + 30)) << x << "," << y;
}

// Each pixel of a thin line is the nearest to the ideal line on its step, ties going by the
// octant rule; checked pixel by pixel for random lines, short and long, from far outside.
TEST(ThinLine, EveryStepTakesTheNearestPixel) {
    __extension__ typedef __int128 i128;
    std::mt19937 random(2026);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int round = 0; round < 300; ++round) {
        const int reach = round % 4 == 0 ? 2000000000 : 90;
        const Point a{pick(-reach, reach), pick(-reach, reach)};
        const Point b{round % 3 == 0 ? pick(0, 60) : pick(-reach, reach), pick(-reach, reach)};
        const PixelSet drawn = line_pixels(a, b, 60, 60);
        PixelSet expected;
        const long long dx = static_cast<long long>(b.x) - a.x, dy = static_cast<long long>(b.y) - a.y;
        const bool x_major = std::llabs(dx) >= std::llabs(dy);
        const bool early = x_major ? dy < 0 : dx < 0;
        const long long major = x_major ? std::llabs(dx) : std::llabs(dy);
        const long long minor = x_major ? std::llabs(dy) : std::llabs(dx);
        const long long start = x_major ? a.x : a.y;
        const bool backward = (x_major ? dx : dy) < 0;
        // Only the steps whose major coordinate lies on the picture.
        const long long t0 = std::max(0LL, backward ? start - 59 : -start);
        const long long t1 = std::min(major - 1, backward ? start : 59 - start);
        for (long long t = t0; t <= t1; ++t) {
            const long long along = start + (backward ? -t : t);
            const i128 num = i128{2} * t * minor + major - (early ? 0 : 1);
            const long long off = static_cast<long long>(num / (2 * major));  // num >= 0
            const long long across = (x_major ? a.y : a.x) + ((x_major ? dy : dx) < 0 ? -off : off);
            if (across < 0 || across >= 60) continue;
            expected.insert(x_major ? std::pair<int, int>{static_cast<int>(along), static_cast<int>(across)}
                                    : std::pair<int, int>{static_cast<int>(across), static_cast<int>(along)});
        }
        ASSERT_EQ(drawn, expected) << a.x << "," << a.y << " to " << b.x << "," << b.y;
    }
}

TEST(ThinLine, ChainsDrawEachVertexOnceAndLeaveTheLastPointOut) {
    Picture p(12, 12);
    Canvas& c = p.canvas();
    const Point path[] = {{1, 1}, {6, 1}, {6, 6}, {1, 6}};
    c.polyline(path);
    EXPECT_EQ(c.pixel(6, 1), kBlack);
    EXPECT_EQ(c.pixel(6, 6), kBlack);
    EXPECT_EQ(c.pixel(1, 6), kWhite);
    EXPECT_EQ(inked(p.bitmap()).size(), 15u);
    EXPECT_EQ(c.position(), (Point{0, 0}));  // polyline leaves the current position alone
}

TEST(WidePen, EvenWidthsPutTheExtraPixelTowardsTheTopLeft) {
    Picture p(20, 20);
    Canvas& c = p.canvas();
    c.pen.width = 2;
    c.move_to(5, 10);
    c.line_to(14, 10);
    // Rows 9 and 10, columns 4..14 (round caps of a 2 x 2 dot at each end).
    EXPECT_EQ(c.pixel(8, 9), kBlack);
    EXPECT_EQ(c.pixel(8, 10), kBlack);
    EXPECT_EQ(c.pixel(8, 11), kWhite);
    EXPECT_EQ(c.pixel(4, 10), kBlack);
    EXPECT_EQ(c.pixel(14, 10), kBlack);
    EXPECT_EQ(c.pixel(15, 10), kWhite);
}

TEST(WidePen, ASegmentAndItsReverseCoverTheSamePixels) {
    for (int width : {2, 3, 5, 8}) {
        Picture a(60, 60), b(60, 60);
        a.canvas().pen.width = b.canvas().pen.width = width;
        a.canvas().move_to(7, 41);
        a.canvas().line_to(52, 13);
        b.canvas().move_to(52, 13);
        b.canvas().line_to(7, 41);
        EXPECT_EQ(inked(a.bitmap()), inked(b.bitmap())) << "width " << width;
    }
}

TEST(WidePen, ZeroLengthLeavesARoundDotOfThePenWidth) {
    Picture p(30, 30);
    Canvas& c = p.canvas();
    c.pen.width = 7;
    c.move_to(15, 15);
    c.line_to(15, 15);
    const PixelSet dot = inked(p.bitmap());
    // Seven across the middle row and column, corners cut.
    EXPECT_TRUE(dot.count({12, 15}) && dot.count({18, 15}) && dot.count({15, 12}) && dot.count({15, 18}));
    EXPECT_FALSE(dot.count({12, 12}) || dot.count({18, 18}));
    EXPECT_FALSE(dot.count({11, 15}) || dot.count({19, 15}));
}

TEST(Polygon, AlternateFillLeavesTheCentreOfAStarEmpty) {
    Picture p(60, 60);
    Canvas& c = p.canvas();
    c.pen.colour = kBlack;
    c.brush.colour = kRed;
    const Point star[] = {{30, 2}, {47, 55}, {3, 22}, {57, 22}, {13, 55}};
    c.polygon(star);
    EXPECT_EQ(c.pixel(30, 32), kWhite);  // inside two windings: even, so unfilled
    EXPECT_EQ(c.pixel(30, 12), kRed);    // a point of the star
}

// The alternate rule pixel by pixel: a pixel is inside when an odd number of edges cross its
// row (top end counted, bottom end not) at or left of its centre, crossings exact.
PixelSet alternate_by_pixels(const std::vector<detail::Point64>& points, int w, int h) {
    PixelSet inside;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int crossings = 0;
            for (std::size_t i = 0; i < points.size(); ++i) {
                const detail::Point64 a = points[i], b = points[(i + 1) % points.size()];
                if (y < std::min(a.y, b.y) || y >= std::max(a.y, b.y)) continue;
                // Crossing at or left of x: a.x + (y - a.y)(b.x - a.x)/(b.y - a.y) <= x.
                const std::int64_t num = (y - a.y) * (b.x - a.x), den = b.y - a.y;
                crossings += den > 0 ? num <= (x - a.x) * den : num >= (x - a.x) * den;
            }
            if (crossings % 2 == 1) inside.insert({x, y});
        }
    }
    return inside;
}

TEST(Polygon, AlternateFillAgreesWithThePixelByPixelRule) {
    // Random polygons, and convex ones and rounded half circles on a base as court areas
    // are, partly outside the bitmap too.
    std::mt19937 random(4242);
    auto next = [&random](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    constexpr int kSide = 40;
    for (int round = 0; round < 600; ++round) {
        std::vector<detail::Point64> points;
        const int shape = round % 3;
        if (shape == 0) {
            const int n = next(3, 9);
            for (int i = 0; i < n; ++i) points.push_back({next(-8, kSide + 8), next(-8, kSide + 8)});
        } else {
            const double cx = next(0, kSide), cy = next(0, kSide), r = next(1, 30), turn = next(0, 359);
            const int steps = shape == 1 ? next(3, 12) : 180;
            const double sweep = shape == 1 ? 360.0 : 180.0;
            for (int i = 0; i < steps; ++i) {
                const double a = (turn + sweep * i / steps) * 3.14159265358979 / 180;
                const detail::Point64 q{std::llround(cx + r * std::cos(a)),
                                        std::llround(cy + r * std::sin(a))};
                if (points.empty() || q.x != points.back().x || q.y != points.back().y) points.push_back(q);
            }
            if (shape == 2) points.push_back({next(-5, kSide + 5), next(-5, kSide + 5)});
        }
        Bitmap b(kSide, kSide);
        detail::fill_polygon_alternate(b, points, kBlack);
        const PixelSet expected = alternate_by_pixels(points, kSide, kSide);
        ASSERT_EQ(inked(b), expected) << "round " << round;
        // The unclipped spans, clipped here, are the same pixels.
        std::vector<RowSpan> spans;
        detail::polygon_spans(points, spans);
        PixelSet from_spans;
        for (const RowSpan& r : spans)
            for (int x = r.x0; x <= r.x1; ++x)
                if (x >= 0 && x < kSide && r.y >= 0 && r.y < kSide) from_spans.insert({x, r.y});
        ASSERT_EQ(from_spans, expected) << "round " << round;
    }
}

TEST(Polygon, EveryVertexIsDrawnSoItCoversOneMoreRowAndColumnThanRectangle) {
    Picture p(20, 20), r(20, 20);
    const Point box[] = {{2, 2}, {10, 2}, {10, 10}, {2, 10}};
    p.canvas().polygon(box);
    r.canvas().rectangle(2, 2, 10, 10);
    EXPECT_EQ(p.canvas().pixel(10, 10), kBlack);
    EXPECT_EQ(r.canvas().pixel(10, 10), kWhite);
    EXPECT_EQ(r.canvas().pixel(9, 9), kBlack);
    // Two points draw the segment with both its ends; one point draws nothing.
    Picture two(20, 20);
    const Point seg[] = {{3, 3}, {9, 3}};
    two.canvas().polygon(seg);
    EXPECT_EQ(inked(two.bitmap()).size(), 7u);
    Picture one(20, 20);
    const Point pt[] = {{3, 3}};
    one.canvas().polygon(pt);
    EXPECT_TRUE(inked(one.bitmap()).empty());
}

TEST(Ellipse, BoxesTwoPixelsAcrossOrLessAreRectangles) {
    Picture e(20, 20), r(20, 20);
    e.canvas().ellipse(3, 3, 5, 12);
    r.canvas().rectangle(3, 3, 5, 12);
    EXPECT_EQ(inked(e.bitmap()), inked(r.bitmap()));
}

TEST(Ellipse, OddCircleIsTheMidpointCircle) {
    // A 13 x 13 box holds the circle of radius 6 around (8, 8).
    Picture p(20, 20);
    p.canvas().brush.style = BrushStyle::clear;
    p.canvas().ellipse(2, 2, 15, 15);
    const PixelSet s = inked(p.bitmap());
    const int quadrant[][2] = {{0, 6}, {1, 6}, {2, 6}, {3, 5}, {4, 4}, {5, 3}, {6, 2}, {6, 1}, {6, 0}};
    PixelSet expected;
    for (auto [dx, dy] : quadrant)
        for (int sx : {-1, 1})
            for (int sy : {-1, 1}) expected.insert({8 + sx * dx, 8 + sy * dy});
    EXPECT_EQ(s, expected);
}

TEST(Ellipse, TallBoxIsNotTheMirrorOfTheWideOne) {
    // Columns settle ties outward and rows inward: the 7 x 5 box keeps two pixels beside the
    // middle of each side, the 5 x 7 box only one beside the middle of its top and bottom.
    Picture wide(10, 10), tall(10, 10);
    wide.canvas().brush.style = BrushStyle::clear;
    tall.canvas().brush.style = BrushStyle::clear;
    wide.canvas().ellipse(1, 1, 8, 6);
    tall.canvas().ellipse(1, 1, 6, 8);
    const PixelSet w = inked(wide.bitmap()), t = inked(tall.bitmap());
    EXPECT_EQ(w, (PixelSet{{3, 1},
                           {4, 1},
                           {5, 1},
                           {1, 2},
                           {2, 2},
                           {6, 2},
                           {7, 2},
                           {1, 3},
                           {7, 3},
                           {1, 4},
                           {2, 4},
                           {6, 4},
                           {7, 4},
                           {3, 5},
                           {4, 5},
                           {5, 5}}));
    EXPECT_EQ(
        t,
        (PixelSet{
            {3, 1}, {2, 2}, {4, 2}, {1, 3}, {5, 3}, {1, 4}, {5, 4}, {1, 5}, {5, 5}, {2, 6}, {4, 6}, {3, 7}}));
}

TEST(Ellipse, BrushFillsEverythingInsideTheOutline) {
    Picture p(40, 40);
    Canvas& c = p.canvas();
    c.brush.colour = kRed;
    c.ellipse(3, 5, 36, 30);
    // Scan each row: pen, then only brush, then pen.
    for (int y = 6; y < 29; ++y) {
        int first = -1, last = -1;
        for (int x = 0; x < 40; ++x) {
            if (c.pixel(x, y) != kBlack) continue;
            if (first < 0) first = x;
            last = x;
        }
        for (int x = first + 1; x < last; ++x) {
            if (c.pixel(x, y) != kBlack) {
                ASSERT_EQ(c.pixel(x, y), kRed) << x << "," << y;
            }
        }
    }
}

TEST(Arc, RunsCounterClockwiseAndLeavesTheRestOfTheEllipse) {
    Picture p(60, 60);
    Canvas& c = p.canvas();
    // From the ray to the right round over the top to the ray to the left: the upper half.
    c.arc(5, 5, 55, 55, 60, 30, 0, 30);
    int upper = 0, lower = 0;
    for (auto [x, y] : inked(p.bitmap())) (y < 30 ? upper : lower) += 1;
    EXPECT_GT(upper, 60);
    EXPECT_EQ(lower, 0);
    // The same rays the other way round give the lower half.
    Picture q(60, 60);
    q.canvas().arc(5, 5, 55, 55, 0, 31, 60, 31);
    upper = lower = 0;
    for (auto [x, y] : inked(q.bitmap())) (y < 30 ? upper : lower) += 1;
    EXPECT_EQ(upper, 0);
    EXPECT_GT(lower, 60);
    EXPECT_EQ(c.position(), (Point{0, 0}));
}

TEST(Arc, EndsCountWholePixelOffsetsFromTheMiddle) {
    // Box 8..71 x 8..59 (even both ways), rays along the axes from its centre (40, 34). Both
    // middle pixels of a side count as lying on the axis, so the exact angles do not decide.
    Picture p(80, 68);
    Canvas& c = p.canvas();
    c.arc(8, 8, 72, 60, 90, 34, 40, -16);  // 0 to 90 degrees
    const PixelSet upper = inked(p.bitmap());
    // Starts on the upper of the two middle pixels of the right side; of the top row it
    // stops short of both middle pixels and of the one right of them, the path's end.
    EXPECT_TRUE(upper.count({71, 33}));
    EXPECT_FALSE(upper.count({71, 34}));
    EXPECT_TRUE(upper.count({42, 8}));
    EXPECT_FALSE(upper.count({41, 8}));
    Picture q(80, 68);
    q.canvas().arc(8, 8, 72, 60, -10, 34, 40, 84);  // 180 to 270 degrees
    const PixelSet lower = inked(q.bitmap());
    // Starts on the upper middle pixel of the left side, before the ray; ends after the left
    // middle pixel of the bottom row.
    EXPECT_TRUE(lower.count({8, 33}));
    EXPECT_FALSE(lower.count({8, 32}));
    EXPECT_TRUE(lower.count({39, 59}));
    EXPECT_FALSE(lower.count({40, 59}));
}

TEST(Arc, SameStartAndEndRayDrawTheWholeEllipse) {
    Picture a(60, 60), e(60, 60);
    a.canvas().arc(5, 5, 50, 40, 60, 10, 60, 10);
    e.canvas().brush.style = BrushStyle::clear;
    e.canvas().ellipse(5, 5, 50, 40);
    const PixelSet arc = inked(a.bitmap()), whole = inked(e.bitmap());
    // All of it but the one pixel where the path ends.
    EXPECT_EQ(arc.size() + 1, whole.size());
    for (const auto& px : arc) EXPECT_TRUE(whole.count(px));
}

// Wide paths stamp each pen width's dot as one span per row, worked out once. That is only
// the dot itself while every row of the dot is one run; a change to the ellipse rule that
// opened a gap would show here, at widths the pictures use and beyond.
TEST(RoundDot, StampCoversExactlyTheDotsPixelsAtEveryWidth) {
    for (int w = 2; w <= 96; ++w) {
        Bitmap drawn(2 * w + 8, 2 * w + 8), stamped(2 * w + 8, 2 * w + 8);
        const detail::Point64 centre{w + 3, w + 4};
        detail::round_dot(drawn, centre, w, kBlack);
        detail::DotStamp(w).stamp(stamped, centre, kBlack);
        ASSERT_EQ(inked(drawn), inked(stamped)) << "width " << w;
    }
}

// A canvas keeps the dots of the widths it drew with; drawing after many widths, and again
// at an early one, gives what a fresh canvas gives.
TEST(RoundDot, CanvasDotCacheGivesTheSameLinesAsAFreshCanvas) {
    Picture used(120, 120);
    for (int w = 2; w <= 45; ++w) {
        used.canvas().pen.width = w;
        used.canvas().move_to(60, 60);
        used.canvas().line_to(61, 60);
    }
    used.bitmap().fill(kWhite);
    Picture fresh(120, 120);
    for (Picture* p : {&used, &fresh}) {
        Canvas& c = p->canvas();
        c.pen.width = 7;
        c.move_to(10, 10);
        c.line_to(100, 37);
        c.pen.width = 3;
        c.ellipse(20, 30, 90, 110);
    }
    EXPECT_EQ(inked(used.bitmap()), inked(fresh.bitmap()));
}

// A long wide path collects the pixels of its dots and short bodies before painting them;
// it must cover exactly what its segments drawn one by one cover, near and across the edges
// of the picture, open and closed, with short and long steps.
TEST(WidePen, PathCoversWhatItsSegmentsCoverOneByOne) {
    std::mt19937 random(81226);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int round = 0; round < 200; ++round) {
        std::vector<Point> points(static_cast<std::size_t>(pick(4, 40)));
        const int step = round % 3 == 0 ? 40 : 4;
        Point p{pick(-20, 100), pick(-20, 80)};
        for (Point& q : points) {
            q = p;
            p = {p.x + pick(-step, step), p.y + pick(-step, step)};
        }
        const int width = pick(2, round % 10 == 0 ? 40 : 9);
        const bool closed = round % 2 == 0;
        Picture path(90, 70), segments(90, 70);
        path.canvas().pen.width = segments.canvas().pen.width = width;
        path.canvas().brush.style = BrushStyle::clear;
        if (closed) {
            path.canvas().polygon(points);
        } else {
            path.canvas().polyline(points);
        }
        const std::size_t ends = closed ? points.size() : points.size() - 1;
        for (std::size_t i = 0; i < ends; ++i) {
            segments.canvas().move_to(points[i].x, points[i].y);
            const Point& q = points[(i + 1) % points.size()];
            segments.canvas().line_to(q.x, q.y);
        }
        ASSERT_EQ(inked(path.bitmap()), inked(segments.bitmap())) << "round " << round << " width " << width;
    }
}

}  // namespace
}  // namespace hoopcast::raster
