#include "drawings/curves.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "drawings/curves_internal.h"
#include "drawings/geometry.h"
#include "drawings/lines.h"
#include "play/rounding.h"
#include "raster/canvas.h"
#include "raster/picture.h"

namespace hoopcast {

namespace {

double sq(double v) {
    return v * v;
}

// Curve parameter of step i of N in control-point units, computed as the steps were laid
// out: the step's share of the curve over one control point's share.
double parameter(int n, std::int64_t i, std::int64_t N) {
    return (static_cast<double>(i) / static_cast<double>(N)) / (1.0 / n);
}

CurvePoint spline_at(double t, std::span<const TPunt> points) {
    const int n = static_cast<int>(points.size());
    const int first = Round(t) - 2;
    CurvePoint c;
    // From Round(t) + 3 on the basis is zero.
    for (int j = std::max(first, 0); j <= first + 4 && j <= n - 1; ++j) {
        const double w = bspline_basis(j - t);
        const TPunt& p = points[static_cast<std::size_t>(j)];
        c.x += w * p.x;
        c.y += w * p.y;
    }
    return c;
}

// How far the curve can move in court units per step: a cubic B-spline's derivative is a
// quadratic B-spline over the differences of its control points, so its speed in parameter
// units never exceeds the longest of them wherever all four weights are in play.
double reach_per_step(std::span<const TPunt> points, int n, std::int64_t N) {
    double longest = 0;
    for (std::size_t j = 1; j < static_cast<std::size_t>(n); ++j)
        longest = std::max(longest, std::hypot(static_cast<double>(points[j].x) - points[j - 1].x,
                                               static_cast<double>(points[j].y) - points[j - 1].y));
    // Generous against the rounding of the steps' parameters.
    return longest * n / static_cast<double>(N) * (1 + 1e-6) + 1e-9;
}

// What the curve kinds share: the picture, the control points and the number of steps, the
// chain's start and end, and the pen's path through the curve's points, in pixels.
struct CurveFrame {
    raster::Picture& picture;
    double s;
    std::span<const TPunt> points;
    std::int64_t steps;
    TPunt start;  // the chain's first point, where the curve starts
    TPunt end;    // its last point, where the curve ends
    geometry::PenPath& path;
    ArcCache& arcs;

    int px(double v) const { return Round(s * v); }
    void line_to(CurvePoint c) { path.line_to(px(c.x), px(c.y)); }
    void move_to(CurvePoint c) { path.move_to(px(c.x), px(c.y)); }
};

// Loops and screens: a fine polyline through the steps.
struct Polyline {
    static constexpr int kStepsPerPoint = 25;

    explicit Polyline(const CurveFrame&) {}
    // Each step is given its point and that point rounded to whole court units; the result
    // is the number of further steps that can be passed over.
    std::int64_t step(CurveFrame& f, CurvePoint c, CurvePoint) {
        f.line_to(c);
        return 0;
    }
};

// Passes: the pen goes up or down whenever the curve is more than a dash's length, in whole
// court units, from where it last did, and stays down within a dash's length of the end.
struct Dashes {
    static constexpr int kStepsPerPoint = 25;
    bool pen_down = true;
    TPunt turned;   // where the pen last went up or down
    double length;  // of a dash and of a gap, in court units

    explicit Dashes(const CurveFrame& f) : turned(f.start), length(3 * f.s) {}
    std::int64_t step(CurveFrame& f, CurvePoint c, CurvePoint rounded) {
        if (pen_down) {
            f.line_to(c);
        } else {
            f.move_to(c);
        }
        if (sq(turned.x - rounded.x) + sq(turned.y - rounded.y) > length * length) {
            turned = {Round(c.x), Round(c.y)};
            pen_down = !pen_down;
        }
        if (sq(f.end.x - rounded.x) + sq(f.end.y - rounded.y) < length * length) pen_down = true;
        return 0;
    }
};

// Dribbles: straight at first, then half circles of radius 2s pixels on alternate sides,
// each on a chord of the curve 4s pixels long, and straight again near the end.
struct Waves {
    static constexpr int kStepsPerPoint = 200;
    bool straight = true;     // no half circles yet, or no more
    bool first_side = true;   // the next half circle is on the first side
    CurvePoint anchor{0, 0};  // where the last half circle ended
    double radius;            // in pixels
    lines_detail::ArcPoints& arcs;
    double arc_reach;   // how far a half circle's pixels reach from its middle
    double step_reach;  // how far the curve can move in one step, in court units
    bool skip_quiet_steps;

    explicit Waves(const CurveFrame& f, bool skip = true)
        : radius(2 * f.s),
          arcs(f.arcs.points_for(radius)),
          arc_reach(radius + std::max(f.picture.canvas().pen.width, 1) + 2),
          step_reach(reach_per_step(f.points, static_cast<int>(f.points.size()), f.steps)),
          skip_quiet_steps(skip) {}

    std::int64_t step(CurveFrame& f, CurvePoint c, CurvePoint rounded) {
        const double s = f.s;
        if (straight) {
            f.line_to(c);
        } else if (sq(s * (c.x - anchor.x)) + sq(s * (c.y - anchor.y)) >= 4 * radius * radius) {
            half_circle(f, c);
            first_side = !first_side;
            f.move_to(c);
            anchor = c;
        }
        if (straight && sq(f.start.x - rounded.x) + sq(f.start.y - rounded.y) > 10 * s) {
            straight = false;
            anchor = c;
        }
        if (sq(f.end.x - rounded.x) + sq(f.end.y - rounded.y) < sq(10 * s)) {
            straight = true;
            anchor = c;
        }
        if (!skip_quiet_steps || straight || !(s > 0)) return 0;
        // Along the waves nothing happens until the curve is 2R from where the last half
        // circle started or comes within 10s of the end (its point rounded, so up to half a
        // diagonal nearer); steps that cannot get that far are passed.
        constexpr double kRoundingReach = 0.7072;
        constexpr double kMargin = 1e-6;
        const double to_next_wave = 2 * radius / s - std::hypot(c.x - anchor.x, c.y - anchor.y);
        const double to_end = std::hypot(f.end.x - c.x, f.end.y - c.y) - kRoundingReach - 10 * s;
        const double slack = std::min(to_next_wave, to_end) - kMargin;
        return slack > 0 ? static_cast<std::int64_t>(std::min(std::floor(slack / step_reach), 1e15)) : 0;
    }

    // The half circle on the chord from the anchor to c, where it can show.
    void half_circle(CurveFrame& f, CurvePoint c) {
        const double s = f.s;
        const auto theta = line_angle(s * anchor.x, s * anchor.y, s * c.x, s * c.y);
        const int mx = Round(s * (anchor.x + c.x) / 2);
        const int my = Round(s * (anchor.y + c.y) / 2);
        const bool shows = mx >= -arc_reach && my >= -arc_reach && mx <= f.picture.width() + arc_reach &&
                           my <= f.picture.height() + arc_reach;
        if (!theta || !shows) return;
        f.path.flush();
        const int degrees = Round(*theta * 180 / std::numbers::pi);
        if (first_side) {
            draw_arc_polyline(f.picture, mx, my, arcs, degrees + 180, degrees + 360);
        } else {
            draw_arc_polyline(f.picture, mx, my, arcs, degrees, degrees + 180);
        }
    }
};

// The curve through the points in the steps of its kind, then the end mark: a screen bar, or
// an arrow head. The mark follows the last control segment, not the curve.
template <typename Stroke, typename... Options>
void draw_curve(raster::Picture& picture, const DrawContext& ctx, std::span<const TPunt> points,
                const LinePen& pen, double scale, bool bar, Options... options) {
    if (points.size() < 4) return;
    raster::Canvas& canvas = picture.canvas();
    const SegmentPen segment_pen(canvas, ctx, pen);
    const int n = static_cast<int>(std::min<std::size_t>(points.size(), 1 << 20));
    const std::int64_t k = std::max(1, Round(scale));
    const std::int64_t steps = n * k * Stroke::kStepsPerPoint;
    const double steps_per_point = static_cast<double>(steps) / n;
    geometry::PenPath path(canvas);
    ArcCache own_arcs;
    CurveFrame f{picture,
                 scale,
                 points.first(static_cast<std::size_t>(n)),
                 steps,
                 points[1],
                 points[static_cast<std::size_t>(n - 2)],
                 path,
                 ctx.arcs != nullptr ? *ctx.arcs : own_arcs};
    Stroke stroke(f, options...);

    f.move_to({static_cast<double>(f.start.x), static_cast<double>(f.start.y)});
    // Only the steps between the chain's start and end (1 < t < n - 2) are drawn.
    const auto first_step = static_cast<std::int64_t>(std::floor(steps_per_point)) + 1;
    for (std::int64_t i = first_step; i < steps; ++i) {
        if (!(static_cast<double>(i) < static_cast<double>(steps) - 2 * steps_per_point)) break;
        if (!(steps_per_point < static_cast<double>(i))) continue;
        const CurvePoint c = spline_at(parameter(n, i, steps), points);
        i += stroke.step(f, c, {static_cast<double>(Round(c.x)), static_cast<double>(Round(c.y))});
    }
    f.line_to({static_cast<double>(f.end.x), static_cast<double>(f.end.y)});
    path.flush();

    if (pen.end_mark) {
        const TPunt before = points[static_cast<std::size_t>(n - 3)];
        (bar ? draw_screen_bar : draw_arrow_head)(picture, before.x, before.y, f.end.x, f.end.y, scale);
    }
}

}  // namespace

double bspline_basis(double u) {
    if (u > -2 && u <= -1) return (u + 2) * (u + 2) * (u + 2) / 6;
    if (u > -1 && u <= 0) return (4 - 6 * u * u - 3 * u * u * u) / 6;
    if (u > 0 && u <= 1) return (4 - 6 * u * u + 3 * u * u * u) / 6;
    if (u > 1 && u < 2) return (2 - u) * (2 - u) * (2 - u) / 6;
    return 0;
}

int spline_first_index(int n, int i, int N) {
    return Round(parameter(n, i, N)) - 2;
}

double spline_weight(int n, int j, int i, int N) {
    return bspline_basis(j - parameter(n, i, N));
}

CurvePoint spline_point(int i, int n, int N, std::span<const TPunt> points) {
    if (points.empty() || n <= 0 || N <= 0) return {};
    return spline_at(parameter(n, i, N), points.first(std::min(points.size(), static_cast<std::size_t>(n))));
}

void draw_curved_loop(raster::Picture& picture, const DrawContext& ctx, std::span<const TPunt> points,
                      const LinePen& pen, double scale) {
    draw_curve<Polyline>(picture, ctx, points, pen, scale, false);
}

void draw_curved_screen(raster::Picture& picture, const DrawContext& ctx, std::span<const TPunt> points,
                        const LinePen& pen, double scale) {
    draw_curve<Polyline>(picture, ctx, points, pen, scale, true);
}

void draw_curved_pass(raster::Picture& picture, const DrawContext& ctx, std::span<const TPunt> points,
                      const LinePen& pen, double scale) {
    draw_curve<Dashes>(picture, ctx, points, pen, scale, false);
}

void draw_curved_dribble(raster::Picture& picture, const DrawContext& ctx, std::span<const TPunt> points,
                         const LinePen& pen, double scale) {
    draw_curve<Waves>(picture, ctx, points, pen, scale, false);
}

void curves_detail::draw_curved_dribble_every_step(raster::Picture& picture, const DrawContext& ctx,
                                                   std::span<const TPunt> points, const LinePen& pen,
                                                   double scale) {
    draw_curve<Waves>(picture, ctx, points, pen, scale, false, false);
}

namespace {

using CurveRoutine = void (*)(raster::Picture&, const DrawContext&, std::span<const TPunt>, const LinePen&,
                              double);
struct CurveKind {
    std::string_view name;
    CurveRoutine draw;
};
constexpr CurveKind kCurveKinds[] = {
    {"ploop", draw_curved_loop},
    {"pscreen", draw_curved_screen},
    {"ppass", draw_curved_pass},
    {"pdribbel", draw_curved_dribble},
};

}  // namespace

void draw_curved_line(raster::Picture& picture, const DrawContext& ctx, std::string_view kind,
                      std::span<const TPunt> points, const LinePen& pen, double scale) {
    for (const CurveKind& k : kCurveKinds)
        if (k.name == kind) return k.draw(picture, ctx, points, pen, scale);
}

}  // namespace hoopcast
