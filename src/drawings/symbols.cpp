#include "drawings/symbols.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>
#include <string>
#include <utility>

#include "drawings/equipment.h"
#include "drawings/geometry.h"
#include "drawings/lines.h"
#include "play/codepage.h"
#include "play/rounding.h"
#include "raster/blit.h"
#include "raster/canvas.h"
#include "raster/picture.h"

namespace hoopcast {

namespace {

// The item's cell at (x, y) on a picture of scale s.
struct Cell {
    int x;
    int y;
    double s;
    // Offsets are added in court units before scaling, so the cell's pixels do not drift.
    raster::Point P(double a, double b) const { return {Round((x + a) * s), Round((y + b) * s)}; }
    int R(double k) const { return Round(k * s); }
    int left() const { return Round(x * s); }
    int top() const { return Round(y * s); }
};

void line(raster::Canvas& canvas, raster::Point a, raster::Point b) {
    canvas.move_to(a.x, a.y);
    canvas.line_to(b.x, b.y);
}

// Symbols are drawn with a pen at least as wide as the scale once it nears two.
void thicken_pen(raster::Canvas& canvas, double s) {
    if (s > 1.9 && canvas.pen.width < Round(s)) canvas.pen.width = Round(s);
}

void set_label_font(raster::Canvas& canvas, const Cell& cell) {
    canvas.font.name = "Arial";
    canvas.font.size = cell.R(10);
    canvas.font.colour = kBlack;
}

Colour fill_colour(const DrawContext& ctx, const SymbolStyle& style, Colour colour) {
    if (ctx.monochrome) return kWhite;
    return colour == 0 ? style.colour : colour;
}

// The first `n` bytes of a text with CR LF line breaks, when its breaks may be bare LFs.
std::string crlf_head(std::string_view text, std::size_t n) {
    std::string head;
    for (std::size_t i = 0; i < text.size() && head.size() < n; ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) head += '\r';
        head += text[i];
    }
    head.resize(std::min(head.size(), n));
    return head;
}

std::string first_two(std::string_view text) {
    return std::string(text.substr(0, 2));
}

enum class Shape { circle, triangle };

// Fits a label of one or two characters into a circle or triangle and writes it so that it
// ends at a fixed cell point (the text is not centred).
void write_fitted(raster::Canvas& canvas, const Cell& cell, const std::string& shown, Shape shape) {
    struct Limit {
        int a, b;
    };
    static constexpr Limit kCircle[] = {{17, 11}, {15, 13}, {13, 15}};
    static constexpr Limit kTriangle[] = {{13, 5}, {12, 6}, {11, 7}, {10, 8}, {9, 9}, {8, 10}, {7, 11}};
    const std::span<const Limit> limits =
        shape == Shape::circle ? std::span<const Limit>(kCircle) : std::span<const Limit>(kTriangle);

    const raster::ByteCounts counts(shown);
    const raster::Cp1252Text text{shown};
    int w = canvas.text_width(counts);
    int h = canvas.text_height(text);
    auto too_large = [&] {
        return std::any_of(limits.begin(), limits.end(),
                           [&](const Limit& l) { return w > cell.R(l.a) && h > cell.R(l.b); });
    };
    const int step = Round(cell.s);
    // Below half a pixel per unit the step is 0, and a size at or below 0 cannot be
    // smaller on screen: fitting stops at the last size that can still shrink the text.
    while (too_large() && step > 0 && canvas.font.size - step >= 1) {
        canvas.font.size -= step;
        w = canvas.text_width(counts);
        h = canvas.text_height(text);
    }
    const bool single = shown.size() == 1;
    int dx;
    int dy;
    if (shape == Shape::circle) {
        dx = cell.R(18) - w - (single ? cell.R(2) : 0);
        dy = cell.R(17) - h + (single ? cell.R(1) : 0);
    } else {
        dx = cell.R(16) - w - (single ? cell.R(1) : 0);
        dy = cell.R(21) - h + (single ? cell.R(1) : 0);
    }
    canvas.text_out(geometry::offset(cell.left(), dx), geometry::offset(cell.top(), dy), text);
}

void circle_symbol(raster::Picture& picture, const DrawContext& ctx, const Cell& cell, int number,
                   Colour colour, std::string_view label, const SymbolStyle& style) {
    raster::Canvas& canvas = picture.canvas();
    canvas.brush.colour = fill_colour(ctx, style, colour);
    canvas.brush.style = style.filled ? raster::BrushStyle::solid : raster::BrushStyle::clear;
    canvas.pen.colour = kBlack;
    set_label_font(canvas, cell);
    thicken_pen(canvas, cell.s);
    const raster::Point a = cell.P(0, 0);
    const raster::Point b = cell.P(21, 21);
    canvas.ellipse(a.x, a.y, b.x, b.y);

    canvas.brush.style = raster::BrushStyle::clear;
    const LabelSlot slot = label_slot(number, label, false);
    if (slot.mode == LabelSlot::Mode::label) {
        write_fitted(canvas, cell, slot.text, Shape::circle);
    } else if (slot.writes) {
        const raster::Point p = cell.P(7, 3);
        canvas.text_out(p.x, p.y, raster::Cp1252Text{slot.text});
    }
    canvas.pen.width = 1;
}

void triangle_symbol(raster::Picture& picture, const DrawContext& ctx, const Cell& cell, int number,
                     Colour colour, std::string_view label, const SymbolStyle& style, bool keeps_width) {
    raster::Canvas& canvas = picture.canvas();
    if (keeps_width) thicken_pen(canvas, cell.s);
    const Colour fill = fill_colour(ctx, style, colour);
    canvas.pen.colour = fill;
    canvas.brush.colour = fill;
    canvas.brush.style = raster::BrushStyle::solid;
    const raster::Point outline[] = {cell.P(11, 0), cell.P(21, 21), cell.P(0, 21), cell.P(11, 0)};
    if (style.filled) {
        const int width = canvas.pen.width;
        canvas.pen.width = 1;
        canvas.polygon(outline);
        // "triangf" keeps its thick outline; the open triangle's outline is thin.
        if (keeps_width) canvas.pen.width = width;
    }
    thicken_pen(canvas, cell.s);
    set_label_font(canvas, cell);
    canvas.pen.colour = kBlack;
    canvas.brush.colour = kWhite;
    canvas.brush.style = raster::BrushStyle::solid;
    canvas.polyline(outline);

    canvas.brush.style = raster::BrushStyle::clear;
    canvas.pen.width = 1;
    const LabelSlot slot = label_slot(number, label, true);
    if (slot.mode == LabelSlot::Mode::label) {
        write_fitted(canvas, cell, slot.text, Shape::triangle);
    } else if (slot.writes) {
        const raster::Point p = cell.P(8, 7);
        canvas.text_out(p.x, p.y, raster::Cp1252Text{slot.text});
    }
}

void full_cross(raster::Canvas& canvas, const Cell& cell) {
    line(canvas, cell.P(2, 2), cell.P(18, 18));
    line(canvas, cell.P(18, 2), cell.P(2, 18));
}

// A chair turned by `angle` degrees about its cell's centre.
class Turned {
  public:
    Turned(const Cell& cell, int angle)
        : cell_(cell),
          cx_(Round((cell.x + 10.5) * cell.s)),
          cy_(Round((cell.y + 10.5) * cell.s)),
          c_(std::cos(angle * std::numbers::pi / 180)),
          n_(std::sin(angle * std::numbers::pi / 180)) {}

    raster::Point R(double u, double v) const {
        const double px = (cell_.x + u) * cell_.s - cx_;
        const double py = (cell_.y + v) * cell_.s - cy_;
        return {Round(px * c_ + cx_ - py * n_), Round(py * c_ + cy_ + px * n_)};
    }

  private:
    Cell cell_;
    int cx_;
    int cy_;
    double c_;
    double n_;
};

void chair_symbol(raster::Picture& picture, const DrawContext& ctx, const Cell& cell, int angle, int number,
                  Colour colour, const SymbolStyle& style, bool square) {
    raster::Canvas& canvas = picture.canvas();
    const Turned turned(cell, angle);
    canvas.font.name = "Arial";
    canvas.font.size = cell.R(10);
    canvas.pen.colour = kBlack;
    canvas.font.colour = kBlack;
    canvas.brush.colour = kWhite;
    canvas.brush.style = raster::BrushStyle::solid;
    if (square) canvas.font.style = 0;

    line(canvas, turned.R(1, 21), turned.R(1, 6));
    line(canvas, turned.R(20, 21), turned.R(20, 6));

    canvas.brush.colour = fill_colour(ctx, style, colour);
    canvas.brush.style = style.filled ? raster::BrushStyle::solid : raster::BrushStyle::clear;
    if (square) {
        const raster::Point seat[] = {turned.R(3, -3), turned.R(18, -3), turned.R(18, 15), turned.R(3, 15),
                                      turned.R(3, -3)};
        canvas.polygon(seat);
    } else {
        const raster::Point seat[] = {turned.R(8, -3), turned.R(13, -3), turned.R(18, 2), turned.R(18, 15),
                                      turned.R(3, 15), turned.R(3, 2),   turned.R(8, -3)};
        canvas.polygon(seat);
    }
    canvas.brush.style = raster::BrushStyle::clear;
    if (number >= 1 && number <= 9) {
        draw_rotated_digit(picture, std::to_string(number), cell.x, cell.y, angle, cell.s);
    }
}

}  // namespace

LabelSlot label_slot(int number, std::string_view text, bool shows_label_start) {
    // A label shows at most two characters, and is shown whole when it has no more: its
    // first three tell all.
    const std::string head = crlf_head(text, 3);
    const std::string_view label = head;
    const std::string number_text = first_two(std::to_string(number));
    std::string shown = label.empty() ? number_text : first_two(label);
    if (shown == "##") shown.clear();
    LabelSlot slot;
    if (shown == label && shown != number_text) {
        slot.mode = LabelSlot::Mode::label;
        slot.writes = true;
        slot.text = shown;
        return slot;
    }
    if (label == "##" || number < 1 || number > 9) return slot;
    slot.writes = true;
    slot.text = shows_label_start ? shown : number_text;
    return slot;
}

void draw_circle(raster::Picture& picture, const DrawContext& ctx, int x, int y, int number, Colour colour,
                 std::string_view label, double scale) {
    circle_symbol(picture, ctx, Cell{x, y, scale}, number, colour, label, ctx.defaults.circle_style);
}

void draw_dcircle(raster::Picture& picture, const DrawContext& ctx, int x, int y, int number, Colour colour,
                  std::string_view label, double scale) {
    circle_symbol(picture, ctx, Cell{x, y, scale}, number, colour, label, ctx.defaults.triangle_style);
}

void draw_otriangle(raster::Picture& picture, const DrawContext& ctx, int x, int y, int number, Colour colour,
                    std::string_view label, double scale) {
    triangle_symbol(picture, ctx, Cell{x, y, scale}, number, colour, label, ctx.defaults.circle_style, false);
}

void draw_triangle(raster::Picture& picture, const DrawContext& ctx, int x, int y, int number, Colour colour,
                   std::string_view label, double scale) {
    triangle_symbol(picture, ctx, Cell{x, y, scale}, number, colour, label, ctx.defaults.triangle_style,
                    true);
}

void draw_cross(raster::Picture& picture, const DrawContext& ctx, int x, int y, Colour colour, double scale) {
    raster::Canvas& canvas = picture.canvas();
    const Cell cell{x, y, scale};
    thicken_pen(canvas, scale);
    canvas.pen.colour = ctx.monochrome ? kBlack : colour;
    canvas.brush.style = raster::BrushStyle::clear;
    full_cross(canvas, cell);
    canvas.pen.width = 1;
}

void draw_numbered_cross(raster::Picture& picture, const DrawContext& ctx, int x, int y, int number,
                         Colour colour, std::string_view label, double scale) {
    raster::Canvas& canvas = picture.canvas();
    const Cell cell{x, y, scale};
    if (scale > 1.9) canvas.pen.width = Round(scale);
    const Colour ink = ctx.monochrome ? kBlack : colour;
    canvas.pen.colour = ink;
    canvas.brush.style = raster::BrushStyle::clear;
    canvas.font.name = "Arial";
    canvas.font.colour = ink;
    canvas.font.size = cell.R(10);

    const LabelSlot slot = label_slot(number, label, false);
    if (slot.writes) {
        line(canvas, cell.P(0, 0), cell.P(14, 14));
        line(canvas, cell.P(16, 0), cell.P(0, 16));
        const raster::Point p = cell.P(15, 7);
        canvas.text_out(p.x, p.y, raster::Cp1252Text{slot.text});
    } else {
        full_cross(canvas, cell);
    }
    canvas.pen.width = 1;
}

void draw_ochair(raster::Picture& picture, const DrawContext& ctx, int x, int y, int angle, int number,
                 Colour colour, double scale) {
    chair_symbol(picture, ctx, Cell{x, y, scale}, angle, number, colour, ctx.defaults.circle_style, false);
}

void draw_dchair(raster::Picture& picture, const DrawContext& ctx, int x, int y, int angle, int number,
                 Colour colour, double scale) {
    chair_symbol(picture, ctx, Cell{x, y, scale}, angle, number, colour, ctx.defaults.triangle_style, true);
}

void draw_rotated_digit(raster::Picture& picture, std::string_view digit, int x, int y, int angle,
                        double scale) {
    const Cell cell{x, y, scale};
    const int side = cell.R(21);
    if (side < 1 || side > raster::kMaxPictureSide) return;
    raster::Picture work(side, side, picture.canvas().fonts());
    raster::Canvas& canvas = work.canvas();
    canvas.brush.colour = kWhite;
    canvas.brush.style = raster::BrushStyle::solid;
    canvas.pen.colour = kWhite;
    canvas.rectangle(0, 0, side, side);
    canvas.font.name = "Arial";
    canvas.font.size = cell.R(9);
    canvas.font.colour = kBlack;
    canvas.text_out(cell.R(7), Round(0.5 * scale), std::string(digit));

    raster::Bitmap& bits = work.bitmap();
    rotate_bitmap(bits, Round(bits.width() / 2.0), Round(bits.height() / 2.0),
                  2 * std::numbers::pi - angle * std::numbers::pi / 180);

    // The picture's first row and column are never written.
    raster::blit_glyph(picture.bitmap(), {cell.left(), cell.top()}, bits, kBlack,
                       {1, 1, picture.width(), picture.height()});
}

void rotate_bitmap(raster::Bitmap& bitmap, int cx, int cy, double theta) {
    if (bitmap.empty()) return;
    raster::Bitmap turned(bitmap.width(), bitmap.height());
    const double c = std::cos(theta);
    const double n = std::sin(theta);
    for (int row = bitmap.height() - 1; row >= 0; --row) {
        const double dy = row - cy;
        for (int col = bitmap.width() - 1; col >= 0; --col) {
            const double dx = col - cx;
            const int sx = Round(dx * c - dy * n) + cx;
            const int sy = cy + Round(dx * n + dy * c);
            turned.set_pixel(col, row, bitmap.contains(sx, sy) ? bitmap.pixel(sx, sy) : kBlue);
        }
    }
    bitmap = std::move(turned);
}

namespace {

// The kinds of items by name, in lower case, and how each is drawn.
using DrawKind = void (*)(raster::Picture&, const DrawContext&, const DrawItem&, double scale);
struct ItemKind {
    std::string_view name;
    DrawKind draw;
    bool thick = false;  // drawn with a pen of Round(2 s), then 1
};

// How the routines of each group take their values from the item.
using LabelledRoutine = void (*)(raster::Picture&, const DrawContext&, int x, int y, int number,
                                 Colour colour, std::string_view label, double scale);
using ChairRoutine = void (*)(raster::Picture&, const DrawContext&, int x, int y, int angle, int number,
                              Colour colour, double scale);
using PlainRoutine = void (*)(raster::Picture&, const DrawContext&, int x, int y, Colour colour,
                              double scale);
using SegmentRoutine = void (*)(raster::Picture&, const DrawContext&, const LineSegment&, double,
                                SegmentMode);

// The "f" kinds show no label.
template <LabelledRoutine routine, bool with_label>
void labelled(raster::Picture& picture, const DrawContext& ctx, const DrawItem& item, double scale) {
    routine(picture, ctx, item.x1, item.y1, item.number, item.colour, with_label ? item.text : "", scale);
}

template <ChairRoutine routine>
void chair(raster::Picture& picture, const DrawContext& ctx, const DrawItem& item, double scale) {
    routine(picture, ctx, item.x1, item.y1, item.extra2, item.number, item.colour, scale);
}

template <PlainRoutine routine>
void plain(raster::Picture& picture, const DrawContext& ctx, const DrawItem& item, double scale) {
    routine(picture, ctx, item.x1, item.y1, item.colour, scale);
}

// A line item: its segment, and for the last segment of a movement its end mark too.
template <SegmentRoutine routine, bool last>
void segment(raster::Picture& picture, const DrawContext& ctx, const DrawItem& item, double scale) {
    routine(picture, ctx, item.segment(), scale, SegmentMode::line);
    if (last) routine(picture, ctx, item.segment(), scale, SegmentMode::mark);
}

// A shot's double line and head are drawn together, as its end mark.
void shot(raster::Picture& picture, const DrawContext& ctx, const DrawItem& item, double scale) {
    draw_shot_segment(picture, ctx, item.segment(), scale, SegmentMode::mark);
}

void text(raster::Picture& picture, const DrawContext& ctx, const DrawItem& item, double scale) {
    draw_text(picture, ctx, item.text, item.text2, item.x1, item.y1, item.extra1, item.extra3, item.colour,
              scale);
}

constexpr ItemKind kItemKinds[] = {
    {"circle", labelled<draw_circle, true>},
    {"circlef", labelled<draw_circle, false>, true},
    {"dcircle", labelled<draw_dcircle, true>},
    {"otriangl", labelled<draw_otriangle, true>},
    {"triangle", labelled<draw_triangle, true>},
    {"triangf", labelled<draw_triangle, false>, true},
    {"cross", plain<draw_cross>},
    {"crossf", plain<draw_cross>, true},
    {"ocross", labelled<draw_numbered_cross, true>},
    {"ncross", labelled<draw_numbered_cross, true>},
    {"ochair", chair<draw_ochair>},
    {"dchair", chair<draw_dchair>},
    {"ball", plain<draw_ball>},
    {"ballf", plain<draw_ball_filled>},
    {"coach", plain<draw_coach>},
    {"rack", plain<draw_rack>},
    {"pylon", plain<draw_pylon>},
    {"loop", segment<draw_loop_segment, false>},
    {"ploop", segment<draw_loop_segment, true>},
    {"pass", segment<draw_pass_segment, false>},
    {"ppass", segment<draw_pass_segment, true>},
    {"dribbel", segment<draw_dribble_segment, false>},
    {"pdribbel", segment<draw_dribble_segment, true>},
    {"screen", segment<draw_screen_segment, false>},
    {"pscreen", segment<draw_screen_segment, true>},
    {"shot", shot},
    {"text", text},
};

// Kind names compare in lower case, A to Z only.
const ItemKind* item_kind(std::string_view name) noexcept {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (const ItemKind& kind : kItemKinds) {
        if (kind.name.size() == name.size() && std::equal(name.begin(), name.end(), kind.name.begin(),
                                                          [&](char a, char b) { return lower(a) == b; }))
            return &kind;
    }
    return nullptr;
}

}  // namespace

void draw_element(raster::Picture& picture, const DrawContext& ctx, const DrawItem& item, double scale) {
    raster::Canvas& canvas = picture.canvas();
    canvas.font.style = 0;
    if (scale > 1.9) canvas.pen.width = Round(scale);
    if (const ItemKind* kind = item_kind(item.kind)) {
        if (kind->thick) canvas.pen.width = Round(2 * scale);
        kind->draw(picture, ctx, item, scale);
    }
    canvas.pen.width = 1;
}

}  // namespace hoopcast
