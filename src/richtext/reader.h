#pragma once
// Reading a description into a styled document. A document that starts with "{\rtf" is read
// as rich text; anything else is plain Windows-1252 text.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "richtext/document.h"

namespace hoopcast::richtext {

// Whether the bytes are a rich-text document (they start with "{\rtf", blanks and line
// ends before it allowed).
bool is_rtf(std::string_view bytes) noexcept;

// How the line ends of a document's bytes are read: as they are, or each LF as the CR LF it
// stands for in a text held with bare LFs. They are no text either way; only the bytes after
// \bin count them.
enum class LineEnds : std::uint8_t { as_given, lf_for_crlf };

// Reads an RTF document. Unknown control words are ignored; a truncated or malformed document
// gives what could be read. Never throws for bad input.
Document read_rtf(std::string_view bytes, LineEnds ends = LineEnds::as_given);

// Plain Windows-1252 text: one paragraph per line (CR LF, LF or CR), tabs kept.
Document read_plain_text(std::string_view bytes);

// What the description pane shows for these bytes: rich text when they are an RTF document,
// plain text otherwise. Empty bytes give an empty document.
Document describe(std::string_view bytes, LineEnds ends = LineEnds::as_given);

// A document holds at most this much of what it shows: its first 128 KiB of text (some 40
// pages), or its first 4,096 paragraphs (of tables' cells too). Where more was left out, a
// last paragraph "…" says so, and what follows the cut is not read. No description a coach
// writes comes near it; a damaged file of hundreds of MB would otherwise be laid out whole
// in the pane, at many times its size.
inline constexpr std::size_t kMaxShownTextBytes = std::size_t{128} << 10;
inline constexpr std::size_t kMaxShownParagraphs = 4096;

}  // namespace hoopcast::richtext
