#pragma once
// Shapes worked out once and painted many times. The pixel rules depend only on where a
// shape's points lie relative to each other, so a shape moved by whole pixels covers the
// same pixels moved by the same amount: its runs of pixels can be kept and painted anywhere.

#include <cstdint>
#include <span>
#include <vector>

#include "raster/types.h"

namespace hoopcast::raster {

class Bitmap;

// One row's run of pixels x0..x1 (both included).
struct RowSpan {
    int y, x0, x1;
};

// Runs of pixels relative to an origin, painted in one colour.
class Stamp {
  public:
    Stamp() = default;
    explicit Stamp(std::vector<RowSpan> rows);

    // Every pixel of `bitmap` of colour `ink`, relative to `origin`.
    static Stamp capture(const Bitmap& bitmap, Colour ink, Point origin);

    std::span<const RowSpan> rows() const noexcept { return rows_; }
    bool empty() const noexcept { return rows_.empty(); }

    // Paints the runs with the origin at (x, y), clipped to the bitmap.
    void paint(Bitmap& bitmap, std::int64_t x, std::int64_t y, Colour colour) const noexcept;

  private:
    std::vector<RowSpan> rows_;
    int left_ = 0, top_ = 0, right_ = -1, bottom_ = -1;  // bounds of all runs
};

}  // namespace hoopcast::raster
