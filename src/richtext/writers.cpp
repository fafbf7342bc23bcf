#include "richtext/writers.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "base/html.h"

namespace hoopcast::richtext {

namespace {

// Lengths in the document are twips; the text box measures in pixels at 96 per inch.
int twips_to_px(int twips) {
    return twips / 15;
}

// A line break is written as one; every other character as HTML reads it as itself.
void append_escaped(std::string& out, std::string_view text) {
    for (std::size_t from = 0; from <= text.size();) {
        const std::size_t lf = std::min(text.find('\n', from), text.size());
        append_html_escaped(out, text.substr(from, lf - from));
        if (lf < text.size()) out += "<br />";
        from = lf + 1;
    }
}

std::string hex(const Rgb& c) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", c.r, c.g, c.b);
    return buffer;
}

const char* css_underline_style(Underline u) {
    switch (u) {
        case Underline::double_line:
            return "double";
        case Underline::dotted:
            return "dotted";
        case Underline::dashed:
        case Underline::dash_dot:
        case Underline::dash_dot_dot:
            return "dashed";
        case Underline::wave:
            return "wavy";
        default:
            return nullptr;
    }
}

const char* css_border_style(BorderStyle b) {
    switch (b) {
        case BorderStyle::double_line:
            return "double";
        case BorderStyle::dotted:
            return "dotted";
        case BorderStyle::dashed:
        case BorderStyle::dot_dash:
        case BorderStyle::dot_dot_dash:
            return "dashed";
        default:
            return "solid";
    }
}

// Borders as CSS declarations, each ending in "; ".
std::string border_style(const Borders& borders) {
    std::string s;
    const std::pair<const char*, const Border*> sides[] = {{"top", &borders.top},
                                                           {"left", &borders.left},
                                                           {"bottom", &borders.bottom},
                                                           {"right", &borders.right}};
    for (const auto& [name, b] : sides) {
        if (b->style == BorderStyle::none) continue;
        const int minimum = b->style == BorderStyle::double_line ? 3 : b->style == BorderStyle::thick ? 2 : 1;
        s += std::string("border-") + name + ":" + std::to_string(std::max(minimum, twips_to_px(b->width))) +
             "px " + css_border_style(b->style) + " " + hex(b->colour.value_or(Rgb{})) + "; ";
    }
    if (borders.space > 0) s += "padding:" + std::to_string(twips_to_px(borders.space)) + "px; ";
    return s;
}

std::string span_style(const Format& f) {
    std::string s;
    if (!f.font_family.empty()) {
        s += "font-family:'";
        for (const char c : f.font_family) {
            if (c != '\'' && c != '"' && c != '<' && c != '>' && c != '&' && c != ';') s += c;
        }
        s += "'; ";
    }
    if (f.size_half_points > 0) {
        s += "font-size:" + std::to_string(f.size_half_points / 2);
        if (f.size_half_points % 2 != 0) s += ".5";
        s += "pt; ";
    }
    if (f.bold) s += "font-weight:700; ";
    if (f.italic) s += "font-style:italic; ";
    if (f.underline != Underline::none || f.strike) {
        s += "text-decoration:";
        if (f.underline != Underline::none) s += " underline";
        if (f.strike) s += " line-through";
        s += "; ";
        if (const char* style = css_underline_style(f.underline))
            s += std::string("text-decoration-style:") + style + "; ";
    }
    if (f.colour) s += "color:" + hex(*f.colour) + "; ";
    if (f.background) s += "background-color:" + hex(*f.background) + "; ";
    if (f.vertical == VerticalAlign::superscript) s += "vertical-align:super; ";
    if (f.vertical == VerticalAlign::subscript) s += "vertical-align:sub; ";
    if (!s.empty()) s.pop_back();
    return s;
}

void append_span(std::string& out, std::string_view text, const Format& format) {
    const std::string style = span_style(format);
    if (style.empty()) {
        append_escaped(out, text);
        return;
    }
    out += "<span style=\"";
    out += style;
    out += "\">";
    append_escaped(out, text);
    out += "</span>";
}

void write_blocks(std::string& out, const std::vector<Block>& blocks);

void write_picture(std::string& out, const Picture& picture) {
    const int w = twips_to_px(picture.width);
    const int h = twips_to_px(picture.height);
    if (picture.data.empty()) {  // a metafile, or a picture not kept: its frame
        out += "<span style=\"display:inline-block; width:" + std::to_string(w) +
               "px; height:" + std::to_string(h) + "px; border:1px solid #808080;\"></span>";
        return;
    }
    out += picture.format == PictureFormat::png ? "<img src=\"data:image/png;base64,"
                                                : "<img src=\"data:image/jpeg;base64,";
    append_base64(out, picture.data);
    out += "\"";
    if (w > 0 && h > 0) out += " width=\"" + std::to_string(w) + "\" height=\"" + std::to_string(h) + "\"";
    out += " alt=\"\" />";
}

// The paragraph's opening tag with its layout.
void open_paragraph(std::string& out, const Paragraph& p) {
    out += "<p";
    switch (p.alignment) {
        case Alignment::left:
            break;
        case Alignment::centre:
            out += " align=\"center\"";
            break;
        case Alignment::right:
            out += " align=\"right\"";
            break;
        case Alignment::justify:
            out += " align=\"justify\"";
            break;
    }
    out += " style=\"margin-top:" + std::to_string(twips_to_px(p.space_before)) +
           "px; margin-bottom:" + std::to_string(twips_to_px(p.space_after)) +
           "px; margin-left:" + std::to_string(twips_to_px(p.left_indent)) +
           "px; margin-right:" + std::to_string(twips_to_px(p.right_indent)) +
           "px; text-indent:" + std::to_string(twips_to_px(p.first_line_indent)) + "px; ";
    if (p.line_multiple)
        out += "line-height:" + std::to_string(p.line_spacing * 100 / 240) + "%; ";
    else if (p.line_spacing != 0)
        out += "line-height:" + std::to_string(twips_to_px(std::abs(p.line_spacing))) + "px; ";
    if (p.background) out += "background-color:" + hex(*p.background) + "; ";
    out += border_style(p.borders);
    out += "white-space:pre-wrap;\">";
}

// What an empty paragraph holds, so that it keeps its line; and the paragraph's end.
constexpr std::string_view kEmptyParagraph = "<br />";
constexpr std::string_view kParagraphEnd = "</p>\n";
constexpr std::string_view kHtmlHead = "<html><head><meta charset=\"utf-8\" /></head><body>\n";
constexpr std::string_view kHtmlTail = "</body></html>\n";

void write_paragraph(std::string& out, const Paragraph& p) {
    open_paragraph(out, p);
    bool empty = true;
    if (!p.marker.empty()) {
        Format marker_format = p.runs.empty() ? Format{} : p.runs.front().format;
        marker_format.underline = Underline::none;
        marker_format.strike = false;
        append_span(out, p.marker, marker_format);
        out += "&#160;&#160;";
        empty = false;
    }
    for (const Run& run : p.runs) {
        if (run.text.empty() && !run.picture) continue;
        empty = false;
        if (!run.link.empty()) {
            out += "<a href=\"";
            append_escaped(out, run.link);
            out += "\">";
        }
        if (run.picture)
            write_picture(out, *run.picture);
        else
            append_span(out, run.text, run.format);
        if (!run.link.empty()) out += "</a>";
    }
    if (empty) out += kEmptyParagraph;
    out += kParagraphEnd;
}

void write_table(std::string& out, const Table& t) {
    out += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\" style=\"border-collapse:collapse;\">\n";
    for (const Row& row : t.rows) {
        out += "<tr>\n";
        long long row_width = 0;
        for (const Cell& cell : row.cells) row_width += cell.width;
        for (const Cell& cell : row.cells) {
            out += "<td valign=\"top\"";
            if (row_width > 0 && cell.width > 0) {
                // Shares of the row, so a page-wide table still fits a narrow pane.
                out += " width=\"" + std::to_string(std::max<long long>(1, cell.width * 100LL / row_width)) +
                       "%\"";
            }
            if (cell.background) out += " bgcolor=\"" + hex(*cell.background) + "\"";
            if (cell.has_borders) {
                std::string borders = border_style(cell.borders);
                if (!borders.empty()) borders.pop_back();
                out += " style=\"" + (borders.empty() ? std::string("border:none;") : borders) + "\"";
            }
            out += ">\n";
            write_blocks(out, cell.blocks);
            out += "</td>\n";
        }
        out += "</tr>\n";
    }
    out += "</table>\n";
}

void write_blocks(std::string& out, const std::vector<Block>& blocks) {
    for (const Block& b : blocks) {
        if (const auto* p = std::get_if<Paragraph>(&b.content))
            write_paragraph(out, *p);
        else
            write_table(out, std::get<Table>(b.content));
    }
}

// Plain text a line at a time: a table's rows are lines, and a table nested in a cell breaks
// the line of the row around it.
class PlainText {
  public:
    std::string take() { return std::move(out_); }

    void body(const std::vector<Block>& blocks) {
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            if (i > 0) new_line();
            if (const auto* p = std::get_if<Paragraph>(&blocks[i].content))
                paragraph(*p, false);
            else
                rows(std::get<Table>(blocks[i].content));
        }
    }

  private:
    void put(std::string_view text) {
        if (broken_) new_line();
        out_ += text;
    }
    void new_line() {
        out_ += '\n';
        broken_ = false;
    }

    void paragraph(const Paragraph& p, bool in_cell) {
        std::string text;
        if (!p.marker.empty()) text = p.marker + ' ';
        for (const Run& run : p.runs) text += run.text;
        // Tabs and line breaks in a cell would read as cell and row ends.
        if (in_cell)
            std::replace_if(
                text.begin(), text.end(), [](char c) { return c == '\n' || c == '\t'; }, ' ');
        // The empty paragraph that closes a cell after a nested table makes no line.
        if (!(in_cell && broken_ && text.empty())) put(text);
    }

    void rows(const Table& table) {
        for (std::size_t r = 0; r < table.rows.size(); ++r) {
            if (r > 0) new_line();
            const Row& row = table.rows[r];
            for (std::size_t c = 0; c < row.cells.size(); ++c) {
                if (c > 0) put("\t");
                cell(row.cells[c]);
            }
        }
    }

    void cell(const Cell& cell) {
        bool after_paragraph = false;
        for (const Block& b : cell.blocks) {
            if (const auto* p = std::get_if<Paragraph>(&b.content)) {
                if (after_paragraph) put(" ");
                paragraph(*p, true);
                after_paragraph = true;
                continue;
            }
            // The nested rows go on lines of their own; what follows starts another.
            if (broken_ || (!out_.empty() && out_.back() != '\n')) new_line();
            rows(std::get<Table>(b.content));
            broken_ = true;
            after_paragraph = false;
        }
    }

    std::string out_;
    bool broken_ = false;  // a nested table has ended the line
};

}  // namespace

std::string to_html(const Document& document) {
    std::string out(kHtmlHead);
    write_blocks(out, document.blocks);
    out += kHtmlTail;
    return out;
}

std::string to_plain_text(const Document& document) {
    PlainText writer;
    writer.body(document.blocks);
    return writer.take();
}

}  // namespace hoopcast::richtext
