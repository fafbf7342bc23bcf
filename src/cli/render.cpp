#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "cli/commands.h"
#include "cli/play_loading.h"
#include "drawings/context.h"
#include "raster/fonts.h"
#include "raster/image_io.h"
#include "raster/picture.h"
#include "scene/frames.h"

namespace hoopcast::cli {

namespace {

struct RenderOptions {
    std::vector<std::string> files;
    int seq = 0;
    double scale = 1.0;
    bool sketch = true;
    int screen_height = 1080;
    std::string out;
    int jobs = 0;
};

bool ends_with(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The still frame of one sequence, exactly as the window composes it.
int render(const RenderOptions& o, const std::string& file, const std::string& out, std::ostream& err,
           const raster::FontLibrary& fonts) {
    if (const int rc = check_scale(o.scale, err); rc != kExitOk) return rc;
    LoadedPlay loaded;
    if (const int rc = load_play(file, loaded, err); rc != kExitOk) return rc;
    if (const int rc = check_sequence(loaded, o.seq, err); rc != kExitOk) return rc;

    DisplayDefaults defaults;
    DrawContext ctx{*loaded.play, defaults};
    const FrameSettings settings{o.scale, o.screen_height, &fonts};
    const auto picture = compose_still_frame(ctx, settings, o.seq, o.sketch);

    const raster::ImageResult written = ends_with(out, ".ppm") ? raster::write_ppm(picture->bitmap(), out)
                                                               : raster::write_png(picture->bitmap(), out);
    if (!written.ok) {
        err << "hoopcast-cli: " << written.message << '\n';
        return kExitFile;
    }
    return kExitOk;
}

int run_render(const RenderOptions& o) {
    if (!is_batch(o.files, o.out)) return render(o, o.files.front(), o.out, std::cerr, raster::FontLibrary{});
    if (const int rc = check_scale(o.scale); rc != kExitOk) return rc;
    return run_batch({"render", o.files, o.out, ".png", o.jobs}, [&o]() -> PlayTask {
        auto fonts = std::make_shared<raster::FontLibrary>();
        return [&o, fonts](const std::string& file, const std::string& out, std::ostream& err) {
            return render(o, file, out, err, *fonts);
        };
    });
}

}  // namespace

void add_render_command(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand(
        "render",
        "Draw the still frame of one sequence as PNG (or PPM for .ppm); of several plays into a folder");
    auto o = std::make_shared<RenderOptions>();
    cmd->add_option("FILE", o->files, "play files (.kqz)")->required();
    cmd->add_option("--seq", o->seq, "sequence number, from 1")->required();
    cmd->add_option("--scale", o->scale, "pixels per court unit (default 1.0)");
    cmd->add_flag("--sketch,!--no-sketch", o->sketch, "Sketch mode (default on)");
    cmd->add_option("--screen-height", o->screen_height, "screen height in pixels (default 1080)");
    cmd->add_option("-o", o->out, "output file, or folder for several plays (DIR/ is made if missing)")
        ->required();
    add_jobs_option(*cmd, o->jobs);
    cmd->callback([&status, o] { status = run_render(*o); });
}

}  // namespace hoopcast::cli
