#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "cli/batch.h"
#include "cli/commands.h"
#include "cli/play_loading.h"
#include "drawings/context.h"
#include "export/staged_file.h"
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
    bool no_sketch = false;
    int screen_height = 1080;
    std::string out;
    int jobs = 0;
};

constexpr std::string_view kFormats[] = {"png", "ppm"};

// The still frame of one sequence, exactly as the window composes it, as `format`.
int render(const RenderOptions& o, const std::string& file, const std::string& out, std::string_view format,
           std::ostream& err, const raster::FontLibrary& fonts) {
    LoadedPlay loaded;
    if (const int rc = load_play(file, loaded, err); rc != kExitOk) return rc;
    if (const int rc = check_sequence(loaded, o.seq, err); rc != kExitOk) return rc;

    DisplayDefaults defaults;
    DrawContext ctx{*loaded.play, defaults};
    const FrameSettings settings{o.scale, o.screen_height, &fonts};
    const auto picture = compose_still_frame(ctx, settings, o.seq, !o.no_sketch);

    const std::vector<std::uint8_t> bytes =
        format == "ppm" ? raster::encode_ppm(picture->bitmap()) : raster::encode_png(picture->bitmap());
    std::string error = "the picture could not be encoded";
    if (bytes.empty() || !write_staged(out, bytes, error)) {
        err << "hoopcast-cli: cannot write " << out << ": " << error << '\n';
        return kExitFile;
    }
    return kExitOk;
}

int run_render(const RenderOptions& o) {
    if (!is_batch(o.files, o.out)) {
        const auto format = output_format(o.out, {"render", kFormats}, std::cerr);
        if (!format) return kExitUsage;
        return render(o, o.files.front(), o.out, *format, std::cerr, raster::FontLibrary{});
    }
    return run_batch({"render", o.files, o.out, ".png", o.jobs}, [&o]() -> PlayTask {
        auto fonts = std::make_shared<raster::FontLibrary>();
        return [&o, fonts](const std::string& file, const std::string& out, std::ostream& err) {
            return render(o, file, out, "png", err, *fonts);
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
    add_sequence_option(*cmd, o->seq, "Sequence number, from 1")->required();
    add_scale_option(*cmd, o->scale, "Pixels per court unit (1.0: 289 x 361)");
    add_sketch_flags(*cmd, o->no_sketch);
    add_screen_height_option(*cmd, o->screen_height);
    cmd->add_option("-o,--output", o->out,
                    "PNG or PPM file to write, by its extension; for several plays a folder (DIR/ is made if "
                    "missing) that takes each as PNG")
        ->required();
    add_jobs_option(*cmd, o->jobs);
    cmd->callback([&status, o] { status = run_render(*o); });
}

}  // namespace hoopcast::cli
