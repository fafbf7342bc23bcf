#include "play/motion.h"

#include <algorithm>
#include <cmath>

namespace hoopcast {

namespace {

double distance(const element& a, const element& b) {
    const double dx = static_cast<double>(a.x1) - static_cast<double>(b.x1);
    const double dy = static_cast<double>(a.y1) - static_cast<double>(b.y1);
    return std::sqrt(dx * dx + dy * dy);
}

// Number of items of sequence s: scans stop at the first empty kind.
int used_slots(const PlayModel& play, int s) {
    int n = 0;
    while (n < kSlotsPerSequence && !play.item(s, n + 1).kind.empty()) ++n;
    return n;
}

bool player_swaps_side(const std::string& from, const std::string& to) {
    return (from == "Circle" && to == "Triangle") || (from == "Triangle" && to == "Circle");
}

void raise_longest(PlayModel& play, int s, double length) {
    if (length > play.seq_path_length(s)) play.seq_path_length(s) = length;
}

// Passes 2 and 3: the first free item of sequence s + 1 with the same number that `fits`.
template <typename Fits>
int find_partner(const PlayModel& play, int s, int next_count, const element& e, Fits fits) {
    for (int j = 1; j <= next_count; ++j) {
        const element& candidate = play.item(s + 1, j);
        if (candidate.number == e.number && !candidate.taken && fits(e.kind, candidate.kind)) return j;
    }
    return 0;
}

void pair_with_other_slot(PlayModel& play, int s, int i, int j, int motion) {
    element& e = play.item(s, i);
    element& partner = play.item(s + 1, j);
    e.motion = motion;
    e.path_length = calc_length2(play, s, i, j);
    e.x2 = partner.x1;
    e.y2 = partner.y1;
    if (motion == 3) e.kind = partner.kind;
    partner.taken = true;
    raise_longest(play, s, e.path_length);
}

}  // namespace

double calc_length(const PlayModel& play, int s, int i) {
    return distance(play.item(s, i), play.item(s + 1, i));
}

double calc_length2(const PlayModel& play, int s, int i, int j) {
    return distance(play.item(s, i), play.item(s + 1, j));
}

void get_players(PlayModel& play) {
    const int n = std::clamp(play.seq_count, 0, kMaxSequences);

    // Pass 1: the same object in the same slot of the next sequence.
    for (int s = 1; s < n; ++s) {
        const int count = used_slots(play, s);
        const int next_count = used_slots(play, s + 1);
        for (int i = 1; i <= count && i <= next_count; ++i) {
            element& e = play.item(s, i);
            element& partner = play.item(s + 1, i);
            if (partner.number != e.number || partner.kind != e.kind) continue;
            e.motion = 1;
            e.path_length = calc_length(play, s, i);
            partner.taken = true;
            raise_longest(play, s, e.path_length);
        }
    }

    // Pass 2: the same object in another slot.
    for (int s = 1; s < n; ++s) {
        const int count = used_slots(play, s);
        const int next_count = used_slots(play, s + 1);
        for (int i = 1; i <= count; ++i) {
            const element& e = play.item(s, i);
            if (e.motion != 0) continue;
            const int j = find_partner(play, s, next_count, e,
                                       [](const std::string& a, const std::string& b) { return a == b; });
            if (j != 0) pair_with_other_slot(play, s, i, j, 2);
        }
    }

    // Pass 3: a player who changes side turns from circle into triangle or back.
    for (int s = 1; s < n; ++s) {
        const int count = used_slots(play, s);
        const int next_count = used_slots(play, s + 1);
        for (int i = 1; i <= count; ++i) {
            const element& e = play.item(s, i);
            if (e.motion != 0) continue;
            const int j = find_partner(play, s, next_count, e, player_swaps_side);
            if (j != 0) pair_with_other_slot(play, s, i, j, 3);
        }
    }

    // Pass 4: the last sequence is never animated; its items stand at their first point.
    if (n >= 1) {
        const int count = used_slots(play, n);
        for (int i = 1; i <= count; ++i) {
            element& e = play.item(n, i);
            if (e.motion == 0) e.motion = 3;
        }
    }
}

TPunt& addPoint(std::int32_t x, std::int32_t y, PointList& list) {
    TPunt& p = list.emplace_back();
    p.x = x;
    p.y = y;
    return p;
}

void FreePoints(PointList& list) noexcept {
    list.clear();
}

}  // namespace hoopcast
