#pragma once
// Pictures compared pixel for pixel with PNG files under tests/data/golden. With
// HOOPCAST_REGENERATE_GOLDEN=1 the pictures are written instead (the test is skipped);
// look at every one before committing it.

#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "raster/image_io.h"
#include "raster/picture.h"

namespace hoopcast::testing {

inline bool regenerating_golden() {
    const char* v = std::getenv("HOOPCAST_REGENERATE_GOLDEN");
    return v != nullptr && std::string_view(v) == "1";
}

inline std::string golden_path(std::string_view folder, std::string_view name) {
    return std::string(HOOPCAST_TEST_DATA) + "/golden/" + std::string(folder) + "/" + std::string(name) +
           ".png";
}

namespace golden_detail {

// RGB rows as libpng decodes them; empty when the file cannot be read.
struct Decoded {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

inline Decoded read_png(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    Decoded d;
    d.width = static_cast<int>(image.width);
    d.height = static_cast<int>(image.height);
    d.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, d.rgb.data(), 0, nullptr)) return {};
    return d;
}

}  // namespace golden_detail

// Compares the picture with the golden file at path, or rewrites that file when
// regenerating (unless may_write is false: a second way of drawing the same picture).
// On a difference the drawn picture is left in the temporary folder to look at.
inline void expect_golden(const raster::Bitmap& picture, const std::string& path, bool may_write = true) {
    if (regenerating_golden() && may_write) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        const raster::ImageResult r = raster::write_png(picture, path);
        ASSERT_TRUE(r.ok) << r.message;
        GTEST_SKIP() << "wrote " << path;
    }
    const golden_detail::Decoded golden = golden_detail::read_png(path);
    ASSERT_FALSE(golden.rgb.empty()) << "cannot read " << path;
    ASSERT_EQ(golden.width, picture.width()) << path;
    ASSERT_EQ(golden.height, picture.height()) << path;
    int differing = 0;
    int first_x = -1;
    int first_y = -1;
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint8_t* row = picture.scan_line(y);
        const std::uint8_t* want =
            golden.rgb.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(golden.width) * 3;
        for (int x = 0; x < picture.width(); ++x) {
            const std::size_t i = static_cast<std::size_t>(x) * 3;
            // Our rows are blue, green, red.
            if (row[i] != want[i + 2] || row[i + 1] != want[i + 1] || row[i + 2] != want[i]) {
                if (differing++ == 0) {
                    first_x = x;
                    first_y = y;
                }
            }
        }
    }
    if (differing != 0) {
        const auto drawn = std::filesystem::temp_directory_path() / std::filesystem::path(path).filename();
        const bool kept = raster::write_png(picture, drawn.string()).ok;
        ADD_FAILURE() << differing << " pixels differ from " << path << ", the first at (" << first_x << ", "
                      << first_y << ")" << (kept ? "; drawn: " + drawn.string() : std::string());
    }
}

}  // namespace hoopcast::testing
