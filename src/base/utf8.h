#pragma once
// UTF-8 in both directions, for every layer that turns text into bytes or bytes into glyphs.

#include <cstddef>
#include <string>
#include <string_view>

namespace hoopcast {

// Code points beyond Unicode and lone surrogates are written as U+FFFD.
inline void append_utf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes the sequence at s[i] and moves i past it; i < s.size(). Malformed input
// (a stray or missing continuation byte, an overlong form, a surrogate, a code point
// beyond Unicode) gives U+FFFD and consumes one byte, so the bytes after it still count.
inline char32_t next_code_point(std::string_view s, std::size_t& i) noexcept {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    std::size_t len = 0;
    char32_t cp = 0;
    if ((b0 & 0xE0) == 0xC0)
        len = 2, cp = b0 & 0x1Fu;
    else if ((b0 & 0xF0) == 0xE0)
        len = 3, cp = b0 & 0x0Fu;
    else if ((b0 & 0xF8) == 0xF0)
        len = 4, cp = b0 & 0x07u;
    if (len == 0) {
        ++i;
        return 0xFFFD;
    }
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = i + k < s.size() ? static_cast<unsigned char>(s[i + k]) : 0u;
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3Fu);
    }
    constexpr char32_t kShortest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kShortest[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return 0xFFFD;
    }
    i += len;
    return cp;
}

}  // namespace hoopcast
