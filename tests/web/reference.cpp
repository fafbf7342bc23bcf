// The desktop's side of the web tests, for the WebAssembly build and the page to be held to:
//   reference steps PLAY...   every item's step positions, as JSON: [[[x1, y1, x2, y2] per
//                             step] per item] per sequence, one line per play
//   reference sketch PLAY SEQ SKETCH COLOUR X,Y... OUT.ppm
//                             the still frame at scale 1 (SKETCH 1 or 0) with a freehand
//                             line through the points in the window's sketch pen

#include <cstdio>
#include <cstdlib>
#include <string>

#include "play/model.h"
#include "play/reader.h"
#include "play/steps.h"
#include "raster/fonts.h"
#include "raster/image_io.h"
#include "scene/frames.h"
#include "scene/mapping.h"

namespace {

using namespace hoopcast;

void print_steps(const char* file) {
    PlayModel play;
    OpenPlay(play, file);
    std::printf("[");
    for (int s = 1; s <= play.seq_count; ++s) {
        const StepPlan plan = step_plan(play.seq_path_length(s));
        std::printf("%s[", s > 1 ? "," : "");
        for (int i = 1; i <= kSlotsPerSequence && !play.item(s, i).kind.empty(); ++i) {
            std::printf("%s[", i > 1 ? "," : "");
            for (int step = 0; step <= plan.steps; ++step) {
                std::printf("%s[%d,%d,%d,%d]", step > 0 ? "," : "",
                            calc_wrk_x1(play, s, i, step, plan.steps, plan.fraction),
                            calc_wrk_y1(play, s, i, step, plan.steps, plan.fraction),
                            calc_wrk_x2(play, s, i, step, plan.steps, plan.fraction),
                            calc_wrk_y2(play, s, i, step, plan.steps, plan.fraction));
            }
            std::printf("]");
        }
        std::printf("]");
    }
    std::printf("]\n");
}

int write_sketch(int argc, char** argv) {
    if (argc < 8) return 2;  // at least one point
    PlayModel play;
    OpenPlay(play, argv[2]);
    DisplayDefaults defaults;
    DrawContext ctx{play, defaults};
    const raster::FontLibrary fonts;
    const auto picture = compose_still_frame(ctx, FrameSettings{1.0, 1080, &fonts}, std::atoi(argv[3]),
                                             std::string(argv[4]) == "1");
    raster::Canvas& canvas = picture->canvas();
    canvas.pen.colour = std::atoi(argv[5]);
    canvas.pen.width = 4;  // the window's sketch pen
    for (int a = 6; a < argc - 1; ++a) {
        int x = 0, y = 0;
        if (std::sscanf(argv[a], "%d,%d", &x, &y) != 2) return 2;
        if (a == 6) canvas.move_to(x, y);
        canvas.line_to(x, y);
    }
    return raster::write_ppm(picture->bitmap(), argv[argc - 1]).ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "sketch") return write_sketch(argc, argv);
    if (mode != "steps") return 2;
    for (int a = 2; a < argc; ++a) print_steps(argv[a]);
    return 0;
}
