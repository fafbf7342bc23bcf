#pragma once
// A playback host on simulated time: its timers fire when the clock is advanced, never on
// their own, and every frame the engine asks for is recorded with the time it was asked
// for. The exporter drives the engine with it, so an exported animation has exactly the
// frames and timing a viewer sees; the tests use it to check both.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "playback/host.h"

namespace hoopcast {

class PlaybackEngine;
class PlayModel;

enum class FrameKind { Still, Animation };

struct RecordedFrame {
    std::int64_t time_ms = 0;
    FrameKind kind = FrameKind::Still;
    int sequence = 1;
    // Animation frames only; 0 for a still frame.
    int step = 0;
    int steps = 0;
    double fraction = 0.0;
};

class VirtualClockHost final : public PlaybackHost {
  public:
    VirtualClockHost();

    // The engine whose handlers the timers call. Without one, ticks pass unanswered.
    void connect(PlaybackEngine& engine) noexcept { engine_ = &engine; }

    // The switches and the window start as the window does: Sketch on, Loop off, not
    // maximized. Timer1 runs at the default speed until the engine sets another.
    void set_maximized(bool maximized) noexcept { maximized_ = maximized; }
    void set_play_name(std::string name) { play_name_ = std::move(name); }

    std::int64_t now() const noexcept { return now_; }
    int timer_interval(PlaybackTimer timer) const noexcept { return slot(timer).interval; }

    // Fires every tick due up to now + ms, in time order, and then stands at now + ms. Ticks
    // due at the same moment fire Timer1 first, then Timer2, then Timer3. If a handler
    // throws, the clock stands at that tick's time (the timer already rescheduled) and the
    // exception reaches the caller.
    void advance(std::int64_t ms);

    // Fires ticks until no timer is enabled, but not past now + limit_ms. Returns true if
    // the timers all stopped; the clock then stands at the last tick, the moment the last
    // frame shown became final. Otherwise it stands at now + limit_ms.
    bool run_until_idle(std::int64_t limit_ms);

    // Every frame asked for, in order. A hook, if set, is called for each after it has
    // been recorded (the exporter composes the frames there).
    const std::vector<RecordedFrame>& frames() const noexcept { return frames_; }
    void clear_frames() noexcept { frames_.clear(); }
    std::function<void(const RecordedFrame&)> on_frame;

    // The counter and caption last sent.
    const std::string& counter() const noexcept { return counter_; }
    const std::string& caption() const noexcept { return caption_; }

    // PlaybackHost
    void enable_timer(PlaybackTimer timer) override;
    void disable_timer(PlaybackTimer timer) override;
    bool timer_enabled(PlaybackTimer timer) const override { return slot(timer).enabled; }
    void set_timer_interval(PlaybackTimer timer, int ms) override;
    bool sketch_checked() const override { return sketch_; }
    bool loop_checked() const override { return loop_; }
    void set_sketch_checked(bool checked) override { sketch_ = checked; }
    void set_loop_checked(bool checked) override { loop_ = checked; }
    bool maximized() const override { return maximized_; }
    std::string play_name() const override { return play_name_; }
    void show_still_frame(int sequence) override;
    void show_animation_frame(const AnimationFrame& frame) override;
    void show_counter(std::string_view counter) override { counter_ = counter; }
    void show_caption(std::string_view caption) override { caption_ = caption; }

  private:
    struct TimerSlot {
        bool enabled = false;
        int interval = 0;
        std::int64_t due = 0;
    };

    static std::size_t index(PlaybackTimer timer) noexcept { return static_cast<std::size_t>(timer); }
    TimerSlot& slot(PlaybackTimer timer) noexcept { return timers_[index(timer)]; }
    const TimerSlot& slot(PlaybackTimer timer) const noexcept { return timers_[index(timer)]; }
    // A period of at least 1 ms, so that time always moves on between two ticks.
    static std::int64_t period(const TimerSlot& t) noexcept { return t.interval < 1 ? 1 : t.interval; }

    // The enabled timer due next (ties by timer order), or -1 if none is enabled.
    int next_timer() const noexcept;
    void fire(std::size_t timer);
    void record(const RecordedFrame& frame);

    PlaybackEngine* engine_ = nullptr;
    std::array<TimerSlot, 3> timers_{};
    std::int64_t now_ = 0;
    bool sketch_ = true;
    bool loop_ = false;
    bool maximized_ = false;
    std::string play_name_;
    std::vector<RecordedFrame> frames_;
    std::string counter_;
    std::string caption_;
};

// One press of Play on a freshly opened play, as the exporter replays it.
struct PlaybackSettings {
    bool sketch = true;
    bool loop = false;
    int speed_ms = kDefaultSpeedMs;
    std::int64_t limit_ms = 10 * 60 * 1000;  // a looping play never stops by itself
    // At each Sketch stop before the last sequence, wait as long as the Sketch pause and
    // press Play again, as a presenter would.
    bool resume_at_sketch_stops = false;
};

struct PlaybackRecording {
    // Starts with the still frame of sequence 1 at 0 ms, the picture on screen when Play is
    // pressed; then every frame the engine asks for.
    std::vector<RecordedFrame> frames;
    // When the last frame stops changing: the tick that went idle, or the limit.
    std::int64_t end_ms = 0;
    bool reached_idle = false;
};

PlaybackRecording record_playback(const PlayModel& model, const PlaybackSettings& settings);

}  // namespace hoopcast
