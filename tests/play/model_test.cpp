#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <tuple>

#include "play/codepage.h"
#include "play/model.h"
#include "play/reader.h"
#include "play/rounding.h"
#include "play_text.h"

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
    play->item(2, 1).text2.assign(1 << 20, 'f');
    play->reset_play();
    EXPECT_LT(play->item(2, 1).text2.capacity(), 64u) << "a long text's memory is let go";
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

// Clearing only what the last plays used leaves the model exactly as clearing all of it
// did: over a run of random reads (good, bad, cut short, small and large plays), a model
// cleared whole before every read ends each read in the same state.
TEST(PlayModel, ClearingWhatWasUsedEqualsClearingEverything) {
    std::mt19937 random(12);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    const char* kinds[] = {"Circle", "Triangle", "Ball", "pass", "Text", "Court", "ellipse", "Rack", ""};
    auto tracked = std::make_unique<PlayModel>();
    auto cleared = std::make_unique<PlayModel>();
    for (int round = 0; round < 150; ++round) {
        test_plays::PlayText p;
        p.version = std::string("0.") + static_cast<char>('2' + pick(0, 3));
        const int count = pick(0, 9) == 0 ? pick(10, 75) : pick(0, 4);
        for (int s = 0; s < count; ++s) {
            test_plays::SequenceText seq;
            const int items = pick(0, 9) == 0 ? pick(45, 55) : pick(0, 6);
            for (int k = 0; k < items; ++k)
                seq.items.push_back(
                    {pick(1, 4), kinds[pick(0, 8)], pick(0, 288), pick(0, 360), pick(0, 288), pick(0, 999)});
            p.sequences.push_back(std::move(seq));
        }
        std::string text = p.str();
        if (pick(0, 5) == 0) text.resize(static_cast<std::size_t>(pick(0, static_cast<int>(text.size()))));
        if (pick(0, 5) == 0) text[0] = 'v';
        // The old way: every slot but its second point, header and path length cleared first.
        for (int s = 1; s <= kMaxSequences; ++s) {
            for (int i = 1; i <= kSlotsPerSequence; ++i) {
                element& e = cleared->item(s, i);
                element fresh;
                std::tie(fresh.x2, fresh.y2) = std::tie(e.x2, e.y2);
                e = fresh;
            }
            cleared->header(s) = court_element{};
            cleared->seq_path_length(s) = 0.1;
        }
        ASSERT_EQ(read_play(*tracked, text, "r.kqz").outcome, read_play(*cleared, text, "r.kqz").outcome);
        test_plays::expect_same_model(*tracked, *cleared);
        if (HasFatalFailure()) return;
    }
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
    EXPECT_EQ(cp1252_to_utf8("\x80"), "\xE2\x82\xAC");          // euro sign
    EXPECT_EQ(cp1252_to_utf8("\xE9"), "\xC3\xA9");              // e acute
    EXPECT_EQ(cp1252_to_utf8("\x81\x9D"), "\xC2\x81\xC2\x9D");  // undefined bytes
}

}  // namespace
}  // namespace hoopcast

#include "play/steps.h"

namespace hoopcast {
namespace {

TEST(StepPlan, ExtendedPrecisionDecidesTheHalves) {
    const std::pair<double, int> table[] = {{0.1, 1}, {4.9, 1}, {5, 2},   {25, 5},   {30, 7},
                                            {37, 8},  {55, 11}, {60, 13}, {100, 20}, {103, 21}};
    for (const auto& [length, steps] : table) {
        EXPECT_EQ(step_plan(length).steps, steps) << "longest path " << length;
    }
    EXPECT_DOUBLE_EQ(step_plan(25).fraction, 0.2);
}

}  // namespace
}  // namespace hoopcast
