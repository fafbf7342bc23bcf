#include "raster/canvas.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <new>
#include <vector>

#include "raster/fonts.h"
#include "raster/picture.h"
#include "raster/rasterizer.h"
#include "raster/render_cache.h"

namespace hoopcast::raster {

using detail::i64;

// MulDiv(size, 96, 72) rounds halves away from zero; sizes whose height leaves int range
// saturate instead of failing.
int font_height_for_size(int size) noexcept {
    const i64 n = i64{size} * 96;
    const i64 q = n >= 0 ? (n + 36) / 72 : -((-n + 36) / 72);
    return static_cast<int>(-std::clamp<i64>(q, -INT_MAX, INT_MAX));
}

namespace {

// A pen of width 0 draws like width 1; only 2 and more are geometric.
bool is_geometric(const Pen& pen) noexcept {
    return pen.width >= 2;
}

}  // namespace

Canvas::Canvas(Bitmap& target, const FontLibrary* fonts, RenderCache* cache) noexcept
    : target_(&target), fonts_(fonts), cache_(cache) {}

Canvas::~Canvas() = default;

detail::DotCache* Canvas::dots() noexcept {
    if (cache_ == nullptr) {
        // A work picture drawn without the owner's cache: its dots are only its own.
        try {
            own_cache_ = std::make_unique<RenderCache>();
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
        cache_ = own_cache_.get();
    }
    return &cache_->dots();
}

void Canvas::wide_path_through(std::span<const Point> points, bool closed) noexcept {
    detail::DotCache* cache = dots();
    if (cache == nullptr) return;
    std::vector<detail::Point64>& path = cache->path_points();
    try {
        path.assign(points.begin(), points.end());
    } catch (const std::bad_alloc&) {
        return;
    }
    detail::wide_path(*target_, path, closed, pen.width, pen.colour, cache);
}

void Canvas::line_to(int x, int y) noexcept {
    const Point to{x, y};
    if (is_geometric(pen)) {
        const detail::Point64 path[2] = {position_, to};
        // A line to its own start leaves the pen's dot, as raster circles are drawn.
        const std::size_t points = position_ == to ? 1 : 2;
        detail::wide_path(*target_, std::span(path, points), false, pen.width, pen.colour, dots());
    } else {
        detail::thin_line(*target_, position_, to, pen.colour);
    }
    position_ = to;
}

void Canvas::rectangle(int x1, int y1, int x2, int y2) noexcept {
    const Colour* fill = brush.style == BrushStyle::solid ? &brush.colour : nullptr;
    detail::draw_rectangle(*target_, detail::normalised_box(x1, y1, x2, y2), std::max(pen.width, 1),
                           pen.colour, fill, dots());
}

void Canvas::ellipse(int x1, int y1, int x2, int y2) noexcept {
    const Colour* fill = brush.style == BrushStyle::solid ? &brush.colour : nullptr;
    detail::draw_ellipse(*target_, detail::normalised_box(x1, y1, x2, y2), std::max(pen.width, 1), pen.colour,
                         fill, dots());
}

void Canvas::arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) noexcept {
    detail::draw_arc(*target_, detail::normalised_box(x1, y1, x2, y2), Point{x3, y3}, Point{x4, y4},
                     std::max(pen.width, 1), pen.colour, dots());
}

void Canvas::polygon(std::span<const Point> points) noexcept {
    // A polygon needs two points; two draw the segment with both its ends.
    if (points.size() < 2) return;
    if (brush.style == BrushStyle::solid) detail::fill_polygon_alternate(*target_, points, brush.colour);
    if (is_geometric(pen)) {
        wide_path_through(points, true);
        return;
    }
    // Every segment starts at a vertex, so with the closing segment every vertex is drawn.
    for (std::size_t i = 0; i < points.size(); ++i)
        detail::thin_line(*target_, points[i], points[(i + 1) % points.size()], pen.colour);
}

void Canvas::polyline(std::span<const Point> points) noexcept {
    if (points.size() < 2) return;
    if (is_geometric(pen)) {
        wide_path_through(points, false);
        return;
    }
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        detail::thin_line(*target_, points[i], points[i + 1], pen.colour);
}

void Canvas::flood_fill(int x, int y, Colour border) noexcept {
    if (brush.style != BrushStyle::solid) return;
    detail::flood_fill_border(*target_, x, y, border, brush.colour);
}

void Canvas::text_out(int x, int y, std::string_view text) noexcept {
    if (fonts_ == nullptr) return;
    const Colour* background = brush.style == BrushStyle::solid ? &brush.colour : nullptr;
    fonts_->draw(*target_, x, y, font, text, background);
}

int Canvas::text_width(std::string_view text) const noexcept {
    return fonts_ == nullptr ? 0 : fonts_->measure(font, text).width;
}

int Canvas::text_height(std::string_view text) const noexcept {
    return fonts_ == nullptr ? 0 : fonts_->measure(font, text).height;
}

void Canvas::text_out(int x, int y, Cp1252Text text) noexcept {
    if (fonts_ == nullptr) return;
    const Colour* background = brush.style == BrushStyle::solid ? &brush.colour : nullptr;
    fonts_->draw(*target_, x, y, font, text, background);
}

int Canvas::text_width(Cp1252Text text) const noexcept {
    return fonts_ == nullptr ? 0 : fonts_->measure(font, text).width;
}

int Canvas::text_width(const ByteCounts& text) const noexcept {
    return fonts_ == nullptr ? 0 : fonts_->measure(font, text).width;
}

int Canvas::text_height(Cp1252Text text) const noexcept {
    return fonts_ == nullptr ? 0 : fonts_->measure(font, text).height;
}

Colour Canvas::pixel(int x, int y) const noexcept {
    return target_->pixel(x, y);
}

void Canvas::set_pixel(int x, int y, Colour c) noexcept {
    target_->set_pixel(x, y, c);
}

void Canvas::copy_rect(Rect dest, const Bitmap& source, Rect source_rect) noexcept {
    detail::stretch_copy(*target_, dest, source, source_rect);
}

}  // namespace hoopcast::raster
