#pragma once
// Turns a recorded playback into pictures, for the files a play is shared as.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "playback/virtual_clock.h"
#include "scene/frames.h"

namespace hoopcast {

// The whole play once, as a presenter shows it: Play pressed on sequence 1, and at each
// Sketch stop before the end a wait as long as the engine's Sketch pause, then Play again.
// Without Sketch stops (or with Loop, which resumes by itself) this is record_playback.
PlaybackRecording record_presentation(const PlayModel& model, const PlaybackSettings& settings);

// Holds the opening picture `start_ms` longer before Play takes effect, and the final one
// `end_ms` longer: every later frame comes `start_ms` later. Nothing more is drawn.
void add_holds(PlaybackRecording& recording, std::int64_t start_ms, std::int64_t end_ms) noexcept;

// The picture of one recorded frame.
std::unique_ptr<raster::Picture> compose_recorded_frame(DrawContext& ctx, const FrameSettings& settings,
                                                        const RecordedFrame& frame, bool sketch);

// Composes the frames of a recorded playback in order and hands each picture to `sink` with
// the time it stays on screen; stops when the sink returns false. Returns whether all went.
using RecordedFrameSink = std::function<bool(const raster::Picture& picture, std::int64_t duration_ms)>;
bool compose_recording(DrawContext& ctx, const FrameSettings& settings, const PlaybackRecording& recording,
                       bool sketch, const RecordedFrameSink& sink);

// How many frames of a video at `fps` frames a second show each recorded frame. Frame n shows
// what is on screen at n / fps seconds, except the last, which shows the final picture; the
// video lasts the playing time rounded to whole frames, and at least one frame.
std::vector<std::int64_t> video_frame_counts(const PlaybackRecording& recording, int fps);

// Whether two recorded frames draw the same picture.
bool same_picture(const RecordedFrame& a, const RecordedFrame& b) noexcept;

}  // namespace hoopcast
