#pragma once
// A styled document as the description pane shows it: paragraphs of formatted runs and
// pictures, and tables whose cells hold paragraphs and further tables. Texts are UTF-8.

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

enum class Underline : std::uint8_t {
    none,
    single,
    double_line,
    thick,
    dotted,
    dashed,
    dash_dot,
    dash_dot_dot,
    wave,
    words
};

struct Format {
    std::string font_family;        // empty: the text box's own font
    int size_half_points = 0;       // 0: the text box's own size
    std::optional<Rgb> colour;      // none: automatic (the text box's text colour)
    std::optional<Rgb> background;  // none: no highlight
    bool bold = false;
    bool italic = false;
    Underline underline = Underline::none;
    bool strike = false;
    VerticalAlign vertical = VerticalAlign::baseline;
    bool operator==(const Format&) const = default;
};

enum class PictureFormat : std::uint8_t { png, jpeg, metafile };

// A picture in the text. Metafiles are not drawn: they keep their place as an empty frame.
struct Picture {
    PictureFormat format = PictureFormat::metafile;
    std::string data;  // the file's bytes; empty for metafiles and for pictures beyond the limit
    int width = 0;     // twips as shown; 0 when the document does not say
    int height = 0;
};

// Text of one format, or a picture when `picture` is set. '\t' is a tab, '\n' a line break
// inside the paragraph.
struct Run {
    std::string text;
    Format format;
    std::string link;  // target of a hyperlink field; empty: no link
    std::optional<Picture> picture;
};

enum class Alignment : std::uint8_t { left, centre, right, justify };

enum class TabKind : std::uint8_t { left, centre, right, decimal };
enum class TabLeader : std::uint8_t { none, dots, middle_dots, hyphens, underline, thick_line, equals };

// Lengths are in twips (1/20 point), as documents give them.
struct TabStop {
    int position = 0;  // from the paragraph's left edge without its indent, as word processors measure
    TabKind kind = TabKind::left;
    TabLeader leader = TabLeader::none;
    bool operator==(const TabStop&) const = default;
};

enum class BorderStyle : std::uint8_t {
    none,
    single,
    thick,
    double_line,
    dotted,
    dashed,
    dot_dash,
    dot_dot_dash
};

struct Border {
    BorderStyle style = BorderStyle::none;
    int width = 0;              // twips; 0 with a style: the thinnest line
    std::optional<Rgb> colour;  // none: automatic (black)
    bool operator==(const Border&) const = default;
};

struct Borders {
    Border top, left, bottom, right;
    int space = 0;  // between the text and the borders, twips
    bool any() const {
        return top.style != BorderStyle::none || left.style != BorderStyle::none ||
               bottom.style != BorderStyle::none || right.style != BorderStyle::none;
    }
    bool operator==(const Borders&) const = default;
};

struct Paragraph {
    std::vector<Run> runs;
    Alignment alignment = Alignment::left;
    int left_indent = 0;
    int right_indent = 0;
    int first_line_indent = 0;  // negative for a hanging first line
    int space_before = 0;
    int space_after = 0;
    // Line spacing: 0 single; a multiple of single spacing in 240ths when `line_multiple`;
    // otherwise at least this height when positive, exactly its size when negative.
    int line_spacing = 0;
    bool line_multiple = false;
    std::vector<TabStop> tabs;  // in order of position
    Borders borders;            // paragraphs in a row with the same borders share one frame
    std::optional<Rgb> background;
    std::string marker;  // bullet or number shown before the text; empty: none
};

struct Block;

struct Cell {
    std::vector<Block> blocks;
    int width = 0;  // twips; 0 when the document does not say
    std::optional<Rgb> background;
    Borders borders;
    bool has_borders = false;  // the document gives the cell's borders, even as none
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
    int default_tab = 720;  // twips between the tab stops a paragraph does not set
};

}  // namespace hoopcast::richtext
