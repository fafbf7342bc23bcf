#pragma once
// Arcs as chains of one-degree chords (solid or dashed), the filled region between an arc
// and a base line, and midpoint circles. They draw with whatever pen and brush the
// picture's canvas has.

namespace hoopcast {

namespace raster {
class Picture;
}

// x1..y2 are the ends of a diameter in pixels, unrounded. Angles in whole degrees,
// clockwise on screen from the right. The first point is reached with a move.
void draw_arc(raster::Picture& picture, int a1, int a2, double x1, double y1, double x2, double y2,
              bool dashed);
// As draw_arc, but the first point is reached with a line from the current position.
void draw_arc_to(raster::Picture& picture, int a1, int a2, double x1, double y1, double x2, double y2,
                 bool dashed);
// Court units; scaled here. One polygon: the arc from a1 to a2, then (x2, base), (x1, base).
void fill_arc_region(raster::Picture& picture, int x1, int y1, int x2, int y2, int base, double scale,
                     int a1, int a2);
// Pixels. Midpoint circle outline, point by point.
void draw_circle_points(raster::Picture& picture, int cx, int cy, int r);
// Pixels. Disc in the brush colour with pen-wide rings around it.
void fill_disc(raster::Picture& picture, int cx, int cy, int r);

}  // namespace hoopcast
