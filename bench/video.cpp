// Export of a 20-sequence play to MP4, WebM and GIF at scales 1.0 and 2.86: "realtime_ratio"
// is how many times faster than playing it the export runs, "cpu_ratio" the same against the
// processor time of all its threads (the encoders run several; on a busy machine the two
// differ), "bytes" the file's size. And the cost of a 2.5 s still wait in a video against one
// frame.

#include <benchmark/benchmark.h>

#include <ctime>
#include <filesystem>
#include <string>

#include "busy_play.h"
#include "drawings/context.h"
#include "export/play_export.h"
#include "export/recording.h"
#include "export/video_writer.h"
#include "raster/fonts.h"
#include "scene/frames.h"

namespace hoopcast {
namespace {

enum Kind { kMp4, kWebM, kGif };

double process_seconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

const raster::FontLibrary& fonts() {
    static const raster::FontLibrary library;
    return library;
}

void BM_Share20Sequences(benchmark::State& state) {
    const auto kind = static_cast<Kind>(state.range(0));
    auto play = bench::busy_play(20);
    const char* ext = kind == kMp4 ? ".mp4" : kind == kWebM ? ".webm" : ".gif";
    ExportRequest request;
    request.format = kind == kMp4    ? ExportFormat::Mp4
                     : kind == kWebM ? ExportFormat::WebM
                                     : ExportFormat::Gif;
    request.path = (std::filesystem::temp_directory_path() / "hoopcast_bench_share").string() + ext;
    request.scale = static_cast<double>(state.range(1)) / 100.0;
    request.sketch = false;
    // With the opening and closing holds, or the play's frames alone.
    if (state.range(2) == 0) request.hold_start_ms = request.hold_end_ms = 0;
    PlaybackSettings settings;
    settings.sketch = false;
    const std::int64_t played_ms =
        record_presentation(*play, settings).end_ms + request.hold_start_ms + request.hold_end_ms;
    bool ok = true;
    const double cpu_start = process_seconds();
    // The whole export as the command line and the window run it, fonts and caches included.
    for (auto _ : state) {
        const ExportResult result = export_play(*play, request, nullptr);
        ok = result.outcome == ExportOutcome::Written;
        if (!ok) state.SkipWithError(result.message.c_str());
    }
    if (!ok) return;
    const double cpu = process_seconds() - cpu_start;
    state.counters["cpu_ratio"] =
        static_cast<double>(played_ms) / 1000.0 * static_cast<double>(state.iterations()) / cpu;
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(request.path));
    std::filesystem::remove(request.path);
    state.counters["played_ms"] = static_cast<double>(played_ms);
    state.counters["realtime_ratio"] =
        benchmark::Counter(static_cast<double>(played_ms) / 1000.0 * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}

// One picture held for `frames` MP4 frames: 1, or a Sketch wait of 2.5 s at 50 frames a second.
void BM_Mp4HeldPicture(benchmark::State& state) {
    const double scale = static_cast<double>(state.range(0)) / 100.0;
    const std::int64_t frames = state.range(1);
    auto play = bench::busy_play(1);
    DisplayDefaults defaults;
    DrawContext ctx{*play, defaults};
    const auto picture = compose_still_frame(ctx, FrameSettings{scale, 1080, &fonts()}, 1, true);
    const std::string path = (std::filesystem::temp_directory_path() / "hoopcast_bench_held.mp4").string();
    for (auto _ : state) {
        std::string error;
        auto writer = VideoWriter::create(path, picture->width(), picture->height(), VideoSettings{}, error);
        if (!writer || !writer->add_frames(picture->bitmap(), frames) || !writer->finish()) {
            state.SkipWithError(writer ? writer->error().c_str() : error.c_str());
            break;
        }
    }
    std::filesystem::remove(path);
}

BENCHMARK(BM_Share20Sequences)
    ->ArgsProduct({{kMp4, kWebM, kGif}, {100, 286}, {0, 1}})
    ->ArgNames({"format", "scale", "holds"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();
BENCHMARK(BM_Mp4HeldPicture)
    ->ArgsProduct({{100, 286}, {1, 125}})
    ->ArgNames({"scale", "frames"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace hoopcast
