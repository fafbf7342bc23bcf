#include "raster/picture.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace hoopcast::raster {

namespace {

template <std::size_t N>
void fill_rows(std::uint8_t* first, std::size_t stride, int rows, const std::uint8_t* pattern) noexcept {
    for (int y = 0; y < rows; ++y, first += stride) std::memcpy(first, pattern, N);
}

}  // namespace

Bitmap::Bitmap(int width, int height, PixelStart start, PicturePool* pool) : pool_(pool) {
    if (width < 1 || height < 1 || width > kMaxPictureSide || height > kMaxPictureSide) return;
    width_ = width;
    height_ = height;
    const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
    if (pool_ != nullptr) bytes_ = pool_->take(size);
    if (start == PixelStart::white) {
        bytes_.assign(size, 0xFF);
    } else {
        bytes_.resize(size);
    }
}

Bitmap::~Bitmap() {
    if (pool_ != nullptr) pool_->give(std::move(bytes_));
}

Bitmap::Bitmap(const Bitmap& other) : width_(other.width_), height_(other.height_), bytes_(other.bytes_) {}

Bitmap& Bitmap::operator=(const Bitmap& other) {
    if (this != &other) {
        width_ = other.width_;
        height_ = other.height_;
        bytes_ = other.bytes_;
    }
    return *this;
}

Bitmap::Bitmap(Bitmap&& other) noexcept
    : width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      bytes_(std::move(other.bytes_)),
      pool_(std::exchange(other.pool_, nullptr)) {}

Bitmap& Bitmap::operator=(Bitmap&& other) noexcept {
    if (this != &other) {
        if (pool_ != nullptr) pool_->give(std::move(bytes_));
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        bytes_ = std::move(other.bytes_);
        pool_ = std::exchange(other.pool_, nullptr);
    }
    return *this;
}

Rect changed_rect(const Bitmap& a, const Bitmap& b) noexcept {
    return changed_rect(a, b, Rect{0, 0, a.width(), a.height()});
}

Rect changed_rect(const Bitmap& a, const Bitmap& b, Rect within) noexcept {
    if (a.width() != b.width() || a.height() != b.height()) return {};
    const int x_from = std::max(within.left, 0), x_to = std::min(within.right, a.width());
    const int y_from = std::max(within.top, 0), y_to = std::min(within.bottom, a.height());
    if (x_from >= x_to || y_from >= y_to) return {};
    const std::size_t length = static_cast<std::size_t>(x_to - x_from) * 3;
    int left = x_to, right = -1, top = -1, bottom = -1;
    for (int y = y_from; y < y_to; ++y) {
        const std::uint8_t* ra = a.scan_line(y) + 3 * x_from;
        const std::uint8_t* rb = b.scan_line(y) + 3 * x_from;
        if (std::memcmp(ra, rb, length) == 0) continue;
        if (top < 0) top = y;
        bottom = y;
        int x0 = 0;
        while (std::memcmp(ra + 3 * x0, rb + 3 * x0, 3) == 0) ++x0;
        int x1 = x_to - x_from - 1;
        while (x1 > x0 && std::memcmp(ra + 3 * x1, rb + 3 * x1, 3) == 0) --x1;
        left = std::min(left, x_from + x0);
        right = std::max(right, x_from + x1);
    }
    if (top < 0) return {};
    return {left, top, right + 1, bottom + 1};
}

namespace {

Rect clipped(Rect r, const Bitmap& b) noexcept {
    r = {std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, b.width()),
         std::min(r.bottom, b.height())};
    return r.left < r.right && r.top < r.bottom ? r : Rect{};
}

}  // namespace

Rect copy_rgba(const Bitmap& bitmap, Rect r, std::vector<std::uint8_t>& out) {
    r = clipped(r, bitmap);
    const auto width = static_cast<std::size_t>(r.right - r.left);
    out.resize(width * static_cast<std::size_t>(r.bottom - r.top) * 4);
    std::uint8_t* to = out.data();
    for (int y = r.top; y < r.bottom; ++y) {
        const std::uint8_t* from = bitmap.scan_line(y) + static_cast<std::size_t>(r.left) * 3;
        for (std::size_t x = 0; x < width; ++x, from += 3, to += 4) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
            to[3] = 255;
        }
    }
    return r;
}

void copy_rect(Bitmap& to, const Bitmap& from, Rect r) noexcept {
    if (to.width() != from.width() || to.height() != from.height()) return;
    r = clipped(r, from);
    const auto length = static_cast<std::size_t>(r.right - r.left) * 3;
    for (int y = r.top; y < r.bottom; ++y)
        std::memcpy(to.scan_line(y) + static_cast<std::size_t>(r.left) * 3,
                    from.scan_line(y) + static_cast<std::size_t>(r.left) * 3, length);
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
    if (rows == 1) {
        detail::write_pixel_run(first, count, c);
        return;
    }
    const std::size_t stride = this->stride();
    // Narrow boxes (the sides of frames, vertical lines) are written in place, a row at a
    // time in stores of a fixed size.
    if (count <= 8) {
        std::uint8_t pattern[24];
        detail::write_pixel_run(pattern, 8, c);
        switch (count) {
            case 1:
                return fill_rows<3>(first, stride, rows, pattern);
            case 2:
                return fill_rows<6>(first, stride, rows, pattern);
            case 3:
                return fill_rows<9>(first, stride, rows, pattern);
            case 4:
                return fill_rows<12>(first, stride, rows, pattern);
            case 5:
                return fill_rows<15>(first, stride, rows, pattern);
            case 6:
                return fill_rows<18>(first, stride, rows, pattern);
            case 7:
                return fill_rows<21>(first, stride, rows, pattern);
            default:
                return fill_rows<24>(first, stride, rows, pattern);
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
    detail::write_pixel_run(first, count, c);
    std::uint8_t* row = first + stride;
    for (int y = 1; y < rows; ++y, row += stride) std::memcpy(row, first, count * 3);
}

ColourRun::ColourRun(Colour colour, int length) {
    bytes_.resize(static_cast<std::size_t>(std::clamp(length, 1, kMaxPictureSide)) * 3);
    detail::write_pixel_run(bytes_.data(), bytes_.size() / 3, colour);
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

Picture::Picture(int width, int height, const FontLibrary* fonts, PixelStart start, RenderCache* cache,
                 PicturePool* pool)
    : bitmap_(width, height, start, pool), canvas_(bitmap_, fonts, cache) {}

}  // namespace hoopcast::raster
