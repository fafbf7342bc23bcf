#pragma once
// Part of the RTF reader: the bullets and numbers of list paragraphs, and how numbers count
// on from one paragraph to the next: old-style numbering properties (\pn), and the list
// table with its overrides (\listtable, \listoverridetable).

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "richtext/control_words.h"

namespace hoopcast::richtext {

inline constexpr int kMaxCounter = 1000000;         // the highest number counted to
inline constexpr std::size_t kMaxMarkerBytes = 64;  // of a marker, and of the text around a number
inline constexpr int kListLevels = 9;

enum class Numbering : std::uint8_t { none, bullet, body, continuation };
enum class NumberStyle : std::uint8_t {
    decimal,
    upper_letter,
    lower_letter,
    upper_roman,
    lower_roman,
    decimal_zero,  // 01, 02 ... 10
    none,          // the number is not shown
};

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

// One level of a list in the list table.
struct ListLevel {
    NumberStyle style = NumberStyle::decimal;
    int start = 1;
    bool restarts = true;     // counts anew after a paragraph of a higher level
    bool legal = false;       // the numbers of the higher levels it shows are decimal
    std::string text;         // UTF-8; the bytes 0 to 8 stand for the number of that level
    std::optional<int> left;  // the level's indents, for paragraphs that give none
    std::optional<int> first;

    void apply(const ControlWord& word, int value);
};

struct ListDefinition {
    int id = 0;
    std::vector<ListLevel> levels;
};

// What a paragraph's list number (\ls) stands for: a list, perhaps starting some of its
// levels anew where the number is first used.
struct ListOverride {
    int number = 0;
    int list_id = 0;
    std::array<std::optional<int>, kListLevels> start_at;
};

// The list table, and the counters of its lists while the paragraphs are read.
class ListTable {
  public:
    void add(ListDefinition list);
    void add(const ListOverride& entry);
    // The level a paragraph of list `number` shows; null when the table has none.
    const ListLevel* level(int number, int level) const;
    // Counts a paragraph of list `number` at `level` and gives its bullet or number.
    std::string count(int number, int level);

  private:
    struct Use {
        ListOverride entry;
        bool started = false;
    };
    struct Counters {
        std::array<int, kListLevels> value{};
        std::array<bool, kListLevels> counted{};
    };

    const ListDefinition* list(int id) const;

    std::vector<ListDefinition> lists_;
    std::map<int, Use> uses_;           // by list number
    std::map<int, Counters> counters_;  // by list id: lists share their count across overrides
};

}  // namespace hoopcast::richtext
