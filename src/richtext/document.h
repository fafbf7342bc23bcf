#pragma once
// A styled document as the description pane shows it: paragraphs of formatted runs, and
// tables whose cells hold paragraphs and further tables. Texts are UTF-8.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace hoopcast::richtext {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

enum class VerticalAlign : std::uint8_t { baseline, superscript, subscript };

struct Format {
    std::string font_family;        // empty: the text box's own font
    int size_half_points = 0;       // 0: the text box's own size
    std::optional<Rgb> colour;      // none: automatic (the text box's text colour)
    std::optional<Rgb> background;  // none: no highlight
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    VerticalAlign vertical = VerticalAlign::baseline;
    bool operator==(const Format&) const = default;
};

// Text of one format. '\t' is a tab, '\n' a line break inside the paragraph.
struct Run {
    std::string text;
    Format format;
    std::string link;  // target of a hyperlink field; empty: no link
};

enum class Alignment : std::uint8_t { left, centre, right, justify };

// Indents and spacing are in twips (1/20 point), as documents give them.
struct Paragraph {
    std::vector<Run> runs;
    Alignment alignment = Alignment::left;
    int left_indent = 0;
    int right_indent = 0;
    int first_line_indent = 0;  // negative for a hanging first line
    int space_before = 0;
    int space_after = 0;
    std::string marker;  // bullet or number shown before the text; empty: none
};

struct Block;

struct Cell {
    std::vector<Block> blocks;
    int width = 0;  // twips; 0 when the document does not say
};

struct Row {
    std::vector<Cell> cells;
};

struct Table {
    std::vector<Row> rows;
};

struct Block {
    std::variant<Paragraph, Table> content;
};

struct Document {
    std::vector<Block> blocks;
};

}  // namespace hoopcast::richtext
