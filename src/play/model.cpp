#include "play/model.h"

#include <algorithm>
#include <cassert>
#include <memory>

namespace hoopcast {

namespace {
constexpr std::array<std::string_view, 15> kPlayerKinds = {
    "Circle", "Triangle", "Circlef", "Triangf", "Otriangl", "Dcircle", "Ochair", "Dchair",
    "Ocross", "Ncross",   "Cross",   "Crossf",  "Coach",    "Pylon",   "Rack"};
constexpr std::array<std::string_view, 2> kBallKinds = {"Ball", "Ballf"};
constexpr std::array<std::string_view, 9> kLineKinds = {"loop",     "ploop",  "pass",    "ppass", "dribbel",
                                                        "pdribbel", "screen", "pscreen", "shot"};

template <std::size_t N>
bool in_group(const std::array<std::string_view, N>& group, std::string_view kind) noexcept {
    return std::find(group.begin(), group.end(), kind) != group.end();
}
}  // namespace

// Out-of-range indices are a caller's bug; in release builds they are clamped so that a
// bug never reads past the tables.
std::size_t PlayModel::index_seq(int s) noexcept {
    assert(s >= 1 && s <= kMaxSequences);
    return static_cast<std::size_t>(std::clamp(s, 1, kMaxSequences) - 1);
}

std::size_t PlayModel::index_slot(int i) noexcept {
    assert(i >= 1 && i <= kSlotsPerSequence);
    return static_cast<std::size_t>(std::clamp(i, 1, kSlotsPerSequence) - 1);
}

namespace {
// Made anew rather than assigned a fresh value: a string that takes an empty one keeps its
// buffer, and a play's long texts would stay in memory after it.
template <typename T>
void renew(T& value) noexcept {
    std::destroy_at(&value);
    std::construct_at(&value);
}
}  // namespace

void PlayModel::reset_play() {
    for (std::size_t si = 0; si < written_seqs_; ++si) {
        for (std::size_t ii = 0; ii < written_slots_[si]; ++ii) {
            element& e = elements_[si][ii];
            const std::int32_t x2 = e.x2;
            const std::int32_t y2 = e.y2;
            renew(e);
            e.x2 = x2;
            e.y2 = y2;
        }
        written_slots_[si] = 0;
        seq_path_length_[si] = 0.1;
        renew(court_elements_[si]);
    }
    written_seqs_ = 0;
}

bool aplayer(std::string_view kind) noexcept {
    return in_group(kPlayerKinds, kind);
}
bool aball(std::string_view kind) noexcept {
    return in_group(kBallKinds, kind);
}
bool aline(std::string_view kind) noexcept {
    return in_group(kLineKinds, kind);
}

}  // namespace hoopcast
