// Where there are no FFmpeg libraries (the browser), videos are not written: GIF and PNG
// exports go on as everywhere else.

#include "export/video_writer.h"

namespace hoopcast {

VideoOutcome write_recording_video(DrawContext&, const FrameSettings&, const PlaybackRecording&, bool,
                                   const std::string&, const VideoSettings&, const VideoProgress&,
                                   std::string& error) {
    error = "videos are written by the desktop program and hoopcast-cli";
    return VideoOutcome::Failed;
}

}  // namespace hoopcast
