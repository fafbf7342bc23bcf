// Lines: the width-1 Bresenham rule and geometric (wide) pens.

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "raster/rasterizer.h"

namespace hoopcast::raster::detail {
namespace {

__extension__ typedef __int128 i128;

// Octants are numbered 1..8 clockwise from +x with y pointing down. Where the ideal line
// passes exactly half-way between two pixels, the minor coordinate steps early only in
// octants 3, 5, 6 and 8, so a line and its reverse need not cover the same pixels.
// In the x-major octants (1, 4, 5, 8) that is when the line goes up, in the y-major ones
// (2, 3, 6, 7) when it goes left.
bool steps_early_at_tie(i64 dx, i64 dy) noexcept {
    const bool x_major = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    return x_major ? dy < 0 : dx < 0;
}

// Minor-axis offsets of the steps of a Bresenham line from step `first` on: the nearest
// pixel to t * minor / major, with an exact tie resolved by the octant rule. The first step's
// offset is computed directly, so a clipped line picks the same pixels as the whole line;
// each further step adds the slope as a whole part and a remainder.
class MinorSteps {
  public:
    MinorSteps(i64 first, i64 minor, i64 major, bool early) noexcept : den_(2 * major), step_(2 * minor) {
        const i128 num = i128{2} * first * minor + major - (early ? 0 : 1);
        i128 q = num / den_;
        if ((num % den_ != 0) && (num < 0)) --q;  // floor division; den_ > 0
        q_ = static_cast<i64>(q);
        r_ = static_cast<i64>(num - q * den_);
    }
    // The offset of the current step; moves to the next.
    i64 next() noexcept {
        const i64 offset = q_;
        r_ += step_;  // 0 <= step_ <= den_, so one carry at most
        if (r_ >= den_) r_ -= den_, ++q_;
        return offset;
    }

  private:
    i64 den_, step_, q_ = 0, r_ = 0;
};

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

void thin_line(Bitmap& bitmap, Point64 from, Point64 to, Colour colour) noexcept {
    const i64 dx = to.x - from.x;
    const i64 dy = to.y - from.y;
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
        MinorSteps steps(first, ady, adx, early);
        for (i64 t = first; t <= last; ++t) {
            const i64 y = from.y + sy * steps.next();
            if (y >= 0 && y < bitmap.height())
                bitmap.set_pixel(static_cast<int>(from.x + sx * t), static_cast<int>(y), colour);
        }
    } else {
        if (!visible_steps(from.y, sy, ady, bitmap.height(), first, last)) return;
        MinorSteps steps(first, adx, ady, early);
        for (i64 t = first; t <= last; ++t) {
            const i64 x = from.x + sx * steps.next();
            if (x >= 0 && x < bitmap.width())
                bitmap.set_pixel(static_cast<int>(x), static_cast<int>(from.y + sy * t), colour);
        }
    }
}

namespace {

// Offsets of a wide segment's two long sides from its centre line. The segment is first
// turned to point into the lower half-plane (downward, or leftward when horizontal), so a
// segment and its reverse give the same pixels. The side to the left of that direction lies
// half the width away rounded outward (away from zero), the side to the right rounded to
// nearest with halves upward; together with the fill's top-left rule this gives even
// widths their extra pixel towards the top-left.
// Offsets that should be whole numbers (axis-aligned segments, Pythagorean directions) come
// out of the division below exactly or within a few ulps; the tolerance keeps such noise
// from rounding a whole number outward by one more pixel.
constexpr double kWholeTolerance = 1e-9;
i64 round_outward(double v) noexcept {
    const double m = std::ceil(std::fabs(v) - kWholeTolerance);
    return static_cast<i64>(v < 0 ? -m : m);
}
i64 round_half_up(double v) noexcept {
    return static_cast<i64>(std::floor(v + 0.5 + kWholeTolerance));
}

struct SideOffsets {
    i64 lx, ly, rx, ry;
};

SideOffsets side_offsets(i64 step_x, i64 step_y, i64 width) noexcept {
    const double dx = static_cast<double>(step_x), dy = static_cast<double>(step_y);
    // Half the width across the direction: (dy, -dx) * width / (2 * length), dividing last.
    const double twice_length = 2 * std::hypot(dx, dy), w = static_cast<double>(width);
    const double nx = dy * w / twice_length, ny = -dx * w / twice_length;
    return {round_outward(nx), round_outward(ny), round_half_up(-nx), round_half_up(-ny)};
}

// The offsets of the last few directions of one path at one width: outlines of ellipses and
// arcs step between neighbouring pixels, so their segments share a handful of directions.
class SideOffsetMemo {
  public:
    explicit SideOffsetMemo(i64 width) noexcept : width_(width) {}

    SideOffsets get(i64 dx, i64 dy) noexcept {
        const auto slot = static_cast<std::size_t>(dx * 3 + dy * 5) & (kEntries - 1);
        Entry& e = entries_[slot];
        const unsigned bit = 1u << slot;
        if ((used_ & bit) == 0 || e.dx != dx || e.dy != dy) {
            e = Entry{dx, dy, side_offsets(dx, dy, width_)};
            used_ |= bit;
        }
        return e.offsets;
    }

  private:
    static constexpr std::size_t kEntries = 8;
    struct Entry {
        i64 dx, dy;
        SideOffsets offsets;
    };
    i64 width_;
    unsigned used_ = 0;  // one bit per entry; a path of one segment reads no more than one
    Entry entries_[kEntries];
};

// The body of a segment a -> b already turned as side_offsets expects: a quadrilateral, or
// an upright box when the segment is horizontal or vertical.
struct Body {
    Point64 corners[4];
    bool upright;
    i64 x0, y0, x1, y1;  // the box the alternate fill covers when upright, right and bottom exclusive
};

Body segment_body(Point64 a, Point64 b, const SideOffsets& o) noexcept {
    Body body{{{a.x + o.lx, a.y + o.ly},
               {b.x + o.lx, b.y + o.ly},
               {b.x + o.rx, b.y + o.ry},
               {a.x + o.rx, a.y + o.ry}},
              false,
              0,
              0,
              0,
              0};
    const Point64* c = body.corners;
    // A horizontal or vertical segment's body is an upright rectangle, which the alternate
    // fill covers from its lower to just before its higher x and y: fill that box directly.
    body.upright = (c[0].x == c[1].x && c[2].x == c[3].x && c[0].y == c[3].y && c[1].y == c[2].y) ||
                   (c[0].y == c[1].y && c[2].y == c[3].y && c[0].x == c[3].x && c[1].x == c[2].x);
    if (body.upright) {
        body.x0 = std::min(c[0].x, c[2].x), body.x1 = std::max(c[0].x, c[2].x);
        body.y0 = std::min(c[0].y, c[2].y), body.y1 = std::max(c[0].y, c[2].y);
    }
    return body;
}

void wide_segment_body(Bitmap& bitmap, Point64 a, Point64 b, SideOffsetMemo& memo, DotStamp& dot,
                       Colour colour) noexcept {
    if (a.x == b.x && a.y == b.y) return;
    if (b.y < a.y || (b.y == a.y && b.x > a.x)) std::swap(a, b);
    const i64 dx = b.x - a.x, dy = b.y - a.y;
    if (const Stamp* spans = dot.body(dx, dy)) {
        spans->paint(bitmap, a.x, a.y, colour);
        return;
    }
    const Body body = segment_body(a, b, memo.get(dx, dy));
    if (body.upright) {
        if (body.x0 < body.x1 && body.y0 < body.y1)
            fill_box(bitmap, body.x0, body.y0, body.x1 - 1, body.y1 - 1, colour);
        return;
    }
    fill_polygon_alternate(bitmap, body.corners, colour);
}

}  // namespace

void round_dot(Bitmap& bitmap, Point64 centre, i64 width, Colour colour) noexcept {
    // The dot is the filled ellipse of a width x width box; an even width puts the extra
    // pixel towards the top-left.
    const Box box{centre.x - width / 2, centre.y - width / 2, centre.x - width / 2 + width,
                  centre.y - width / 2 + width};
    draw_ellipse(bitmap, box, 1, colour, &colour);
}

DotStamp::DotStamp(i64 width) : width_(width) {
    if (width > kMaxTabulated) return;
    const int w = static_cast<int>(width);
    Bitmap scratch(w, w);
    round_dot(scratch, Point64{w / 2, w / 2}, width, kBlack);
    std::vector<RowSpan> rows;
    rows.reserve(static_cast<std::size_t>(w));
    for (int y = 0; y < w; ++y) {
        int left = -1, right = -2;
        const std::uint8_t* p = scratch.scan_line(y);
        for (int x = 0; x < w; ++x)
            if (p[3 * x] == 0 && p[3 * x + 1] == 0 && p[3 * x + 2] == 0) {
                if (left < 0) left = x;
                right = x;
            }
        if (left <= right) rows.push_back(RowSpan{y - w / 2, left - w / 2, right - w / 2});
    }
    dot_ = Stamp(std::move(rows));
}

void DotStamp::stamp(Bitmap& bitmap, Point64 centre, Colour colour) const noexcept {
    if (width_ > kMaxTabulated) {
        round_dot(bitmap, centre, width_, colour);
        return;
    }
    dot_.paint(bitmap, centre.x, centre.y, colour);
}

const Stamp* DotStamp::body(i64 dx, i64 dy) {
    if (width_ > kMaxTabulated || dx < -kMaxBodyStep || dx > kMaxBodyStep || dy < 0 || dy > kMaxBodyStep)
        return nullptr;
    constexpr std::size_t kSide = 2 * kMaxBodyStep + 1;
    if (bodies_.empty()) bodies_.resize(kSide * (kMaxBodyStep + 1));
    auto& slot = bodies_[static_cast<std::size_t>(dx + kMaxBodyStep) * (kMaxBodyStep + 1) +
                         static_cast<std::size_t>(dy)];
    if (slot) return slot.get();
    const Body b = segment_body(Point64{0, 0}, Point64{dx, dy}, side_offsets(dx, dy, width_));
    std::vector<RowSpan> rows;
    if (b.upright) {
        if (b.x0 < b.x1)
            for (i64 y = b.y0; y < b.y1; ++y)
                rows.push_back(
                    RowSpan{static_cast<int>(y), static_cast<int>(b.x0), static_cast<int>(b.x1 - 1)});
    } else {
        polygon_spans(b.corners, rows);
    }
    slot = std::make_unique<Stamp>(std::move(rows));
    return slot.get();
}

DotStamp& DotCache::get(i64 width) {
    for (const auto& s : stamps_)
        if (s->width() == width) return *s;
    if (stamps_.size() >= kMaxWidths) stamps_.clear();
    stamps_.push_back(std::make_unique<DotStamp>(width));
    return *stamps_.back();
}

namespace {

// The pixels a path's dots and short bodies cover in a box around it, one bit each: at a
// thick pen's every vertex the dot and the bodies either side overlap almost wholly, and
// collecting them first paints each pixel once. One colour throughout, so the order in which
// pixels are covered does not matter.
class Coverage {
  public:
    static constexpr std::size_t kMaxWords = std::size_t{1} << 15;

    // The box is inclusive; false when it is empty or too large to be worth it.
    bool reset(std::vector<std::uint64_t>& words, i64 left, i64 top, i64 right, i64 bottom) {
        if (left > right || top > bottom) return false;
        const auto rows = static_cast<std::size_t>(bottom - top + 1);
        const auto per_row = static_cast<std::size_t>((right - left) / 64 + 1);
        if (rows * per_row > kMaxWords) return false;
        words.assign(rows * per_row, 0);
        words_ = words.data();
        left_ = left, top_ = top, right_ = right, bottom_ = bottom;
        per_row_ = per_row;
        return true;
    }

    // Spans outside the box are painted at once.
    void add(Bitmap& bitmap, const Stamp& stamp, Point64 origin, Colour colour) noexcept {
        for (const RowSpan& r : stamp.rows()) {
            const i64 y = origin.y + r.y, x0 = origin.x + r.x0, x1 = origin.x + r.x1;
            if (y < top_ || y > bottom_ || x0 < left_ || x1 > right_) {
                paint_span(bitmap, y, x0, x1, colour);
                continue;
            }
            set(static_cast<std::size_t>(y - top_), static_cast<std::size_t>(x0 - left_),
                static_cast<std::size_t>(x1 - left_));
        }
    }

    void paint(Bitmap& bitmap, Colour colour) const noexcept {
        const std::size_t columns = static_cast<std::size_t>(right_ - left_ + 1);
        for (i64 y = top_; y <= bottom_; ++y) {
            const std::uint64_t* row = words_ + static_cast<std::size_t>(y - top_) * per_row_;
            std::size_t x = next(row, 0, true);
            while (x < columns) {
                const std::size_t end = next(row, x, false);
                paint_span(bitmap, y, left_ + static_cast<i64>(x), left_ + static_cast<i64>(end) - 1, colour);
                x = next(row, end, true);
            }
        }
    }

  private:
    void set(std::size_t row, std::size_t x0, std::size_t x1) noexcept {
        std::uint64_t* w = words_ + row * per_row_;
        const std::size_t first = x0 / 64, last = x1 / 64;
        const std::uint64_t head = ~std::uint64_t{0} << (x0 % 64);
        const std::uint64_t tail = ~std::uint64_t{0} >> (63 - x1 % 64);
        if (first == last) {
            w[first] |= head & tail;
            return;
        }
        w[first] |= head;
        for (std::size_t i = first + 1; i < last; ++i) w[i] = ~std::uint64_t{0};
        w[last] |= tail;
    }

    // First position at or after `from` whose bit is `value`; past the row when none is.
    std::size_t next(const std::uint64_t* row, std::size_t from, bool value) const noexcept {
        std::size_t i = from / 64;
        if (i >= per_row_) return per_row_ * 64;
        std::uint64_t w = (value ? row[i] : ~row[i]) & (~std::uint64_t{0} << (from % 64));
        while (w == 0) {
            if (++i == per_row_) return per_row_ * 64;
            w = value ? row[i] : ~row[i];
        }
        return i * 64 + static_cast<std::size_t>(__builtin_ctzll(w));
    }

    std::uint64_t* words_ = nullptr;
    i64 left_ = 0, top_ = 0, right_ = -1, bottom_ = -1;
    std::size_t per_row_ = 0;
};

// A path this short gains nothing from collecting its pixels first, nor one whose box
// holds many more words of bits than it has short steps.
constexpr std::size_t kCoverageMinPoints = 4;
constexpr i64 kCoverageWordsPerStep = 4;

}  // namespace

void wide_path(Bitmap& bitmap, std::span<const Point64> points, bool closed, i64 width, Colour colour,
               DotCache* dots) noexcept {
    if (points.empty()) return;
    std::unique_ptr<DotStamp> local;
    if (dots == nullptr) local = std::make_unique<DotStamp>(width);
    DotStamp& dot = dots != nullptr ? dots->get(width) : *local;
    SideOffsetMemo sides(width);

    // Every dot and body lies within the pen's width of the points. Collecting pays where
    // many short segments crowd a small box, as along curves and ellipses; a long straight
    // outline would only clear and scan bits for its few dots.
    Coverage coverage;
    std::vector<std::uint64_t> local_words;
    bool collect = false;
    if (points.size() >= kCoverageMinPoints && width <= DotStamp::kMaxTabulated) {
        i64 left = points[0].x, right = left, top = points[0].y, bottom = top;
        std::size_t short_steps = 0;
        for (std::size_t i = 0; i < points.size(); ++i) {
            const Point64& p = points[i];
            left = std::min(left, p.x), right = std::max(right, p.x), top = std::min(top, p.y),
            bottom = std::max(bottom, p.y);
            if (i > 0 && std::abs(p.x - points[i - 1].x) <= DotStamp::kMaxBodyStep &&
                std::abs(p.y - points[i - 1].y) <= DotStamp::kMaxBodyStep)
                ++short_steps;
        }
        const i64 reach = width + 2;
        left = std::max<i64>(left - reach, 0), top = std::max<i64>(top - reach, 0);
        right = std::min<i64>(right + reach, bitmap.width() - 1);
        bottom = std::min<i64>(bottom + reach, bitmap.height() - 1);
        const i64 words = (bottom - top + 1) * ((right - left) / 64 + 1);
        if (short_steps >= kCoverageMinPoints &&
            words <= kCoverageWordsPerStep * static_cast<i64>(short_steps))
            collect = coverage.reset(dots != nullptr ? dots->coverage_words() : local_words, left, top, right,
                                     bottom);
    }
    auto segment = [&](Point64 a, Point64 b) {
        if (a.x == b.x && a.y == b.y) return;
        if (b.y < a.y || (b.y == a.y && b.x > a.x)) std::swap(a, b);
        if (collect) {
            if (const Stamp* spans = dot.body(b.x - a.x, b.y - a.y)) {
                coverage.add(bitmap, *spans, a, colour);
                return;
            }
        }
        wide_segment_body(bitmap, a, b, sides, dot, colour);
    };
    for (std::size_t i = 0; i < points.size(); ++i) {
        // A repeated point's dot is there already.
        const bool repeated = i > 0 && points[i].x == points[i - 1].x && points[i].y == points[i - 1].y;
        if (!repeated) {
            if (collect) {
                coverage.add(bitmap, dot.dot(), points[i], colour);
            } else {
                dot.stamp(bitmap, points[i], colour);
            }
        }
        if (i + 1 < points.size()) segment(points[i], points[i + 1]);
    }
    if (closed && points.size() > 1) segment(points.back(), points.front());
    if (collect) coverage.paint(bitmap, colour);
}

}  // namespace hoopcast::raster::detail
