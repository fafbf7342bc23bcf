// Rectangles, ellipses, arcs and polygon fill.

#include <algorithm>
#include <cmath>
#include <new>
#include <numbers>
#include <utility>
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
    write_pixel_run(bitmap.scan_line(static_cast<int>(y)) + x0 * 3, static_cast<std::size_t>(x1 - x0 + 1),
                    colour);
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
    bitmap.fill_rect(
        Rect{static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1 + 1), static_cast<int>(y1 + 1)},
        colour);
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

    // Whether the box is small enough for the exact walk below: its arithmetic stays inside
    // 128 bits.
    static constexpr i64 kWalkLimit = i64{1} << 30;
    bool walkable() const noexcept { return W < kWalkLimit && H < kWalkLimit; }

    // The curve's equation scaled by W^2 H^2: negative inside, zero on it, positive outside.
    template <typename T>
    T residual(i64 X, i64 Y) const noexcept {
        return T{H} * H * X * X + T{W} * W * Y * Y - T{W} * W * H * H;
    }

    // The outline's first quadrant as doubled offsets (X right, Y up), in the order an
    // incremental walk finds them: from the horizontal axis (X = W) towards the vertical one.
    // From each pixel the walk steps up when, in the next column inward, the pixel above is
    // off the curve by no more than the one level with it (their residuals sum to <= 0), and
    // steps inward when, in the next row up, the inner pixel is off by no more than the one
    // in this column (sum >= 0); both at once is a diagonal step. Columns thus settle ties
    // outward and rows inward, which is why a tall box is not the mirror of the wide one
    // (5 x 7 keeps single pixels beside its top and bottom, 7 x 5 pairs at its sides). Once
    // the walk crosses the vertical axis, the last column runs straight up to the top; thin
    // tall boxes end that way. A pixel may repeat where the walk turns into that run; the
    // arc's ends count those repeats.
    std::vector<Point64> quadrant() const {
        std::vector<Point64> q;
        quadrant(q);
        return q;
    }
    void quadrant(std::vector<Point64>& q) const {
        q.clear();
        q.reserve(static_cast<std::size_t>((W + H) / 2 + 2));
        // Below 2^14 a sum of two residuals stays under 2^59: 64 bits do.
        if (W < (i64{1} << 14) && H < (i64{1} << 14)) {
            walk<i64>(q);
        } else {
            walk<i128>(q);
        }
    }

    template <typename T>
    void walk(std::vector<Point64>& q) const {
        i64 X = W, Y = H & 1;
        while (X >= 0) {
            q.push_back({X, Y});
            const T diagonal = residual<T>(X - 2, Y + 2);
            const bool up = diagonal + residual<T>(X - 2, Y) <= 0;
            const bool in = diagonal + residual<T>(X, Y + 2) >= 0;
            if (up) Y += 2;
            if (in) X -= 2;
        }
        for (; Y <= H; Y += 2) q.push_back({X + 2, Y});
    }

    // For boxes too large to walk, a closed form that agrees with the walk but for a pixel
    // here and there: the nearest offset in each column (ties outward) and in each row (ties
    // inward), all of them.
    static long double exact(i64 along, i64 axis, i64 other) noexcept {
        // other * sqrt(1 - (along / axis)^2)
        const long double f = static_cast<long double>(along) / static_cast<long double>(axis);
        return static_cast<long double>(other) * std::sqrt(std::max<long double>(0, 1 - f * f));
    }

    // Whether the outer of two neighbouring offsets, c + 2 just outside the curve and c on or
    // inside it, is the one to take: their residuals sum to < 0, or to 0 when ties go out.
    static bool take_outer(i64 along, i64 axis, i64 other, i64 c, bool ties_out) noexcept {
        if (axis < (i64{1} << 30) && other < (i64{1} << 30)) {
            const i128 base = i128{other} * other * along * along - i128{axis} * axis * other * other;
            const i128 sum = 2 * base + i128{axis} * axis * ((c + 2) * (c + 2) + c * c);
            return ties_out ? sum <= 0 : sum < 0;
        }
        const long double o = static_cast<long double>(other), a = static_cast<long double>(axis);
        const long double base =
            o * o * static_cast<long double>(along) * static_cast<long double>(along) - a * a * o * o;
        const long double cc = static_cast<long double>(c);
        const long double sum = (base + a * a * (cc + 2) * (cc + 2)) + (base + a * a * cc * cc);
        return ties_out ? sum <= 0 : sum < 0;
    }

    static bool inside_or_on(i64 along, i64 axis, i64 other, i64 candidate) noexcept {
        if (axis < (i64{1} << 30) && other < (i64{1} << 30))
            return i128{other} * other * along * along + i128{axis} * axis * candidate * candidate <=
                   i128{axis} * axis * other * other;
        return static_cast<long double>(candidate) <= exact(along, axis, other);
    }

    static i64 nearest(i64 along, i64 axis, i64 other, bool ties_out) noexcept {
        const i64 parity = other & 1;
        // A double is close enough for a first guess; the exact tests below settle it.
        const double f = static_cast<double>(along) / static_cast<double>(axis);
        const long double v = static_cast<double>(other) * std::sqrt(std::max(0.0, 1 - f * f));
        i64 c = parity + 2 * static_cast<i64>(std::floor((v - static_cast<long double>(parity)) / 2));
        c = std::clamp<i64>(c, parity, other);
        // Settle c as the last offset at or inside the curve, whatever the rounding above did.
        while (c + 2 <= other && inside_or_on(along, axis, other, c + 2)) c += 2;
        while (c - 2 >= parity && !inside_or_on(along, axis, other, c)) c -= 2;
        if (c + 2 > other) return c;
        return take_outer(along, axis, other, c, ties_out) ? c + 2 : c;
    }

    i64 y_for_column(i64 X) const noexcept { return nearest(X, W, H, true); }
    i64 x_for_row(i64 Y) const noexcept { return nearest(Y, H, W, false); }

    // Largest doubled x offset of the closed-form outline on the row at offset Y.
    i64 row_extent(i64 Y) const noexcept {
        i64 best = x_for_row(Y);
        // Columns: the largest X whose column takes this row or one above. Columns round to
        // the curve, so start where the curve is one step below the row and walk to it.
        const i64 q = W & 1;
        if (y_for_column(q) < Y) return best;
        const long double guess = exact(std::max<i64>(Y - 1, 0), H, W);
        i64 lo = q + 2 * static_cast<i64>(std::floor((guess - static_cast<long double>(q)) / 2));
        lo = std::clamp<i64>(lo, q, W - ((W - q) & 1));
        while (lo + 2 <= W && y_for_column(lo + 2) >= Y) lo += 2;
        while (lo > q && y_for_column(lo) < Y) lo -= 2;
        if (y_for_column(lo) == Y) best = std::max(best, lo);
        return best;
    }
};

// Whether walking the whole outline costs no more than a few passes over the bitmap.
bool loop_is_affordable(const Bitmap& bitmap, Box box, i64 pen_width) noexcept {
    const i64 limit = 4 * (i64{bitmap.width()} + bitmap.height()) + 4 * std::min<i64>(pen_width, 1 << 16);
    return box.width() <= limit && box.height() <= limit && box.width() < EllipseGeometry::kWalkLimit &&
           box.height() < EllipseGeometry::kWalkLimit;
}

// Calls plot(x, y) for every pixel of the width-1 outline of the ellipse in the box (inclusive
// pixel bounds l..r, t..b). Given the walked quadrant, the exact outline, every pixel;
// otherwise the closed form, only the pixels within `pad` of the bitmap. A pixel may be
// reported twice.
template <typename Plot>
void for_each_outline_pixel(const Bitmap& bitmap, i64 l, i64 t, i64 r, i64 b,
                            const std::vector<Point64>* walked, i64 pad, Plot&& plot) {
    const EllipseGeometry e{r - l, b - t};
    const i64 cx2 = l + r, cy2 = t + b;
    if (walked != nullptr) {
        for (const Point64& p : *walked) {
            plot((cx2 + p.x) / 2, (cy2 - p.y) / 2);
            plot((cx2 - p.x) / 2, (cy2 - p.y) / 2);
            plot((cx2 - p.x) / 2, (cy2 + p.y) / 2);
            plot((cx2 + p.x) / 2, (cy2 + p.y) / 2);
        }
        return;
    }
    pad = std::min<i64>(pad, i64{bitmap.width()} + bitmap.height());
    const i64 x0 = std::max<i64>(l, -pad), x1 = std::min<i64>(r, bitmap.width() - 1 + pad);
    for (i64 x = x0; x <= x1; ++x) {
        const i64 X = 2 * x - cx2 < 0 ? cx2 - 2 * x : 2 * x - cx2;
        const i64 Y = e.y_for_column(X);
        plot(x, (cy2 - Y) / 2);
        plot(x, (cy2 + Y) / 2);
    }
    const i64 y0 = std::max<i64>(t, -pad), y1 = std::min<i64>(b, bitmap.height() - 1 + pad);
    for (i64 y = y0; y <= y1; ++y) {
        const i64 Y = 2 * y - cy2 < 0 ? cy2 - 2 * y : 2 * y - cy2;
        const i64 X = e.x_for_row(Y);
        plot((cx2 - X) / 2, y);
        plot((cx2 + X) / 2, y);
    }
}

// The brush covers each row out to the outline's outermost pixel on it.
void fill_ellipse_region(Bitmap& bitmap, i64 l, i64 t, i64 r, i64 b, const std::vector<Point64>* walked,
                         Colour colour) noexcept {
    const EllipseGeometry e{r - l, b - t};
    const i64 cx2 = l + r, cy2 = t + b;
    if (walked != nullptr) {
        // The walk climbs row by row and moves inward, so the first pixel on a row is its
        // outermost.
        i64 last_row = -1;
        for (const Point64& p : *walked) {
            if (p.y == last_row) continue;
            last_row = p.y;
            paint_span(bitmap, (cy2 - p.y) / 2, (cx2 - p.x) / 2, (cx2 + p.x) / 2, colour);
            if (p.y != 0) paint_span(bitmap, (cy2 + p.y) / 2, (cx2 - p.x) / 2, (cx2 + p.x) / 2, colour);
        }
        return;
    }
    const i64 y0 = std::max<i64>(t, 0), y1 = std::min<i64>(b, bitmap.height() - 1);
    for (i64 y = y0; y <= y1; ++y) {
        const i64 Y = 2 * y - cy2 < 0 ? cy2 - 2 * y : 2 * y - cy2;
        const i64 ext = e.row_extent(Y);
        if (ext < 0) continue;
        paint_span(bitmap, y, (cx2 - ext) / 2, (cx2 + ext) / 2, colour);
    }
}

// The outline as a closed loop of pixels counter-clockwise on screen, from the right end of
// the horizontal axis: the first quadrant as walked, then mirrored into the other three, each
// quadrant's part the same length (repeats kept) so that part k starts at k times that length.
struct EllipseLoop {
    std::vector<Point64> pixels;
    std::vector<Point64> quadrant;  // doubled offsets, as walked
};

EllipseLoop ellipse_loop(i64 l, i64 t, i64 r, i64 b, std::vector<Point64> quadrant) {
    EllipseLoop loop{{}, std::move(quadrant)};
    const std::vector<Point64>& q = loop.quadrant;
    const i64 cx2 = l + r, cy2 = t + b;
    loop.pixels.reserve(q.size() * 4);
    for (const Point64& p : q) loop.pixels.push_back({(cx2 + p.x) / 2, (cy2 - p.y) / 2});
    for (auto it = q.rbegin(); it != q.rend(); ++it)
        loop.pixels.push_back({(cx2 - it->x) / 2, (cy2 - it->y) / 2});
    for (const Point64& p : q) loop.pixels.push_back({(cx2 - p.x) / 2, (cy2 + p.y) / 2});
    for (auto it = q.rbegin(); it != q.rend(); ++it)
        loop.pixels.push_back({(cx2 + it->x) / 2, (cy2 + it->y) / 2});
    return loop;
}

// The loop of the walked quadrant `q` without consecutive repeats, for drawing it whole,
// into `pixels`.
void distinct_loop_pixels(i64 l, i64 t, i64 r, i64 b, const std::vector<Point64>& q,
                          std::vector<Point64>& pixels) {
    const i64 cx2 = l + r, cy2 = t + b;
    pixels.clear();
    pixels.reserve(q.size() * 4);
    for (const Point64& p : q) pixels.push_back({(cx2 + p.x) / 2, (cy2 - p.y) / 2});
    for (auto it = q.rbegin(); it != q.rend(); ++it) pixels.push_back({(cx2 - it->x) / 2, (cy2 - it->y) / 2});
    for (const Point64& p : q) pixels.push_back({(cx2 - p.x) / 2, (cy2 + p.y) / 2});
    for (auto it = q.rbegin(); it != q.rend(); ++it) pixels.push_back({(cx2 + it->x) / 2, (cy2 + it->y) / 2});
    auto same = [](const Point64& a, const Point64& c) { return a.x == c.x && a.y == c.y; };
    pixels.erase(std::unique(pixels.begin(), pixels.end(), same), pixels.end());
    while (pixels.size() > 1 && same(pixels.front(), pixels.back())) pixels.pop_back();
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
    // The quadrant is walked once for the brush and the pen.
    const bool walk = loop_is_affordable(bitmap, box, pen_width);
    // The owner's work space when there is one: a frame draws many ellipses.
    std::vector<Point64> own_quadrant, own_loop;
    std::vector<Point64>& quadrant = dots != nullptr ? dots->quadrant_points() : own_quadrant;
    std::vector<Point64>& loop = dots != nullptr ? dots->path_points() : own_loop;
    try {
        if (walk) EllipseGeometry{r - l, b - t}.quadrant(quadrant);
    } catch (const std::bad_alloc&) {
        return;
    }
    const std::vector<Point64>* walked = walk ? &quadrant : nullptr;
    if (brush != nullptr) fill_ellipse_region(bitmap, l, t, r, b, walked, *brush);
    if (pen_width <= 1) {
        for_each_outline_pixel(bitmap, l, t, r, b, walked, 0,
                               [&](i64 x, i64 y) { plot_pixel(bitmap, x, y, pen); });
        return;
    }
    // Geometric pens run along the outline as one closed wide path through its pixels, so
    // the round joins make the outer edge slightly lumpy. A box far larger than the bitmap
    // would make that path long; there a dot on each outline pixel near the bitmap is
    // drawn instead, which bounds the work by the bitmap's size.
    if (walk) {
        try {
            distinct_loop_pixels(l, t, r, b, quadrant, loop);
        } catch (const std::bad_alloc&) {
            return;
        }
        wide_path(bitmap, loop, true, pen_width, pen, dots);
        return;
    }
    for_each_outline_pixel(bitmap, l, t, r, b, nullptr, pen_width, [&](i64 x, i64 y) {
        round_dot(bitmap, Point64{x, y}, pen_width, pen);
    });
}

namespace {

// Angle of a doubled offset, counter-clockwise as seen on screen (y grows downward).
double screen_angle(double X, double Y) noexcept {
    double a = std::atan2(-Y, X);
    if (a < 0) a += 2 * std::numbers::pi;
    return a;
}

// Where a ray meets the loop: the index of the first pixel of the ray's quadrant that lies on
// or beyond the ray counter-clockwise, or the start of the next quadrant if none does. The ray
// (x, y), y up, runs from GDI's centre of the box, ((x1 + x2) / 2, (y1 + y2) / 2) rounded
// down. A pixel counts by its whole offset from the middle of the outline's pixels, the half
// dropped towards the middle when the box is even, so both middle pixels count as on the
// axis. The quadrants are closed at the positive x axis and at the y axis above; in the
// lower two a pixel exactly on the ray does not count yet. Together this puts the ends on
// the left and lower halves a pixel later or earlier than the true angles would, as the
// reference does.
std::size_t ray_index(const EllipseLoop& loop, i64 x, i64 y) noexcept {
    const std::size_t n = loop.quadrant.size();
    const int k = x >= 0 ? (y >= 0 ? 0 : 3) : (y >= 0 ? 1 : 2);
    const i64 sx = (k == 0 || k == 3) ? 1 : -1, sy = k < 2 ? 1 : -1;
    for (std::size_t i = 0; i < n; ++i) {
        // Quadrants 1 and 3 run through the walk backwards.
        const Point64& p = (k % 2 == 0) ? loop.quadrant[i] : loop.quadrant[n - 1 - i];
        const i128 ax = sx * (p.x / 2), ay = sy * (p.y / 2);
        const i128 cross = i128{x} * ay - i128{y} * ax;  // > 0: the pixel lies beyond the ray
        if (k < 2 ? cross >= 0 : cross > 0) return static_cast<std::size_t>(k) * n + i;
    }
    return static_cast<std::size_t>(k + 1) * n;
}

}  // namespace

// Arc: the outline pixels of the ellipse from where the start ray meets it counter-clockwise
// to the pixel before where the end ray does, drawn as a path through them: a thin pen leaves
// the last pixel out as any line does, a geometric pen puts round caps on both ends. The same
// ray twice gives the whole loop.
void draw_arc(Bitmap& bitmap, Box box, Point start_ray, Point end_ray, i64 pen_width, Colour pen,
              DotCache* dots) noexcept {
    // As with the ellipse, a box 2 pixels across or less is a rectangle's outline.
    if (box.width() <= 2 || box.height() <= 2) {
        draw_rectangle(bitmap, box, pen_width, pen, nullptr, dots);
        return;
    }
    const i64 l = box.left, t = box.top, r = box.right - 1, b = box.bottom - 1;
    const i64 gx = box.left + box.width() / 2, gy = box.top + box.height() / 2;
    const i64 sx = i64{start_ray.x} - gx, sy = gy - i64{start_ray.y};
    const i64 ex = i64{end_ray.x} - gx, ey = gy - i64{end_ray.y};
    if (!loop_is_affordable(bitmap, box, pen_width)) {
        // Far larger than the bitmap: the visible pixels of the sweep, each on its own, by
        // their angles about the middle of the box.
        const i64 cx2 = l + r, cy2 = t + b;
        const double start = screen_angle(static_cast<double>(sx), static_cast<double>(-sy));
        const double end = screen_angle(static_cast<double>(ex), static_cast<double>(-ey));
        double sweep = end - start;
        if (sweep <= 0) sweep += 2 * std::numbers::pi;
        for_each_outline_pixel(bitmap, l, t, r, b, nullptr, pen_width, [&](i64 x, i64 y) {
            double a =
                screen_angle(static_cast<double>(2 * x - cx2), static_cast<double>(2 * y - cy2)) - start;
            if (a < 0) a += 2 * std::numbers::pi;
            if (a > sweep) return;
            if (pen_width <= 1)
                plot_pixel(bitmap, x, y, pen);
            else
                round_dot(bitmap, Point64{x, y}, pen_width, pen);
        });
        return;
    }
    const EllipseLoop loop = ellipse_loop(l, t, r, b, EllipseGeometry{r - l, b - t}.quadrant());
    const std::size_t count = loop.pixels.size();
    if (count == 0) return;
    const std::size_t first = ray_index(loop, sx, sy) % count;
    std::size_t last = ray_index(loop, ex, ey) % count;
    if (last <= first) last += count;
    std::vector<Point64> path;
    path.reserve(last - first);
    for (std::size_t i = first; i < last; ++i) path.push_back(loop.pixels[i % count]);
    if (pen_width <= 1) {
        // A thin line to a neighbouring pixel is its first pixel alone, and one to the same
        // pixel is nothing; the outline steps between neighbours, so most steps are a pixel.
        for (std::size_t i = 0; i + 1 < path.size(); ++i) {
            const i64 dx = path[i + 1].x - path[i].x, dy = path[i + 1].y - path[i].y;
            if (dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1) {
                if (dx != 0 || dy != 0) plot_pixel(bitmap, path[i].x, path[i].y, pen);
            } else {
                thin_line(bitmap, path[i], path[i + 1], pen);
            }
        }
        return;
    }
    wide_path(bitmap, path, false, pen_width, pen, dots);
}

// Alternate fill: a pixel is inside when its centre has an odd number of edges to its left.
// Edges are half-open: a row at an edge's top end counts, one at its bottom end does not, and
// a crossing exactly on a pixel centre puts that pixel inside, so a span runs from the first
// centre at or right of one crossing to the last centre left of the next. Neighbouring
// polygons thus share no pixel. Crossings are computed exactly in integers.
namespace {

// Whether every row crosses the polygon's outline at most twice: going round it, y runs
// down and then back up, turning only twice (level edges aside).
bool y_monotone(std::span<const Point64> points) noexcept {
    int turns = 0, last = 0, first = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const i64 dy = points[(i + 1) % points.size()].y - points[i].y;
        if (dy == 0) continue;
        const int dir = dy > 0 ? 1 : -1;
        if (first == 0)
            first = dir;
        else if (dir != last)
            ++turns;
        last = dir;
    }
    if (first != 0 && last != first) ++turns;
    return turns <= 2;
}

// An edge's crossing of the rows first..end-1: the first pixel centre at or right of
// x = a.x + (y - a.y) (b.x - a.x) / (b.y - a.y), walked down the rows as quotient and
// remainder of the exact fraction, so that only the edge's first visible row divides.
struct Edge {
    i64 first, end;
    i64 q, rem, den, step_q, step_r;

    i64 crossing() const noexcept { return q + (rem != 0 ? 1 : 0); }
    void step() noexcept {
        q += step_q;
        rem += step_r;
        if (rem >= den) rem -= den, ++q;
    }
};

// Sets up edge a -> b (not level) from row `first` on.
void start_edge(Edge& e, Point64 a, Point64 b, i64 first) noexcept {
    e.first = first;
    e.end = std::max(a.y, b.y);
    // Below this bound every product of the crossing fits in 64 bits.
    constexpr i64 kSmall = i64{1} << 29;
    auto small = [](i64 v) { return v > -kSmall && v < kSmall; };
    if (small(a.x) && small(a.y) && small(b.x) && small(b.y) && small(first)) {
        i64 num = a.x * (b.y - a.y) + (first - a.y) * (b.x - a.x);
        i64 den = b.y - a.y, step = b.x - a.x;
        if (den < 0) num = -num, den = -den, step = -step;
        if (den == 1) {  // an edge one row tall, as the sides of short wide segments are
            e.q = num, e.rem = 0, e.step_q = step, e.step_r = 0, e.den = 1;
            return;
        }
        e.q = num / den, e.rem = num % den;
        if (e.rem < 0) e.rem += den, --e.q;
        e.step_q = step / den, e.step_r = step % den;
        if (e.step_r < 0) e.step_r += den, --e.step_q;
        e.den = den;
        return;
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

// A few edges are kept in place; more go to the heap.
template <typename T>
class SmallBuffer {
  public:
    explicit SmallBuffer(std::size_t n) {
        if (n > kInline) {
            heap_.resize(n);
            data_ = heap_.data();
        }
    }
    SmallBuffer(const SmallBuffer&) = delete;
    SmallBuffer& operator=(const SmallBuffer&) = delete;
    T* data() noexcept { return data_; }
    T& operator[](std::size_t i) noexcept { return data_[i]; }

  private:
    static constexpr std::size_t kInline = 16;
    T inline_[kInline];
    std::vector<T> heap_;
    T* data_ = inline_;
};

// The spans of the alternate fill on rows y0..y1, handed to span(y, x0, x1) with both ends
// included, row by row from the top.
template <typename Span>
void alternate_spans(std::span<const Point64> points, i64 y0, i64 y1, Span&& span) {
    const std::size_t count = points.size();
    SmallBuffer<Edge> edges(count);
    std::size_t edge_count = 0;

    if (y_monotone(points)) {
        // Each row meets one edge going down and one going up. Going round the outline, the
        // downward edges follow one another row after row, and the upward ones do in the
        // other direction: walk both, each row taking the pair that spans it.
        SmallBuffer<std::size_t> down(count), up(count);
        std::size_t downs = 0, ups = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const Point64 a = points[i], b = points[(i + 1) % count];
            if (a.y == b.y) continue;
            const i64 first = std::max(std::min(a.y, b.y), y0), end = std::max(a.y, b.y);
            if (first >= end || first > y1) continue;
            start_edge(edges[edge_count], a, b, first);
            (a.y < b.y ? down[downs++] : up[ups++]) = edge_count;
            ++edge_count;
        }
        if (downs == 0 || ups == 0) return;
        // Start each walk at its topmost edge; the upward edges are walked backwards.
        std::size_t d0 = 0, u0 = 0;
        for (std::size_t k = 1; k < downs; ++k)
            if (edges[down[k]].first < edges[down[d0]].first) d0 = k;
        for (std::size_t k = 1; k < ups; ++k)
            if (edges[up[k]].first < edges[up[u0]].first) u0 = k;
        std::size_t dk = 0, uk = 0;
        Edge* d = &edges[down[d0]];
        Edge* u = &edges[up[u0]];
        for (i64 y = std::max(d->first, u->first); y <= y1; ++y) {
            while (y >= d->end) {
                if (++dk == downs) return;
                d = &edges[down[(d0 + dk) % downs]];
            }
            while (y >= u->end) {
                if (++uk == ups) return;
                u = &edges[up[(u0 + ups - uk) % ups]];
            }
            if (y < d->first || y < u->first) continue;  // not met yet: only with clipping
            i64 c0 = d->crossing(), c1 = u->crossing();
            d->step();
            u->step();
            if (c0 > c1) std::swap(c0, c1);
            if (c0 < c1) span(y, c0, c1 - 1);
        }
        return;
    }

    // Edges start in order of their first row and are dropped after their last, so a row
    // looks only at its own.
    SmallBuffer<i64> crossings(count);
    SmallBuffer<std::size_t> active(count);
    for (std::size_t i = 0; i < count; ++i) {
        const Point64 a = points[i], b = points[(i + 1) % count];
        if (a.y == b.y) continue;
        const i64 first = std::max(std::min(a.y, b.y), y0), end = std::max(a.y, b.y);
        if (first >= end || first > y1) continue;
        start_edge(edges[edge_count++], a, b, first);
    }
    std::sort(edges.data(), edges.data() + edge_count,
              [](const Edge& x, const Edge& y) { return x.first < y.first; });
    std::size_t next = 0, active_count = 0;
    for (i64 y = y0; y <= y1; ++y) {
        while (next < edge_count && edges[next].first <= y) active[active_count++] = next++;
        std::size_t n = 0, kept = 0;
        for (std::size_t k = 0; k < active_count; ++k) {
            Edge& e = edges[active[k]];
            if (y >= e.end) continue;
            active[kept++] = active[k];
            crossings[n++] = e.crossing();
            e.step();
        }
        active_count = kept;
        if (n == 0 && next == edge_count) break;
        if (n == 2) {
            if (crossings[0] > crossings[1]) std::swap(crossings[0], crossings[1]);
        } else {
            std::sort(crossings.data(), crossings.data() + n);
        }
        for (std::size_t i = 0; i + 1 < n; i += 2)
            if (crossings[i] < crossings[i + 1]) span(y, crossings[i], crossings[i + 1] - 1);
    }
}

}  // namespace

void fill_polygon_alternate(Bitmap& bitmap, std::span<const Point64> points, Colour colour) noexcept {
    if (points.size() < 3) return;
    i64 top = points[0].y, bottom = points[0].y;
    for (const Point64& p : points) top = std::min(top, p.y), bottom = std::max(bottom, p.y);
    const i64 y0 = std::max<i64>(top, 0), y1 = std::min<i64>(bottom, bitmap.height() - 1);
    if (y0 > y1) return;
    alternate_spans(points, y0, y1, [&](i64 y, i64 x0, i64 x1) { paint_span(bitmap, y, x0, x1, colour); });
}

void polygon_spans(std::span<const Point64> points, std::vector<RowSpan>& out) {
    if (points.size() < 3) return;
    i64 top = points[0].y, bottom = points[0].y;
    for (const Point64& p : points) top = std::min(top, p.y), bottom = std::max(bottom, p.y);
    alternate_spans(points, top, bottom, [&](i64 y, i64 x0, i64 x1) {
        out.push_back(RowSpan{static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1)});
    });
}

void fill_polygon_alternate(Bitmap& bitmap, std::span<const Point> points, Colour colour) noexcept {
    SmallBuffer<Point64> wide(points.size());
    std::copy(points.begin(), points.end(), wide.data());
    fill_polygon_alternate(bitmap, std::span<const Point64>(wide.data(), points.size()), colour);
}

}  // namespace hoopcast::raster::detail
