#pragma once
// Court units to pixels: the frame picture's size, the pen width of enlarged pictures, and
// the court position of a moving item at a given step of its sequence.

#include <cstdint>

#include "play/model.h"

namespace hoopcast {

inline constexpr int kCourtWidth = 289;   // court units, x from 0 to 288
inline constexpr int kCourtHeight = 361;  // court units, y from 0 to 360

struct PictureSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// Round(289 x scale) by Round(361 x scale); 0 x 0 before the first layout pass.
PictureSize frame_picture_size(double scale) noexcept;

// Pen width of a fresh frame picture: Trunc(scale) + 1 above 1.1, else 1.
std::int32_t frame_pen_width(double scale) noexcept;

// Scale of the full layout: the court fills the window height less 48 pixels.
double full_layout_scale(int window_height) noexcept;

// One court value in pixels: Round(value x scale).
std::int32_t court_to_pixels(double value, double scale) noexcept;

// Position of item i of sequence s at `step` of `steps` (court units). x1/y1 move towards
// the item's first point in the same slot of sequence s + 1 (motion 1); x2/y2 towards its
// own second point, where the motion pass put a partner in another slot (motion 2 and 3).
// Step 0 gives the start and never looks at sequence s + 1; step == steps gives the target.
std::int32_t calc_wrk_x1(const PlayModel& play, int s, int i, int step, int steps, double fraction) noexcept;
std::int32_t calc_wrk_y1(const PlayModel& play, int s, int i, int step, int steps, double fraction) noexcept;
std::int32_t calc_wrk_x2(const PlayModel& play, int s, int i, int step, int steps, double fraction) noexcept;
std::int32_t calc_wrk_y2(const PlayModel& play, int s, int i, int step, int steps, double fraction) noexcept;

}  // namespace hoopcast
