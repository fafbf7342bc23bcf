#include "richtext/properties.h"

namespace hoopcast::richtext {

namespace {

constexpr int kMaxSize = 3276;

}  // namespace

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
            underline = on;
            return;
        case WordKind::no_underline:
            underline = false;
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
            return;
        case WordKind::right_indent:
            right = clamp_twips(value);
            return;
        case WordKind::first_indent:
            first = clamp_twips(value);
            return;
        case WordKind::space_before:
            before = std::clamp(value, 0, kMaxTwips);
            return;
        case WordKind::space_after:
            after = std::clamp(value, 0, kMaxTwips);
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
