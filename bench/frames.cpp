// Frames of a busy play (a coloured full court with zones, 10 labelled players, 2 balls,
// 8 lines, 2 curves, 2 texts), each beside a memset of the frame's bytes, and the export of
// a 20-sequence play against the time it takes to play.

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "busy_play.h"
#include "drawings/context.h"
#include "drawings/lines.h"
#include "play/model.h"
#include "play/motion.h"
#include "play/steps.h"
#include "playback/virtual_clock.h"
#include "raster/fonts.h"
#include "export/gif_writer.h"
#include "export/recording.h"
#include "raster/picture.h"
#include "raster/render_cache.h"
#include "scene/frames.h"
#include "scene/mapping.h"

namespace hoopcast {
namespace {

using bench::busy_play;

const raster::FontLibrary& fonts() {
    static const raster::FontLibrary library;
    return library;
}

// What a window or an exporter keeps from frame to frame.
struct FrameOwner {
    raster::RenderCache cache;
    raster::PicturePool pool;
    ArcCache arcs;
    FrameSettings settings(double scale) { return FrameSettings{scale, 1080, &fonts(), &cache, &pool}; }
};

void frame_bytes_counter(benchmark::State& state, double scale) {
    const PictureSize size = frame_picture_size(scale);
    state.counters["bytes"] = static_cast<double>(size.width) * size.height * 3;
}

void BM_StillFrame(benchmark::State& state) {
    const double scale = static_cast<double>(state.range(0)) / 100.0;
    auto play = busy_play(2);
    DisplayDefaults defaults;
    FrameOwner owner;
    DrawContext ctx{*play, defaults, false, &owner.arcs};
    const FrameSettings settings = owner.settings(scale);
    for (auto _ : state) {
        auto picture = compose_still_frame(ctx, settings, 1, true);
        benchmark::DoNotOptimize(picture->bitmap().bytes().data());
    }
    frame_bytes_counter(state, scale);
}

void BM_AnimationFrame(benchmark::State& state) {
    const double scale = static_cast<double>(state.range(0)) / 100.0;
    auto play = busy_play(2);
    DisplayDefaults defaults;
    FrameOwner owner;
    DrawContext ctx{*play, defaults, false, &owner.arcs};
    const FrameSettings settings = owner.settings(scale);
    const StepPlan plan = step_plan(play->seq_path_length(1));
    int step = 2;
    for (auto _ : state) {
        auto picture = compose_animation_frame(ctx, settings, 1, step, plan.steps, plan.fraction);
        benchmark::DoNotOptimize(picture->bitmap().bytes().data());
        step = step >= plan.steps ? 2 : step + 1;
    }
    frame_bytes_counter(state, scale);
}

// What merely touching a frame's bytes costs, for comparison.
void BM_MemsetFrame(benchmark::State& state) {
    const double scale = static_cast<double>(state.range(0)) / 100.0;
    const PictureSize size = frame_picture_size(scale);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size.width) * size.height * 3);
    for (auto _ : state) {
        std::memset(bytes.data(), 0xFF, bytes.size());
        benchmark::DoNotOptimize(bytes.data());
        benchmark::ClobberMemory();
    }
    frame_bytes_counter(state, scale);
}

// The export of a 20-sequence play at scale 1.0; "realtime_ratio" is how many times faster
// than playing it the export runs.
void BM_Export20Sequences(benchmark::State& state) {
    auto play = busy_play(20);
    const std::string path = (std::filesystem::temp_directory_path() / "hoopcast_bench_export.gif").string();
    std::int64_t played_ms = 0;
    for (auto _ : state) {
        PlaybackSettings settings;
        settings.sketch = false;
        const PlaybackRecording recording = record_playback(*play, settings);
        played_ms = recording.end_ms;
        DisplayDefaults defaults;
        FrameOwner owner;
        DrawContext ctx{*play, defaults, false, &owner.arcs};
        const FrameSettings frame_settings = owner.settings(1.0);
        std::string error;
        auto gif = GifWriter::create(path, 289, 361, error);
        compose_recording(ctx, frame_settings, recording, false,
                          [&](const raster::Picture& picture, std::int64_t duration_ms) {
                              return gif->add_frame(picture.bitmap(), duration_ms);
                          });
        gif->finish();
    }
    std::filesystem::remove(path);
    state.counters["played_ms"] = static_cast<double>(played_ms);
    state.counters["realtime_ratio"] = benchmark::Counter(static_cast<double>(played_ms) / 1000.0 *
                                                          static_cast<double>(state.iterations()),
                                                          benchmark::Counter::kIsRate);
}

BENCHMARK(BM_StillFrame)->Arg(100)->Arg(286)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AnimationFrame)->Arg(100)->Arg(286)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemsetFrame)->Arg(100)->Arg(286)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Export20Sequences)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace hoopcast
