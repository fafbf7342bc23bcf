#pragma once
// Colours as play files store them, and the few every layer names.

#include <cstdint>

namespace hoopcast {

// 0x00BBGGRR in a signed 32-bit integer, red in the low byte.
using Colour = std::int32_t;

// The standard colours of the 16-colour palette.
inline constexpr Colour kBlack = 0x000000;
inline constexpr Colour kMaroon = 0x000080;
inline constexpr Colour kGreen = 0x008000;
inline constexpr Colour kOlive = 0x008080;
inline constexpr Colour kNavy = 0x800000;
inline constexpr Colour kPurple = 0x800080;
inline constexpr Colour kTeal = 0x808000;
inline constexpr Colour kGray = 0x808080;
inline constexpr Colour kSilver = 0xC0C0C0;
inline constexpr Colour kRed = 0x0000FF;
inline constexpr Colour kLime = 0x00FF00;
inline constexpr Colour kYellow = 0x00FFFF;
inline constexpr Colour kBlue = 0xFF0000;
inline constexpr Colour kFuchsia = 0xFF00FF;
inline constexpr Colour kAqua = 0xFFFF00;
inline constexpr Colour kWhite = 0xFFFFFF;

}  // namespace hoopcast
