#include <CLI/CLI.hpp>
#include <cmath>
#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "drawings/context.h"
#include "drawings/courts.h"
#include "play/model.h"
#include "play/reader.h"
#include "play/rounding.h"
#include "raster/image_io.h"
#include "raster/picture.h"

namespace hoopcast::cli {

namespace {

struct RenderOptions {
    std::string file;
    int seq = 0;
    double scale = 1.0;
    bool sketch = true;
    int screen_height = 1080;
    std::string out;
};

bool ends_with(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The still frame of one sequence: for now the court with its zones.
int render(const RenderOptions& o) {
    if (!std::isfinite(o.scale) || o.scale <= 0) {
        std::cerr << "hoopcast-cli: --scale must be a number above 0\n";
        return kExitUsage;
    }
    const int width = Round(289 * o.scale);
    const int height = Round(361 * o.scale);
    if (width < 1 || height < 1 || width > raster::kMaxPictureSide || height > raster::kMaxPictureSide) {
        std::cerr << "hoopcast-cli: --scale " << o.scale << " gives a picture of " << width << " x " << height
                  << " pixels; sides must lie within 1.." << raster::kMaxPictureSide << "\n";
        return kExitUsage;
    }

    auto play = std::make_unique<PlayModel>();
    const ReadResult r = OpenPlay(*play, o.file);
    if (r.outcome == ReadOutcome::file_error) {
        std::cerr << "hoopcast-cli: " << r.message << '\n';
        return kExitFile;
    }
    if (r.outcome != ReadOutcome::success) {
        std::cerr << "hoopcast-cli: " << r.message << '\n';
        return kExitOutcome;
    }
    if (o.seq < 1 || o.seq > play->seq_count) {
        std::cerr << "hoopcast-cli: --seq " << o.seq << " is not a sequence of this play (1.."
                  << play->seq_count << ")\n";
        return kExitUsage;
    }

    DisplayDefaults defaults;
    DrawContext ctx{*play, defaults, false};
    raster::Picture picture(width, height);
    picture.canvas().screen_height = o.screen_height;
    if (o.scale > 1.1) picture.canvas().pen.width = Trunc(o.scale) + 1;
    draw_court(picture, ctx, play->header(o.seq).court_kind, o.seq, o.scale);

    const raster::ImageResult written = ends_with(o.out, ".ppm") ? raster::write_ppm(picture.bitmap(), o.out)
                                                                 : raster::write_png(picture.bitmap(), o.out);
    if (!written.ok) {
        std::cerr << "hoopcast-cli: " << written.message << '\n';
        return kExitFile;
    }
    return kExitOk;
}

}  // namespace

void add_render_command(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("render", "Draw the still frame of one sequence as PNG (or PPM for .ppm)");
    auto o = std::make_shared<RenderOptions>();
    cmd->add_option("FILE", o->file, "play file (.kqz)")->required();
    cmd->add_option("--seq", o->seq, "sequence number, from 1")->required();
    cmd->add_option("--scale", o->scale, "pixels per court unit (default 1.0)");
    cmd->add_flag("--sketch,!--no-sketch", o->sketch, "Sketch mode (default on)");
    cmd->add_option("--screen-height", o->screen_height, "screen height in pixels (default 1080)");
    cmd->add_option("-o", o->out, "output file")->required();
    cmd->callback([&status, o] { status = render(*o); });
}

}  // namespace hoopcast::cli
