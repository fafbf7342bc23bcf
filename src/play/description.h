#pragma once
// The description pane's clean-up: before a sequence's description is shown, the bullet
// groups that bulleted paragraphs leave behind ("{\pntext\fN\'B7\tab}") are taken out, for
// font numbers 0 to 20. Texts are the file's bytes; nothing is decoded here.

#include <string>
#include <string_view>

namespace hoopcast {

// Puts `replacement` in place of `pattern` wherever the pattern is followed by a backslash
// (first) or by a blank (then); the following character stays.
std::string replace_text(std::string text, std::string_view pattern, std::string_view replacement);

// Puts `replacement` in place of every occurrence of `pattern`.
std::string replace_text2(std::string text, std::string_view pattern, std::string_view replacement);

// Both search again from the start after every replacement, so an occurrence formed by a
// replacement together with the text around it is replaced as well. A replacement that is
// not shorter than its pattern could form its own pattern again and again; there the search
// goes on after the inserted text instead, so every call ends. An empty pattern changes nothing.

// The three bullet-group patterns for font number n, as removed by clean_description.
std::string bullet_pattern_a(int n);  // {\pntext\fN\'B7\tab}\pard\'b7\tab  -> \pard
std::string bullet_pattern_b(int n);  // {\pntext\fN\'B7\tab}\pard          -> \pard
std::string bullet_pattern_c(int n);  // {\pntext\fN\'B7\tab}}              -> }

// The description as the pane loads it: for N = 0..20, patterns a, b and c in turn, each
// through replace_text and then replace_text2.
std::string clean_description(std::string text);

// The same without a copy where there is nothing to take out: the text itself, or its
// cleaned copy, which is kept in `copy`.
std::string_view cleaned_description(std::string_view text, std::string& copy);

}  // namespace hoopcast
