#pragma once
// Turns the 8-bit text of a document into UTF-8: Windows code pages (single- and double-byte)
// through the C library's iconv, and the two symbol fonts bullets are written in.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hoopcast::richtext {

// Pseudo code pages for text in a symbol font, whose bytes are glyph numbers.
inline constexpr int kSymbolPage = 42;  // the Symbol font: Greek letters, arrows, bullets
inline constexpr int kWingdingsPage = -2;
inline constexpr int kDefaultPage = 1252;

// The code page of a font character set number as documents give it; 0 when the set
// means "the document's page" or is not known.
int code_page_of_charset(int charset) noexcept;

class Decoder {
  public:
    Decoder() = default;
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // Appends `bytes` in `code_page` to `out` as UTF-8. Bytes the page does not define
    // become U+FFFD; a page iconv cannot convert is read as Windows-1252.
    void append(std::string& out, std::string_view bytes, int code_page);

  private:
    struct Converter {
        int code_page;
        void* handle;  // iconv_t, null when iconv has no such page
    };
    void* converter(int code_page);
    // Converts with iconv's `handle` for `code_page`.
    static void convert(std::string& out, std::string_view bytes, void* handle, int code_page);

    std::vector<Converter> converters_;
};

}  // namespace hoopcast::richtext
