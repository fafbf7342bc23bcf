#pragma once
// Part of the RTF reader: the character and paragraph properties a group holds while its
// text is read, and the control words that change them.

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "richtext/control_words.h"
#include "richtext/document.h"
#include "richtext/numbering.h"

namespace hoopcast::richtext {

inline constexpr int kMaxTableDepth = 16;  // deeper tables are read as the deepest one
inline constexpr int kMaxTwips = 31680;    // 22 inches, more than any page
inline constexpr int kDefaultSize = 24;    // half-points: 12 pt
inline constexpr std::size_t kMaxTabStops = 64;

inline int clamp_twips(int v) {
    return std::clamp(v, -kMaxTwips, kMaxTwips);
}

// The document's colour table. Entries left empty, and numbers past its end, are automatic.
class ColourTable {
  public:
    std::optional<Rgb> at(int index) const {
        return index >= 0 && static_cast<std::size_t>(index) < colours_.size()
                   ? colours_[static_cast<std::size_t>(index)]
                   : std::nullopt;
    }
    std::size_t size() const { return colours_.size(); }
    void add(std::optional<Rgb> colour);

  private:
    std::vector<std::optional<Rgb>> colours_;
};

// A shaded background: `shading` ten-thousandths of the pattern colour over the background
// colour (white and black when automatic). None when neither is given.
std::optional<Rgb> shade(const ColourTable& colours, int background, int pattern, int shading);

// A border as the document describes it, its colour still a number in the colour table.
struct BorderProps {
    BorderStyle style = BorderStyle::none;
    int width = 0;
    int colour = 0;

    void apply(const ControlWord& word, int value);
    Border resolve(const ColourTable& colours) const;
};

struct BordersProps {
    std::array<BorderProps, 4> sides;  // top, left, bottom, right
    int space = 0;

    // Applies a border word to the side it names, or to all four for 4.
    void apply(int side, const ControlWord& word, int value);
    Borders resolve(const ColourTable& colours) const;
};

struct CharProps {
    int font = -1;  // -1: the document's default font
    int size = kDefaultSize;
    int colour = 0;
    int background = 0;
    bool bold = false;
    bool italic = false;
    Underline underline = Underline::none;
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
    bool has_left = false;  // the paragraph gives its indents; a list level's count otherwise
    bool has_first = false;
    int before = 0;
    int after = 0;
    int line = 0;
    bool line_multiple = false;
    std::vector<TabStop> tabs;
    TabStop next_tab;  // the kind and leader words given for the next \tx
    BordersProps borders;
    int pattern_background = -1;
    int pattern_colour = -1;
    int shading = 0;
    bool in_table = false;
    int itap = 0;
    PnProps pn;
    int list = 0;  // \ls: 0 for no list
    int list_level = 0;

    // The table nesting level of the paragraph; 0 outside tables.
    int level() const { return std::min(itap > 0 ? itap : (in_table ? 1 : 0), kMaxTableDepth); }
    void apply(const ControlWord& word, int value);
};

}  // namespace hoopcast::richtext
