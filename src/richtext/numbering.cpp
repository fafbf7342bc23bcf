#include "richtext/numbering.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "richtext/properties.h"
#include "richtext/trim.h"

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

constexpr std::size_t kMaxLists = 1024;
constexpr std::size_t kMaxListUses = 1024;

// Number formats of list levels (\levelnfc) other than decimal; the many national
// formats are shown in decimal.
constexpr std::pair<int, NumberStyle> kLevelFormats[] = {
    {1, NumberStyle::upper_roman},   {2, NumberStyle::lower_roman},
    {3, NumberStyle::upper_letter},  {4, NumberStyle::lower_letter},
    {22, NumberStyle::decimal_zero}, {23, NumberStyle::none},  // a bullet: the level text is the bullet
    {255, NumberStyle::none},
};

NumberStyle level_format(int nfc) {
    for (const auto& [code, style] : kLevelFormats) {
        if (code == nfc) return style;
    }
    return NumberStyle::decimal;
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
    if (style == NumberStyle::none) return {};
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
        case NumberStyle::decimal_zero:
            return (n < 10 ? "0" : "") + std::to_string(n);
        case NumberStyle::none:
            return {};
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

void ListLevel::apply(const ControlWord& word, int value) {
    switch (word.kind) {
        case WordKind::level_format:
            style = level_format(value);
            return;
        case WordKind::level_start:
            start = std::clamp(value, 0, kMaxCounter);
            return;
        case WordKind::level_no_restart:
            restarts = false;
            return;
        case WordKind::level_legal:
            legal = value != 0;
            return;
        case WordKind::left_indent:
            left = clamp_twips(value);
            return;
        case WordKind::first_indent:
            first = clamp_twips(value);
            return;
        default:
            return;
    }
}

void ListTable::add(ListDefinition list) {
    if (lists_.size() < kMaxLists) lists_.push_back(std::move(list));
}

void ListTable::add(const ListOverride& entry) {
    if (uses_.size() < kMaxListUses || uses_.count(entry.number) != 0) uses_[entry.number] = Use{entry};
}

const ListDefinition* ListTable::list(int id) const {
    for (const ListDefinition& l : lists_) {
        if (l.id == id) return &l;
    }
    return nullptr;
}

const ListLevel* ListTable::level(int number, int level) const {
    const auto use = uses_.find(number);
    if (use == uses_.end() || level < 0 || level >= kListLevels) return nullptr;
    const ListDefinition* l = list(use->second.entry.list_id);
    if (l == nullptr || static_cast<std::size_t>(level) >= l->levels.size()) return nullptr;
    return &l->levels[static_cast<std::size_t>(level)];
}

std::string ListTable::count(int number, int level) {
    const ListLevel* shown = this->level(number, level);
    if (shown == nullptr) return {};
    Use& use = uses_[number];
    const ListDefinition& l = *list(use.entry.list_id);
    Counters& c = counters_[l.id];
    if (!use.started) {  // an override that starts levels anew does so where it is first used
        use.started = true;
        for (std::size_t k = 0; k < use.entry.start_at.size(); ++k) {
            if (!use.entry.start_at[k]) continue;
            c.value[k] = *use.entry.start_at[k] - 1;
            c.counted[k] = true;
        }
    }
    const auto lv = static_cast<std::size_t>(level);
    c.value[lv] = c.counted[lv] ? std::min(c.value[lv] + 1, kMaxCounter) : shown->start;
    c.counted[lv] = true;
    for (std::size_t k = lv + 1; k < l.levels.size(); ++k) {
        if (l.levels[k].restarts) c.counted[k] = false;
    }
    std::string marker;
    for (const char b : shown->text) {
        const auto k = static_cast<std::size_t>(static_cast<unsigned char>(b));
        if (k >= static_cast<std::size_t>(kListLevels)) {
            marker += b;
        } else if (k < l.levels.size() && k <= lv) {
            const ListLevel& of = l.levels[k];
            const NumberStyle style = shown->legal && k != lv ? NumberStyle::decimal : of.style;
            marker += number_text(c.counted[k] ? c.value[k] : of.start, style);
        }
        if (marker.size() > kMaxMarkerBytes) break;
    }
    return trim(marker);
}

}  // namespace hoopcast::richtext
