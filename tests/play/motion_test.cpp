#include <gtest/gtest.h>

#include <memory>

#include "play/motion.h"

namespace hoopcast {
namespace {

class MotionPass : public ::testing::Test {
  protected:
    std::unique_ptr<PlayModel> play = std::make_unique<PlayModel>();

    // Stores an item as the reader does.
    element& put(int s, int i, int number, const std::string& kind, int x1, int y1) {
        element& e = play->item(s, i);
        e.number = number;
        e.kind = kind;
        e.x1 = x1;
        e.y1 = y1;
        e.x2 = -1;
        e.y2 = -1;
        e.motion = 0;
        e.taken = aline(kind) || kind == "Text";
        return e;
    }
};

TEST_F(MotionPass, OneSequenceOrNone) {
    put(1, 1, 1, "Circle", 10, 10);
    put(1, 2, 0, "pass", 0, 0);
    play->seq_count = 0;
    get_players(*play);
    EXPECT_EQ(play->item(1, 1).motion, 0) << "no sequences: nothing changes";

    play->seq_count = 1;
    get_players(*play);
    EXPECT_EQ(play->item(1, 1).motion, 3);
    EXPECT_EQ(play->item(1, 2).motion, 3);
    EXPECT_EQ(play->item(1, 1).x2, -1) << "the last sequence keeps its second points";
    EXPECT_EQ(play->item(1, 1).path_length, 1000.0);
    EXPECT_EQ(play->seq_path_length(1), 0.1);
}

TEST_F(MotionPass, SameSlotPairsWhateverTheKind) {
    put(1, 1, 1, "Circle", 0, 0);
    put(2, 1, 1, "Circle", 3, 4);
    put(1, 2, 5, "pass", 0, 0);
    put(2, 2, 5, "pass", 0, 30);
    put(1, 3, 2, "Triangle", 0, 0);
    put(2, 3, 2, "Triangf", 0, 0);
    play->seq_count = 2;
    get_players(*play);
    EXPECT_EQ(play->item(1, 1).motion, 1);
    EXPECT_DOUBLE_EQ(play->item(1, 1).path_length, 5.0);
    EXPECT_EQ(play->item(1, 1).x2, -1) << "motion 1 leaves the second point alone";
    EXPECT_TRUE(play->item(2, 1).taken);
    EXPECT_EQ(play->item(1, 2).motion, 1) << "lines pair in the same slot";
    EXPECT_EQ(play->seq_path_length(1), 30.0) << "and their length counts";
    EXPECT_EQ(play->item(1, 3).motion, 0) << "different kind, no partner: not drawn";
    EXPECT_EQ(play->item(1, 3).path_length, 1000.0);
    EXPECT_EQ(play->item(2, 1).motion, 3);
    EXPECT_EQ(play->seq_path_length(2), 0.1);
}

TEST_F(MotionPass, OtherSlotTakesTheLowestFreeCandidate) {
    put(1, 1, 9, "Coach", 0, 0);
    put(1, 2, 9, "Coach", 0, 0);
    put(1, 3, 9, "Coach", 0, 0);
    put(1, 4, 4, "Circle", 100, 100);
    put(2, 1, 8, "Pylon", 0, 0);
    put(2, 2, 8, "Pylon", 0, 0);
    put(2, 3, 8, "Pylon", 0, 0);
    put(2, 4, 8, "Pylon", 0, 0);
    put(2, 5, 9, "Coach", 6, 8);
    put(2, 6, 4, "Circle", 130, 140);
    put(2, 7, 9, "Coach", 60, 80);
    play->seq_count = 2;
    get_players(*play);
    const element& p = play->item(1, 4);
    EXPECT_EQ(p.motion, 2);
    EXPECT_EQ(std::tie(p.x2, p.y2), std::make_tuple(130, 140));
    EXPECT_DOUBLE_EQ(p.path_length, 50.0);
    EXPECT_EQ(std::tie(play->item(1, 1).x2, play->item(1, 1).y2), std::make_tuple(6, 8));
    EXPECT_EQ(std::tie(play->item(1, 2).x2, play->item(1, 2).y2), std::make_tuple(60, 80));
    EXPECT_EQ(play->item(1, 3).motion, 0) << "both candidates are taken";
    EXPECT_EQ(play->seq_path_length(1), 100.0);
}

TEST_F(MotionPass, TakenItemsAndScanBounds) {
    // A line of the next sequence is taken by the reader and never becomes a partner.
    put(1, 1, 1, "pass", 0, 0);
    put(2, 1, 7, "Circle", 0, 0);
    put(2, 2, 1, "pass", 50, 50);
    // Slot 4 of sequence 2 lies after an empty slot: no scan reaches it.
    put(1, 2, 3, "Circle", 0, 0);
    put(1, 3, 4, "Circle", 0, 0);
    put(1, 4, 5, "Circle", 0, 0);
    put(2, 4, 5, "Circle", 9, 9);
    put(2, 5, 3, "Circle", 9, 9);
    play->seq_count = 2;
    get_players(*play);
    EXPECT_EQ(play->item(1, 1).motion, 0);
    EXPECT_EQ(play->item(1, 4).motion, 0);
    EXPECT_EQ(play->item(1, 2).motion, 0);
    EXPECT_EQ(play->item(2, 4).motion, 0) << "pass 4 does not reach it either";
}

TEST_F(MotionPass, ChangeOfSideTurnsThePlayer) {
    put(1, 1, 3, "Circle", 0, 0);
    put(2, 1, 3, "Triangle", 20, 0);
    put(1, 2, 4, "Triangle", 0, 0);
    put(2, 2, 9, "Circle", 0, 0);
    put(2, 3, 4, "Circle", 0, 10);
    put(1, 3, 5, "Circlef", 0, 0);
    put(2, 4, 5, "Triangf", 0, 0);
    play->seq_count = 2;
    get_players(*play);
    EXPECT_EQ(play->item(1, 1).motion, 3);
    EXPECT_EQ(play->item(1, 1).kind, "Triangle");
    EXPECT_EQ(play->item(1, 1).x2, 20);
    EXPECT_EQ(play->item(1, 2).motion, 3);
    EXPECT_EQ(play->item(1, 2).kind, "Circle");
    EXPECT_EQ(play->item(1, 2).y2, 10);
    EXPECT_EQ(play->item(1, 3).motion, 0) << "only Circle and Triangle change side";
    EXPECT_EQ(play->seq_path_length(1), 20.0);
}

TEST_F(MotionPass, SamePlacePairsButMovesNothing) {
    put(1, 1, 1, "Circle", 40, 40);
    put(2, 1, 1, "Circle", 40, 40);
    put(3, 1, 1, "Circle", 40, 45);
    play->seq_count = 3;
    get_players(*play);
    EXPECT_EQ(play->item(1, 1).motion, 1);
    EXPECT_EQ(play->item(1, 1).path_length, 0.0);
    EXPECT_EQ(play->seq_path_length(1), 0.1);
    EXPECT_EQ(play->seq_path_length(2), 5.0);
}

TEST(PointList, KeepsInsertionOrderAndFreesAll) {
    PointList list;
    TPunt& first = addPoint(3, 4, list);
    EXPECT_EQ(first.x, 3);
    addPoint(-1, 7, list);
    addPoint(5, 6, list);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[1].x, -1);
    EXPECT_EQ(list[2].y, 6);
    FreePoints(list);
    EXPECT_TRUE(list.empty());
}

}  // namespace
}  // namespace hoopcast
