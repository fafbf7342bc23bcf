// Rectangles, ellipses, arcs and polygon fill.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <optional>
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
    std::size_t n = static_cast<std::size_t>(x1 - x0 + 1) * 3;
    if (b == g && g == r) {
        std::memset(p, b, n);
        return;
    }
    if (n < 48) {
        for (; n > 0; n -= 3, p += 3) p[0] = b, p[1] = g, p[2] = r;
        return;
    }
    // 16 pixels at a time: 48 bytes, a whole number of pixels.
    std::uint8_t pattern[48];
    for (int i = 0; i < 16; ++i) pattern[3 * i] = b, pattern[3 * i + 1] = g, pattern[3 * i + 2] = r;
    for (; n >= sizeof pattern; n -= sizeof pattern, p += sizeof pattern) std::memcpy(p, pattern, sizeof pattern);
    std::memcpy(p, pattern, n);
}

// Boxes may come with their corners in either order.
Box normalised_box(int x1, int y1, int x2, int y2) noexcept {
    return Box{std::min<i64>(x1, x2), std::min<i64>(y1, y2), std::max<i64>(x1, x2), std::max<i64>(y1, y2)};
}

void fill_box(Bitmap& bitmap, i64 left, i64 top, i64 right, i64 bottom, Colour colour) noexcept {
    // Inclusive bounds.
    const i64 y0 = std::max<i64>(top, 0), y1 = std::min<i64>(bottom, bitmap.height() - 1);
    const i64 x0 = std::max<i64>(left, 0), x1 = std::min<i64>(right, bitmap.width() - 1);
    if (y0 > y1 || x0 > x1) return;
    // Paint the first row, then copy it down.
    paint_span(bitmap, y0, x0, x1, colour);
    const std::uint8_t* first = bitmap.scan_line(static_cast<int>(y0)) + x0 * 3;
    const std::size_t n = static_cast<std::size_t>(x1 - x0 + 1) * 3;
    for (i64 y = y0 + 1; y <= y1; ++y) std::memcpy(bitmap.scan_line(static_cast<int>(y)) + x0 * 3, first, n);
}

// Rectangle: the outline runs along x = left..right-1 and y = top..bottom-1 and the brush
// fills strictly inside it. A box with no width or height draws nothing; a 1 x 1 box draws
// nothing with a thin pen but the round dot of a geometric one.
void draw_rectangle(Bitmap& bitmap, Box box, i64 pen_width, Colour pen, const Colour* brush,
                    DotCache* dots) noexcept {
    if (box.width() == 0 || box.height() == 0) return;
    if (box.width() == 1 && box.height() == 1 && pen_width <= 1) return;
    const i64 l = box.left, t = box.top, r = box.right - 1, b = box.bottom - 1;
    if (brush != nullptr) fill_box(bitmap, l + 1, t + 1, r - 1, b - 1, *brush);
    if (pen_width <= 1) {
        fill_box(bitmap, l, t, r, t, pen);
        fill_box(bitmap, l, b, r, b, pen);
        fill_box(bitmap, l, t, l, b, pen);
        fill_box(bitmap, r, t, r, b, pen);
        return;
    }
    // Geometric pens are centred on the same outline, with round corners.
    const Point64 corners[4] = {{l, t}, {r, t}, {r, b}, {l, b}};
    wide_path(bitmap, corners, true, pen_width, pen, dots);
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

    // Whether the outer of two neighbouring offsets, c + 2 just outside the curve and c on or
    // inside it, lies off the curve by no more than the inner one, measured in the curve's
    // own equation x^2/a^2 + y^2/b^2 - 1 scaled by a^2 b^2. Exact in 128 bits while the axes
    // fit, which covers every bitmap we can allocate; larger boxes use floating point.
    static bool outer_is_nearer(i64 along, i64 axis, i64 other, i64 c) noexcept {
        if (axis < (i64{1} << 30) && other < (i64{1} << 30)) {
            const i128 base = i128{other} * other * along * along - i128{axis} * axis * other * other;
            const i128 outer = base + i128{axis} * axis * (c + 2) * (c + 2);  // > 0
            const i128 inner = base + i128{axis} * axis * c * c;              // <= 0
            return outer + inner <= 0;
        }
        const long double o = static_cast<long double>(other), a = static_cast<long double>(axis);
        const long double base = o * o * static_cast<long double>(along) * static_cast<long double>(along) - a * a * o * o;
        const long double cc = static_cast<long double>(c);
        return (base + a * a * (cc + 2) * (cc + 2)) + (base + a * a * cc * cc) <= 0;
    }

    // Of the two offsets of the right parity around the curve, the one whose residual is
    // smaller; on a tie the outer one. Near 45 degrees this can differ from the offset
    // nearest along the axis, and the outline follows the residual.
    static i64 nearest(i64 along, i64 axis, i64 other) noexcept {
        const i64 parity = other & 1;
        // A double is close enough for a first guess; the exact tests below settle it.
        const double f = static_cast<double>(along) / static_cast<double>(axis);
        const long double v = static_cast<double>(other) * std::sqrt(std::max(0.0, 1 - f * f));
        const i64 c = parity + 2 * static_cast<i64>(std::floor((v - static_cast<long double>(parity)) / 2));
        return nearest_from(along, axis, other, c);
    }

    // The same offset from any first guess of the right parity: the walks below settle it.
    static i64 nearest_from(i64 along, i64 axis, i64 other, i64 c) noexcept {
        const i64 parity = other & 1;
        c = std::clamp<i64>(c, parity, other);
        // Settle c as the last offset at or inside the curve, whatever the rounding above did.
        while (c + 2 <= other && inside_or_on(along, axis, other, c + 2)) c += 2;
        while (c - 2 >= parity && !inside_or_on(along, axis, other, c)) c -= 2;
        if (c + 2 > other) return c;
        return outer_is_nearer(along, axis, other, c) ? c + 2 : c;
    }

    static bool inside_or_on(i64 along, i64 axis, i64 other, i64 candidate) noexcept {
        if (axis < (i64{1} << 30) && other < (i64{1} << 30))
            return i128{other} * other * along * along + i128{axis} * axis * candidate * candidate <=
                   i128{axis} * axis * other * other;
        return static_cast<long double>(candidate) <= exact(along, axis, other);
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
        // Flat part: the largest X whose column rounds to this row or above. Columns round to
        // the curve, so start where the curve is one step below the row and walk to it.
        const i64 q = W & 1;
        if (y_for_column(q) < Y) return best;
        const long double guess = exact(std::max<i64>(Y - 1, 0), H, W);
        i64 lo = q + 2 * static_cast<i64>(std::floor((guess - static_cast<long double>(q)) / 2));
        lo = std::clamp<i64>(lo, q, W - ((W - q) & 1));
        while (lo + 2 <= W && y_for_column(lo + 2) >= Y) lo += 2;
        while (lo > q && y_for_column(lo) < Y) lo -= 2;
        if (y_for_column(lo) == Y && flat(lo, Y)) best = std::max(best, lo);
        return best;
    }
};

// The quadrant's offsets worked out once per ellipse: one per column and one per row, each
// found by walking on from its neighbour's, which the offset rule allows since it settles
// from any guess. Columns' offsets never grow away from the centre (the inside test and the
// nearer-of-two test both only tighten as the column moves out), so a row's flat extent is a
// search in the column table. Only for boxes whose quadrant is affordable to tabulate.
struct QuadrantTables {
    std::vector<i64> col;  // col[i] = y_for_column(q + 2i), q = W & 1
    std::vector<i64> row;  // row[j] = x_for_row(p + 2j), p = H & 1

    explicit QuadrantTables(const EllipseGeometry& e) {
        const i64 q = e.W & 1, p = e.H & 1;
        col.resize(static_cast<std::size_t>((e.W - q) / 2 + 1));
        row.resize(static_cast<std::size_t>((e.H - p) / 2 + 1));
        i64 guess = e.y_for_column(q);
        for (std::size_t i = 0; i < col.size(); ++i)
            col[i] = guess = EllipseGeometry::nearest_from(q + 2 * static_cast<i64>(i), e.W, e.H, guess);
        guess = e.x_for_row(p);
        for (std::size_t j = 0; j < row.size(); ++j)
            row[j] = guess = EllipseGeometry::nearest_from(p + 2 * static_cast<i64>(j), e.H, e.W, guess);
    }

    i64 y_for_column(const EllipseGeometry& e, i64 X) const noexcept { return col[static_cast<std::size_t>((X - (e.W & 1)) / 2)]; }
    i64 x_for_row(const EllipseGeometry& e, i64 Y) const noexcept { return row[static_cast<std::size_t>((Y - (e.H & 1)) / 2)]; }

    // EllipseGeometry::row_extent from the tables.
    i64 row_extent(const EllipseGeometry& e, i64 Y) const noexcept {
        i64 best = -1;
        const i64 xs = x_for_row(e, Y);
        if (e.steep(xs, Y)) best = xs;
        if (col.front() < Y) return best;
        // Last column whose offset reaches the row.
        const auto it = std::partition_point(col.begin(), col.end(), [Y](i64 y) { return y >= Y; });
        const std::size_t i = static_cast<std::size_t>(it - col.begin()) - 1;
        const i64 lo = (e.W & 1) + 2 * static_cast<i64>(i);
        if (col[i] == Y && e.flat(lo, Y)) best = std::max(best, lo);
        return best;
    }
};

// Calls plot(x, y) for every pixel of the width-1 outline of the ellipse in the box (inclusive
// pixel bounds l..r, t..b) that lies in the bitmap. A pixel may be reported twice.
template <typename Plot>
void for_each_outline_pixel(const Bitmap& bitmap, i64 l, i64 t, i64 r, i64 b, i64 pad, const QuadrantTables* tables,
                            Plot&& plot) {
    const EllipseGeometry e{r - l, b - t};
    const i64 cx2 = l + r, cy2 = t + b;
    pad = std::min<i64>(pad, i64{bitmap.width()} + bitmap.height());
    const i64 x0 = std::max<i64>(l, -pad), x1 = std::min<i64>(r, bitmap.width() - 1 + pad);
    for (i64 x = x0; x <= x1; ++x) {
        const i64 X = 2 * x - cx2 < 0 ? cx2 - 2 * x : 2 * x - cx2;
        const i64 Y = tables != nullptr ? tables->y_for_column(e, X) : e.y_for_column(X);
        if (!e.flat(X, Y)) continue;
        plot(x, (cy2 - Y) / 2);
        plot(x, (cy2 + Y) / 2);
    }
    const i64 y0 = std::max<i64>(t, -pad), y1 = std::min<i64>(b, bitmap.height() - 1 + pad);
    for (i64 y = y0; y <= y1; ++y) {
        const i64 Y = 2 * y - cy2 < 0 ? cy2 - 2 * y : 2 * y - cy2;
        const i64 X = tables != nullptr ? tables->x_for_row(e, Y) : e.x_for_row(Y);
        if (!e.steep(X, Y)) continue;
        plot((cx2 - X) / 2, y);
        plot((cx2 + X) / 2, y);
    }
}

void fill_ellipse_region(Bitmap& bitmap, i64 l, i64 t, i64 r, i64 b, const QuadrantTables* tables,
                         Colour colour) noexcept {
    const EllipseGeometry e{r - l, b - t};
    const i64 cx2 = l + r, cy2 = t + b;
    const i64 y0 = std::max<i64>(t, 0), y1 = std::min<i64>(b, bitmap.height() - 1);
    for (i64 y = y0; y <= y1; ++y) {
        const i64 Y = 2 * y - cy2 < 0 ? cy2 - 2 * y : 2 * y - cy2;
        const i64 ext = tables != nullptr ? tables->row_extent(e, Y) : e.row_extent(Y);
        if (ext < 0) continue;
        paint_span(bitmap, y, (cx2 - ext) / 2, (cx2 + ext) / 2, colour);
    }
}

// The outline as an ordered closed loop of pixels, clockwise from the top: the quadrant's
// columns of the flat part, then its rows of the steep part, mirrored into the others.
std::vector<Point64> ellipse_loop(i64 l, i64 t, i64 r, i64 b, const QuadrantTables& tables) {
    const EllipseGeometry e{r - l, b - t};
    std::vector<Point64> quadrant;  // doubled offsets, from the top towards the right
    quadrant.reserve(tables.col.size() + tables.row.size());
    for (i64 X = e.W & 1; X <= e.W; X += 2) {
        const i64 Y = tables.y_for_column(e, X);
        if (!e.flat(X, Y)) break;
        quadrant.push_back({X, Y});
    }
    std::vector<Point64> steep;
    for (i64 Y = e.H & 1; Y <= e.H; Y += 2) {
        const i64 X = tables.x_for_row(e, Y);
        if (!e.steep(X, Y)) break;
        steep.push_back({X, Y});
    }
    for (auto it = steep.rbegin(); it != steep.rend(); ++it)
        if (quadrant.empty() || quadrant.back().x != it->x || quadrant.back().y != it->y) quadrant.push_back(*it);
    const i64 cx2 = l + r, cy2 = t + b;
    std::vector<Point64> loop;
    loop.reserve(quadrant.size() * 4);
    auto add = [&](i64 X, i64 Y) {
        const Point64 p{(cx2 + X) / 2, (cy2 + Y) / 2};
        if (loop.empty() || loop.back().x != p.x || loop.back().y != p.y) loop.push_back(p);
    };
    for (const Point64& q : quadrant) add(q.x, -q.y);
    for (auto it = quadrant.rbegin(); it != quadrant.rend(); ++it) add(it->x, it->y);
    for (const Point64& q : quadrant) add(-q.x, q.y);
    for (auto it = quadrant.rbegin(); it != quadrant.rend(); ++it) add(-it->x, -it->y);
    if (loop.size() > 1 && loop.front().x == loop.back().x && loop.front().y == loop.back().y) loop.pop_back();
    return loop;
}

// Whether walking the whole outline costs no more than a few passes over the bitmap.
bool loop_is_affordable(const Bitmap& bitmap, Box box, i64 pen_width) noexcept {
    const i64 limit = 4 * (i64{bitmap.width()} + bitmap.height()) + 4 * std::min<i64>(pen_width, 1 << 16);
    return box.width() <= limit && box.height() <= limit;
}

}  // namespace

// Ellipse: the same box rule as the rectangle; a box 2 pixels wide or tall, or less, is
// drawn as a rectangle. The brush fills the whole region first and the pen draws over it,
// so no gap can open between interior and outline.
void draw_ellipse(Bitmap& bitmap, Box box, i64 pen_width, Colour pen, const Colour* brush,
                  DotCache* dots) noexcept {
    if (box.width() <= 2 || box.height() <= 2) {
        draw_rectangle(bitmap, box, pen_width, pen, brush, dots);
        return;
    }
    const i64 l = box.left, t = box.top, r = box.right - 1, b = box.bottom - 1;
    std::optional<QuadrantTables> tables;
    if (loop_is_affordable(bitmap, box, pen_width)) tables.emplace(EllipseGeometry{r - l, b - t});
    const QuadrantTables* known = tables ? &*tables : nullptr;
    if (brush != nullptr) fill_ellipse_region(bitmap, l, t, r, b, known, *brush);
    if (pen_width <= 1) {
        for_each_outline_pixel(bitmap, l, t, r, b, 0, known, [&](i64 x, i64 y) { plot_pixel(bitmap, x, y, pen); });
        return;
    }
    // Geometric pens run along the outline as one closed wide path through its pixels, so
    // the round joins make the outer edge slightly lumpy. A box far larger than the bitmap
    // would make that path long; there a dot on each outline pixel near the bitmap is
    // drawn instead, which bounds the work by the bitmap's size.
    if (tables) {
        const std::vector<Point64> loop = ellipse_loop(l, t, r, b, *tables);
        wide_path(bitmap, loop, true, pen_width, pen, dots);
        return;
    }
    const i64 pad = pen_width;
    for_each_outline_pixel(bitmap, l, t, r, b, pad, nullptr,
                           [&](i64 x, i64 y) { round_dot(bitmap, Point64{x, y}, pen_width, pen); });
}

namespace {

// Angle of a doubled offset, counter-clockwise as seen on screen (y grows downward).
double screen_angle(double X, double Y) noexcept {
    double a = std::atan2(-Y, X);
    if (a < 0) a += 2 * std::numbers::pi;
    return a;
}


}  // namespace

// Arc: the outline pixels of the ellipse from the start ray counter-clockwise to the end
// ray, drawn as a path through them: a thin pen leaves the last pixel out as any line does,
// a geometric pen puts round caps on both ends.
void draw_arc(Bitmap& bitmap, Box box, Point start_ray, Point end_ray, i64 pen_width, Colour pen,
              DotCache* dots) noexcept {
    // As with the ellipse, a box 2 pixels across or less is a rectangle's outline.
    if (box.width() <= 2 || box.height() <= 2) {
        draw_rectangle(bitmap, box, pen_width, pen, nullptr, dots);
        return;
    }
    const i64 l = box.left, t = box.top, r = box.right - 1, b = box.bottom - 1;
    const i64 cx2 = l + r, cy2 = t + b;
    // The rays run from GDI's centre of the box, ((x1 + x2) / 2, (y1 + y2) / 2), to the given
    // points. That centre lies half a pixel right of and below the middle of the outline's
    // pixels (one step in doubled units), from where the pixels' own angles are measured.
    const i64 sx = 2 * i64{start_ray.x} - (cx2 + 1), sy = 2 * i64{start_ray.y} - (cy2 + 1);
    const i64 ex = 2 * i64{end_ray.x} - (cx2 + 1), ey = 2 * i64{end_ray.y} - (cy2 + 1);
    const double start = screen_angle(static_cast<double>(sx), static_cast<double>(sy));
    const double end = screen_angle(static_cast<double>(ex), static_cast<double>(ey));
    double sweep = end - start;
    if (sweep <= 0) sweep += 2 * std::numbers::pi;
    auto progress = [&](const Point64& p) {
        double a = screen_angle(static_cast<double>(2 * p.x - cx2), static_cast<double>(2 * p.y - cy2)) - start;
        if (a < 0) a += 2 * std::numbers::pi;
        return a;
    };
    if (!loop_is_affordable(bitmap, box, pen_width)) {
        // Far larger than the bitmap: the visible pixels of the sweep, each on its own.
        for_each_outline_pixel(bitmap, l, t, r, b, pen_width, nullptr, [&](i64 x, i64 y) {
            if (progress(Point64{x, y}) > sweep) return;
            if (pen_width <= 1) plot_pixel(bitmap, x, y, pen);
            else round_dot(bitmap, Point64{x, y}, pen_width, pen);
        });
        return;
    }
    std::vector<Point64> loop = ellipse_loop(l, t, r, b, QuadrantTables(EllipseGeometry{r - l, b - t}));
    std::reverse(loop.begin(), loop.end());  // counter-clockwise on screen
    if (loop.empty()) return;
    const bool same_ray = static_cast<i128>(sx) * ey == static_cast<i128>(sy) * ex &&
                          static_cast<i128>(sx) * ex + static_cast<i128>(sy) * ey > 0;
    if (same_ray || (sx == 0 && sy == 0) || (ex == 0 && ey == 0)) {
        // The whole ellipse, starting just after the pixel where the ray meets it and
        // ending on that pixel, which a thin pen leaves out as the end of its path.
        std::size_t k = 0;
        if (sx != 0 || sy != 0) {
            const double w = static_cast<double>(r - l), h = static_cast<double>(b - t);
            // Here the ray is taken from the centre of the outline's pixels.
            const double fx = static_cast<double>(sx + 1), fy = static_cast<double>(sy + 1);
            const double scale = 1.0 / std::sqrt((fx / w) * (fx / w) + (fy / h) * (fy / h));
            const double hx = (static_cast<double>(cx2) + fx * scale) / 2;
            const double hy = (static_cast<double>(cy2) + fy * scale) / 2;
            double best = INFINITY;
            for (std::size_t i = 0; i < loop.size(); ++i) {
                const double d = std::hypot(static_cast<double>(loop[i].x) - hx, static_cast<double>(loop[i].y) - hy);
                if (d < best) best = d, k = i;
            }
        }
        std::rotate(loop.begin(), loop.begin() + static_cast<std::ptrdiff_t>((k + 1) % loop.size()), loop.end());
        if (pen_width <= 1) {
            for (std::size_t i = 0; i + 1 < loop.size(); ++i) thin_line(bitmap, loop[i], loop[i + 1], pen);
        } else {
            wide_path(bitmap, loop, false, pen_width, pen, dots);
        }
        return;
    }
    std::vector<std::pair<double, Point64>> swept;
    swept.reserve(loop.size());
    for (const Point64& p : loop) {
        const double a = progress(p);
        if (a <= sweep) swept.emplace_back(a, p);
    }
    std::stable_sort(swept.begin(), swept.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    std::vector<Point64> path;
    path.reserve(swept.size());
    for (const auto& s : swept) path.push_back(s.second);
    if (path.empty()) return;
    if (pen_width <= 1) {
        for (std::size_t i = 0; i + 1 < path.size(); ++i) thin_line(bitmap, path[i], path[i + 1], pen);
        return;
    }
    wide_path(bitmap, path, false, pen_width, pen, dots);
}

// Alternate fill: a pixel is inside when its centre has an odd number of edges to its left.
// Edges are half-open: a row at an edge's top end counts, one at its bottom end does not, and
// a crossing exactly on a pixel centre puts that pixel inside, so a span runs from the first
// centre at or right of one crossing to the last centre left of the next. Neighbouring
// polygons thus share no pixel. Crossings are computed exactly in integers.
void fill_polygon_alternate(Bitmap& bitmap, std::span<const Point64> points, Colour colour) noexcept {
    if (points.size() < 3) return;
    i64 top = points[0].y, bottom = points[0].y;
    for (const Point64& p : points) top = std::min(top, p.y), bottom = std::max(bottom, p.y);
    const i64 y0 = std::max<i64>(top, 0), y1 = std::min<i64>(bottom, bitmap.height() - 1);
    if (y0 > y1) return;
    // Each edge's crossing walks down the rows as quotient and remainder of the exact
    // fraction, so only the first visible row of an edge divides. Edges start in order of
    // their first row and are dropped after their last, so a row looks only at its own.
    struct Edge {
        i64 first, end;  // rows first..end-1
        i64 q, rem, den, step_q, step_r;
    };
    constexpr std::size_t kInline = 16;
    Edge inline_edges[kInline];
    i64 inline_crossings[kInline];
    std::size_t inline_active[kInline];
    std::vector<Edge> heap_edges;
    std::vector<i64> heap_crossings;
    std::vector<std::size_t> heap_active;
    Edge* edges = inline_edges;
    i64* crossings = inline_crossings;
    std::size_t* active = inline_active;
    if (points.size() > kInline) {
        heap_edges.resize(points.size());
        heap_crossings.resize(points.size());
        heap_active.resize(points.size());
        edges = heap_edges.data();
        crossings = heap_crossings.data();
        active = heap_active.data();
    }
    // Below this bound every product of the crossing fits in 64 bits.
    constexpr i64 kSmall = i64{1} << 29;
    auto small = [](i64 v) { return v > -kSmall && v < kSmall; };
    std::size_t edge_count = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Point64 a = points[i], b = points[(i + 1) % points.size()];
        if (a.y == b.y) continue;
        const i64 first = std::max(std::min(a.y, b.y), y0), end = std::max(a.y, b.y);
        if (first >= end || first > y1) continue;
        // First pixel centre at or right of the crossing x = a.x + (y - a.y) (b.x - a.x) / (b.y - a.y).
        Edge& e = edges[edge_count++];
        e.first = first;
        e.end = end;
        if (small(a.x) && small(a.y) && small(b.x) && small(b.y) && small(first)) {
            i64 num = a.x * (b.y - a.y) + (first - a.y) * (b.x - a.x);
            i64 den = b.y - a.y, step = b.x - a.x;
            if (den < 0) num = -num, den = -den, step = -step;
            if (den == 1) {  // an edge one row tall, as the sides of short wide segments are
                e.q = num, e.rem = 0, e.step_q = step, e.step_r = 0, e.den = 1;
                continue;
            }
            e.q = num / den, e.rem = num % den;
            if (e.rem < 0) e.rem += den, --e.q;
            e.step_q = step / den, e.step_r = step % den;
            if (e.step_r < 0) e.step_r += den, --e.step_q;
            e.den = den;
            continue;
        }
        i128 num = i128{a.x} * (b.y - a.y) + i128{first - a.y} * (b.x - a.x);
        i128 den = b.y - a.y;
        i128 step = b.x - a.x;
        if (den < 0) num = -num, den = -den, step = -step;
        i128 q = num / den, rem = num % den;
        if (rem < 0) rem += den, --q;
        i128 sq = step / den, sr = step % den;
        if (sr < 0) sr += den, --sq;
        e.q = static_cast<i64>(q), e.rem = static_cast<i64>(rem), e.den = static_cast<i64>(den);
        e.step_q = static_cast<i64>(sq), e.step_r = static_cast<i64>(sr);
    }
    std::sort(edges, edges + edge_count, [](const Edge& x, const Edge& y) { return x.first < y.first; });
    std::size_t next = 0, active_count = 0;
    for (i64 y = y0; y <= y1; ++y) {
        while (next < edge_count && edges[next].first <= y) active[active_count++] = next++;
        std::size_t n = 0, kept = 0;
        for (std::size_t k = 0; k < active_count; ++k) {
            Edge& e = edges[active[k]];
            if (y >= e.end) continue;
            active[kept++] = active[k];
            crossings[n++] = e.q + (e.rem != 0 ? 1 : 0);
            e.q += e.step_q;
            e.rem += e.step_r;
            if (e.rem >= e.den) e.rem -= e.den, ++e.q;
        }
        active_count = kept;
        if (n == 0 && next == edge_count) break;
        if (n == 2) {
            if (crossings[0] > crossings[1]) std::swap(crossings[0], crossings[1]);
        } else {
            std::sort(crossings, crossings + n);
        }
        for (std::size_t i = 0; i + 1 < n; i += 2)
            if (crossings[i] < crossings[i + 1]) paint_span(bitmap, y, crossings[i], crossings[i + 1] - 1, colour);
    }
}

void fill_polygon_alternate(Bitmap& bitmap, std::span<const Point> points, Colour colour) noexcept {
    std::vector<Point64> wide(points.begin(), points.end());
    fill_polygon_alternate(bitmap, wide, colour);
}

}  // namespace hoopcast::raster::detail
