#include "export/recording.h"

#include <algorithm>

#include "play/model.h"
#include "raster/picture.h"

namespace hoopcast {

PlaybackRecording record_presentation(const PlayModel& model, const PlaybackSettings& settings) {
    PlaybackSettings presented = settings;
    presented.resume_at_sketch_stops = true;
    return record_playback(model, presented);
}

void add_holds(PlaybackRecording& recording, std::int64_t start_ms, std::int64_t end_ms) noexcept {
    start_ms = std::max<std::int64_t>(0, start_ms);
    for (std::size_t k = 1; k < recording.frames.size(); ++k) recording.frames[k].time_ms += start_ms;
    recording.end_ms += start_ms + std::max<std::int64_t>(0, end_ms);
}

std::unique_ptr<raster::Picture> compose_recorded_frame(DrawContext& ctx, const FrameSettings& settings,
                                                        const RecordedFrame& f, bool sketch) {
    return f.kind == FrameKind::Still
               ? compose_still_frame(ctx, settings, f.sequence, sketch)
               : compose_animation_frame(ctx, settings, f.sequence, f.step, f.steps, f.fraction);
}

bool compose_recording(DrawContext& ctx, const FrameSettings& settings, const PlaybackRecording& recording,
                       bool sketch, const RecordedFrameSink& sink) {
    const auto& frames = recording.frames;
    for (std::size_t k = 0; k < frames.size(); ++k) {
        const RecordedFrame& f = frames[k];
        const std::int64_t end = k + 1 < frames.size() ? frames[k + 1].time_ms : recording.end_ms;
        const auto picture = compose_recorded_frame(ctx, settings, f, sketch);
        if (!sink(*picture, end - f.time_ms)) return false;
    }
    return true;
}

std::vector<std::int64_t> video_frame_counts(const PlaybackRecording& recording, int fps) {
    const auto& frames = recording.frames;
    std::vector<std::int64_t> counts(frames.size(), 0);
    if (frames.empty() || fps <= 0) return counts;
    const std::int64_t total = std::max<std::int64_t>(1, (recording.end_ms * fps + 500) / 1000);
    // The first video frame at or after time t; the last frame is kept for the final picture.
    const auto first_at = [&](std::int64_t t) {
        return std::clamp<std::int64_t>((t * fps + 999) / 1000, 0, total - 1);
    };
    for (std::size_t k = 0; k < frames.size(); ++k) {
        const std::int64_t start = k == 0 ? 0 : first_at(frames[k].time_ms);
        const std::int64_t end = k + 1 < frames.size() ? first_at(frames[k + 1].time_ms) : total - 1;
        counts[k] = std::max<std::int64_t>(0, end - start);
    }
    counts.back() += 1;
    return counts;
}

bool same_picture(const RecordedFrame& a, const RecordedFrame& b) noexcept {
    if (a.kind != b.kind || a.sequence != b.sequence) return false;
    return a.kind == FrameKind::Still || (a.step == b.step && a.steps == b.steps && a.fraction == b.fraction);
}

}  // namespace hoopcast
