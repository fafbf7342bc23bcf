#pragma once
// Builds play file text for the tests, in the layout the editor writes: a key and "=" in
// columns 1-10, a blank, the value from column 12, CR LF line ends.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "play/model.h"

namespace hoopcast::test_plays {

inline std::string key_line(const std::string& key, const std::string& value) {
    std::string k = key;
    k.resize(9, ' ');
    return k + "= " + value + "\r\n";
}

struct ItemText {
    ItemText(int number_ = 0, std::string kind_ = "", int x1_ = 0, int y1_ = 0, int x2_ = 0, int y2_ = 0,
             int extra1_ = 0, int extra2_ = 0, int extra3_ = 0, int colour_ = 0, std::string text_ = "",
             std::string text2_ = "")
        : number(number_),
          kind(std::move(kind_)),
          x1(x1_),
          y1(y1_),
          x2(x2_),
          y2(y2_),
          extra1(extra1_),
          extra2(extra2_),
          extra3(extra3_),
          colour(colour_),
          text(std::move(text_)),
          text2(std::move(text2_)) {}

    int number;
    std::string kind;
    int x1, y1, x2, y2;
    int extra1, extra2, extra3;
    int colour;
    std::string text;
    std::string text2;
};

struct SequenceText {
    std::string animation_line;  // whole line without CR LF; empty: no animation line
    std::vector<std::string> description;
    std::vector<std::string> focus;  // version 0.5 only
    std::vector<ItemText> items;
    std::string parts;  // the Nr_parts value; empty: the number of items
};

struct PlayText {
    std::string version = "0.5";
    bool type_line = true;
    std::string category = "Offense";
    std::string play_name = "Box set";
    std::string count;  // the Nr_seq value; empty: the number of sequences
    std::vector<SequenceText> sequences;

    std::string str() const {
        const int v = version[2] - '0';
        std::string out = "Version  = Basketball Drillpad " + version + "\r\n";
        if (type_line) out += key_line("Type", "Play");
        out += key_line("Category", category);
        out += key_line("Playname", play_name);
        out += key_line("Nr_seq", count.empty() ? std::to_string(sequences.size()) : count);
        if (v == 5)
            for (int k = 0; k < 9; ++k) out += key_line("Reserved", std::to_string(k));
        for (const SequenceText& s : sequences) {
            if (!s.animation_line.empty()) out += s.animation_line + "\r\n";
            out += key_line("Sequence", "");
            for (const std::string& d : s.description) out += d + "\r\n";
            if (v == 5) {
                out += key_line("Focus", "");
                for (const std::string& f : s.focus) out += f + "\r\n";
            }
            out += key_line("Nr_parts", s.parts.empty() ? std::to_string(s.items.size()) : s.parts);
            for (const ItemText& e : s.items) {
                out += key_line("Number", std::to_string(e.number));
                out += key_line("Kind", e.kind);
                out += key_line("X1", std::to_string(e.x1));
                out += key_line("Y1", std::to_string(e.y1));
                out += key_line("X2", std::to_string(e.x2));
                out += key_line("Y2", std::to_string(e.y2));
                if (v >= 4) {
                    out += key_line("Extra1", std::to_string(e.extra1));
                    out += key_line("Extra2", std::to_string(e.extra2));
                    out += key_line("Extra3", std::to_string(e.extra3));
                }
                if (v >= 3) out += key_line("Colour", std::to_string(e.colour));
                if (v >= 4) out += key_line("Text", e.text);
                if (v >= 5) out += key_line("Text2", e.text2);
            }
        }
        return out;
    }
};

inline std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Every table entry of two models, second points of free slots included.
inline void expect_same_model(const PlayModel& a, const PlayModel& b) {
    EXPECT_EQ(a.seq_count, b.seq_count);
    EXPECT_EQ(a.has_zones, b.has_zones);
    for (int s = 1; s <= kMaxSequences; ++s) {
        ASSERT_EQ(a.header(s), b.header(s)) << "sequence " << s;
        ASSERT_EQ(a.seq_path_length(s), b.seq_path_length(s)) << "sequence " << s;
        for (int i = 1; i <= kSlotsPerSequence; ++i) ASSERT_EQ(a.item(s, i), b.item(s, i)) << s << ", " << i;
    }
}

}  // namespace hoopcast::test_plays
