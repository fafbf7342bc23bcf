#include "richtext/decoder.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <iterator>

#include "base/utf8.h"

namespace hoopcast::richtext {

namespace {

// The most converters one document may open; a document naming more pages than this has
// the rest read as Windows-1252.
constexpr std::size_t kMaxConverters = 24;

iconv_t no_converter() {
    return reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1));
}

// Pages iconv knows by a name other than "CP" and the number, and, where a C library's
// iconv has no name for a page of Windows' own (the browser's knows no CP874, CP932 or
// CP936), the name of the same page there: Thai, and Shift JIS and GBK as Windows extends
// them.
struct PageName {
    int code_page;
    const char* name;
    const char* other = nullptr;
};
constexpr PageName kPageNames[] = {
    {874, "CP874", "TIS-620"}, {932, "CP932", "SHIFT_JIS"}, {936, "CP936", "GBK"}, {10000, "MACINTOSH"},
    {20127, "ASCII"},          {20932, "EUC-JP"},           {51932, "EUC-JP"},     {54936, "GB18030"},
    {65001, "UTF-8"},
};

iconv_t open_converter(int code_page) {
    const auto* named = std::find_if(std::begin(kPageNames), std::end(kPageNames),
                                     [&](const PageName& p) { return p.code_page == code_page; });
    if (named != std::end(kPageNames)) {
        iconv_t cd = iconv_open("UTF-8", named->name);
        if (cd == no_converter() && named->other != nullptr) cd = iconv_open("UTF-8", named->other);
        return cd;
    }
    if (code_page >= 28591 && code_page <= 28606)
        return iconv_open("UTF-8", ("ISO-8859-" + std::to_string(code_page - 28590)).c_str());
    return iconv_open("UTF-8", ("CP" + std::to_string(code_page)).c_str());
}

// The Symbol font's layout: Greek letters where Latin ones stand, and the signs word
// processors use for bullets. Bytes not listed keep their Windows-1252 meaning.
char32_t symbol_font_char(unsigned char byte) {
    static constexpr char32_t upper[26] = {0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393,
                                           0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D,
                                           0x039F, 0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5,
                                           0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396};
    static constexpr char32_t lower[26] = {0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3,
                                           0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD,
                                           0x03BF, 0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5,
                                           0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6};
    if (byte >= 'A' && byte <= 'Z') return upper[byte - 'A'];
    if (byte >= 'a' && byte <= 'z') return lower[byte - 'a'];
    switch (byte) {
        case 0xA2:
            return 0x2032;
        case 0xA3:
            return 0x2264;
        case 0xA5:
            return 0x221E;
        case 0xA7:
            return 0x2663;
        case 0xA8:
            return 0x2666;
        case 0xA9:
            return 0x2665;
        case 0xAA:
            return 0x2660;
        case 0xAB:
            return 0x2194;
        case 0xAC:
            return 0x2190;
        case 0xAD:
            return 0x2191;
        case 0xAE:
            return 0x2192;
        case 0xAF:
            return 0x2193;
        case 0xB0:
            return 0x00B0;
        case 0xB1:
            return 0x00B1;
        case 0xB2:
            return 0x2033;
        case 0xB3:
            return 0x2265;
        case 0xB4:
            return 0x00D7;
        case 0xB7:
            return 0x2022;
        case 0xB8:
            return 0x00F7;
        case 0xB9:
            return 0x2260;
        case 0xBA:
            return 0x2261;
        case 0xBB:
            return 0x2248;
        case 0xBC:
            return 0x2026;
        case 0xD7:
            return 0x22C5;
        case 0xE0:
            return 0x25CA;
        default:
            return 0;
    }
}

// Wingdings: only the marks word processors offer as bullets; any other glyph is shown
// as a plain bullet rather than as the letter it is stored as.
char32_t wingdings_char(unsigned char byte) {
    switch (byte) {
        case 0x6C:
            return 0x25CF;
        case 0x6E:
            return 0x25A0;
        case 0x71:
            return 0x2751;
        case 0x76:
            return 0x2756;
        case 0xA7:
            return 0x25AA;
        case 0xD8:
            return 0x27A2;
        case 0xFC:
            return 0x2713;
        default:
            return 0x2022;
    }
}

bool undefined_in_1252(unsigned char byte) {
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

}  // namespace

int code_page_of_charset(int charset) noexcept {
    switch (charset) {
        case 0:
            return 1252;
        case 2:
            return kSymbolPage;
        case 77:
            return 10000;
        case 128:
            return 932;
        case 129:
            return 949;
        case 130:
            return 1361;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        case 254:
            return 437;
        case 255:
            return 850;
        default:
            return 0;
    }
}

Decoder::~Decoder() {
    for (const Converter& c : converters_) {
        if (c.handle != nullptr) iconv_close(static_cast<iconv_t>(c.handle));
    }
}

void* Decoder::converter(int code_page) {
    for (const Converter& c : converters_) {
        if (c.code_page == code_page) return c.handle;
    }
    if (converters_.size() >= kMaxConverters) return nullptr;
    void* handle = nullptr;
    if (code_page > 0 && code_page <= 65535) {
        iconv_t cd = open_converter(code_page);
        if (cd != no_converter()) handle = cd;
    }
    converters_.push_back({code_page, handle});
    return handle;
}

void Decoder::append(std::string& out, std::string_view bytes, int code_page) {
    if (code_page == kSymbolPage || code_page == kWingdingsPage) {
        std::string rest;
        for (const char ch : bytes) {
            const auto byte = static_cast<unsigned char>(ch);
            const char32_t c = code_page == kSymbolPage ? symbol_font_char(byte) : wingdings_char(byte);
            if (c == 0) {
                rest.assign(1, ch);
                append(out, rest, kDefaultPage);
            } else {
                append_utf8(out, c);
            }
        }
        return;
    }
    void* handle = converter(code_page);
    if (handle == nullptr) {
        code_page = kDefaultPage;
        handle = converter(code_page);
    }
    if (handle == nullptr) {  // no iconv at all: keep ASCII, mark the rest
        for (const char ch : bytes)
            append_utf8(out, static_cast<unsigned char>(ch) < 0x80 ? static_cast<char32_t>(ch) : 0xFFFD);
        return;
    }
    if (code_page != kDefaultPage) {
        convert(out, bytes, handle, code_page);
        return;
    }
    // ASCII stands for itself in Windows-1252; long texts are mostly ASCII, and iconv is slow
    // with them.
    const auto is_ascii = [](char ch) { return static_cast<unsigned char>(ch) < 0x80; };
    while (!bytes.empty()) {
        const auto ascii =
            static_cast<std::size_t>(std::find_if_not(bytes.begin(), bytes.end(), is_ascii) - bytes.begin());
        out.append(bytes.substr(0, ascii));
        bytes.remove_prefix(ascii);
        const auto other =
            static_cast<std::size_t>(std::find_if(bytes.begin(), bytes.end(), is_ascii) - bytes.begin());
        convert(out, bytes.substr(0, other), handle, code_page);
        bytes.remove_prefix(other);
    }
}

void Decoder::convert(std::string& out, std::string_view bytes, void* handle, int code_page) {
    auto cd = static_cast<iconv_t>(handle);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(bytes.data());
    std::size_t in_left = bytes.size();
    char buffer[1024];
    while (in_left > 0) {
        char* o = buffer;
        std::size_t o_left = sizeof buffer;
        const std::size_t r = iconv(cd, &in, &in_left, &o, &o_left);
        out.append(buffer, static_cast<std::size_t>(o - buffer));
        if (r != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        // A byte the page does not define, or a lead byte with no trail: show a mark for
        // one byte and go on with the next.
        const auto byte = static_cast<unsigned char>(*in);
        append_utf8(out, code_page == 1252 && undefined_in_1252(byte) ? char32_t{byte} : char32_t{0xFFFD});
        ++in;
        --in_left;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
}

}  // namespace hoopcast::richtext
