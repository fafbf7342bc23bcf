// Every court kind with zones at the three scales of the compact layout, the smallest full
// layout (window height 458) and a larger one (776), compared pixel for pixel with PNGs
// under tests/data/golden/courts; coloured kinds also through the flood-fill path. Set
// HOOPCAST_REGENERATE_GOLDEN=1 to rewrite them; look at each before committing it.

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "court_play.h"
#include "drawings/courts.h"
#include "play/rounding.h"
#include "raster/image_io.h"
#include "raster/picture.h"

namespace hoopcast {
namespace {

struct GoldenCase {
    int kind;
    double scale;
    const char* scale_name;
    int screen_height = 1080;
};

void PrintTo(const GoldenCase& c, std::ostream* os) {
    *os << "kind " << c.kind << " at " << c.scale_name << " on a screen " << c.screen_height << " high";
}

// Pictures taller than the screen take the flood-fill path; its areas are the same as the
// polygons', so it is held to the same golden picture.
std::string variant(const GoldenCase& c) {
    return c.screen_height < 1080 ? "_flood" : "";
}

std::string golden_path(const GoldenCase& c) {
    std::ostringstream name;
    name << HOOPCAST_TEST_DATA << "/golden/courts/kind" << c.kind << "_" << c.scale_name << ".png";
    return name.str();
}

// RGB rows as libpng decodes them; empty when the file cannot be read.
struct Decoded {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

Decoded read_png(const std::string& path) {
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

bool regenerate() {
    const char* v = std::getenv("HOOPCAST_REGENERATE_GOLDEN");
    return v != nullptr && std::string(v) == "1";
}

class CourtGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(CourtGolden, MatchesThePictureLookedAtByEye) {
    const GoldenCase& c = GetParam();
    testing::Scene scene;
    testing::fill_court_play(*scene.play);
    raster::Picture picture(Round(289 * c.scale), Round(361 * c.scale));
    picture.canvas().screen_height = c.screen_height;
    if (c.scale > 1.1) picture.canvas().pen.width = Trunc(c.scale) + 1;
    draw_court(picture, scene.ctx, c.kind, c.kind + 1, c.scale);

    const std::string path = golden_path(c);
    if (regenerate() && variant(c).empty()) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        const raster::ImageResult r = raster::write_png(picture.bitmap(), path);
        ASSERT_TRUE(r.ok) << r.message;
        GTEST_SKIP() << "rewrote " << path;
    }

    const Decoded golden = read_png(path);
    ASSERT_EQ(golden.width, picture.width()) << path;
    ASSERT_EQ(golden.height, picture.height()) << path;
    int differing = 0;
    int first_x = -1;
    int first_y = -1;
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint8_t* row = picture.bitmap().scan_line(y);
        const std::uint8_t* want = golden.rgb.data() + static_cast<std::size_t>(y) * golden.width * 3;
        for (int x = 0; x < picture.width(); ++x) {
            const std::size_t i = static_cast<std::size_t>(x) * 3;
            if (row[i] != want[i + 2] || row[i + 1] != want[i + 1] || row[i + 2] != want[i]) {
                if (differing++ == 0) {
                    first_x = x;
                    first_y = y;
                }
            }
        }
    }
    EXPECT_EQ(differing, 0) << path << ", first at (" << first_x << ", " << first_y << ")";
    if (differing != 0) {
        // The picture as drawn, to look at beside the golden one.
        const auto actual = std::filesystem::temp_directory_path() / std::filesystem::path(path).filename();
        if (raster::write_png(picture.bitmap(), actual.string()).ok) std::cerr << "drawn: " << actual << "\n";
    }
}

std::vector<GoldenCase> all_cases() {
    std::vector<GoldenCase> cases;
    for (int kind = 0; kind < 14; ++kind) {
        cases.push_back({kind, 1.0, "1_0"});
        cases.push_back({kind, (458.0 - 48) / 361, "1_13573"});
        cases.push_back({kind, (776.0 - 48) / 361, "2_01662"});
    }
    for (int kind : {3, 4, 5, 9, 10, 11, 13}) cases.push_back({kind, (776.0 - 48) / 361, "2_01662", 700});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(AllKinds, CourtGolden, ::testing::ValuesIn(all_cases()),
                         [](const ::testing::TestParamInfo<GoldenCase>& row) {
                             return "kind" + std::to_string(row.param.kind) + "_scale" +
                                    row.param.scale_name + variant(row.param);
                         });

}  // namespace
}  // namespace hoopcast
