#pragma once
// Writing a styled document out: as HTML for a rich text box, or as plain UTF-8 text.

#include <string>

#include "richtext/document.h"

namespace hoopcast::richtext {

// An HTML document (UTF-8) of the subset a Qt rich text box shows: paragraphs with
// alignment, indents and spacing; spans with font family, size, colour, background, bold,
// italic, underline, line-through and raised or lowered text; links; bordered tables, also
// nested. Markers of bulleted and numbered paragraphs are written as text before the
// paragraph's own, so every kind of bullet shows as the document has it.
std::string to_html(const Document& document);

// Paragraphs on lines of their own, a marker and a blank before a bulleted paragraph's text,
// table cells separated by tabs and rows on lines of their own.
std::string to_plain_text(const Document& document);

}  // namespace hoopcast::richtext
