#pragma once
// Reading a description into a styled document. A document that starts with "{\rtf" is read
// as rich text; anything else is plain Windows-1252 text.

#include <string_view>

#include "richtext/document.h"

namespace hoopcast::richtext {

// Whether the bytes are a rich-text document (they start with "{\rtf", blanks and line
// ends before it allowed).
bool is_rtf(std::string_view bytes) noexcept;

// Reads an RTF document. Unknown control words are ignored; a truncated or malformed document
// gives what could be read. Never throws for bad input.
Document read_rtf(std::string_view bytes);

// Plain Windows-1252 text: one paragraph per line (CR LF, LF or CR), tabs kept.
Document read_plain_text(std::string_view bytes);

// What the description pane shows for these bytes: rich text when they are an RTF document,
// plain text otherwise. Empty bytes give an empty document.
Document describe(std::string_view bytes);

}  // namespace hoopcast::richtext
