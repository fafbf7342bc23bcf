#pragma once
// The in-memory play: 75 sequences of 50 item slots each, with 1-based access. Slot 50
// of every sequence always stays free, so every scan of a sequence ends by slot 50.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/colours.h"
#include "play/crlf_text.h"

namespace hoopcast {

inline constexpr int kMaxSequences = 75;
inline constexpr int kSlotsPerSequence = 50;
inline constexpr int kMaxStoredItems = kSlotsPerSequence - 1;
inline constexpr std::size_t kMaxKindLength = 8;

// One item of a sequence. Texts hold the file's bytes (Windows-1252), not decoded.
struct element {
    std::int32_t number = 0;
    std::string kind;  // at most 8 characters; empty marks a free slot
    std::int32_t x1 = 0;
    std::int32_t y1 = 0;
    std::int32_t x2 = 0;
    std::int32_t y2 = 0;
    std::int32_t motion = 100;
    bool taken = false;
    double path_length = 1000.0;
    Colour colour = 0;
    std::int32_t extra2 = 0;
    std::int32_t extra1 = 0;
    std::int32_t extra3 = 0;
    CrlfText text;  // label; in version 0.5 its lines joined with CR LF
    std::string text2;

    bool operator==(const element&) const = default;
};

// The header of one sequence.
struct court_element {
    std::int32_t court_kind = 0;
    bool no_animation = false;
    CrlfText text;  // description, lines joined with CR LF
    Colour colour2 = 0;
    Colour colour1 = 0;
    Colour colour4 = 0;
    Colour colour3 = 0;

    bool operator==(const court_element&) const = default;
};

// One point of a curved line, in court units.
struct TPunt {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct SymbolStyle {
    bool filled = true;
    Colour colour = 0;
};

// Display defaults the window sets when it is first shown; the drawings read them.
struct DisplayDefaults {
    std::array<Colour, 4> court_default_colours{0x99FFFF, 0x00CCFF, 0xCCFFFF, 0x99CCFF};
    SymbolStyle triangle_style{true, 0x6666FF};
    SymbolStyle circle_style{true, 0xFF6666};
};

// The play's tables. One object is one play; a window, a test or the exporter each hold
// their own. Sequence indices run 1..75, slot indices 1..50.
//
// The tables remember how far they have been handed out for writing, so that clearing
// them costs what a play used rather than the whole 75 x 50: a reference to a slot is good
// for writing until the next reset_play().
class PlayModel {
  public:
    PlayModel() = default;

    element& item(int s, int i) noexcept {
        const std::size_t si = index_seq(s);
        const std::size_t ii = index_slot(i);
        mark_written(si, ii + 1);
        return elements_[si][ii];
    }
    const element& item(int s, int i) const noexcept { return elements_[index_seq(s)][index_slot(i)]; }
    court_element& header(int s) noexcept {
        const std::size_t si = index_seq(s);
        mark_written(si, 0);
        return court_elements_[si];
    }
    const court_element& header(int s) const noexcept { return court_elements_[index_seq(s)]; }
    double& seq_path_length(int s) noexcept {
        const std::size_t si = index_seq(s);
        mark_written(si, 0);
        return seq_path_length_[si];
    }
    double seq_path_length(int s) const noexcept { return seq_path_length_[index_seq(s)]; }

    // Clears every sequence as before a read: every slot but its second point (x2, y2,
    // which the reader sets for every item it stores), the headers and the path lengths.
    // seq_count and the flags are not touched.
    void reset_play();

    std::int32_t seq_count = 0;  // always within 0..75
    bool has_zones = false;

  private:
    static std::size_t index_seq(int s) noexcept;
    static std::size_t index_slot(int i) noexcept;

    void mark_written(std::size_t si, std::size_t slot_count) noexcept {
        if (si >= written_seqs_) written_seqs_ = si + 1;
        if (slot_count > written_slots_[si]) written_slots_[si] = static_cast<std::uint8_t>(slot_count);
    }

    // Beyond these, every sequence and slot holds its reset values (but for x2 and y2).
    std::size_t written_seqs_ = 0;
    std::array<std::uint8_t, kMaxSequences> written_slots_{};

    std::array<std::array<element, kSlotsPerSequence>, kMaxSequences> elements_{};
    std::array<court_element, kMaxSequences> court_elements_{};
    std::array<double, kMaxSequences> seq_path_length_ = filled_path_lengths();

    static constexpr std::array<double, kMaxSequences> filled_path_lengths() {
        std::array<double, kMaxSequences> a{};
        a.fill(0.1);
        return a;
    }
};

// Kind groups. Comparisons are exact and case-sensitive.
bool aplayer(std::string_view kind) noexcept;
bool aball(std::string_view kind) noexcept;
bool aline(std::string_view kind) noexcept;

}  // namespace hoopcast
