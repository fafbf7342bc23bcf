#pragma once
// What the playback engine needs from the world around it: three timers, the Sketch and
// Loop switches, the window state, and somewhere to send frames, the counter and the
// caption. The main window implements it with its timers and widgets; the exporter and
// the tests with a simulated clock (virtual_clock.h).

#include <string>
#include <string_view>

namespace hoopcast {

enum class PlaybackTimer { Timer1, Timer2, Timer3 };

// Timer1's interval is the speed value; these are the other fixed periods and the speed's
// range and starting value.
inline constexpr int kTimer2IntervalMs = 2500;
inline constexpr int kTimer3IntervalMs = 500;
inline constexpr int kMinSpeedMs = 1;
inline constexpr int kMaxSpeedMs = 10000;
inline constexpr int kDefaultSpeedMs = 20;

// One animation frame: sequence `sequence` at step `step` of `steps`, each step moving
// every item by `fraction` of its way.
struct AnimationFrame {
    int sequence = 1;
    int step = 1;
    int steps = 1;
    double fraction = 0.0;

    friend bool operator==(const AnimationFrame&, const AnimationFrame&) = default;
};

class PlaybackHost {
  public:
    virtual ~PlaybackHost() = default;

    // Enabling a timer that runs already leaves its period alone (so pressing Play while
    // playing does not shift the beat); enabling a stopped timer starts a full period from
    // now. Changing the interval of a running timer to a different value restarts its
    // period from now.
    virtual void enable_timer(PlaybackTimer timer) = 0;
    virtual void disable_timer(PlaybackTimer timer) = 0;
    virtual bool timer_enabled(PlaybackTimer timer) const = 0;
    virtual void set_timer_interval(PlaybackTimer timer, int ms) = 0;

    // CheckBox1 (Sketch) and CheckBox2 (Loop): the only switches the engine reads. The
    // floating panel's copies are written into them through the setters.
    virtual bool sketch_checked() const = 0;
    virtual bool loop_checked() const = 0;
    virtual void set_sketch_checked(bool checked) = 0;
    virtual void set_loop_checked(bool checked) = 0;

    virtual bool maximized() const = 0;
    // The play name as the window shows it next to "Playname: ".
    virtual std::string play_name() const = 0;

    // Showcourt: compose and show the still frame of `sequence` (always the current one).
    // The still frame refreshes the counter and the caption itself (sequence_counter and
    // window_caption in texts.h), so the engine does not send them separately.
    virtual void show_still_frame(int sequence) = 0;
    virtual void show_animation_frame(const AnimationFrame& frame) = 0;
    virtual void show_counter(std::string_view counter) = 0;
    virtual void show_caption(std::string_view caption) = 0;
};

}  // namespace hoopcast
