#pragma once
// The fourteen court kinds: half courts with the basket at the bottom or top and full
// courts, each with a trapezoid or rectangular lane, plain or painted in the sequence's
// colours, and two blank kinds that show only the zones. Geometry is in court units.

#include <array>
#include <optional>

#include "drawings/context.h"
#include "raster/types.h"

namespace hoopcast {

namespace raster {
class Picture;
}

enum class key_shape { trapezoid, rectangle };

// Clears the picture and draws court kind `court_kind` of sequence `seq` with its zones.
// Sets ctx.monochrome for everything drawn after it (unchanged for a kind outside 0..13).
void draw_court(raster::Picture& picture, DrawContext& ctx, int court_kind, int seq, double scale);

// What draw_court sets ctx.monochrome to for `court_kind`; no value for a kind that leaves
// it as it was.
std::optional<bool> court_monochrome(int court_kind) noexcept;

// Whether draw_court paints every pixel of a picture of this size, so that it need not be
// cleared before.
bool court_paints_every_pixel(int width, int height, int screen_height) noexcept;

// Background, floor, three-point area and key colours of a sequence; 0 picks the default.
std::array<raster::Colour, 4> court_colours(const DrawContext& ctx, int seq);

void draw_half_court_bottom(raster::Picture& picture, key_shape shape, double scale);
void draw_half_court_top(raster::Picture& picture, key_shape shape, double scale);
void draw_full_court(raster::Picture& picture, key_shape shape, double scale);
void paint_half_court_bottom(raster::Picture& picture, const DrawContext& ctx, key_shape shape, int seq,
                             double scale);
void paint_half_court_top(raster::Picture& picture, const DrawContext& ctx, key_shape shape, int seq,
                          double scale);
void paint_full_court(raster::Picture& picture, const DrawContext& ctx, key_shape shape, int seq,
                      double scale);

void draw_bottom_basket(raster::Picture& picture, double scale);
void draw_top_basket(raster::Picture& picture, double scale);
void draw_full_court_baskets(raster::Picture& picture, double scale);

// Scale bands of the baskets. The thresholds are decimal values that no double holds
// exactly; a scale equal to the double nearest a threshold falls on the side where the
// decimal puts it.
bool scale_at_most_076(double scale) noexcept;
bool scale_below_085(double scale) noexcept;
bool scale_below_095(double scale) noexcept;
bool scale_below_12(double scale) noexcept;

}  // namespace hoopcast
