#pragma once
// The playback engine: steps through a play sequence by sequence on the ticks of Timer1,
// waits on Timer2 between a Sketch stop or a loop restart and the next run, and redraws on
// Timer3 once a resize or a repaint has settled. It holds no state of its own: the position
// lives in PlaybackState, which the window (or the exporter) owns and may set, and the
// timers and switches live in the host.

#include <cstdint>
#include <string>

#include "play/model.h"
#include "playback/host.h"

namespace hoopcast {

// The window's playback values. Opening a play and the reader set them too.
struct PlaybackState {
    std::int32_t cur_seq = 1;     // sequence shown, 1..seq_count
    std::int32_t anim_step = 1;   // step reached within cur_seq; 1 at the start of each sequence
    bool playing = false;         // running, or waiting on Timer2 to resume
    bool play_loaded = false;     // a play file has been read
    std::string play_file_name;   // empty: Previous and Next do nothing
    std::string seq_label;        // the counter text last shown
    bool one_transition = false;  // playing for Step: stop once the current transition ends
};

enum class EngineState {
    Idle,              // nothing scheduled
    Running,           // Timer1 ticks animate
    SketchPause,       // stopped at a still sequence with Loop on; Timer2 resumes
    LoopRestartWait,   // end of play with Loop and Sketch; Timer2 shows sequence 1 still next
    LoopRestartStill,  // sequence 1 shown still; Timer2 starts it
    Unlisted,          // a combination of playing and the timers that the handlers never leave
};

// The increment of a speed control for its next change: a tenth of the value's hundreds,
// so the control moves faster at slow speeds; 1 below 100.
int speed_increment(int value) noexcept;

class PlaybackEngine {
  public:
    PlaybackEngine(const PlayModel& model, PlaybackState& state, PlaybackHost& host) noexcept
        : model_(model), state_(state), host_(host) {}

    // Timer ticks.
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();

    // Play, Pause, Stop, Previous, Next (the panel's buttons share these).
    void BitBtn1Click();
    // Step: plays as Play does, the current sequence's transition only, and stops on the next
    // sequence's still picture, so that a viewer can watch one move at a time.
    void play_transition();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn6Click();

    // Speed changed to `value` ms per step (UpDown1 in the normal layout, UpDown2 on the
    // panel). Sets Timer1's interval and returns the control's increment for its next change.
    int UpDown1Changing(int value);
    int UpDown2Changing(int value);

    // Sketch switch changed; the panel's switches first copy their state into CheckBox1/2.
    void CheckBox1Click();
    void CheckBox3Click(bool checkbox3_checked);
    void CheckBox4Click(bool checkbox4_checked);

    // Before a play is read: stopped, at the first step of sequence 1.
    void reset_for_open();
    // The window closes.
    void close();

    EngineState state() const;

  private:
    int seq_count() const noexcept { return model_.seq_count; }
    int steps_of(int sequence) const noexcept;
    void refresh_counter_and_caption();

    const PlayModel& model_;
    PlaybackState& state_;
    PlaybackHost& host_;
};

}  // namespace hoopcast
