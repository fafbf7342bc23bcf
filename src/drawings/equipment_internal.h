#pragma once
// Inside the text item: its size bound and how it breaks into lines.

#include <string_view>
#include <vector>

namespace hoopcast::equipment_detail {

// Largest font size a text item is drawn at: a glyph that size is taller than any picture.
inline constexpr int kMaxTextSize = 16384;
// The lines of a text: split at CR LF only; a final empty part after the last CR LF is
// dropped.
std::vector<std::string_view> text_lines(std::string_view text);

}  // namespace hoopcast::equipment_detail
