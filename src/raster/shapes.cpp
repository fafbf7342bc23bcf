// Rectangles, ellipses, arcs and polygon fill.

#include <algorithm>
#include <cmath>
#include <vector>

#include "raster/rasterizer.h"

namespace hoopcast::raster::detail {
namespace {

__extension__ typedef __int128 i128;


}  // namespace

void paint_span(Bitmap& bitmap, i64 y, i64 x0, i64 x1, Colour colour) noexcept {
    if (y < 0 || y >= bitmap.height()) return;
    x0 = std::max<i64>(x0, 0);
    x1 = std::min<i64>(x1, bitmap.width() - 1);
    if (x0 > x1) return;
    std::uint8_t* p = bitmap.scan_line(static_cast<int>(y)) + x0 * 3;
    const std::uint8_t b = blue_of(colour), g = green_of(colour), r = red_of(colour);
    for (i64 x = x0; x <= x1; ++x, p += 3) {
        p[0] = b;
        p[1] = g;
        p[2] = r;
    }
}

// Boxes may come with their corners in either order.
Box normalised_box(int x1, int y1, int x2, int y2) noexcept {
    return Box{std::min<i64>(x1, x2), std::min<i64>(y1, y2), std::max<i64>(x1, x2), std::max<i64>(y1, y2)};
}

namespace {

void fill_box(Bitmap& bitmap, i64 left, i64 top, i64 right, i64 bottom, Colour colour) noexcept {
    // Inclusive bounds.
    const i64 y0 = std::max<i64>(top, 0), y1 = std::min<i64>(bottom, bitmap.height() - 1);
    for (i64 y = y0; y <= y1; ++y) paint_span(bitmap, y, left, right, colour);
}

}  // namespace

// Rectangle: the outline runs along x = left..right-1 and y = top..bottom-1 and the brush
// fills strictly inside it. A box with no width or height, or of 1 x 1, draws nothing.
void draw_rectangle(Bitmap& bitmap, Box box, i64 pen_width, Colour pen, const Colour* brush) noexcept {
    if (box.width() == 0 || box.height() == 0) return;
    if (box.width() == 1 && box.height() == 1) return;
    const i64 l = box.left, t = box.top, r = box.right - 1, b = box.bottom - 1;
    if (brush != nullptr) fill_box(bitmap, l + 1, t + 1, r - 1, b - 1, *brush);
    if (pen_width <= 1) {
        fill_box(bitmap, l, t, r, t, pen);
        fill_box(bitmap, l, b, r, b, pen);
        fill_box(bitmap, l, t, l, b, pen);
        fill_box(bitmap, r, t, r, b, pen);
        return;
    }
    // Geometric pens are centred on the same outline, with round corners. The corners are
    // clamped into int range; a box that far out is off any bitmap anyway.
    auto c = [](i64 v) { return static_cast<int>(std::clamp<i64>(v, -(i64{1} << 30), i64{1} << 30)); };
    const Point corners[4] = {{c(l), c(t)}, {c(r), c(t)}, {c(r), c(b)}, {c(l), c(b)}};
    wide_path(bitmap, corners, true, pen_width, pen);
}

namespace {

// An ellipse in doubled coordinates about the centre of its box, so that boxes of even size
// (whose centre falls between pixels) need no fractions: a pixel lies at odd or even doubled
// offsets according to the parity of the box size. W and H are the doubled semi-axes, that
// is the distances between the first and last pixel of the box.
struct EllipseGeometry {
    i64 W, H;

    static long double exact(i64 along, i64 axis, i64 other) noexcept {
        // other * sqrt(1 - (along / axis)^2)
        const long double f = static_cast<long double>(along) / static_cast<long double>(axis);
        return static_cast<long double>(other) * std::sqrt(std::max<long double>(0, 1 - f * f));
    }

    // Is v - 1 < other * sqrt(1 - (along/axis)^2), i.e. is v the nearer choice over v - 2?
    // Exact in 128 bits while the numbers fit, which covers every bitmap we can allocate.
    static bool below_curve(i64 v_minus_1, i64 along, i64 axis, i64 other) noexcept {
        if (v_minus_1 < 0) return true;
        if (axis < (i64{1} << 30) && other < (i64{1} << 30)) {
            const i128 lhs = i128{v_minus_1} * v_minus_1 * axis * axis;
            const i128 rhs = i128{other} * other * (i128{axis} * axis - i128{along} * along);
            return lhs < rhs;
        }
        return static_cast<long double>(v_minus_1) < exact(along, axis, other);
    }

    // The offset of parity `parity` nearest to the curve; at an exact tie the one nearer the
    // centre wins, which keeps the outline inside the box.
    static i64 nearest(i64 along, i64 axis, i64 other) noexcept {
        const i64 parity = other & 1;
        const long double v = exact(along, axis, other);
        i64 c = parity + 2 * static_cast<i64>(std::floor((v - static_cast<long double>(parity)) / 2));
        c = std::clamp<i64>(c, parity, other);
        while (c + 2 <= other && below_curve(c + 1, along, axis, other)) c += 2;
        while (c - 2 >= parity && !below_curve(c - 1, along, axis, other)) c -= 2;
        return c;
    }

    i64 y_for_column(i64 X) const noexcept { return nearest(X, W, H); }
    i64 x_for_row(i64 Y) const noexcept { return nearest(Y, H, W); }

    // Where the slope is flatter than 45 degrees the outline takes one pixel per column,
    // elsewhere one per row.
    bool flat(i64 X, i64 Y) const noexcept { return i128{H} * H * X <= i128{W} * W * Y; }
    bool steep(i64 X, i64 Y) const noexcept { return i128{H} * H * X >= i128{W} * W * Y; }

    // Largest doubled x offset of the outline on the row at offset Y.
    i64 row_extent(i64 Y) const noexcept {
        i64 best = -1;
        const i64 xs = x_for_row(Y);
        if (steep(xs, Y)) best = xs;
        // Flat part: the largest X whose column rounds to this row.
        const i64 q = W & 1;
        i64 lo = q, hi = W;  // find largest X with y_for_column(X) >= Y
        if (y_for_column(lo) < Y) return best;
        while (lo < hi) {
            const i64 mid = lo + ((hi - lo) / 2 + 1) / 2 * 2;
            const i64 m = std::min(mid, hi);
            if (m == lo) break;
            if (y_for_column(m) >= Y) lo = m;
            else hi = m - 2;
        }
        if (y_for_column(lo) == Y && flat(lo, Y)) best = std::max(best, lo);
        return best;
    }
};

// Calls plot(x, y) for every pixel of the width-1 outline of the ellipse in the box (inclusive
// pixel bounds l..r, t..b) that lies in the bitmap. A pixel may be reported twice.
template <typename Plot>
void for_each_outline_pixel(const Bitmap& bitmap, i64 l, i64 t, i64 r, i64 b, Plot&& plot) {
    const EllipseGeometry e{r - l, b - t};
    const i64 cx2 = l + r, cy2 = t + b;
    const i64 x0 = std::max<i64>(l, 0), x1 = std::min<i64>(r, bitmap.width() - 1);
    for (i64 x = x0; x <= x1; ++x) {
        const i64 X = 2 * x - cx2 < 0 ? cx2 - 2 * x : 2 * x - cx2;
        const i64 Y = e.y_for_column(X);
        if (!e.flat(X, Y)) continue;
        plot(x, (cy2 - Y) / 2);
        plot(x, (cy2 + Y) / 2);
    }
    const i64 y0 = std::max<i64>(t, 0), y1 = std::min<i64>(b, bitmap.height() - 1);
    for (i64 y = y0; y <= y1; ++y) {
        const i64 Y = 2 * y - cy2 < 0 ? cy2 - 2 * y : 2 * y - cy2;
        const i64 X = e.x_for_row(Y);
        if (!e.steep(X, Y)) continue;
        plot((cx2 - X) / 2, y);
        plot((cx2 + X) / 2, y);
    }
}

void fill_ellipse_region(Bitmap& bitmap, i64 l, i64 t, i64 r, i64 b, Colour colour) noexcept {
    const EllipseGeometry e{r - l, b - t};
    const i64 cx2 = l + r, cy2 = t + b;
    const i64 y0 = std::max<i64>(t, 0), y1 = std::min<i64>(b, bitmap.height() - 1);
    for (i64 y = y0; y <= y1; ++y) {
        const i64 Y = 2 * y - cy2 < 0 ? cy2 - 2 * y : 2 * y - cy2;
        const i64 ext = e.row_extent(Y);
        if (ext < 0) continue;
        paint_span(bitmap, y, (cx2 - ext) / 2, (cx2 + ext) / 2, colour);
    }
}

}  // namespace

// Ellipse: the same box rule as the rectangle; a box 2 pixels wide or tall, or less, is
// drawn as a rectangle. The brush fills the whole region first and the pen draws over it,
// so no gap can open between interior and outline.
void draw_ellipse(Bitmap& bitmap, Box box, i64 pen_width, Colour pen, const Colour* brush) noexcept {
    if (box.width() <= 2 || box.height() <= 2) {
        draw_rectangle(bitmap, box, pen_width, pen, brush);
        return;
    }
    const i64 l = box.left, t = box.top, r = box.right - 1, b = box.bottom - 1;
    if (brush != nullptr) fill_ellipse_region(bitmap, l, t, r, b, *brush);
    if (pen_width <= 1) {
        for_each_outline_pixel(bitmap, l, t, r, b, [&](i64 x, i64 y) {
            bitmap.set_pixel(static_cast<int>(x), static_cast<int>(y), pen);
        });
        return;
    }
    // Wide pens: a round dot of the pen's width on every outline pixel.
    const i64 cx2 = l + r, cy2 = t + b;
    const EllipseGeometry g{r - l, b - t};
    // Walk the whole outline (clipped by the dot size) so dots just outside the bitmap still
    // reach into it.
    const i64 pad = std::min<i64>(pen_width, 2 * (i64{bitmap.width()} + bitmap.height()));
    const i64 x0 = std::max<i64>(l, -pad), x1 = std::min<i64>(r, bitmap.width() - 1 + pad);
    for (i64 x = x0; x <= x1; ++x) {
        const i64 X = 2 * x - cx2 < 0 ? cx2 - 2 * x : 2 * x - cx2;
        const i64 Y = g.y_for_column(X);
        if (!g.flat(X, Y)) continue;
        round_dot(bitmap, Point{static_cast<int>(x), static_cast<int>((cy2 - Y) / 2)}, pen_width, pen);
        round_dot(bitmap, Point{static_cast<int>(x), static_cast<int>((cy2 + Y) / 2)}, pen_width, pen);
    }
    const i64 y0 = std::max<i64>(t, -pad), y1 = std::min<i64>(b, bitmap.height() - 1 + pad);
    for (i64 y = y0; y <= y1; ++y) {
        const i64 Y = 2 * y - cy2 < 0 ? cy2 - 2 * y : 2 * y - cy2;
        const i64 X = g.x_for_row(Y);
        if (!g.steep(X, Y)) continue;
        round_dot(bitmap, Point{static_cast<int>((cx2 - X) / 2), static_cast<int>(y)}, pen_width, pen);
        round_dot(bitmap, Point{static_cast<int>((cx2 + X) / 2), static_cast<int>(y)}, pen_width, pen);
    }
}

namespace {

// Angle of a doubled offset, counter-clockwise as seen on screen (y grows downward).
double screen_angle(double X, double Y) noexcept {
    double a = std::atan2(-Y, X);
    if (a < 0) a += 2 * M_PI;
    return a;
}

bool in_sweep(double a, double start, double end) noexcept {
    // Counter-clockwise from start to end; equal rays mean the whole ellipse.
    if (start == end) return true;
    if (start < end) return a >= start && a <= end;
    return a >= start || a <= end;
}

}  // namespace

void draw_arc(Bitmap& bitmap, Box box, Point start_ray, Point end_ray, i64 pen_width, Colour pen) noexcept {
    if (box.width() == 0 || box.height() == 0) return;
    const i64 l = box.left, t = box.top, r = box.right - 1, b = box.bottom - 1;
    const i64 cx2 = l + r, cy2 = t + b;
    const double start = screen_angle(2.0 * start_ray.x - static_cast<double>(cx2),
                                      2.0 * start_ray.y - static_cast<double>(cy2));
    const double end = screen_angle(2.0 * end_ray.x - static_cast<double>(cx2),
                                    2.0 * end_ray.y - static_cast<double>(cy2));
    auto plot = [&](i64 x, i64 y) {
        const double a = screen_angle(static_cast<double>(2 * x - cx2), static_cast<double>(2 * y - cy2));
        if (!in_sweep(a, start, end)) return;
        if (pen_width <= 1)
            bitmap.set_pixel(static_cast<int>(x), static_cast<int>(y), pen);
        else
            round_dot(bitmap, Point{static_cast<int>(x), static_cast<int>(y)}, pen_width, pen);
    };
    for_each_outline_pixel(bitmap, l, t, r, b, plot);
}

// Alternate fill: a pixel is inside when a ray from its centre crosses the outline an odd
// number of times. Edges are half-open at the bottom and crossings at the right, so
// polygons that share an edge do not overlap.
void fill_polygon_alternate(Bitmap& bitmap, std::span<const Point> points, Colour colour) noexcept {
    if (points.size() < 3) return;
    i64 top = points[0].y, bottom = points[0].y;
    for (const Point& p : points) top = std::min<i64>(top, p.y), bottom = std::max<i64>(bottom, p.y);
    const i64 y0 = std::max<i64>(top, 0), y1 = std::min<i64>(bottom, bitmap.height() - 1);
    std::vector<double> crossings;
    crossings.reserve(points.size());
    for (i64 y = y0; y <= y1; ++y) {
        crossings.clear();
        for (std::size_t i = 0; i < points.size(); ++i) {
            const Point a = points[i], b = points[(i + 1) % points.size()];
            if (a.y == b.y) continue;
            const i64 ylo = std::min<i64>(a.y, b.y), yhi = std::max<i64>(a.y, b.y);
            if (y < ylo || y >= yhi) continue;
            crossings.push_back(static_cast<double>(a.x) +
                                static_cast<double>(y - a.y) * static_cast<double>(i64{b.x} - a.x) /
                                    static_cast<double>(i64{b.y} - a.y));
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
            const double left = std::ceil(crossings[i]), right = std::ceil(crossings[i + 1]) - 1;
            if (left > right) continue;
            paint_span(bitmap, y, static_cast<i64>(std::max(left, -1.0)),
                       static_cast<i64>(std::min(right, static_cast<double>(bitmap.width()))), colour);
        }
    }
}

}  // namespace hoopcast::raster::detail
