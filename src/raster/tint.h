#pragma once
// Tinting pixels in place rather than painting over them: each channel of a pixel becomes a
// new value computed from the old one, wherever a mask or a set of runs says.

#include <array>
#include <cstddef>
#include <cstdint>

#include "raster/types.h"

namespace hoopcast::raster {

class Bitmap;
class RunSet;

// One channel's tint: the value times `factor`, rounded half to even and capped at 255, then
// times `keep`, stored as its low eight bits (so a negative value wraps round, and a keep
// of 0 clears the channel).
struct ChannelTint {
    double factor = 1;
    long long keep = 1;
};

class Tint {
  public:
    Tint(ChannelTint red, ChannelTint green, ChannelTint blue) noexcept;

    // Tints `count` pixels from p (blue, green, red bytes).
    void run(std::uint8_t* p, std::size_t count) noexcept;

  private:
    // The byte each value of one channel becomes, worked out as values turn up: the pixels
    // under a tint are mostly a handful of colours.
    class Channel {
      public:
        explicit Channel(ChannelTint rule) noexcept;
        std::uint8_t operator()(std::uint8_t v) noexcept {
            const std::int16_t t = table_[v];
            return t >= 0 ? static_cast<std::uint8_t>(t) : first(v);
        }

      private:
        std::uint8_t first(std::uint8_t v) noexcept;
        ChannelTint rule_;
        std::array<std::int16_t, 256> table_;
    };
    Channel red_, green_, blue_;
};

// Tints the pixels of `box` (right and bottom excluded) where the mask is black; the mask's
// pixel (0, 0) lies on the picture's pixel `origin`. Nothing outside the picture or the mask.
void tint_through_mask(Bitmap& picture, const Bitmap& mask, Point origin, Rect box, Tint& tint);

// Tints the pixels of `box` (right and bottom excluded) but for the runs of `except`,
// placed with their (0, 0) on the picture's pixel `origin`. Nothing outside the picture.
void tint_rect_except(Bitmap& picture, Rect box, const RunSet& except, Point origin, Tint& tint);

}  // namespace hoopcast::raster
