#pragma once
// Video output through FFmpeg's libraries: H.264 in MP4 (index at the front, so a download
// starts playing at once) and VP9 in WebM, at a constant frame rate. Frames come as pictures
// with the number of video frames each fills; a repeated picture is converted once.
//
// Nothing here is global but FFmpeg's log level (errors only), so a worker thread may write
// a video with its own drawing context and fonts while the window plays.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "playback/virtual_clock.h"
#include "raster/picture.h"
#include "scene/frames.h"

namespace hoopcast {

enum class VideoFormat { Mp4, WebM };

struct QualityRange {
    int best = 0;
    int worst = 0;
    int standard = 0;  // the default: a court's lines and labels stay crisp
};

// The encoder's own quality scale (constant rate factor) for each format.
QualityRange quality_range(VideoFormat format) noexcept;

struct VideoSettings {
    VideoFormat format = VideoFormat::Mp4;
    int fps = 50;  // the engine's 20 ms step
    // On the format's quality_range; below `best` means its standard.
    int quality = -1;
    // Lossless RGB (H.264 4:4:4 RGB in MP4, VP9 RGB in WebM): decoded frames are the pictures.
    // Otherwise 4:2:0, which every player takes; odd sizes are padded with the edge pixels.
    bool lossless = false;
    // The encoder by FFmpeg's name; empty for the format's own.
    std::string encoder;
};

class VideoWriter {
  public:
    ~VideoWriter();
    VideoWriter(const VideoWriter&) = delete;
    VideoWriter& operator=(const VideoWriter&) = delete;

    // Opens `path` for width x height pictures; null with `error` set on failure. The file
    // takes its name only when finish() succeeds; a writer destroyed before that removes it.
    static std::unique_ptr<VideoWriter> create(const std::string& path, int width, int height,
                                               const VideoSettings& settings, std::string& error);

    // Adds `count` frames showing `picture`. Pictures of another size are refused.
    bool add_frames(const raster::Bitmap& picture, std::int64_t count);

    // Writes what the encoder holds, closes the file and puts it in place.
    bool finish();

    const std::string& error() const noexcept { return error_; }

  private:
    struct Impl;
    explicit VideoWriter(std::unique_ptr<Impl> impl);
    bool fail(const std::string& what, int code);
    bool drain(bool flushing);

    std::unique_ptr<Impl> impl_;
    std::string error_;
};

// Reports frames done of the total; returning false cancels.
using VideoProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

enum class VideoOutcome { Written, Failed, Cancelled };

// Writes a recorded playback as a video at `path`: each recorded frame is drawn once, only if
// some video frame shows it, and fills the frames that show it. On failure `error` says why;
// a failed or cancelled export leaves no file.
VideoOutcome write_recording_video(DrawContext& ctx, const FrameSettings& frame_settings,
                                   const PlaybackRecording& recording, bool sketch, const std::string& path,
                                   const VideoSettings& settings, const VideoProgress& progress,
                                   std::string& error);

}  // namespace hoopcast
