#include "playback/virtual_clock.h"

#include "playback/engine.h"

namespace hoopcast {

VirtualClockHost::VirtualClockHost() {
    slot(PlaybackTimer::Timer1).interval = kDefaultSpeedMs;
    slot(PlaybackTimer::Timer2).interval = kTimer2IntervalMs;
    slot(PlaybackTimer::Timer3).interval = kTimer3IntervalMs;
}

void VirtualClockHost::enable_timer(PlaybackTimer timer) {
    TimerSlot& t = slot(timer);
    if (t.enabled) return;
    t.enabled = true;
    t.due = now_ + period(t);
}

void VirtualClockHost::disable_timer(PlaybackTimer timer) {
    slot(timer).enabled = false;
}

void VirtualClockHost::set_timer_interval(PlaybackTimer timer, int ms) {
    TimerSlot& t = slot(timer);
    if (t.interval == ms) return;
    t.interval = ms;
    if (t.enabled) t.due = now_ + period(t);
}

int VirtualClockHost::next_timer() const noexcept {
    int next = -1;
    for (std::size_t i = 0; i < timers_.size(); ++i) {
        if (!timers_[i].enabled) continue;
        if (next < 0 || timers_[i].due < timers_[static_cast<std::size_t>(next)].due)
            next = static_cast<int>(i);
    }
    return next;
}

void VirtualClockHost::fire(std::size_t timer) {
    TimerSlot& t = timers_[timer];
    now_ = t.due;
    // Rescheduled before the handler runs: the handler may stop or restart it.
    t.due = now_ + period(t);
    if (engine_ == nullptr) return;
    switch (static_cast<PlaybackTimer>(timer)) {
        case PlaybackTimer::Timer1:
            engine_->Timer1Timer();
            break;
        case PlaybackTimer::Timer2:
            engine_->Timer2Timer();
            break;
        case PlaybackTimer::Timer3:
            engine_->Timer3Timer();
            break;
    }
}

void VirtualClockHost::advance(std::int64_t ms) {
    const std::int64_t until = now_ + (ms < 0 ? 0 : ms);
    for (int next = next_timer(); next >= 0 && timers_[static_cast<std::size_t>(next)].due <= until;
         next = next_timer()) {
        fire(static_cast<std::size_t>(next));
    }
    now_ = until;
}

bool VirtualClockHost::run_until_idle(std::int64_t limit_ms) {
    const std::int64_t until = now_ + (limit_ms < 0 ? 0 : limit_ms);
    for (int next = next_timer(); next >= 0; next = next_timer()) {
        if (timers_[static_cast<std::size_t>(next)].due > until) {
            now_ = until;
            return false;
        }
        fire(static_cast<std::size_t>(next));
    }
    return true;
}

void VirtualClockHost::record(const RecordedFrame& frame) {
    frames_.push_back(frame);
    if (on_frame) on_frame(frames_.back());
}

void VirtualClockHost::show_still_frame(int sequence) {
    RecordedFrame f;
    f.time_ms = now_;
    f.kind = FrameKind::Still;
    f.sequence = sequence;
    record(f);
}

void VirtualClockHost::show_animation_frame(const AnimationFrame& frame) {
    record(
        RecordedFrame{now_, FrameKind::Animation, frame.sequence, frame.step, frame.steps, frame.fraction});
}

PlaybackRecording record_playback(const PlayModel& model, const PlaybackSettings& settings) {
    PlaybackState state;
    state.play_loaded = true;
    VirtualClockHost host;
    PlaybackEngine engine(model, state, host);
    host.connect(engine);
    host.set_sketch_checked(settings.sketch);
    host.set_loop_checked(settings.loop);
    engine.UpDown1Changing(settings.speed_ms);

    host.show_still_frame(state.cur_seq);
    engine.BitBtn1Click();
    PlaybackRecording recording;
    recording.reached_idle = host.run_until_idle(settings.limit_ms);
    // Every stop before the last sequence is a Sketch stop; each moves on by a sequence.
    while (settings.resume_at_sketch_stops && recording.reached_idle && state.cur_seq < model.seq_count) {
        const std::int64_t left = settings.limit_ms - host.now();
        if (left < kTimer2IntervalMs) {
            host.advance(left);
            recording.reached_idle = false;
            break;
        }
        host.advance(kTimer2IntervalMs);
        engine.BitBtn1Click();
        recording.reached_idle = host.run_until_idle(settings.limit_ms - host.now());
    }
    recording.end_ms = host.now();
    recording.frames = host.frames();
    return recording;
}

}  // namespace hoopcast
