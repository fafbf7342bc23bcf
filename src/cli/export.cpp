// hoopcast-cli export: plays a whole play once through the playback engine on a simulated
// clock, from sequence 1 as Play does, and writes what a viewer would see as an animated GIF
// or a video; or writes the play as a web page that plays it in any browser.

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "cli/batch.h"
#include "cli/commands.h"
#include "cli/play_loading.h"
#include "cli/stop_signals.h"
#include "export/page.h"
#include "export/play_export.h"
#include "export/video_writer.h"
#include "play/codepage.h"
#include "raster/fonts.h"

namespace hoopcast::cli {

namespace {

struct ExportOptions {
    std::vector<std::string> files;
    std::string file;
    std::string output;
    int jobs = 0;
    bool in_batch = false;  // the batch shows the progress and takes the signals
    double scale = 1.0;
    int speed_ms = kDefaultSpeedMs;
    double hold_start_s = kDefaultHoldStartMs / 1000.0;
    double hold_end_s = kDefaultHoldEndMs / 1000.0;
    bool no_sketch = false;
    std::string frames_dir;
    int screen_height = 1080;
    std::string format;
    int fps = 50;
    int quality = -1;
    bool lossless = false;
    bool fps_given = false;
    bool quality_given = false;
    // The options of pictures and videos given, as the command line names them: a web page
    // takes none of them, its reader sets them in the page.
    std::vector<std::string> picture_options;
};

// A bar on stderr, redrawn in place, only when stderr is a terminal.
class Progress {
  public:
    Progress(std::size_t total, bool wanted)
        : total_(total), enabled_(wanted && ::isatty(STDERR_FILENO) == 1) {}
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

// The formats export writes: those of a whole play.
const std::vector<std::string_view>& whole_play_formats() {
    static const std::vector<std::string_view> formats = [] {
        std::vector<std::string_view> names;
        for (const ExportFormatName& f : kExportFormats) {
            if (f.whole_play) names.push_back(f.name);
        }
        return names;
    }();
    return formats;
}

// The format of the output, by its name and --format; nothing (and a message) when the name
// would not say what the file holds.
std::optional<ExportFormat> output_format(const ExportOptions& o, std::ostream& err) {
    const auto name = cli::output_format(o.output, {"export", whole_play_formats(), o.format, true}, err);
    if (!name) return std::nullopt;
    return export_format_named(*name);
}

int milliseconds(double seconds) {
    return static_cast<int>(std::lround(seconds * 1000));
}

// Faults of the options themselves, found before any play is read.
int check_options(const ExportOptions& o, std::ostream& err) {
    const std::optional<ExportFormat> format = output_format(o, err);
    if (!format) return kExitUsage;
    if (*format == ExportFormat::Html) {
        if (!o.picture_options.empty()) {
            std::string names;
            for (std::size_t i = 0; i < o.picture_options.size(); ++i) {
                const bool last = i + 1 == o.picture_options.size();
                names += (i == 0 ? "" : last ? " and " : ", ") + o.picture_options[i];
            }
            err << "hoopcast-cli: " << names << (o.picture_options.size() > 1 ? " are" : " is")
                << " for pictures and videos; a web page plays the play as its reader sets it\n";
            return kExitUsage;
        }
        // Before any play is read: without the template there is no page to write.
        if (!find_page_template()) {
            err << "hoopcast-cli: " << missing_page_template_message() << "\n";
            return kExitFile;
        }
    } else if (*format == ExportFormat::Gif) {
        if (o.fps_given || o.quality_given || o.lossless) {
            err << "hoopcast-cli: --fps, --quality and --lossless are for video; a GIF keeps the "
                   "play's own timing and colours\n";
            return kExitUsage;
        }
    } else {
        if (!o.frames_dir.empty()) {
            err << "hoopcast-cli: --frames is for GIF export\n";
            return kExitUsage;
        }
        const QualityRange range =
            quality_range(*format == ExportFormat::WebM ? VideoFormat::WebM : VideoFormat::Mp4);
        if (o.quality_given && (o.quality < range.best || o.quality > range.worst)) {
            err << "hoopcast-cli: --quality for " << export_format_name(*format) << " is " << range.best
                << " (best) to " << range.worst << "; " << range.standard << " if not given\n";
            return kExitUsage;
        }
    }
    return kExitOk;
}

int run_export(const ExportOptions& o, std::ostream& err, const raster::FontLibrary& fonts) {
    if (const int rc = check_options(o, err); rc != kExitOk) return rc;
    const ExportFormat format = *output_format(o, err);
    VideoSettings video;
    video.format = format == ExportFormat::WebM ? VideoFormat::WebM : VideoFormat::Mp4;
    video.fps = o.fps;
    video.quality = o.quality;
    video.lossless = o.lossless;

    LoadedPlay loaded;
    if (const int rc = load_play(o.file, loaded, err); rc != kExitOk) return rc;

    ExportRequest request;
    request.format = format;
    request.path = o.output;
    request.scale = o.scale;
    request.screen_height = o.screen_height;
    request.sketch = !o.no_sketch;
    request.speed_ms = o.speed_ms;
    request.hold_start_ms = milliseconds(o.hold_start_s);
    request.hold_end_ms = milliseconds(o.hold_end_s);
    request.video = video;
    request.frames_dir = o.frames_dir;
    request.fonts = &fonts;
    request.play_file = o.file;
    if (loaded.result.play_name) request.title = cp1252_to_utf8(*loaded.result.play_name);
    std::optional<StopOnSignals> stop;
    if (!o.in_batch) stop.emplace();
    std::optional<Progress> progress;
    const ExportResult result =
        export_play(*loaded.play, request, [&](std::int64_t done, std::int64_t total) {
            if (!progress) progress.emplace(static_cast<std::size_t>(total), !o.in_batch);
            progress->update(static_cast<std::size_t>(done));
            return !StopOnSignals::stopped();
        });
    if (result.outcome == ExportOutcome::Written) return kExitOk;
    if (result.outcome == ExportOutcome::Failed) err << "hoopcast-cli: " << result.message << "\n";
    return kExitFile;
}

// Several plays, or one into a folder: each play's export named after it, GIF unless
// --format says otherwise.
int run_export_batch(const ExportOptions& o) {
    ExportOptions each = o;
    each.in_batch = true;
    const std::string extension = "." + (o.format.empty() ? std::string("gif") : o.format);
    each.output = (std::filesystem::path(o.output) / ("play" + extension)).string();
    // Each play's options as one play's are checked, then what a batch adds.
    if (const int rc = check_options(each, std::cerr); rc != kExitOk) return rc;
    if (!o.frames_dir.empty()) {
        std::cerr << "hoopcast-cli: --frames is for a single play written to a file\n";
        return kExitUsage;
    }
    return run_batch({"export", o.files, o.output, extension, o.jobs}, [&each]() -> PlayTask {
        auto fonts = std::make_shared<raster::FontLibrary>();
        return [&each, fonts](const std::string& file, const std::string& output, std::ostream& err) {
            ExportOptions one = each;
            one.file = file;
            one.output = output;
            return run_export(one, err, *fonts);
        };
    });
}

}  // namespace

void add_export_command(CLI::App& app, int& status) {
    auto options = std::make_shared<ExportOptions>();
    CLI::App* cmd =
        app.add_subcommand("export",
                           "Play the whole play once and write it as an animated GIF or a video, or "
                           "write it as a web page that plays it");
    cmd->add_option("FILE", options->files, "Play files (.kqz)")->required();
    cmd->add_option(
           "-o,--output", options->output,
           "GIF, MP4, WebM or HTML file to write, by its extension; for several plays a folder (DIR/ "
           "is made if missing) that takes each as GIF or --format")
        ->required();
    add_jobs_option(*cmd, options->jobs);
    cmd->add_option("--format", options->format,
                    "gif, mp4, webm or html, for an output whose name says no format")
        ->check(CLI::IsMember(
            std::vector<std::string>(whole_play_formats().begin(), whole_play_formats().end())));
    add_scale_option(*cmd, options->scale, "Pixels per court unit (1.0: 289 x 361)");
    cmd->add_option("--speed", options->speed_ms, "Milliseconds per animation step")
        ->check(CLI::Range(kMinSpeedMs, kMaxSpeedMs));
    add_sketch_flags(*cmd, options->no_sketch);
    const std::string holds = "0-" + std::to_string(kMaxHoldMs / 1000) + " s";
    cmd->add_option("--hold-start", options->hold_start_s,
                    "Seconds the opening picture shows before the play moves (default 1, " + holds + ")")
        ->check(CLI::Range(0.0, kMaxHoldMs / 1000.0));
    cmd->add_option("--hold-end", options->hold_end_s,
                    "Seconds the final picture shows at the end (default 2.5, " + holds + ")")
        ->check(CLI::Range(0.0, kMaxHoldMs / 1000.0));
    cmd->add_option("--frames", options->frames_dir,
                    "Also write each distinct frame as PNG into this folder");
    add_screen_height_option(*cmd, options->screen_height);
    auto* fps = cmd->add_option("--fps", options->fps, "Video frames a second (default 50)")
                    ->check(CLI::Range(1, 240));
    auto* quality = cmd->add_option("--quality", options->quality,
                                    "Video encoder's quality: MP4 0-51, WebM 0-63, lower is better");
    cmd->add_flag("--lossless", options->lossless, "Video frames exactly as drawn (RGB)")->excludes(quality);
    cmd->callback([options, cmd, fps, quality, &status] {
        options->fps_given = fps->count() > 0;
        options->quality_given = quality->count() > 0;
        options->picture_options.clear();
        for (const char* name :
             {"--scale", "--speed", "--sketch", "--no-sketch", "--hold-start", "--hold-end", "--frames",
              "--screen-height", "--fps", "--quality", "--lossless"}) {
            if (cmd->get_option(name)->count() > 0) options->picture_options.emplace_back(name);
        }
        if (is_batch(options->files, options->output)) {
            status = run_export_batch(*options);
            return;
        }
        options->file = options->files.front();
        status = run_export(*options, std::cerr, raster::FontLibrary{});
    });
}

}  // namespace hoopcast::cli
