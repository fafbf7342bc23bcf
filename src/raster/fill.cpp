// Flood fill and rectangle copies.

#include <algorithm>
#include <cstring>
#include <vector>

#include "raster/rasterizer.h"

namespace hoopcast::raster::detail {
namespace {

struct Rgb {
    std::uint8_t b, g, r;
};

inline bool same(const std::uint8_t* p, Rgb c) noexcept {
    return p[0] == c.b && p[1] == c.g && p[2] == c.r;
}

struct Seed {
    int x, y;
};

}  // namespace

// Border mode: the region is the 4-connected set of pixels around the start whose colour is
// not the border colour; any other colour is painted over. Diagonal neighbours do not
// connect, so an outline closed only at a corner still holds.
//
// Span fill after Heckbert: each stacked span remembers the row it came from, so a row is
// scanned again only where the new run reaches beyond its parent. Painted pixels take the
// fill colour, which may equal a colour still to be visited, so a visited mask tells them
// apart; it and the stack are sized by the bitmap, never by the input.
void flood_fill_border(Bitmap& bitmap, int x, int y, Colour border, Colour fill) noexcept {
    if (!bitmap.contains(x, y)) return;
    const Rgb stop{blue_of(border), green_of(border), red_of(border)};
    const int w = bitmap.width(), h = bitmap.height();
    if (same(bitmap.scan_line(y) + 3 * x, stop)) return;
    // One bit per pixel: an eighth of the memory a byte mask would take and clear.
    std::vector<std::uint64_t> done((static_cast<std::size_t>(w) * static_cast<std::size_t>(h) + 63) / 64, 0);
    struct Span {
        int y, x1, x2, dy;  // parent run x1..x2 on row y; scan row y + dy
    };
    std::vector<Span> stack;
    auto push = [&](int row, int x1, int x2, int dy) {
        if (row + dy >= 0 && row + dy < h) stack.push_back({row, x1, x2, dy});
    };
    const std::uint8_t* row_pixels = nullptr;
    std::size_t row_done = 0;  // bit index of the row's first pixel
    auto is_done = [&](std::size_t bit) { return ((done[bit >> 6] >> (bit & 63)) & 1) != 0; };
    auto open = [&](int px) {
        return !is_done(row_done + static_cast<std::size_t>(px)) && !same(row_pixels + 3 * px, stop);
    };
    auto claim = [&](int row, int from, int to) {
        const std::size_t base = static_cast<std::size_t>(row) * static_cast<std::size_t>(w);
        std::size_t a = base + static_cast<std::size_t>(from);
        const std::size_t b = base + static_cast<std::size_t>(to) + 1;  // exclusive
        for (; a < b && (a & 63) != 0; ++a) done[a >> 6] |= std::uint64_t{1} << (a & 63);
        for (; a + 64 <= b; a += 64) done[a >> 6] = ~std::uint64_t{0};
        for (; a < b; ++a) done[a >> 6] |= std::uint64_t{1} << (a & 63);
        paint_span(bitmap, row, from, to, fill);
    };
    push(y, x, x, 1);
    push(y + 1, x, x, -1);
    while (!stack.empty()) {
        const Span s = stack.back();
        stack.pop_back();
        const int row = s.y + s.dy;
        row_pixels = bitmap.scan_line(row);
        row_done = static_cast<std::size_t>(row) * static_cast<std::size_t>(w);
        int px = s.x1;
        // Run through x1, extended to the left.
        int left = px;
        if (open(px)) {
            while (left > 0 && open(left - 1)) --left;
        } else {
            left = px + 1;
        }
        px = left <= s.x1 ? s.x1 : s.x1 + 1;
        if (left <= s.x1) {
            int right = s.x1;
            while (right + 1 < w && open(right + 1)) ++right;
            claim(row, left, right);
            if (left < s.x1) push(row, left, s.x1 - 1, -s.dy);
            push(row, left, right, s.dy);
            if (right > s.x2) push(row, s.x2 + 1, right, -s.dy);
            px = right + 2;
        }
        // Further runs starting inside the parent span.
        while (px <= s.x2) {
            while (px <= s.x2 && !open(px)) ++px;
            if (px > s.x2) break;
            const int start = px;
            int right = px;
            while (right + 1 < w && open(right + 1)) ++right;
            claim(row, start, right);
            push(row, start, right, s.dy);
            if (right > s.x2) push(row, s.x2 + 1, right, -s.dy);
            px = right + 2;
        }
    }
}

// Nearest-neighbour stretch: destination pixel i of n samples source pixel
// floor((2i + 1) * m / 2n) of m, which for equal sizes is a plain copy.
void stretch_copy(Bitmap& target, Rect dest, const Bitmap& source, Rect source_rect) noexcept {
    const i64 dw = i64{dest.right} - dest.left, dh = i64{dest.bottom} - dest.top;
    const i64 sw = i64{source_rect.right} - source_rect.left, sh = i64{source_rect.bottom} - source_rect.top;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || source.empty() || target.empty()) return;
    const i64 x0 = std::max<i64>(dest.left, 0), x1 = std::min<i64>(dest.right, target.width());
    const i64 y0 = std::max<i64>(dest.top, 0), y1 = std::min<i64>(dest.bottom, target.height());
    if (x0 >= x1 || y0 >= y1) return;
    __extension__ typedef __int128 i128;
    auto sample = [](i64 i, i64 n, i64 m) { return static_cast<i64>((i128{2} * i + 1) * m / (i128{2} * n)); };
    if (dw == sw && dh == sh) {
        for (i64 y = y0; y < y1; ++y) {
            const i64 sy = source_rect.top + (y - dest.top);
            if (sy < 0 || sy >= source.height()) continue;
            // Columns that fall inside the source.
            i64 a = x0, b = x1;
            a = std::max<i64>(a, dest.left - source_rect.left);
            b = std::min<i64>(b, dest.left - source_rect.left + source.width());
            if (a >= b) continue;
            const i64 sx = source_rect.left + (a - dest.left);
            std::memmove(target.scan_line(static_cast<int>(y)) + 3 * a,
                         source.scan_line(static_cast<int>(sy)) + 3 * sx,
                         static_cast<std::size_t>(3 * (b - a)));
        }
        return;
    }
    for (i64 y = y0; y < y1; ++y) {
        const i64 sy = source_rect.top + sample(y - dest.top, dh, sh);
        if (sy < 0 || sy >= source.height()) continue;
        const std::uint8_t* src = source.scan_line(static_cast<int>(sy));
        std::uint8_t* dst = target.scan_line(static_cast<int>(y));
        for (i64 x = x0; x < x1; ++x) {
            const i64 sx = source_rect.left + sample(x - dest.left, dw, sw);
            if (sx < 0 || sx >= source.width()) continue;
            std::memcpy(dst + 3 * x, src + 3 * sx, 3);
        }
    }
}

}  // namespace hoopcast::raster::detail
