#pragma once
// Finding runs of one colour along a row of pixels, for the operations that read a picture
// as a mask. A colour's pixels are found by searching its first byte, eight pixels of it
// are passed over by comparing words, so long runs cost little whatever the picture holds.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "raster/picture.h"
#include "raster/stamp.h"

namespace hoopcast::raster::detail {

// A colour as its three bytes, and eight pixels of it as three words.
class PixelPattern {
  public:
    explicit PixelPattern(Colour colour) noexcept {
        write_pixel_run(bytes_, 8, colour);
        std::memcpy(words_, bytes_, sizeof words_);
    }
    bool at(const std::uint8_t* p) const noexcept {
        return p[0] == bytes_[0] && p[1] == bytes_[1] && p[2] == bytes_[2];
    }
    // Of the eight pixels from p, the first that is not of the colour; 8 when all are.
    int first_other_of_eight(const std::uint8_t* p) const noexcept {
        std::uint64_t w[3];
        std::memcpy(w, p, sizeof w);
        const std::uint64_t d0 = w[0] ^ words_[0], d1 = w[1] ^ words_[1], d2 = w[2] ^ words_[2];
        if ((d0 | d1 | d2) == 0) return 8;
        const int byte = d0 != 0   ? std::countr_zero(d0) / 8
                         : d1 != 0 ? 8 + std::countr_zero(d1) / 8
                                   : 16 + std::countr_zero(d2) / 8;
        return byte / 3;
    }
    std::uint8_t first_byte() const noexcept { return bytes_[0]; }

  private:
    std::uint8_t bytes_[24];
    std::uint64_t words_[3];
};

// The first column from x to `to` (included) whose pixel has the colour; to + 1 if none.
inline int find_colour(const std::uint8_t* row, int x, int to, const PixelPattern& colour) noexcept {
    const std::uint8_t* p = row + 3 * static_cast<std::ptrdiff_t>(x);
    if (x <= to && colour.at(p)) return x;
    const std::uint8_t* const end = row + 3 * (static_cast<std::ptrdiff_t>(to) + 1);
    while (p < end) {
        const auto* hit = static_cast<const std::uint8_t*>(
            std::memchr(p, colour.first_byte(), static_cast<std::size_t>(end - p)));
        if (hit == nullptr) break;
        const std::ptrdiff_t k = hit - row;
        if (k % 3 == 0 && colour.at(hit)) return static_cast<int>(k / 3);
        p = hit + 1;
    }
    return to + 1;
}

// The first column from x to `to` (included) whose pixel has another colour; to + 1 if none.
inline int find_other(const std::uint8_t* row, int x, int to, const PixelPattern& colour) noexcept {
    static_assert(std::endian::native == std::endian::little, "the first byte is the lowest of a word");
    if (x <= to && !colour.at(row + 3 * static_cast<std::ptrdiff_t>(x))) return x;
    for (; x + 8 <= to + 1; x += 8) {
        const int other = colour.first_other_of_eight(row + 3 * static_cast<std::ptrdiff_t>(x));
        if (other < 8) return x + other;
    }
    while (x <= to && colour.at(row + 3 * static_cast<std::ptrdiff_t>(x))) ++x;
    return x;
}

// Calls emit(a, b) for every run a..b of columns from..to of a row whose pixels have the
// colour (`matching`) or have any other colour (not `matching`).
template <typename Emit>
void for_each_run(const std::uint8_t* row, int from, int to, const PixelPattern& colour, bool matching,
                  Emit&& emit) {
    int x = from;
    while (x <= to) {
        const int start = matching ? find_colour(row, x, to, colour) : find_other(row, x, to, colour);
        if (start > to) return;
        const int end = matching ? find_other(row, start, to, colour) : find_colour(row, start, to, colour);
        emit(start, end - 1);
        x = end;
    }
}

// Walks sorted runs (by row, then left end) row by row; rows asked for in order cost a step
// each.
class RowCursor {
  public:
    explicit RowCursor(std::span<const RowSpan> runs) noexcept : runs_(runs) {}

    // The first run on row y or below.
    std::size_t first_on(int y) noexcept {
        if (next_ > 0 && runs_[next_ - 1].y >= y) next_ = 0;
        while (next_ < runs_.size() && runs_[next_].y < y) ++next_;
        return next_;
    }

    // Calls emit(a, b) for every run a..b of columns x0..x1 of row y outside the runs.
    template <typename Emit>
    void for_each_gap(int y, int x0, int x1, Emit&& emit) noexcept {
        int from = x0;
        for (std::size_t i = first_on(y); i < runs_.size() && runs_[i].y == y && from <= x1; ++i) {
            const RowSpan& r = runs_[i];
            if (r.x1 < from) continue;
            if (r.x0 > x1) break;
            if (r.x0 > from) emit(from, r.x0 - 1);
            from = std::max(from, r.x1 + 1);
        }
        if (from <= x1) emit(from, x1);
    }

  private:
    std::span<const RowSpan> runs_;
    std::size_t next_ = 0;
};

}  // namespace hoopcast::raster::detail
