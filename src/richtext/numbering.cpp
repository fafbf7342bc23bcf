#include "richtext/numbering.h"

#include <algorithm>
#include <utility>

#include "richtext/utf8.h"

namespace hoopcast::richtext {

namespace {

std::string letters(int n, char first) {
    // 1 -> A, 26 -> Z, 27 -> AA, 53 -> AAA: the letter repeats, as word processors count.
    const int repeat = (n - 1) / 26 + 1;
    return std::string(static_cast<std::size_t>(std::min(repeat, 8)),
                       static_cast<char>(first + (n - 1) % 26));
}

std::string roman(int n, bool upper) {
    static constexpr std::pair<int, const char*> parts[] = {
        {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
        {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
    std::string out;
    for (const auto& [value, text] : parts) {
        while (n >= value) {
            out += text;
            n -= value;
        }
    }
    if (upper)
        std::transform(out.begin(), out.end(), out.begin(), [](char c) { return static_cast<char>(c - 32); });
    return out;
}

}  // namespace

void PnProps::apply(const ControlWord& word, int value) {
    switch (word.kind) {
        case WordKind::numbering_level:
            kind = static_cast<Numbering>(word.value);
            return;
        case WordKind::number_style:
            style = static_cast<NumberStyle>(word.value);
            return;
        case WordKind::number_start:
            start = std::clamp(value, 0, kMaxCounter);
            explicit_start = true;
            return;
        default:
            return;
    }
}

std::string number_text(int n, NumberStyle style) {
    if (n < 1 || (n > 3999 && (style == NumberStyle::upper_roman || style == NumberStyle::lower_roman))) {
        return std::to_string(n);
    }
    switch (style) {
        case NumberStyle::upper_letter:
            return letters(n, 'A');
        case NumberStyle::lower_letter:
            return letters(n, 'a');
        case NumberStyle::upper_roman:
            return roman(n, true);
        case NumberStyle::lower_roman:
            return roman(n, false);
        case NumberStyle::decimal:
            break;
    }
    return std::to_string(n);
}

void ListNumbers::count(const PnProps& pn) {
    // A list starts after a paragraph without a number, at a numbering group with its own
    // start, or in another style.
    const bool numbered = pn.kind == Numbering::body;
    if (numbered) {
        const bool goes_on = last_numbered_ && !restart_ && last_style_ == pn.style;
        counter_ = goes_on ? std::min(counter_ + 1, kMaxCounter) : pn.start;
        last_style_ = pn.style;
    }
    last_numbered_ = numbered;
    restart_ = false;
}

std::string ListNumbers::marker(const PnProps& pn) const {
    if (pn.kind == Numbering::bullet) {
        std::string marker = trim(pn.before + pn.after);
        return marker.empty() ? "\xE2\x80\xA2" : marker;
    }
    return pn.kind == Numbering::body ? trim(pn.before + number_text(counter_, pn.style) + pn.after)
                                      : std::string();
}

}  // namespace hoopcast::richtext
