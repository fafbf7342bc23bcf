#include "play/description.h"

namespace hoopcast {

namespace {

// Replaces the first occurrence of `key` (searching from the start) again and again; only
// the first `cut` characters of an occurrence go, the rest of the key must merely follow.
//
// Done in one pass: the text left of the read position never holds an occurrence, so the
// first occurrence of the whole text is the first one completed while reading on, and after
// a replacement the replacement and the kept characters are read again, which finds what it
// forms with the text around it. The work stays in proportion to the text, also for a long
// description full of bullet groups.
//
// A replacement shorter than its pattern leaves the text written behind the read position,
// with room between them for what is to be read again, so the pass needs no second copy of
// a long text.
std::string replace_shrinking(std::string text, std::string_view key, std::size_t cut,
                              std::string_view replacement) {
    const std::string_view kept = key.substr(cut);
    std::size_t written = 0;
    std::size_t read = 0;  // written <= read: the text written is [0, written), still to read [read, end)
    while (read < text.size()) {
        const char c = text[read++];
        text[written++] = c;
        if (c != key.back() || written < key.size()) continue;
        if (std::string_view(text.data() + written - key.size(), key.size()) != key) continue;
        written -= key.size();
        read -= replacement.size() + kept.size();
        replacement.copy(text.data() + read, replacement.size());
        kept.copy(text.data() + read + replacement.size(), kept.size());
    }
    text.resize(written);
    return text;
}

// A replacement not shorter than its pattern could form its own pattern for ever: its
// characters are not searched again, and no occurrence may start inside it.
std::string replace_growing(const std::string& text, std::string_view key, std::size_t cut,
                            std::string_view replacement) {
    const std::string_view kept = key.substr(cut);
    std::string out;
    out.reserve(text.size());
    std::string unread;  // characters to read again before the rest of the text, last first
    std::size_t next = 0;
    std::size_t barrier = 0;  // no occurrence starts before this index of `out`
    while (!unread.empty() || next < text.size()) {
        if (unread.empty()) {
            out += text[next++];
        } else {
            out += unread.back();
            unread.pop_back();
        }
        if (out.size() < key.size() || out.size() - key.size() < barrier) continue;
        if (std::string_view(out).substr(out.size() - key.size()) != key) continue;
        out.resize(out.size() - key.size());
        unread.append(kept.rbegin(), kept.rend());
        out += replacement;
        barrier = out.size();
    }
    return out;
}

std::string replace_each(std::string text, std::string_view key, std::size_t cut,
                         std::string_view replacement) {
    if (key.empty() || text.find(key) == std::string::npos) return text;
    if (replacement.size() < cut) return replace_shrinking(std::move(text), key, cut, replacement);
    return replace_growing(text, key, cut, replacement);
}

std::string bullet_group(int n) {
    return "{\\pntext\\f" + std::to_string(n) + "\\'B7\\tab}";
}

}  // namespace

std::string replace_text(std::string text, std::string_view pattern, std::string_view replacement) {
    if (pattern.empty()) return text;
    std::string key(pattern);
    key += '\\';
    text = replace_each(std::move(text), key, pattern.size(), replacement);
    key.back() = ' ';
    return replace_each(std::move(text), key, pattern.size(), replacement);
}

std::string replace_text2(std::string text, std::string_view pattern, std::string_view replacement) {
    return replace_each(std::move(text), pattern, pattern.size(), replacement);
}

std::string bullet_pattern_a(int n) {
    return bullet_group(n) + "\\pard\\'b7\\tab";
}
std::string bullet_pattern_b(int n) {
    return bullet_group(n) + "\\pard";
}
std::string bullet_pattern_c(int n) {
    return bullet_group(n) + "}";
}

namespace {

constexpr int kLastFont = 20;

// Whether the clean-up has anything to take out: a bullet group of one of its fonts. Every
// group starts alike, so a text without one is looked through once, not once a font.
bool has_bullet_group(std::string_view text) {
    if (text.find("{\\pntext\\f") == std::string_view::npos) return false;
    for (int n = 0; n <= kLastFont; ++n) {
        if (text.find(bullet_group(n)) != std::string_view::npos) return true;
    }
    return false;
}

}  // namespace

std::string_view cleaned_description(std::string_view text, std::string& copy) {
    if (!has_bullet_group(text)) return text;
    copy = clean_description(std::string(text));
    return copy;
}

std::string clean_description(std::string text) {
    if (!has_bullet_group(text)) return text;
    for (int n = 0; n <= kLastFont; ++n) {
        // Every pattern starts with the group; without it the three steps change nothing.
        if (text.find(bullet_group(n)) == std::string::npos) continue;
        const std::string a = bullet_pattern_a(n);
        text = replace_text2(replace_text(std::move(text), a, "\\pard"), a, "\\pard");
        const std::string b = bullet_pattern_b(n);
        text = replace_text2(replace_text(std::move(text), b, "\\pard"), b, "\\pard");
        const std::string c = bullet_pattern_c(n);
        text = replace_text2(replace_text(std::move(text), c, "}"), c, "}");
    }
    return text;
}

}  // namespace hoopcast
