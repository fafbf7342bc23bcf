#pragma once
// A play's texts as the window shows them: the characters they are, never markup.

#include <QString>
#include <string_view>

namespace hoopcast::app {

// A play file's Windows-1252 text.
QString from_play_text(std::string_view bytes);

// A window title shows "[*]" as written, not as the place of a modified mark.
QString as_window_title(const QString& text);

}  // namespace hoopcast::app
