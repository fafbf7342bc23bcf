#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "drawings/context.h"
#include "export/staged_file.h"
#include "play/model.h"
#include "play/reader.h"
#include "raster/fonts.h"
#include "raster/image_io.h"
#include "raster/picture.h"
#include "raster/reduce.h"
#include "scene/frames.h"
#include "scene/mapping.h"

namespace hoopcast::cli {

namespace {

// File managers hand every file in a folder to a thumbnailer, so a file far larger than any
// play is refused before it is read: the reader streams, but keeps every description whole,
// and a play's header followed by gigabytes of description would take minutes and gigabytes.
constexpr std::uintmax_t kMaxPlayBytes = 32u << 20;
constexpr int kMaxThumbnailSide = 1024;

struct ThumbnailCommand {
    std::string file;
    std::string out;
    int size = 256;
};

// file:// with every byte outside the unreserved set and '/' percent-encoded.
std::string file_uri(const std::filesystem::path& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const unsigned char c : path.string()) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
}

constexpr std::string_view kFormats[] = {"png"};

int run_thumbnail(const ThumbnailCommand& c) {
    // A file manager names the output as it likes (GNOME: ".gnome_desktop_thumbnail.XXXXXX"),
    // and a preview is PNG by the thumbnail standard: only a name that says otherwise is refused.
    if (!output_format(c.out, {"thumbnail", kFormats, "png"}, std::cerr)) return kExitUsage;
    struct stat st {};
    if (::stat(c.file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        std::cerr << "hoopcast-cli: " << c.file << ": not a readable file\n";
        return kExitFile;
    }
    if (static_cast<std::uintmax_t>(st.st_size) > kMaxPlayBytes) {
        std::cerr << "hoopcast-cli: " << c.file << ": too large for a play file\n";
        return kExitOutcome;
    }
    auto play = std::make_unique<PlayModel>();
    const ReadResult read = OpenPlay(*play, c.file);
    if (read.outcome != ReadOutcome::success || play->seq_count < 1) {
        std::cerr << "hoopcast-cli: " << (read.message.empty() ? c.file + ": no sequence" : read.message)
                  << '\n';
        return read.outcome == ReadOutcome::file_error ? kExitFile : kExitOutcome;
    }

    // Drawn at the scale whose longer side is the size asked for when that is larger than the
    // window's own; otherwise at the window's own and reduced by area averaging to that side.
    const PictureSize base = frame_picture_size(1.0);
    const int longer = std::max(base.width, base.height);
    const double scale = std::max(1.0, static_cast<double>(c.size) / longer);
    raster::FontLibrary fonts;
    DisplayDefaults defaults;
    DrawContext ctx{*play, defaults};
    const auto picture = compose_still_frame(ctx, FrameSettings{scale, 1080, &fonts}, 1, true);
    const raster::Bitmap& frame = picture->bitmap();
    const double shrink = static_cast<double>(c.size) / std::max(frame.width(), frame.height());
    const auto side = [&](int pixels) {
        return std::clamp(static_cast<int>(std::lround(pixels * shrink)), 1, std::min(pixels, c.size));
    };
    const raster::Bitmap thumb =
        shrink < 1 ? raster::reduce_area_average(frame, side(frame.width()), side(frame.height())) : frame;

    std::error_code ec;
    const auto absolute = std::filesystem::absolute(c.file, ec);
    const std::vector<std::uint8_t> png =
        raster::encode_png(thumb, {{"Thumb::URI", file_uri(absolute)},
                                   {"Thumb::MTime", std::to_string(static_cast<long long>(st.st_mtime))},
                                   {"Software", "hoopcast-cli"}});
    std::string error = "the picture could not be encoded";
    if (png.empty() || !write_staged(c.out, png, error)) {
        std::cerr << "hoopcast-cli: cannot write " << c.out << ": " << error << '\n';
        return kExitFile;
    }
    return kExitOk;
}

}  // namespace

void add_thumbnail_command(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("thumbnail",
                                   "Write a file manager's preview of a play: its first still frame as PNG");
    auto c = std::make_shared<ThumbnailCommand>();
    cmd->add_option("FILE", c->file, "play file (.kqz)")->required();
    cmd->add_option("OUT", c->out, "output file (.png)")->required();
    cmd->add_option("--size", c->size, "Longer side in pixels (default 256)")
        ->check(CLI::Range(1, kMaxThumbnailSide));
    cmd->callback([&status, c] { status = run_thumbnail(*c); });
}

}  // namespace hoopcast::cli
