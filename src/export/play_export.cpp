#include "export/play_export.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "drawings/context.h"
#include "drawings/lines.h"
#include "export/gif_writer.h"
#ifndef __EMSCRIPTEN__
#include "export/page.h"
#endif
#include "export/recording.h"
#include "export/staged_file.h"
#include "raster/fonts.h"
#include "raster/image_io.h"
#include "raster/picture.h"
#include "raster/render_cache.h"
#include "scene/frames.h"
#include "scene/mapping.h"

namespace hoopcast {

namespace {

ExportResult failed(const std::string& verb, const std::string& path, const std::string& error) {
    return {ExportOutcome::Failed, verb + " " + path + ": " + error};
}

ExportResult cannot_write(const std::string& path, const std::string& error) {
    return failed("cannot write", path, error);
}

// What the drawing of one export owns, from the fonts to the caches.
struct Drawing {
    explicit Drawing(const PlayModel& play, const ExportRequest& r)
        : settings{r.scale, r.screen_height, r.fonts ? r.fonts : &own_fonts.emplace(), &cache, &pool},
          ctx{play, defaults} {
        ctx.arcs = &arcs;
    }
    std::optional<raster::FontLibrary> own_fonts;
    raster::RenderCache cache;
    raster::PicturePool pool;
    ArcCache arcs;
    DisplayDefaults defaults;
    FrameSettings settings;
    DrawContext ctx;
};

ExportResult write_gif(const ExportRequest& r, Drawing& drawing, const PlaybackRecording& recording,
                       const ExportProgress& progress) {
    const PictureSize size = frame_picture_size(r.scale);
    std::string error;
    auto gif = GifWriter::create(r.path, size.width, size.height, error);
    if (!gif) return cannot_write(r.path, error);
    if (!r.frames_dir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(r.frames_dir, ec);
        if (ec) return failed("cannot create", r.frames_dir, ec.message());
    }

    const auto total = static_cast<std::int64_t>(recording.frames.size());
    std::optional<raster::Bitmap> previous;
    int written = 0;
    std::int64_t done = 0;
    ExportResult result;
    const bool all_written = compose_recording(
        drawing.ctx, drawing.settings, recording, r.sketch,
        [&](const raster::Picture& picture, std::int64_t duration_ms) {
            if (!gif->add_frame(picture.bitmap(), duration_ms)) {
                result = cannot_write(r.path, gif->error());
                return false;
            }
            const auto& bytes = picture.bitmap().bytes();
            if (!r.frames_dir.empty() && (!previous || !std::equal(previous->bytes().begin(),
                                                                   previous->bytes().end(), bytes.begin()))) {
                char name[32];
                std::snprintf(name, sizeof name, "frame_%05d.png", ++written);
                const std::string path = (std::filesystem::path(r.frames_dir) / name).string();
                if (const raster::ImageResult png = raster::write_png(picture.bitmap(), path); !png.ok) {
                    result = cannot_write(path, png.message);
                    return false;
                }
                previous = picture.bitmap();
            }
            return !progress || progress(++done, total);
        });
    if (!all_written) {
        if (result.outcome == ExportOutcome::Written) result.outcome = ExportOutcome::Cancelled;
        return result;
    }
    if (!gif->finish()) return cannot_write(r.path, gif->error());
    return result;
}

ExportResult write_video(const ExportRequest& r, Drawing& drawing, const PlaybackRecording& recording,
                         const ExportProgress& progress) {
    VideoSettings video = r.video;
    video.format = r.format == ExportFormat::WebM ? VideoFormat::WebM : VideoFormat::Mp4;
    std::string error;
    switch (write_recording_video(drawing.ctx, drawing.settings, recording, r.sketch, r.path, video, progress,
                                  error)) {
        case VideoOutcome::Written:
            return {};
        case VideoOutcome::Cancelled:
            return {ExportOutcome::Cancelled, {}};
        case VideoOutcome::Failed:
            break;
    }
    return cannot_write(r.path, error);
}

ExportResult write_png(const PlayModel& play, const ExportRequest& r, Drawing& drawing,
                       const ExportProgress& progress) {
    if (r.sequence < 1 || r.sequence > play.seq_count) {
        return {ExportOutcome::Failed, "the play has no sequence " + std::to_string(r.sequence)};
    }
    const auto picture = compose_still_frame(drawing.ctx, drawing.settings, r.sequence, r.sketch);
    const std::vector<std::uint8_t> png = raster::encode_png(picture->bitmap());
    if (png.empty()) return cannot_write(r.path, "the picture could not be encoded");
    if (std::string error; !write_staged(r.path, png, error)) return cannot_write(r.path, error);
    if (progress) progress(1, 1);
    return {};
}

}  // namespace

std::optional<ExportFormat> export_format_named(std::string_view name) noexcept {
    for (const ExportFormatName& f : kExportFormats) {
        const std::string_view known = f.name;
        if (name.size() == known.size() &&
            std::equal(name.begin(), name.end(), known.begin(),
                       [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; }))
            return f.format;
    }
    return std::nullopt;
}

std::string_view export_format_name(ExportFormat format) noexcept {
    for (const ExportFormatName& f : kExportFormats) {
        if (f.format == format) return f.name;
    }
    return {};
}

ExportResult export_play(const PlayModel& play, const ExportRequest& request,
                         const ExportProgress& progress) {
    Drawing drawing(play, request);
    if (request.format == ExportFormat::Png) return write_png(play, request, drawing, progress);
    if (request.format == ExportFormat::Html) {
#ifdef __EMSCRIPTEN__
        return {ExportOutcome::Failed, "web pages are written by the desktop program and hoopcast-cli"};
#else
        ExportResult result = write_play_page(play, request, drawing.ctx, drawing.settings);
        if (result.outcome == ExportOutcome::Written && progress) progress(1, 1);
        return result;
#endif
    }

    PlaybackSettings settings;
    settings.sketch = request.sketch;
    settings.loop = false;
    settings.speed_ms = request.speed_ms;
    PlaybackRecording recording = record_presentation(play, settings);
    add_holds(recording, std::clamp(request.hold_start_ms, 0, kMaxHoldMs),
              std::clamp(request.hold_end_ms, 0, kMaxHoldMs));
    if (request.format == ExportFormat::Gif) return write_gif(request, drawing, recording, progress);
    return write_video(request, drawing, recording, progress);
}

}  // namespace hoopcast
