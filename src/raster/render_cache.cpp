#include "raster/render_cache.h"

#include <algorithm>
#include <cstring>

#include "raster/picture.h"
#include "raster/rasterizer.h"

namespace hoopcast::raster {

RenderCache::RenderCache() : dots_(std::make_unique<detail::DotCache>()) {}
RenderCache::~RenderCache() = default;

Background::Background() : pixels_(std::make_unique<Bitmap>()) {}
Background::~Background() = default;

bool Background::holds(std::span<const std::byte> key) const noexcept {
    return !key_.empty() && key_.size() == key.size() &&
           std::memcmp(key_.data(), key.data(), key.size()) == 0;
}

void Background::keep(std::span<const std::byte> key, const Picture& picture) {
    key_.clear();
    const Bitmap& from = picture.bitmap();
    if (pixels_->width() != from.width() || pixels_->height() != from.height()) {
        *pixels_ = Bitmap(from.width(), from.height(), PixelStart::unset);
    }
    if (from.empty() || pixels_->bytes().size() != from.bytes().size()) return;
    std::memcpy(pixels_->bytes().data(), from.bytes().data(), from.bytes().size());
    const Canvas& canvas = picture.canvas();
    pen_ = canvas.pen;
    brush_ = canvas.brush;
    font_ = canvas.font;
    position_ = canvas.position();
    key_.assign(key.begin(), key.end());
}

void Background::start(Picture& picture) const noexcept {
    Bitmap& to = picture.bitmap();
    if (to.empty() || to.bytes().size() != pixels_->bytes().size()) return;
    std::memcpy(to.bytes().data(), pixels_->bytes().data(), to.bytes().size());
    Canvas& canvas = picture.canvas();
    canvas.pen = pen_;
    canvas.brush = brush_;
    canvas.font = font_;
    canvas.move_to(position_.x, position_.y);
}

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
    auto smallest = std::min_element(
        kept_.begin(), kept_.end(), [](const auto& a, const auto& b) { return a.capacity() < b.capacity(); });
    if (smallest->capacity() < bytes.capacity()) *smallest = std::move(bytes);
}

}  // namespace hoopcast::raster
