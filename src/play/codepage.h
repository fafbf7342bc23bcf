#pragma once
// Play files hold 8-bit Windows-1252 text. The model keeps the bytes; this turns them
// into UTF-8 where text is shown or written out.

#include <string>
#include <string_view>

namespace hoopcast {

// Every byte maps to one code point; the five bytes Windows-1252 leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value.
std::string cp1252_to_utf8(std::string_view bytes);

}  // namespace hoopcast
