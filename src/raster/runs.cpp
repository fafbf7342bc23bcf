#include "raster/runs.h"

#include <algorithm>
#include <cstddef>

#include "raster/picture.h"
#include "raster/rasterizer.h"

namespace hoopcast::raster {

namespace {

// Walks the runs of a RunSet row by row; rows asked for in order cost a step each.
class RowCursor {
public:
    explicit RowCursor(std::span<const RowSpan> runs) noexcept : runs_(runs) {}

    // The first run on row y or below.
    std::size_t first_on(int y) noexcept {
        if (next_ > 0 && runs_[next_ - 1].y >= y) next_ = 0;
        while (next_ < runs_.size() && runs_[next_].y < y) ++next_;
        return next_;
    }
    std::span<const RowSpan> runs() const noexcept { return runs_; }

private:
    std::span<const RowSpan> runs_;
    std::size_t next_ = 0;
};

// Paints x0..x1 (both included) of row y but for the runs of `except` on that row.
void paint_row_except(Bitmap& bitmap, const ColourRun& run, int y, int x0, int x1, RowCursor& except) noexcept {
    const std::span<const RowSpan> runs = except.runs();
    int from = x0;
    for (std::size_t i = except.first_on(y); i < runs.size() && runs[i].y == y && from <= x1; ++i) {
        const RowSpan& r = runs[i];
        if (r.x1 < from) continue;
        if (r.x0 > x1) break;
        if (r.x0 > from) run.paint(bitmap, y, from, r.x0 - 1);
        from = std::max(from, r.x1 + 1);
    }
    if (from <= x1) run.paint(bitmap, y, from, x1);
}

}  // namespace

void RunSet::add(std::span<const RowSpan> sorted) {
    const std::size_t middle = runs_.size();
    runs_.insert(runs_.end(), sorted.begin(), sorted.end());
    std::inplace_merge(runs_.begin(), runs_.begin() + static_cast<std::ptrdiff_t>(middle), runs_.end(),
                       [](const RowSpan& a, const RowSpan& b) { return a.y != b.y ? a.y < b.y : a.x0 < b.x0; });
}

std::vector<RowSpan> polygon_runs(std::span<const Point> points) {
    std::vector<RowSpan> runs;
    const std::vector<detail::Point64> wide(points.begin(), points.end());
    detail::polygon_spans(wide, runs);
    return runs;
}

std::vector<RowSpan> rectangle_runs(Point a, Point b) {
    const int left = std::min(a.x, b.x) + 1, right = std::max(a.x, b.x) - 2;
    const int top = std::min(a.y, b.y) + 1, bottom = std::max(a.y, b.y) - 2;
    std::vector<RowSpan> runs;
    if (left > right) return runs;
    for (int y = top; y <= bottom; ++y) runs.push_back({y, left, right});
    return runs;
}

void fill_runs(Bitmap& bitmap, std::span<const RowSpan> runs, Colour colour) {
    const ColourRun run(colour, bitmap.width());
    for (const RowSpan& r : runs) run.paint(bitmap, r.y, r.x0, r.x1);
}

void fill_runs_except(Bitmap& bitmap, std::span<const RowSpan> runs, Colour colour, const RunSet& except) {
    const ColourRun run(colour, bitmap.width());
    RowCursor cursor(except.runs());
    for (const RowSpan& r : runs) paint_row_except(bitmap, run, r.y, r.x0, r.x1, cursor);
}

void fill_rect_except(Bitmap& bitmap, Rect box, Colour colour, const RunSet& except) {
    box = {std::max(box.left, 0), std::max(box.top, 0), std::min(box.right, bitmap.width()),
           std::min(box.bottom, bitmap.height())};
    if (box.left >= box.right || box.top >= box.bottom) return;
    const ColourRun run(colour, box.right - box.left);
    RowCursor cursor(except.runs());
    const std::span<const RowSpan> runs = except.runs();
    int y = box.top;
    while (y < box.bottom) {
        // Rows without runs go in blocks.
        const std::size_t i = cursor.first_on(y);
        const int next = i < runs.size() ? std::min(std::max(runs[i].y, y), box.bottom) : box.bottom;
        if (next > y) {
            bitmap.fill_rect({box.left, y, box.right, next}, colour);
            y = next;
            continue;
        }
        paint_row_except(bitmap, run, y, box.left, box.right - 1, cursor);
        ++y;
    }
}

void fill_rect_except(Bitmap& bitmap, Rect box, Rect hole, Colour colour) noexcept {
    hole.left = std::clamp(hole.left, box.left, std::max(box.left, box.right));
    hole.right = std::clamp(hole.right, box.left, std::max(box.left, box.right));
    hole.top = std::clamp(hole.top, box.top, std::max(box.top, box.bottom));
    hole.bottom = std::clamp(hole.bottom, box.top, std::max(box.top, box.bottom));
    if (hole.left >= hole.right || hole.top >= hole.bottom) {
        bitmap.fill_rect(box, colour);
        return;
    }
    bitmap.fill_rect({box.left, box.top, box.right, hole.top}, colour);
    bitmap.fill_rect({box.left, hole.top, hole.left, hole.bottom}, colour);
    bitmap.fill_rect({hole.right, hole.top, box.right, hole.bottom}, colour);
    bitmap.fill_rect({box.left, hole.bottom, box.right, box.bottom}, colour);
}

}  // namespace hoopcast::raster
