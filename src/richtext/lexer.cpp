#include "richtext/lexer.h"

#include <algorithm>
#include <cstdint>

namespace hoopcast::richtext {

namespace {

bool is_letter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

bool is_text(char c) {
    return c != '{' && c != '}' && c != '\\' && c != '\r' && c != '\n';
}

}  // namespace

Token Lexer::next() {
    Token t;
    while (pos_ < in_.size() && (in_[pos_] == '\r' || in_[pos_] == '\n')) ++pos_;
    if (pos_ >= in_.size()) return t;
    const char c = in_[pos_++];
    if (c == '{') {
        t.type = Token::Type::open;
    } else if (c == '}') {
        t.type = Token::Type::close;
    } else if (c != '\\') {
        const std::size_t start = pos_ - 1;
        while (pos_ < in_.size() && is_text(in_[pos_])) ++pos_;
        t.type = Token::Type::text;
        t.text = in_.substr(start, pos_ - start);
    } else if (pos_ >= in_.size()) {
        // a backslash at the very end stands for nothing
    } else if (is_letter(in_[pos_])) {
        word(t);
    } else if (in_[pos_] == '\'') {
        ++pos_;
        t.type = Token::Type::hex;
        t.param = hex_byte();
    } else {
        t.type = Token::Type::symbol;
        t.text = in_.substr(pos_++, 1);
    }
    return t;
}

void Lexer::word(Token& t) {
    const std::size_t start = pos_;
    while (pos_ < in_.size() && is_letter(in_[pos_])) ++pos_;
    t.type = Token::Type::word;
    t.text = in_.substr(start, pos_ - start);
    bool negative = false;
    if (pos_ + 1 < in_.size() && in_[pos_] == '-' && is_digit(in_[pos_ + 1])) {
        negative = true;
        ++pos_;
    }
    std::int64_t param = 0;
    while (pos_ < in_.size() && is_digit(in_[pos_])) {
        t.has_param = true;
        param = std::min<std::int64_t>(param * 10 + (in_[pos_] - '0'), std::int64_t{1} << 40);
        ++pos_;
    }
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;  // the blank that ends the word is part of it
    if (negative) param = -param;
    t.param = static_cast<int>(std::clamp<std::int64_t>(param, INT32_MIN, INT32_MAX));
    if (t.text == "bin") {  // binary data follows, whatever the state
        t.type = Token::Type::binary;
        t.text = binary(t.has_param && t.param > 0 ? static_cast<std::size_t>(t.param) : 0);
    }
}

std::string_view Lexer::binary(std::size_t n) {
    const std::string_view rest = in_.substr(pos_);
    if (!lf_for_crlf_ || rest.substr(0, n).find('\n') == std::string_view::npos) {
        n = std::min(n, rest.size());
        pos_ += n;
        return rest.substr(0, std::min(n, kMaxBinaryBytes));
    }
    binary_.clear();
    const auto add = [this](char c) {
        if (binary_.size() < kMaxBinaryBytes) binary_ += c;
    };
    for (; n > 0 && pos_ < in_.size(); --n) {
        if (in_[pos_] == '\n') {
            add('\r');
            // The data may end between the CR and the LF; the LF then ends a line as ever.
            if (--n == 0) break;
        }
        add(in_[pos_++]);
    }
    return binary_;
}

int Lexer::hex_byte() {
    int value = -1;
    for (int digits = 0; digits < 2 && pos_ < in_.size(); ++digits, ++pos_) {
        const char h = in_[pos_];
        int d = -1;
        if (is_digit(h))
            d = h - '0';
        else if (h >= 'a' && h <= 'f')
            d = h - 'a' + 10;
        else if (h >= 'A' && h <= 'F')
            d = h - 'A' + 10;
        if (d < 0) break;
        value = std::max(value, 0) * 16 + d;
    }
    return value;
}

}  // namespace hoopcast::richtext
