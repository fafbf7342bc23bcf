#pragma once
// What drawing keeps from one picture to the next. Each is held by whoever draws a run of
// pictures (a window, an exporter, a test) and used from one thread at a time; a second
// window or a worker thread holds its own.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "raster/types.h"

namespace hoopcast::raster {

namespace detail {
class DotCache;

// Leaves elements made without a value uninitialised, so that an unset bitmap costs no pass
// over its bytes.
template <typename T>
struct DefaultInitAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = DefaultInitAllocator<U>;
    };
    DefaultInitAllocator() = default;
    template <typename U>
    DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}
    template <typename U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

using PixelBytes = std::vector<std::uint8_t, DefaultInitAllocator<std::uint8_t>>;
}  // namespace detail

// The dots and short strokes of each pen width: they depend on the width alone, so every
// picture drawn with the same cache shares them.
class RenderCache {
public:
    RenderCache();
    ~RenderCache();
    RenderCache(const RenderCache&) = delete;
    RenderCache& operator=(const RenderCache&) = delete;

    detail::DotCache& dots() noexcept { return *dots_; }

private:
    std::unique_ptr<detail::DotCache> dots_;
};

// The pixel storage of pictures that are gone, for the next ones: a frame of a few megabytes
// then reuses pages it already has instead of asking the system for fresh ones. Bitmaps made
// from a pool give their storage back to it, so the pool must outlive them.
class PicturePool {
public:
    PicturePool() { kept_.reserve(kKept); }
    PicturePool(const PicturePool&) = delete;
    PicturePool& operator=(const PicturePool&) = delete;

    // Empty storage with room for at least `size` bytes when a kept one has it.
    detail::PixelBytes take(std::size_t size);
    void give(detail::PixelBytes&& bytes) noexcept;

private:
    // A frame, its zone mask and the frame still shown: a few are enough.
    static constexpr std::size_t kKept = 4;
    std::vector<detail::PixelBytes> kept_;
};

}  // namespace hoopcast::raster
