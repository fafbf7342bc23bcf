#pragma once
// Shaded zones: areas of the court whose pixels are tinted rather than painted over, so the
// floor and the lines below them stay visible.

#include "drawings/context.h"
#include "raster/types.h"

namespace hoopcast {

namespace raster {
class Picture;
}

// Tints the picture for every "ellipse" zone and every polygon closed by a "ppoly" item of
// sequence seq. Allocates nothing when the play has no zones.
void draw_zones(raster::Picture& picture, const DrawContext& ctx, int seq, double scale);

// Tints the pixels of the box (inclusive, in pixels) where the mask is black. The off
// switches clear a channel when 1; both they and the colour give way to a plain 20 %
// darkening under ctx.monochrome. A colour of 0 means the default grey.
void shade_zone(raster::Picture& picture, const DrawContext& ctx, const raster::Picture& mask, int left,
                int top, int right, int bottom, int off_red, int off_green, int off_blue,
                raster::Colour colour);

}  // namespace hoopcast
