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

constexpr ControlWord underline(std::string_view name, Underline style) {
    return {name, K::underline, G::character, as_value(style)};
}

constexpr ControlWord border(std::string_view name, BorderStyle style) {
    return {name, K::border_style, G::border, as_value(style)};
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
    {"listtable", K::list_table, G::destination},   {"list", K::list, G::destination},
    {"listlevel", K::list_level, G::destination},   {"leveltext", K::level_text, G::destination},
    {"listoverridetable", K::list_overrides, G::destination},
    {"listoverride", K::list_override, G::destination},
    {"lfolevel", K::override_level, G::destination},
    {"pict", K::picture, G::destination},           {"shppict", K::picture_group, G::destination},
    // Destinations whose text is not part of what the pane shows.
    skip("info"), skip("stylesheet"), skip("object"), skip("header"), skip("headerl"),
    skip("headerr"), skip("headerf"), skip("footer"), skip("footerl"), skip("footerr"), skip("footerf"),
    skip("footnote"), skip("annotation"), skip("atnid"), skip("atnauthor"), skip("bkmkstart"),
    skip("bkmkend"), skip("xe"), skip("tc"), skip("txe"), skip("levelnumbers"), skip("listname"),
    skip("revtbl"), skip("rsidtbl"), skip("filetbl"), skip("nonesttables"), skip("nonshppict"), skip("shp"),
    skip("do"), skip("private"), skip("template"), skip("ftnsep"), skip("ftnsepc"),
    skip("aftnsep"), skip("aftnsepc"), skip("pnseclvl"), skip("generator"), skip("themedata"),
    skip("colorschememapping"), skip("latentstyles"), skip("datastore"), skip("xmlnstbl"), skip("pgdsctbl"),
    skip("expandedcolortbl"), skip("docvar"), skip("userprops"), skip("background"),
    // document
    {"ansi", K::code_page, G::document, 1252},      {"mac", K::code_page, G::document, 10000},
    {"pc", K::code_page, G::document, 437},         {"pca", K::code_page, G::document, 850},
    {"ansicpg", K::ansi_code_page, G::document},    {"deff", K::default_font, G::document},
    {"uc", K::unicode_skip, G::document},           {"deftab", K::default_tab, G::document},
    // font and colour tables
    {"f", K::font, G::character},
    {"fcharset", K::charset, G::font_table},        {"cpg", K::font_code_page, G::font_table},
    {"red", K::red, G::colour_table},               {"green", K::green, G::colour_table},
    {"blue", K::blue, G::colour_table},
    // characters
    {"plain", K::plain, G::character},              {"b", K::bold, G::character},
    {"i", K::italic, G::character},                 {"strike", K::strike, G::character},
    underline("ul", Underline::single),             underline("ulnone", Underline::none),
    underline("uldb", Underline::double_line),      underline("ulth", Underline::thick),
    underline("uld", Underline::dotted),            underline("ulthd", Underline::dotted),
    underline("uldash", Underline::dashed),         underline("ulthdash", Underline::dashed),
    underline("ulldash", Underline::dashed),        underline("ulthldash", Underline::dashed),
    underline("uldashd", Underline::dash_dot),      underline("ulthdashd", Underline::dash_dot),
    underline("uldashdd", Underline::dash_dot_dot), underline("ulthdashdd", Underline::dash_dot_dot),
    underline("ulwave", Underline::wave),           underline("ulhwave", Underline::wave),
    underline("ululdbwave", Underline::wave),       underline("ulw", Underline::words),
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
    {"sl", K::line_spacing, G::paragraph},          {"slmult", K::line_multiple, G::paragraph},
    {"tx", K::tab_stop, G::paragraph},              {"tb", K::bar_tab, G::paragraph},
    {"tqr", K::tab_kind, G::paragraph, as_value(TabKind::right)},
    {"tqc", K::tab_kind, G::paragraph, as_value(TabKind::centre)},
    {"tqdec", K::tab_kind, G::paragraph, as_value(TabKind::decimal)},
    {"tldot", K::tab_leader, G::paragraph, as_value(TabLeader::dots)},
    {"tlmdot", K::tab_leader, G::paragraph, as_value(TabLeader::middle_dots)},
    {"tlhyph", K::tab_leader, G::paragraph, as_value(TabLeader::hyphens)},
    {"tlul", K::tab_leader, G::paragraph, as_value(TabLeader::underline)},
    {"tlth", K::tab_leader, G::paragraph, as_value(TabLeader::thick_line)},
    {"tleq", K::tab_leader, G::paragraph, as_value(TabLeader::equals)},
    {"cbpat", K::pattern_background, G::paragraph}, {"cfpat", K::pattern_colour, G::paragraph},
    {"shading", K::shading, G::paragraph},
    {"ls", K::list_number, G::paragraph},           {"ilvl", K::list_level_number, G::paragraph},
    // borders of paragraphs and cells
    {"brdrt", K::border_side, G::border, 0},        {"brdrl", K::border_side, G::border, 1},
    {"brdrb", K::border_side, G::border, 2},        {"brdrr", K::border_side, G::border, 3},
    {"box", K::border_side, G::border, 4},
    // Borders not shown: of table rows, characters, pages, and between paragraphs. Their
    // style words must not change the border described before them.
    {"trbrdrt", K::unshown_border, G::border},      {"trbrdrl", K::unshown_border, G::border},
    {"trbrdrb", K::unshown_border, G::border},      {"trbrdrr", K::unshown_border, G::border},
    {"trbrdrh", K::unshown_border, G::border},      {"trbrdrv", K::unshown_border, G::border},
    {"chbrdr", K::unshown_border, G::border},       {"brdrbtw", K::unshown_border, G::border},
    {"brdrbar", K::unshown_border, G::border},      {"pgbrdrt", K::unshown_border, G::border},
    {"pgbrdrl", K::unshown_border, G::border},      {"pgbrdrb", K::unshown_border, G::border},
    {"pgbrdrr", K::unshown_border, G::border},
    {"clbrdrt", K::cell_border_side, G::border, 0}, {"clbrdrl", K::cell_border_side, G::border, 1},
    {"clbrdrb", K::cell_border_side, G::border, 2}, {"clbrdrr", K::cell_border_side, G::border, 3},
    border("brdrs", BorderStyle::single),           border("brdrsh", BorderStyle::single),
    border("brdrhair", BorderStyle::single),        border("brdrinset", BorderStyle::single),
    border("brdroutset", BorderStyle::single),      border("brdremboss", BorderStyle::single),
    border("brdrengrave", BorderStyle::single),     border("brdrwavy", BorderStyle::single),
    border("brdrth", BorderStyle::thick),           border("brdrdb", BorderStyle::double_line),
    border("brdrtriple", BorderStyle::double_line), border("brdrwavydb", BorderStyle::double_line),
    border("brdrdot", BorderStyle::dotted),         border("brdrdash", BorderStyle::dashed),
    border("brdrdashsm", BorderStyle::dashed),      border("brdrdashd", BorderStyle::dot_dash),
    border("brdrdashdd", BorderStyle::dot_dot_dash),
    border("brdrnone", BorderStyle::none),          border("brdrnil", BorderStyle::none),
    border("brdrtbl", BorderStyle::none),
    {"brdrw", K::border_width, G::border},          {"brdrcf", K::border_colour, G::border},
    {"brsp", K::border_space, G::border},
    // table rows
    {"trowd", K::row_defaults, G::row},             {"trleft", K::row_left, G::row},
    {"cellx", K::cell_edge, G::row},                {"clcbpat", K::cell_background, G::row},
    {"clcfpat", K::cell_pattern_colour, G::row},    {"clshdng", K::cell_shading, G::row},
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
    // list table
    {"listid", K::list_id, G::list},                {"levelnfc", K::level_format, G::list},
    {"levelnfcn", K::level_format, G::list},        {"levelstartat", K::level_start, G::list},
    {"levelnorestart", K::level_no_restart, G::list}, {"levellegal", K::level_legal, G::list},
    {"listoverridestartat", K::override_start, G::list},
    // pictures
    {"pngblip", K::picture_format, G::picture, as_value(PictureFormat::png)},
    {"jpegblip", K::picture_format, G::picture, as_value(PictureFormat::jpeg)},
    {"wmetafile", K::picture_format, G::picture, as_value(PictureFormat::metafile)},
    {"emfblip", K::picture_format, G::picture, as_value(PictureFormat::metafile)},
    {"pmmetafile", K::picture_format, G::picture, as_value(PictureFormat::metafile)},
    {"macpict", K::picture_format, G::picture, as_value(PictureFormat::metafile)},
    {"dibitmap", K::picture_format, G::picture, as_value(PictureFormat::metafile)},
    {"wbitmap", K::picture_format, G::picture, as_value(PictureFormat::metafile)},
    {"picw", K::picture_size, G::picture, as_value(PictureSize::width)},
    {"pich", K::picture_size, G::picture, as_value(PictureSize::height)},
    {"picwgoal", K::picture_size, G::picture, as_value(PictureSize::goal_width)},
    {"pichgoal", K::picture_size, G::picture, as_value(PictureSize::goal_height)},
    {"picscalex", K::picture_size, G::picture, as_value(PictureSize::scale_x)},
    {"picscaley", K::picture_size, G::picture, as_value(PictureSize::scale_y)},
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
    static constexpr std::size_t kSlots = 1024;
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
    // An underline style the table does not know still underlines; \ulc only colours it.
    if (name.size() > 2 && name.substr(0, 2) == "ul" && name != "ulc") return kIndex.find("ul");
    return nullptr;
}

}  // namespace hoopcast::richtext
