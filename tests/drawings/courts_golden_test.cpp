// Every court kind with zones at the three scales of the compact layout, the smallest full
// layout (window height 458) and a larger one (776), compared pixel for pixel with PNGs
// under tests/data/golden/courts; coloured kinds also through the flood-fill path.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "court_play.h"
#include "drawings/courts.h"
#include "golden.h"
#include "play/rounding.h"
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

std::string golden_name(const GoldenCase& c) {
    return "kind" + std::to_string(c.kind) + "_" + c.scale_name;
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

    // The flood-fill variant is compared with the picture the polygons wrote.
    testing::expect_golden(picture.bitmap(), testing::golden_path("courts", golden_name(c)),
                           variant(c).empty());
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
