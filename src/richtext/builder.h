#pragma once
// Part of the RTF reader: builds the document from the text it is given and the paragraph,
// cell and row ends, placing each paragraph in the body or in the cell of a table.

#include <string>
#include <vector>

#include "richtext/document.h"
#include "richtext/numbering.h"
#include "richtext/properties.h"
#include "richtext/tables.h"

namespace hoopcast::richtext {

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
    void end_paragraph(const ParaProps& props, int level);
    void end_cell(const ParaProps& props, int level);
    void end_row(const ParaProps& props, int level, const RowDefinition& definition);
    // A paragraph left open keeps these properties.
    Document finish(const ParaProps& props);

  private:
    const ColourTable& colours_;
    std::vector<Run> runs_;
    std::string marker_;
    bool has_marker_ = false;
    ListNumbers numbers_;
    ListTable lists_;
    OpenTables tables_;
};

}  // namespace hoopcast::richtext
