#pragma once
// Text and bytes as an HTML page holds them, for every layer that writes one.

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace hoopcast {

// `text` with the five characters HTML gives a meaning written as references, so that it
// reads as itself in an element or a quoted attribute.
inline void append_html_escaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
                break;
        }
    }
}

// `bytes` in base64, written onto the end of `out`: long data is never held twice as text.
inline void append_base64(std::string& out, std::string_view bytes) {
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const std::size_t need = out.size() + (bytes.size() + 2) / 3 * 4;
    if (need > out.capacity()) out.reserve(std::max(need, 2 * out.capacity()));
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const auto byte = [&](std::size_t k) {
            return k < bytes.size() ? static_cast<unsigned>(static_cast<unsigned char>(bytes[k])) : 0u;
        };
        const unsigned v = byte(i) << 16 | byte(i + 1) << 8 | byte(i + 2);
        out += kDigits[v >> 18 & 63];
        out += kDigits[v >> 12 & 63];
        out += i + 1 < bytes.size() ? kDigits[v >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? kDigits[v & 63] : '=';
    }
}

}  // namespace hoopcast
