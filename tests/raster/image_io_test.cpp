// PNG and PPM output, and the PPM reader on good and broken input.

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "raster/image_io.h"

namespace hoopcast::raster {
namespace {

Bitmap sample() {
    Bitmap b(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) b.set_pixel(x, y, rgb(x * 50, y * 100, 255 - x * 7));
    return b;
}

bool same(const Bitmap& a, const Bitmap& b) {
    return a.width() == b.width() && a.height() == b.height() &&
           std::equal(a.bytes().begin(), a.bytes().end(), b.bytes().begin());
}

std::vector<std::uint8_t> bytes_of(std::string_view s) {
    return {s.begin(), s.end()};
}

TEST(Ppm, RoundTripsExactly) {
    const Bitmap b = sample();
    const std::vector<std::uint8_t> data = encode_ppm(b);
    const std::string header = "P6\n5 3\n255\n";
    ASSERT_GE(data.size(), header.size());
    EXPECT_EQ(std::string(data.begin(), data.begin() + static_cast<long>(header.size())), header);
    EXPECT_EQ(data[header.size()], 0);        // red of (0,0) first
    EXPECT_EQ(data[header.size() + 2], 255);  // then green, blue
    const PpmImage back = decode_ppm(data);
    ASSERT_TRUE(back.ok()) << back.error;
    EXPECT_TRUE(same(back.bitmap, b));
}

TEST(Ppm, AcceptsCommentsAndAnyWhitespaceInTheHeader) {
    auto data = bytes_of("P6 # made by hand\n2\t1\r\n255\n");
    for (int i = 0; i < 6; ++i) data.push_back(static_cast<std::uint8_t>(i * 40));
    const PpmImage img = decode_ppm(data);
    ASSERT_TRUE(img.ok()) << img.error;
    EXPECT_EQ(img.bitmap.pixel(1, 0), rgb(120, 160, 200));
}

TEST(Ppm, RejectsBrokenInputWithAReason) {
    const std::pair<const char*, const char*> bad[] = {
        {"", "not a binary PPM"},
        {"P3\n1 1\n255\n0 0 0\n", "not a binary PPM"},
        {"P6\n0 5\n255\n", "width"},
        {"P6\n99999 1\n255\n", "width"},
        {"P6\n1 99999999999999999999\n255\n", "height"},
        {"P6\n1 1\n65535\n", "maximum value"},
        {"P6\n1 1\n255", "whitespace"},
        {"P6\n2 2\n255\n\x01\x02\x03", "truncated"},
        {"P6\n-1 2\n255\n", "width"},
    };
    for (const auto& [input, why] : bad) {
        const PpmImage img = decode_ppm(bytes_of(input));
        EXPECT_FALSE(img.ok()) << input;
        EXPECT_NE(img.error.find(why), std::string::npos) << input << " gave: " << img.error;
        EXPECT_TRUE(img.bitmap.empty());
    }
}

TEST(Ppm, MissingFileReportsTheSystemError) {
    const PpmImage img = read_ppm("/nonexistent/dir/x.ppm");
    EXPECT_FALSE(img.ok());
    EXPECT_NE(img.error.find("/nonexistent/dir/x.ppm"), std::string::npos);
}

TEST(Png, RoundTripsThroughLibpng) {
    const Bitmap b = sample();
    const std::vector<std::uint8_t> data = encode_png(b);
    ASSERT_FALSE(data.empty());
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&image, data.data(), data.size()));
    EXPECT_EQ(image.width, 5u);
    EXPECT_EQ(image.height, 3u);
    image.format = PNG_FORMAT_BGR;
    Bitmap back(5, 3);
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, back.bytes().data(),
                                      static_cast<png_int_32>(back.stride()), nullptr));
    EXPECT_TRUE(same(back, b));
}

TEST(Png, WritesAFileAndReportsUnwritablePaths) {
    const auto path = std::filesystem::temp_directory_path() / "hoopcast_raster_test.png";
    const ImageResult ok = write_png(sample(), path.string());
    EXPECT_TRUE(ok.ok) << ok.message;
    EXPECT_GT(std::filesystem::file_size(path), 8u);
    std::filesystem::remove(path);
    const ImageResult bad = write_png(sample(), "/nonexistent/dir/out.png");
    EXPECT_FALSE(bad.ok);
    EXPECT_NE(bad.message.find("/nonexistent/dir/out.png"), std::string::npos);
    EXPECT_FALSE(write_png(Bitmap(), path.string()).ok);
}

}  // namespace
}  // namespace hoopcast::raster
