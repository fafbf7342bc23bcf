#include "drawings/arcs.h"

#include <array>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <span>
#include <utility>

#include "play/rounding.h"
#include "raster/picture.h"

namespace hoopcast {

namespace {

// Angles are turned into radians with pi to extended precision, so that points on the
// axes land where the court geometry expects them.

struct Circle {
    long double cx;
    long double cy;
    long double r;
};

// Callers pass the two ends of a horizontal diameter; the sum of the distances along both
// axes is then twice the radius.
Circle circle_through(long double x1, long double y1, long double x2, long double y2) noexcept {
    return {(x1 + x2) / 2, (y1 + y2) / 2, (std::fabs(x1 - x2) + std::fabs(y1 - y2)) * 0.5L};
}

struct UnitPoint {
    long double cos;
    long double sin;
};

#if LDBL_MANT_DIG == 64
UnitPoint unit_point(int degrees) noexcept {
    const long double rad = static_cast<long double>(degrees) * std::numbers::pi_v<long double> / 180;
    return {std::cos(rad), std::sin(rad)};
}
#else
// Where long double is not x87's 80-bit type (WebAssembly's is 128 bits), the points take
// the values x87 gives: on the axes the tiny cosine or sine that x87's pi leaves decides
// which way a point exactly between two pixels goes, so those are x87's own; elsewhere
// the value rounded to x87's 64-bit mantissa.
long double to_x87_precision(long double v) noexcept {
    if (v == 0) return v;
    int exponent = 0;
    const long double mantissa = std::frexp(v, &exponent);
    return std::ldexp(std::nearbyint(std::ldexp(mantissa, 64)), exponent - 64);
}

UnitPoint unit_point(int degrees) noexcept {
    // cos and sin at -360, -270, ... 720 degrees on x87.
    static constexpr UnitPoint kQuarterTurns[] = {
        {0x8p-3L, -0xe.ce675d1fc8f8cbbp-67L},
        {0xd.8d66c2ebeb5d4c6p-66L, 0x8p-3L},
        {-0x8p-3L, 0xe.ce675d1fc8f8cbbp-68L},
        {-0xe.ce675d1fc8f8cbbp-69L, -0x8p-3L},
        {0x8p-3L, 0x0p+0L},
        {-0xe.ce675d1fc8f8cbbp-69L, 0x8p-3L},
        {-0x8p-3L, -0xe.ce675d1fc8f8cbbp-68L},
        {0xd.8d66c2ebeb5d4c6p-66L, -0x8p-3L},
        {0x8p-3L, 0xe.ce675d1fc8f8cbbp-67L},
        {-0x8.5040268cf766dfdp-64L, 0x8p-3L},
        {-0x8p-3L, -0xd.8d66c2ebeb5d4c6p-65L},
        {-0xb.0b658e8430264dcp-66L, -0x8p-3L},
        {0x8p-3L, 0xe.ce675d1fc8f8cbbp-66L},
    };
    if (degrees % 90 == 0 && degrees >= -360 && degrees <= 720) return kQuarterTurns[(degrees + 360) / 90];
    const long double pi = to_x87_precision(std::numbers::pi_v<long double>);
    const long double rad = to_x87_precision(to_x87_precision(static_cast<long double>(degrees) * pi) / 180);
    return {to_x87_precision(std::cos(rad)), to_x87_precision(std::sin(rad))};
}
#endif

// Every frame draws a few hundred arc points; the angles callers use are looked up rather
// than recomputed. Each entry is the same value unit_point gives, so results do not depend
// on the table.
constexpr int kFirstTabled = -360;
constexpr int kLastTabled = 720;

const std::array<UnitPoint, kLastTabled - kFirstTabled + 1>& unit_points() noexcept {
    static const auto table = [] {
        std::array<UnitPoint, kLastTabled - kFirstTabled + 1> t{};
        for (int a = kFirstTabled; a <= kLastTabled; ++a)
            t[static_cast<std::size_t>(a - kFirstTabled)] = unit_point(a);
        return t;
    }();
    return table;
}

raster::Point point_at(const Circle& c, int degrees) noexcept {
    const UnitPoint u = degrees >= kFirstTabled && degrees <= kLastTabled
                            ? unit_points()[static_cast<std::size_t>(degrees - kFirstTabled)]
                            : unit_point(degrees);
    return {Round(c.cx + c.r * u.cos), Round(c.cy + c.r * u.sin)};
}

}  // namespace

void draw_outline(raster::Canvas& canvas, std::span<const raster::Point> points, bool closed) noexcept {
    if (points.size() < 2) return;
    if (canvas.pen.width >= 2) {
        if (!closed) {
            canvas.polyline(points);
            return;
        }
        const raster::BrushStyle style = canvas.brush.style;
        canvas.brush.style = raster::BrushStyle::clear;
        canvas.polygon(points);
        canvas.brush.style = style;
        return;
    }
    const std::size_t segments = closed ? points.size() : points.size() - 1;
    for (std::size_t i = 0; i < segments; ++i) {
        const raster::Point a = points[i], b = points[(i + 1) % points.size()];
        const long long dx = static_cast<long long>(b.x) - a.x, dy = static_cast<long long>(b.y) - a.y;
        if (dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1) {
            if (dx != 0 || dy != 0) canvas.set_pixel(a.x, a.y, canvas.pen.colour);
        } else {
            const raster::Point line[2] = {a, b};
            canvas.polyline(line);
        }
    }
}

namespace {

// Lines and moves as the canvas takes them, with each run of lines handed over as one
// polyline: the same pixels as a line to each point (a wide pen's dots and bodies are one
// union either way), with a vertex's dot made once rather than at both of its chords.
class ChordPath {
  public:
    explicit ChordPath(raster::Canvas& canvas) noexcept : canvas_(canvas), position_(canvas.position()) {}
    ChordPath(const ChordPath&) = delete;
    ChordPath& operator=(const ChordPath&) = delete;
    ~ChordPath() {
        flush();
        canvas_.move_to(position_.x, position_.y);
    }

    void line_to(raster::Point p) noexcept {
        if (count_ == points_.size()) flush();
        if (count_ == 0) points_[count_++] = position_;
        points_[count_++] = p;
        position_ = p;
    }
    void move_to(raster::Point p) noexcept {
        flush();
        position_ = p;
    }

  private:
    void flush() noexcept {
        if (count_ >= 2) draw_outline(canvas_, std::span<const raster::Point>(points_.data(), count_), false);
        count_ = 0;
    }

    raster::Canvas& canvas_;
    raster::Point position_;
    std::array<raster::Point, 400> points_;
    std::size_t count_ = 0;
};

// One-degree chords from a1 to a2. Dashes switch on every multiple of 12 degrees, so a
// dashed circle drawn in pieces keeps one pattern whatever angle each piece starts at.
void chord_chain(raster::Canvas& canvas, const Circle& c, int a1, int a2, bool dashed,
                 bool line_to_start) noexcept {
    if (a1 > a2) std::swap(a1, a2);
    ChordPath path(canvas);
    const raster::Point first = point_at(c, a1);
    if (line_to_start) {
        path.line_to(first);
    } else {
        path.move_to(first);
    }
    bool pen_down = !dashed;
    for (int a = a1; a <= a2; ++a) {
        if (dashed && a % 12 == 0) pen_down = !pen_down;
        const raster::Point p = point_at(c, a);
        if (pen_down) {
            path.line_to(p);
        } else {
            path.move_to(p);
        }
    }
}

void plot_eight(raster::Canvas& canvas, int cx, int cy, int x, int y, bool dots) noexcept {
    const std::array<raster::Point, 8> points = {{{cx + x, cy + y},
                                                  {cx + x, cy - y},
                                                  {cx - x, cy + y},
                                                  {cx - x, cy - y},
                                                  {cx + y, cy + x},
                                                  {cx + y, cy - x},
                                                  {cx - y, cy + x},
                                                  {cx - y, cy - x}}};
    for (const raster::Point& p : points) {
        if (dots) {
            // A zero-length line with a wide pen leaves a round dot of the pen's width.
            canvas.move_to(p.x, p.y);
            canvas.line_to(p.x, p.y);
        } else {
            canvas.set_pixel(p.x, p.y, canvas.pen.colour);
        }
    }
}

void span(raster::Canvas& canvas, int x1, int y1, int x2, int y2) noexcept {
    canvas.move_to(x1, y1);
    canvas.line_to(x2, y2);
}

void plot_spans(raster::Canvas& canvas, int cx, int cy, int x, int y) noexcept {
    span(canvas, cx + x, cy + y, cx + x, cy - y);
    span(canvas, cx - x, cy + y, cx - x, cy - y);
    span(canvas, cx + y, cy + x, cx + y, cy - x);
    span(canvas, cx - y, cy + x, cx - y, cy - x);
}

// The midpoint iteration shared by the outline and the disc; `plot` gets x and y of each
// step, including the final one on the diagonal.
template <typename Plot>
void midpoint_circle(int r, Plot plot) noexcept {
    int x = 0;
    int y = r;
    long long d = 3 - 2LL * r;
    while (x < y) {
        plot(x, y);
        if (d < 0) {
            d += 4LL * x + 6;
        } else {
            d += 4LL * (x - y) + 10;
            --y;
        }
        ++x;
    }
    if (x == y) plot(x, y);
}

}  // namespace

void draw_arc(raster::Picture& picture, int a1, int a2, double x1, double y1, double x2, double y2,
              bool dashed) {
    chord_chain(picture.canvas(), circle_through(x1, y1, x2, y2), a1, a2, dashed, false);
}

void draw_arc_to(raster::Picture& picture, int a1, int a2, double x1, double y1, double x2, double y2,
                 bool dashed) {
    chord_chain(picture.canvas(), circle_through(x1, y1, x2, y2), a1, a2, dashed, true);
}

ArcRegion arc_region(int x1, int y1, int x2, int y2, int base, double scale, int a1, int a2) noexcept {
    ArcRegion region;
    auto& points = region.points;
    constexpr std::size_t kMaxArcPoints = 1000;

    const long double s = scale;
    const Circle c{
        (static_cast<long double>(x1) + x2) * s / 2, (static_cast<long double>(y1) + y2) * s / 2,
        (std::fabs(static_cast<long double>(x1) - x2) + std::fabs(static_cast<long double>(y1) - y2)) *
            (s * 0.5L)};
    if (a1 > a2) std::swap(a1, a2);

    std::size_t count = 0;
    points[count++] = point_at(c, a1);
    std::size_t appended = 0;
    for (int a = a1; a <= a2 && appended < kMaxArcPoints; ++a) {
        const raster::Point p = point_at(c, a);
        if (p != points[count - 1]) {
            points[count++] = p;
            ++appended;
        }
    }
    points[count++] = {Round(x2 * scale), Round(base * scale)};
    points[count++] = {Round(x1 * scale), Round(base * scale)};
    region.count = count;
    return region;
}

void fill_arc_region(raster::Picture& picture, int x1, int y1, int x2, int y2, int base, double scale, int a1,
                     int a2) {
    const ArcRegion region = arc_region(x1, y1, x2, y2, base, scale, a1, a2);
    picture.canvas().polygon(region.polygon());
}

void draw_circle_points(raster::Picture& picture, int cx, int cy, int r) {
    raster::Canvas& canvas = picture.canvas();
    const bool dots = canvas.pen.width >= 2;
    // Dots one pixel wider than the pen make the ring as heavy as the pen's lines.
    if (dots) ++canvas.pen.width;
    midpoint_circle(r, [&](int x, int y) { plot_eight(canvas, cx, cy, x, y, dots); });
    if (dots) --canvas.pen.width;
}

void fill_disc(raster::Picture& picture, int cx, int cy, int r) {
    raster::Canvas& canvas = picture.canvas();
    const raster::Colour pen_colour = canvas.pen.colour;
    canvas.pen.colour = canvas.brush.colour;
    midpoint_circle(r, [&](int x, int y) { plot_spans(canvas, cx, cy, x, y); });
    canvas.pen.colour = pen_colour;
    const int w = canvas.pen.width;
    for (int i = 1; i <= w; ++i) draw_circle_points(picture, cx, cy, r + i - 1);
}

}  // namespace hoopcast
