#include "drawings/lines.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "base/colours.h"
#include "drawings/geometry.h"
#include "drawings/lines_internal.h"
#include "play/rounding.h"
#include "raster/canvas.h"
#include "raster/picture.h"

namespace hoopcast {

namespace {

using geometry::Vec;

// Widest pen a line may get from its width factor; far wider than any picture needs.
constexpr std::int64_t kMaxPenWidth = 1024;

// Dashes or waves skipped in one jump only when this many lie before the picture, so that
// lines starting on or near the picture are drawn step by step, pixel for pixel as without
// the jump.
constexpr double kJumpThreshold = 64;

raster::Point rounded(Vec v) {
    return {Round(v.x), Round(v.y)};
}

// The picture grown by a margin, for deciding what cannot touch it.
geometry::Box reach(const raster::Picture& picture, double margin) {
    return {-margin, -margin, picture.width() + margin, picture.height() + margin};
}

int pen_reach(const raster::Canvas& canvas) {
    return std::max(canvas.pen.width, 1) + 2;
}

// Move to a, line to b (both rounded). A piece that cannot touch the picture only moves.
void piece(raster::Picture& picture, Vec a, Vec b) {
    raster::Canvas& canvas = picture.canvas();
    const raster::Point pa = rounded(a);
    const raster::Point pb = rounded(b);
    const double m = pen_reach(canvas);
    const geometry::Box box = reach(picture, m);
    if (std::max(pa.x, pb.x) < box.x0 || std::min(pa.x, pb.x) > box.x1 || std::max(pa.y, pb.y) < box.y0 ||
        std::min(pa.y, pb.y) > box.y1) {
        canvas.move_to(pb.x, pb.y);
        return;
    }
    canvas.move_to(pa.x, pa.y);
    canvas.line_to(pb.x, pb.y);
}

// Unit-length step of the segment's direction as the routines build it: from the arctangent,
// turned round when the segment runs to the left.
Vec step_along(double theta, double length, Vec p, Vec q) {
    Vec v{length * std::cos(theta), -length * std::sin(theta)};
    if (p.x > q.x) v = {-v.x, -v.y};
    return v;
}

}  // namespace

SegmentPen::SegmentPen(raster::Canvas& canvas, const DrawContext& ctx, const LinePen& pen)
    : canvas_(canvas), saved_width_(canvas.pen.width) {
    canvas.pen.colour = ctx.monochrome ? kBlack : pen.colour;
    canvas.pen.width = lines_detail::widened_pen(canvas.pen.width, pen.width_factor);
}

SegmentPen::~SegmentPen() {
    canvas_.pen.width = saved_width_;
}

namespace lines_detail {

int widened_pen(int width, int factor) {
    const std::int64_t f = factor == 0 ? 1 : factor;
    const std::int64_t w = static_cast<std::int64_t>(width) * f;
    return static_cast<int>(std::clamp<std::int64_t>(w, 0, kMaxPenWidth));
}

int round_trig(double v) {
    // Every pixel coordinate passes through here. Within this range the floor comes from a
    // truncating conversion and the rounding from the sign of the distance to the half,
    // both exact, sparing two library calls; the result is that of the general path below.
    if (std::fabs(v) < 1073741824.0) {
        const auto t = static_cast<std::int64_t>(v);
        const std::int64_t f = static_cast<double>(t) > v ? t - 1 : t;
        const double nearest_half = static_cast<double>(f) + 0.5;
        const double d = v - nearest_half;
        // A value at the half goes to the even neighbour, as Round does.
        if (std::fabs(d) < 1e-9 * std::max(1.0, std::fabs(v))) return static_cast<int>(f + (f & 1));
        return static_cast<int>(d > 0 ? f + 1 : f);
    }
    const double nearest_half = std::floor(v) + 0.5;
    if (std::fabs(v - nearest_half) < 1e-9 * std::max(1.0, std::fabs(v))) return Round(nearest_half);
    return Round(v);
}

}  // namespace lines_detail

using lines_detail::round_trig;

std::optional<double> line_angle(double ax, double ay, double bx, double by) {
    const bool same_x = Round(100 * ax) == Round(100 * bx);
    if (same_x && Round(100 * ay) == Round(100 * by)) return std::nullopt;
    if (!same_x) return std::atan((by - ay) / (ax - bx));
    return by < ay ? std::numbers::pi / 2 : 3 * std::numbers::pi / 2;
}

std::optional<lines_detail::Barbs> lines_detail::arrow_barbs(int x1, int y1, int x2, int y2, double scale) {
    const double s = scale;
    const int L = Round(7 * s);
    const auto theta = line_angle(x1 * s, y1 * s, x2 * s, y2 * s);
    if (!theta) return std::nullopt;
    const raster::Point e{Round(x2 * s), Round(y2 * s)};
    const double t1 = *theta + std::numbers::pi / 6;
    const double t2 = t1 - std::numbers::pi / 3;
    // The arctangent points along the segment only when it runs to the right.
    const int sign = x2 >= x1 ? 1 : -1;
    auto end = [&](double t) {
        return raster::Point{geometry::offset(e.x, -sign * round_trig(L * std::cos(t))),
                             geometry::offset(e.y, sign * round_trig(L * std::sin(t)))};
    };
    return Barbs{e, {end(t1), end(t2)}};
}

void draw_arrow_head(raster::Picture& picture, int x1, int y1, int x2, int y2, double scale) {
    const auto barbs = lines_detail::arrow_barbs(x1, y1, x2, y2, scale);
    if (!barbs) return;
    raster::Canvas& canvas = picture.canvas();
    for (const raster::Point& end : barbs->ends) {
        canvas.move_to(barbs->tip.x, barbs->tip.y);
        canvas.line_to(end.x, end.y);
    }
}

void draw_screen_bar(raster::Picture& picture, int x1, int y1, int x2, int y2, double scale) {
    const double s = scale;
    const int L = Round(7 * s);
    const auto angle = line_angle(x1 * s, y1 * s, x2 * s, y2 * s);
    if (!angle) return;
    const double theta = *angle + std::numbers::pi / 2;
    const int c = round_trig(std::cos(theta) * L);
    const int n = round_trig(std::sin(theta) * L);
    const raster::Point e{Round(x2 * s), Round(y2 * s)};
    raster::Canvas& canvas = picture.canvas();
    canvas.move_to(geometry::offset(e.x, -c), geometry::offset(e.y, n));
    canvas.line_to(geometry::offset(e.x, c), geometry::offset(e.y, -n));
}

void draw_double_line(raster::Picture& picture, int X1, int Y1, int X2, int Y2, double scale) {
    const auto angle = line_angle(X1, Y1, X2, Y2);
    // Coinciding ends have no sides to offset to; the shot's arrow head alone marks it.
    if (!angle) return;
    const double theta = *angle + std::numbers::pi / 2;
    const std::int64_t h = round_trig(std::cos(theta) * scale);
    const std::int64_t k = round_trig(std::sin(theta) * scale);
    auto side = [&](std::int64_t dx, std::int64_t dy) {
        piece(picture, {static_cast<double>(X1 + dx), static_cast<double>(Y1 + dy)},
              {static_cast<double>(X2 + dx), static_cast<double>(Y2 + dy)});
    };
    side(-h, k);
    side(h, -k);
}

namespace {

// Cosine and sine of every whole degree of a turn: the wavy lines take hundreds of points per
// wave, and an angle and the same angle a turn further give the same pixel.
struct DegreeTable {
    double cos[360];
    double sin[360];
    DegreeTable() {
        for (int k = 0; k < 360; ++k) {
            cos[k] = std::cos(k * std::numbers::pi / 180);
            sin[k] = std::sin(k * std::numbers::pi / 180);
        }
    }
};

const DegreeTable& degrees() {
    static const DegreeTable table;
    return table;
}

}  // namespace

namespace {

// Centres and offsets up to this size keep the sum's rounding error and the half-way
// tolerance of round_trig far below kHalfMargin.
constexpr double kOffsetLimit = 65536;
constexpr double kHalfMargin = 1e-3;

// Nearest whole offset to v when every whole c within kOffsetLimit has
// round_trig(c + v) == c + offset: v lies clearly away from a half. Within these limits the
// sum is off by less than 1e-10 and round_trig's tolerance is below 1.4e-4, so a value more
// than kHalfMargin from a half rounds the same way with or without c.
std::optional<int> clear_offset(double v) noexcept {
    const int n = Round(v);
    // Exact: v and its nearest integer are within a factor of two of each other, or n is 0.
    const double off = std::fabs(v - n);
    if (off < 0.5 - kHalfMargin) return n;
    return std::nullopt;
}

}  // namespace

lines_detail::ArcPoints::ArcPoints(double r) noexcept
    : r_(r), usable_(r >= -kOffsetLimit && r <= kOffsetLimit) {}

bool lines_detail::ArcPoints::offsets_hold(int cx, int cy) const noexcept {
    return usable_ && cx >= -kOffsetLimit && cx <= kOffsetLimit && cy >= -kOffsetLimit && cy <= kOffsetLimit;
}

lines_detail::ArcPoints::Entry lines_detail::ArcPoints::entry(std::size_t k) noexcept {
    if (entries_[k] == Entry::unknown) {
        const DegreeTable& table = degrees();
        const auto ox = clear_offset(r_ * table.cos[k]);
        const auto oy = clear_offset(-(r_ * table.sin[k]));
        if (ox && oy) {
            dx_[k] = *ox;
            dy_[k] = *oy;
            entries_[k] = Entry::offset;
        } else {
            entries_[k] = Entry::direct;
        }
    }
    return entries_[k];
}

raster::Point lines_detail::ArcPoints::at(int cx, int cy, std::size_t k) noexcept {
    if (offsets_hold(cx, cy) && entry(k) == Entry::offset) return {cx + dx_[k], cy + dy_[k]};
    const DegreeTable& table = degrees();
    return {round_trig(cx + r_ * table.cos[k]), round_trig(cy - r_ * table.sin[k])};
}

namespace {

// Arcs kept per radius, and the largest radius and pen kept: a wavy line's half circles are
// a few pixels across, and a curve turns them at most every whole degree.
constexpr std::size_t kMaxKeptArcs = 1024;
constexpr double kMaxKeptRadius = 256;
constexpr int kMaxKeptPen = 64;

void draw_arc_points(raster::Picture& picture, int cx, int cy, lines_detail::ArcPoints& points,
                     std::int64_t first, std::int64_t last) {
    geometry::PenPath path(picture.canvas());
    std::size_t k = static_cast<std::size_t>(((first % 360) + 360) % 360);
    const raster::Point p0 = points.at(cx, cy, k);
    path.move_to(p0.x, p0.y);
    for (std::int64_t n = first + 1; n <= last; ++n) {
        k = k == 359 ? 0 : k + 1;
        const raster::Point p = points.at(cx, cy, k);
        path.line_to(p.x, p.y);
    }
}

}  // namespace

const lines_detail::ArcPoints::Drawn* lines_detail::ArcPoints::drawn(int cx, int cy, std::int64_t first,
                                                                     std::int64_t last, int width) {
    if (!offsets_hold(cx, cy) || last <= first || last - first > 361 || std::fabs(r_) > kMaxKeptRadius ||
        width > kMaxKeptPen)
        return nullptr;
    const std::int64_t from = ((first % 360) + 360) % 360;
    const std::int64_t count = last - first + 1;
    const std::uint64_t key = static_cast<std::uint64_t>(from) | static_cast<std::uint64_t>(count) << 16 |
                              static_cast<std::uint64_t>(std::max(width, 0)) << 32;
    auto found = arcs_.find(key);
    if (found == arcs_.end()) {
        // The first time an arc is only noted: a curve may turn every half circle a new way.
        if (arcs_.size() < kMaxKeptArcs) arcs_.emplace(key, Arc{});
        return nullptr;
    }
    Arc* arc = &found->second;
    if (arc->drawn || arc->wanted_before) return arc->drawn.get();
    arc->wanted_before = true;
    for (std::int64_t k = 0; k < count; ++k)
        if (entry(static_cast<std::size_t>((from + k) % 360)) != Entry::offset) return nullptr;

    // Drawn once around the middle of a small picture, with room for the pen all round.
    const int m = static_cast<int>(std::ceil(std::fabs(r_))) + std::max(width, 1) + 2;
    raster::Picture scratch(2 * m + 1, 2 * m + 1);
    scratch.canvas().pen.width = width;
    scratch.canvas().pen.colour = kBlack;
    draw_arc_points(scratch, m, m, *this, from, from + count - 1);
    const raster::Point end = scratch.canvas().position();
    arc->drawn = std::make_unique<Drawn>(
        Drawn{raster::Stamp::capture(scratch.bitmap(), kBlack, {m, m}), {end.x - m, end.y - m}});
    return arc->drawn.get();
}

lines_detail::ArcPoints& ArcCache::points_for(double r) {
    for (const auto& points : kept_)
        if (points && points->radius() == r) return *points;
    auto& slot = kept_[next_];
    next_ = (next_ + 1) % kRadii;
    slot = std::make_unique<lines_detail::ArcPoints>(r);
    return *slot;
}

void draw_arc_polyline(raster::Picture& picture, int cx, int cy, lines_detail::ArcPoints& points, int start,
                       int end) {
    const std::int64_t first = static_cast<std::int64_t>(start) - 1;
    // A full turn and its overlap is all an arc can show; more would only repeat it.
    const std::int64_t last =
        std::min<std::int64_t>(static_cast<std::int64_t>(end) + 1, static_cast<std::int64_t>(start) + 361);
    raster::Canvas& canvas = picture.canvas();
    if (const auto* drawn = points.drawn(cx, cy, first, last, canvas.pen.width)) {
        drawn->pixels.paint(picture.bitmap(), cx, cy, canvas.pen.colour);
        canvas.move_to(cx + drawn->end.x, cy + drawn->end.y);
        return;
    }
    draw_arc_points(picture, cx, cy, points, first, last);
}

void draw_arc_polyline(raster::Picture& picture, int cx, int cy, double r, int start, int end) {
    lines_detail::ArcPoints points(r);
    draw_arc_polyline(picture, cx, cy, points, start, end);
}

namespace {

// The segment itself, a straight line, or its end mark.
void straight_segment(raster::Picture& picture, const DrawContext& ctx, const LineSegment& seg, double scale,
                      SegmentMode mode, void (*mark)(raster::Picture&, int, int, int, int, double)) {
    SegmentPen pen(picture.canvas(), ctx, seg.pen);
    if (mode == SegmentMode::line) {
        piece(picture, {seg.x1 * scale, seg.y1 * scale}, {seg.x2 * scale, seg.y2 * scale});
    } else if (seg.pen.end_mark) {
        mark(picture, seg.x1, seg.y1, seg.x2, seg.y2, scale);
    }
}

}  // namespace

void draw_loop_segment(raster::Picture& picture, const DrawContext& ctx, const LineSegment& segment,
                       double scale, SegmentMode mode) {
    straight_segment(picture, ctx, segment, scale, mode, draw_arrow_head);
}

void draw_screen_segment(raster::Picture& picture, const DrawContext& ctx, const LineSegment& segment,
                         double scale, SegmentMode mode) {
    straight_segment(picture, ctx, segment, scale, mode, draw_screen_bar);
}

void draw_pass_segment(raster::Picture& picture, const DrawContext& ctx, const LineSegment& seg, double scale,
                       SegmentMode mode) {
    SegmentPen pen(picture.canvas(), ctx, seg.pen);
    if (mode == SegmentMode::mark) {
        if (seg.pen.end_mark) draw_arrow_head(picture, seg.x1, seg.y1, seg.x2, seg.y2, scale);
        return;
    }
    if (seg.x1 == seg.x2 && seg.y1 == seg.y2) return;
    const double s = scale;
    const Vec P{seg.x1 * s, seg.y1 * s};
    const Vec Q{seg.x2 * s, seg.y2 * s};
    const double len = geometry::distance(P, Q);
    const int A = Round(3 * s);
    const auto theta = line_angle(P.x, P.y, Q.x, Q.y);
    // Below a third of a pixel per court unit a dash has no length and the dash loop would
    // never end; such a pass is drawn solid.
    if (!theta || A <= 0) {
        piece(picture, P, Q);
        return;
    }
    const Vec v = step_along(*theta, 1.5 * A, P, Q);
    const double period = 3.0 * A;
    const auto visible = geometry::clip_segment(P, Q, reach(picture, pen_reach(picture.canvas()) + period));
    if (!visible) return;

    Vec cur = P;
    double sum = 0;
    if (2 * A < len) {
        piece(picture, P, P + v);
        cur = P + v;
        // Dashes wholly before the picture are stepped over in one go; every dash j up to
        // `skip` lies before visible->first, and the loop would have reached it.
        const double skip = std::floor(visible->first / period) - 2;
        if (skip > kJumpThreshold) {
            sum = period * (skip - 1);
            cur = P + v * (2 * (skip - 1) + 1);
        }
        while (len - 6 * A > sum) {
            sum += period;
            // Nothing from here on can reach the picture.
            if (sum > visible->second) return;
            cur = cur + v;
            piece(picture, cur, cur + v);
            cur = cur + v;
        }
    }
    piece(picture, cur, Q);
}

void draw_dribble_segment(raster::Picture& picture, const DrawContext& ctx, const LineSegment& seg,
                          double scale, SegmentMode mode) {
    SegmentPen pen(picture.canvas(), ctx, seg.pen);
    if (mode == SegmentMode::mark) {
        if (seg.pen.end_mark) draw_arrow_head(picture, seg.x1, seg.y1, seg.x2, seg.y2, scale);
        return;
    }
    if (seg.x1 == seg.x2 && seg.y1 == seg.y2) return;
    const double s = scale;
    const Vec P{seg.x1 * s, seg.y1 * s};
    const Vec Q{seg.x2 * s, seg.y2 * s};
    const double len = geometry::distance(P, Q);
    const double R = 2 * s;
    const auto theta = line_angle(P.x, P.y, Q.x, Q.y);
    if (!theta || !(R > 0)) {
        piece(picture, P, Q);
        return;
    }
    const Vec w = step_along(*theta, 2 * R, P, Q);
    const int K = Round(*theta * 180 / std::numbers::pi);
    const double margin = pen_reach(picture.canvas()) + 2 * R;
    const auto visible = geometry::clip_segment(P, Q, reach(picture, margin));
    if (!visible) return;
    const geometry::Box arc_box = reach(picture, margin);

    Vec cur = P;
    double sum = 0;
    if (2 * R < len) {
        piece(picture, P, P + w);
        Vec c = P + w * 0.5;
        ArcCache own_arcs;
        lines_detail::ArcPoints& arc_points = (ctx.arcs != nullptr ? *ctx.arcs : own_arcs).points_for(R);
        auto half = [&](int from, int to) {
            if (!(len - 4 * R > sum)) return;
            sum += 2 * R;
            c = c + w;
            const raster::Point m = rounded(c);
            if (m.x >= arc_box.x0 && m.x <= arc_box.x1 && m.y >= arc_box.y0 && m.y <= arc_box.y1)
                draw_arc_polyline(picture, m.x, m.y, arc_points, from, to);
        };
        // Half circles wholly before the picture are stepped over in pairs, keeping the sides.
        const double skip = 2 * std::floor(visible->first / (4 * R)) - 4;
        if (skip > kJumpThreshold) {
            sum = 2 * R * skip;
            c = P + w * 0.5 + w * skip;
        }
        do {
            half(K, K + 180);
            half(K + 180, K + 360);
            if (sum > visible->second) return;
        } while (len - 8 * R > sum);
        cur = c + w * 0.5;
    }
    piece(picture, cur, Q);
}

void draw_shot_segment(raster::Picture& picture, const DrawContext& ctx, const LineSegment& seg, double scale,
                       SegmentMode mode) {
    if (mode != SegmentMode::mark) return;
    // A shot without length has no direction for its double line or its head.
    if (seg.x1 == seg.x2 && seg.y1 == seg.y2) return;
    SegmentPen pen(picture.canvas(), ctx, seg.pen);
    const double s = scale;
    const Vec P{seg.x1 * s, seg.y1 * s};
    const Vec Q{seg.x2 * s, seg.y2 * s};
    const auto theta = line_angle(P.x, P.y, Q.x, Q.y);
    if (!theta) return;
    const Vec e = step_along(*theta, 2 * s, P, Q);
    const Vec Qb = Q - e;
    const raster::Point a = rounded(P);
    const raster::Point b = rounded(Qb);
    draw_double_line(picture, a.x, a.y, b.x, b.y, s);
    if (seg.pen.end_mark) draw_arrow_head(picture, seg.x1, seg.y1, seg.x2, seg.y2, s);
}

}  // namespace hoopcast
