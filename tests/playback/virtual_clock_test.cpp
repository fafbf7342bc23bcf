#include "fixture.h"

namespace hoopcast {
namespace {

constexpr PlaybackTimer T1 = PlaybackTimer::Timer1;
constexpr PlaybackTimer T3 = PlaybackTimer::Timer3;

// Due at the same moment, Timer1 runs first: here its end-of-play tick stops playback, so
// the settle tick that follows sees it stopped and redraws.
TEST_F(PlaybackTest, TimersDueTogetherFireInTimerOrder) {
    make_play({2, 2});
    engine.UpDown1Changing(kTimer3IntervalMs);
    state.cur_seq = 2;
    state.playing = true;
    host.enable_timer(T3);
    host.enable_timer(T1);
    host.advance(kTimer3IntervalMs);
    EXPECT_EQ(shown(), (Strings{"S2@500"}));
    EXPECT_EQ(engine.state(), EngineState::Idle);
}

TEST_F(PlaybackTest, EnablingARunningTimerKeepsItsBeatButARestartedOneBeginsAgain) {
    host.enable_timer(T3);
    host.advance(300);
    host.enable_timer(T3);
    host.advance(200);
    EXPECT_EQ(shown(), (Strings{"S1@500"}));

    host.enable_timer(T3);
    host.advance(300);
    host.disable_timer(T3);
    host.enable_timer(T3);
    host.advance(499);
    EXPECT_TRUE(shown().empty());
    host.advance(1);
    EXPECT_EQ(shown(), (Strings{"S1@1300"}));
}

// However the interval is set, simulated time moves on, so a run always ends.
TEST_F(PlaybackTest, ZeroIntervalStillAdvancesTime) {
    make_play({3, 2});
    host.set_timer_interval(T1, 0);
    engine.BitBtn1Click();
    EXPECT_TRUE(host.run_until_idle(1000));
    EXPECT_EQ(host.now(), 4);
    EXPECT_EQ(shown(), (Strings{"A1.2@1", "A1.3@2"}));
}

TEST_F(PlaybackTest, RecordingOfOnePlayPress) {
    make_play({3, 1, 2, 4});
    PlaybackRecording run = record_playback(*model, PlaybackSettings{.sketch = false, .speed_ms = 50});
    EXPECT_TRUE(run.reached_idle);
    EXPECT_EQ(run.end_ms, 350);
    ASSERT_EQ(run.frames.size(), 4u);
    EXPECT_EQ(run.frames[0].kind, FrameKind::Still);
    EXPECT_EQ(run.frames[0].time_ms, 0);
    EXPECT_EQ(run.frames[3].time_ms, 250);
    EXPECT_EQ(run.frames[3].sequence, 3);

    run = record_playback(*model, PlaybackSettings{.sketch = false, .loop = true, .limit_ms = 1000});
    EXPECT_FALSE(run.reached_idle);
    EXPECT_EQ(run.end_ms, 1000);
}

}  // namespace
}  // namespace hoopcast
