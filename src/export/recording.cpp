#include "export/recording.h"

#include "raster/picture.h"

namespace hoopcast {

bool compose_recording(DrawContext& ctx, const FrameSettings& settings, const PlaybackRecording& recording,
                       bool sketch, const RecordedFrameSink& sink) {
    const auto& frames = recording.frames;
    for (std::size_t k = 0; k < frames.size(); ++k) {
        const RecordedFrame& f = frames[k];
        const std::int64_t end = k + 1 < frames.size() ? frames[k + 1].time_ms : recording.end_ms;
        const auto picture = f.kind == FrameKind::Still
                                 ? compose_still_frame(ctx, settings, f.sequence, sketch)
                                 : compose_animation_frame(ctx, settings, f.sequence, f.step, f.steps, f.fraction);
        if (!sink(*picture, end - f.time_ms)) return false;
    }
    return true;
}

}  // namespace hoopcast
