#include "playback/engine.h"

#include <algorithm>

#include "play/steps.h"
#include "playback/texts.h"

namespace hoopcast {

namespace {
constexpr PlaybackTimer kTimer1 = PlaybackTimer::Timer1;
constexpr PlaybackTimer kTimer2 = PlaybackTimer::Timer2;
constexpr PlaybackTimer kTimer3 = PlaybackTimer::Timer3;

// The position is the window's to set; a value outside the tables must not index past them.
int table_index(int sequence) noexcept {
    return std::clamp(sequence, 1, kMaxSequences);
}
}  // namespace

int speed_increment(int value) noexcept {
    const int increment = value / 100 * 10;
    return increment == 0 ? 1 : increment;
}

int PlaybackEngine::steps_of(int sequence) const noexcept {
    return step_plan(model_.seq_path_length(table_index(sequence))).steps;
}

void PlaybackEngine::refresh_counter_and_caption() {
    state_.seq_label = sequence_counter(state_.cur_seq, seq_count());
    host_.show_counter(state_.seq_label);
    host_.show_caption(window_caption(host_.maximized(), host_.play_name(), state_.seq_label));
}

// Every assignment below comes before the drawing call that follows it, so a frame that
// fails to draw leaves a consistent position and timers behind and the next tick carries on.

void PlaybackEngine::Timer1Timer() {
    if (!state_.playing) return;
    refresh_counter_and_caption();

    const int n = seq_count();
    if (state_.cur_seq >= n) {
        const bool loop = host_.loop_checked();
        const bool sketch = host_.sketch_checked();
        if (loop && !sketch) {
            // Timer1 keeps running: the next tick animates sequence 1 without a still frame.
            state_.playing = true;
            state_.cur_seq = 1;
            state_.anim_step = 1;
        } else {
            state_.playing = false;
            host_.disable_timer(kTimer1);
            if (loop && sketch) {
                host_.enable_timer(kTimer2);
                state_.cur_seq = 1;
                state_.anim_step = 1;
            }
        }
        return;  // the last frame stays on screen
    }

    const StepPlan plan = step_plan(model_.seq_path_length(table_index(state_.cur_seq)));
    // At or (should the position have been set from outside) beyond the last step, the
    // sequence is finished; counting on past it would never end.
    if (state_.anim_step >= plan.steps) {
        state_.anim_step = 1;
        state_.cur_seq = std::min(state_.cur_seq + 1, n);
        if (state_.one_transition) {
            state_.one_transition = false;
            state_.playing = false;
            host_.disable_timer(kTimer1);
            host_.show_still_frame(state_.cur_seq);
            return;
        }
        if (host_.sketch_checked() && model_.header(table_index(state_.cur_seq)).no_animation) {
            state_.playing = false;
            host_.disable_timer(kTimer1);
            host_.show_still_frame(state_.cur_seq);
            if (host_.loop_checked()) {
                host_.enable_timer(kTimer2);
                state_.playing = true;
            }
        }
        return;  // the finished sequence's final frame stays on screen
    }

    state_.anim_step += 1;
    host_.show_animation_frame(AnimationFrame{state_.cur_seq, state_.anim_step, plan.steps, plan.fraction});
}

void PlaybackEngine::Timer2Timer() {
    if (state_.cur_seq == 1 && state_.anim_step == 1 && !state_.playing) {
        // End of play with Loop and Sketch: show sequence 1 still for a second wait.
        host_.disable_timer(kTimer2);
        host_.show_still_frame(state_.cur_seq);
        state_.playing = true;
        host_.enable_timer(kTimer2);
        return;
    }
    host_.enable_timer(kTimer1);
    state_.playing = true;
    host_.disable_timer(kTimer2);
}

void PlaybackEngine::Timer3Timer() {
    host_.disable_timer(kTimer3);
    if (state_.play_loaded && (!state_.playing || host_.timer_enabled(kTimer2))) {
        host_.show_still_frame(state_.cur_seq);
    }
}

void PlaybackEngine::BitBtn1Click() {
    state_.one_transition = false;
    state_.playing = true;
    host_.enable_timer(kTimer1);
    if (state_.cur_seq < seq_count()) return;

    // At the last sequence (or with no play): rewind and show sequence 1; a second Play runs it.
    state_.playing = false;
    host_.disable_timer(kTimer1);
    state_.cur_seq = 1;
    state_.anim_step = 1;
    refresh_counter_and_caption();
    host_.show_still_frame(state_.cur_seq);
}

void PlaybackEngine::play_transition() {
    // From a wait on Timer2 (a Sketch stop, a loop's restart) the step starts at once.
    host_.disable_timer(kTimer2);
    BitBtn1Click();
    state_.one_transition = state_.playing;
}

void PlaybackEngine::BitBtn3Click() {
    state_.one_transition = false;
    state_.playing = false;
    host_.disable_timer(kTimer1);
    host_.disable_timer(kTimer2);
}

void PlaybackEngine::BitBtn4Click() {
    state_.one_transition = false;
    state_.playing = false;
    host_.disable_timer(kTimer1);
    host_.disable_timer(kTimer2);
    state_.cur_seq = 1;
    state_.anim_step = 1;
    host_.show_still_frame(state_.cur_seq);
}

void PlaybackEngine::BitBtn5Click() {
    if (state_.play_file_name.empty()) return;
    if (host_.sketch_checked()) {
        state_.playing = false;
        host_.disable_timer(kTimer1);
        host_.disable_timer(kTimer2);
    }
    // In the middle of a sequence Previous restarts it; at its first step or after its
    // last frame it goes back one sequence.
    const int steps = steps_of(state_.cur_seq);
    if (state_.anim_step >= steps || state_.anim_step == 1) {
        state_.cur_seq = state_.cur_seq > 1 ? state_.cur_seq - 1 : 1;
    }
    state_.anim_step = 1;
    host_.show_still_frame(state_.cur_seq);
}

void PlaybackEngine::BitBtn6Click() {
    if (state_.play_file_name.empty()) return;
    if (host_.sketch_checked()) {
        state_.playing = false;
        host_.disable_timer(kTimer1);
        host_.disable_timer(kTimer2);
    }
    // Not beyond the last sequence, and never to sequence 0 when a read left no sequences.
    state_.cur_seq = state_.cur_seq < seq_count() ? state_.cur_seq + 1 : std::max(seq_count(), 1);
    state_.anim_step = 1;
    host_.show_still_frame(state_.cur_seq);
}

int PlaybackEngine::UpDown1Changing(int value) {
    // The controls' range; a zero or negative interval would make the animation spin.
    value = std::clamp(value, kMinSpeedMs, kMaxSpeedMs);
    host_.set_timer_interval(kTimer1, value);
    return speed_increment(value);
}

int PlaybackEngine::UpDown2Changing(int value) {
    return UpDown1Changing(value);
}

void PlaybackEngine::CheckBox1Click() {
    // A still frame gains or loses its lines.
    if (!state_.playing) host_.show_still_frame(state_.cur_seq);
}

void PlaybackEngine::CheckBox3Click(bool checkbox3_checked) {
    host_.set_sketch_checked(checkbox3_checked);
    if (!state_.playing) host_.show_still_frame(state_.cur_seq);
}

void PlaybackEngine::CheckBox4Click(bool checkbox4_checked) {
    host_.set_loop_checked(checkbox4_checked);
}

void PlaybackEngine::reset_for_open() {
    state_.one_transition = false;
    state_.playing = false;
    host_.disable_timer(kTimer1);
    host_.disable_timer(kTimer2);
    state_.cur_seq = 1;
    state_.anim_step = 1;
}

void PlaybackEngine::close() {
    host_.disable_timer(kTimer1);
    host_.disable_timer(kTimer2);
    state_.playing = false;
}

EngineState PlaybackEngine::state() const {
    const bool t1 = host_.timer_enabled(kTimer1);
    const bool t2 = host_.timer_enabled(kTimer2);
    const bool playing = state_.playing;
    if (!playing && !t1 && !t2) return EngineState::Idle;
    // Play during a wait starts Timer1 at once; Timer2's next tick only switches itself off.
    if (playing && t1) return EngineState::Running;
    if (!playing && !t1 && t2) return EngineState::LoopRestartWait;
    if (playing && !t1 && t2) {
        // Both waits end the same way on Timer2; they differ only in where they stand.
        return state_.cur_seq == 1 && state_.anim_step == 1 ? EngineState::LoopRestartStill
                                                            : EngineState::SketchPause;
    }
    return EngineState::Unlisted;
}

}  // namespace hoopcast
