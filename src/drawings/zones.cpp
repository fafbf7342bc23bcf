#include "drawings/zones.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "play/rounding.h"
#include "raster/picture.h"

namespace hoopcast {

namespace {

using i64 = std::int64_t;

constexpr raster::Colour kBlack = 0x000000;
constexpr raster::Colour kDefaultTint = 0x6C6C6C;

// Zone coordinates keep only their low 16 bits, read as a signed value.
int low16(std::int32_t v) noexcept {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(v & 0xFFFF));
}

// An inclusive box of pixels; empty when left > right or top > bottom.
struct PixelBox {
    i64 left = 0;
    i64 top = 0;
    i64 right = -1;
    i64 bottom = -1;
    bool empty() const noexcept { return left > right || top > bottom; }
};

PixelBox intersect(const PixelBox& a, const PixelBox& b) noexcept {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

PixelBox widened(const PixelBox& b, i64 by) noexcept {
    return {b.left - by, b.top - by, b.right + by, b.bottom + by};
}

// The pixels shade_zone tints for a box of w x h pixels: clipped to it, then widened by one
// pixel to the right and below where there is room.
PixelBox tinted_box(int w, int h, int left, int top, int right, int bottom) noexcept {
    PixelBox b{left, top, right, bottom};
    if (w <= 0 || h <= 0) return {};
    if (b.right > w - 1) b.right = w - 1;
    if (b.bottom > h - 1) b.bottom = h - 1;
    if (b.right < w - 1) ++b.right;
    if (b.bottom < h - 1) ++b.bottom;
    if (b.top < 0) b.top = 0;
    if (b.left < 0) b.left = 0;
    return b;
}

// The byte a channel value becomes: scaled by the factor and rounded half to even, capped
// at 255, multiplied by the keep switch and cut to its low eight bits.
std::array<std::uint8_t, 256> tint_table(double factor, long long keep) noexcept {
    std::array<std::uint8_t, 256> table{};
    for (int v = 0; v < 256; ++v) {
        long long scaled = Round(static_cast<long double>(v) * static_cast<long double>(factor));
        if (scaled > 255) scaled = 255;
        table[static_cast<std::size_t>(v)] =
            static_cast<std::uint8_t>(static_cast<unsigned long long>(scaled * keep) & 0xFF);
    }
    return table;
}

double tint_factor(int channel) noexcept {
    return 1.0 + (channel - 128) / 100.0;
}

// Eight pixels of three bytes each.
constexpr std::size_t kBlockBytes = 24;

// One zone's tint of the picture's pixels.
class Tint {
  public:
    Tint(const DrawContext& ctx, int off_red, int off_green, int off_blue, raster::Colour colour) noexcept {
        const raster::Colour c = colour == 0 ? kDefaultTint : colour;
        double f_red = tint_factor(raster::red_of(c));
        double f_green = tint_factor(raster::green_of(c));
        double f_blue = tint_factor(raster::blue_of(c));
        long long keep_red = 1 - static_cast<long long>(off_red);
        long long keep_green = 1 - static_cast<long long>(off_green);
        long long keep_blue = 1 - static_cast<long long>(off_blue);
        if (ctx.monochrome) {
            f_red = f_green = f_blue = 0.8;
            keep_red = keep_green = keep_blue = 1;
        }
        // Grey tints and black and white share one table for all three channels.
        red_ = tint_table(f_red, keep_red);
        green_ = f_green == f_red && keep_green == keep_red ? red_ : tint_table(f_green, keep_green);
        blue_ = f_blue == f_red && keep_blue == keep_red       ? red_
                : f_blue == f_green && keep_blue == keep_green ? green_
                                                               : tint_table(f_blue, keep_blue);
    }

    // Tints count pixels from p. The court under a zone is mostly long runs of one colour,
    // so a pixel's tint is worked out once for the run it starts, and the run is then
    // written eight pixels at a time for as long as it lasts.
    void run(std::uint8_t* p, std::size_t count) const noexcept {
        std::uint8_t* const end = p + 3 * count;
        while (p < end) {
            const std::uint8_t b = p[0], g = p[1], r = p[2];
            const std::uint8_t tb = blue_[b], tg = green_[g], tr = red_[r];
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
                while (static_cast<std::size_t>(end - p) >= kBlockBytes && std::memcmp(p, from, kBlockBytes) == 0) {
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

  private:
    std::array<std::uint8_t, 256> red_;
    std::array<std::uint8_t, 256> green_;
    std::array<std::uint8_t, 256> blue_;
};

// Whether any of the eight bytes of v is zero.
constexpr bool has_zero_byte(std::uint64_t v) noexcept {
    return ((v - 0x0101010101010101ULL) & ~v & 0x8080808080808080ULL) != 0;
}

bool is_black(const std::uint8_t* px) noexcept {
    return (px[0] | px[1] | px[2]) == 0;
}

// Calls run(a, b) for every run a..b of black pixels of a row between columns from and to,
// whatever other colours the row holds. Eight pixels are read at a time where none of them
// can be black.
template <typename Run>
void for_each_black_run(const std::uint8_t* row, i64 from, i64 to, Run&& run) {
    i64 x = from;
    while (x <= to) {
        while (x + 8 <= to + 1) {
            std::uint64_t words[3];
            std::memcpy(words, row + 3 * x, kBlockBytes);
            if (has_zero_byte(words[0]) || has_zero_byte(words[1]) || has_zero_byte(words[2])) break;
            x += 8;
        }
        while (x <= to && !is_black(row + 3 * x)) ++x;
        if (x > to) return;
        const i64 start = x;
        while (x <= to && is_black(row + 3 * x)) ++x;
        run(start, x - 1);
    }
}

// The same for a mask that holds only black and white pixels: a pixel's first byte tells
// which it is, so the ends of the runs are found by searching bytes.
template <typename Run>
void for_each_black_run_in_mask(const std::uint8_t* row, i64 from, i64 to, Run&& run) {
    const std::uint8_t* p = row + 3 * from;
    const std::uint8_t* const end = row + 3 * (to + 1);
    while (p < end) {
        const auto* black = static_cast<const std::uint8_t*>(std::memchr(p, 0x00, static_cast<std::size_t>(end - p)));
        if (black == nullptr) return;
        const auto* white =
            static_cast<const std::uint8_t*>(std::memchr(black, 0xFF, static_cast<std::size_t>(end - black)));
        if (white == nullptr) white = end;
        run((black - row) / 3, (white - row) / 3 - 1);
        p = white;
    }
}

// Tints the picture's pixels of box wherever the mask is black; the mask's pixel (0, 0)
// lies on the picture's (origin_x, origin_y), and it covers the whole box.
template <typename Runs>
void shade_box(raster::Picture& picture, const Tint& tint, const raster::Bitmap& mask, i64 origin_x, i64 origin_y,
               const PixelBox& box, Runs&& for_each_run) {
    for (i64 y = box.top; y <= box.bottom; ++y) {
        std::uint8_t* row = picture.bitmap().scan_line(static_cast<int>(y));
        const std::uint8_t* mask_row = mask.scan_line(static_cast<int>(y - origin_y));
        for_each_run(mask_row, box.left - origin_x, box.right - origin_x, [&](i64 a, i64 b) {
            tint.run(row + 3 * (a + origin_x), static_cast<std::size_t>(b - a + 1));
        });
    }
}

// A run of pixels a..b of row y.
struct Run {
    int y, a, b;
};

// Paints black, in a black and white mask, the 4-connected white region around (x, y): what
// the raster flood fill does up to black, done over the runs of white pixels between the
// outline's pixels instead of pixel by pixel. Two runs of neighbouring rows touch when their
// columns overlap.
void flood_fill_runs(raster::Bitmap& mask, int x, int y) {
    if (!mask.contains(x, y) || is_black(mask.scan_line(y) + 3 * x)) return;
    const int w = mask.width(), h = mask.height();
    std::vector<Run> runs;
    std::vector<std::size_t> first(static_cast<std::size_t>(h) + 1);
    for (int row = 0; row < h; ++row) {
        first[static_cast<std::size_t>(row)] = runs.size();
        int next = 0;  // first column not yet in a run
        for_each_black_run_in_mask(mask.scan_line(row), 0, w - 1, [&](i64 a, i64 b) {
            if (a > next) runs.push_back({row, next, static_cast<int>(a) - 1});
            next = static_cast<int>(b) + 1;
        });
        if (next < w) runs.push_back({row, next, w - 1});
    }
    first[static_cast<std::size_t>(h)] = runs.size();

    auto row_runs = [&](int row) {
        return std::span<const Run>(runs.data() + first[static_cast<std::size_t>(row)],
                                    runs.data() + first[static_cast<std::size_t>(row) + 1]);
    };
    const std::span<const Run> start_row = row_runs(y);
    const auto start = std::find_if(start_row.begin(), start_row.end(), [&](const Run& r) { return r.b >= x; });
    std::vector<char> reached(runs.size(), 0);
    std::vector<std::size_t> stack{static_cast<std::size_t>(start - start_row.begin()) + first[static_cast<std::size_t>(y)]};
    reached[stack.back()] = 1;
    while (!stack.empty()) {
        const Run r = runs[stack.back()];
        stack.pop_back();
        for (const int row : {r.y - 1, r.y + 1}) {
            if (row < 0 || row >= h) continue;
            const std::span<const Run> next = row_runs(row);
            // Runs of a row are in order, so the first that may overlap is the first ending at or after r.a.
            auto it = std::lower_bound(next.begin(), next.end(), r.a, [](const Run& n, int a) { return n.b < a; });
            for (; it != next.end() && it->a <= r.b; ++it) {
                const std::size_t k = static_cast<std::size_t>(&*it - runs.data());
                if (reached[k] == 0) {
                    reached[k] = 1;
                    stack.push_back(k);
                }
            }
        }
    }
    for (std::size_t k = 0; k < runs.size(); ++k) {
        if (reached[k] == 0) continue;
        const Run& r = runs[k];
        std::memset(mask.scan_line(r.y) + 3 * r.a, 0, 3 * static_cast<std::size_t>(r.b - r.a + 1));
    }
}

// Reach of a zone's mask: the pixels its shape, and the tint's box, can touch, plus a margin.
// The tint's box, from truncated coordinates, lies at most one pixel left of or above the
// rounded ones the shape uses and two right of or below them. Outside this the mask would
// be white but for a flood fill that escaped the outline, and an escaped fill covers,
// within any box around the outline that keeps a one-pixel frame where the picture has
// room, the very pixels it covers on the whole picture: everything outside the outline is
// white and hangs together around it the same way in both.
constexpr i64 kMargin = 2;

// A mask over part of the picture, white, with its own drawing state.
struct PartMask {
    PixelBox area;  // in picture pixels
    raster::Picture picture;

    explicit PartMask(const PixelBox& a)
        : area(a), picture(static_cast<int>(a.right - a.left + 1), static_cast<int>(a.bottom - a.top + 1)) {}
    int x(i64 picture_x) const noexcept { return static_cast<int>(picture_x - area.left); }
    int y(i64 picture_y) const noexcept { return static_cast<int>(picture_y - area.top); }
};

struct CourtBox {
    int min_x;
    int min_y;
    int max_x;
    int max_y;
};

PixelBox tinted_box(const raster::Picture& picture, const CourtBox& box, double scale) noexcept {
    return tinted_box(picture.width(), picture.height(), Trunc(box.min_x * scale), Trunc(box.min_y * scale),
                      Trunc(box.max_x * scale), Trunc(box.max_y * scale));
}

PixelBox whole(const raster::Picture& picture) noexcept {
    return {0, 0, picture.width() - 1, picture.height() - 1};
}

void shade_from_mask(raster::Picture& picture, const DrawContext& ctx, const PartMask& mask, const PixelBox& box,
                     const element& zone) {
    const Tint tint(ctx, zone.extra1, zone.extra2, zone.extra3, zone.colour);
    // The margin keeps the tinted box inside the mask; the clip only guards the reads.
    shade_box(picture, tint, mask.picture.bitmap(), mask.area.left, mask.area.top, intersect(box, mask.area),
              [](const std::uint8_t* row, i64 from, i64 to, auto&& run) {
                  for_each_black_run_in_mask(row, from, to, run);
              });
}

void draw_ellipse_zone(raster::Picture& picture, const DrawContext& ctx, const element& e, double scale) {
    const int x1 = low16(e.x1);
    const int y1 = low16(e.y1);
    const int x2 = low16(e.x2);
    const int y2 = low16(e.y2);
    const PixelBox tinted =
        tinted_box(picture, {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)}, scale);
    if (tinted.empty()) return;

    const int px1 = Round(x1 * scale);
    const int py1 = Round(y1 * scale);
    const int px2 = Round(x2 * scale);
    const int py2 = Round(y2 * scale);
    const int start_x = Round((x1 + x2) * scale / 2);
    const int start_y = Round((y1 + y2) * scale / 2);
    const PixelBox shape{std::min({px1, px2, start_x}), std::min({py1, py2, start_y}),
                         std::max({px1, px2, start_x}), std::max({py1, py2, start_y})};
    PixelBox area = intersect(widened(shape, kMargin), whole(picture));
    // The ellipse rule traces large boxes differently, by their size against the bitmap's:
    // a box much larger than its part of the picture is drawn on a mask of the whole picture.
    const i64 reach = (area.right - area.left + 1) + (area.bottom - area.top + 1);
    if (shape.right - shape.left > reach || shape.bottom - shape.top > reach) area = whole(picture);

    PartMask mask(area);
    raster::Canvas& canvas = mask.picture.canvas();
    canvas.brush.style = raster::BrushStyle::clear;
    canvas.pen.colour = kBlack;
    canvas.ellipse(mask.x(px1), mask.y(py1), mask.x(px2), mask.y(py2));
    flood_fill_runs(mask.picture.bitmap(), mask.x(start_x), mask.y(start_y));
    canvas.brush.colour = kBlack;
    canvas.brush.style = raster::BrushStyle::solid;
    canvas.ellipse(mask.x(px1), mask.y(py1), mask.x(px2), mask.y(py2));
    shade_from_mask(picture, ctx, mask, tinted, e);
}

void draw_polygon_zone(raster::Picture& picture, const DrawContext& ctx, std::span<raster::Point> corners,
                       const CourtBox& box, double scale, const element& e) {
    const PixelBox tinted = tinted_box(picture, box, scale);
    if (tinted.empty()) return;
    PixelBox shape{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
    for (const raster::Point& p : corners) {
        shape = {std::min<i64>(shape.left, p.x), std::min<i64>(shape.top, p.y), std::max<i64>(shape.right, p.x),
                 std::max<i64>(shape.bottom, p.y)};
    }
    PartMask mask(intersect(widened(shape, kMargin), whole(picture)));
    for (raster::Point& p : corners) p = {mask.x(p.x), mask.y(p.y)};
    raster::Canvas& canvas = mask.picture.canvas();
    canvas.pen.colour = kBlack;
    canvas.brush.colour = kBlack;
    canvas.brush.style = raster::BrushStyle::solid;
    canvas.polygon(corners);
    shade_from_mask(picture, ctx, mask, tinted, e);
}

}  // namespace

void shade_zone(raster::Picture& picture, const DrawContext& ctx, const raster::Picture& mask, int left,
                int top, int right, int bottom, int off_red, int off_green, int off_blue,
                raster::Colour colour) {
    // The mask has the picture's size; should they ever differ, neither is read past its end.
    const PixelBox box = tinted_box(std::min(mask.width(), picture.width()), std::min(mask.height(), picture.height()),
                                    left, top, right, bottom);
    if (box.empty()) return;
    const Tint tint(ctx, off_red, off_green, off_blue, colour);
    shade_box(picture, tint, mask.bitmap(), 0, 0, box, [](const std::uint8_t* row, i64 from, i64 to, auto&& run) {
        for_each_black_run(row, from, to, run);
    });
}

// Each zone is drawn on a mask of its own, covering only the part of the picture it can
// reach, which gives the pixels a mask of the whole picture cleared for every zone gives.
void draw_zones(raster::Picture& picture, const DrawContext& ctx, int seq, double scale) {
    if (!ctx.play.has_zones || seq <= 0 || seq > kMaxSequences) return;
    if (picture.width() <= 0 || picture.height() <= 0) return;

    // Ellipses first.
    for (int i = 1; i <= kSlotsPerSequence; ++i) {
        const element& e = ctx.play.item(seq, i);
        if (e.kind.empty()) break;
        if (e.kind == "ellipse") draw_ellipse_zone(picture, ctx, e, scale);
    }

    // Then polygons: "poly" items add corners, a "ppoly" item adds the last one and closes.
    std::array<raster::Point, kSlotsPerSequence> corners{};
    std::size_t count = 0;
    CourtBox box{};
    for (int i = 1; i <= kSlotsPerSequence; ++i) {
        const element& e = ctx.play.item(seq, i);
        if (e.kind.empty()) break;
        const bool last = e.kind == "ppoly";
        if (!last && e.kind != "poly") continue;
        const int x = low16(e.x1);
        const int y = low16(e.y1);
        corners[count] = {Round(x * scale), Round(y * scale)};
        box = count == 0 ? CourtBox{x, y, x, y}
                         : CourtBox{std::min(box.min_x, x), std::min(box.min_y, y), std::max(box.max_x, x),
                                    std::max(box.max_y, y)};
        ++count;
        if (!last) continue;
        if (count > 2) draw_polygon_zone(picture, ctx, std::span<raster::Point>(corners.data(), count), box, scale, e);
        // Each polygon starts afresh; its box only ever needs its own corners.
        count = 0;
    }
}

}  // namespace hoopcast
