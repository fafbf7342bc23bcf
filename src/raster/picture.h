#pragma once
// Off-screen pictures: 24 bits per pixel, bytes blue, green, red in memory order,
// rows top to bottom without padding. A Picture owns its pixels and its Canvas.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <span>
#include <utility>
#include <vector>

#include "raster/canvas.h"
#include "raster/render_cache.h"
#include "raster/types.h"

namespace hoopcast::raster {

// Largest side a picture may have; larger requests give an empty picture, so that a
// size computed from a play file never allocates in proportion to it.
inline constexpr int kMaxPictureSide = 16384;

// How the pixels of a new bitmap start. `unset` leaves them as the memory was, for a
// picture whose first drawing paints every pixel; reading one before that is a fault.
enum class PixelStart { white, unset };

namespace detail {

// Writes `count` pixels of one colour from p (blue, green, red bytes). Eight pixels are
// three 64-bit words, made from the colour with shifts; a run is written in such words, its
// end by one more word overlapping the last written, so that no run costs a call.
inline void write_pixel_run(std::uint8_t* p, std::size_t count, Colour colour) noexcept {
    static_assert(std::endian::native == std::endian::little, "pixel words are laid out little-endian");
    const std::uint64_t x = static_cast<std::uint64_t>(blue_of(colour)) |
                            std::uint64_t{green_of(colour)} << 8 | std::uint64_t{red_of(colour)} << 16;
    if (count < 3) {
        for (; count > 0; --count, p += 3) std::memcpy(p, &x, 3);
        return;
    }
    // The words starting at byte offsets 0, 8 and 16 of the pattern b g r b g r ...; the word
    // at offset k is words[k % 3 == 0 ? 0 : k % 3 == 2 ? 1 : 2].
    const std::uint64_t w0 = x | x << 24 | x << 48;
    const std::uint64_t w1 = x >> 16 | x << 8 | x << 32 | x << 56;
    const std::uint64_t w2 = x >> 8 | x << 16 | x << 40;
    const std::size_t n = count * 3;
    std::size_t k = 0;
    for (; k + 24 <= n; k += 24) {
        std::memcpy(p + k, &w0, 8);
        std::memcpy(p + k + 8, &w1, 8);
        std::memcpy(p + k + 16, &w2, 8);
    }
    if (k + 8 <= n) std::memcpy(p + k, &w0, 8), k += 8;
    if (k + 8 <= n) std::memcpy(p + k, &w1, 8), k += 8;
    if (k < n) {
        const std::size_t last = n - 8;
        const std::uint64_t w = last % 3 == 0 ? w0 : last % 3 == 2 ? w1 : w2;
        std::memcpy(p + last, &w, 8);
    }
}

}  // namespace detail

// Pixel storage only: used for masks and work bitmaps as well as frames.
class Bitmap {
  public:
    Bitmap() = default;
    // New pixels are white unless `start` says otherwise. Sizes outside 1..kMaxPictureSide
    // give an empty bitmap. With a pool, the storage comes from it and goes back to it.
    Bitmap(int width, int height, PixelStart start = PixelStart::white, PicturePool* pool = nullptr);
    ~Bitmap();
    // A copy has storage of its own; a moved bitmap takes its pool along.
    Bitmap(const Bitmap& other);
    Bitmap& operator=(const Bitmap& other);
    Bitmap(Bitmap&& other) noexcept;
    Bitmap& operator=(Bitmap&& other) noexcept;

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

    PicturePool* pool() const noexcept { return pool_; }

  private:
    int width_ = 0;
    int height_ = 0;
    detail::PixelBytes bytes_;
    PicturePool* pool_ = nullptr;
};

// Bounding box of the pixels where two bitmaps of the same size differ (right and bottom
// excluded); an empty rectangle when they are equal or differ in size. With `within`, only
// the pixels inside it are compared.
Rect changed_rect(const Bitmap& a, const Bitmap& b) noexcept;
Rect changed_rect(const Bitmap& a, const Bitmap& b, Rect within) noexcept;

// The pixels of `r` (clipped to the bitmap) as rows of red, green, blue and an opaque alpha,
// as a browser's canvas takes them; returns the rectangle copied.
Rect copy_rgba(const Bitmap& bitmap, Rect r, std::vector<std::uint8_t>& out);
// Copies the pixels of `r` from `from` to `to`, bitmaps of one size; nothing otherwise.
void copy_rect(Bitmap& to, const Bitmap& from, Rect r) noexcept;

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
    // Without a cache the canvas keeps one of its own; without a pool the pixels are the
    // picture's own.
    Picture(int width, int height, const FontLibrary* fonts = nullptr, PixelStart start = PixelStart::white,
            RenderCache* cache = nullptr, PicturePool* pool = nullptr);
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
