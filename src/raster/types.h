#pragma once

#include <cstdint>

#include "base/colours.h"

namespace hoopcast::raster {

using hoopcast::Colour;
inline constexpr Colour kInvalidColour = -1;

inline constexpr std::uint8_t red_of(Colour c) noexcept {
    return static_cast<std::uint8_t>(c & 0xFF);
}
inline constexpr std::uint8_t green_of(Colour c) noexcept {
    return static_cast<std::uint8_t>((c >> 8) & 0xFF);
}
inline constexpr std::uint8_t blue_of(Colour c) noexcept {
    return static_cast<std::uint8_t>((c >> 16) & 0xFF);
}
inline constexpr Colour rgb(int r, int g, int b) noexcept {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

class FontLibrary;

}  // namespace hoopcast::raster
