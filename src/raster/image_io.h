#pragma once
// Writing pictures as PNG and binary PPM, and reading binary PPM back (for the reference
// checker and the tests).

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "raster/picture.h"

namespace hoopcast::raster {

struct ImageResult {
    bool ok = false;
    std::string message;  // why it failed; empty on success
};

// PNG, 8 bits per channel RGB.
ImageResult write_png(const Bitmap& bitmap, const std::string& path) noexcept;
// PNG into memory; empty on failure.
std::vector<std::uint8_t> encode_png(const Bitmap& bitmap) noexcept;

// A tEXt chunk: Latin-1 keyword (1..79 characters) and text.
struct PngText {
    std::string keyword;
    std::string text;
};
// PNG with text chunks after the header.
std::vector<std::uint8_t> encode_png(const Bitmap& bitmap, const std::vector<PngText>& texts);

// Binary PPM (P6) with the header "P6\n<w> <h>\n255\n" and R, G, B per pixel.
ImageResult write_ppm(const Bitmap& bitmap, const std::string& path) noexcept;
std::vector<std::uint8_t> encode_ppm(const Bitmap& bitmap) noexcept;

struct PpmImage {
    Bitmap bitmap;
    std::string error;  // empty when the image was read
    bool ok() const noexcept { return error.empty(); }
};

// Reads a binary PPM with a maximum value of 255. Comments and any whitespace in the header
// are accepted; sizes beyond kMaxPictureSide, truncated pixel data and other maximum values
// are errors.
PpmImage decode_ppm(std::span<const std::uint8_t> data) noexcept;
PpmImage read_ppm(const std::string& path) noexcept;

}  // namespace hoopcast::raster
