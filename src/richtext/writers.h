#pragma once
// Writing a styled document out: as HTML for a rich text box, or as plain UTF-8 text.

#include <string>
#include <string_view>

#include "richtext/document.h"

namespace hoopcast::richtext {

// An HTML document (UTF-8): paragraphs with alignment, indents, spacing, line height,
// background and borders; spans with font family, size, colour, background, bold, italic,
// underline and its style, line-through and raised or lowered text; links; pictures (PNG and
// JPEG inline as data, metafiles as an empty frame of their size); bordered tables, also
// nested, with cell backgrounds and borders. Markers of bulleted and numbered paragraphs are
// written as text before the paragraph's own, so every kind of bullet shows as the document
// has it. Tab stops are not written: HTML has none.
std::string to_html(const Document& document);

// Paragraphs on lines of their own, a marker and a blank before a bulleted paragraph's text,
// tabs kept. Every row of every table is a line of its own with its cells separated by tabs;
// a table nested in a cell puts its rows on lines between the cell's text before and after
// it. Pictures give no text.
std::string to_plain_text(const Document& document);

}  // namespace hoopcast::richtext
