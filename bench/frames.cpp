// Frames of a busy play (a coloured full court with zones, 10 labelled players, 2 balls,
// 8 lines, 2 curves, 2 texts), each beside a memset of the frame's bytes and the same frame
// drawn with Cairo and with QPainter, and the export of a 20-sequence play against the time
// it takes to play. The run ends with a table of our times against the peers'.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "busy_play.h"
#include "drawings/context.h"
#include "drawings/lines.h"
#include "export/gif_writer.h"
#include "export/recording.h"
#include "peers.h"
#include "play/model.h"
#include "play/motion.h"
#include "play/steps.h"
#include "playback/virtual_clock.h"
#include "raster/fonts.h"
#include "raster/image_io.h"
#include "raster/picture.h"
#include "raster/render_cache.h"
#include "scene/frames.h"
#include "scene/mapping.h"

// Every allocation of this program is counted, so that the frame benchmarks can say how many
// a frame makes. operator new comes here through malloc.
namespace {
std::atomic<std::uint64_t> allocations{0};
}  // namespace

extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);

void* malloc(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}
void* realloc(void* p, std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(p, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_memalign(alignment, size);
}
}

namespace hoopcast {
namespace {

using bench::busy_play;

// Allocations per iteration of a benchmark loop, as a counter.
class AllocationCount {
  public:
    AllocationCount() : start_(allocations.load()) {}
    void report(benchmark::State& state) const {
        state.counters["allocs"] = benchmark::Counter(static_cast<double>(allocations.load() - start_),
                                                      benchmark::Counter::kAvgIterations);
    }

  private:
    std::uint64_t start_;
};

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

using PeerMaker = std::unique_ptr<bench::PeerImage> (*)(int, int, const std::string&);
const std::vector<std::pair<std::string, PeerMaker>>& peer_kinds() {
    static const std::vector<std::pair<std::string, PeerMaker>> kinds{{"cairo", bench::make_cairo_peer},
                                                                      {"qt", bench::make_qt_peer}};
    return kinds;
}

// The peers draw their text from the file our symbols' font resolves to.
const std::string& peer_font_file() {
    static const std::string file = fonts().face_file(raster::Font{});
    return file;
}

// With HOOPCAST_BENCH_PNG=DIR the frames measured here are written there once, to look at.
void write_pictures_once() {
    static bool done = false;
    const char* dir = std::getenv("HOOPCAST_BENCH_PNG");
    if (done || dir == nullptr) return;
    done = true;
    auto play = busy_play(2);
    DisplayDefaults defaults;
    FrameOwner owner;
    DrawContext ctx{*play, defaults, false, &owner.arcs};
    const StepPlan plan = step_plan(play->seq_path_length(1));
    for (const int hundredths : {100, 286}) {
        const double scale = hundredths / 100.0;
        const FrameSettings settings = owner.settings(scale);
        const std::string stem = std::string(dir) + "/ours-" + std::to_string(hundredths);
        raster::write_png(compose_still_frame(ctx, settings, 1, true)->bitmap(), stem + "-still.png");
        raster::write_png(
            compose_animation_frame(ctx, settings, 1, plan.steps / 2, plan.steps, plan.fraction)->bitmap(),
            stem + "-animation.png");
        const PictureSize size = frame_picture_size(scale);
        for (const auto& [name, make] : peer_kinds()) {
            auto peer = make(size.width, size.height, peer_font_file());
            for (const bool still : {true, false}) {
                bench::draw_peer_frame(peer->begin(true), scale, still, 0.5);
                peer->end();
                peer->write_png(std::string(dir) + "/" + name + "-" + std::to_string(hundredths) +
                                (still ? "-still.png" : "-animation.png"));
            }
        }
    }
}

void frame_bytes_counter(benchmark::State& state, double scale) {
    const PictureSize size = frame_picture_size(scale);
    state.counters["bytes"] = static_cast<double>(size.width) * size.height * 3;
}

// Our frames are drawn into a picture kept from frame to frame, as the window does; with
// range(1) 1, into a fresh picture each time, as the command line does.
void BM_StillFrame(benchmark::State& state) {
    write_pictures_once();
    const double scale = static_cast<double>(state.range(0)) / 100.0;
    auto play = busy_play(2);
    DisplayDefaults defaults;
    FrameOwner owner;
    DrawContext ctx{*play, defaults, false, &owner.arcs};
    const FrameSettings settings = owner.settings(scale);
    const auto kept = create_frame_picture(settings);
    compose_still_frame(*kept, ctx, settings, 1, true);  // what a first frame sets up
    const AllocationCount count;
    for (auto _ : state) {
        if (state.range(1) != 0) {
            auto picture = compose_still_frame(ctx, settings, 1, true);
            benchmark::DoNotOptimize(picture->bitmap().bytes().data());
        } else {
            compose_still_frame(*kept, ctx, settings, 1, true);
            benchmark::DoNotOptimize(kept->bitmap().bytes().data());
        }
    }
    count.report(state);
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
    const auto kept = create_frame_picture(settings);
    // What a first frame sets up.
    compose_animation_frame(*kept, ctx, settings, 1, 1, plan.steps, plan.fraction);
    int step = 2;
    const AllocationCount count;
    for (auto _ : state) {
        if (state.range(1) != 0) {
            auto picture = compose_animation_frame(ctx, settings, 1, step, plan.steps, plan.fraction);
            benchmark::DoNotOptimize(picture->bitmap().bytes().data());
        } else {
            compose_animation_frame(*kept, ctx, settings, 1, step, plan.steps, plan.fraction);
            benchmark::DoNotOptimize(kept->bitmap().bytes().data());
        }
        step = step >= plan.steps ? 2 : step + 1;
    }
    count.report(state);
    frame_bytes_counter(state, scale);
}

// A frame whose court is drawn rather than copied, as the first of a transition to a new
// court is (without the copy it then keeps): here nothing keeps the court.
void BM_AnimationFrameNewCourt(benchmark::State& state) {
    const double scale = static_cast<double>(state.range(0)) / 100.0;
    auto play = busy_play(2);
    DisplayDefaults defaults;
    FrameOwner owner;
    DrawContext ctx{*play, defaults, false, &owner.arcs};
    FrameSettings settings = owner.settings(scale);
    settings.cache = nullptr;
    const StepPlan plan = step_plan(play->seq_path_length(1));
    const auto kept = create_frame_picture(settings);
    for (auto _ : state) {
        compose_animation_frame(*kept, ctx, settings, 1, 1, plan.steps, plan.fraction);
        benchmark::DoNotOptimize(kept->bitmap().bytes().data());
    }
    frame_bytes_counter(state, scale);
}

// The busy frame drawn by a peer library; range(1) 1 makes a fresh image for every frame,
// 0 reuses one.
void BM_Peer(benchmark::State& state, std::size_t kind, bool still) {
    const double scale = static_cast<double>(state.range(0)) / 100.0;
    const bool fresh = state.range(1) != 0;
    const PictureSize size = frame_picture_size(scale);
    auto peer = peer_kinds()[kind].second(size.width, size.height, peer_font_file());
    int step = 0;
    for (auto _ : state) {
        bench::draw_peer_frame(peer->begin(fresh), scale, still, step / 20.0);
        peer->end();
        step = (step + 1) % 20;
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
    state.counters["realtime_ratio"] =
        benchmark::Counter(static_cast<double>(played_ms) / 1000.0 * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}

BENCHMARK(BM_StillFrame)->ArgsProduct({{100, 286}, {0, 1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AnimationFrame)->ArgsProduct({{100, 286}, {0, 1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AnimationFrameNewCourt)->Arg(100)->Arg(286)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Peer, CairoStill, 0, true)
    ->ArgsProduct({{100, 286}, {1, 0}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Peer, CairoAnimation, 0, false)
    ->ArgsProduct({{100, 286}, {1, 0}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Peer, QtStill, 1, true)
    ->ArgsProduct({{100, 286}, {1, 0}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Peer, QtAnimation, 1, false)
    ->ArgsProduct({{100, 286}, {1, 0}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemsetFrame)->Arg(100)->Arg(286)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Export20Sequences)->Unit(benchmark::kMillisecond)->Iterations(3);

// Prints the runs as usual and keeps each one's CPU time per iteration for the table.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                cpu_us_[run.benchmark_name()] =
                    run.cpu_accumulated_time * 1e6 / static_cast<double>(run.iterations);
    }

    // Ours against each peer's faster image (fresh or reused), frame by frame.
    void print_ratios(std::ostream& out) const {
        out << "\nCPU time per frame, us (peer: fastest of a fresh or a reused image)\n";
        out << "frame            ours    cairo       qt   ours/cairo  ours/qt  ours/faster\n";
        for (const char* frame : {"Still", "Animation"}) {
            for (const char* scale : {"100", "286"}) {
                const double ours = find(std::string("BM_") + frame + "Frame/" + scale + "/0");
                const double cairo = peer("Cairo", frame, scale), qt = peer("Qt", frame, scale);
                if (ours <= 0 || cairo <= 0 || qt <= 0) continue;
                char line[160];
                std::snprintf(line, sizeof line, "%-9s %4.2f %8.1f %8.1f %8.1f %12.3f %8.3f %12.3f\n", frame,
                              std::stod(scale) / 100, ours, cairo, qt, ours / cairo, ours / qt,
                              ours / std::min(cairo, qt));
                out << line;
            }
        }
    }

  private:
    double find(const std::string& name) const {
        const auto it = cpu_us_.find(name);
        return it == cpu_us_.end() ? 0 : it->second;
    }
    double peer(const std::string& kind, const std::string& frame, const std::string& scale) const {
        const std::string stem = "BM_Peer/" + kind + frame + "/" + scale + "/";
        const double fresh = find(stem + "1"), reused = find(stem + "0");
        if (fresh <= 0 || reused <= 0) return std::max(fresh, reused);
        return std::min(fresh, reused);
    }

    std::map<std::string, double> cpu_us_;
};

}  // namespace
}  // namespace hoopcast

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    hoopcast::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.print_ratios(std::cout);
    benchmark::Shutdown();
    return 0;
}
