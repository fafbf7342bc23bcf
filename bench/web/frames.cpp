// bench_frames' busy frame drawn in WebAssembly: the still and the animation frame at scales
// 1.00 and 2.86, each into a picture kept from frame to frame, as the browser viewer draws
// them. Prints one line per case, "still 1.00 123.4", the median over five rounds of the
// microseconds a frame takes; bench/web.sh sets them beside bench_frames' own.

#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "busy_play.h"
#include "drawings/context.h"
#include "drawings/lines.h"
#include "raster/fonts.h"
#include "raster/picture.h"
#include "raster/render_cache.h"
#include "scene/frames.h"
#include "scene/mapping.h"

namespace {

using namespace hoopcast;

// Calls `frame` for `ms` milliseconds; returns how many calls that was.
template <typename Frame>
int run_for(double ms, Frame frame) {
    const double start = emscripten_get_now();
    int frames = 0;
    for (; emscripten_get_now() - start < ms; ++frames) frame();
    return frames;
}

// The median over five rounds of 200 ms each of the microseconds one call of `frame` takes,
// after half a second of frames that gives the engine time to compile the code they run at
// its best (as a playing page soon has it).
template <typename Frame>
double median_us(Frame frame) {
    run_for(500, frame);
    std::vector<double> rounds;
    for (int round = 0; round < 5; ++round) rounds.push_back(200.0 * 1000 / run_for(200, frame));
    std::sort(rounds.begin(), rounds.end());
    return rounds[2];
}

}  // namespace

int main() {
    const raster::FontLibrary fonts;
    const auto play = bench::busy_play(2);
    DisplayDefaults defaults;
    const StepPlan plan = step_plan(play->seq_path_length(1));
    for (const bool still : {true, false}) {
        for (const double scale : {1.0, 2.86}) {
            raster::RenderCache cache;
            raster::PicturePool pool;
            ArcCache arcs;
            DrawContext ctx{*play, defaults, false, &arcs};
            const FrameSettings settings{scale, 1080, &fonts, &cache, &pool};
            const auto kept = create_frame_picture(settings);
            int step = 2;
            const double us = median_us([&] {
                if (still) {
                    compose_still_frame(*kept, ctx, settings, 1, true);
                } else {
                    compose_animation_frame(*kept, ctx, settings, 1, step, plan.steps, plan.fraction);
                    step = step >= plan.steps ? 2 : step + 1;
                }
            });
            std::printf("%s %.2f %.1f\n", still ? "still" : "animation", scale, us);
        }
    }
    std::printf("done\n");
    return 0;
}
