#include <gtest/gtest.h>

#include <memory>

#include "play/steps.h"
#include "scene/mapping.h"

namespace hoopcast {
namespace {

TEST(FramePicture, SizesAndPenWidthsOfTheLayouts) {
    struct Case {
        int window_height;
        std::int32_t width, height, pen;
    };
    for (const Case c : {Case{458, 328, 410, 2}, Case{600, 442, 552, 2}, Case{776, 583, 728, 3}}) {
        const double scale = full_layout_scale(c.window_height);
        const PictureSize size = frame_picture_size(scale);
        EXPECT_EQ(size.width, c.width) << c.window_height;
        EXPECT_EQ(size.height, c.height) << c.window_height;
        EXPECT_EQ(frame_pen_width(scale), c.pen) << c.window_height;
    }
    EXPECT_EQ(frame_picture_size(1.0).width, 289);
    EXPECT_EQ(frame_picture_size(1.0).height, 361);
    EXPECT_EQ(frame_pen_width(1.0), 1);
    EXPECT_EQ(frame_pen_width(1.1), 1);
    EXPECT_EQ(frame_pen_width(1.14), 2);
    EXPECT_EQ(frame_pen_width(1.91), 2);
    EXPECT_EQ(frame_pen_width(2.02), 3);
    EXPECT_EQ(frame_picture_size(0.0).width, 0);
    EXPECT_EQ(frame_picture_size(0.0).height, 0);
    EXPECT_EQ(court_to_pixels(2.5, 1.0), 2);
    EXPECT_EQ(court_to_pixels(143, 1.52909), 219);
}

class StepPositions : public ::testing::Test {
  protected:
    std::unique_ptr<PlayModel> play = std::make_unique<PlayModel>();

    void place(int s, int i, int x1, int y1, int x2, int y2) {
        element& e = play->item(s, i);
        e.kind = "Circle";
        e.x1 = x1;
        e.y1 = y1;
        e.x2 = x2;
        e.y2 = y2;
    }
};

TEST_F(StepPositions, HalvesRoundToEvenAndTheLastStepHitsTheTarget) {
    place(1, 1, 10, 10, 13, 15);
    place(2, 1, 13, 15, 0, 0);
    EXPECT_EQ(calc_wrk_x1(*play, 1, 1, 1, 4, 0.5), 12);  // 11.5
    EXPECT_EQ(calc_wrk_y1(*play, 1, 1, 1, 4, 0.5), 12);  // 12.5
    EXPECT_EQ(calc_wrk_x2(*play, 1, 1, 1, 4, 0.5), 12);
    EXPECT_EQ(calc_wrk_y2(*play, 1, 1, 1, 4, 0.5), 12);
    place(1, 2, 0, 1, 0, -1);
    EXPECT_EQ(calc_wrk_y2(*play, 1, 2, 1, 4, 0.75), 0);  // -0.5

    // The last step lands exactly, though step x fraction is not exactly 1.
    place(1, 3, 0, 0, 1000001, 7);
    place(2, 3, 999999, 3, 0, 0);
    const StepPlan plan = step_plan(1000001.0);
    EXPECT_EQ(calc_wrk_x2(*play, 1, 3, plan.steps, plan.steps, plan.fraction), 1000001);
    EXPECT_EQ(calc_wrk_x1(*play, 1, 3, plan.steps, plan.steps, plan.fraction), 999999);
    EXPECT_EQ(calc_wrk_y1(*play, 1, 3, 7, 7, 0.1), 3);
}

TEST_F(StepPositions, StepZeroIsTheStartAndNeverLooksBeyondTheLastSequence) {
    place(1, 1, 20, 30, 200, 300);
    place(2, 1, 100, 100, 0, 0);
    EXPECT_EQ(calc_wrk_x1(*play, 1, 1, 0, 1, 0.0), 20);
    EXPECT_EQ(calc_wrk_y2(*play, 1, 1, 0, 1, 0.0), 30);
    EXPECT_EQ(calc_wrk_x1(*play, 1, 1, 0, 5, 123.0), 20);

    place(kMaxSequences, 4, 17, 19, 0, 0);
    EXPECT_EQ(calc_wrk_x1(*play, kMaxSequences, 4, 0, 1, 0.0), 17);
    EXPECT_EQ(calc_wrk_y1(*play, kMaxSequences, 4, 0, 1, 0.0), 19);
    // Even asked to move, the last sequence of the tables has nowhere to go.
    EXPECT_EQ(calc_wrk_x1(*play, kMaxSequences, 4, 1, 1, 1.0), 17);
}

TEST_F(StepPositions, ExtremeCoordinatesSaturate) {
    place(1, 1, INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN);
    EXPECT_EQ(calc_wrk_x2(*play, 1, 1, 1, 3, 0.5), 0);  // halfway: -0.5 rounds to 0
    EXPECT_EQ(calc_wrk_x2(*play, 1, 1, 3, 4, 2.0), INT32_MAX);
    EXPECT_EQ(calc_wrk_y2(*play, 1, 1, 3, 4, 2.0), INT32_MIN);
}

}  // namespace
}  // namespace hoopcast
