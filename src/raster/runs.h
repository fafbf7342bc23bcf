#pragma once
// Areas as runs of pixels, row by row: the pixels a fill covers, worked out without painting
// them, so that an area can be painted but for the part a later fill paints over (every
// pixel then written once), and regions found in a picture can be combined before use.

#include <cstddef>
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

// Adds the runs of pixels of `colour` (or, with `matching` false, of any other colour) in the
// box (right and bottom excluded) of the bitmap; or only those within the given runs,
// sorted as a RunSet holds them.
void find_runs(const Bitmap& bitmap, Colour colour, bool matching, Rect box, RunSet& out);
void find_runs(const Bitmap& bitmap, Colour colour, bool matching, Rect box, std::span<const RowSpan> within,
               RunSet& out);

// The flood fill of Canvas::flood_fill (every 4-connected pixel around the start that is not
// the border colour) worked out run by run, the runs lying between the border's pixels:
// quick where thin outlines bound wide areas. It keeps its work space from fill to fill.
class RunFlood {
  public:
    // Sorts the runs of pixels other than the border's into those the fill from (x, y)
    // reaches and those it misses (all of them when (x, y) is off the bitmap or on the
    // border, where the fill does nothing), into whichever of the two sets is given; each is
    // emptied first.
    void reach(const Bitmap& bitmap, int x, int y, Colour border, RunSet* reached, RunSet* missed);

  private:
    std::vector<RowSpan> open_;       // the runs of pixels other than the border's, row by row
    std::vector<std::size_t> first_;  // index in open_ of each row's first run, then the end
    std::vector<char> reached_;       // per run of open_
    std::vector<std::size_t> stack_;
};

}  // namespace hoopcast::raster
