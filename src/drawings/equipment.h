#pragma once
// Ball, coach mark, ball rack, pylon and free text items. Positions are the top-left corner
// of the item's 21 x 21 unit cell, in court units.

#include <string_view>

#include "drawings/context.h"
#include "play/model.h"

namespace hoopcast {

namespace raster {
class Picture;
}

void draw_ball(raster::Picture& picture, const DrawContext& ctx, int x, int y, Colour colour, double scale);
void draw_ball_filled(raster::Picture& picture, const DrawContext& ctx, int x, int y, Colour colour,
                      double scale);
void draw_coach(raster::Picture& picture, const DrawContext& ctx, int x, int y, Colour colour, double scale);
void draw_rack(raster::Picture& picture, const DrawContext& ctx, int x, int y, Colour colour, double scale);
void draw_pylon(raster::Picture& picture, const DrawContext& ctx, int x, int y, Colour colour, double scale);

// `text` and `font_name` are the play's Windows-1252 bytes; lines are separated by CR LF.
// Style bits: 1 bold, 2 italic, 4 underline, 8 strike-out.
void draw_text(raster::Picture& picture, const DrawContext& ctx, std::string_view text,
               std::string_view font_name, int x, int y, int font_size, int style_bits, Colour colour,
               double scale);

}  // namespace hoopcast
