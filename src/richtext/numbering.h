#pragma once
// Part of the RTF reader: the bullets and numbers of list paragraphs, and how numbers count
// on from one paragraph to the next.

#include <cstddef>
#include <cstdint>
#include <string>

#include "richtext/control_words.h"

namespace hoopcast::richtext {

inline constexpr int kMaxCounter = 1000000;         // the highest number counted to
inline constexpr std::size_t kMaxMarkerBytes = 64;  // of a marker, and of the text around a number

enum class Numbering : std::uint8_t { none, bullet, body, continuation };
enum class NumberStyle : std::uint8_t { decimal, upper_letter, lower_letter, upper_roman, lower_roman };

// Old-style numbering properties (\pn) of a paragraph.
struct PnProps {
    Numbering kind = Numbering::none;
    NumberStyle style = NumberStyle::decimal;
    int start = 1;
    bool explicit_start = false;
    std::string before;
    std::string after;

    void apply(const ControlWord& word, int value);
};

// 4 as "4", "D", "d", "IV" or "iv"; numbers a style cannot write are written in decimal.
std::string number_text(int n, NumberStyle style);

// Counts the numbered paragraphs of a document, in order.
class ListNumbers {
  public:
    // Counts the next paragraph: a numbered one counts on from the one before unless a
    // list starts here.
    void count(const PnProps& pn);
    // The counted paragraph's bullet or number, when the document does not write it out.
    std::string marker(const PnProps& pn) const;
    // The next numbered paragraph starts its list anew.
    void restart() { restart_ = true; }

  private:
    int counter_ = 0;
    bool last_numbered_ = false;
    bool restart_ = false;
    NumberStyle last_style_ = NumberStyle::decimal;
};

}  // namespace hoopcast::richtext
