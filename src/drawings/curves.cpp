#include "drawings/curves.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "drawings/geometry.h"
#include "drawings/lines.h"
#include "play/rounding.h"
#include "raster/canvas.h"
#include "raster/picture.h"

namespace hoopcast {

namespace {

constexpr double kPi = 3.1415926535897932385;

enum class CurveKind { loop, screen, pass, dribble };

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
        c.x += w * points[j].x;
        c.y += w * points[j].y;
    }
    return c;
}

// How far the curve can move in court units per step: a cubic B-spline's derivative is a
// quadratic B-spline over the differences of its control points, so its speed in parameter
// units never exceeds the longest of them wherever all four weights are in play.
double reach_per_step(std::span<const TPunt> points, int n, std::int64_t N) {
    double longest = 0;
    for (int j = 1; j < n; ++j)
        longest = std::max(longest, std::hypot(static_cast<double>(points[j].x) - points[j - 1].x,
                                               static_cast<double>(points[j].y) - points[j - 1].y));
    // Generous against the rounding of the steps' parameters.
    return longest * n / static_cast<double>(N) * (1 + 1e-6) + 1e-9;
}

void draw_curve(raster::Picture& picture, const DrawContext& ctx, std::span<const TPunt> points, int factor,
                int no_mark, Colour colour, double scale, CurveKind kind, bool skip_quiet_steps = true) {
    if (points.size() < 4) return;
    raster::Canvas& canvas = picture.canvas();
    const double s = scale;
    const int saved_width = canvas.pen.width;
    const int n = static_cast<int>(std::min<std::size_t>(points.size(), 1 << 20));
    const TPunt A = points[1];
    const TPunt E = points[n - 2];
    canvas.pen.colour = ctx.monochrome ? 0x000000 : colour;
    canvas.pen.width = lines_detail::widened_pen(canvas.pen.width, factor);

    const std::int64_t k = std::max(1, Round(s));
    const std::int64_t N = n * k * (kind == CurveKind::dribble ? 200 : 25);
    const double g = static_cast<double>(N) / n;
    auto px = [&](double v) { return Round(s * v); };

    geometry::PenPath path(canvas);
    path.move_to(px(A.x), px(A.y));

    // Pass state.
    bool pen_down = true;
    TPunt T = A;
    const double U = 3 * s;
    // Dribble state.
    bool straight = true;
    bool first_side = true;
    CurvePoint L{0, 0};
    const double R = 2 * s;
    lines_detail::ArcPoints& arc_points = lines_detail::arc_points_for(R);
    const double arc_reach = R + std::max(canvas.pen.width, 1) + 2;
    const double step_reach = kind == CurveKind::dribble ? reach_per_step(points, n, N) : 0;

    // Only the steps between the chain's start and end (1 < t < n - 2) are drawn.
    const auto first_step = static_cast<std::int64_t>(std::floor(g)) + 1;
    for (std::int64_t i = first_step; i < N; ++i) {
        if (!(static_cast<double>(i) < static_cast<double>(N) - 2 * g)) break;
        if (!(g < static_cast<double>(i))) continue;
        const CurvePoint C = spline_at(parameter(n, i, N), points);
        const double cx = static_cast<double>(Round(C.x));
        const double cy = static_cast<double>(Round(C.y));
        switch (kind) {
            case CurveKind::loop:
            case CurveKind::screen:
                path.line_to(px(C.x), px(C.y));
                break;
            case CurveKind::pass: {
                if (pen_down) {
                    path.line_to(px(C.x), px(C.y));
                } else {
                    path.move_to(px(C.x), px(C.y));
                }
                if (sq(T.x - cx) + sq(T.y - cy) > U * U) {
                    T = {Round(C.x), Round(C.y)};
                    pen_down = !pen_down;
                }
                if (sq(E.x - cx) + sq(E.y - cy) < U * U) pen_down = true;
                break;
            }
            case CurveKind::dribble: {
                if (straight) {
                    path.line_to(px(C.x), px(C.y));
                } else if (sq(s * (C.x - L.x)) + sq(s * (C.y - L.y)) >= 4 * R * R) {
                    const auto theta = line_angle(s * L.x, s * L.y, s * C.x, s * C.y);
                    const int mx = Round(s * (L.x + C.x) / 2);
                    const int my = Round(s * (L.y + C.y) / 2);
                    const bool shows = mx >= -arc_reach && my >= -arc_reach &&
                                       mx <= picture.width() + arc_reach &&
                                       my <= picture.height() + arc_reach;
                    if (theta && shows) {
                        path.flush();
                        const int K = Round(*theta * 180 / kPi);
                        if (first_side) {
                            draw_arc_polyline(picture, mx, my, arc_points, K + 180, K + 360);
                        } else {
                            draw_arc_polyline(picture, mx, my, arc_points, K, K + 180);
                        }
                    }
                    first_side = !first_side;
                    path.move_to(px(C.x), px(C.y));
                    L = C;
                }
                if (straight && sq(A.x - cx) + sq(A.y - cy) > 10 * s) {
                    straight = false;
                    L = C;
                }
                if (sq(E.x - cx) + sq(E.y - cy) < sq(10 * s)) {
                    straight = true;
                    L = C;
                }
                if (skip_quiet_steps && !straight && s > 0) {
                    // Along the waves nothing happens until the curve is 2R from where the last
                    // half circle started or comes within 10s of the end (its point rounded, so
                    // up to half a diagonal nearer); steps that cannot get that far are passed.
                    constexpr double kRoundingReach = 0.7072;
                    constexpr double kMargin = 1e-6;
                    const double to_next_wave = 2 * R / s - std::hypot(C.x - L.x, C.y - L.y);
                    const double to_end = std::hypot(E.x - C.x, E.y - C.y) - kRoundingReach - 10 * s;
                    const double slack = std::min(to_next_wave, to_end) - kMargin;
                    if (slack > 0) i += static_cast<std::int64_t>(std::min(std::floor(slack / step_reach), 1e15));
                }
                break;
            }
        }
    }
    path.line_to(px(E.x), px(E.y));
    path.flush();

    if (no_mark == 0) {
        const TPunt B = points[n - 3];
        if (kind == CurveKind::screen) {
            draw_screen_bar(picture, B.x, B.y, E.x, E.y, s);
        } else {
            draw_arrow_head(picture, B.x, B.y, E.x, E.y, s);
        }
    }
    canvas.pen.width = saved_width;
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
    return spline_at(parameter(n, i, N), points.first(std::min<std::size_t>(points.size(), n)));
}

void draw_curved_loop(raster::Picture& picture, const DrawContext& ctx, std::span<const TPunt> points,
                      int factor, int no_mark, Colour colour, double scale) {
    draw_curve(picture, ctx, points, factor, no_mark, colour, scale, CurveKind::loop);
}

void draw_curved_screen(raster::Picture& picture, const DrawContext& ctx, std::span<const TPunt> points,
                        int factor, int no_mark, Colour colour, double scale) {
    draw_curve(picture, ctx, points, factor, no_mark, colour, scale, CurveKind::screen);
}

void draw_curved_pass(raster::Picture& picture, const DrawContext& ctx, std::span<const TPunt> points,
                      int factor, int no_mark, Colour colour, double scale) {
    draw_curve(picture, ctx, points, factor, no_mark, colour, scale, CurveKind::pass);
}

void draw_curved_dribble(raster::Picture& picture, const DrawContext& ctx, std::span<const TPunt> points,
                         int factor, int no_mark, Colour colour, double scale) {
    draw_curve(picture, ctx, points, factor, no_mark, colour, scale, CurveKind::dribble);
}

void curves_detail::draw_curved_dribble_every_step(raster::Picture& picture, const DrawContext& ctx,
                                                   std::span<const TPunt> points, int factor, int no_mark,
                                                   Colour colour, double scale) {
    draw_curve(picture, ctx, points, factor, no_mark, colour, scale, CurveKind::dribble, false);
}

void draw_curved_line(raster::Picture& picture, const DrawContext& ctx, std::string_view kind,
                      std::span<const TPunt> points, int extra1, int /*extra2*/, int extra3, int /*number*/,
                      Colour colour, double scale) {
    if (kind == "ploop") {
        draw_curved_loop(picture, ctx, points, extra1, extra3, colour, scale);
    } else if (kind == "pscreen") {
        draw_curved_screen(picture, ctx, points, extra1, extra3, colour, scale);
    } else if (kind == "ppass") {
        draw_curved_pass(picture, ctx, points, extra1, extra3, colour, scale);
    } else if (kind == "pdribbel") {
        draw_curved_dribble(picture, ctx, points, extra1, extra3, colour, scale);
    }
}

}  // namespace hoopcast
