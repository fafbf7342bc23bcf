#pragma once
// Arcs as chains of one-degree chords (solid or dashed), the filled region between an arc
// and a base line, and midpoint circles. They draw with whatever pen and brush the
// picture's canvas has.

#include <array>
#include <cstddef>
#include <span>

#include "raster/types.h"

namespace hoopcast {

namespace raster {
class Canvas;
class Picture;
}  // namespace raster

// The pen's path through the points, as Canvas::polyline draws it, or with `closed` as
// Canvas::polygon outlines it (never filled). A thin pen's steps to a neighbouring pixel,
// the most common ones along arcs, are plotted as the single pixel such a line is.
void draw_outline(raster::Canvas& canvas, std::span<const raster::Point> points, bool closed) noexcept;

// x1..y2 are the ends of a diameter in pixels, unrounded. Angles in whole degrees,
// clockwise on screen from the right. The first point is reached with a move.
void draw_arc(raster::Picture& picture, int a1, int a2, double x1, double y1, double x2, double y2,
              bool dashed);
// As draw_arc, but the first point is reached with a line from the current position.
void draw_arc_to(raster::Picture& picture, int a1, int a2, double x1, double y1, double x2, double y2,
                 bool dashed);
// The polygon of fill_arc_region: the first arc point, at most 1000 further arc points, each
// differing from the one before, and the two base points. Kept in place, not allocated.
struct ArcRegion {
    std::array<raster::Point, 1 + 1000 + 2> points;
    std::size_t count = 0;
    std::span<const raster::Point> polygon() const noexcept { return {points.data(), count}; }
};
ArcRegion arc_region(int x1, int y1, int x2, int y2, int base, double scale, int a1, int a2) noexcept;

// Court units; scaled here. One polygon: the arc from a1 to a2, then (x2, base), (x1, base).
void fill_arc_region(raster::Picture& picture, int x1, int y1, int x2, int y2, int base, double scale, int a1,
                     int a2);
// Pixels. Midpoint circle outline, point by point.
void draw_circle_points(raster::Picture& picture, int cx, int cy, int r);
// Pixels. Disc in the brush colour with pen-wide rings around it.
void fill_disc(raster::Picture& picture, int cx, int cy, int r);

}  // namespace hoopcast
