#pragma once
// The motion pass: after a read, every item of a sequence is paired with its counterpart
// in the next sequence, gets its motion mode and target, and its straight path is measured.
// Also the point lists that carry curved lines.

#include <cstdint>
#include <vector>

#include "play/model.h"

namespace hoopcast {

// Pairs the items of sequences 1..seq_count. Must run once on a freshly read model: it
// changes kinds (Circle <-> Triangle) and overwrites second points with targets.
void get_players(PlayModel& play);

// Distance between the first points of item i of sequence s and item i of sequence s + 1.
double calc_length(const PlayModel& play, int s, int i);
// Distance between the first points of item i of sequence s and item j of sequence s + 1.
double calc_length2(const PlayModel& play, int s, int i, int j);

// An ordered list of points that owns them.
using PointList = std::vector<TPunt>;

// Appends a point and returns it (valid until the list grows again).
TPunt& addPoint(std::int32_t x, std::int32_t y, PointList& list);
// Releases every point of the list; the list itself stays with its owner.
void FreePoints(PointList& list) noexcept;

}  // namespace hoopcast
