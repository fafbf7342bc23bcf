#pragma once

#include <string>
#include <string_view>

namespace hoopcast::richtext {

// The text without the blanks and tabs around it.
inline std::string trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return std::string(s);
}

}  // namespace hoopcast::richtext
