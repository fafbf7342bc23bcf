// Cost of one court frame at the size of a large full-screen window.

#include <benchmark/benchmark.h>

#include <memory>

#include "drawings/context.h"
#include "drawings/courts.h"
#include "drawings/zones.h"
#include "play/model.h"
#include "play/rounding.h"
#include "raster/picture.h"

namespace {

using namespace hoopcast;

constexpr double kScale = 2.86;

void add(PlayModel& play, int slot, const char* kind, int x1, int y1, int x2, int y2, Colour colour) {
    element& e = play.item(1, slot);
    e.kind = kind;
    e.x1 = x1;
    e.y1 = y1;
    e.x2 = x2;
    e.y2 = y2;
    e.colour = colour;
}

std::unique_ptr<PlayModel> court_play(bool zones) {
    auto play = std::make_unique<PlayModel>();
    play->seq_count = 1;
    play->header(1).court_kind = 5;
    if (zones) {
        add(*play, 1, "ellipse", 100, 240, 190, 320, 0);
        add(*play, 2, "ellipse", 50, 40, 120, 110, 0xFF8040);
        add(*play, 3, "ellipse", 170, 150, 260, 220, 0x80FF80);
        add(*play, 4, "poly", 60, 150, 0, 0, 0);
        add(*play, 5, "poly", 140, 120, 0, 0, 0);
        add(*play, 6, "poly", 150, 200, 0, 0, 0);
        add(*play, 7, "ppoly", 70, 230, 0, 0, 0x2020E0);
        play->has_zones = true;
    }
    return play;
}

void court(benchmark::State& state, bool zones) {
    auto play = court_play(zones);
    DisplayDefaults defaults;
    DrawContext ctx{*play, defaults, false};
    raster::Picture picture(Round(289 * kScale), Round(361 * kScale));
    picture.canvas().pen.width = Trunc(kScale) + 1;
    for (auto _ : state) {
        draw_court(picture, ctx, 5, 1, kScale);
        benchmark::DoNotOptimize(picture.bitmap().bytes().data());
    }
    state.SetLabel(std::to_string(picture.width()) + "x" + std::to_string(picture.height()));
}

// The zones alone, tinting a plain picture: mask, zone shapes and the tint.
void BM_ZonesOnly(benchmark::State& state) {
    auto play = court_play(true);
    DisplayDefaults defaults;
    DrawContext ctx{*play, defaults, false};
    raster::Picture picture(Round(289 * kScale), Round(361 * kScale));
    for (auto _ : state) {
        draw_zones(picture, ctx, 1, kScale);
        benchmark::DoNotOptimize(picture.bitmap().bytes().data());
    }
}

void BM_ColouredFullCourtWithZones(benchmark::State& state) {
    court(state, true);
}
void BM_ColouredFullCourtWithoutZones(benchmark::State& state) {
    court(state, false);
}

}  // namespace

BENCHMARK(BM_ColouredFullCourtWithZones)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ColouredFullCourtWithoutZones)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZonesOnly)->Unit(benchmark::kMicrosecond);
