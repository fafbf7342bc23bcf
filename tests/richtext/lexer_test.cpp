#include "richtext/lexer.h"

#include <gtest/gtest.h>

#include <string>

namespace hoopcast::richtext {
namespace {

// The tokens of `in`, one word each: "{", "}", "w:name", "w:name=param", "s:c", "h:byte", "bin",
// "t:text".
std::string tokens(std::string_view in) {
    Lexer lexer(in);
    std::string out;
    for (Token t = lexer.next(); t.type != Token::Type::end; t = lexer.next()) {
        if (!out.empty()) out += ' ';
        switch (t.type) {
            case Token::Type::open:
                out += '{';
                break;
            case Token::Type::close:
                out += '}';
                break;
            case Token::Type::word:
                out += "w:" + std::string(t.text) + (t.has_param ? "=" + std::to_string(t.param) : "");
                break;
            case Token::Type::symbol:
                out += "s:" + std::string(t.text);
                break;
            case Token::Type::hex:
                out += "h:" + std::to_string(t.param);
                break;
            case Token::Type::binary:
                out += "bin";
                break;
            case Token::Type::text:
                out += "t:" + std::string(t.text);
                break;
            case Token::Type::end:
                break;
        }
    }
    return out;
}

TEST(RtfLexer, WordsSymbolsAndText) {
    // One blank after a word belongs to it; a minus counts only before a digit; line ends
    // in the file are not text, but after a backslash they are a symbol.
    EXPECT_EQ(tokens("{\\rtf1\\b  bold\\li-360\\fi- x\r\ny\\\r\n}"),
              "{ w:rtf=1 w:b t: bold w:li=-360 w:fi t:- x t:y s:\r }");
    EXPECT_EQ(tokens("\\~\\{\\\\\\'e9\\'4x\\'zz\\*\\u8364?"),
              "s:~ s:{ s:\\ h:233 h:4 t:x h:-1 t:zz s:* w:u=8364 t:?");
    // Parameters far out of range are clamped; a backslash at the end stands for nothing.
    EXPECT_EQ(tokens("\\fs99999999999999999999\\li-99999999999 a\\"), "w:fs=2147483647 w:li=-2147483648 t:a");
}

TEST(RtfLexer, BinaryDataIsPassedOver) {
    EXPECT_EQ(tokens("\\bin4 {}\\x\\par"), "bin w:par");
    EXPECT_EQ(tokens("\\bin0 x\\bin y"), "bin t:x bin t:y");
    EXPECT_EQ(tokens("a\\bin999999999999 {}"), "t:a bin");  // never past the end
}

// A description held with bare LFs lexes as its CR LF text does; \bin counts and gives back
// the CRs, also when its data ends between a CR and its LF.
TEST(RtfLexer, BareLineFeedsStandForCrLf) {
    for (const std::string crlf :
         {"\\bin5 ab\r\ncd\\par", "\\bin3 ab\r\ncd", "x\\\r\n\\bin4 \r\n\r\ny", "\\bin2 \r\n"}) {
        std::string lf = crlf;
        std::erase(lf, '\r');
        Lexer as_given(crlf);
        Lexer held(lf, true);
        for (;;) {
            const Token a = as_given.next();
            const Token b = held.next();
            ASSERT_EQ(a.type, b.type) << crlf;
            if (a.type == Token::Type::end) break;
            if (a.type == Token::Type::symbol) continue;  // "\" and a line end: the line end as it is held
            EXPECT_EQ(a.text, b.text) << crlf;
        }
    }
}

}  // namespace
}  // namespace hoopcast::richtext
