#include <gtest/gtest.h>

#include <memory>

#include "play/codepage.h"
#include "play/model.h"
#include "play/rounding.h"

namespace hoopcast {
namespace {

TEST(PlayModel, ResetGivesTheResetValuesEverywhere) {
    auto play = std::make_unique<PlayModel>();
    play->item(3, 7).kind = "Circle";
    play->item(3, 7).motion = 2;
    play->item(75, 50).path_length = 4.0;
    play->header(75).no_animation = true;
    play->seq_path_length(1) = 12.0;
    play->seq_count = 4;
    play->reset_play();
    for (int s = 1; s <= kMaxSequences; ++s) {
        EXPECT_EQ(play->seq_path_length(s), 0.1);
        EXPECT_FALSE(play->header(s).no_animation);
        for (int i = 1; i <= kSlotsPerSequence; ++i) {
            const element& e = play->item(s, i);
            ASSERT_EQ(e.motion, 100);
            ASSERT_EQ(e.path_length, 1000.0);
            ASSERT_TRUE(e.kind.empty());
        }
    }
    EXPECT_EQ(play->seq_count, 4) << "seq_count is not part of the reset";
}

TEST(PlayModel, KindGroupsAreExactAndCaseSensitive) {
    EXPECT_TRUE(aplayer("Circle"));
    EXPECT_FALSE(aplayer("circle"));
    EXPECT_TRUE(aplayer("Triangle"));
    EXPECT_TRUE(aplayer("Rack"));
    EXPECT_FALSE(aline("Pass"));
    EXPECT_TRUE(aline("pdribbel"));
    EXPECT_TRUE(aball("Ballf"));
    EXPECT_FALSE(aball("Ball "));
}

TEST(Rounding, HalvesGoToTheEvenNeighbourAndHugeValuesSaturate) {
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(3.5), 4);
    EXPECT_EQ(Round(-0.5), 0);
    EXPECT_EQ(Round(11.5L), 12);
    EXPECT_EQ(Round(12.5L), 12);
    EXPECT_EQ(Trunc(-1.9), -1);
    EXPECT_EQ(Round(1e30), 2147483647);
    EXPECT_EQ(Round(2147483646.5), 2147483646);
    EXPECT_EQ(Round(-2147483647.5), -2147483647 - 1);
    EXPECT_EQ(Round(0.49999999999999994), 0);
    EXPECT_EQ(Round(-2147483646.5L), -2147483646);
    EXPECT_EQ(Trunc(-1e30), -2147483647 - 1);
}

TEST(Codepage, Windows1252DecodesToUtf8) {
    EXPECT_EQ(cp1252_to_utf8("Abc"), "Abc");
    EXPECT_EQ(cp1252_to_utf8("\x80"), "\xE2\x82\xAC");           // euro sign
    EXPECT_EQ(cp1252_to_utf8("\xE9"), "\xC3\xA9");               // e acute
    EXPECT_EQ(cp1252_to_utf8("\x81\x9D"), "\xC2\x81\xC2\x9D");  // undefined bytes
}

}  // namespace
}  // namespace hoopcast

#include "play/steps.h"

namespace hoopcast {
namespace {

TEST(StepPlan, ExtendedPrecisionDecidesTheHalves) {
    const std::pair<double, int> table[] = {{0.1, 1}, {4.9, 1}, {5, 2},   {25, 5},  {30, 7},
                                            {37, 8},  {55, 11}, {60, 13}, {100, 20}, {103, 21}};
    for (const auto& [length, steps] : table) {
        EXPECT_EQ(step_plan(length).steps, steps) << "longest path " << length;
    }
    EXPECT_DOUBLE_EQ(step_plan(25).fraction, 0.2);
}

}  // namespace
}  // namespace hoopcast
