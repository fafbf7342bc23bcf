#pragma once
// Part of the RTF reader: builds the document from the text it is given and the paragraph,
// cell and row ends, placing each paragraph in the body or in the cell of a table.

#include <string>
#include <string_view>
#include <vector>

#include "richtext/document.h"
#include "richtext/numbering.h"
#include "richtext/properties.h"
#include "richtext/tables.h"

namespace hoopcast::richtext {

// What a document still takes in: text and paragraphs up to kMaxShownTextBytes and
// kMaxShownParagraphs. What is taken is counted; once anything is left out the document is
// cut and takes no more, but for the end of the paragraph the cut fell in.
class ShownBudget {
  public:
    // Takes the part of `utf8` that is still shown: all of it, or the whole characters that
    // fit; none in a paragraph beyond the last.
    std::string_view take_text(std::string_view utf8) noexcept;
    // Whether more of the paragraph being read is taken, such as a picture: none of a
    // paragraph beyond the last.
    bool take_content() noexcept;
    // Whether the paragraph that ends is shown: one within the count that is not cut, or the
    // one the cut fell in when it shows some of its content.
    bool take_paragraph(bool has_content) noexcept;
    bool cut() const noexcept { return cut_; }
    // The paragraph that ends a cut document.
    static Block ellipsis();

  private:
    std::size_t text_ = 0;
    std::size_t paragraphs_ = 0;
    bool cut_ = false;
};

class DocumentBuilder {
  public:
    // Colours are looked up when a paragraph or row ends, so the table may still grow.
    explicit DocumentBuilder(const ColourTable& colours) : colours_(colours) {}

    // Text of the paragraph being read; runs of one format and link are joined.
    void add_text(const std::string& utf8, Format format, const std::string& link);
    void add_picture(Picture picture, Format format, const std::string& link);
    // The paragraph's bullet or number as the document writes it out, in pieces.
    void start_marker();
    void add_marker_text(const std::string& utf8);
    void restart_numbering() { numbers_.restart(); }
    ListTable& lists() { return lists_; }

    // Whether the paragraph being read has anything to show.
    bool has_paragraph() const { return !runs_.empty() || has_marker_; }
    // Whether the document is cut: nothing more is taken in.
    bool full() const { return shown_.cut(); }
    // False when the paragraph is beyond what the document shows.
    bool end_paragraph(const ParaProps& props, int level);
    void end_cell(const ParaProps& props, int level);
    void end_row(const ParaProps& props, int level, const RowDefinition& definition);
    // A paragraph left open keeps these properties.
    Document finish(const ParaProps& props);

  private:
    const ColourTable& colours_;
    ShownBudget shown_;
    std::vector<Run> runs_;
    std::string marker_;
    bool has_marker_ = false;
    ListNumbers numbers_;
    ListTable lists_;
    OpenTables tables_;
};

}  // namespace hoopcast::richtext
