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
std::string replace_each(const std::string& text, std::string_view key, std::size_t cut,
                         std::string_view replacement) {
    if (key.empty() || text.find(key) == std::string::npos) return text;
    // A replacement not shorter than its pattern could form its own pattern for ever: its
    // characters are not searched again, and no occurrence may start inside it.
    const bool rescan = replacement.size() < cut;
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
        const std::string kept(key.substr(cut));
        out.resize(out.size() - key.size());
        unread.append(kept.rbegin(), kept.rend());
        if (rescan) {
            unread.append(replacement.rbegin(), replacement.rend());
        } else {
            out += replacement;
            barrier = out.size();
        }
    }
    return out;
}

std::string bullet_group(int n) {
    return "{\\pntext\\f" + std::to_string(n) + "\\'B7\\tab}";
}

}  // namespace

std::string replace_text(std::string text, std::string_view pattern, std::string_view replacement) {
    if (pattern.empty()) return text;
    std::string key(pattern);
    key += '\\';
    text = replace_each(text, key, pattern.size(), replacement);
    key.back() = ' ';
    return replace_each(text, key, pattern.size(), replacement);
}

std::string replace_text2(std::string text, std::string_view pattern, std::string_view replacement) {
    return replace_each(text, pattern, pattern.size(), replacement);
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

std::string clean_description(std::string text) {
    constexpr int kLastFont = 20;
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
