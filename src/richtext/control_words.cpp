#include "richtext/control_words.h"

#include <array>
#include <cstdint>
#include <iterator>

#include "richtext/document.h"
#include "richtext/numbering.h"

namespace hoopcast::richtext {

namespace {

constexpr std::size_t kMaxWordLetters = 32;  // longer names are no word the reader knows

using G = WordGroup;
using K = WordKind;

template <typename Setting>
constexpr int as_value(Setting s) {
    return static_cast<int>(s);
}

constexpr ControlWord skip(std::string_view name) {
    return {name, K::skip, G::destination};
}

constexpr ControlWord character(std::string_view name, char32_t c) {
    return {name, K::character, G::text, static_cast<int>(c)};
}

// clang-format off
constexpr ControlWord kWords[] = {
    // destinations
    {"fonttbl", K::font_table, G::destination},     {"colortbl", K::colour_table, G::destination},
    {"field", K::field, G::destination},            {"fldinst", K::field_instruction, G::destination},
    {"fldrslt", K::field_result, G::destination},
    {"pntext", K::marker, G::destination},          {"listtext", K::marker, G::destination},
    {"pn", K::numbering, G::destination},
    {"pntxtb", K::text_before, G::destination},     {"pntxta", K::text_after, G::destination},
    {"nesttableprops", K::nested_row, G::destination},
    {"upr", K::unicode_twin, G::destination},       {"ud", K::unicode_version, G::destination},
    // Destinations whose text is not part of what the pane shows.
    skip("info"), skip("stylesheet"), skip("pict"), skip("object"), skip("header"), skip("headerl"),
    skip("headerr"), skip("headerf"), skip("footer"), skip("footerl"), skip("footerr"), skip("footerf"),
    skip("footnote"), skip("annotation"), skip("atnid"), skip("atnauthor"), skip("bkmkstart"),
    skip("bkmkend"), skip("xe"), skip("tc"), skip("txe"), skip("listtable"), skip("listoverridetable"),
    skip("revtbl"), skip("rsidtbl"), skip("filetbl"), skip("nonesttables"), skip("nonshppict"), skip("shp"),
    skip("shppict"), skip("do"), skip("private"), skip("template"), skip("ftnsep"), skip("ftnsepc"),
    skip("aftnsep"), skip("aftnsepc"), skip("pnseclvl"), skip("generator"), skip("themedata"),
    skip("colorschememapping"), skip("latentstyles"), skip("datastore"), skip("xmlnstbl"), skip("pgdsctbl"),
    skip("expandedcolortbl"), skip("docvar"), skip("userprops"), skip("background"),
    // document
    {"ansi", K::code_page, G::document, 1252},      {"mac", K::code_page, G::document, 10000},
    {"pc", K::code_page, G::document, 437},         {"pca", K::code_page, G::document, 850},
    {"ansicpg", K::ansi_code_page, G::document},    {"deff", K::default_font, G::document},
    {"uc", K::unicode_skip, G::document},
    // font and colour tables
    {"f", K::font, G::character},
    {"fcharset", K::charset, G::font_table},        {"cpg", K::font_code_page, G::font_table},
    {"red", K::red, G::colour_table},               {"green", K::green, G::colour_table},
    {"blue", K::blue, G::colour_table},
    // characters
    {"plain", K::plain, G::character},              {"b", K::bold, G::character},
    {"i", K::italic, G::character},                 {"ul", K::underline, G::character},
    {"ulnone", K::no_underline, G::character},      {"strike", K::strike, G::character},
    {"striked", K::strike, G::character},           {"fs", K::size, G::character},
    {"cf", K::colour, G::character},                {"cb", K::background, G::character},
    {"highlight", K::background, G::character},     {"chcbpat", K::background, G::character},
    {"v", K::hidden, G::character},
    {"super", K::vertical, G::character, as_value(VerticalAlign::superscript)},
    {"sub", K::vertical, G::character, as_value(VerticalAlign::subscript)},
    {"nosupersub", K::vertical, G::character, as_value(VerticalAlign::baseline)},
    // text
    {"u", K::unicode, G::text},
    character("tab", '\t'), character("line", '\n'), character("emdash", 0x2014),
    character("endash", 0x2013), character("lquote", 0x2018), character("rquote", 0x2019),
    character("ldblquote", 0x201C), character("rdblquote", 0x201D), character("bullet", 0x2022),
    character("emspace", 0x2003), character("enspace", 0x2002), character("qmspace", 0x2005),
    character("zwj", 0x200D), character("zwnj", 0x200C), character("zwbo", 0x200B),
    character("ltrmark", 0x200E), character("rtlmark", 0x200F),
    // body
    {"par", K::end_paragraph, G::body},             {"sect", K::end_section, G::body},
    {"cell", K::end_cell, G::body},                 {"nestcell", K::end_nested_cell, G::body},
    {"row", K::end_row, G::body},                   {"nestrow", K::end_nested_row, G::body},
    {"chftn", K::footnote_mark, G::body},  // the footnote itself is skipped
    // paragraphs
    {"pard", K::paragraph_defaults, G::paragraph},
    {"ql", K::alignment, G::paragraph, as_value(Alignment::left)},
    {"qc", K::alignment, G::paragraph, as_value(Alignment::centre)},
    {"qr", K::alignment, G::paragraph, as_value(Alignment::right)},
    {"qj", K::alignment, G::paragraph, as_value(Alignment::justify)},
    {"qd", K::alignment, G::paragraph, as_value(Alignment::justify)},
    {"li", K::left_indent, G::paragraph},           {"lin", K::left_indent, G::paragraph},
    {"ri", K::right_indent, G::paragraph},          {"rin", K::right_indent, G::paragraph},
    {"fi", K::first_indent, G::paragraph},
    {"sb", K::space_before, G::paragraph},          {"sa", K::space_after, G::paragraph},
    {"intbl", K::in_table, G::paragraph},           {"itap", K::table_depth, G::paragraph},
    // table rows
    {"trowd", K::row_defaults, G::row},             {"trleft", K::row_left, G::row},
    {"cellx", K::cell_edge, G::row},
    // old-style numbering
    {"pnlvlblt", K::numbering_level, G::numbering, as_value(Numbering::bullet)},
    {"pnlvlbody", K::numbering_level, G::numbering, as_value(Numbering::body)},
    {"pnlvl", K::numbering_level, G::numbering, as_value(Numbering::body)},
    {"pnlvlcont", K::numbering_level, G::numbering, as_value(Numbering::continuation)},
    {"pndec", K::number_style, G::numbering, as_value(NumberStyle::decimal)},
    {"pnucltr", K::number_style, G::numbering, as_value(NumberStyle::upper_letter)},
    {"pnlcltr", K::number_style, G::numbering, as_value(NumberStyle::lower_letter)},
    {"pnucrm", K::number_style, G::numbering, as_value(NumberStyle::upper_roman)},
    {"pnlcrm", K::number_style, G::numbering, as_value(NumberStyle::lower_roman)},
    {"pnstart", K::number_start, G::numbering},
    {"pnf", K::numbering_font, G::numbering},  // the bullet's font, for its text
};
// clang-format on

// The table's rows by name, found with one hash of the name and, mostly, one comparison:
// open addressing over twice as many slots as there are rows, set up while compiling.
class WordIndex {
  public:
    constexpr WordIndex() {
        for (const ControlWord& w : kWords) {
            std::size_t i = slot(w.name);
            while (slots_[i] != nullptr) i = (i + 1) % kSlots;
            slots_[i] = &w;
        }
    }

    constexpr const ControlWord* find(std::string_view name) const {
        for (std::size_t i = slot(name); slots_[i] != nullptr; i = (i + 1) % kSlots) {
            if (slots_[i]->name == name) return slots_[i];
        }
        return nullptr;
    }

  private:
    static constexpr std::size_t kSlots = 512;
    static_assert(kSlots >= 2 * std::size(kWords));

    static constexpr std::size_t slot(std::string_view name) {
        std::uint32_t h = 2166136261u;  // FNV-1a
        for (const char c : name) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
        return h % kSlots;
    }

    std::array<const ControlWord*, kSlots> slots_{};
};

constexpr WordIndex kIndex;

constexpr bool each_row_found() {
    for (const ControlWord& w : kWords) {
        if (kIndex.find(w.name) != &w) return false;
    }
    return true;
}
static_assert(each_row_found(), "a control word is in the table twice");

}  // namespace

const ControlWord* find_control_word(std::string_view name) {
    if (name.size() > kMaxWordLetters) return nullptr;
    if (const ControlWord* w = kIndex.find(name)) return w;
    // Every underline style (\uld, \uldb, \ulwave ...) underlines; \ulc only colours it.
    if (name.size() > 2 && name.substr(0, 2) == "ul" && name != "ulc") return kIndex.find("ul");
    return nullptr;
}

}  // namespace hoopcast::richtext
