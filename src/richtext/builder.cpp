#include "richtext/builder.h"

#include <algorithm>
#include <utility>

#include "richtext/reader.h"
#include "richtext/trim.h"

namespace hoopcast::richtext {

bool ShownBudget::take_content() noexcept {
    if (paragraphs_ == kMaxShownParagraphs) cut_ = true;
    return !cut_;
}

std::string_view ShownBudget::take_text(std::string_view utf8) noexcept {
    if (utf8.empty() || !take_content()) return {};
    if (utf8.size() > kMaxShownTextBytes - text_) {
        std::size_t n = kMaxShownTextBytes - text_;
        while (n > 0 && (static_cast<unsigned char>(utf8[n]) & 0xC0) == 0x80) --n;
        utf8 = utf8.substr(0, n);
        cut_ = true;
    }
    text_ += utf8.size();
    return utf8;
}

bool ShownBudget::take_paragraph(bool has_content) noexcept {
    if (paragraphs_ == kMaxShownParagraphs) {
        cut_ = true;
        return false;
    }
    // A paragraph whose content was all refused is no paragraph of the document.
    if (cut_ && !has_content) return false;
    ++paragraphs_;
    return true;
}

Block ShownBudget::ellipsis() {
    Paragraph p;
    p.runs.push_back(Run{"\xE2\x80\xA6", {}, {}, std::nullopt});  // U+2026
    return Block{std::move(p)};
}

void DocumentBuilder::add_text(const std::string& utf8, Format format, const std::string& link) {
    const std::string_view shown = shown_.take_text(utf8);
    if (shown.empty()) return;
    if (!runs_.empty() && !runs_.back().picture && runs_.back().format == format &&
        runs_.back().link == link) {
        runs_.back().text += shown;
    } else {
        runs_.push_back(Run{std::string(shown), std::move(format), link, std::nullopt});
    }
}

void DocumentBuilder::add_picture(Picture picture, Format format, const std::string& link) {
    if (!shown_.take_content()) return;
    runs_.push_back(Run{std::string(), std::move(format), link, std::move(picture)});
}

void DocumentBuilder::start_marker() {
    marker_.clear();
    has_marker_ = true;
}

void DocumentBuilder::add_marker_text(const std::string& utf8) {
    if (marker_.size() + utf8.size() <= kMaxMarkerBytes) marker_ += utf8;
}

bool DocumentBuilder::end_paragraph(const ParaProps& props, int level) {
    if (!shown_.take_paragraph(has_paragraph())) return false;
    Paragraph p;
    p.runs = std::move(runs_);
    runs_.clear();
    p.alignment = props.alignment;
    p.left_indent = props.left;
    p.right_indent = props.right;
    p.first_line_indent = props.first;
    p.space_before = props.before;
    p.space_after = props.after;
    // Single spacing written out as a multiple of itself is no spacing of its own.
    if (!(props.line_multiple && props.line == 240)) {
        p.line_spacing = props.line;
        p.line_multiple = props.line_multiple && props.line != 0;
    }
    p.tabs = props.tabs;
    std::stable_sort(p.tabs.begin(), p.tabs.end(),
                     [](const TabStop& a, const TabStop& b) { return a.position < b.position; });
    p.borders = props.borders.resolve(colours_);
    p.background = shade(colours_, props.pattern_background, props.pattern_colour, props.shading);
    numbers_.count(props.pn);
    // Paragraphs of a list count even when the document writes their numbers out.
    const ListLevel* list_level = props.list > 0 ? lists_.level(props.list, props.list_level) : nullptr;
    std::string list_marker;
    if (list_level != nullptr) {
        list_marker = lists_.count(props.list, props.list_level);
        if (!props.has_left && list_level->left) p.left_indent = *list_level->left;
        if (!props.has_first && list_level->first) p.first_line_indent = *list_level->first;
    }
    if (has_marker_)
        p.marker = trim(marker_);
    else if (list_level != nullptr)
        p.marker = std::move(list_marker);
    else
        p.marker = numbers_.marker(props.pn);
    marker_.clear();
    has_marker_ = false;
    tables_.set_level(level);
    tables_.container(level).emplace_back().content.emplace<Paragraph>(std::move(p));
    return true;
}

void DocumentBuilder::end_cell(const ParaProps& props, int level) {
    if (end_paragraph(props, level)) tables_.end_cell(level);
}

void DocumentBuilder::end_row(const ParaProps& props, int level, const RowDefinition& definition) {
    if (has_paragraph()) end_cell(props, level);
    tables_.end_row(level, definition, colours_);
}

Document DocumentBuilder::finish(const ParaProps& props) {
    if (has_paragraph()) end_paragraph(props, props.level());
    Document doc;
    doc.blocks = tables_.finish();
    if (full()) doc.blocks.push_back(ShownBudget::ellipsis());
    return doc;
}

}  // namespace hoopcast::richtext
