#include "raster/render_cache.h"

#include <algorithm>

#include "raster/rasterizer.h"

namespace hoopcast::raster {

RenderCache::RenderCache() : dots_(std::make_unique<detail::DotCache>()) {}
RenderCache::~RenderCache() = default;

detail::PixelBytes PicturePool::take(std::size_t size) {
    // The smallest kept storage that holds `size`, so that small masks leave frames their own.
    auto best = kept_.end();
    for (auto it = kept_.begin(); it != kept_.end(); ++it)
        if (it->capacity() >= size && (best == kept_.end() || it->capacity() < best->capacity())) best = it;
    if (best == kept_.end()) return {};
    detail::PixelBytes bytes = std::move(*best);
    kept_.erase(best);
    return bytes;
}

void PicturePool::give(detail::PixelBytes&& bytes) noexcept {
    if (bytes.capacity() == 0) return;
    bytes.clear();
    if (kept_.size() < kKept) {
        kept_.push_back(std::move(bytes));
        return;
    }
    // Full: keep the larger storage.
    auto smallest = std::min_element(kept_.begin(), kept_.end(),
                                     [](const auto& a, const auto& b) { return a.capacity() < b.capacity(); });
    if (smallest->capacity() < bytes.capacity()) *smallest = std::move(bytes);
}

}  // namespace hoopcast::raster
