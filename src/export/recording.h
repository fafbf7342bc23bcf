#pragma once
// Turns a recorded playback into pictures, for the files a play is shared as.

#include <cstdint>
#include <functional>

#include "playback/virtual_clock.h"
#include "scene/frames.h"

namespace hoopcast {

// Composes the frames of a recorded playback in order and hands each picture to `sink` with
// the time it stays on screen; stops when the sink returns false. Returns whether all went.
using RecordedFrameSink = std::function<bool(const raster::Picture& picture, std::int64_t duration_ms)>;
bool compose_recording(DrawContext& ctx, const FrameSettings& settings, const PlaybackRecording& recording,
                       bool sketch, const RecordedFrameSink& sink);

}  // namespace hoopcast
