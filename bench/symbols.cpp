// A sequence's worth of items at a large window's scale: ten labelled player symbols, two
// balls, eight straight lines of every kind, two curved lines and two texts, each time on a
// fresh picture.

#include <benchmark/benchmark.h>

#include <array>
#include <vector>

#include "drawings/context.h"
#include "drawings/curves.h"
#include "drawings/symbols.h"
#include "play/model.h"
#include "play/rounding.h"
#include "raster/fonts.h"
#include "raster/picture.h"

namespace {

using namespace hoopcast;

constexpr double kScale = 2.86;

struct Item {
    const char* kind;
    const char* text;
    int x1, y1, x2, y2;
    int extra1, extra2, extra3, number;
    Colour colour;
};

constexpr std::array<Item, 22> kItems{{
    {"Circle", "", 40, 40, 0, 0, 0, 0, 0, 1, 0},
    {"Circle", "PG", 90, 60, 0, 0, 0, 0, 0, 2, 0},
    {"Circle", "", 150, 50, 0, 0, 0, 0, 0, 3, 0x00FF00},
    {"Circle", "", 210, 80, 0, 0, 0, 0, 0, 4, 0},
    {"Circle", "C", 120, 150, 0, 0, 0, 0, 0, 5, 0},
    {"Triangle", "", 60, 220, 0, 0, 0, 0, 0, 1, 0},
    {"Triangle", "X2", 120, 240, 0, 0, 0, 0, 0, 2, 0},
    {"Triangle", "", 180, 220, 0, 0, 0, 0, 0, 3, 0},
    {"Triangle", "", 230, 260, 0, 0, 0, 0, 0, 4, 0},
    {"Triangle", "F", 150, 300, 0, 0, 0, 0, 0, 5, 0},
    {"Ball", "", 60, 60, 0, 0, 0, 0, 0, 0, 0},
    {"Ballf", "", 200, 200, 0, 0, 0, 0, 0, 0, 0},
    {"ploop", "", 50, 100, 120, 180, 0, 0, 0, 0, 0},
    {"ppass", "", 100, 70, 220, 120, 0, 0, 0, 0, 0},
    {"pdribbel", "", 210, 90, 150, 250, 0, 0, 0, 0, 0},
    {"pscreen", "", 30, 300, 90, 260, 0, 0, 0, 0, 0},
    {"shot", "", 150, 200, 144, 40, 0, 0, 0, 0, 0},
    {"loop", "", 240, 300, 260, 200, 0, 0, 0, 0, 0},
    {"pass", "", 20, 330, 270, 340, 0, 0, 0, 0, 0},
    {"dribbel", "", 260, 20, 260, 180, 0, 0, 0, 0, 0},
    {"Text", "Box out\r\nthen roll", 20, 10, 0, 0, 10, 0, 1, 0, 0},
    {"Text", "Press!", 200, 330, 0, 0, 12, 0, 0, 0, 0x0000FF},
}};

constexpr std::array<TPunt, 6> kCurveA{{{10, 150}, {30, 160}, {80, 140}, {120, 190}, {150, 260}, {180, 330}}};
constexpr std::array<TPunt, 5> kCurveB{{{250, 100}, {240, 130}, {190, 170}, {200, 230}, {210, 290}}};

// Draws items [first, last) of the table and, when asked, the two curves.
void draw_items(benchmark::State& state, std::size_t first, std::size_t last, bool curves) {
    PlayModel play;
    DisplayDefaults defaults;
    const DrawContext ctx{play, defaults, false};
    raster::FontLibrary fonts;
    for (auto _ : state) {
        // A fresh picture each time, as frames are drawn, made outside the timing.
        state.PauseTiming();
        raster::Picture picture(Round(289 * kScale), Round(361 * kScale), &fonts);
        state.ResumeTiming();
        for (std::size_t i = first; i < last; ++i) {
            const Item& it = kItems[i];
            picture.canvas().pen.width = Trunc(kScale) + 1;
            draw_element(picture, ctx,
                         {it.kind, it.text, "Arial", it.x1, it.y1, it.x2, it.y2, it.extra1, it.extra2,
                          it.extra3, it.number, it.colour},
                         kScale);
        }
        if (curves) {
            picture.canvas().pen.width = Trunc(kScale) + 1;
            draw_curved_line(picture, ctx, "ppass", kCurveA, {0, true, 0}, kScale);
            picture.canvas().pen.width = Trunc(kScale) + 1;
            draw_curved_line(picture, ctx, "pdribbel", kCurveB, {0, true, 0x00AA00}, kScale);
        }
        benchmark::DoNotOptimize(picture.bitmap().bytes().data());
    }
}

void BM_SequenceItems(benchmark::State& state) {
    draw_items(state, 0, kItems.size(), true);
}
void BM_PlayerSymbols(benchmark::State& state) {
    draw_items(state, 0, 10, false);
}
void BM_Balls(benchmark::State& state) {
    draw_items(state, 10, 12, false);
}
void BM_StraightLines(benchmark::State& state) {
    draw_items(state, 12, 20, false);
}
void BM_CurvedLines(benchmark::State& state) {
    draw_items(state, 0, 0, true);
}
void BM_Texts(benchmark::State& state) {
    draw_items(state, 20, 22, false);
}
BENCHMARK(BM_SequenceItems)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlayerSymbols)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Balls)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StraightLines)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CurvedLines)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Texts)->Unit(benchmark::kMicrosecond);

}  // namespace
