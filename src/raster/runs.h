#pragma once
// Areas as runs of pixels, row by row: the pixels a fill covers, worked out without painting
// them, so that an area can be painted but for the part a later fill paints over (every
// pixel then written once), and regions found in a picture can be combined before use.

#include <span>
#include <vector>

#include "raster/stamp.h"
#include "raster/types.h"

namespace hoopcast::raster {

class Bitmap;

// Pixels as runs sorted by row, then by left end. Runs may overlap or touch.
class RunSet {
public:
    RunSet() = default;

    std::span<const RowSpan> runs() const noexcept { return runs_; }
    bool empty() const noexcept { return runs_.empty(); }
    void clear() noexcept { runs_.clear(); }
    // Appends a run that sorts after every run held.
    void push_back(RowSpan run) { runs_.push_back(run); }
    // Adds runs sorted as above.
    void add(std::span<const RowSpan> sorted);

private:
    std::vector<RowSpan> runs_;
};

// The pixels the brush of Canvas::polygon covers (the alternate rule), unclipped.
std::vector<RowSpan> polygon_runs(std::span<const Point> points);
// The pixels the brush of Canvas::rectangle covers: strictly inside its outline, unclipped.
std::vector<RowSpan> rectangle_runs(Point a, Point b);

// Paints the runs, clipped to the bitmap.
void fill_runs(Bitmap& bitmap, std::span<const RowSpan> runs, Colour colour);
// Paints the runs but for the pixels of `except`, clipped to the bitmap.
void fill_runs_except(Bitmap& bitmap, std::span<const RowSpan> runs, Colour colour, const RunSet& except);
// Paints the box (right and bottom excluded) but for the pixels of `except`, clipped to the
// bitmap.
void fill_rect_except(Bitmap& bitmap, Rect box, Colour colour, const RunSet& except);
// Paints the box but for the part inside `hole` (both with right and bottom excluded).
void fill_rect_except(Bitmap& bitmap, Rect box, Rect hole, Colour colour) noexcept;

}  // namespace hoopcast::raster
