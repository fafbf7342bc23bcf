// Areas as runs of pixels: what a fill covers, and painting one area but for another.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

#include "pixel_sets.h"
#include "raster/picture.h"
#include "raster/runs.h"

namespace hoopcast::raster {
namespace {

using testing::inked;
using testing::pixels_of;
using testing::PixelSet;

TEST(RunShapes, RunsAreWhatTheBrushOfTheCanvasCallCovers) {
    // A rectangle's brush lies strictly inside its outline, whichever way its corners come.
    for (auto [a, b] : {std::pair{Point{3, 4}, Point{15, 11}}, {Point{15, 11}, Point{3, 4}}}) {
        Picture p(20, 20);
        p.canvas().brush.colour = kRed;
        p.canvas().rectangle(a.x, a.y, b.x, b.y);
        EXPECT_EQ(pixels_of(rectangle_runs(a, b)), inked(p.bitmap(), kRed));
        EXPECT_EQ(pixels_of(rectangle_runs(a, b)).size(), 10u * 5u);
    }
    EXPECT_TRUE(rectangle_runs({3, 3}, {5, 9}).empty()) << "too narrow to have an inside";

    // A polygon's brush fills by the alternate rule; its outline is drawn over part of it.
    const Point star[] = {{20, 1}, {31, 37}, {2, 14}, {38, 14}, {9, 37}, {20, 1}};
    Picture p(40, 40);
    p.canvas().brush.colour = kRed;
    p.canvas().polygon(star);
    const PixelSet runs = pixels_of(polygon_runs(star));
    const PixelSet red = inked(p.bitmap(), kRed), black = inked(p.bitmap(), kBlack);
    for (const auto& px : red) EXPECT_TRUE(runs.count(px)) << px.first << "," << px.second;
    for (const auto& px : runs) EXPECT_TRUE(red.count(px) || black.count(px)) << px.first << "," << px.second;
    EXPECT_FALSE(runs.count({20, 20})) << "the middle of the star lies inside twice";
}

// Random runs over a small bitmap, reaching past its edges, overlapping and touching.
std::vector<RowSpan> random_runs(std::mt19937& random, int count) {
    auto next = [&random](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    std::vector<RowSpan> runs;
    for (int i = 0; i < count; ++i) {
        const int x0 = next(-4, 22);
        runs.push_back({next(-2, 17), x0, x0 + next(0, 9)});
    }
    std::sort(runs.begin(), runs.end(),
              [](const RowSpan& a, const RowSpan& b) { return a.y != b.y ? a.y < b.y : a.x0 < b.x0; });
    return runs;
}

TEST(FillExcept, PaintsExactlyTheAreaLessTheExceptedPixels) {
    std::mt19937 random(99);
    auto next = [&random](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int round = 0; round < 300; ++round) {
        RunSet except;
        except.add(random_runs(random, next(0, 12)));
        const PixelSet left_out = pixels_of(except.runs());
        auto expect = [&](const Bitmap& b, const PixelSet& area, const char* what) {
            for (int y = 0; y < b.height(); ++y)
                for (int x = 0; x < b.width(); ++x) {
                    const bool painted = area.count({x, y}) && !left_out.count({x, y});
                    ASSERT_EQ(b.pixel(x, y), painted ? kLime : kWhite) << what << " round " << round;
                }
        };

        const std::vector<RowSpan> runs = random_runs(random, next(0, 12));
        Bitmap by_runs(18, 15);
        fill_runs_except(by_runs, runs, kLime, except);
        expect(by_runs, pixels_of(runs), "runs");

        const Rect box{next(-3, 10), next(-3, 10), next(5, 22), next(5, 19)};
        PixelSet in_box;
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x) in_box.insert({x, y});
        Bitmap by_box(18, 15);
        fill_rect_except(by_box, box, kLime, except);
        expect(by_box, in_box, "box");
    }
    Bitmap all(6, 4);
    fill_runs(all, std::vector<RowSpan>{{1, -3, 2}, {3, 4, 40}}, kLime);
    EXPECT_EQ(inked(all, kLime), (PixelSet{{0, 1}, {1, 1}, {2, 1}, {4, 3}, {5, 3}}));
}

TEST(FillExcept, BoxAroundAHoleClipsTheHoleToTheBox) {
    Bitmap b(12, 10);
    fill_rect_except(b, {1, 1, 11, 9}, {4, -5, 7, 5}, kLime);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool in_box = x >= 1 && x < 11 && y >= 1 && y < 9;
            const bool in_hole = x >= 4 && x < 7 && y < 5;
            EXPECT_EQ(b.pixel(x, y), in_box && !in_hole ? kLime : kWhite) << x << "," << y;
        }
    Bitmap whole(12, 10);
    fill_rect_except(whole, {1, 1, 11, 9}, {}, kLime);
    EXPECT_EQ(inked(whole, kLime).size(), 80u) << "an empty hole leaves the whole box";
}

TEST(FindRuns, RunsOfAColourOrOfAllOthersWhateverBytesTheNeighboursShare) {
    // Red's bytes (0, 0, 255) hold black's bytes out of step with the pixels, and a long
    // stretch of one colour spans several words.
    Bitmap b(40, 2);
    for (int x = 0; x < 40; ++x) b.set_pixel(x, 0, kRed);
    for (int x : {3, 4, 17, 39}) b.set_pixel(x, 0, kBlack);
    b.set_pixel(5, 1, 0x010000);  // black but for one byte
    RunSet black, others, within;
    find_runs(b, kBlack, true, {0, 0, 40, 2}, black);
    find_runs(b, kBlack, false, {0, 0, 40, 1}, others);
    auto rows = [](const RunSet& set) {
        std::vector<std::vector<int>> out;
        for (const RowSpan& r : set.runs()) out.push_back({r.y, r.x0, r.x1});
        return out;
    };
    EXPECT_EQ(rows(black), (std::vector<std::vector<int>>{{0, 3, 4}, {0, 17, 17}, {0, 39, 39}}));
    EXPECT_EQ(rows(others), (std::vector<std::vector<int>>{{0, 0, 2}, {0, 5, 16}, {0, 18, 38}}));
    const RowSpan parts[] = {{0, 2, 10}, {0, 30, 45}, {1, 0, 39}};
    find_runs(b, kRed, true, {0, 0, 38, 2}, parts, within);
    EXPECT_EQ(rows(within), (std::vector<std::vector<int>>{{0, 2, 2}, {0, 5, 10}, {0, 30, 37}}))
        << "only within the given runs and the box";
}

TEST(RunFlood, ReachesWhatTheCanvasFloodFillPaintsAndMissesTheRest) {
    std::mt19937 random(7);
    auto next = [&random](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    RunFlood flood;
    for (int round = 0; round < 200; ++round) {
        // Outlines of rectangles and ellipses, some open, over grey and white.
        Picture p(24, 20);
        Canvas& c = p.canvas();
        c.brush.colour = 0x7F7F7F;
        c.brush.style = next(0, 1) ? BrushStyle::solid : BrushStyle::clear;
        for (int k = next(1, 3); k > 0; --k) {
            const int x = next(-3, 20), y = next(-3, 16);
            if (next(0, 1))
                c.ellipse(x, y, x + next(1, 14), y + next(1, 12));
            else
                c.rectangle(x, y, x + next(1, 14), y + next(1, 12));
        }
        const int sx = next(-1, 24), sy = next(-1, 20);
        RunSet reached, missed;
        flood.reach(p.bitmap(), sx, sy, kBlack, &reached, &missed);

        Picture filled(24, 20);
        filled.bitmap() = p.bitmap();
        filled.canvas().brush.colour = kLime;
        filled.canvas().flood_fill(sx, sy, kBlack);
        ASSERT_EQ(pixels_of(reached.runs()), inked(filled.bitmap(), kLime)) << "round " << round;
        PixelSet open = pixels_of(reached.runs());
        for (const auto& px : pixels_of(missed.runs()))
            ASSERT_TRUE(open.insert(px).second) << "round " << round;
        PixelSet not_black;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 24; ++x)
                if (p.bitmap().pixel(x, y) != kBlack) not_black.insert({x, y});
        ASSERT_EQ(open, not_black) << "round " << round;
    }
}

}  // namespace
}  // namespace hoopcast::raster
