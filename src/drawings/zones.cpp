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

// Eight pixels of three bytes each.
constexpr std::size_t kBlockBytes = 24;

// The byte a channel value becomes: scaled by the factor and rounded half to even, capped at
// 255, multiplied by the keep switch and cut to its low eight bits. Values are worked out as
// they turn up, since the court under a zone has only a handful of colours.
class ChannelTint {
  public:
    ChannelTint(double factor, long long keep) noexcept : factor_(factor), keep_(keep) { table_.fill(-1); }

    std::uint8_t operator()(std::uint8_t v) noexcept {
        std::int16_t& t = table_[v];
        if (t < 0) {
            long long scaled = Round(static_cast<long double>(v) * static_cast<long double>(factor_));
            if (scaled > 255) scaled = 255;
            t = static_cast<std::int16_t>(static_cast<unsigned long long>(scaled * keep_) & 0xFF);
        }
        return static_cast<std::uint8_t>(t);
    }

  private:
    double factor_;
    long long keep_;
    std::array<std::int16_t, 256> table_;
};

double tint_factor(int channel) noexcept {
    return 1.0 + (channel - 128) / 100.0;
}

// One zone's tint of the picture's pixels.
class Tint {
  public:
    Tint(const DrawContext& ctx, int off_red, int off_green, int off_blue, raster::Colour colour) noexcept
        : red_(factor(ctx, colour, raster::red_of), keep(ctx, off_red)),
          green_(factor(ctx, colour, raster::green_of), keep(ctx, off_green)),
          blue_(factor(ctx, colour, raster::blue_of), keep(ctx, off_blue)) {}

    // Tints count pixels from p. The court under a zone is mostly long runs of one colour,
    // so a pixel's tint is worked out once for the run it starts, and the run is then
    // written eight pixels at a time for as long as it lasts.
    void run(std::uint8_t* p, std::size_t count) noexcept {
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
    // Under monochrome every channel darkens to 80 % whatever the zone asks.
    static double factor(const DrawContext& ctx, raster::Colour colour, std::uint8_t (*channel)(raster::Colour)) {
        return ctx.monochrome ? 0.8 : tint_factor(channel(colour == 0 ? kDefaultTint : colour));
    }
    static long long keep(const DrawContext& ctx, int off) { return ctx.monochrome ? 1 : 1 - static_cast<long long>(off); }

    ChannelTint red_;
    ChannelTint green_;
    ChannelTint blue_;
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
template <typename Emit>
void for_each_black_run(const std::uint8_t* row, i64 from, i64 to, Emit&& run) {
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
template <typename Emit>
void for_each_black_run_in_mask(const std::uint8_t* row, i64 from, i64 to, Emit&& run) {
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
void shade_box(raster::Picture& picture, Tint& tint, const raster::Bitmap& mask, i64 origin_x, i64 origin_y,
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

// An ellipse's mask holds white, its black outline and its fill in this grey, which has no
// byte in common with either: black pixels are then the only ones with a zero byte and
// white ones the only ones with a 0xFF byte, so both are found by searching bytes.
constexpr raster::Colour kFill = 0x7F7F7F;

// Runs of an ellipse's mask, kept from zone to zone of one call.
struct EllipseRuns {
    std::vector<Run> open;           // runs of pixels other than black, row by row
    std::vector<std::size_t> first;  // index in open of each row's first run, then the end
    std::vector<char> reached;       // per run of open: filled from the start point
    std::vector<std::size_t> stack;
};

// The flood fill up to black from (x, y), as the raster flood fill does it on a mask with
// only the outline drawn (the grey fill counts as white to it), but over the runs of pixels
// between the outline's pixels rather than pixel by pixel: two runs of neighbouring rows
// touch when their columns overlap. Leaves the runs it reaches marked; false when the start
// is off the mask or on the outline, where the fill does nothing.
bool flood_fill_runs(const raster::Bitmap& mask, int x, int y, EllipseRuns& r) {
    if (!mask.contains(x, y) || mask.scan_line(y)[3 * x] == 0) return false;
    const int w = mask.width(), h = mask.height();
    r.open.clear();
    r.first.resize(static_cast<std::size_t>(h) + 1);
    for (int row = 0; row < h; ++row) {
        r.first[static_cast<std::size_t>(row)] = r.open.size();
        const std::uint8_t* pixels = mask.scan_line(row);
        const std::uint8_t* const end = pixels + 3 * w;
        int next = 0;  // first column not yet in a run
        while (next < w) {
            const auto* black = static_cast<const std::uint8_t*>(
                std::memchr(pixels + 3 * next, 0x00, static_cast<std::size_t>(end - (pixels + 3 * next))));
            if (black == nullptr) break;
            int a = static_cast<int>((black - pixels) / 3);
            if (a > next) r.open.push_back({row, next, a - 1});
            while (a < w && pixels[3 * a] == 0) ++a;
            next = a;
        }
        if (next < w) r.open.push_back({row, next, w - 1});
    }
    r.first[static_cast<std::size_t>(h)] = r.open.size();

    auto row_runs = [&](int row) {
        return std::span<const Run>(r.open.data() + r.first[static_cast<std::size_t>(row)],
                                    r.open.data() + r.first[static_cast<std::size_t>(row) + 1]);
    };
    const std::span<const Run> start_row = row_runs(y);
    const auto start = std::find_if(start_row.begin(), start_row.end(), [&](const Run& run) { return run.b >= x; });
    r.reached.assign(r.open.size(), 0);
    r.stack.assign(1, static_cast<std::size_t>(&*start - r.open.data()));
    r.reached[r.stack.back()] = 1;
    while (!r.stack.empty()) {
        const Run run = r.open[r.stack.back()];
        r.stack.pop_back();
        for (const int row : {run.y - 1, run.y + 1}) {
            if (row < 0 || row >= h) continue;
            const std::span<const Run> next = row_runs(row);
            // Runs of a row are in order, so the first that may overlap is the first ending at or after run.a.
            auto it = std::lower_bound(next.begin(), next.end(), run.a, [](const Run& n, int a) { return n.b < a; });
            for (; it != next.end() && it->a <= run.b; ++it) {
                const std::size_t k = static_cast<std::size_t>(&*it - r.open.data());
                if (r.reached[k] == 0) {
                    r.reached[k] = 1;
                    r.stack.push_back(k);
                }
            }
        }
    }
    return true;
}

// Calls run(a, b) for every run a..b of pixels other than white of an ellipse's mask row
// between columns from and to.
template <typename Emit>
void for_each_drawn_run(const std::uint8_t* row, int from, int to, Emit&& run) {
    int x = from;
    while (x <= to) {
        // White stretches eight pixels at a time, then pixel by pixel.
        while (x + 8 <= to + 1) {
            std::uint64_t words[3];
            std::memcpy(words, row + 3 * x, kBlockBytes);
            if ((words[0] & words[1] & words[2]) != ~std::uint64_t{0}) break;
            x += 8;
        }
        while (x <= to && row[3 * x] == 0xFF) ++x;
        if (x > to) return;
        const auto* white =
            static_cast<const std::uint8_t*>(std::memchr(row + 3 * x, 0xFF, static_cast<std::size_t>(3 * (to + 1 - x))));
        const int end = white == nullptr ? to + 1 : static_cast<int>((white - row) / 3);
        run(x, end - 1);
        x = end;
    }
}

// Joins runs handed over from left to right where one ends next to the other, and passes
// on the joined ones.
template <typename Emit>
class RunJoiner {
  public:
    explicit RunJoiner(Emit& emit) : emit_(emit) {}
    ~RunJoiner() { flush(); }
    RunJoiner(const RunJoiner&) = delete;
    RunJoiner& operator=(const RunJoiner&) = delete;

    void operator()(int a, int b) {
        if (open_ && a == b_ + 1) {
            b_ = b;
            return;
        }
        flush();
        a_ = a, b_ = b, open_ = true;
    }

  private:
    void flush() {
        if (open_) emit_(a_, b_);
        open_ = false;
    }
    Emit& emit_;
    int a_ = 0, b_ = -1;
    bool open_ = false;
};

// The zone's pixels of one mask row between columns from and to: the outline, the fill and
// what the flood fill reached. Between the runs the flood fill saw lie the outline's pixels;
// of a run it did not reach, only the grey fill's pixels count.
template <typename Emit>
void for_each_zone_run(const raster::Bitmap& mask, const EllipseRuns& r, bool flooded, int row, int from, int to,
                       Emit&& emit) {
    const std::uint8_t* pixels = mask.scan_line(row);
    RunJoiner join(emit);
    if (!flooded) {
        for_each_drawn_run(pixels, from, to, join);
        return;
    }
    int x = from;  // first column not yet handed on
    for (std::size_t k = r.first[static_cast<std::size_t>(row)]; k < r.first[static_cast<std::size_t>(row) + 1]; ++k) {
        const Run& run = r.open[k];
        if (run.b < from) continue;
        if (run.a > to) break;
        const int a = std::max(run.a, from), b = std::min(run.b, to);
        if (a > x) join(x, a - 1);
        if (r.reached[k] != 0) {
            join(a, b);
        } else {
            for_each_drawn_run(pixels, a, b, join);
        }
        x = b + 1;
    }
    if (x <= to) join(x, to);
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
    Tint tint(ctx, zone.extra1, zone.extra2, zone.extra3, zone.colour);
    // The margin keeps the tinted box inside the mask; the clip only guards the reads.
    shade_box(picture, tint, mask.picture.bitmap(), mask.area.left, mask.area.top, intersect(box, mask.area),
              [](const std::uint8_t* row, i64 from, i64 to, auto&& run) {
                  for_each_black_run_in_mask(row, from, to, run);
              });
}

void draw_ellipse_zone(raster::Picture& picture, const DrawContext& ctx, const element& e, double scale,
                       EllipseRuns& runs) {
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

    // Outline and fill are drawn at once, the fill in grey so that the flood fill, which
    // only the outline stops, can tell them apart; then the flood fill, the fill and the
    // outline together make the zone.
    PartMask mask(area);
    raster::Canvas& canvas = mask.picture.canvas();
    canvas.pen.colour = kBlack;
    canvas.brush.colour = kFill;
    canvas.brush.style = raster::BrushStyle::solid;
    canvas.ellipse(mask.x(px1), mask.y(py1), mask.x(px2), mask.y(py2));
    const raster::Bitmap& bitmap = mask.picture.bitmap();
    const bool flooded = flood_fill_runs(bitmap, mask.x(start_x), mask.y(start_y), runs);

    Tint tint(ctx, e.extra1, e.extra2, e.extra3, e.colour);
    // The margin keeps the tinted box inside the mask; the clip only guards the reads.
    const PixelBox box = intersect(tinted, area);
    const int from = mask.x(box.left), to = mask.x(box.right);
    for (i64 y = box.top; y <= box.bottom; ++y) {
        std::uint8_t* pixels = picture.bitmap().scan_line(static_cast<int>(y)) + 3 * area.left;
        for_each_zone_run(bitmap, runs, flooded, mask.y(y), from, to, [&](int a, int b) {
            tint.run(pixels + 3 * a, static_cast<std::size_t>(b - a + 1));
        });
    }
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
    Tint tint(ctx, off_red, off_green, off_blue, colour);
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
    EllipseRuns runs;
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
        if (count > 2) draw_polygon_zone(picture, ctx, std::span<raster::Point>(corners.data(), count), box, scale, e);
        // Each polygon starts afresh; its box only ever needs its own corners.
        count = 0;
    }
}

}  // namespace hoopcast
