// Reads arbitrary bytes as a play file; a successful read runs the motion pass. Then every
// position of every paired item is asked for, as playback would.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "play/model.h"
#include "play/reader.h"
#include "play/steps.h"
#include "scene/mapping.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace hoopcast;
    // One model for the whole run, like the window's: a not-supported read keeps the
    // previous play's sequence count.
    static const std::unique_ptr<PlayModel> play = std::make_unique<PlayModel>();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ReadResult r = read_play(*play, bytes, "fuzz.kqz");
    if (play->seq_count < 0 || play->seq_count > kMaxSequences) __builtin_trap();
    if (!r.motion_pass_ran) return 0;
    for (int s = 1; s <= play->seq_count; ++s) {
        // A description is held as lines each ended by a bare LF, with no CR anywhere.
        const std::string_view text = play->header(s).text.lf();
        if (text.find('\r') != std::string_view::npos || (!text.empty() && text.back() != '\n'))
            __builtin_trap();
        const StepPlan plan = step_plan(play->seq_path_length(s));
        for (int i = 1; i <= kSlotsPerSequence && !play->item(s, i).kind.empty(); ++i) {
            const int step = plan.steps > 1 ? plan.steps - 1 : 0;
            if (play->item(s, i).motion == 1) {
                calc_wrk_x1(*play, s, i, step, plan.steps, plan.fraction);
                calc_wrk_y1(*play, s, i, 0, 1, 0.0);
            } else {
                calc_wrk_x2(*play, s, i, step, plan.steps, plan.fraction);
                calc_wrk_y2(*play, s, i, 0, 1, 0.0);
            }
        }
    }
    return 0;
}
