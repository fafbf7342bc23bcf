#include "reference_cases.h"

#include <charconv>
#include <set>

namespace hoopcast::raster::reference {
namespace {

std::vector<std::string_view> split(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ') ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

bool parse_int(std::string_view s, int& v) {
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && p == s.data() + s.size();
}

bool parse_colour(std::string_view s, int& v) {
    if (s.size() != 8 || !s.starts_with("0x")) return false;
    const auto [p, ec] = std::from_chars(s.data() + 2, s.data() + s.size(), v, 16);
    return ec == std::errc() && p == s.data() + s.size();
}

bool valid_name(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
              c == '-'))
            return false;
    return true;
}

}  // namespace

ParseResult parse_cases(std::string_view text) {
    ParseResult result;
    std::set<std::string, std::less<>> names;
    Case* current = nullptr;
    int line_no = 0;
    auto fail = [&](const std::string& why) {
        result.error = "line " + std::to_string(line_no) + ": " + why;
        return result;
    };
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++line_no;
        const auto t = split(line);
        if (t.empty() || t[0].starts_with("#")) continue;
        const std::string_view op = t[0];
        if (op == "case") {
            if (current != nullptr) return fail("case inside case " + current->name);
            Case c;
            int bg = 0;
            if (t.size() != 5 || !valid_name(t[1]) || !parse_int(t[2], c.width) ||
                !parse_int(t[3], c.height) || !parse_colour(t[4], bg))
                return fail("expected: case NAME WIDTH HEIGHT 0xBBGGRR");
            if (c.width < 1 || c.height < 1 || c.width > 4096 || c.height > 4096)
                return fail("canvas size out of range");
            c.name = std::string(t[1]);
            if (!names.insert(c.name).second) return fail("duplicate case " + c.name);
            c.background = bg;
            result.cases.push_back(std::move(c));
            current = &result.cases.back();
            continue;
        }
        if (current == nullptr) return fail("operation outside a case: " + std::string(op));
        if (op == "end") {
            if (t.size() != 1) return fail("end takes no arguments");
            current = nullptr;
            continue;
        }
        Op o;
        // Argument shapes: 'i' integer, 'c' colour.
        std::string_view shape;
        if (op == "pen")
            o.kind = OpKind::pen, shape = "ci";
        else if (op == "brush" && t.size() == 2 && t[1] == "clear") {
            o.kind = OpKind::brush_clear;
            current->ops.push_back(std::move(o));
            continue;
        } else if (op == "brush")
            o.kind = OpKind::brush, shape = "c";
        else if (op == "moveto")
            o.kind = OpKind::moveto, shape = "ii";
        else if (op == "lineto")
            o.kind = OpKind::lineto, shape = "ii";
        else if (op == "rectangle")
            o.kind = OpKind::rectangle, shape = "iiii";
        else if (op == "ellipse")
            o.kind = OpKind::ellipse, shape = "iiii";
        else if (op == "arc")
            o.kind = OpKind::arc, shape = "iiiiiiii";
        else if (op == "floodfill")
            o.kind = OpKind::floodfill, shape = "iic";
        else if (op == "setpixel")
            o.kind = OpKind::setpixel, shape = "iic";
        else if (op == "textcolor")
            o.kind = OpKind::textcolor, shape = "c";
        else if (op == "polygon" || op == "polyline") {
            o.kind = op == "polygon" ? OpKind::polygon : OpKind::polyline;
            if (t.size() < 3 || (t.size() - 1) % 2 != 0)
                return fail(std::string(op) + " needs pairs of coordinates");
            for (std::size_t i = 1; i < t.size(); ++i) {
                int v = 0;
                if (!parse_int(t[i], v)) return fail("not an integer: " + std::string(t[i]));
                o.args.push_back(v);
            }
            current->ops.push_back(std::move(o));
            continue;
        } else if (op == "textout") {
            o.kind = OpKind::textout;
            int x = 0, y = 0, size = 0;
            if (t.size() < 6 || !parse_int(t[1], x) || !parse_int(t[2], y) || !parse_int(t[4], size))
                return fail("expected: textout X Y FONT SIZE TEXT");
            o.args = {x, y, size};
            o.font = std::string(t[3]);
            for (char& ch : o.font)
                if (ch == '_') ch = ' ';
            // The text is the rest of the line after SIZE, trailing blanks removed.
            const std::size_t at = static_cast<std::size_t>(t[4].data() - line.data()) + t[4].size() + 1;
            std::string_view rest = line.substr(std::min(at, line.size()));
            while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\r')) rest.remove_suffix(1);
            o.text = std::string(rest);
            current->ops.push_back(std::move(o));
            continue;
        } else {
            return fail("unknown operation " + std::string(op));
        }
        if (t.size() != shape.size() + 1)
            return fail(std::string(op) + " takes " + std::to_string(shape.size()) + " arguments");
        for (std::size_t i = 0; i < shape.size(); ++i) {
            int v = 0;
            const bool ok = shape[i] == 'c' ? parse_colour(t[i + 1], v) : parse_int(t[i + 1], v);
            if (!ok) return fail("bad argument " + std::string(t[i + 1]) + " to " + std::string(op));
            o.args.push_back(v);
        }
        current->ops.push_back(std::move(o));
    }
    if (current != nullptr) {
        result.error = "case " + current->name + " has no end";
        return result;
    }
    return result;
}

void run_case(const Case& c, Canvas& canvas) {
    Colour text_colour = 0x000000;
    auto points = [](const std::vector<int>& a) {
        std::vector<Point> p;
        for (std::size_t i = 0; i + 1 < a.size(); i += 2) p.push_back({a[i], a[i + 1]});
        return p;
    };
    for (const Op& o : c.ops) {
        const auto& a = o.args;
        switch (o.kind) {
            case OpKind::pen:
                canvas.pen = Pen{a[0], a[1]};
                break;
            case OpKind::brush:
                canvas.brush = Brush{a[0], BrushStyle::solid};
                break;
            case OpKind::brush_clear:
                canvas.brush.style = BrushStyle::clear;
                break;
            case OpKind::moveto:
                canvas.move_to(a[0], a[1]);
                break;
            case OpKind::lineto:
                canvas.line_to(a[0], a[1]);
                break;
            case OpKind::rectangle:
                canvas.rectangle(a[0], a[1], a[2], a[3]);
                break;
            case OpKind::ellipse:
                canvas.ellipse(a[0], a[1], a[2], a[3]);
                break;
            case OpKind::arc:
                canvas.arc(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
                break;
            case OpKind::polygon:
                canvas.polygon(points(a));
                break;
            case OpKind::polyline:
                canvas.polyline(points(a));
                break;
            case OpKind::floodfill:
                canvas.flood_fill(a[0], a[1], a[2]);
                break;
            case OpKind::setpixel:
                canvas.set_pixel(a[0], a[1], a[2]);
                break;
            case OpKind::textcolor:
                text_colour = a[0];
                break;
            case OpKind::textout: {
                // The reference draws text in transparent background mode whatever the brush.
                const Brush saved = canvas.brush;
                canvas.brush.style = BrushStyle::clear;
                canvas.font = Font{o.font, a[2], text_colour, 0};
                canvas.text_out(a[0], a[1], o.text);
                canvas.brush = saved;
                break;
            }
        }
    }
}

}  // namespace hoopcast::raster::reference
