// hoopcast-cli export: plays a whole play once through the playback engine on a simulated
// clock, from sequence 1 as Play does, and writes what a viewer would see as an animated GIF
// or a video.

#include <unistd.h>

#include <csignal>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/commands.h"
#include "cli/play_loading.h"
#include "export/play_export.h"
#include "export/video_writer.h"

namespace hoopcast::cli {

namespace {

struct ExportOptions {
    std::string file;
    std::string output;
    double scale = 1.0;
    int speed_ms = kDefaultSpeedMs;
    bool sketch = true;
    bool no_sketch = false;
    std::string frames_dir;
    int screen_height = 1080;
    std::string format;
    int fps = 50;
    int quality = -1;
    bool lossless = false;
    bool fps_given = false;
    bool quality_given = false;
};

// A bar on stderr, redrawn in place, only when stderr is a terminal.
class Progress {
public:
    explicit Progress(std::size_t total) : total_(total), enabled_(::isatty(STDERR_FILENO) == 1) {}
    void update(std::size_t done) {
        if (!enabled_ || total_ == 0) return;
        const int percent = static_cast<int>(done * 100 / total_);
        if (percent == last_) return;
        last_ = percent;
        constexpr int kWidth = 40;
        const int filled = percent * kWidth / 100;
        std::fprintf(stderr, "\rexport [%.*s%*s] %3d%%", filled, "########################################",
                     kWidth - filled, "", percent);
        if (done == total_) std::fputc('\n', stderr);
        std::fflush(stderr);
    }

private:
    std::size_t total_;
    bool enabled_;
    int last_ = -1;
};

// An interrupt or a termination request stops an export at its next frame, through the
// writers' own cancelling, so that no partial file stays behind; then the signal takes its
// usual course.
volatile std::sig_atomic_t g_stop_signal = 0;

extern "C" void note_stop_signal(int signal) {
    g_stop_signal = signal;
}

class StopOnSignals {
public:
    StopOnSignals() {
        struct sigaction action {};
        action.sa_handler = note_stop_signal;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < std::size(kSignals); ++i) {
            sigaction(kSignals[i], &action, &previous_[i]);
            // A signal ignored before (a job started with nohup) stays ignored.
            if (previous_[i].sa_handler == SIG_IGN) sigaction(kSignals[i], &previous_[i], nullptr);
        }
    }
    ~StopOnSignals() {
        for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &previous_[i], nullptr);
        if (g_stop_signal != 0) std::raise(g_stop_signal);
    }
    StopOnSignals(const StopOnSignals&) = delete;
    StopOnSignals& operator=(const StopOnSignals&) = delete;

    static bool stopped() { return g_stop_signal != 0; }

private:
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction previous_[std::size(kSignals)] {};
};

// The format --format names, else the output's extension; empty when neither tells.
std::string output_format(const ExportOptions& o) {
    if (!o.format.empty()) return o.format;
    std::string ext = std::filesystem::path(o.output).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == ".gif" || ext == ".mp4" || ext == ".webm") return ext.substr(1);
    return {};
}

int run_export(const ExportOptions& o) {
    if (const int rc = check_scale(o.scale); rc != kExitOk) return rc;
    const std::string format = output_format(o);
    if (format.empty()) {
        std::cerr << "hoopcast-cli: cannot tell the format of " << o.output
                  << ": name it .gif, .mp4 or .webm, or give --format\n";
        return kExitUsage;
    }
    VideoSettings video;
    video.format = format == "webm" ? VideoFormat::WebM : VideoFormat::Mp4;
    video.fps = o.fps;
    video.quality = o.quality;
    video.lossless = o.lossless;
    if (format == "gif") {
        if (o.fps_given || o.quality_given || o.lossless) {
            std::cerr << "hoopcast-cli: --fps, --quality and --lossless are for video; a GIF keeps the "
                         "play's own timing and colours\n";
            return kExitUsage;
        }
    } else {
        if (!o.frames_dir.empty()) {
            std::cerr << "hoopcast-cli: --frames is for GIF export\n";
            return kExitUsage;
        }
        const QualityRange range = quality_range(video.format);
        if (o.quality_given && (o.quality < range.best || o.quality > range.worst)) {
            std::cerr << "hoopcast-cli: --quality for " << format << " is " << range.best << " (best) to "
                      << range.worst << "; " << range.standard << " if not given\n";
            return kExitUsage;
        }
    }

    LoadedPlay loaded;
    if (const int rc = load_play(o.file, loaded); rc != kExitOk) return rc;

    ExportRequest request;
    request.format = format == "gif"    ? ExportFormat::Gif
                     : format == "webm" ? ExportFormat::WebM
                                        : ExportFormat::Mp4;
    request.path = o.output;
    request.scale = o.scale;
    request.screen_height = o.screen_height;
    request.sketch = !o.no_sketch;
    request.speed_ms = o.speed_ms;
    request.video = video;
    request.frames_dir = o.frames_dir;
    const StopOnSignals stop;
    std::optional<Progress> progress;
    const ExportResult result =
        export_play(*loaded.play, request, [&](std::int64_t done, std::int64_t total) {
            if (!progress) progress.emplace(static_cast<std::size_t>(total));
            progress->update(static_cast<std::size_t>(done));
            return !StopOnSignals::stopped();
        });
    if (result.outcome == ExportOutcome::Written) return kExitOk;
    if (result.outcome == ExportOutcome::Failed) std::cerr << "hoopcast-cli: " << result.message << "\n";
    return kExitFile;
}

}  // namespace

void add_export_command(CLI::App& app, int& status) {
    auto options = std::make_shared<ExportOptions>();
    CLI::App* cmd =
        app.add_subcommand("export", "Play the whole play once and write it as an animated GIF or a video");
    cmd->add_option("FILE", options->file, "Play file (.kqz)")->required();
    cmd->add_option("-o,--output", options->output, "GIF, MP4 or WebM file to write, by its extension")
        ->required();
    cmd->add_option("--format", options->format, "gif, mp4 or webm, whatever the output's name")
        ->check(CLI::IsMember({"gif", "mp4", "webm"}));
    cmd->add_option("--scale", options->scale, "Pixels per court unit (1.0: 289 x 361)");
    cmd->add_option("--speed", options->speed_ms, "Milliseconds per animation step")
        ->check(CLI::Range(kMinSpeedMs, kMaxSpeedMs));
    auto* sketch = cmd->add_flag("--sketch", options->sketch, "Stop at still sequences and show lines (default)");
    cmd->add_flag("--no-sketch", options->no_sketch, "Animate straight through, symbols only")->excludes(sketch);
    cmd->add_option("--frames", options->frames_dir, "Also write each distinct frame as PNG into this folder");
    cmd->add_option("--screen-height", options->screen_height, "Screen height the court drawing assumes")
        ->check(CLI::Range(1, 100000));
    auto* fps = cmd->add_option("--fps", options->fps, "Video frames a second (default 50)")
                    ->check(CLI::Range(1, 240));
    auto* quality = cmd->add_option("--quality", options->quality,
                                    "Video encoder's quality: MP4 0-51, WebM 0-63, lower is better");
    cmd->add_flag("--lossless", options->lossless, "Video frames exactly as drawn (RGB)")->excludes(quality);
    cmd->callback([options, fps, quality, &status] {
        options->fps_given = fps->count() > 0;
        options->quality_given = quality->count() > 0;
        status = run_export(*options);
    });
}

}  // namespace hoopcast::cli
