#pragma once
// Windows-1252, the code page of every text in a play file: one code point per byte.

#include <array>
#include <cstdint>

namespace hoopcast {

// The code point of a byte. 0x80..0x9F are Windows' own; the five bytes the page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 controls of the same value; the
// rest of the page is Latin-1.
constexpr char32_t cp1252_code_point(std::uint8_t b) noexcept {
    constexpr std::array<char32_t, 32> kHigh = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    return b >= 0x80 && b <= 0x9F ? kHigh[b - 0x80] : char32_t{b};
}

}  // namespace hoopcast
