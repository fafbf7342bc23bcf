#include "raster/picture.h"

#include <cstring>

namespace hoopcast::raster {

Bitmap::Bitmap(int width, int height) {
    if (width < 1 || height < 1 || width > kMaxPictureSide || height > kMaxPictureSide) return;
    width_ = width;
    height_ = height;
    bytes_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3, 0xFF);
}

void Bitmap::fill(Colour c) noexcept {
    if (bytes_.empty()) return;
    const std::uint8_t b = blue_of(c), g = green_of(c), r = red_of(c);
    if (b == g && g == r) {
        std::memset(bytes_.data(), b, bytes_.size());
        return;
    }
    // Rows have no padding, so the whole picture is one run of pixels: write it in blocks of
    // 16 pixels (48 bytes, a whole number of pixels and of 16-byte stores), write only like
    // memset.
    std::uint8_t pattern[48];
    for (int i = 0; i < 16; ++i) {
        pattern[3 * i] = b;
        pattern[3 * i + 1] = g;
        pattern[3 * i + 2] = r;
    }
    std::uint8_t* p = bytes_.data();
    std::size_t n = bytes_.size();
    for (; n >= sizeof pattern; n -= sizeof pattern, p += sizeof pattern) std::memcpy(p, pattern, sizeof pattern);
    std::memcpy(p, pattern, n);
}

Picture::Picture(int width, int height, const FontLibrary* fonts)
    : bitmap_(width, height), canvas_(bitmap_, fonts) {}

}  // namespace hoopcast::raster
