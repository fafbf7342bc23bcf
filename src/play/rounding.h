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
// A whole number within the int32 range, converted through double, where it is exact: a
// direct conversion from long double would switch the x87 rounding mode there and back,
// which stalls the processor on every call.
inline std::int32_t whole_to_int32(long double v) noexcept {
    return static_cast<std::int32_t>(static_cast<double>(v));
}
inline std::int32_t saturate_to_int32(long double v) noexcept {
    constexpr long double lo = std::numeric_limits<std::int32_t>::min();
    constexpr long double hi = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(v)) return 0;
    if (v <= lo) return std::numeric_limits<std::int32_t>::min();
    if (v >= hi) return std::numeric_limits<std::int32_t>::max();
    return whole_to_int32(v);
}
// 1.5 times the power of two at which T's spacing is one: a value within the int32 range
// plus this lands where only whole numbers exist, so the addition rounds it.
template <typename T>
constexpr T rounding_shift() noexcept {
    T shift = 1.5;
    for (int i = 1; i < std::numeric_limits<T>::digits; ++i) shift *= 2;
    return shift;
}
}  // namespace detail

// Nearest integer, halves to the even neighbour: 2.5 -> 2, 3.5 -> 4, -0.5 -> 0. Within
// the int32 range, adding and taking away the shift leaves v rounded in the default
// to-nearest-even mode exactly as llrint would (the sum has no fraction bits), without the
// library call; the range is checked first.
inline std::int32_t Round(long double v) noexcept {
    if (std::isnan(v)) return 0;
    if (v <= std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    if (v >= std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    constexpr long double kShift = detail::rounding_shift<long double>();
    const long double shifted = v + kShift;
    return detail::whole_to_int32(shifted - kShift);
}
static_assert(detail::rounding_shift<double>() == 6755399441055744.0);
inline std::int32_t Round(double v) noexcept {
    if (std::isnan(v)) return 0;
    if (v <= std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    if (v >= std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    constexpr double kShift = detail::rounding_shift<double>();
    const double shifted = v + kShift;
    return static_cast<std::int32_t>(shifted - kShift);
}

// Fraction dropped toward zero.
inline std::int32_t Trunc(long double v) noexcept {
    return detail::saturate_to_int32(std::truncl(v));
}
inline std::int32_t Trunc(double v) noexcept {
    return detail::saturate_to_int32(std::trunc(v));
}

}  // namespace hoopcast
