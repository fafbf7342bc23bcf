#include "raster/stamp.h"

#include <algorithm>
#include <utility>

#include "raster/picture.h"
#include "raster/rasterizer.h"

namespace hoopcast::raster {

Stamp::Stamp(std::vector<RowSpan> rows) : rows_(std::move(rows)) {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const RowSpan& r = rows_[i];
        left_ = i == 0 ? r.x0 : std::min(left_, r.x0);
        right_ = i == 0 ? r.x1 : std::max(right_, r.x1);
        top_ = i == 0 ? r.y : std::min(top_, r.y);
        bottom_ = i == 0 ? r.y : std::max(bottom_, r.y);
    }
}

Stamp Stamp::capture(const Bitmap& bitmap, Colour ink, Point origin) {
    std::vector<RowSpan> rows;
    for (int y = 0; y < bitmap.height(); ++y) {
        int start = -1;
        for (int x = 0; x <= bitmap.width(); ++x) {
            const bool inked = x < bitmap.width() && bitmap.pixel(x, y) == ink;
            if (inked && start < 0) start = x;
            if (!inked && start >= 0) {
                rows.push_back(RowSpan{y - origin.y, start - origin.x, x - 1 - origin.x});
                start = -1;
            }
        }
    }
    return Stamp(std::move(rows));
}

void Stamp::paint(Bitmap& bitmap, std::int64_t x, std::int64_t y, Colour colour) const noexcept {
    if (rows_.empty()) return;
    if (x + left_ < 0 || y + top_ < 0 || x + right_ >= bitmap.width() || y + bottom_ >= bitmap.height()) {
        for (const RowSpan& r : rows_) detail::paint_span(bitmap, y + r.y, x + r.x0, x + r.x1, colour);
        return;
    }
    // Wholly inside: the runs are written without clipping.
    std::uint8_t* const data = bitmap.bytes().data();
    const auto stride = static_cast<std::int64_t>(bitmap.stride());
    for (const RowSpan& r : rows_)
        detail::write_pixel_run(data + (y + r.y) * stride + (x + r.x0) * 3,
                                static_cast<std::size_t>(r.x1 - r.x0 + 1), colour);
}

}  // namespace hoopcast::raster
