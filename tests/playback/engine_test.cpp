#include <stdexcept>

#include "fixture.h"
#include "playback/texts.h"

namespace hoopcast {
namespace {

constexpr PlaybackTimer T1 = PlaybackTimer::Timer1;
constexpr PlaybackTimer T2 = PlaybackTimer::Timer2;
constexpr PlaybackTimer T3 = PlaybackTimer::Timer3;

TEST(PlaybackTexts, CounterAndCaption) {
    EXPECT_EQ(sequence_counter(3, 12), "3/12");
    EXPECT_EQ(window_caption(true, "Box out", "3/12"), "Basketball Hoopcast : Box out  -  3/12");
    EXPECT_EQ(window_caption(false, "Box out", "3/12"), "Basketball Hoopcast");
    EXPECT_EQ(window_caption(true, "", "1/0"), "Basketball Hoopcast :   -  1/0");
}

TEST(PlaybackTexts, SpeedIncrement) {
    EXPECT_EQ(speed_increment(1), 1);
    EXPECT_EQ(speed_increment(99), 1);
    EXPECT_EQ(speed_increment(100), 10);
    EXPECT_EQ(speed_increment(199), 10);
    EXPECT_EQ(speed_increment(250), 20);
    EXPECT_EQ(speed_increment(10000), 1000);
}

// Each sequence takes steps x interval: frames for steps 2..n, then a tick that moves on.
// A sequence of one step shows nothing of its own; the last sequence is never animated.
TEST_F(PlaybackTest, WholeRunFramesTimesAndCounter) {
    make_play({3, 1, 2, 4});
    host.set_maximized(true);
    host.set_play_name("Box out");
    Strings counters;
    host.on_frame = [&](const RecordedFrame&) { counters.push_back(host.counter()); };

    engine.BitBtn1Click();
    EXPECT_EQ(engine.state(), EngineState::Running);
    ASSERT_TRUE(host.run_until_idle(100000));

    EXPECT_EQ(host.now(), 3 * 20 + 1 * 20 + 2 * 20 + 20);
    ASSERT_EQ(host.frames().size(), 3u);
    EXPECT_EQ(host.frames()[0].steps, 3);
    EXPECT_DOUBLE_EQ(host.frames()[0].fraction, 5.0 / 12.0);
    EXPECT_EQ(shown(), (Strings{"A1.2@20", "A1.3@40", "A3.2@100"}));
    EXPECT_EQ(counters, (Strings{"1/4", "1/4", "3/4"}));
    EXPECT_EQ(state.seq_label, "4/4");
    EXPECT_EQ(host.caption(), "Basketball Hoopcast : Box out  -  4/4");
    EXPECT_EQ(engine.state(), EngineState::Idle);
    EXPECT_EQ(state.cur_seq, 4);
}

TEST_F(PlaybackTest, SpeedSetsTheIntervalAndRestartsTheBeat) {
    EXPECT_EQ(engine.UpDown1Changing(250), 20);
    EXPECT_EQ(host.timer_interval(T1), 250);
    make_play({3, 2});
    engine.BitBtn1Click();
    host.advance(260);
    EXPECT_EQ(shown(), (Strings{"A1.2@250"}));
    engine.UpDown2Changing(100);  // a new interval counts from now
    host.advance(100);
    EXPECT_EQ(shown(), (Strings{"A1.3@360"}));

    // Outside the controls' range the interval stays within it.
    EXPECT_EQ(engine.UpDown1Changing(0), 1);
    EXPECT_EQ(host.timer_interval(T1), 1);
    EXPECT_EQ(engine.UpDown2Changing(20000), 1000);
    EXPECT_EQ(host.timer_interval(T1), 10000);
}

TEST_F(PlaybackTest, OneSequenceIsShownStillAndNeverAnimated) {
    make_play({4});
    for (int press = 0; press < 2; ++press) {
        engine.BitBtn1Click();
        EXPECT_EQ(engine.state(), EngineState::Idle);
        EXPECT_TRUE(host.run_until_idle(10000));
    }
    EXPECT_EQ(shown(), (Strings{"S1@0", "S1@0"}));
    EXPECT_EQ(host.counter(), "1/1");
}

TEST_F(PlaybackTest, NoPlayLoaded) {
    state.play_loaded = false;
    state.play_file_name.clear();
    engine.BitBtn1Click();
    EXPECT_EQ(engine.state(), EngineState::Idle);
    EXPECT_EQ(host.counter(), "1/0");
    engine.BitBtn5Click();
    engine.BitBtn6Click();
    EXPECT_EQ(shown(), (Strings{"S1@0"}));

    // A named file that left no sequences: Next must not move to sequence 0.
    state.play_file_name = "empty.kqz";
    engine.BitBtn6Click();
    EXPECT_EQ(state.cur_seq, 1);
    EXPECT_EQ(shown(), (Strings{"S1@0"}));
}

TEST_F(PlaybackTest, PlayWhilePlayingChangesNothingAndPauseKeepsTheStep) {
    make_play({4, 2, 1});
    engine.BitBtn1Click();
    host.advance(30);
    engine.BitBtn1Click();
    host.advance(15);
    EXPECT_EQ(shown(), (Strings{"A1.2@20", "A1.3@40"}));

    engine.BitBtn3Click();
    EXPECT_EQ(engine.state(), EngineState::Idle);
    host.advance(1000);
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(state.anim_step, 3);

    engine.BitBtn1Click();
    host.advance(20);
    EXPECT_EQ(shown(), (Strings{"A1.4@1065"}));
}

TEST_F(PlaybackTest, Previous) {
    make_play({4, 4, 4, 4, 4});
    struct Case {
        int seq, step, expected;
    };
    // Middle of a sequence restarts it; its first step or after its last frame goes back.
    for (const Case c :
         {Case{4, 2, 4}, Case{4, 3, 4}, Case{4, 1, 3}, Case{4, 4, 3}, Case{1, 1, 1}, Case{1, 3, 1}}) {
        state.cur_seq = c.seq;
        state.anim_step = c.step;
        engine.BitBtn5Click();
        EXPECT_EQ(state.cur_seq, c.expected) << c.seq << "." << c.step;
        EXPECT_EQ(state.anim_step, 1);
        EXPECT_EQ(shown(), (Strings{"S" + std::to_string(c.expected) + "@0"}));
    }

    // With Sketch on Previous stops the animation; with Sketch off it carries on.
    engine.BitBtn1Click();
    host.advance(50);
    engine.BitBtn5Click();
    EXPECT_EQ(engine.state(), EngineState::Idle);
    host.set_sketch_checked(false);
    engine.BitBtn1Click();
    host.advance(30);
    engine.BitBtn5Click();
    EXPECT_EQ(engine.state(), EngineState::Running);
    host.advance(20);
    EXPECT_EQ(shown(), (Strings{"A1.2@20", "A1.3@40", "S1@50", "A1.2@70", "S1@80", "A1.2@90"}));
}

TEST_F(PlaybackTest, Next) {
    make_play({2, 2, 3});
    mark_still(2);
    state.cur_seq = 3;
    engine.BitBtn6Click();
    EXPECT_EQ(state.cur_seq, 3);
    EXPECT_EQ(shown(), (Strings{"S3@0"}));

    // Into a still sequence with Sketch off: shown still, and the animation goes on there.
    state.cur_seq = 1;
    host.set_sketch_checked(false);
    engine.BitBtn1Click();
    host.advance(25);
    engine.BitBtn6Click();
    host.advance(20);
    EXPECT_EQ(shown(), (Strings{"A1.2@20", "S2@25", "A2.2@40"}));

    host.set_sketch_checked(true);
    engine.BitBtn6Click();
    EXPECT_EQ(engine.state(), EngineState::Idle);
    EXPECT_EQ(shown(), (Strings{"S3@45"}));
}

// Step plays the current transition only and stops on the next sequence's still picture, as
// much with Loop on as off; at the last sequence it rewinds as Play does. Pause and Play
// after a Step play on as usual.
TEST_F(PlaybackTest, StepPlaysOneTransitionAndStops) {
    make_play({3, 2, 1});
    host.set_loop_checked(true);
    engine.play_transition();
    EXPECT_TRUE(host.run_until_idle(100000));
    EXPECT_EQ(state.cur_seq, 2);
    EXPECT_EQ(shown(), (Strings{"A1.2@20", "A1.3@40", "S2@60"}));
    engine.play_transition();
    EXPECT_TRUE(host.run_until_idle(100000));
    EXPECT_EQ(shown(), (Strings{"A2.2@80", "S3@100"}));
    engine.play_transition();
    EXPECT_EQ(engine.state(), EngineState::Idle);
    EXPECT_EQ(shown(), (Strings{"S1@100"}));

    host.set_loop_checked(false);
    engine.play_transition();
    host.advance(20);
    engine.BitBtn3Click();
    engine.BitBtn1Click();
    EXPECT_TRUE(host.run_until_idle(100000));
    EXPECT_EQ(state.cur_seq, 3);
    EXPECT_EQ(shown(), (Strings{"A1.2@120", "A1.3@140", "A2.2@180"}));
}

TEST_F(PlaybackTest, LoopWithoutSketchRestartsAtOnce) {
    make_play({2, 2, 1});
    host.set_sketch_checked(false);
    host.set_loop_checked(true);
    engine.BitBtn1Click();
    EXPECT_FALSE(host.run_until_idle(120));
    EXPECT_EQ(host.now(), 120);
    EXPECT_EQ(engine.state(), EngineState::Running);
    EXPECT_EQ(shown(), (Strings{"A1.2@20", "A2.2@60", "A1.2@120"}));
}

// End of play with Loop and Sketch: wait, show sequence 1 still, wait, then animate it even
// though it is marked still (the stop happens only on entering a sequence).
TEST_F(PlaybackTest, LoopWithSketchWaitsTwiceWithSequenceOneStillBetween) {
    make_play({2, 2, 1});
    mark_still(1);
    host.set_loop_checked(true);
    engine.BitBtn1Click();
    host.advance(100);
    EXPECT_EQ(engine.state(), EngineState::LoopRestartWait);
    EXPECT_EQ(state.cur_seq, 1);
    host.advance(2499);
    EXPECT_EQ(engine.state(), EngineState::LoopRestartWait);
    host.advance(1);
    EXPECT_EQ(engine.state(), EngineState::LoopRestartStill);
    host.advance(2500);
    EXPECT_EQ(engine.state(), EngineState::Running);
    host.advance(20);
    EXPECT_EQ(shown(), (Strings{"A1.2@20", "A2.2@60", "S1@2600", "A1.2@5120"}));
}

TEST_F(PlaybackTest, SketchStopsOnEnteringAStillSequence) {
    make_play({2, 2, 2, 1});
    mark_still(1);
    mark_still(3);
    engine.BitBtn1Click();
    EXPECT_TRUE(host.run_until_idle(100000));
    EXPECT_EQ(host.now(), 80);
    EXPECT_EQ(state.cur_seq, 3);
    engine.BitBtn1Click();  // goes on into the next sequence
    EXPECT_TRUE(host.run_until_idle(100000));
    EXPECT_EQ(shown(), (Strings{"A1.2@20", "A2.2@60", "S3@80", "A3.2@100"}));

    // Without Sketch the marks change nothing.
    state.cur_seq = 1;
    host.set_sketch_checked(false);
    engine.BitBtn1Click();
    EXPECT_TRUE(host.run_until_idle(100000));
    EXPECT_EQ(shown(), (Strings{"A1.2@160", "A2.2@200", "A3.2@240"}));
}

TEST_F(PlaybackTest, SketchStopWithLoopResumesAfterTheWait) {
    make_play({2, 2, 2, 1});
    mark_still(3);
    host.set_loop_checked(true);
    engine.BitBtn1Click();
    host.advance(80);
    EXPECT_EQ(engine.state(), EngineState::SketchPause);
    host.advance(2500);
    EXPECT_EQ(engine.state(), EngineState::Running);
    host.advance(20);
    EXPECT_EQ(shown(), (Strings{"A1.2@20", "A2.2@60", "S3@80", "A3.2@2600"}));
}

// Play during a wait runs at once; the pending Timer2 tick then only switches itself off
// and leaves Timer1's beat alone.
TEST_F(PlaybackTest, PlayDuringAWait) {
    make_play({2, 2, 200, 1});
    mark_still(2);
    host.set_loop_checked(true);
    engine.BitBtn1Click();
    host.advance(40);
    EXPECT_EQ(engine.state(), EngineState::SketchPause);
    host.advance(10);
    engine.BitBtn1Click();
    EXPECT_EQ(engine.state(), EngineState::Running);
    EXPECT_TRUE(timer_on(T2));
    host.advance(2490);  // Timer2 is due at 2540, between two ticks of Timer1
    EXPECT_FALSE(timer_on(T2));
    EXPECT_EQ(engine.state(), EngineState::Running);
    const Strings frames = shown();
    EXPECT_EQ(Strings(frames.begin(), frames.begin() + 4),
              (Strings{"A1.2@20", "S2@40", "A2.2@70", "A3.2@110"}));
    EXPECT_EQ(frames.back(), "A3.123@2530");
    host.advance(20);
    EXPECT_EQ(shown(), (Strings{"A3.124@2550"}));
}

TEST_F(PlaybackTest, SettleTickRedrawsOnlyWhenLoadedAndStoppedOrWaiting) {
    make_play({50, 2, 1});
    mark_still(2);
    host.set_loop_checked(true);
    auto settle = [&] {
        host.enable_timer(T3);
        host.advance(kTimer3IntervalMs);
        EXPECT_FALSE(timer_on(T3));
    };
    auto stills = [&] {
        Strings out;
        for (const std::string& f : shown()) {
            if (f[0] == 'S') out.push_back(f);
        }
        return out;
    };
    state.play_loaded = false;
    settle();
    EXPECT_TRUE(shown().empty());
    state.play_loaded = true;
    settle();
    EXPECT_EQ(shown(), (Strings{"S1@1000"}));

    engine.BitBtn1Click();
    settle();
    EXPECT_TRUE(stills().empty()) << "running: only animation frames";
    host.advance(500);
    EXPECT_EQ(stills(), (Strings{"S2@2000"}));
    EXPECT_EQ(engine.state(), EngineState::SketchPause);
    settle();
    EXPECT_EQ(stills(), (Strings{"S2@2500"}));
}

TEST_F(PlaybackTest, StopResetAndClose) {
    make_play({2, 2, 2, 1});
    mark_still(2);
    host.set_loop_checked(true);
    engine.BitBtn1Click();
    host.advance(40);
    engine.BitBtn4Click();
    EXPECT_EQ(engine.state(), EngineState::Idle);
    EXPECT_EQ(shown(), (Strings{"A1.2@20", "S2@40", "S1@40"}));

    engine.BitBtn1Click();
    host.advance(20);
    engine.reset_for_open();
    EXPECT_EQ(engine.state(), EngineState::Idle);
    EXPECT_EQ(state.anim_step, 1);

    engine.BitBtn1Click();
    host.advance(20);
    engine.close();
    EXPECT_EQ(engine.state(), EngineState::Idle);
    EXPECT_EQ(state.anim_step, 2);
    host.advance(10000);
    EXPECT_EQ(shown().size(), 2u);
}

TEST_F(PlaybackTest, Switches) {
    make_play({2, 2});
    engine.CheckBox1Click();
    engine.CheckBox3Click(false);
    EXPECT_FALSE(host.sketch_checked());
    engine.CheckBox4Click(true);
    EXPECT_TRUE(host.loop_checked());
    engine.BitBtn1Click();
    engine.CheckBox1Click();  // playing: the animation frames show the change
    engine.CheckBox3Click(true);
    EXPECT_TRUE(host.sketch_checked());
    EXPECT_EQ(shown(), (Strings{"S1@0", "S1@0"}));
}

// A frame that fails to draw leaves the values set before it, and the next tick carries on.
TEST_F(PlaybackTest, FailedFrameKeepsThePositionAndTimers) {
    make_play({3, 2, 1});
    mark_still(2);
    host.on_frame = [](const RecordedFrame&) { throw std::runtime_error("draw failed"); };
    engine.BitBtn1Click();
    EXPECT_THROW(host.advance(20), std::runtime_error);
    EXPECT_EQ(state.anim_step, 2);
    EXPECT_EQ(engine.state(), EngineState::Running);

    host.set_loop_checked(true);
    EXPECT_THROW(host.advance(40), std::runtime_error);  // A1.3, fails
    EXPECT_THROW(host.advance(20), std::runtime_error);  // Sketch stop at 2, fails drawing
    EXPECT_EQ(state.cur_seq, 2);
    EXPECT_EQ(engine.state(), EngineState::Idle);

    state.cur_seq = 3;
    EXPECT_THROW(engine.BitBtn1Click(), std::runtime_error);
    EXPECT_EQ(state.cur_seq, 1);
    EXPECT_EQ(engine.state(), EngineState::Idle);
    EXPECT_EQ(shown(), (Strings{"A1.2@20", "A1.3@40", "S2@60", "S1@60"}));
}

}  // namespace
}  // namespace hoopcast
