#include "drawings/equipment.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "drawings/arcs.h"
#include "drawings/equipment_internal.h"
#include "drawings/geometry.h"
#include "play/codepage.h"
#include "play/rounding.h"
#include "raster/canvas.h"
#include "raster/picture.h"

namespace hoopcast {

namespace {

// Pixel of the cell point (a, b) of the item at (x, y).
raster::Point cell_point(int x, int y, double a, double b, double s) {
    return {Round((x + a) * s), Round((y + b) * s)};
}

int R(double k, double s) {
    return Round(k * s);
}

// The pixel nearest the cell's centre, where small balls are drawn point by point.
raster::Point ball_centre(int x, int y, double s) {
    return {Round(((x + 7.0) * s + (x + 14.0) * s) / 2), Round(((y + 7.0) * s + (y + 14.0) * s) / 2)};
}

Colour item_colour(const DrawContext& ctx, Colour colour) {
    return ctx.monochrome ? kBlack : colour;
}

// Whether a small ball of radius r around c can touch the picture at all; one that cannot is
// not handed to the circle routines, which work in plain int pixels.
bool ball_reaches(const raster::Picture& picture, raster::Point c, int r) {
    const long long reach = static_cast<long long>(r) + std::max(picture.canvas().pen.width, 1) + 2;
    return c.x + reach >= 0 && c.y + reach >= 0 && c.x - reach < picture.width() &&
           c.y - reach < picture.height();
}

}  // namespace

namespace equipment_detail {

bool next_text_line(std::string_view& rest, std::string_view& line) noexcept {
    if (rest.empty()) return false;
    const std::size_t at = rest.find('\n');
    line = rest.substr(0, at);
    rest.remove_prefix(at == std::string_view::npos ? rest.size() : at + 1);
    if (at != std::string_view::npos && line.ends_with('\r')) line.remove_suffix(1);
    return true;
}

}  // namespace equipment_detail

void draw_ball(raster::Picture& picture, const DrawContext& ctx, int x, int y, Colour colour, double scale) {
    raster::Canvas& canvas = picture.canvas();
    const double s = scale;
    canvas.pen.colour = item_colour(ctx, colour);
    canvas.brush.style = raster::BrushStyle::clear;
    if (3 * s >= 12) {
        const raster::Point a = cell_point(x, y, 7, 7, s);
        const raster::Point b = cell_point(x, y, 14, 14, s);
        canvas.ellipse(a.x, a.y, b.x, b.y);
        return;
    }
    const raster::Point c = ball_centre(x, y, s);
    if (!ball_reaches(picture, c, R(3, s) + canvas.pen.width)) return;
    for (int k = 0; k < canvas.pen.width; ++k) draw_circle_points(picture, c.x, c.y, R(3, s) + k);
}

void draw_ball_filled(raster::Picture& picture, const DrawContext& ctx, int x, int y, Colour colour,
                      double scale) {
    raster::Canvas& canvas = picture.canvas();
    const double s = scale;
    canvas.brush.colour = item_colour(ctx, colour);
    canvas.pen.colour = item_colour(ctx, colour);
    canvas.brush.style = raster::BrushStyle::solid;
    if (3 * s >= 12) {
        const raster::Point a = cell_point(x, y, 7, 7, s);
        const raster::Point b = cell_point(x, y, 15, 15, s);
        canvas.ellipse(a.x, a.y, b.x, b.y);
    } else {
        const raster::Point c = ball_centre(x, y, s);
        if (ball_reaches(picture, c, R(3, s) + canvas.pen.width)) fill_disc(picture, c.x, c.y, R(3, s));
    }
    canvas.brush.style = raster::BrushStyle::clear;
}

void draw_coach(raster::Picture& picture, const DrawContext& ctx, int x, int y, Colour colour, double scale) {
    raster::Canvas& canvas = picture.canvas();
    canvas.font.name = "Arial";
    canvas.font.size = R(15, scale);
    canvas.font.colour = item_colour(ctx, colour);
    canvas.pen.colour = kBlack;
    canvas.brush.style = raster::BrushStyle::clear;
    const raster::Point p = cell_point(x, y, 4, 0, scale);
    canvas.text_out(p.x, p.y, "C");
}

void draw_rack(raster::Picture& picture, const DrawContext& ctx, int x, int y, Colour colour, double scale) {
    raster::Canvas& canvas = picture.canvas();
    const double s = scale;
    canvas.pen.colour = item_colour(ctx, colour);
    canvas.brush.colour = kBlack;
    canvas.brush.style = raster::BrushStyle::solid;
    canvas.pen.width = R(2, s) + (s - Round(s) > 0.05 ? 1 : 0);

    auto line = [&](raster::Point a, raster::Point b) {
        canvas.move_to(a.x, a.y);
        canvas.line_to(b.x, b.y);
    };
    const raster::Point frame[] = {cell_point(x, y, 1, 3, s), cell_point(x, y, 1, 19, s),
                                   cell_point(x, y, 21, 19, s), cell_point(x, y, 21, 3, s)};
    canvas.move_to(frame[0].x, frame[0].y);
    for (int i = 1; i < 4; ++i) canvas.line_to(frame[i].x, frame[i].y);
    line(cell_point(x, y, 0, 3, s), cell_point(x, y, 4, 3, s));
    line(cell_point(x, y, 18, 3, s), cell_point(x, y, 22, 3, s));

    int width = Round(s);
    if (width == 0) width = 1;
    if (s > Trunc(s) + 0.1) width = Trunc(s) + 1;
    canvas.pen.width = width;

    auto at = [](int v, int d) { return geometry::offset(v, d); };
    draw_ball(picture, ctx, at(x, -4), at(y, -3), colour, s);
    draw_ball_filled(picture, ctx, at(x, -3), at(y, 3), colour, s);
    draw_ball(picture, ctx, at(x, 5), at(y, 4), colour, s);
    draw_ball_filled(picture, ctx, at(x, 4), at(y, -3), colour, s);
}

void draw_pylon(raster::Picture& picture, const DrawContext& ctx, int x, int y, Colour colour, double scale) {
    raster::Canvas& canvas = picture.canvas();
    const double s = scale;
    canvas.pen.colour = item_colour(ctx, colour);
    canvas.brush.colour = item_colour(ctx, colour);
    canvas.brush.style = raster::BrushStyle::solid;
    const bool widened = s - Round(s) > 0.05;
    if (widened) canvas.pen.width += 1;
    const raster::Point cone[] = {cell_point(x, y, 11, 1, s), cell_point(x, y, 17, 21, s),
                                  cell_point(x, y, 6, 21, s), cell_point(x, y, 11, 1, s)};
    canvas.polygon(cone);
    const raster::Point a = cell_point(x, y, 3, 19, s);
    const raster::Point b = cell_point(x, y, 20, 21, s);
    canvas.rectangle(a.x, a.y, b.x, b.y);
    if (widened) canvas.pen.width -= 1;
    canvas.brush.style = raster::BrushStyle::clear;
}

namespace {

// Largest font size at which `line` is at most `target` pixels wide (0 when even size 1 is
// wider). Sizes are tried one by one as far as texts usually go; beyond that the width is
// taken to grow with the size and the rest is halved down, so a huge target stays cheap.
int fit_size(raster::Canvas& canvas, std::string_view line, int target) {
    constexpr int kLinearLimit = 512;
    const raster::ByteCounts counts(line);  // a long line is read once, not once a size
    auto fits = [&](int size) {
        canvas.font.size = size;
        return canvas.text_width(counts) <= target;
    };
    int size = 1;
    while (size <= kLinearLimit && fits(size)) ++size;
    if (size <= kLinearLimit) return size - 1;
    int lo = kLinearLimit;  // fits
    int hi = equipment_detail::kMaxTextSize + 1;
    if (fits(equipment_detail::kMaxTextSize)) return equipment_detail::kMaxTextSize;
    while (hi - lo > 1) {
        const int mid = lo + (hi - lo) / 2;
        (fits(mid) ? lo : hi) = mid;
    }
    return lo;
}

}  // namespace

void draw_text(raster::Picture& picture, const DrawContext& ctx, std::string_view text,
               std::string_view font_name, int x, int y, int font_size, int style_bits, Colour colour,
               double scale) {
    raster::Canvas& canvas = picture.canvas();
    const double s = scale;
    canvas.brush.style = raster::BrushStyle::clear;
    canvas.font.colour = item_colour(ctx, colour);
    // No installed family has a name this long: the start of a longer one names no family
    // either, and a font name of a file's size is not copied and looked up at every text.
    constexpr std::size_t kMaxFamilyBytes = 1024;
    canvas.font.name = cp1252_to_utf8(font_name.substr(0, kMaxFamilyBytes));
    unsigned style = 0;
    if (style_bits & 1) style |= raster::kBold;
    if (style_bits & 2) style |= raster::kItalic;
    if (style_bits & 4) style |= raster::kUnderline;
    if (style_bits & 8) style |= raster::kStrikeOut;
    canvas.font.style = style;
    canvas.font.size = std::min(font_size, equipment_detail::kMaxTextSize);

    using equipment_detail::next_text_line;
    if (s != 1.0) {
        // The first of the widest lines; an empty line has no width.
        std::string_view widest;
        int W = 0;
        std::string_view line;
        for (std::string_view rest = text; next_text_line(rest, line);) {
            if (line.empty()) continue;
            const int w = canvas.text_width(raster::Cp1252Text{line});
            if (w > W) {
                W = w;
                widest = line;
            }
        }
        // Lines with no width cannot be fitted to a target of no width; the item keeps
        // its size (nothing visible is drawn then anyway).
        if (W > 0) canvas.font.size = fit_size(canvas, widest, Round(W * s));
    }
    if (canvas.font.size < 1) canvas.font.size = 1;

    const int h = std::abs(canvas.font_height());
    const int step = std::abs(Round(1.1 * h));
    const int left = Round(x * s);
    std::int64_t d = 0;
    std::string_view line;
    for (std::string_view rest = text; next_text_line(rest, line);) {
        const int top = Round(y * s + static_cast<double>(d));
        // Lines below the picture cannot show; a text with thousands of lines stops there.
        if (top > picture.height()) break;
        if (!line.empty()) canvas.text_out(left, top, raster::Cp1252Text{line});
        d += step;
    }
}

}  // namespace hoopcast
