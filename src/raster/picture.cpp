#include "raster/picture.h"

#include <algorithm>
#include <cstring>

namespace hoopcast::raster {

namespace {

// Writes `count` pixels of one colour from p, in blocks of 16 pixels (48 bytes, a whole
// number of pixels and of 16-byte stores).
void write_pixels(std::uint8_t* p, std::size_t count, std::uint8_t b, std::uint8_t g, std::uint8_t r) noexcept {
    std::size_t n = count * 3;
    if (n < 48) {
        for (; n > 0; n -= 3, p += 3) p[0] = b, p[1] = g, p[2] = r;
        return;
    }
    std::uint8_t pattern[48];
    for (int i = 0; i < 16; ++i) pattern[3 * i] = b, pattern[3 * i + 1] = g, pattern[3 * i + 2] = r;
    for (; n >= sizeof pattern; n -= sizeof pattern, p += sizeof pattern) std::memcpy(p, pattern, sizeof pattern);
    std::memcpy(p, pattern, n);
}

}  // namespace

Bitmap::Bitmap(int width, int height, PixelStart start) {
    if (width < 1 || height < 1 || width > kMaxPictureSide || height > kMaxPictureSide) return;
    width_ = width;
    height_ = height;
    const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
    if (start == PixelStart::white) {
        bytes_.assign(size, 0xFF);
    } else {
        bytes_.resize(size);
    }
}

void Bitmap::fill(Colour c) noexcept {
    fill_rect(Rect{0, 0, width_, height_}, c);
}

void Bitmap::fill_rect(Rect rect, Colour c) noexcept {
    const int x0 = std::max(rect.left, 0), x1 = std::min(rect.right, width_);
    const int y0 = std::max(rect.top, 0), y1 = std::min(rect.bottom, height_);
    if (x0 >= x1 || y0 >= y1) return;
    const std::uint8_t b = blue_of(c), g = green_of(c), r = red_of(c);
    const std::size_t count = static_cast<std::size_t>(x1 - x0);
    std::uint8_t* first = scan_line(y0) + static_cast<std::size_t>(x0) * 3;
    const int rows = y1 - y0;
    const std::size_t stride = this->stride();
    // Narrow boxes (the sides of frames, vertical lines) are written in place.
    if (count <= 8) {
        for (int y = 0; y < rows; ++y, first += stride) {
            std::uint8_t* p = first;
            for (std::size_t i = 0; i < count; ++i, p += 3) p[0] = b, p[1] = g, p[2] = r;
        }
        return;
    }
    if (b == g && g == r) {
        // Rows have no padding: a box of whole rows is one run of bytes.
        if (count == static_cast<std::size_t>(width_)) {
            std::memset(first, b, stride * static_cast<std::size_t>(rows));
            return;
        }
        for (int y = 0; y < rows; ++y, first += stride) std::memset(first, b, count * 3);
        return;
    }
    // Wider rows are copies of the first, which the C library does faster than pattern stores.
    write_pixels(first, count, b, g, r);
    std::uint8_t* row = first + stride;
    for (int y = 1; y < rows; ++y, row += stride) std::memcpy(row, first, count * 3);
}

Picture::Picture(int width, int height, const FontLibrary* fonts, PixelStart start)
    : bitmap_(width, height, start), canvas_(bitmap_, fonts) {}

}  // namespace hoopcast::raster
