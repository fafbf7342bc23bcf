// The desktop's step positions of every item of the plays named, as JSON, for the web
// tests to hold the WebAssembly build's against: [[[x1, y1, x2, y2] per step] per item]
// per sequence, one line per play.

#include <cstdio>

#include "play/model.h"
#include "play/reader.h"
#include "play/steps.h"
#include "scene/mapping.h"

int main(int argc, char** argv) {
    using namespace hoopcast;
    for (int a = 1; a < argc; ++a) {
        PlayModel play;
        OpenPlay(play, argv[a]);
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
}
