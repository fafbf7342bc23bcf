#include "richtext/reader.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "richtext/builder.h"
#include "richtext/control_words.h"
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

// Where the text of a group goes.
enum class Dest : std::uint8_t {
    text,  // the document's own text
    skip,  // read and dropped
    font_table,
    colour_table,
    field_instruction,  // a field's code: kept only to find a link target
    marker,             // \pntext, \listtext: a paragraph's bullet or number as text
    pn,                 // old-style numbering properties of a paragraph
    pn_before,
    pn_after,
    table_props,  // \nesttableprops: only its row definition and \nestrow count
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
    void symbol(std::string_view s);
    void word(const ControlWord* w, bool has_param, int value);
    void destination(const ControlWord& w);
    void document_setting(const ControlWord& w, int value);
    void font_definition(const ControlWord& w, int value);
    void body_word(const ControlWord& w);
    void end_row(int level);
    void text_bytes(std::string_view bytes);
    void text(char32_t c);
    void flush();
    void deliver(const std::string& utf8);
    int current_page();
    Format format_of(const CharProps& chr);
    void finish_font();
    void end_colour();
    void unicode(int value);

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
        } else if (overflow_ > 0) {
            // inside a group too deep to read
        } else if (t.type == Token::Type::text) {
            text_bytes(t.text);
        } else if (skip_ > 0) {
            --skip_;  // a word, symbol or \'hh is one fallback character of a \u
        } else if (t.type == Token::Type::word) {
            word(find_control_word(t.text), t.has_param, t.param);
        } else if (t.type == Token::Type::symbol) {
            symbol(t.text);
        } else if (t.type == Token::Type::hex && t.param >= 0) {
            const char c = static_cast<char>(t.param);
            text_bytes({&c, 1});
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

void RtfReader::symbol(std::string_view s) {
    switch (s.front()) {
        case '*':
            state().star = true;
            break;
        case '{':
        case '}':
        case '\\':
            text_bytes(s);
            break;
        case '~':
            text(0x00A0);
            break;
        case '_':
            text(0x2011);
            break;
        case '\r':
        case '\n':
            word(find_control_word("par"), false, 0);
            break;
        default:
            break;  // \- (optional hyphen), \| and \: show nothing
    }
}

// A word is heard where its group belongs; unknown words are ignored.
void RtfReader::word(const ControlWord* w, bool has_param, int value) {
    State& st = state();
    if (st.star) {
        st.star = false;
        if (w == nullptr || w->group != WordGroup::destination) {
            flush();
            st.dest = Dest::skip;
            return;
        }
    }
    if (st.dest == Dest::skip) return;
    flush();
    if (w == nullptr) return;
    if (w->group == WordGroup::destination) return destination(*w);
    if (w->group == WordGroup::document) return document_setting(*w, value);
    switch (st.dest) {
        case Dest::font_table:
            return font_definition(*w, value);
        case Dest::colour_table:
            if (w->group == WordGroup::colour_table) {
                const std::uint8_t part = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
                if (w->kind == WordKind::red) colour_def_.r = part;
                if (w->kind == WordKind::green) colour_def_.g = part;
                if (w->kind == WordKind::blue) colour_def_.b = part;
                colour_def_set_ = true;
            }
            return;
        case Dest::pn:
            if (w->kind == WordKind::numbering_font)
                st.chr.font = value;  // the bullet's font, for its text
            else if (w->group == WordGroup::numbering)
                pn_def_.apply(*w, value);
            return;
        case Dest::table_props:
            if (w->kind == WordKind::end_nested_row) end_row(std::max(st.para.level(), 2));
            if (w->group == WordGroup::row) nested_row_.apply(*w, value);
            return;
        case Dest::upr:
        case Dest::skip:
            return;
        default:
            break;  // a destination of text
    }
    switch (w->group) {
        case WordGroup::character:
            return st.chr.apply(*w, has_param, value);
        case WordGroup::paragraph:
            return st.para.apply(*w, value);
        case WordGroup::text:
            if (w->kind == WordKind::unicode)
                unicode(value);
            else
                text(static_cast<char32_t>(w->value));
            return;
        case WordGroup::body:
            if (st.dest == Dest::text) body_word(*w);
            return;
        case WordGroup::row:
            if (st.dest == Dest::text) outer_row_.apply(*w, value);
            return;
        default:
            return;
    }
}

void RtfReader::destination(const ControlWord& w) {
    State& st = state();
    switch (w.kind) {
        case WordKind::font_table:
            st.dest = Dest::font_table;
            font_open_ = false;
            return;
        case WordKind::colour_table:
            st.dest = Dest::colour_table;
            colour_def_ = {};
            colour_def_set_ = false;
            return;
        case WordKind::field:
            if (fields_.size() < kMaxFields) {
                fields_.emplace_back();
                st.field = static_cast<int>(fields_.size()) - 1;
            } else {
                st.field = -1;
            }
            return;
        case WordKind::field_instruction:
            st.dest = Dest::field_instruction;
            return;
        case WordKind::field_result:
            st.link = -1;
            if (st.field >= 0) {
                Field& fld = fields_[static_cast<std::size_t>(st.field)];
                fld.link = hyperlink_target(fld.instruction);
                if (!fld.link.empty()) st.link = st.field;
            }
            return;
        case WordKind::marker:
            if (st.dest == Dest::text) {
                st.dest = Dest::marker;
                builder_.start_marker();
            } else {
                st.dest = Dest::skip;
            }
            return;
        case WordKind::numbering:
            st.dest = Dest::pn;
            pn_def_ = {};
            return;
        case WordKind::text_before:
            st.dest = st.dest == Dest::pn ? Dest::pn_before : Dest::skip;
            return;
        case WordKind::text_after:
            st.dest = st.dest == Dest::pn ? Dest::pn_after : Dest::skip;
            return;
        case WordKind::nested_row:
            st.dest = Dest::table_props;
            return;
        case WordKind::unicode_twin:
            st.upr_outer = st.dest;
            st.dest = Dest::upr;
            return;
        case WordKind::unicode_version:
            if (st.dest == Dest::upr) st.dest = st.upr_outer;
            return;
        default:  // text that is not shown
            st.dest = Dest::skip;
            return;
    }
}

void RtfReader::document_setting(const ControlWord& w, int value) {
    switch (w.kind) {
        case WordKind::code_page:
            doc_page_ = w.value;
            return;
        case WordKind::ansi_code_page:
            if (value > 0) doc_page_ = value;
            return;
        case WordKind::default_font:
            default_font_ = value;
            return;
        case WordKind::unicode_skip:
            state().uc = std::clamp(value, 0, kMaxUnicodeSkip);
            return;
        default:
            return;
    }
}

void RtfReader::font_definition(const ControlWord& w, int value) {
    switch (w.kind) {
        case WordKind::font:
            finish_font();
            if (fonts_.size() < kMaxFonts || fonts_.count(value) != 0) {
                fonts_[value] = Font{};
                font_def_ = value;
                font_open_ = true;
            }
            return;
        case WordKind::charset:
            if (font_open_) fonts_[font_def_].charset = value;
            return;
        case WordKind::font_code_page:
            if (font_open_) fonts_[font_def_].cpg = value;
            return;
        case WordKind::unicode:
            unicode(value);
            return;
        default:
            return;
    }
}

void RtfReader::body_word(const ControlWord& w) {
    const ParaProps& para = state().para;
    switch (w.kind) {
        case WordKind::end_paragraph:
            builder_.end_paragraph(para, para.level());
            return;
        case WordKind::end_section:
            if (builder_.has_paragraph()) builder_.end_paragraph(para, para.level());
            return;
        case WordKind::end_cell:
            builder_.end_cell(para, std::max(para.level(), 1));
            return;
        case WordKind::end_nested_cell:
            builder_.end_cell(para, std::max(para.level(), 2));
            return;
        case WordKind::end_row:
            end_row(std::max(para.level(), 1));
            return;
        case WordKind::end_nested_row:
            end_row(std::max(para.level(), 2));
            return;
        case WordKind::footnote_mark:
            footnotes_ = std::min(footnotes_ + 1, kMaxCounter);
            for (const char c : std::to_string(footnotes_)) text(static_cast<char32_t>(c));
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

// Bytes of text in the document's code page; the first may be fallback characters of a \u.
void RtfReader::text_bytes(std::string_view bytes) {
    const auto skipped = std::min(bytes.size(), static_cast<std::size_t>(skip_));
    skip_ -= static_cast<int>(skipped);
    bytes.remove_prefix(skipped);
    const Dest dest = state().dest;
    switch (dest) {
        case Dest::skip:
        case Dest::upr:
        case Dest::pn:
        case Dest::table_props:
            return;
        case Dest::colour_table:  // only the ends of its entries count
            for (const char c : bytes) {
                if (c == ';') end_colour();
            }
            return;
        default:
            break;
    }
    const auto plain = [dest](char c) {
        return static_cast<unsigned char>(c) >= 0x20 && !(c == ';' && dest == Dest::font_table);
    };
    while (!bytes.empty()) {
        std::size_t n = 0;  // plain text goes in a run at a time
        while (n < bytes.size() && plain(bytes[n])) ++n;
        pending_.append(bytes.substr(0, n));
        if (n == bytes.size()) return;
        if (bytes[n] == '\t') {
            text(U'\t');
        } else if (bytes[n] == ';') {  // the end of a font's entry
            flush();
            finish_font();
        }
        bytes.remove_prefix(n + 1);  // other control characters are dropped
    }
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
