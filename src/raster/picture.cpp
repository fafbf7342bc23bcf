#include "raster/picture.h"

#include <algorithm>
#include <cstring>

namespace hoopcast::raster {

namespace {

// Writes `count` pixels of one colour from p. Eight pixels are three 64-bit words, made from
// the colour with shifts rather than byte by byte, so that short runs cost little more than
// their stores.
void write_pixels(std::uint8_t* p, std::size_t count, std::uint8_t b, std::uint8_t g, std::uint8_t r) noexcept {
    if (count < 8) {
        for (; count > 0; --count, p += 3) p[0] = b, p[1] = g, p[2] = r;
        return;
    }
    // Little-endian words of the bytes b g r b g r b g | r b g r b g r b | g r b g r b g r.
    const std::uint64_t x = b | std::uint64_t{g} << 8 | std::uint64_t{r} << 16;
    const std::uint64_t w0 = x | x << 24 | x << 48;
    const std::uint64_t w1 = x >> 16 | x << 8 | x << 32 | x << 56;
    const std::uint64_t w2 = x >> 8 | x << 16 | x << 40;
    const std::uint64_t pattern[6] = {w0, w1, w2, w0, w1, w2};
    std::size_t n = count * 3;
    for (; n >= sizeof pattern; n -= sizeof pattern, p += sizeof pattern) std::memcpy(p, pattern, sizeof pattern);
    std::memcpy(p, pattern, n);
}

template <std::size_t N>
void fill_rows(std::uint8_t* first, std::size_t stride, int rows, const std::uint8_t* pattern) noexcept {
    for (int y = 0; y < rows; ++y, first += stride) std::memcpy(first, pattern, N);
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
    // Narrow boxes (the sides of frames, vertical lines) are written in place, a row at a
    // time in stores of a fixed size.
    if (count <= 8) {
        std::uint8_t pattern[24];
        write_pixels(pattern, 8, b, g, r);
        switch (count) {
            case 1: return fill_rows<3>(first, stride, rows, pattern);
            case 2: return fill_rows<6>(first, stride, rows, pattern);
            case 3: return fill_rows<9>(first, stride, rows, pattern);
            case 4: return fill_rows<12>(first, stride, rows, pattern);
            case 5: return fill_rows<15>(first, stride, rows, pattern);
            case 6: return fill_rows<18>(first, stride, rows, pattern);
            case 7: return fill_rows<21>(first, stride, rows, pattern);
            default: return fill_rows<24>(first, stride, rows, pattern);
        }
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

ColourRun::ColourRun(Colour colour, int length) {
    bytes_.resize(static_cast<std::size_t>(std::clamp(length, 1, kMaxPictureSide)) * 3);
    write_pixels(bytes_.data(), bytes_.size() / 3, blue_of(colour), green_of(colour), red_of(colour));
}

void ColourRun::paint(Bitmap& bitmap, int y, int x0, int x1) const noexcept {
    if (y < 0 || y >= bitmap.height()) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, bitmap.width() - 1);
    if (x0 > x1) return;
    std::uint8_t* p = bitmap.scan_line(y) + static_cast<std::size_t>(x0) * 3;
    for (std::size_t n = static_cast<std::size_t>(x1 - x0 + 1) * 3; n > 0;) {
        const std::size_t part = std::min(n, bytes_.size());
        std::memcpy(p, bytes_.data(), part);
        p += part;
        n -= part;
    }
}

Picture::Picture(int width, int height, const FontLibrary* fonts, PixelStart start)
    : bitmap_(width, height, start), canvas_(bitmap_, fonts) {}

}  // namespace hoopcast::raster
