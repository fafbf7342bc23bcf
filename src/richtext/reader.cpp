#include "richtext/reader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/utf8.h"
#include "richtext/builder.h"
#include "richtext/control_words.h"
#include "richtext/decoder.h"
#include "richtext/lexer.h"
#include "richtext/properties.h"
#include "richtext/trim.h"

namespace hoopcast::richtext {

namespace {

// Bounds that keep a hostile document from costing more than its own size.
constexpr std::size_t kMaxGroupDepth = 200;  // deeper groups are skipped whole
constexpr std::size_t kMaxFonts = 1024;
constexpr std::size_t kMaxFields = 1024;
constexpr std::size_t kMaxFontNameBytes = 128;
constexpr std::size_t kMaxInstructionBytes = 1024;
constexpr int kMaxUnicodeSkip = 64;
constexpr std::size_t kMaxLevelText = 256;                             // characters of a list level's text
constexpr std::size_t kMaxPendingBytes = 2 * kMaxShownTextBytes + 64;  // see RtfReader::hold
constexpr std::size_t kMaxPictureBytes = 16 << 20;  // of one picture, and of all of a document's
constexpr std::size_t kMaxDocumentPictureBytes = 32 << 20;
static_assert(kMaxPictureBytes < kMaxBinaryBytes,
              "a picture too big to keep is known as such from its \\bin");
constexpr int kMaxPictureScale = 1000;  // per cent
// A level text's bytes are held apart from the characters \u gives, as they are decoded
// in the level's font, which is named after its text.
constexpr char32_t kLevelTextByte = 0x110000;

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
    list_table,
    list,
    list_level,
    level_text,
    list_overrides,
    list_override,
    override_level,
    picture,  // hex digits or \bin bytes of a picture
};

// Which border the border words describe.
struct BorderTarget {
    enum class Owner : std::uint8_t { none, paragraph, cell } owner = Owner::none;
    int side = 0;  // 0 top, 1 left, 2 bottom, 3 right, 4 all four
};

// A picture while its group is read.
struct PictureProps {
    PictureFormat format = PictureFormat::metafile;
    std::array<int, 6> size{0, 0, 0, 0, 100, 100};  // by PictureSize
    std::string data;
    int nibble = -1;       // the first hex digit of a byte not yet complete
    bool dropped = false;  // past the limits: shown as an empty frame

    int& measure(PictureSize m) { return size[static_cast<std::size_t>(m)]; }
    // Twips as shown: the goal size when given, else the picture's own; then scaled.
    int shown(PictureSize own, PictureSize goal, PictureSize scale) const {
        const int g = size[static_cast<std::size_t>(goal)];
        long long twips = g;
        if (g <= 0) {
            const long long o = size[static_cast<std::size_t>(own)];
            // Metafiles measure in hundredths of a millimetre, bitmaps in pixels.
            twips = format == PictureFormat::metafile ? o * 1440 / 2540 : o * 15;
        }
        twips = twips * size[static_cast<std::size_t>(scale)] / 100;
        return static_cast<int>(std::clamp<long long>(twips, 0, kMaxTwips));
    }
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
    RtfReader(std::string_view in, LineEnds ends) : in_(in), ends_(ends) {}
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
    void list_word(const ControlWord& w, int value);
    void picture_word(const ControlWord& w, int value);
    void border_word(const ControlWord& w, int value);
    void end_destination(Dest closed, int font);
    RowDefinition& row_being_defined();
    void picture_bytes(std::string_view bytes, bool hex);
    std::string level_text_utf8(int font);
    int page_of_font(int font);
    void body_word(const ControlWord& w);
    void end_row(int level);
    void text_bytes(std::string_view bytes);
    void text(char32_t c);
    void hold(std::string_view bytes);
    void flush();
    void deliver(const std::string& utf8);
    int current_page();
    Format format_of(const CharProps& chr);
    void finish_font();
    void end_colour();
    void unicode(int value);

    std::string_view in_;
    LineEnds ends_;
    std::vector<State> states_;
    std::size_t overflow_ = 0;  // groups beyond kMaxGroupDepth, skipped whole
    int skip_ = 0;              // fallback characters still to skip after \u
    int high_surrogate_ = 0;

    int doc_page_ = kDefaultPage;
    int default_font_ = 0;
    std::map<int, Font> fonts_;
    int font_def_ = -1;  // the font table entry being read
    bool font_open_ = false;
    ColourTable colours_;
    Rgb colour_def_;
    bool colour_def_set_ = false;
    std::vector<Field> fields_;
    PnProps pn_def_;
    Decoder decoder_;
    std::string pending_;            // 8-bit text not yet decoded, all in the current state
    bool pending_too_long_ = false;  // more came than any destination but the text keeps
    int footnotes_ = 0;
    int default_tab_ = 720;
    BorderTarget border_target_;
    ListDefinition list_def_;
    ListLevel level_def_;
    std::u32string level_text_;
    ListOverride override_def_;
    std::size_t override_levels_ = 0;
    bool override_restarts_ = false;  // the override level starts its count anew
    PictureProps picture_;
    std::size_t picture_bytes_ = 0;  // of the document's pictures so far
    // The latest row definitions: of the outermost table (written before its rows and again
    // before \row), and of a nested one (written in \nesttableprops just before \nestrow).
    RowDefinition outer_row_;
    RowDefinition nested_row_;
    DocumentBuilder builder_{colours_};
};

Document RtfReader::read() {
    states_.emplace_back();
    Lexer lexer(in_, ends_ == LineEnds::lf_for_crlf);
    // Once the document is full, the rest is not read.
    for (Token t = lexer.next(); t.type != Token::Type::end && !builder_.full(); t = lexer.next()) {
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
        } else if (t.type == Token::Type::binary && state().dest == Dest::picture) {
            picture_bytes(t.text, false);
        }
    }
    // A truncated document: what was read so far, in the innermost state's properties.
    flush();
    Document doc = builder_.finish(state().para);
    doc.default_tab = default_tab_;
    return doc;
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
    const int font = state().chr.font;
    if (closed == Dest::font_table) finish_font();
    states_.pop_back();
    if (closed != state().dest) end_destination(closed, font);
    return states_.size() == 1;
}

// A destination's group has ended; `font` is the one it last selected.
void RtfReader::end_destination(Dest closed, int font) {
    switch (closed) {
        case Dest::pn:  // the numbering group describes the paragraph it stands in
            state().para.pn = pn_def_;
            if (pn_def_.explicit_start) builder_.restart_numbering();
            return;
        case Dest::list_level:
            level_def_.text = level_text_utf8(font);
            if (list_def_.levels.size() < static_cast<std::size_t>(kListLevels))
                list_def_.levels.push_back(std::move(level_def_));
            return;
        case Dest::list:
            builder_.lists().add(std::move(list_def_));
            return;
        case Dest::override_level:
            ++override_levels_;
            return;
        case Dest::list_override:
            builder_.lists().add(override_def_);
            return;
        case Dest::picture: {
            Picture p;
            p.format = picture_.format;
            if (!picture_.dropped && p.format != PictureFormat::metafile) p.data = std::move(picture_.data);
            p.width = picture_.shown(PictureSize::width, PictureSize::goal_width, PictureSize::scale_x);
            p.height = picture_.shown(PictureSize::height, PictureSize::goal_height, PictureSize::scale_y);
            picture_ = PictureProps{};
            const State& st = state();
            if (st.dest != Dest::text || st.chr.hidden) return;
            builder_.add_picture(
                std::move(p), format_of(st.chr),
                st.link >= 0 ? fields_[static_cast<std::size_t>(st.link)].link : std::string());
            return;
        }
        default:
            return;
    }
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
            if (w->group == WordGroup::border) border_word(*w, value);
            return;
        case Dest::list_table:
        case Dest::list:
        case Dest::list_level:
        case Dest::level_text:
        case Dest::list_overrides:
        case Dest::list_override:
        case Dest::override_level:
            return list_word(*w, value);
        case Dest::picture:
            if (w->group == WordGroup::picture) picture_word(*w, value);
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
            if (w->kind == WordKind::paragraph_defaults) border_target_ = BorderTarget{};
            return st.para.apply(*w, value);
        case WordGroup::border:
            if (st.dest == Dest::text) border_word(*w, value);
            return;
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
            if (st.dest != Dest::text) return;
            if (w->kind == WordKind::row_defaults && border_target_.owner == BorderTarget::Owner::cell)
                border_target_ = BorderTarget{};
            outer_row_.apply(*w, value);
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
        // The list table's groups are read only where they belong.
        case WordKind::list_table:
            st.dest = Dest::list_table;
            return;
        case WordKind::list:
            st.dest = st.dest == Dest::list_table ? Dest::list : Dest::skip;
            list_def_ = ListDefinition{};
            return;
        case WordKind::list_level:
            if (st.dest == Dest::override_level) return;  // a level an override redefines: only its start
            st.dest = st.dest == Dest::list ? Dest::list_level : Dest::skip;
            level_def_ = ListLevel{};
            level_text_.clear();
            return;
        case WordKind::level_text:
            st.dest = st.dest == Dest::list_level ? Dest::level_text : Dest::skip;
            level_text_.clear();
            return;
        case WordKind::list_overrides:
            st.dest = Dest::list_overrides;
            return;
        case WordKind::list_override:
            st.dest = st.dest == Dest::list_overrides ? Dest::list_override : Dest::skip;
            override_def_ = ListOverride{};
            override_levels_ = 0;
            return;
        case WordKind::override_level:
            st.dest = st.dest == Dest::list_override ? Dest::override_level : Dest::skip;
            override_restarts_ = false;
            return;
        case WordKind::picture:
            st.dest = Dest::picture;
            picture_ = PictureProps{};
            return;
        case WordKind::picture_group:
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
        case WordKind::default_tab:
            if (value > 0) default_tab_ = std::min(value, kMaxTwips);
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

void RtfReader::list_word(const ControlWord& w, int value) {
    State& st = state();
    switch (st.dest) {
        case Dest::list:
            if (w.kind == WordKind::list_id) list_def_.id = value;
            return;
        case Dest::list_level:
            if (w.kind == WordKind::font) st.chr.font = value;  // the bullet's font, for its text
            level_def_.apply(w, value);
            return;
        case Dest::level_text:
            if (w.kind == WordKind::unicode) unicode(value);
            if (w.group == WordGroup::text && w.kind != WordKind::unicode)
                text(static_cast<char32_t>(w.value));
            return;
        case Dest::list_override:
            if (w.kind == WordKind::list_id) override_def_.list_id = value;
            if (w.kind == WordKind::list_number) override_def_.number = value;
            return;
        case Dest::override_level:
            if (w.kind == WordKind::override_start) override_restarts_ = true;
            if (w.kind == WordKind::level_start && override_restarts_ &&
                override_levels_ < override_def_.start_at.size())
                override_def_.start_at[override_levels_] = std::clamp(value, 0, kMaxCounter);
            return;
        default:
            return;
    }
}

void RtfReader::picture_word(const ControlWord& w, int value) {
    if (w.kind == WordKind::picture_format) {
        picture_.format = static_cast<PictureFormat>(w.value);
    } else if (w.kind == WordKind::picture_size) {
        const auto m = static_cast<PictureSize>(w.value);
        const bool scale = m == PictureSize::scale_x || m == PictureSize::scale_y;
        picture_.measure(m) =
            scale ? std::clamp(value, 1, kMaxPictureScale) : std::clamp(value, 0, kMaxTwips);
    }
}

// Hex digits, or raw bytes after \bin. Only the pictures the pane can show keep their
// bytes, and only up to the limits; the others are measured alone.
void RtfReader::picture_bytes(std::string_view bytes, bool hex) {
    PictureProps& p = picture_;
    if (p.format == PictureFormat::metafile || p.dropped) return;
    const auto keep = [this, &p](char byte) {
        if (p.data.size() >= kMaxPictureBytes || picture_bytes_ >= kMaxDocumentPictureBytes) {
            p.dropped = true;
            p.data = std::string();
            return false;
        }
        p.data += byte;
        ++picture_bytes_;
        return true;
    };
    if (!hex) {
        for (const char c : bytes) {
            if (!keep(c)) return;
        }
        return;
    }
    for (const char c : bytes) {
        int d = -1;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        if (d < 0) continue;
        if (p.nibble < 0) {
            p.nibble = d;
        } else {
            if (!keep(static_cast<char>(p.nibble * 16 + d))) return;
            p.nibble = -1;
        }
    }
}

void RtfReader::border_word(const ControlWord& w, int value) {
    if (w.kind == WordKind::border_side) {
        border_target_ = {BorderTarget::Owner::paragraph, w.value};
        return;
    }
    if (w.kind == WordKind::unshown_border) {
        border_target_ = BorderTarget{};
        return;
    }
    if (w.kind == WordKind::cell_border_side) {
        border_target_ = {BorderTarget::Owner::cell, w.value};
        row_being_defined().next.has_borders = true;  // even when the side is drawn with none
        return;
    }
    if (border_target_.owner == BorderTarget::Owner::paragraph)
        state().para.borders.apply(border_target_.side, w, value);
    else if (border_target_.owner == BorderTarget::Owner::cell)
        row_being_defined().apply_border(border_target_.side, w, value);
}

RowDefinition& RtfReader::row_being_defined() {
    return state().dest == Dest::table_props ? nested_row_ : outer_row_;
}

// The level text read so far as UTF-8, its bytes in the code page of `font`. The first
// character is the text's length, and a ';' ends it.
std::string RtfReader::level_text_utf8(int font) {
    std::u32string_view raw = level_text_;
    const auto end = raw.rfind(kLevelTextByte + ';');
    if (end != std::u32string_view::npos) raw = raw.substr(0, end);
    if (!raw.empty()) raw.remove_prefix(1);
    const int page = page_of_font(font);
    std::string out;
    std::string bytes;
    const auto flush_bytes = [&] {
        if (!bytes.empty()) decoder_.append(out, bytes, page);
        bytes.clear();
    };
    for (const char32_t c : raw) {
        if (c >= kLevelTextByte) {
            const char b = static_cast<char>(c - kLevelTextByte);
            if (static_cast<unsigned char>(b) < static_cast<unsigned char>(kListLevels)) {
                flush_bytes();
                out += b;  // the place of a level's number
            } else {
                bytes += b;
            }
            continue;
        }
        flush_bytes();
        // A symbol font's glyphs are written in the private range, as in the text.
        if (c >= 0xF020 && c <= 0xF0FF && (page == kSymbolPage || page == kWingdingsPage)) {
            bytes += static_cast<char>(c - 0xF000);
            flush_bytes();
        } else {
            append_utf8(out, c);
        }
    }
    flush_bytes();
    return out.size() <= kMaxMarkerBytes ? out : std::string();
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
    if (c >= 0xF020 && c <= 0xF0FF && (page == kSymbolPage || page == kWingdingsPage) &&
        state().dest != Dest::level_text) {
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
        case Dest::text:
        case Dest::font_table:
        case Dest::field_instruction:
        case Dest::marker:
        case Dest::pn_before:
        case Dest::pn_after:
            break;
        case Dest::colour_table:  // only the ends of its entries count
            for (const char c : bytes) {
                if (c == ';') end_colour();
            }
            return;
        case Dest::level_text:  // control bytes in it stand for numbers
            for (const char c : bytes) {
                if (level_text_.size() < kMaxLevelText)
                    level_text_ += kLevelTextByte + static_cast<unsigned char>(c);
            }
            return;
        case Dest::picture:
            picture_bytes(bytes, true);
            return;
        default:  // destinations without text of their own
            return;
    }
    const auto plain = [dest](char c) {
        return static_cast<unsigned char>(c) >= 0x20 && !(c == ';' && dest == Dest::font_table);
    };
    while (!bytes.empty()) {
        std::size_t n = 0;  // plain text goes in a run at a time
        while (n < bytes.size() && plain(bytes[n])) ++n;
        hold(bytes.substr(0, n));
        if (builder_.full()) return;
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
    if (state().dest == Dest::level_text) {
        if (level_text_.size() < kMaxLevelText) level_text_ += c;
        return;
    }
    flush();
    std::string utf8;
    append_utf8(utf8, c);
    deliver(utf8);
}

// Text bytes wait to be decoded until the state changes. Two source bytes give at least one
// byte of UTF-8, so text that has waited for twice what a document shows is decoded at once,
// and the document is full. Any other destination keeps far less: once its text is sure to
// be refused for its length, no more of it is held.
void RtfReader::hold(std::string_view bytes) {
    while (!bytes.empty()) {
        const std::size_t room = kMaxPendingBytes - std::min(pending_.size(), kMaxPendingBytes);
        if (bytes.size() <= room) {
            pending_.append(bytes);
            return;
        }
        if (state().dest != Dest::text) {
            pending_too_long_ = true;
            return;
        }
        pending_.append(bytes.substr(0, room));
        bytes.remove_prefix(room);
        flush();
        if (builder_.full()) return;
    }
}

void RtfReader::flush() {
    if (pending_too_long_) {
        pending_too_long_ = false;
        pending_.clear();
        return;
    }
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
    return page_of_font(st.chr.font);
}

int RtfReader::page_of_font(int font) {
    const auto it = fonts_.find(font >= 0 ? font : default_font_);
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
    colours_.add(colour_def_set_ ? std::optional<Rgb>(colour_def_) : std::nullopt);
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
    f.colour = colours_.at(chr.colour);
    if (chr.background > 0) f.background = colours_.at(chr.background);
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

Document read_rtf(std::string_view bytes, LineEnds ends) {
    return RtfReader(bytes, ends).read();
}

Document read_plain_text(std::string_view bytes) {
    Document doc;
    Decoder decoder;
    ShownBudget shown;
    std::string decoded;
    std::size_t start = 0;
    while (start < bytes.size()) {
        // A line is looked at no further than it can be shown.
        const std::string_view rest = bytes.substr(start, kMaxShownTextBytes + 1);
        std::size_t end = start + std::min(rest.find_first_of("\r\n"), rest.size());
        Paragraph p;
        if (end > start) {
            // Each byte gives at least one of UTF-8: a line longer than can be shown is cut.
            decoded.clear();
            decoder.append(decoded, bytes.substr(start, end - start), kDefaultPage);
            const std::string_view text = shown.take_text(decoded);
            if (!text.empty()) p.runs.push_back(Run{std::string(text), {}, {}, std::nullopt});
        }
        if (!shown.take_paragraph(!p.runs.empty())) break;
        doc.blocks.emplace_back().content.emplace<Paragraph>(std::move(p));
        if (shown.cut()) break;
        if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    if (shown.cut()) doc.blocks.push_back(ShownBudget::ellipsis());
    return doc;
}

Document describe(std::string_view bytes, LineEnds ends) {
    return is_rtf(bytes) ? read_rtf(bytes, ends) : read_plain_text(bytes);
}

}  // namespace hoopcast::richtext
