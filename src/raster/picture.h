#pragma once
// Off-screen pictures: 24 bits per pixel, bytes blue, green, red in memory order,
// rows top to bottom without padding. A Picture owns its pixels and its Canvas.

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

// Largest side a picture may have; larger requests give an empty picture, so that a
// size computed from a play file never allocates in proportion to it.
inline constexpr int kMaxPictureSide = 16384;

// How the pixels of a new bitmap start. `unset` leaves them as the memory was, for a
// picture whose first drawing paints every pixel; reading one before that is a fault.
enum class PixelStart { white, unset };

namespace detail {

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

}  // namespace detail

// Pixel storage only: used for masks and work bitmaps as well as frames.
class Bitmap {
public:
    Bitmap() = default;
    // New pixels are white unless `start` says otherwise. Sizes outside 1..kMaxPictureSide
    // give an empty bitmap.
    Bitmap(int width, int height, PixelStart start = PixelStart::white);

    int width() const noexcept { return width_; }
    int height() const noexcept { return height_; }
    bool empty() const noexcept { return width_ == 0 || height_ == 0; }
    std::size_t stride() const noexcept { return static_cast<std::size_t>(width_) * 3; }

    // Row y as width * 3 bytes (blue, green, red per pixel). y must be in 0..height-1.
    std::uint8_t* scan_line(int y) noexcept { return bytes_.data() + static_cast<std::size_t>(y) * stride(); }
    const std::uint8_t* scan_line(int y) const noexcept {
        return bytes_.data() + static_cast<std::size_t>(y) * stride();
    }

    std::span<std::uint8_t> bytes() noexcept { return bytes_; }
    std::span<const std::uint8_t> bytes() const noexcept { return bytes_; }

    bool contains(int x, int y) const noexcept { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    // Colour at (x, y) as 0x00BBGGRR; kInvalidColour outside the bitmap.
    Colour pixel(int x, int y) const noexcept {
        if (!contains(x, y)) return kInvalidColour;
        const std::uint8_t* p = scan_line(y) + static_cast<std::size_t>(x) * 3;
        return rgb(p[2], p[1], p[0]);
    }
    // Ignored outside the bitmap.
    void set_pixel(int x, int y, Colour c) noexcept {
        if (!contains(x, y)) return;
        std::uint8_t* p = scan_line(y) + static_cast<std::size_t>(x) * 3;
        p[0] = blue_of(c);
        p[1] = green_of(c);
        p[2] = red_of(c);
    }
    void fill(Colour c) noexcept;
    // Paints the pixels left..right-1 of rows top..bottom-1, clipped to the bitmap.
    void fill_rect(Rect r, Colour c) noexcept;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t, detail::DefaultInitAllocator<std::uint8_t>> bytes_;
};

// A run of pixels of one colour, made once and copied wherever a run of that colour is
// painted: for many runs in one colour, cheaper than making the colour's pattern for each.
class ColourRun {
public:
    ColourRun(Colour colour, int length);
    // Paints pixels x0..x1 (both included) of row y, clipped to the bitmap.
    void paint(Bitmap& bitmap, int y, int x0, int x1) const noexcept;

private:
    std::vector<std::uint8_t> bytes_;
};

// A bitmap with the drawing state of a canvas over it. Not copyable: the canvas points at
// the picture's own pixels.
class Picture {
public:
    Picture(int width, int height, const FontLibrary* fonts = nullptr, PixelStart start = PixelStart::white);
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    int width() const noexcept { return bitmap_.width(); }
    int height() const noexcept { return bitmap_.height(); }
    Bitmap& bitmap() noexcept { return bitmap_; }
    const Bitmap& bitmap() const noexcept { return bitmap_; }
    Canvas& canvas() noexcept { return canvas_; }
    const Canvas& canvas() const noexcept { return canvas_; }

private:
    Bitmap bitmap_;
    Canvas canvas_;
};

}  // namespace hoopcast::raster
