#pragma once
// Movements made of several segments, drawn as one uniform cubic B-spline through the
// segment end points: loops and screens as a fine polyline, passes dashed, dribbles as
// half circles strung along the curve, with the end mark at the last point.

#include <span>
#include <string_view>

#include "drawings/context.h"
#include "drawings/lines.h"
#include "play/model.h"

namespace hoopcast {

namespace raster {
class Picture;
}

struct CurvePoint {
    double x = 0;
    double y = 0;
};

// Uniform cubic B-spline basis, non-zero on (-2, 2).
double bspline_basis(double u);
// First control point whose basis can be non-zero at step i of N (n control points).
int spline_first_index(int n, int i, int N);
// Weight of control point j at step i of N.
double spline_weight(int n, int j, int i, int N);
// The curve point of step i of N, in court units.
CurvePoint spline_point(int i, int n, int N, std::span<const TPunt> points);

// `kind` is compared exactly: "ploop", "pscreen", "ppass", "pdribbel"; anything else draws
// nothing. The points are the chain's ends with a mirrored extra point at each end (at least
// four; fewer draw nothing). The pen is the chain's first item's.
void draw_curved_line(raster::Picture& picture, const DrawContext& ctx, std::string_view kind,
                      std::span<const TPunt> points, const LinePen& pen, double scale);

void draw_curved_loop(raster::Picture& picture, const DrawContext& ctx, std::span<const TPunt> points,
                      const LinePen& pen, double scale);
void draw_curved_screen(raster::Picture& picture, const DrawContext& ctx, std::span<const TPunt> points,
                        const LinePen& pen, double scale);
void draw_curved_pass(raster::Picture& picture, const DrawContext& ctx, std::span<const TPunt> points,
                      const LinePen& pen, double scale);
void draw_curved_dribble(raster::Picture& picture, const DrawContext& ctx, std::span<const TPunt> points,
                         const LinePen& pen, double scale);

}  // namespace hoopcast
