#pragma once
// Part of the RTF reader: the control words it knows, as one table. A word's group says
// where it is heard, its kind what it does there; words of one kind differ only in the
// value they carry (a character, an alignment, a code page ...). A new word that does what
// another does is one row of the table.

#include <cstdint>
#include <string_view>

namespace hoopcast::richtext {

enum class WordGroup : std::uint8_t {
    destination,   // opens a destination: heard wherever it stands, also after "\*"
    document,      // a setting of the whole document: heard wherever it stands
    font_table,    // heard in the font table only
    colour_table,  // heard in the colour table only
    numbering,     // heard in old-style numbering properties (\pn) only
    character,     // character formatting: heard wherever text is read
    paragraph,     // paragraph formatting: heard wherever text is read
    text,          // stands for a character: heard wherever text is read
    body,          // ends a paragraph, cell or row: heard in the document's own text only
    row,           // a table row's definition: in the document's own text and in \nesttableprops
};

// clang-format off
enum class WordKind : std::uint8_t {
    // destinations
    skip,               // read and dropped: pictures, info, headers, unknown ignorable ones ...
    font_table, colour_table, field,
    field_instruction,  // a field's code: kept only to find a link target
    field_result,
    marker,             // \pntext, \listtext: a paragraph's bullet or number as text
    numbering,          // \pn: old-style numbering properties of a paragraph
    text_before, text_after,  // \pntxtb, \pntxta: text around the number
    nested_row,         // \nesttableprops: a nested table's row definition
    unicode_twin,       // \upr: a text in 8 bits, and again in Unicode in its \ud: only that is read
    unicode_version,    // \ud
    // document
    code_page,          // value: the code page
    ansi_code_page,     // the parameter is the code page
    default_font, unicode_skip,
    // font and colour tables
    font,               // defines a font in the font table, selects one everywhere else
    charset, font_code_page, red, green, blue,
    // characters
    plain, bold, italic, underline, no_underline, strike, size, colour, background, hidden,
    vertical,           // value: a VerticalAlign
    // text
    character,          // value: the character
    unicode,
    // body
    end_paragraph, end_section, end_cell, end_nested_cell, end_row, end_nested_row, footnote_mark,
    // paragraphs
    paragraph_defaults,
    alignment,          // value: an Alignment
    left_indent, right_indent, first_indent, space_before, space_after, in_table, table_depth,
    // table rows
    row_defaults, row_left, cell_edge,
    // numbering
    numbering_level,    // value: a Numbering
    number_style,       // value: a NumberStyle
    number_start, numbering_font,
};
// clang-format on

struct ControlWord {
    std::string_view name;
    WordKind kind;
    WordGroup group;
    int value = 0;  // the character a text word stands for, or the setting a word makes
};

// The word of this name; null for a word the reader does not know.
const ControlWord* find_control_word(std::string_view name);

}  // namespace hoopcast::richtext
