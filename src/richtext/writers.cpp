#include "richtext/writers.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace hoopcast::richtext {

namespace {

// Lengths in the document are twips; the text box measures in pixels at 96 per inch.
int twips_to_px(int twips) {
    return twips / 15;
}

void append_escaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            case '\n':
                out += "<br />";
                break;
            default:
                out += c;
                break;
        }
    }
}

std::string hex(const Rgb& c) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", c.r, c.g, c.b);
    return buffer;
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
    if (f.underline || f.strike) {
        s += "text-decoration:";
        if (f.underline) s += " underline";
        if (f.strike) s += " line-through";
        s += "; ";
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

void write_paragraph(std::string& out, const Paragraph& p) {
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
           "px; text-indent:" + std::to_string(twips_to_px(p.first_line_indent)) +
           "px; white-space:pre-wrap;\">";
    bool empty = true;
    if (!p.marker.empty()) {
        Format marker_format = p.runs.empty() ? Format{} : p.runs.front().format;
        marker_format.underline = marker_format.strike = false;
        append_span(out, p.marker, marker_format);
        out += "&#160;&#160;";
        empty = false;
    }
    for (const Run& run : p.runs) {
        if (run.text.empty()) continue;
        empty = false;
        if (!run.link.empty()) {
            out += "<a href=\"";
            append_escaped(out, run.link);
            out += "\">";
        }
        append_span(out, run.text, run.format);
        if (!run.link.empty()) out += "</a>";
    }
    if (empty) out += "<br />";
    out += "</p>\n";
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

void plain_blocks(std::string& out, const std::vector<Block>& blocks, bool in_cell);

void plain_paragraph(std::string& out, const Paragraph& p) {
    if (!p.marker.empty()) {
        out += p.marker;
        out += ' ';
    }
    for (const Run& run : p.runs) out += run.text;
}

// A cell's text on one line, so that rows stay one per line.
std::string cell_text(const Cell& cell) {
    std::string text;
    plain_blocks(text, cell.blocks, true);
    for (char& c : text) {
        if (c == '\n' || c == '\t') c = ' ';
    }
    return text;
}

void plain_blocks(std::string& out, const std::vector<Block>& blocks, bool in_cell) {
    bool first = true;
    for (const Block& b : blocks) {
        if (!first) out += in_cell ? ' ' : '\n';
        first = false;
        if (const auto* p = std::get_if<Paragraph>(&b.content)) {
            plain_paragraph(out, *p);
            continue;
        }
        bool first_row = true;
        for (const Row& row : std::get<Table>(b.content).rows) {
            if (!first_row) out += in_cell ? ' ' : '\n';
            first_row = false;
            bool first_cell = true;
            for (const Cell& cell : row.cells) {
                if (!first_cell) out += '\t';
                first_cell = false;
                out += cell_text(cell);
            }
        }
    }
}

}  // namespace

std::string to_html(const Document& document) {
    std::string out = "<html><head><meta charset=\"utf-8\" /></head><body>\n";
    write_blocks(out, document.blocks);
    out += "</body></html>\n";
    return out;
}

std::string to_plain_text(const Document& document) {
    std::string out;
    plain_blocks(out, document.blocks, false);
    return out;
}

}  // namespace hoopcast::richtext
