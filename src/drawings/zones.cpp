#include "drawings/zones.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>

#include "play/rounding.h"
#include "raster/picture.h"

namespace hoopcast {

namespace {

constexpr raster::Colour kBlack = 0x000000;
constexpr raster::Colour kWhite = 0xFFFFFF;
constexpr raster::Colour kDefaultTint = 0x6C6C6C;

// Zone coordinates keep only their low 16 bits, read as a signed value.
int low16(std::int32_t v) noexcept {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(v & 0xFFFF));
}

// Pixels of the mask that may be black, as an inclusive box; empty when left > right.
struct Dirty {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;
    bool empty() const noexcept { return left > right || top > bottom; }
};

Dirty clip(Dirty d, const raster::Bitmap& b) noexcept {
    d.left = std::max(d.left, 0);
    d.top = std::max(d.top, 0);
    d.right = std::min(d.right, b.width() - 1);
    d.bottom = std::min(d.bottom, b.height() - 1);
    return d;
}

// Eight pixels of three bytes each.
constexpr std::size_t kBlockBytes = 24;

// Whether any of the eight bytes of v is zero.
constexpr bool has_zero_byte(std::uint64_t v) noexcept {
    return ((v - 0x0101010101010101ULL) & ~v & 0x8080808080808080ULL) != 0;
}

bool is_black(const std::uint8_t* px) noexcept {
    return (px[0] | px[1] | px[2]) == 0;
}

// The mask is cleared between zones. Only what the last zone may have blackened is
// whitened again, which leaves the whole mask white as a full clear would, at a fraction
// of the cost on large pictures.
class ZoneMask {
  public:
    ZoneMask(int width, int height) : mask_(width, height) {}

    raster::Picture& picture() noexcept { return mask_; }

    void clear() noexcept {
        raster::Canvas& canvas = mask_.canvas();
        canvas.pen.colour = kWhite;
        canvas.brush.colour = kWhite;
        canvas.brush.style = raster::BrushStyle::solid;
        const Dirty d = clip(dirty_, mask_.bitmap());
        if (!d.empty()) {
            for (int y = d.top; y <= d.bottom; ++y) {
                std::uint8_t* row = mask_.bitmap().scan_line(y);
                std::fill(row + 3 * d.left, row + 3 * (d.right + 1), std::uint8_t{0xFF});
            }
        }
        dirty_ = Dirty{};
    }

    // The outline and the fill of an ellipse stay inside its box unless the flood fill
    // escaped the outline; it can only do so through the ring of pixels around the box.
    void mark_ellipse(int x1, int y1, int x2, int y2) noexcept {
        Dirty d{std::min(x1, x2) - 1, std::min(y1, y2) - 1, std::max(x1, x2) + 1, std::max(y1, y2) + 1};
        if (ring_has_black(d)) {
            mark_all();
        } else {
            dirty_ = d;
        }
    }

    // A polygon covers its corners' box, outline included.
    void mark_box(int left, int top, int right, int bottom) noexcept {
        dirty_ = {left - 1, top - 1, right + 1, bottom + 1};
    }

    void mark_all() noexcept { dirty_ = {0, 0, mask_.width() - 1, mask_.height() - 1}; }

  private:
    // Any black pixel on the one-pixel frame just outside d (within the mask).
    bool ring_has_black(const Dirty& d) const noexcept {
        const raster::Bitmap& b = mask_.bitmap();
        const Dirty outer = clip({d.left - 1, d.top - 1, d.right + 1, d.bottom + 1}, b);
        if (outer.empty()) return false;
        for (int y = outer.top; y <= outer.bottom; ++y) {
            const std::uint8_t* row = b.scan_line(y);
            const bool full_row = y == d.top - 1 || y == d.bottom + 1;
            if (full_row) {
                for (int x = outer.left; x <= outer.right; ++x) {
                    if (is_black(row + 3 * x)) return true;
                }
            } else {
                for (int x : {d.left - 1, d.right + 1}) {
                    if (x >= outer.left && x <= outer.right && is_black(row + 3 * x)) return true;
                }
            }
        }
        return false;
    }

    raster::Picture mask_;
    Dirty dirty_;
};

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

struct ZoneBox {
    int min_x;
    int min_y;
    int max_x;
    int max_y;
};

void shade_box(raster::Picture& picture, const DrawContext& ctx, const raster::Picture& mask,
               const ZoneBox& box, double scale, const element& zone) {
    shade_zone(picture, ctx, mask, Trunc(box.min_x * scale), Trunc(box.min_y * scale),
               Trunc(box.max_x * scale), Trunc(box.max_y * scale), zone.extra1, zone.extra2, zone.extra3,
               zone.colour);
}

}  // namespace

void shade_zone(raster::Picture& picture, const DrawContext& ctx, const raster::Picture& mask, int left,
                int top, int right, int bottom, int off_red, int off_green, int off_blue,
                raster::Colour colour) {
    // The mask has the picture's size; should they ever differ, neither is read past its end.
    const int w = std::min(mask.width(), picture.width());
    const int h = std::min(mask.height(), picture.height());
    if (w <= 0 || h <= 0) return;

    // The box is widened by one pixel to the right and below where there is room.
    if (right > w - 1) right = w - 1;
    if (bottom > h - 1) bottom = h - 1;
    if (right < w - 1) ++right;
    if (bottom < h - 1) ++bottom;
    if (top < 0) top = 0;
    if (left < 0) left = 0;
    if (left > right || top > bottom) return;

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
    const std::array<std::uint8_t, 256> red = tint_table(f_red, keep_red);
    const std::array<std::uint8_t, 256> green =
        f_green == f_red && keep_green == keep_red ? red : tint_table(f_green, keep_green);
    const std::array<std::uint8_t, 256> blue = f_blue == f_red && keep_blue == keep_red ? red
                                               : f_blue == f_green && keep_blue == keep_green
                                                   ? green
                                                   : tint_table(f_blue, keep_blue);

    const std::size_t first = static_cast<std::size_t>(left) * 3;
    const std::size_t end = static_cast<std::size_t>(right + 1) * 3;
    auto tint = [&](std::uint8_t* px) {
        px[0] = blue[px[0]];
        px[1] = green[px[1]];
        px[2] = red[px[2]];
    };
    auto shade_pixels = [&](std::uint8_t* row, const std::uint8_t* mask_row, std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; i += 3) {
            if ((mask_row[i] | mask_row[i + 1] | mask_row[i + 2]) == 0) tint(row + i);
        }
    };
    for (int y = top; y <= bottom; ++y) {
        std::uint8_t* row = picture.bitmap().scan_line(y);
        const std::uint8_t* mask_row = mask.bitmap().scan_line(y);
        // Most of a zone's box is either wholly outside its shape or wholly inside, so the
        // mask is read eight pixels at a time: with no zero byte none of them is black, with
        // only zero bytes all of them are.
        std::size_t i = first;
        for (; i + kBlockBytes <= end; i += kBlockBytes) {
            std::uint64_t words[3];
            std::memcpy(words, mask_row + i, kBlockBytes);
            if (!has_zero_byte(words[0]) && !has_zero_byte(words[1]) && !has_zero_byte(words[2])) continue;
            if ((words[0] | words[1] | words[2]) == 0) {
                for (std::size_t j = i; j < i + kBlockBytes; j += 3) tint(row + j);
            } else {
                shade_pixels(row, mask_row, i, i + kBlockBytes);
            }
        }
        shade_pixels(row, mask_row, i, end);
    }
}

void draw_zones(raster::Picture& picture, const DrawContext& ctx, int seq, double scale) {
    if (!ctx.play.has_zones || seq <= 0 || seq > kMaxSequences) return;
    if (picture.width() <= 0 || picture.height() <= 0) return;

    ZoneMask zone_mask(picture.width(), picture.height());
    raster::Picture& mask = zone_mask.picture();
    raster::Canvas& canvas = mask.canvas();

    // Ellipses first, each on a clean mask.
    for (int i = 1; i <= kSlotsPerSequence; ++i) {
        const element& e = ctx.play.item(seq, i);
        if (e.kind.empty()) break;
        if (e.kind != "ellipse") continue;
        const int x1 = low16(e.x1);
        const int y1 = low16(e.y1);
        const int x2 = low16(e.x2);
        const int y2 = low16(e.y2);
        const int px1 = Round(x1 * scale);
        const int py1 = Round(y1 * scale);
        const int px2 = Round(x2 * scale);
        const int py2 = Round(y2 * scale);

        zone_mask.clear();
        canvas.brush.style = raster::BrushStyle::clear;
        canvas.pen.colour = kBlack;
        canvas.ellipse(px1, py1, px2, py2);
        canvas.brush.colour = kBlack;
        canvas.brush.style = raster::BrushStyle::solid;
        canvas.flood_fill(Round((x1 + x2) * scale / 2), Round((y1 + y2) * scale / 2), kBlack);
        canvas.pen.colour = kBlack;
        canvas.ellipse(px1, py1, px2, py2);
        zone_mask.mark_ellipse(px1, py1, px2, py2);

        const ZoneBox box{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
        shade_box(picture, ctx, mask, box, scale, e);
    }

    // Then polygons: "poly" items add corners, a "ppoly" item adds the last one and closes.
    std::array<raster::Point, kSlotsPerSequence> corners{};
    std::size_t count = 0;
    std::optional<ZoneBox> box;
    for (int i = 1; i <= kSlotsPerSequence; ++i) {
        const element& e = ctx.play.item(seq, i);
        if (e.kind.empty()) break;
        const bool last = e.kind == "ppoly";
        if (!last && e.kind != "poly") continue;
        const int x = low16(e.x1);
        const int y = low16(e.y1);
        corners[count++] = {Round(x * scale), Round(y * scale)};
        box = box ? ZoneBox{std::min(box->min_x, x), std::min(box->min_y, y), std::max(box->max_x, x),
                            std::max(box->max_y, y)}
                  : ZoneBox{x, y, x, y};
        if (!last) continue;
        if (count > 2) {
            zone_mask.clear();
            canvas.pen.colour = kBlack;
            canvas.brush.colour = kBlack;
            canvas.brush.style = raster::BrushStyle::solid;
            canvas.polygon(std::span<const raster::Point>(corners.data(), count));
            const auto [lo_x, hi_x] =
                std::minmax_element(corners.begin(), corners.begin() + static_cast<std::ptrdiff_t>(count),
                                    [](const raster::Point& a, const raster::Point& b) { return a.x < b.x; });
            const auto [lo_y, hi_y] =
                std::minmax_element(corners.begin(), corners.begin() + static_cast<std::ptrdiff_t>(count),
                                    [](const raster::Point& a, const raster::Point& b) { return a.y < b.y; });
            zone_mask.mark_box(lo_x->x, lo_y->y, hi_x->x, hi_y->y);
            shade_box(picture, ctx, mask, *box, scale, e);
        }
        // Each polygon starts afresh; its box only ever needs its own corners.
        count = 0;
        box.reset();
    }
}

}  // namespace hoopcast
