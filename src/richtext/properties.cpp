#include "richtext/properties.h"

namespace hoopcast::richtext {

namespace {

constexpr int kMaxSize = 3276;
constexpr std::size_t kMaxColours = 1024;
constexpr int kMaxBorderWidth = 300;  // twips; documents say 75 at most
constexpr int kFullShading = 10000;

std::uint8_t mix(std::uint8_t under, std::uint8_t over, int shading) {
    return static_cast<std::uint8_t>((under * (kFullShading - shading) + over * shading) / kFullShading);
}

}  // namespace

void ColourTable::add(std::optional<Rgb> colour) {
    if (colours_.size() < kMaxColours) colours_.push_back(colour);
}

std::optional<Rgb> shade(const ColourTable& colours, int background, int pattern, int shading) {
    const std::optional<Rgb> under = colours.at(background);
    if (shading <= 0) return under;
    const Rgb b = under.value_or(Rgb{255, 255, 255});
    const Rgb p = colours.at(pattern).value_or(Rgb{0, 0, 0});
    return Rgb{mix(b.r, p.r, shading), mix(b.g, p.g, shading), mix(b.b, p.b, shading)};
}

void BorderProps::apply(const ControlWord& word, int value) {
    switch (word.kind) {
        case WordKind::border_style:
            style = static_cast<BorderStyle>(word.value);
            return;
        case WordKind::border_width:
            width = std::clamp(value, 0, kMaxBorderWidth);
            return;
        case WordKind::border_colour:
            colour = value;
            return;
        default:
            return;
    }
}

Border BorderProps::resolve(const ColourTable& colours) const {
    return Border{style, style == BorderStyle::none ? 0 : width, colours.at(colour)};
}

void BordersProps::apply(int side, const ControlWord& word, int value) {
    if (word.kind == WordKind::border_space) {
        space = std::clamp(value, 0, kMaxBorderWidth);
        return;
    }
    if (side >= 0 && side < 4) {
        sides[static_cast<std::size_t>(side)].apply(word, value);
    } else if (side == 4) {
        for (BorderProps& s : sides) s.apply(word, value);
    }
}

Borders BordersProps::resolve(const ColourTable& colours) const {
    Borders b{sides[0].resolve(colours), sides[1].resolve(colours), sides[2].resolve(colours),
              sides[3].resolve(colours), space};
    if (!b.any()) b.space = 0;
    return b;
}

void CharProps::apply(const ControlWord& word, bool has_param, int value) {
    const bool on = !has_param || value != 0;
    switch (word.kind) {
        case WordKind::plain:
            *this = CharProps{};
            return;
        case WordKind::font:
            font = value;
            return;
        case WordKind::bold:
            bold = on;
            return;
        case WordKind::italic:
            italic = on;
            return;
        case WordKind::underline:
            underline = on ? static_cast<Underline>(word.value) : Underline::none;
            return;
        case WordKind::strike:
            strike = on;
            return;
        case WordKind::size:
            size = has_param && value > 0 ? std::min(value, kMaxSize) : kDefaultSize;
            return;
        case WordKind::colour:
            colour = value;
            return;
        case WordKind::background:
            background = value;
            return;
        case WordKind::vertical:
            vertical = static_cast<VerticalAlign>(word.value);
            return;
        case WordKind::hidden:
            hidden = on;
            return;
        default:
            return;
    }
}

void ParaProps::apply(const ControlWord& word, int value) {
    switch (word.kind) {
        case WordKind::paragraph_defaults:
            *this = ParaProps{};
            return;
        case WordKind::alignment:
            alignment = static_cast<Alignment>(word.value);
            return;
        case WordKind::left_indent:
            left = clamp_twips(value);
            has_left = true;
            return;
        case WordKind::right_indent:
            right = clamp_twips(value);
            return;
        case WordKind::first_indent:
            first = clamp_twips(value);
            has_first = true;
            return;
        case WordKind::space_before:
            before = std::clamp(value, 0, kMaxTwips);
            return;
        case WordKind::space_after:
            after = std::clamp(value, 0, kMaxTwips);
            return;
        case WordKind::line_spacing:
            line = clamp_twips(value);
            return;
        case WordKind::line_multiple:
            line_multiple = value != 0;
            return;
        case WordKind::tab_kind:
            next_tab.kind = static_cast<TabKind>(word.value);
            return;
        case WordKind::tab_leader:
            next_tab.leader = static_cast<TabLeader>(word.value);
            return;
        case WordKind::tab_stop:
            next_tab.position = std::clamp(value, 0, kMaxTwips);
            if (tabs.size() < kMaxTabStops) tabs.push_back(next_tab);
            next_tab = TabStop{};
            return;
        case WordKind::bar_tab:  // a vertical rule, not a stop the text goes to
            next_tab = TabStop{};
            return;
        case WordKind::pattern_background:
            pattern_background = value;
            return;
        case WordKind::pattern_colour:
            pattern_colour = value;
            return;
        case WordKind::shading:
            shading = std::clamp(value, 0, kFullShading);
            return;
        case WordKind::list_number:
            list = value;
            return;
        case WordKind::list_level_number:
            list_level = std::clamp(value, 0, kListLevels - 1);
            return;
        case WordKind::in_table:
            in_table = true;
            return;
        case WordKind::table_depth:
            itap = std::clamp(value, 0, kMaxTableDepth);
            return;
        default:
            return;
    }
}

}  // namespace hoopcast::richtext
