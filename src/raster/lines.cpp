// Lines: the width-1 Bresenham rule and geometric (wide) pens.

#include <algorithm>
#include <cmath>
#include <vector>

#include "raster/rasterizer.h"

namespace hoopcast::raster::detail {
namespace {

__extension__ typedef __int128 i128;

// Octants are numbered 1..8 clockwise from +x with y pointing down. Where the ideal line
// passes exactly half-way between two pixels, the minor coordinate steps early only in
// octants 3, 5, 6 and 8, so a line and its reverse need not cover the same pixels.
bool steps_early_at_tie(i64 dx, i64 dy) noexcept {
    const i64 adx = dx < 0 ? -dx : dx;
    const i64 ady = dy < 0 ? -dy : dy;
    if (adx >= ady) {  // x-major: octants 1, 4, 5, 8
        if (dx < 0) return dy < 0;   // 5 steps early, 4 does not
        return dy < 0;               // 8 steps early, 1 does not
    }
    if (dy > 0) return dx < 0;       // 3 steps early, 2 does not
    return dx < 0;                   // 6 steps early, 7 does not
}

// Minor-axis offset of step t of a Bresenham line: the nearest pixel to t * minor / major,
// with an exact tie resolved by the octant rule. Computed directly rather than by
// accumulating an error term, so a clipped line picks the same pixels as the whole line.
i64 minor_offset(i64 t, i64 minor, i64 major, bool early) noexcept {
    const i128 num = i128{2} * t * minor + major - (early ? 0 : 1);
    const i128 den = i128{2} * major;
    i128 q = num / den;
    if ((num % den != 0) && ((num < 0) != (den < 0))) --q;  // floor division
    return static_cast<i64>(q);
}

// Range of steps t in [0, count) for which start + sign * t lies in [0, limit).
bool visible_steps(i64 start, int sign, i64 count, i64 limit, i64& first, i64& last) noexcept {
    if (sign > 0) {
        first = std::max<i64>(0, -start);
        last = std::min<i64>(count - 1, limit - 1 - start);
    } else {
        first = std::max<i64>(0, start - (limit - 1));
        last = std::min<i64>(count - 1, start);
    }
    return first <= last;
}

}  // namespace

void thin_line(Bitmap& bitmap, Point from, Point to, Colour colour) noexcept {
    const i64 dx = i64{to.x} - from.x;
    const i64 dy = i64{to.y} - from.y;
    if (dx == 0 && dy == 0) return;  // a width-1 line to its own start draws nothing
    const bool early = steps_early_at_tie(dx, dy);
    const i64 adx = dx < 0 ? -dx : dx;
    const i64 ady = dy < 0 ? -dy : dy;
    const int sx = dx < 0 ? -1 : 1;
    const int sy = dy < 0 ? -1 : 1;
    i64 first = 0, last = 0;
    if (adx >= ady) {
        // The end pixel is step adx, left out by taking adx steps from 0.
        if (!visible_steps(from.x, sx, adx, bitmap.width(), first, last)) return;
        for (i64 t = first; t <= last; ++t) {
            const i64 y = from.y + sy * minor_offset(t, ady, adx, early);
            if (y >= 0 && y < bitmap.height())
                bitmap.set_pixel(static_cast<int>(from.x + sx * t), static_cast<int>(y), colour);
        }
    } else {
        if (!visible_steps(from.y, sy, ady, bitmap.height(), first, last)) return;
        for (i64 t = first; t <= last; ++t) {
            const i64 x = from.x + sx * minor_offset(t, adx, ady, early);
            if (x >= 0 && x < bitmap.width())
                bitmap.set_pixel(static_cast<int>(x), static_cast<int>(from.y + sy * t), colour);
        }
    }
}

namespace {

// The body of one wide segment: the pixels whose centres lie within width / 2 of the
// segment across its direction and between its end points along it. Half-open on the
// far side so an even width puts its extra pixel towards the top-left.
void wide_segment_body(Bitmap& bitmap, Point a, Point b, i64 width, Colour colour) noexcept {
    const double ax = a.x, ay = a.y, bx = b.x, by = b.y;
    const double len = std::hypot(bx - ax, by - ay);
    if (len == 0) return;
    const double half = static_cast<double>(width) / 2.0;
    const double nx = -(by - ay) / len * half, ny = (bx - ax) / len * half;
    const double qx[4] = {ax + nx, bx + nx, bx - nx, ax - nx};
    const double qy[4] = {ay + ny, by + ny, by - ny, ay - ny};
    double top = qy[0], bottom = qy[0];
    for (double v : qy) top = std::min(top, v), bottom = std::max(bottom, v);
    const i64 y0 = std::max<i64>(0, static_cast<i64>(std::ceil(top)));
    const i64 y1 = std::min<i64>(bitmap.height() - 1, static_cast<i64>(std::ceil(bottom)) - 1);
    for (i64 y = y0; y <= y1; ++y) {
        double lo = 1e300, hi = -1e300;
        const double fy = static_cast<double>(y);
        for (int i = 0; i < 4; ++i) {
            const double x1 = qx[i], y1e = qy[i], x2 = qx[(i + 1) % 4], y2e = qy[(i + 1) % 4];
            if ((fy < std::min(y1e, y2e)) || (fy > std::max(y1e, y2e))) continue;
            double x;
            if (y2e == y1e) {
                lo = std::min({lo, x1, x2});
                hi = std::max({hi, x1, x2});
                continue;
            }
            x = x1 + (fy - y1e) * (x2 - x1) / (y2e - y1e);
            lo = std::min(lo, x);
            hi = std::max(hi, x);
        }
        if (lo > hi) continue;
        const double left = std::ceil(lo), right = std::ceil(hi) - 1;
        if (left > right) continue;
        paint_span(bitmap, y, static_cast<i64>(std::max(left, -1.0)),
                   static_cast<i64>(std::min(right, static_cast<double>(bitmap.width()))), colour);
    }
}

}  // namespace

void round_dot(Bitmap& bitmap, Point centre, i64 width, Colour colour) noexcept {
    // The dot is the filled ellipse of a width x width box; an even width puts the extra
    // pixel towards the top-left.
    const Box box{centre.x - width / 2, centre.y - width / 2, centre.x - width / 2 + width,
                  centre.y - width / 2 + width};
    draw_ellipse(bitmap, box, 1, colour, &colour);
}

void wide_path(Bitmap& bitmap, std::span<const Point> points, bool closed, i64 width, Colour colour) noexcept {
    if (points.empty()) return;
    for (std::size_t i = 0; i < points.size(); ++i) {
        round_dot(bitmap, points[i], width, colour);
        if (i + 1 < points.size()) wide_segment_body(bitmap, points[i], points[i + 1], width, colour);
    }
    if (closed && points.size() > 1) wide_segment_body(bitmap, points.back(), points.front(), width, colour);
}

}  // namespace hoopcast::raster::detail
