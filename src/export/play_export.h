#pragma once
// One play written as a file to share, as the command line and the window both do it: the
// whole play played once as a presenter shows it (GIF, MP4, WebM), one sequence's still
// frame (PNG), or a web page with the play in it that any browser plays (HTML). Everything it draws with
// (fonts, caches, drawing context) is its own, so a worker thread may export while the window plays.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "export/video_writer.h"
#include "play/model.h"
#include "playback/host.h"

namespace hoopcast {

namespace raster {
class FontLibrary;
}

enum class ExportFormat { Gif, Mp4, WebM, Png, Html };

struct ExportFormatName {
    ExportFormat format;
    const char* name;  // as a file's extension (lower case, no dot) and --format say it
    bool whole_play;   // the play played through, rather than one sequence's picture
};

// Every format export_play writes: a file's format is looked up here by its extension.
inline constexpr ExportFormatName kExportFormats[] = {
    {ExportFormat::Gif, "gif", true},  {ExportFormat::Mp4, "mp4", true},   {ExportFormat::WebM, "webm", true},
    {ExportFormat::Png, "png", false}, {ExportFormat::Html, "html", true},
};

// The format that `name` (an extension or --format's value, in any case) names, if any.
std::optional<ExportFormat> export_format_named(std::string_view name) noexcept;
// The extension of `format`, without its dot.
std::string_view export_format_name(ExportFormat format) noexcept;

// How long an animation shows its opening picture before the play moves, and its final
// picture after, so that a viewer sees both: a video cannot be paused at them as the window is.
inline constexpr int kDefaultHoldStartMs = 1000;
inline constexpr int kDefaultHoldEndMs = 2500;
inline constexpr int kMaxHoldMs = 60000;

struct ExportRequest {
    ExportFormat format = ExportFormat::Gif;
    std::string path;
    double scale = 1.0;
    int screen_height = 1080;
    bool sketch = true;
    int speed_ms = kDefaultSpeedMs;
    // GIF and video: the holds of the opening and the final picture, 0 to kMaxHoldMs.
    int hold_start_ms = kDefaultHoldStartMs;
    int hold_end_ms = kDefaultHoldEndMs;
    // Video only; its format follows `format`.
    VideoSettings video;
    // PNG only: the sequence drawn.
    int sequence = 1;
    // GIF only: also each distinct frame as a PNG file in this folder, when not empty.
    std::string frames_dir;
    // Web page only: the play file the page holds, the page's title (UTF-8; empty: the file's
    // name without its extension) and its template (empty: find_page_template()'s).
    std::string play_file;
    std::string title;
    std::string page_template;
    // Fonts to draw with, for a caller that exports many plays on one thread; null loads the
    // export's own. Never shared with anything drawing at the same time.
    const raster::FontLibrary* fonts = nullptr;
};

enum class ExportOutcome { Written, Failed, Cancelled };

struct ExportResult {
    ExportOutcome outcome = ExportOutcome::Written;
    // On failure, what could not be done and why: "cannot write PATH: REASON".
    std::string message;
};

// Reports frames done of the total; returning false cancels. A GIF counts the play's
// frames, a video its video frames, a PNG its one picture.
using ExportProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

// Writes `play` as `request` says. A failed or cancelled export leaves no file behind, and a
// file already at the path stays whole until its replacement is complete.
ExportResult export_play(const PlayModel& play, const ExportRequest& request, const ExportProgress& progress);

}  // namespace hoopcast
