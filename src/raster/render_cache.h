#pragma once
// What drawing keeps from one picture to the next. Each is held by whoever draws a run of
// pictures (a window, an exporter, a test) and used from one thread at a time; a second
// window or a worker thread holds its own.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <utility>
#include <vector>

#include "raster/canvas.h"
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

class Bitmap;
class Picture;

// The part of a run of pictures that stays the same (a court while the players move over it),
// drawn once and copied as the start of each picture. Whoever draws it describes in a key
// everything it depends on; a picture is started from the copy only for an equal key, so a
// change of any of them draws it afresh.
class Background {
  public:
    Background();
    ~Background();
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;

    bool holds(std::span<const std::byte> key) const noexcept;
    // Keeps the pixels and the drawing state of `picture` for `key`.
    void keep(std::span<const std::byte> key, const Picture& picture);
    // Gives `picture`, of the kept picture's size, the kept pixels and drawing state.
    void start(Picture& picture) const noexcept;

  private:
    std::vector<std::byte> key_;  // empty: holds nothing
    std::unique_ptr<Bitmap> pixels_;
    Pen pen_;
    Brush brush_;
    Font font_;
    Point position_{};
};

// The dots and short strokes of each pen width: they depend on the width alone, so every
// picture drawn with the same cache shares them. Also the background of the frames drawn
// with it.
class RenderCache {
  public:
    RenderCache();
    ~RenderCache();
    RenderCache(const RenderCache&) = delete;
    RenderCache& operator=(const RenderCache&) = delete;

    detail::DotCache& dots() noexcept { return *dots_; }
    Background& background() noexcept { return background_; }

  private:
    std::unique_ptr<detail::DotCache> dots_;
    Background background_;
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
