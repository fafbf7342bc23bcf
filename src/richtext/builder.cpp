#include "richtext/builder.h"

#include <utility>

#include "richtext/utf8.h"

namespace hoopcast::richtext {

void DocumentBuilder::add_text(const std::string& utf8, Format format, const std::string& link) {
    if (utf8.empty()) return;
    if (!runs_.empty() && runs_.back().format == format && runs_.back().link == link) {
        runs_.back().text += utf8;
    } else {
        runs_.push_back(Run{utf8, std::move(format), link});
    }
}

void DocumentBuilder::start_marker() {
    marker_.clear();
    has_marker_ = true;
}

void DocumentBuilder::add_marker_text(const std::string& utf8) {
    if (marker_.size() + utf8.size() <= kMaxMarkerBytes) marker_ += utf8;
}

void DocumentBuilder::end_paragraph(const ParaProps& props, int level) {
    Paragraph p;
    p.runs = std::move(runs_);
    runs_.clear();
    p.alignment = props.alignment;
    p.left_indent = props.left;
    p.right_indent = props.right;
    p.first_line_indent = props.first;
    p.space_before = props.before;
    p.space_after = props.after;
    numbers_.count(props.pn);
    p.marker = has_marker_ ? trim(marker_) : numbers_.marker(props.pn);
    marker_.clear();
    has_marker_ = false;
    tables_.set_level(level);
    tables_.container(level).emplace_back().content.emplace<Paragraph>(std::move(p));
}

void DocumentBuilder::end_cell(const ParaProps& props, int level) {
    end_paragraph(props, level);
    tables_.end_cell(level);
}

void DocumentBuilder::end_row(const ParaProps& props, int level, const RowDefinition& definition) {
    if (has_paragraph()) end_cell(props, level);
    tables_.end_row(level, definition);
}

Document DocumentBuilder::finish(const ParaProps& props) {
    if (has_paragraph()) end_paragraph(props, props.level());
    Document doc;
    doc.blocks = tables_.finish();
    return doc;
}

}  // namespace hoopcast::richtext
