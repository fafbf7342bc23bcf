// Frames of a busy play (a coloured full court with zones, 10 labelled players, 2 balls,
// 8 lines, 2 curves, 2 texts), each beside a memset of the frame's bytes, and the export of
// a 20-sequence play against the time it takes to play.

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "drawings/context.h"
#include "play/model.h"
#include "play/motion.h"
#include "play/steps.h"
#include "playback/virtual_clock.h"
#include "raster/fonts.h"
#include "export/gif_writer.h"
#include "export/recording.h"
#include "raster/picture.h"
#include "scene/frames.h"
#include "scene/mapping.h"

namespace hoopcast {
namespace {

element& put(PlayModel& play, int s, int i, const char* kind, int x1, int y1, int x2 = 0, int y2 = 0) {
    element& e = play.item(s, i);
    e.kind = kind;
    e.x1 = x1;
    e.y1 = y1;
    e.x2 = x2;
    e.y2 = y2;
    e.motion = 0;
    e.taken = aline(kind) || e.kind == "Text";
    return e;
}

// Sequence s of a busy play; `shift` moves the players so that sequences animate.
void busy_sequence(PlayModel& play, int s, int shift) {
    play.header(s).court_kind = 5;
    int i = 1;
    put(play, s, i++, "Court", 0, 0).number = 5;
    const char* kinds[] = {"Circle", "Triangle"};
    for (int k = 0; k < 10; ++k) {
        element& e = put(play, s, i++, kinds[k % 2], 60 + (k % 5) * 35 + shift, 40 + (k / 5) * 120 + shift);
        e.number = k / 2 + 1;
        e.text = k % 3 == 0 ? "G" : "";
    }
    put(play, s, i++, "Ball", 100 + shift, 90).number = 1;
    put(play, s, i++, "Ballf", 180, 200 + shift).number = 2;
    const char* lines[] = {"ploop", "ppass", "pdribbel", "pscreen", "shot", "ppass", "ploop", "pdribbel"};
    for (int k = 0; k < 8; ++k) put(play, s, i++, lines[k], 60 + k * 20, 300, 80 + k * 20, 230);
    put(play, s, i++, "loop", 60, 60, 120, 90).extra2 = 1;
    put(play, s, i++, "ploop", 120, 90, 200, 60);
    put(play, s, i++, "pass", 200, 300, 150, 250).extra2 = 1;
    put(play, s, i++, "ppass", 150, 250, 100, 320);
    element& t1 = put(play, s, i++, "Text", 150, 20);
    t1.text = "Press!\r\nTrap the corner";
    t1.extra1 = 12;
    element& t2 = put(play, s, i++, "Text", 60, 330);
    t2.text = "Rotate";
    t2.extra1 = 10;
    put(play, s, i++, "ellipse", 60, 30, 120, 80);
    put(play, s, i++, "ellipse", 170, 280, 230, 340);
    put(play, s, i++, "ellipse", 120, 160, 170, 200);
    put(play, s, i++, "poly", 50, 150);
    put(play, s, i++, "poly", 240, 150);
    put(play, s, i++, "ppoly", 145, 220).colour = 0x0000FF;
    play.has_zones = true;
}

std::unique_ptr<PlayModel> busy_play(int sequences) {
    auto play = std::make_unique<PlayModel>();
    play->seq_count = sequences;
    for (int s = 1; s <= sequences; ++s) busy_sequence(*play, s, (s % 2) * 30);
    get_players(*play);
    return play;
}

const raster::FontLibrary& fonts() {
    static const raster::FontLibrary library;
    return library;
}

void frame_bytes_counter(benchmark::State& state, double scale) {
    const PictureSize size = frame_picture_size(scale);
    state.counters["bytes"] = static_cast<double>(size.width) * size.height * 3;
}

void BM_StillFrame(benchmark::State& state) {
    const double scale = static_cast<double>(state.range(0)) / 100.0;
    auto play = busy_play(2);
    DisplayDefaults defaults;
    DrawContext ctx{*play, defaults};
    const FrameSettings settings{scale, 1080, &fonts()};
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
    DrawContext ctx{*play, defaults};
    const FrameSettings settings{scale, 1080, &fonts()};
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
        DrawContext ctx{*play, defaults};
        const FrameSettings frame_settings{1.0, 1080, &fonts()};
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
