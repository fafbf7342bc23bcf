#include <gtest/gtest.h>

#include "court_play.h"
#include "drawings/courts.h"
#include "drawings/zones.h"
#include "raster/picture.h"

namespace hoopcast {
namespace {

using raster::Picture;
using testing::add_item;
using testing::Scene;
using testing::ZoneItem;

bool same_pixels(const Picture& a, const Picture& b) {
    return a.width() == b.width() && a.height() == b.height() &&
           std::equal(a.bitmap().bytes().begin(), a.bitmap().bytes().end(), b.bitmap().bytes().begin());
}

// A picture filled with one colour, with a black line across row 50.
std::unique_ptr<Picture> filled(raster::Colour c, int w = 100, int h = 100) {
    auto p = std::make_unique<Picture>(w, h);
    p->bitmap().fill(c);
    for (int x = 0; x < w; ++x) p->bitmap().set_pixel(x, 50, kBlack);
    return p;
}

raster::Colour tint_of(Scene& scene, const ZoneItem& zone, raster::Colour under, bool monochrome) {
    add_item(*scene.play, 1, zone);
    scene.ctx.monochrome = monochrome;
    auto p = filled(under);
    draw_zones(*p, scene.ctx, 1, 1.0);
    return p->bitmap().pixel(50, 30);
}

TEST(DrawZones, MonochromeDarkensToTwentyPercentWhateverTheZoneAsks) {
    for (const ZoneItem& z :
         {ZoneItem{"ellipse", 10, 10, 90, 90}, ZoneItem{"ellipse", 10, 10, 90, 90, 0x0000FF, 1, 1, 0}}) {
        Scene scene;
        add_item(*scene.play, 1, z);
        scene.ctx.monochrome = true;
        auto p = filled(kWhite);
        draw_zones(*p, scene.ctx, 1, 1.0);
        EXPECT_EQ(p->bitmap().pixel(50, 30), 0xCCCCCC);
        EXPECT_EQ(p->bitmap().pixel(50, 50), kBlack);
        EXPECT_EQ(p->bitmap().pixel(2, 2), kWhite);
    }
}

TEST(DrawZones, TintFactorsAndChannelSwitches) {
    struct Case {
        ZoneItem zone;
        raster::Colour under;
        raster::Colour expected;
    };
    const Case cases[] = {
        {{"ellipse", 10, 10, 90, 90}, kWhite, 0xCCCCCC},
        // Orange floor at 80 %: red 204, green 163, blue 0.
        {{"ellipse", 10, 10, 90, 90}, 0x00CCFF, raster::rgb(204, 163, 0)},
        // All channels 128 leave the picture as it is.
        {{"ellipse", 10, 10, 90, 90, 0x808080}, 0x3C7AB9, 0x3C7AB9},
        // Pure red: red capped at 255, green and blue -71 stored as 185.
        {{"ellipse", 10, 10, 90, 90, 0x0000FF}, kWhite, raster::rgb(255, 185, 185)},
        // Red switched off; the other channels keep their grey tint.
        {{"ellipse", 10, 10, 90, 90, 0, 1, 0, 0}, kWhite, raster::rgb(0, 204, 204)},
        {{"ellipse", 10, 10, 90, 90, 0x808080, 0, 1, 1}, 0x3C7AB9, raster::rgb(0xB9, 0, 0)},
        // A switch value other than 0 and 1 multiplies and keeps the low eight bits.
        {{"ellipse", 10, 10, 90, 90, 0x808080, 3, 0, 0},
         raster::rgb(100, 0, 0),
         raster::rgb(100 * -2 & 0xFF, 0, 0)},
    };
    for (const Case& c : cases) {
        Scene scene;
        EXPECT_EQ(tint_of(scene, c.zone, c.under, false), c.expected)
            << std::hex << c.zone.colour << " over " << c.under;
    }
}

TEST(DrawZones, OverlapsTintOncePerZoneEllipsesBeforePolygons) {
    Scene scene;
    add_item(*scene.play, 1, {"poly", 0, 0});
    add_item(*scene.play, 1, {"poly", 99, 0});
    add_item(*scene.play, 1, {"ppoly", 99, 40, 0, 0, 0x0000FF});
    add_item(*scene.play, 1, {"ellipse", 10, 10, 90, 90});
    auto p = filled(kWhite);
    draw_zones(*p, scene.ctx, 1, 1.0);
    // White -> grey 204 -> red tint: red Round(204 * 2.27) capped, green and blue
    // Round(204 * -0.28) = -57 stored as 199.
    EXPECT_EQ(p->bitmap().pixel(50, 20), raster::rgb(255, 199, 199));
    EXPECT_EQ(p->bitmap().pixel(50, 60), 0xCCCCCC);
    EXPECT_EQ(p->bitmap().pixel(90, 5), raster::rgb(255, 185, 185));
}

TEST(DrawZones, PolygonsNeedThreeCornersAndStartAfresh) {
    Scene scene;
    add_item(*scene.play, 1, {"poly", 10, 10});
    add_item(*scene.play, 1, {"poly", 100, 10});
    add_item(*scene.play, 1, {"ppoly", 10, 100});
    add_item(*scene.play, 2, {"poly", 10, 10});
    add_item(*scene.play, 2, {"ppoly", 100, 10});
    add_item(*scene.play, 2, {"poly", 10, 80});
    scene.ctx.monochrome = true;

    auto triangle = filled(kWhite, 120, 120);
    draw_zones(*triangle, scene.ctx, 1, 1.0);
    EXPECT_EQ(triangle->bitmap().pixel(30, 30), 0xCCCCCC);
    EXPECT_EQ(triangle->bitmap().pixel(80, 80), kWhite);
    EXPECT_EQ(triangle->bitmap().pixel(10, 10), 0xCCCCCC);

    // Two corners tint nothing, and the corner after them is never closed.
    auto nothing = filled(kWhite, 120, 120);
    draw_zones(*nothing, scene.ctx, 2, 1.0);
    EXPECT_TRUE(same_pixels(*nothing, *filled(kWhite, 120, 120)));
}

TEST(DrawZones, NoZonesLeaveThePictureAlone) {
    Scene scene;
    add_item(*scene.play, 1, {"Circle", 10, 10});
    add_item(*scene.play, 2, {"ellipse", 10, 10, 90, 90});
    const auto untouched = filled(kWhite);

    auto p = filled(kWhite);
    draw_zones(*p, scene.ctx, 1, 1.0);  // this sequence has none
    EXPECT_TRUE(same_pixels(*p, *untouched));
    draw_zones(*p, scene.ctx, 0, 1.0);
    draw_zones(*p, scene.ctx, -3, 1.0);
    draw_zones(*p, scene.ctx, 76, 1.0);
    EXPECT_TRUE(same_pixels(*p, *untouched));

    scene.play->has_zones = false;
    draw_zones(*p, scene.ctx, 2, 1.0);
    EXPECT_TRUE(same_pixels(*p, *untouched));

    // Items after the first free slot are not read.
    scene.play->has_zones = true;
    scene.play->item(3, 2).kind = "ellipse";
    scene.play->item(3, 2).x2 = 90;
    scene.play->item(3, 2).y2 = 90;
    draw_zones(*p, scene.ctx, 3, 1.0);
    EXPECT_TRUE(same_pixels(*p, *untouched));
}

TEST(DrawZones, ZonesAreClippedAtThePictureEdges) {
    Scene scene;
    scene.ctx.monochrome = true;
    add_item(*scene.play, 1, {"poly", 60, 60});
    add_item(*scene.play, 1, {"poly", 500, 60});
    add_item(*scene.play, 1, {"poly", 500, 500});
    add_item(*scene.play, 1, {"ppoly", 60, 500});
    add_item(*scene.play, 1, {"ellipse", -40, -40, 30, 30});
    auto p = filled(kWhite);
    draw_zones(*p, scene.ctx, 1, 1.0);
    const raster::Bitmap& b = p->bitmap();
    EXPECT_EQ(b.pixel(99, 99), 0xCCCCCC);
    EXPECT_EQ(b.pixel(99, 60), 0xCCCCCC);
    EXPECT_EQ(b.pixel(60, 99), 0xCCCCCC);
    EXPECT_EQ(b.pixel(59, 99), kWhite);
    EXPECT_EQ(b.pixel(0, 0), 0xCCCCCC);
    EXPECT_EQ(b.pixel(40, 0), kWhite);
}

TEST(DrawZones, CoordinatesUseTheirLowSixteenBits) {
    Scene plain;
    add_item(*plain.play, 1, {"ellipse", 10, 10, 90, 90});
    Scene wrapped;
    add_item(*wrapped.play, 1, {"ellipse", 10 + 65536, 10 - 3 * 65536, 90 + 65536 * 1000, 90});
    auto a = filled(kWhite);
    auto b = filled(kWhite);
    draw_zones(*a, plain.ctx, 1, 1.0);
    draw_zones(*b, wrapped.ctx, 1, 1.0);
    EXPECT_TRUE(same_pixels(*a, *b));

    // 0xFFF6 is -10: the zone reaches past the top-left corner.
    Scene negative;
    negative.ctx.monochrome = true;
    add_item(*negative.play, 1, {"poly", 0xFFF6, 0xFFF6});
    add_item(*negative.play, 1, {"poly", 40, 0xFFF6});
    add_item(*negative.play, 1, {"ppoly", 0xFFF6, 40});
    auto c = filled(kWhite);
    draw_zones(*c, negative.ctx, 1, 1.0);
    EXPECT_EQ(c->bitmap().pixel(0, 0), 0xCCCCCC);
}

TEST(DrawZones, FlatEllipseTintsNoMoreThanItsBox) {
    Scene scene;
    scene.ctx.monochrome = true;
    add_item(*scene.play, 1, {"ellipse", 20, 30, 20, 70});
    add_item(*scene.play, 1, {"ellipse", 60, 10, 90, 40});
    auto p = filled(kWhite);
    draw_zones(*p, scene.ctx, 1, 1.0);
    const raster::Bitmap& b = p->bitmap();
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            const bool in_flat_box = x >= 20 && x <= 21 && y >= 30 && y <= 71;
            const bool in_round = x >= 60 && x <= 90 && y >= 10 && y <= 40;
            if (!in_flat_box && !in_round && y != 50) {
                ASSERT_EQ(b.pixel(x, y), kWhite) << x << "," << y;
            }
        }
    }
    // The round zone after it is tinted as if it came first.
    EXPECT_EQ(b.pixel(75, 25), 0xCCCCCC);
    EXPECT_EQ(b.pixel(61, 11), kWhite);
}

TEST(ShadeZone, ClipsAndWidensTheBoxByOnePixelWhereThereIsRoom) {
    Scene scene;
    scene.ctx.monochrome = true;
    Picture mask(20, 20);
    mask.bitmap().fill(kBlack);

    Picture p(20, 20);
    shade_zone(p, scene.ctx, mask, 5, 5, 9, 9, 0, 0, 0, 0);
    EXPECT_EQ(p.bitmap().pixel(10, 10), 0xCCCCCC);
    EXPECT_EQ(p.bitmap().pixel(11, 10), kWhite);
    EXPECT_EQ(p.bitmap().pixel(4, 5), kWhite);

    Picture edge(20, 20);
    shade_zone(edge, scene.ctx, mask, -5, -5, 400, 19, 0, 0, 0, 0);
    EXPECT_EQ(edge.bitmap().pixel(0, 0), 0xCCCCCC);
    EXPECT_EQ(edge.bitmap().pixel(19, 19), 0xCCCCCC);

    Picture outside(20, 20);
    shade_zone(outside, scene.ctx, mask, 30, 30, 40, 40, 0, 0, 0, 0);
    shade_zone(outside, scene.ctx, mask, 5, 5, -3, -3, 0, 0, 0, 0);
    EXPECT_TRUE(same_pixels(outside, Picture(20, 20)));
}

TEST(DrawCourtZones, CourtLinesStayBlackUnderZones) {
    Scene scene;
    add_item(*scene.play, 1, {"ellipse", 100, 150, 200, 320, 0x0000FF});
    for (int kind : {0, 3, 9}) {
        Picture p(289, 361);
        draw_court(p, scene.ctx, kind, 1, 1.0);
        EXPECT_EQ(p.bitmap().pixel(143, 166), kBlack) << kind;  // three-point line
        EXPECT_EQ(p.bitmap().pixel(150, 307), kBlack) << kind;  // baseline
        EXPECT_EQ(p.bitmap().pixel(150, 211), kBlack) << kind;  // lane top
    }
    // Floor under a default zone on a coloured court: 204, 163, 0.
    Scene grey;
    add_item(*grey.play, 1, {"ellipse", 200, 100, 270, 150});
    Picture p(289, 361);
    draw_court(p, grey.ctx, 3, 1, 1.0);
    EXPECT_EQ(p.bitmap().pixel(235, 125), raster::rgb(204, 163, 0));
}

}  // namespace
}  // namespace hoopcast
