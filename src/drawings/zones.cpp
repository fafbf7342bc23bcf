#include "drawings/zones.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "play/rounding.h"
#include "raster/picture.h"
#include "raster/runs.h"
#include "raster/tint.h"

namespace hoopcast {

namespace {

using i64 = std::int64_t;

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

double tint_factor(int channel) noexcept {
    return 1.0 + (channel - 128) / 100.0;
}

// The tint a zone asks for; under monochrome every channel darkens to 80 % whatever it asks.
raster::Tint zone_tint(const DrawContext& ctx, int off_red, int off_green, int off_blue,
                       raster::Colour colour) {
    const raster::Colour c = colour == 0 ? kDefaultTint : colour;
    auto channel = [&](std::uint8_t value, int off) -> raster::ChannelTint {
        if (ctx.monochrome) return {0.8, 1};
        return {tint_factor(value), 1 - static_cast<long long>(off)};
    };
    return raster::Tint(channel(raster::red_of(c), off_red), channel(raster::green_of(c), off_green),
                        channel(raster::blue_of(c), off_blue));
}

raster::Rect rect_of(const PixelBox& b) noexcept {
    if (b.empty()) return {};
    return {static_cast<int>(b.left), static_cast<int>(b.top), static_cast<int>(b.right + 1),
            static_cast<int>(b.bottom + 1)};
}

// An ellipse's mask holds white, its black outline and its fill in grey: the flood fill,
// which only the outline stops, can then tell the two apart.
constexpr raster::Colour kFill = 0x7F7F7F;

// Work space kept from zone to zone of one call.
struct ZoneRuns {
    raster::RunFlood flood;
    raster::RunSet missed, outside;
};

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
    raster::Point origin() const noexcept {
        return {static_cast<int>(area.left), static_cast<int>(area.top)};
    }
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

void draw_ellipse_zone(raster::Picture& picture, const DrawContext& ctx, const element& e, double scale,
                       ZoneRuns& work) {
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
    // The ellipse rule traces a box by a closed form instead of walking it when the box is
    // several times the bitmap's width and height together. So that it picks alike on the
    // part and on the whole, a box larger than its part's width and height together is drawn
    // on a mask of the whole picture.
    const i64 reach = (area.right - area.left + 1) + (area.bottom - area.top + 1);
    if (shape.right - shape.left > reach || shape.bottom - shape.top > reach) area = whole(picture);

    // The zone is the outline, the fill, and what a flood fill from the centre up to the
    // outline reaches: the box but for the white pixels the flood fill misses.
    PartMask mask(area);
    raster::Canvas& canvas = mask.picture.canvas();
    canvas.pen.colour = kBlack;
    canvas.brush.colour = kFill;
    canvas.brush.style = raster::BrushStyle::solid;
    canvas.ellipse(mask.x(px1), mask.y(py1), mask.x(px2), mask.y(py2));
    const raster::Bitmap& bitmap = mask.picture.bitmap();
    work.flood.reach(bitmap, mask.x(start_x), mask.y(start_y), kBlack, nullptr, &work.missed);
    // The margin keeps the tinted box inside the mask; the clip only guards the reads.
    const PixelBox box = intersect(tinted, area);
    const PixelBox in_mask{mask.x(box.left), mask.y(box.top), mask.x(box.right), mask.y(box.bottom)};
    // The runs the flood fill misses hold no outline pixels, so all but the fill's are white.
    work.outside.clear();
    raster::find_runs(bitmap, kFill, false, rect_of(in_mask), work.missed.runs(), work.outside);
    raster::Tint tint = zone_tint(ctx, e.extra1, e.extra2, e.extra3, e.colour);
    raster::tint_rect_except(picture.bitmap(), rect_of(box), work.outside, mask.origin(), tint);
}

void draw_polygon_zone(raster::Picture& picture, const DrawContext& ctx, std::span<raster::Point> corners,
                       const CourtBox& box, double scale, const element& e) {
    const PixelBox tinted = tinted_box(picture, box, scale);
    if (tinted.empty()) return;
    PixelBox shape{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
    for (const raster::Point& p : corners) {
        shape = {std::min<i64>(shape.left, p.x), std::min<i64>(shape.top, p.y),
                 std::max<i64>(shape.right, p.x), std::max<i64>(shape.bottom, p.y)};
    }
    PartMask mask(intersect(widened(shape, kMargin), whole(picture)));
    for (raster::Point& p : corners) p = {mask.x(p.x), mask.y(p.y)};
    raster::Canvas& canvas = mask.picture.canvas();
    canvas.pen.colour = kBlack;
    canvas.brush.colour = kBlack;
    canvas.brush.style = raster::BrushStyle::solid;
    canvas.polygon(corners);
    raster::Tint tint = zone_tint(ctx, e.extra1, e.extra2, e.extra3, e.colour);
    raster::tint_through_mask(picture.bitmap(), mask.picture.bitmap(), mask.origin(), rect_of(tinted), tint);
}

}  // namespace

void shade_zone(raster::Picture& picture, const DrawContext& ctx, const raster::Picture& mask, int left,
                int top, int right, int bottom, int off_red, int off_green, int off_blue,
                raster::Colour colour) {
    // The mask has the picture's size; should they ever differ, neither is read past its end.
    const PixelBox box = tinted_box(std::min(mask.width(), picture.width()),
                                    std::min(mask.height(), picture.height()), left, top, right, bottom);
    raster::Tint tint = zone_tint(ctx, off_red, off_green, off_blue, colour);
    raster::tint_through_mask(picture.bitmap(), mask.bitmap(), {0, 0}, rect_of(box), tint);
}

// Each zone is drawn on a mask of its own, covering only the part of the picture it can
// reach, which gives the pixels a mask of the whole picture cleared for every zone gives.
void draw_zones(raster::Picture& picture, const DrawContext& ctx, int seq, double scale) {
    if (!ctx.play.has_zones || seq <= 0 || seq > kMaxSequences) return;
    if (picture.width() <= 0 || picture.height() <= 0) return;

    // Ellipses first.
    ZoneRuns runs;
    for (int i = 1; i <= kSlotsPerSequence; ++i) {
        const element& e = ctx.play.item(seq, i);
        if (e.kind.empty()) break;
        if (e.kind == "ellipse") draw_ellipse_zone(picture, ctx, e, scale, runs);
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
        if (count > 2)
            draw_polygon_zone(picture, ctx, std::span<raster::Point>(corners.data(), count), box, scale, e);
        // Each polygon starts afresh; its box only ever needs its own corners.
        count = 0;
    }
}

}  // namespace hoopcast
