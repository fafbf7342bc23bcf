#pragma once
// Conversions from real numbers to integers, used wherever a computed position or size
// becomes a pixel or court coordinate. Round is to nearest with halves to even (the
// floating-point default); Trunc drops the fraction. Both saturate at the int32 range so
// that absurd values from a play file never overflow.

#include <cmath>
#include <cstdint>
#include <limits>

namespace hoopcast {

namespace detail {
inline std::int32_t saturate_to_int32(long double v) noexcept {
    constexpr long double lo = std::numeric_limits<std::int32_t>::min();
    constexpr long double hi = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(v)) return 0;
    if (v <= lo) return std::numeric_limits<std::int32_t>::min();
    if (v >= hi) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(v);
}
}  // namespace detail

// Nearest integer, halves to the even neighbour: 2.5 -> 2, 3.5 -> 4, -0.5 -> 0. The
// rounding instruction follows the default to-nearest-even mode and is far cheaper than
// nearbyint; the range is checked first, since it is undefined outside it.
inline std::int32_t Round(long double v) noexcept {
    if (std::isnan(v)) return 0;
    if (v <= std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    if (v >= std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::llrint(v));
}
inline std::int32_t Round(double v) noexcept {
    if (std::isnan(v)) return 0;
    if (v <= std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    if (v >= std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::llrint(v));
}

// Fraction dropped toward zero.
inline std::int32_t Trunc(long double v) noexcept { return detail::saturate_to_int32(std::truncl(v)); }
inline std::int32_t Trunc(double v) noexcept { return detail::saturate_to_int32(std::trunc(v)); }

}  // namespace hoopcast
