#pragma once
// Part of the RTF reader: splits a document into its tokens (braces, control words and
// symbols, text) and knows nothing of what they mean, except that \bin is followed by
// bytes that are no tokens.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace hoopcast::richtext {

// Of the bytes after \bin, no more than this many are handed over; the rest is passed over.
// It is more than any picture keeps.
inline constexpr std::size_t kMaxBinaryBytes = std::size_t{32} << 20;

struct Token {
    enum class Type : std::uint8_t {
        open,    // "{"
        close,   // "}"
        word,    // a control word: its name, and its parameter when `has_param`
        symbol,  // a control symbol: "\" and one character, in `text`
        hex,     // \'hh: the byte in `param`, -1 when no hex digit follows
        binary,  // \bin and the bytes it announces (at most kMaxBinaryBytes), in `text`
        text,    // bytes of text; line ends in the file are not text and are left out
        end,
    };
    Type type = Type::end;
    bool has_param = false;
    int param = 0;          // clamped to int
    std::string_view text;  // a word's name, a symbol's character, the text, or binary bytes
};

class Lexer {
  public:
    // With `lf_for_crlf`, every LF in `in` stands for the CR LF of the text it was taken
    // from; only the bytes after \bin count them, and get them back.
    explicit Lexer(std::string_view in, bool lf_for_crlf = false) : in_(in), lf_for_crlf_(lf_for_crlf) {}
    Token next();

  private:
    void word(Token& t);
    std::string_view binary(std::size_t n);
    int hex_byte();

    std::string_view in_;
    bool lf_for_crlf_;
    std::size_t pos_ = 0;
    std::string binary_;  // \bin bytes given back their CRs
};

}  // namespace hoopcast::richtext
