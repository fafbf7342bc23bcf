#include "raster/runs.h"

#include <algorithm>
#include <cstddef>

#include "raster/picture.h"
#include "raster/rasterizer.h"
#include "raster/row_scan.h"

namespace hoopcast::raster {

namespace {

Rect clipped(Rect box, const Bitmap& bitmap) noexcept {
    return {std::max(box.left, 0), std::max(box.top, 0), std::min(box.right, bitmap.width()),
            std::min(box.bottom, bitmap.height())};
}

// Paints x0..x1 (both included) of row y but for the runs of `except` on that row.
void paint_row_except(Bitmap& bitmap, const ColourRun& run, int y, int x0, int x1,
                      detail::RowCursor& except) noexcept {
    except.for_each_gap(y, x0, x1, [&](int a, int b) { run.paint(bitmap, y, a, b); });
}

}  // namespace

void RunSet::add(std::span<const RowSpan> sorted) {
    const std::size_t middle = runs_.size();
    runs_.insert(runs_.end(), sorted.begin(), sorted.end());
    std::inplace_merge(
        runs_.begin(), runs_.begin() + static_cast<std::ptrdiff_t>(middle), runs_.end(),
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
    detail::RowCursor cursor(except.runs());
    for (const RowSpan& r : runs) paint_row_except(bitmap, run, r.y, r.x0, r.x1, cursor);
}

void fill_rect_except(Bitmap& bitmap, Rect box, Colour colour, const RunSet& except) {
    box = clipped(box, bitmap);
    if (box.left >= box.right || box.top >= box.bottom) return;
    const ColourRun run(colour, box.right - box.left);
    detail::RowCursor cursor(except.runs());
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

void find_runs(const Bitmap& bitmap, Colour colour, bool matching, Rect box, RunSet& out) {
    box = clipped(box, bitmap);
    const detail::PixelPattern pattern(colour);
    for (int y = box.top; y < box.bottom; ++y)
        detail::for_each_run(bitmap.scan_line(y), box.left, box.right - 1, pattern, matching,
                             [&](int a, int b) {
                                 out.push_back({y, a, b});
                             });
}

void find_runs(const Bitmap& bitmap, Colour colour, bool matching, Rect box, std::span<const RowSpan> within,
               RunSet& out) {
    box = clipped(box, bitmap);
    const detail::PixelPattern pattern(colour);
    for (const RowSpan& r : within) {
        if (r.y < box.top || r.y >= box.bottom) continue;
        detail::for_each_run(bitmap.scan_line(r.y), std::max(r.x0, box.left), std::min(r.x1, box.right - 1),
                             pattern, matching, [&](int a, int b) {
                                 out.push_back({r.y, a, b});
                             });
    }
}

void RunFlood::reach(const Bitmap& bitmap, int x, int y, Colour border, RunSet* reached, RunSet* missed) {
    const detail::PixelPattern stop(border);
    const int h = bitmap.height();
    open_.clear();
    first_.resize(static_cast<std::size_t>(h) + 1);
    for (int row = 0; row < h; ++row) {
        first_[static_cast<std::size_t>(row)] = open_.size();
        detail::for_each_run(bitmap.scan_line(row), 0, bitmap.width() - 1, stop, false, [&](int a, int b) {
            open_.push_back({row, a, b});
        });
    }
    first_[static_cast<std::size_t>(h)] = open_.size();
    reached_.assign(open_.size(), 0);

    auto row_runs = [&](int row) {
        return std::span<const RowSpan>(open_.data() + first_[static_cast<std::size_t>(row)],
                                        open_.data() + first_[static_cast<std::size_t>(row) + 1]);
    };
    if (bitmap.contains(x, y) && !stop.at(bitmap.scan_line(y) + 3 * static_cast<std::ptrdiff_t>(x))) {
        const std::span<const RowSpan> start_row = row_runs(y);
        const auto start =
            std::find_if(start_row.begin(), start_row.end(), [&](const RowSpan& r) { return r.x1 >= x; });
        stack_.assign(1, static_cast<std::size_t>(&*start - open_.data()));
        reached_[stack_.back()] = 1;
    }
    // Two runs of neighbouring rows touch when their columns overlap.
    while (!stack_.empty()) {
        const RowSpan run = open_[stack_.back()];
        stack_.pop_back();
        for (const int row : {run.y - 1, run.y + 1}) {
            if (row < 0 || row >= h) continue;
            const std::span<const RowSpan> next = row_runs(row);
            // The first run that may overlap is the first ending at or after run.x0.
            auto it = std::lower_bound(next.begin(), next.end(), run.x0,
                                       [](const RowSpan& n, int a) { return n.x1 < a; });
            for (; it != next.end() && it->x0 <= run.x1; ++it) {
                const auto k = static_cast<std::size_t>(&*it - open_.data());
                if (reached_[k] == 0) {
                    reached_[k] = 1;
                    stack_.push_back(k);
                }
            }
        }
    }
    for (RunSet* out : {reached, missed}) {
        if (out == nullptr) continue;
        out->clear();
        const char wanted = out == reached ? 1 : 0;
        for (std::size_t k = 0; k < open_.size(); ++k)
            if (reached_[k] == wanted) out->push_back(open_[k]);
    }
}

}  // namespace hoopcast::raster
