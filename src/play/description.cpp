#include "play/description.h"

namespace hoopcast {

namespace {

// Replaces the first occurrence of `key` again and again. Only the first `cut` characters of
// each occurrence are removed (the rest of the key is the character that must follow).
std::string replace_each(std::string text, std::string_view key, std::size_t cut,
                         std::string_view replacement) {
    if (key.empty()) return text;
    const bool shrinks = replacement.size() < cut;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(key, from);
        if (at == std::string::npos) return text;
        text.replace(at, cut, replacement);
        if (shrinks) {
            // Searching from the start again: the text before `at` held no occurrence and
            // is unchanged, so a new one can only start where it overlaps the edit. Every
            // step shortens the text, so the loop ends.
            from = at >= key.size() - 1 ? at - (key.size() - 1) : 0;
        } else {
            // A replacement as long as its pattern may rebuild it for ever; go on after it.
            from = at + replacement.size();
        }
    }
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

std::string bullet_pattern_a(int n) { return bullet_group(n) + "\\pard\\'b7\\tab"; }
std::string bullet_pattern_b(int n) { return bullet_group(n) + "\\pard"; }
std::string bullet_pattern_c(int n) { return bullet_group(n) + "}"; }

std::string clean_description(std::string text) {
    constexpr int kLastFont = 20;
    for (int n = 0; n <= kLastFont; ++n) {
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
