#include "base/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hoopcast {
namespace {

std::u32string decoded(std::string_view s) {
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) out += next_code_point(s, i);
    return out;
}

TEST(Utf8, EachLengthRoundTripsAtItsBounds) {
    const char32_t bounds[] = {0x0, 0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0x10000, 0x10FFFF, 0x20AC, 0x1F3C0};
    for (const char32_t c : bounds) {
        std::string bytes;
        append_utf8(bytes, c);
        const std::size_t length = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        EXPECT_EQ(bytes.size(), length) << std::hex << static_cast<unsigned>(c);
        EXPECT_EQ(decoded(bytes), std::u32string(1, c)) << std::hex << static_cast<unsigned>(c);
    }
}

TEST(Utf8, WhatUnicodeCannotHoldIsWrittenAsTheReplacementCharacter) {
    const char32_t outside[] = {0xD800, 0xDFFF, 0x110000, 0xFFFFFFFF};
    for (const char32_t c : outside) {
        std::string bytes;
        append_utf8(bytes, c);
        EXPECT_EQ(bytes, "\xEF\xBF\xBD");
    }
}

TEST(Utf8, MalformedInputGivesOneReplacementPerByteAndResumes) {
    const struct {
        std::string bytes;
        std::u32string expected;
    } cases[] = {
        {"A\xE2\x82"
         "B",
         U"A\uFFFD\uFFFDB"},                                // cut short before an ASCII byte
        {"\xF0", U"\uFFFD"},                                // cut short by the end
        {"\x80\xBF", U"\uFFFD\uFFFD"},                      // stray continuation bytes
        {"\xC0\xAF", U"\uFFFD\uFFFD"},                      // overlong slash
        {"\xE0\x80\xAF", U"\uFFFD\uFFFD\uFFFD"},            // overlong, three bytes
        {"\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},            // a surrogate
        {"\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
        {"\xFF"
         "a",
         U"\uFFFDa"},
    };
    for (const auto& c : cases) EXPECT_EQ(decoded(c.bytes), c.expected) << c.bytes;
}

}  // namespace
}  // namespace hoopcast
