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
    list,          // heard in the list table and its overrides only
    picture,       // heard in a picture only
    character,     // character formatting: heard wherever text is read
    paragraph,     // paragraph formatting: heard wherever text is read
    text,          // stands for a character: heard wherever text is read
    body,          // ends a paragraph, cell or row: heard in the document's own text only
    row,           // a table row's definition: in the document's own text and in \nesttableprops
    border,        // a border of the paragraph or of the cell being defined: where both are heard
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
    list_table, list, list_level,
    level_text,         // a list level's bullet or number, with the places of the numbers in it
    list_overrides, list_override,
    override_level,     // \lfolevel: a level an override starts anew
    picture,
    picture_group,      // \shppict: holds the picture newer readers show; its text is read
    // document
    code_page,          // value: the code page
    ansi_code_page,     // the parameter is the code page
    default_font, unicode_skip, default_tab,
    // font and colour tables
    font,               // defines a font in the font table, selects one everywhere else
    charset, font_code_page, red, green, blue,
    // characters
    plain, bold, italic,
    underline,          // value: an Underline
    strike, size, colour, background, hidden,
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
    line_spacing, line_multiple,
    tab_stop, bar_tab,
    tab_kind,           // value: a TabKind, for the next tab stop
    tab_leader,         // value: a TabLeader, for the next tab stop
    pattern_background, pattern_colour, shading,
    list_number,        // \ls: in a paragraph its list, in an override the number it defines
    list_level_number,  // \ilvl
    // borders
    border_side,        // value: the side whose border the next words describe (4: all four)
    cell_border_side,
    unshown_border,     // a border the pane does not show: the words after it describe that one
    border_style,       // value: a BorderStyle
    border_width, border_colour, border_space,
    // table rows
    row_defaults, row_left, cell_edge, cell_background, cell_pattern_colour, cell_shading,
    // numbering
    numbering_level,    // value: a Numbering
    number_style,       // value: a NumberStyle
    number_start, numbering_font,
    // list table
    list_id, level_format, level_start, level_no_restart, level_legal, override_start,
    // pictures
    picture_format,     // value: a PictureFormat
    picture_size,       // value: a PictureSize
};
// clang-format on

// The measures of a picture, in the order documents define them.
enum class PictureSize : std::uint8_t { width, height, goal_width, goal_height, scale_x, scale_y };

struct ControlWord {
    std::string_view name;
    WordKind kind;
    WordGroup group;
    int value = 0;  // the character a text word stands for, or the setting a word makes
};

// The word of this name; null for a word the reader does not know.
const ControlWord* find_control_word(std::string_view name);

}  // namespace hoopcast::richtext
