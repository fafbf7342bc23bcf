#pragma once
// Inside the text item: its size bound and how it breaks into lines.

#include <string_view>

namespace hoopcast::equipment_detail {

// Largest font size a text item is drawn at: a glyph that size is taller than any picture.
inline constexpr int kMaxTextSize = 16384;
// Takes the next line of a text off `rest`: lines are split at LF, a CR before it belongs
// to the break (texts come with CR LF breaks, or with bare LFs as the model holds them),
// and a final empty part after the last break is no line. A CR alone breaks nothing. False
// when no line is left. A text of millions of lines is walked, never listed.
bool next_text_line(std::string_view& rest, std::string_view& line) noexcept;

}  // namespace hoopcast::equipment_detail
