#pragma once
// A play of chosen step counts driven by the engine on the simulated clock.

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "play/model.h"
#include "play/steps.h"
#include "playback/engine.h"
#include "playback/virtual_clock.h"

namespace hoopcast {

class PlaybackTest : public ::testing::Test {
  protected:
    PlaybackTest() {
        host.connect(engine);
        state.play_loaded = true;
        state.play_file_name = "drill.kqz";
    }

    // One sequence per entry, cut into that many steps: a longest path of 5k - 3 court
    // units lies clear of the rounding boundary and gives k steps.
    void make_play(std::initializer_list<int> steps) {
        int s = 0;
        for (const int k : steps) {
            ++s;
            model->seq_path_length(s) = 5.0 * k - 3.0;
            ASSERT_EQ(step_plan(model->seq_path_length(s)).steps, k);
        }
        model->seq_count = s;
    }

    void mark_still(int s) { model->header(s).no_animation = true; }

    // The frames asked for since the last call, as "A<seq>.<step>@<ms>" for animation
    // frames and "S<seq>@<ms>" for still frames.
    std::vector<std::string> shown() {
        std::vector<std::string> out;
        for (const RecordedFrame& f : host.frames()) {
            std::string text = f.kind == FrameKind::Still
                                   ? "S" + std::to_string(f.sequence)
                                   : "A" + std::to_string(f.sequence) + "." + std::to_string(f.step);
            out.push_back(text + "@" + std::to_string(f.time_ms));
        }
        host.clear_frames();
        return out;
    }

    bool timer_on(PlaybackTimer t) const { return host.timer_enabled(t); }

    std::unique_ptr<PlayModel> model = std::make_unique<PlayModel>();
    PlaybackState state;
    VirtualClockHost host;
    PlaybackEngine engine{*model, state, host};
};

using Strings = std::vector<std::string>;

}  // namespace hoopcast
