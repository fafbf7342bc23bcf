#pragma once
// Inside the line drawing: the small rules the tests check on their own.

#include <optional>

#include "drawings/lines.h"

namespace hoopcast {

namespace lines_detail {
// Pen width times a line's width factor (0 counts as 1), kept to a width a picture can
// show so that an absurd factor from a file neither overflows nor paints for minutes.
int widened_pen(int width, int factor);
// End points of the two barbs of an arrow head at (x2, y2), in pixels; none when the
// segment has no direction.
struct Barbs {
    raster::Point tip;
    raster::Point ends[2];
};
std::optional<Barbs> arrow_barbs(int x1, int y1, int x2, int y2, double scale);
// Round for values from sines and cosines: a value within noise of a half is taken as the
// exact half, so that mirrored angles give mirrored pixels.
int round_trig(double v);
}  // namespace lines_detail

}  // namespace hoopcast
