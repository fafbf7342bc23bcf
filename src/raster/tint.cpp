#include "raster/tint.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "raster/row_scan.h"
#include "raster/runs.h"

namespace hoopcast::raster {

namespace {

// Eight pixels of three bytes each.
constexpr std::size_t kBlockBytes = 24;

// The value times the factor, rounded half to even (the default rounding mode), capped at
// 255 and held in the int32 range below.
long long scaled(std::uint8_t v, double factor) noexcept {
    const long double x = static_cast<long double>(v) * static_cast<long double>(factor);
    if (std::isnan(x)) return 0;
    if (x >= 255) return 255;
    if (x <= std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<long long>(std::nearbyint(x));
}

Rect clipped(Rect box, const Bitmap& bitmap) noexcept {
    return {std::max(box.left, 0), std::max(box.top, 0), std::min(box.right, bitmap.width()),
            std::min(box.bottom, bitmap.height())};
}

}  // namespace

Tint::Channel::Channel(ChannelTint rule) noexcept : rule_(rule) {
    table_.fill(-1);
}

std::uint8_t Tint::Channel::first(std::uint8_t v) noexcept {
    const auto t = static_cast<std::uint8_t>(
        static_cast<unsigned long long>(scaled(v, rule_.factor) * rule_.keep) & 0xFF);
    table_[v] = t;
    return t;
}

Tint::Tint(ChannelTint red, ChannelTint green, ChannelTint blue) noexcept
    : red_(red), green_(green), blue_(blue) {}

// The pixels under a tint are mostly long runs of one colour, so a pixel's tint is worked out
// once for the run it starts, and the run is then written eight pixels at a time for as long
// as it lasts.
void Tint::run(std::uint8_t* p, std::size_t count) noexcept {
    std::uint8_t* const end = p + 3 * count;
    while (p < end) {
        const std::uint8_t b = p[0], g = p[1], r = p[2];
        const std::uint8_t tb = blue_(b), tg = green_(g), tr = red_(r);
        p[0] = tb;
        p[1] = tg;
        p[2] = tr;
        p += 3;
        if (static_cast<std::size_t>(end - p) >= kBlockBytes && p[0] == b && p[1] == g && p[2] == r) {
            std::uint8_t from[kBlockBytes];
            std::uint8_t to[kBlockBytes];
            for (std::size_t i = 0; i < kBlockBytes; i += 3) {
                from[i] = b, from[i + 1] = g, from[i + 2] = r;
                to[i] = tb, to[i + 1] = tg, to[i + 2] = tr;
            }
            while (static_cast<std::size_t>(end - p) >= kBlockBytes &&
                   std::memcmp(p, from, kBlockBytes) == 0) {
                std::memcpy(p, to, kBlockBytes);
                p += kBlockBytes;
            }
        }
        while (p < end && p[0] == b && p[1] == g && p[2] == r) {
            p[0] = tb;
            p[1] = tg;
            p[2] = tr;
            p += 3;
        }
    }
}

void tint_through_mask(Bitmap& picture, const Bitmap& mask, Point origin, Rect box, Tint& tint) {
    box = clipped(box, picture);
    // The mask's own extent, in the picture's pixels.
    box = {std::max(box.left, origin.x), std::max(box.top, origin.y),
           std::min(box.right, origin.x + mask.width()), std::min(box.bottom, origin.y + mask.height())};
    const detail::PixelPattern black(kBlack);
    for (int y = box.top; y < box.bottom; ++y) {
        std::uint8_t* row = picture.scan_line(y) + 3 * static_cast<std::ptrdiff_t>(origin.x);
        detail::for_each_run(mask.scan_line(y - origin.y), box.left - origin.x, box.right - 1 - origin.x,
                             black, true, [&](int a, int b) {
                                 tint.run(row + 3 * static_cast<std::ptrdiff_t>(a),
                                          static_cast<std::size_t>(b - a + 1));
                             });
    }
}

void tint_rect_except(Bitmap& picture, Rect box, const RunSet& except, Point origin, Tint& tint) {
    box = clipped(box, picture);
    detail::RowCursor cursor(except.runs());
    for (int y = box.top; y < box.bottom; ++y) {
        std::uint8_t* row = picture.scan_line(y) + 3 * static_cast<std::ptrdiff_t>(origin.x);
        cursor.for_each_gap(y - origin.y, box.left - origin.x, box.right - 1 - origin.x, [&](int a, int b) {
            tint.run(row + 3 * static_cast<std::ptrdiff_t>(a), static_cast<std::size_t>(b - a + 1));
        });
    }
}

}  // namespace hoopcast::raster
