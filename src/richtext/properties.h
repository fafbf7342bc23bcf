#pragma once
// Part of the RTF reader: the character and paragraph properties a group holds while its
// text is read, and the control words that change them.

#include <algorithm>

#include "richtext/control_words.h"
#include "richtext/document.h"
#include "richtext/numbering.h"

namespace hoopcast::richtext {

inline constexpr int kMaxTableDepth = 16;  // deeper tables are read as the deepest one
inline constexpr int kMaxTwips = 31680;    // 22 inches, more than any page
inline constexpr int kDefaultSize = 24;    // half-points: 12 pt

inline int clamp_twips(int v) {
    return std::clamp(v, -kMaxTwips, kMaxTwips);
}

struct CharProps {
    int font = -1;  // -1: the document's default font
    int size = kDefaultSize;
    int colour = 0;
    int background = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    VerticalAlign vertical = VerticalAlign::baseline;

    void apply(const ControlWord& word, bool has_param, int value);
};

struct ParaProps {
    Alignment alignment = Alignment::left;
    int left = 0;
    int right = 0;
    int first = 0;
    int before = 0;
    int after = 0;
    bool in_table = false;
    int itap = 0;
    PnProps pn;

    // The table nesting level of the paragraph; 0 outside tables.
    int level() const { return std::min(itap > 0 ? itap : (in_table ? 1 : 0), kMaxTableDepth); }
    void apply(const ControlWord& word, int value);
};

}  // namespace hoopcast::richtext
