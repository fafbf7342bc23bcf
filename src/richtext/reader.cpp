#include "richtext/reader.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "richtext/builder.h"
#include "richtext/decoder.h"
#include "richtext/lexer.h"
#include "richtext/properties.h"
#include "richtext/utf8.h"

namespace hoopcast::richtext {

namespace {

// Bounds that keep a hostile document from costing more than its own size.
constexpr std::size_t kMaxGroupDepth = 200;  // deeper groups are skipped whole
constexpr std::size_t kMaxFonts = 1024;
constexpr std::size_t kMaxColours = 1024;
constexpr std::size_t kMaxFields = 1024;
constexpr std::size_t kMaxFontNameBytes = 128;
constexpr std::size_t kMaxInstructionBytes = 1024;
constexpr int kMaxUnicodeSkip = 64;
constexpr std::size_t kMaxCellEdges = 256;  // more cells in a row keep no width
constexpr int kMaxSize = 3276;

enum class Dest : std::uint8_t {
    text,  // the document's own text
    skip,  // read and dropped: pictures, info, headers, unknown ignorables ...
    font_table,
    colour_table,
    field_instruction,  // a field's code: kept only to find a link target
    marker,             // \pntext, \listtext: a paragraph's bullet or number as text
    pn,                 // old-style numbering properties of a paragraph
    pn_before,
    pn_after,
    table_props,  // \nesttableprops: only its \nestrow counts
    upr,          // the 8-bit twin of a \ud destination
};

struct State {
    Dest dest = Dest::text;
    Dest upr_outer = Dest::text;
    bool star = false;  // "\*" seen: an unknown destination that follows is skipped
    int uc = 1;
    int field = -1;
    int link = -1;
    CharProps chr;
    ParaProps para;
};

struct Font {
    std::string name;
    int charset = -1;
    int cpg = 0;
    int code_page = 0;  // 0: the document's page
};

struct Field {
    std::string instruction;
    std::string link;
};

// clang-format off
enum class Word : std::uint8_t {
    // document
    ansi, mac, pc, pca, ansicpg, deff, uc, u,
    // destinations
    fonttbl, colortbl, field, fldinst, fldrslt, pntext, listtext, pn, pntxtb, pntxta,
    nesttableprops, upr, ud, skip_destination,
    // font and colour tables
    f, fcharset, cpg, red, green, blue,
    // characters
    plain, b, i, ul, ulnone, strike, striked, fs, cf, cb, highlight, chcbpat, super_, sub, nosupersub, v,
    // special characters
    tab, line, emdash, endash, lquote, rquote, ldblquote, rdblquote, bullet, emspace, enspace, qmspace,
    zwj, zwnj, zwbo, ltrmark, rtlmark, chftn,
    // paragraphs and tables
    par, sect, pard, ql, qc, qr, qj, li, ri, fi, sb, sa, intbl, itap, cell, nestcell, row, nestrow, trowd, trleft, cellx,
    // old-style numbering
    pnlvlblt, pnlvlbody, pnlvlcont, pnlvl, pndec, pnucltr, pnlcltr, pnucrm, pnlcrm, pnstart, pnf,
    unknown,
};
// clang-format on

Word lookup(std::string_view name) {
    // clang-format off
    static const std::unordered_map<std::string_view, Word> words = {
        {"ansi", Word::ansi}, {"mac", Word::mac}, {"pc", Word::pc}, {"pca", Word::pca},
        {"ansicpg", Word::ansicpg}, {"deff", Word::deff}, {"uc", Word::uc}, {"u", Word::u},
        {"fonttbl", Word::fonttbl}, {"colortbl", Word::colortbl}, {"field", Word::field},
        {"fldinst", Word::fldinst}, {"fldrslt", Word::fldrslt}, {"pntext", Word::pntext},
        {"listtext", Word::listtext}, {"pn", Word::pn}, {"pntxtb", Word::pntxtb}, {"pntxta", Word::pntxta},
        {"nesttableprops", Word::nesttableprops}, {"upr", Word::upr}, {"ud", Word::ud},
        // Destinations whose text is not part of what the pane shows, also when a writer
        // leaves out the "\*".
        {"info", Word::skip_destination}, {"stylesheet", Word::skip_destination},
        {"pict", Word::skip_destination}, {"object", Word::skip_destination},
        {"header", Word::skip_destination}, {"headerl", Word::skip_destination},
        {"headerr", Word::skip_destination}, {"headerf", Word::skip_destination},
        {"footer", Word::skip_destination}, {"footerl", Word::skip_destination},
        {"footerr", Word::skip_destination}, {"footerf", Word::skip_destination},
        {"footnote", Word::skip_destination}, {"annotation", Word::skip_destination},
        {"atnid", Word::skip_destination}, {"atnauthor", Word::skip_destination},
        {"bkmkstart", Word::skip_destination}, {"bkmkend", Word::skip_destination},
        {"xe", Word::skip_destination}, {"tc", Word::skip_destination}, {"txe", Word::skip_destination},
        {"listtable", Word::skip_destination}, {"listoverridetable", Word::skip_destination},
        {"revtbl", Word::skip_destination}, {"rsidtbl", Word::skip_destination},
        {"filetbl", Word::skip_destination}, {"nonesttables", Word::skip_destination},
        {"nonshppict", Word::skip_destination}, {"shp", Word::skip_destination},
        {"shppict", Word::skip_destination}, {"do", Word::skip_destination},
        {"private", Word::skip_destination}, {"template", Word::skip_destination},
        {"ftnsep", Word::skip_destination}, {"ftnsepc", Word::skip_destination},
        {"aftnsep", Word::skip_destination}, {"aftnsepc", Word::skip_destination},
        {"pnseclvl", Word::skip_destination}, {"generator", Word::skip_destination},
        {"themedata", Word::skip_destination}, {"colorschememapping", Word::skip_destination},
        {"latentstyles", Word::skip_destination}, {"datastore", Word::skip_destination},
        {"xmlnstbl", Word::skip_destination}, {"pgdsctbl", Word::skip_destination},
        {"expandedcolortbl", Word::skip_destination}, {"docvar", Word::skip_destination},
        {"userprops", Word::skip_destination}, {"background", Word::skip_destination},
        {"f", Word::f}, {"fcharset", Word::fcharset}, {"cpg", Word::cpg},
        {"red", Word::red}, {"green", Word::green}, {"blue", Word::blue},
        {"plain", Word::plain}, {"b", Word::b}, {"i", Word::i}, {"ul", Word::ul}, {"ulnone", Word::ulnone},
        {"strike", Word::strike}, {"striked", Word::striked}, {"fs", Word::fs}, {"cf", Word::cf},
        {"cb", Word::cb}, {"highlight", Word::highlight}, {"chcbpat", Word::chcbpat},
        {"super", Word::super_}, {"sub", Word::sub}, {"nosupersub", Word::nosupersub}, {"v", Word::v},
        {"tab", Word::tab}, {"line", Word::line}, {"emdash", Word::emdash}, {"endash", Word::endash},
        {"lquote", Word::lquote}, {"rquote", Word::rquote}, {"ldblquote", Word::ldblquote},
        {"rdblquote", Word::rdblquote}, {"bullet", Word::bullet}, {"emspace", Word::emspace},
        {"enspace", Word::enspace}, {"qmspace", Word::qmspace}, {"zwj", Word::zwj}, {"zwnj", Word::zwnj},
        {"zwbo", Word::zwbo}, {"ltrmark", Word::ltrmark}, {"rtlmark", Word::rtlmark},
        {"chftn", Word::chftn},
        {"par", Word::par}, {"sect", Word::sect}, {"pard", Word::pard}, {"ql", Word::ql}, {"qc", Word::qc},
        {"qr", Word::qr}, {"qj", Word::qj}, {"qd", Word::qj}, {"li", Word::li}, {"lin", Word::li},
        {"ri", Word::ri}, {"rin", Word::ri}, {"fi", Word::fi}, {"sb", Word::sb}, {"sa", Word::sa},
        {"intbl", Word::intbl}, {"itap", Word::itap}, {"cell", Word::cell}, {"nestcell", Word::nestcell},
        {"row", Word::row}, {"nestrow", Word::nestrow}, {"trowd", Word::trowd}, {"trleft", Word::trleft},
        {"cellx", Word::cellx},
        {"pnlvlblt", Word::pnlvlblt}, {"pnlvlbody", Word::pnlvlbody}, {"pnlvlcont", Word::pnlvlcont},
        {"pnlvl", Word::pnlvl}, {"pndec", Word::pndec}, {"pnucltr", Word::pnucltr},
        {"pnlcltr", Word::pnlcltr}, {"pnucrm", Word::pnucrm}, {"pnlcrm", Word::pnlcrm},
        {"pnstart", Word::pnstart}, {"pnf", Word::pnf},
    };
    // clang-format on
    if (name.size() > 32) return Word::unknown;  // no word the reader knows is longer
    const auto it = words.find(name);
    if (it != words.end()) return it->second;
    // Every underline style (\uld, \uldb, \ulwave ...) underlines; \ulc only colours it.
    if (name.size() > 2 && name.substr(0, 2) == "ul" && name != "ulc") return Word::ul;
    return Word::unknown;
}

bool is_destination(Word w) {
    switch (w) {
        case Word::fonttbl:
        case Word::colortbl:
        case Word::field:
        case Word::fldinst:
        case Word::fldrslt:
        case Word::pntext:
        case Word::listtext:
        case Word::pn:
        case Word::pntxtb:
        case Word::pntxta:
        case Word::nesttableprops:
        case Word::upr:
        case Word::ud:
        case Word::skip_destination:
            return true;
        default:
            return false;
    }
}

// The target of a HYPERLINK field: its first argument that is not a switch. Links to a
// place inside the document (\l) have no target outside it.
std::string hyperlink_target(std::string_view instruction) {
    std::size_t p = 0;
    const auto skip_blanks = [&] {
        while (p < instruction.size() && (instruction[p] == ' ' || instruction[p] == '\t')) ++p;
    };
    const auto next_argument = [&]() -> std::string {
        skip_blanks();
        if (p >= instruction.size()) return {};
        if (instruction[p] == '"') {  // a quoted argument; a backslash takes the next character as it is
            std::string arg;
            for (++p; p < instruction.size() && instruction[p] != '"'; ++p) {
                if (instruction[p] == '\\' && p + 1 < instruction.size()) ++p;
                arg += instruction[p];
            }
            ++p;
            return arg;
        }
        const std::size_t start = p;
        while (p < instruction.size() && instruction[p] != ' ' && instruction[p] != '\t') ++p;
        return std::string(instruction.substr(start, p - start));
    };
    std::string keyword = next_argument();
    std::transform(keyword.begin(), keyword.end(), keyword.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    if (keyword != "HYPERLINK") return {};
    while (p < instruction.size()) {
        const std::string arg = next_argument();
        if (arg.empty()) continue;
        if (arg == "\\l") return {};
        if (arg[0] == '\\') {
            if (arg == "\\o" || arg == "\\t") next_argument();  // switch with its own argument
            continue;
        }
        return arg;
    }
    return {};
}

class RtfReader {
  public:
    explicit RtfReader(std::string_view in) : in_(in) {}
    Document read();

  private:
    State& state() { return states_.back(); }
    void open_group();
    bool close_group();
    void symbol(char c);
    void word(Word w, bool has_param, int value);
    void text_byte(char c);
    void text(char32_t c);
    void flush();
    void deliver(const std::string& utf8);
    int current_page();
    Format format_of(const CharProps& chr);
    void finish_font();
    void end_colour();
    void unicode(int value);
    void row_definition(RowDefinition& def, Word w, int value);
    void end_row(int level);

    std::string_view in_;
    std::vector<State> states_;
    std::size_t overflow_ = 0;  // groups beyond kMaxGroupDepth, skipped whole
    int skip_ = 0;              // fallback characters still to skip after \u
    int high_surrogate_ = 0;

    int doc_page_ = kDefaultPage;
    int default_font_ = 0;
    std::map<int, Font> fonts_;
    int font_def_ = -1;  // the font table entry being read
    bool font_open_ = false;
    std::vector<std::optional<Rgb>> colours_;
    Rgb colour_def_;
    bool colour_def_set_ = false;
    std::vector<Field> fields_;
    PnProps pn_def_;
    Decoder decoder_;
    std::string pending_;  // 8-bit text not yet decoded, all in the current state

    int footnotes_ = 0;
    // The latest row definitions: of the outermost table (written before its rows and again
    // before \row), and of a nested one (written in \nesttableprops just before \nestrow).
    RowDefinition outer_row_;
    RowDefinition nested_row_;
    DocumentBuilder builder_;
};

Document RtfReader::read() {
    states_.emplace_back();
    Lexer lexer(in_);
    for (Token t = lexer.next(); t.type != Token::Type::end; t = lexer.next()) {
        if (t.type == Token::Type::open) {
            skip_ = 0;
            open_group();
        } else if (t.type == Token::Type::close) {
            skip_ = 0;
            if (close_group()) break;  // the document's own group has ended
        } else if (t.type == Token::Type::text) {
            for (const char c : t.text) {
                if (skip_ > 0)
                    --skip_;
                else if (overflow_ == 0)
                    text_byte(c);
            }
        } else if (overflow_ > 0) {
            // inside a group too deep to read
        } else if (skip_ > 0) {
            --skip_;  // a word, symbol or \'hh is one fallback character of a \u
        } else if (t.type == Token::Type::word) {
            word(lookup(t.text), t.has_param, t.param);
        } else if (t.type == Token::Type::symbol) {
            symbol(t.symbol);
        } else if (t.type == Token::Type::hex && t.byte >= 0) {
            text_byte(static_cast<char>(t.byte));
        }
    }
    // A truncated document: what was read so far, in the innermost state's properties.
    flush();
    return builder_.finish(state().para);
}

void RtfReader::open_group() {
    flush();
    if (overflow_ > 0 || states_.size() >= kMaxGroupDepth) {
        ++overflow_;
        return;
    }
    State child = state();
    child.star = false;
    states_.push_back(std::move(child));
}

bool RtfReader::close_group() {
    if (overflow_ > 0) {
        --overflow_;
        return false;
    }
    flush();
    if (states_.size() <= 1) return false;  // a stray brace
    // A last paragraph without its \par still takes the properties in force at its end.
    if (states_.size() == 2 && state().dest == Dest::text && builder_.has_paragraph()) {
        builder_.end_paragraph(state().para, state().para.level());
    }
    const Dest closed = state().dest;
    if (closed == Dest::font_table) finish_font();
    states_.pop_back();
    // The numbering group describes the paragraph it stands in.
    if (closed == Dest::pn && state().dest != Dest::pn) {
        state().para.pn = pn_def_;
        if (pn_def_.explicit_start) builder_.restart_numbering();
    }
    return states_.size() == 1;
}

void RtfReader::symbol(char c) {
    switch (c) {
        case '*':
            state().star = true;
            break;
        case '{':
        case '}':
        case '\\':
            text_byte(c);
            break;
        case '~':
            text(0x00A0);
            break;
        case '_':
            text(0x2011);
            break;
        case '\r':
        case '\n':
            word(Word::par, false, 0);
            break;
        default:
            break;  // \- (optional hyphen), \| and \: show nothing
    }
}

void RtfReader::word(Word w, bool has_param, int value) {
    State& st = state();
    if (st.star) {
        st.star = false;
        if (!is_destination(w)) {
            flush();
            st.dest = Dest::skip;
            return;
        }
    }
    if (st.dest == Dest::skip) return;
    flush();
    const bool on = !has_param || value != 0;

    // Destinations, wherever they stand.
    switch (w) {
        case Word::fonttbl:
            st.dest = Dest::font_table;
            font_open_ = false;
            return;
        case Word::colortbl:
            st.dest = Dest::colour_table;
            colour_def_ = {};
            colour_def_set_ = false;
            return;
        case Word::skip_destination:
            st.dest = Dest::skip;
            return;
        case Word::field:
            if (fields_.size() < kMaxFields) {
                fields_.emplace_back();
                st.field = static_cast<int>(fields_.size()) - 1;
            } else {
                st.field = -1;
            }
            return;
        case Word::fldinst:
            st.dest = Dest::field_instruction;
            return;
        case Word::fldrslt:
            st.link = -1;
            if (st.field >= 0) {
                Field& fld = fields_[static_cast<std::size_t>(st.field)];
                fld.link = hyperlink_target(fld.instruction);
                if (!fld.link.empty()) st.link = st.field;
            }
            return;
        case Word::pntext:
        case Word::listtext:
            if (st.dest == Dest::text) {
                st.dest = Dest::marker;
                builder_.start_marker();
            } else {
                st.dest = Dest::skip;
            }
            return;
        case Word::pn:
            st.dest = Dest::pn;
            pn_def_ = {};
            return;
        case Word::pntxtb:
            st.dest = st.dest == Dest::pn ? Dest::pn_before : Dest::skip;
            return;
        case Word::pntxta:
            st.dest = st.dest == Dest::pn ? Dest::pn_after : Dest::skip;
            return;
        case Word::nesttableprops:
            st.dest = Dest::table_props;
            return;
        case Word::upr:
            st.upr_outer = st.dest;
            st.dest = Dest::upr;
            return;
        case Word::ud:
            if (st.dest == Dest::upr) st.dest = st.upr_outer;
            return;
        default:
            break;
    }

    // Document-wide settings.
    switch (w) {
        case Word::ansi:
            doc_page_ = 1252;
            return;
        case Word::mac:
            doc_page_ = 10000;
            return;
        case Word::pc:
            doc_page_ = 437;
            return;
        case Word::pca:
            doc_page_ = 850;
            return;
        case Word::ansicpg:
            if (value > 0) doc_page_ = value;
            return;
        case Word::deff:
            default_font_ = value;
            return;
        case Word::uc:
            st.uc = std::clamp(value, 0, kMaxUnicodeSkip);
            return;
        default:
            break;
    }

    switch (st.dest) {
        case Dest::font_table:
            switch (w) {
                case Word::f:
                    finish_font();
                    if (fonts_.size() < kMaxFonts || fonts_.count(value) != 0) {
                        fonts_[value] = Font{};
                        font_def_ = value;
                        font_open_ = true;
                    }
                    return;
                case Word::fcharset:
                    if (font_open_) fonts_[font_def_].charset = value;
                    return;
                case Word::cpg:
                    if (font_open_) fonts_[font_def_].cpg = value;
                    return;
                case Word::u:
                    unicode(value);
                    return;
                default:
                    return;
            }
        case Dest::colour_table:
            if (w == Word::red || w == Word::green || w == Word::blue) {
                const auto c = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
                (w == Word::red ? colour_def_.r : w == Word::green ? colour_def_.g : colour_def_.b) = c;
                colour_def_set_ = true;
            }
            return;
        case Dest::pn:
            switch (w) {
                case Word::pnlvlblt:
                    pn_def_.kind = Numbering::bullet;
                    return;
                case Word::pnlvlbody:
                case Word::pnlvl:
                    pn_def_.kind = Numbering::body;
                    return;
                case Word::pnlvlcont:
                    pn_def_.kind = Numbering::continuation;
                    return;
                case Word::pndec:
                    pn_def_.style = NumberStyle::decimal;
                    return;
                case Word::pnucltr:
                    pn_def_.style = NumberStyle::upper_letter;
                    return;
                case Word::pnlcltr:
                    pn_def_.style = NumberStyle::lower_letter;
                    return;
                case Word::pnucrm:
                    pn_def_.style = NumberStyle::upper_roman;
                    return;
                case Word::pnlcrm:
                    pn_def_.style = NumberStyle::lower_roman;
                    return;
                case Word::pnstart:
                    pn_def_.start = std::clamp(value, 0, kMaxCounter);
                    pn_def_.explicit_start = true;
                    return;
                case Word::pnf:
                    st.chr.font = value;
                    return;  // the bullet's font, for its text
                default:
                    return;
            }
        case Dest::table_props:
            if (w == Word::nestrow) end_row(std::max(st.para.level(), 2));
            row_definition(nested_row_, w, value);
            return;
        case Dest::upr:
        case Dest::skip:
            return;
        case Dest::text:
        case Dest::field_instruction:
        case Dest::marker:
        case Dest::pn_before:
        case Dest::pn_after:
            break;
    }

    CharProps& chr = st.chr;
    ParaProps& para = st.para;
    const bool body = st.dest == Dest::text;
    switch (w) {
        case Word::plain:
            chr = CharProps{};
            return;
        case Word::f:
            chr.font = value;
            return;
        case Word::b:
            chr.bold = on;
            return;
        case Word::i:
            chr.italic = on;
            return;
        case Word::ul:
            chr.underline = on;
            return;
        case Word::ulnone:
            chr.underline = false;
            return;
        case Word::strike:
        case Word::striked:
            chr.strike = on;
            return;
        case Word::fs:
            chr.size = has_param && value > 0 ? std::min(value, kMaxSize) : kDefaultSize;
            return;
        case Word::cf:
            chr.colour = value;
            return;
        case Word::cb:
        case Word::highlight:
        case Word::chcbpat:
            chr.background = value;
            return;
        case Word::super_:
            chr.vertical = VerticalAlign::superscript;
            return;
        case Word::sub:
            chr.vertical = VerticalAlign::subscript;
            return;
        case Word::nosupersub:
            chr.vertical = VerticalAlign::baseline;
            return;
        case Word::v:
            chr.hidden = on;
            return;
        case Word::u:
            unicode(value);
            return;
        case Word::tab:
            text(U'\t');
            return;
        case Word::line:
            text(U'\n');
            return;
        case Word::emdash:
            text(0x2014);
            return;
        case Word::endash:
            text(0x2013);
            return;
        case Word::lquote:
            text(0x2018);
            return;
        case Word::rquote:
            text(0x2019);
            return;
        case Word::ldblquote:
            text(0x201C);
            return;
        case Word::rdblquote:
            text(0x201D);
            return;
        case Word::bullet:
            text(0x2022);
            return;
        case Word::emspace:
            text(0x2003);
            return;
        case Word::enspace:
            text(0x2002);
            return;
        case Word::qmspace:
            text(0x2005);
            return;
        case Word::zwj:
            text(0x200D);
            return;
        case Word::zwnj:
            text(0x200C);
            return;
        case Word::zwbo:
            text(0x200B);
            return;
        case Word::ltrmark:
            text(0x200E);
            return;
        case Word::rtlmark:
            text(0x200F);
            return;
        case Word::pard:
            para = ParaProps{};
            return;
        case Word::ql:
            para.alignment = Alignment::left;
            return;
        case Word::qc:
            para.alignment = Alignment::centre;
            return;
        case Word::qr:
            para.alignment = Alignment::right;
            return;
        case Word::qj:
            para.alignment = Alignment::justify;
            return;
        case Word::li:
            para.left = clamp_twips(value);
            return;
        case Word::ri:
            para.right = clamp_twips(value);
            return;
        case Word::fi:
            para.first = clamp_twips(value);
            return;
        case Word::sb:
            para.before = std::clamp(value, 0, kMaxTwips);
            return;
        case Word::sa:
            para.after = std::clamp(value, 0, kMaxTwips);
            return;
        case Word::intbl:
            para.in_table = true;
            return;
        case Word::itap:
            para.itap = std::clamp(value, 0, kMaxTableDepth);
            return;
        default:
            break;
    }
    if (!body) return;
    switch (w) {
        case Word::par:
            builder_.end_paragraph(para, para.level());
            return;
        case Word::sect:  // ends a paragraph, but writers put it after the last \par too
            if (builder_.has_paragraph()) builder_.end_paragraph(para, para.level());
            return;
        case Word::cell:
            builder_.end_cell(para, std::max(para.level(), 1));
            return;
        case Word::nestcell:
            builder_.end_cell(para, std::max(para.level(), 2));
            return;
        case Word::row:
            end_row(std::max(para.level(), 1));
            return;
        case Word::nestrow:
            end_row(std::max(para.level(), 2));
            return;
        case Word::chftn:  // a footnote's mark in the text; the footnote itself is skipped
            footnotes_ = std::min(footnotes_ + 1, kMaxCounter);
            for (const char c : std::to_string(footnotes_)) text(static_cast<char32_t>(c));
            return;
        case Word::trowd:
        case Word::trleft:
        case Word::cellx:
            row_definition(outer_row_, w, value);
            return;
        default:
            return;  // unknown words are ignored
    }
}

void RtfReader::row_definition(RowDefinition& def, Word w, int value) {
    switch (w) {
        case Word::trowd:
            def = RowDefinition{};
            return;
        case Word::trleft:
            def.left = clamp_twips(value);
            return;
        case Word::cellx:
            if (def.edges.size() < kMaxCellEdges) def.edges.push_back(clamp_twips(value));
            if (def.cells < SIZE_MAX) ++def.cells;
            return;
        default:
            return;
    }
}

void RtfReader::end_row(int level) {
    builder_.end_row(state().para, level, level == 1 ? outer_row_ : nested_row_);
}

void RtfReader::unicode(int value) {
    const int v = value < 0 ? value + 65536 : value;
    skip_ = state().uc;
    if (v >= 0xD800 && v <= 0xDBFF) {
        high_surrogate_ = v;
        return;
    }
    char32_t c = v < 0 ? char32_t{0xFFFD} : static_cast<char32_t>(v);
    if (v >= 0xDC00 && v <= 0xDFFF && high_surrogate_ != 0) {
        c = 0x10000 + ((static_cast<char32_t>(high_surrogate_) - 0xD800) << 10) +
            (static_cast<char32_t>(v) - 0xDC00);
    }
    high_surrogate_ = 0;
    // Word writes the glyphs of a symbol font in the private range U+F020..U+F0FF.
    const int page = current_page();
    if (c >= 0xF020 && c <= 0xF0FF && (page == kSymbolPage || page == kWingdingsPage)) {
        pending_ += static_cast<char>(c - 0xF000);
        flush();
        return;
    }
    text(c);
}

void RtfReader::text_byte(char c) {
    State& st = state();
    switch (st.dest) {
        case Dest::skip:
        case Dest::upr:
        case Dest::pn:
        case Dest::table_props:
            return;
        case Dest::colour_table:
            if (c == ';') end_colour();
            return;
        case Dest::font_table:
            if (c == ';') {
                flush();
                finish_font();
                return;
            }
            break;
        default:
            break;
    }
    if (c == '\t') {
        text(U'\t');
        return;
    }
    if (static_cast<unsigned char>(c) < 0x20) return;
    pending_ += c;
}

void RtfReader::text(char32_t c) {
    flush();
    std::string utf8;
    append_utf8(utf8, c);
    deliver(utf8);
}

void RtfReader::flush() {
    if (pending_.empty()) return;
    std::string utf8;
    decoder_.append(utf8, pending_, current_page());
    pending_.clear();
    deliver(utf8);
}

void RtfReader::deliver(const std::string& utf8) {
    State& st = state();
    const auto bounded_append = [&utf8](std::string& to, std::size_t limit) {
        if (to.size() + utf8.size() <= limit) to += utf8;
    };
    switch (st.dest) {
        case Dest::text:
            if (!st.chr.hidden) {
                builder_.add_text(
                    utf8, format_of(st.chr),
                    st.link >= 0 ? fields_[static_cast<std::size_t>(st.link)].link : std::string());
            }
            return;
        case Dest::marker:
            builder_.add_marker_text(utf8);
            return;
        case Dest::font_table:
            if (font_open_) bounded_append(fonts_[font_def_].name, kMaxFontNameBytes);
            return;
        case Dest::field_instruction:
            if (st.field >= 0)
                bounded_append(fields_[static_cast<std::size_t>(st.field)].instruction, kMaxInstructionBytes);
            return;
        case Dest::pn_before:
            bounded_append(pn_def_.before, kMaxMarkerBytes);
            return;
        case Dest::pn_after:
            bounded_append(pn_def_.after, kMaxMarkerBytes);
            return;
        default:
            return;
    }
}

int RtfReader::current_page() {
    const State& st = state();
    if (st.dest == Dest::font_table) {
        if (!font_open_) return doc_page_;
        const Font& f = fonts_[font_def_];
        // A font's name is never in its symbol layout.
        if (f.cpg > 0) return f.cpg;
        const int page = code_page_of_charset(f.charset);
        return page == 0 || page == kSymbolPage ? doc_page_ : page;
    }
    const auto it = fonts_.find(st.chr.font >= 0 ? st.chr.font : default_font_);
    if (it != fonts_.end() && it->second.code_page != 0) return it->second.code_page;
    return doc_page_;
}

void RtfReader::finish_font() {
    if (!font_open_) return;
    font_open_ = false;
    Font& f = fonts_[font_def_];
    f.name = trim(f.name);
    if (f.cpg > 0) {
        f.code_page = f.cpg;
    } else if (f.charset == 2) {
        // Symbol character set: only the fonts whose layout is known are read as symbols.
        if (f.name == "Symbol")
            f.code_page = kSymbolPage;
        else if (f.name.rfind("Wingdings", 0) == 0)
            f.code_page = kWingdingsPage;
        else
            f.code_page = kDefaultPage;
    } else {
        f.code_page = code_page_of_charset(f.charset);
    }
}

void RtfReader::end_colour() {
    if (colours_.size() < kMaxColours) {
        colours_.push_back(colour_def_set_ ? std::optional<Rgb>(colour_def_) : std::nullopt);
    }
    colour_def_ = {};
    colour_def_set_ = false;
}

Format RtfReader::format_of(const CharProps& chr) {
    Format f;
    const auto it = fonts_.find(chr.font >= 0 ? chr.font : default_font_);
    if (it != fonts_.end() && it->second.code_page != kSymbolPage && it->second.code_page != kWingdingsPage) {
        f.font_family = it->second.name;
    }
    f.size_half_points = chr.size;
    if (chr.colour >= 0 && static_cast<std::size_t>(chr.colour) < colours_.size()) {
        f.colour = colours_[static_cast<std::size_t>(chr.colour)];
    }
    if (chr.background > 0 && static_cast<std::size_t>(chr.background) < colours_.size()) {
        f.background = colours_[static_cast<std::size_t>(chr.background)];
    }
    f.bold = chr.bold;
    f.italic = chr.italic;
    f.underline = chr.underline;
    f.strike = chr.strike;
    f.vertical = chr.vertical;
    return f;
}

}  // namespace

bool is_rtf(std::string_view bytes) noexcept {
    std::size_t p = 0;
    while (p < bytes.size() && (bytes[p] == ' ' || bytes[p] == '\t' || bytes[p] == '\r' || bytes[p] == '\n'))
        ++p;
    return bytes.substr(p, 5) == "{\\rtf";
}

Document read_rtf(std::string_view bytes) {
    return RtfReader(bytes).read();
}

Document read_plain_text(std::string_view bytes) {
    Document doc;
    Decoder decoder;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = bytes.size();
        Paragraph p;
        if (end > start) {
            Run run;
            decoder.append(run.text, bytes.substr(start, end - start), kDefaultPage);
            p.runs.push_back(std::move(run));
        }
        doc.blocks.emplace_back().content.emplace<Paragraph>(std::move(p));
        if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return doc;
}

Document describe(std::string_view bytes) {
    return is_rtf(bytes) ? read_rtf(bytes) : read_plain_text(bytes);
}

}  // namespace hoopcast::richtext
