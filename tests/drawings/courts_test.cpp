#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

#include "court_play.h"
#include "drawings/arcs.h"
#include "drawings/courts.h"
#include "play/rounding.h"
#include "raster/picture.h"

namespace hoopcast {
namespace {

using raster::Picture;
using testing::Scene;

int width_for(double scale) {
    return Round(289 * scale);
}
int height_for(double scale) {
    return Round(361 * scale);
}

bool same_pixels(const Picture& a, const Picture& b) {
    return a.width() == b.width() && a.height() == b.height() &&
           std::equal(a.bitmap().bytes().begin(), a.bitmap().bytes().end(), b.bitmap().bytes().begin());
}

int count_differences(const Picture& a, const Picture& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) n += a.bitmap().pixel(x, y) != b.bitmap().pixel(x, y);
    }
    return n;
}

TEST(DrawCourt, PlainHalfCourtAtScaleOne) {
    Scene scene;
    Picture p(289, 361);
    draw_court(p, scene.ctx, 0, 1, 1.0);
    const raster::Bitmap& b = p.bitmap();
    EXPECT_TRUE(scene.ctx.monochrome);

    // Frame of the picture.
    EXPECT_EQ(b.pixel(0, 0), kBlack);
    EXPECT_EQ(b.pixel(288, 360), kBlack);
    EXPECT_EQ(b.pixel(5, 5), kWhite);

    // Court outline from (11, 76) to (275, 307), corners included.
    for (auto [x, y] : {std::pair{11, 76}, {11, 307}, {275, 307}, {275, 76}, {150, 76}, {11, 200}}) {
        EXPECT_EQ(b.pixel(x, y), kBlack) << x << "," << y;
    }
    EXPECT_EQ(b.pixel(10, 76), kWhite);
    EXPECT_EQ(b.pixel(276, 307), kWhite);
    EXPECT_EQ(b.pixel(150, 75), kWhite);
    EXPECT_EQ(b.pixel(150, 308), kWhite);

    // Lane corners on the baseline.
    EXPECT_EQ(b.pixel(90, 307), kBlack);
    EXPECT_EQ(b.pixel(196, 307), kBlack);

    // The three-point arc peaks at (143, 166).
    EXPECT_EQ(b.pixel(143, 166), kBlack);
    for (int y = 77; y < 166; ++y) EXPECT_EQ(b.pixel(143, y), kWhite) << y;

    // Ring of radius 4 about (143, 283) and the backboard from (159, 287) to (126, 287).
    EXPECT_EQ(b.pixel(143, 279), kBlack);
    EXPECT_EQ(b.pixel(143, 283), kWhite);
    EXPECT_EQ(b.pixel(159, 287), kBlack);
    EXPECT_EQ(b.pixel(127, 287), kBlack);
    EXPECT_EQ(b.pixel(126, 287), kWhite);

    // Canvas left with a solid black pen and a solid white brush.
    EXPECT_EQ(p.canvas().pen.colour, kBlack);
    EXPECT_EQ(p.canvas().brush.style, raster::BrushStyle::solid);
    EXPECT_EQ(p.canvas().brush.colour, kWhite);
}

TEST(DrawCourt, RectangularLaneAndTopAndFullCourts) {
    Scene scene;
    Picture rect(289, 361);
    draw_court(rect, scene.ctx, 6, 1, 1.0);
    EXPECT_EQ(rect.bitmap().pixel(111, 307), kBlack);
    EXPECT_EQ(rect.bitmap().pixel(111, 250), kBlack);
    EXPECT_EQ(rect.bitmap().pixel(90, 307), kBlack);  // baseline, not a lane corner
    EXPECT_EQ(rect.bitmap().pixel(100, 260), kWhite);

    // The top court is the bottom one mirrored: y becomes 366 - y.
    Picture top(289, 361);
    draw_court(top, scene.ctx, 1, 1, 1.0);
    EXPECT_EQ(top.bitmap().pixel(143, 200), kBlack);  // lowest point of the arc
    for (int y = 201; y < 290; ++y) EXPECT_EQ(top.bitmap().pixel(143, y), kWhite) << y;
    EXPECT_EQ(top.bitmap().pixel(90, 59), kBlack);
    EXPECT_EQ(top.bitmap().pixel(196, 59), kBlack);

    Picture full(289, 361);
    draw_court(full, scene.ctx, 2, 1, 1.0);
    for (auto [x, y] : {std::pair{45, 4}, {248, 357}, {100, 181}, {107, 4}, {186, 357}}) {
        EXPECT_EQ(full.bitmap().pixel(x, y), kBlack) << x << "," << y;
    }
    // Centre circle outline only.
    EXPECT_EQ(full.bitmap().pixel(146, 170), kWhite);
    EXPECT_EQ(full.bitmap().pixel(146, 157), kBlack);
}

TEST(DrawCourt, DefaultCourtColours) {
    Scene scene;
    const auto colours = court_colours(scene.ctx, 1);
    EXPECT_EQ(colours, (std::array<raster::Colour, 4>{0x99FFFF, 0x00CCFF, 0xCCFFFF, 0x99CCFF}));
    scene.play->header(2).colour3 = 0x123456;
    EXPECT_EQ(court_colours(scene.ctx, 2)[2], 0x123456);
    EXPECT_EQ(court_colours(scene.ctx, 2)[0], 0x99FFFF);

    Picture p(289, 361);
    draw_court(p, scene.ctx, 3, 1, 1.0);
    EXPECT_FALSE(scene.ctx.monochrome);
    const raster::Bitmap& b = p.bitmap();
    EXPECT_EQ(b.pixel(5, 5), 0x99FFFF);      // background
    EXPECT_EQ(b.pixel(20, 100), 0x00CCFF);   // floor
    EXPECT_EQ(b.pixel(60, 290), 0xCCFFFF);   // three-point area
    EXPECT_EQ(b.pixel(143, 260), 0x99CCFF);  // lane
    EXPECT_EQ(b.pixel(143, 166), kBlack);    // three-point line
    EXPECT_EQ(b.pixel(11, 76), kBlack);      // court outline
    EXPECT_EQ(p.canvas().brush.colour, 0x99CCFF);
}

TEST(DrawCourt, FloodFillAndPolygonPathsPaintTheSameAreas) {
    for (int kind : {3, 4, 5, 9, 10, 11, 13}) {
        for (double scale : {1.0, 2.01662}) {
            Scene scene;
            Picture filled(width_for(scale), height_for(scale));
            filled.canvas().screen_height = 300;
            draw_court(filled, scene.ctx, kind, 1, scale);
            Picture drawn(width_for(scale), height_for(scale));
            drawn.canvas().screen_height = 1080;
            draw_court(drawn, scene.ctx, kind, 1, scale);
            // The filled areas end at the black line, the polygons at their own outline; a
            // few edge pixels may differ, never an area.
            EXPECT_LT(count_differences(filled, drawn), 40) << kind << " at " << scale;
        }
    }
}

TEST(DrawCourt, BlankKindsAndKindsOutsideTheTable) {
    Scene scene;
    Picture blank(289, 361);
    draw_court(blank, scene.ctx, 12, 1, 1.0);
    EXPECT_TRUE(scene.ctx.monochrome);
    EXPECT_EQ(blank.bitmap().pixel(0, 100), kBlack);
    EXPECT_EQ(blank.bitmap().pixel(143, 166), kWhite);

    scene.play->header(2).colour1 = 0x203040;
    Picture coloured(289, 361);
    draw_court(coloured, scene.ctx, 13, 2, 1.0);
    EXPECT_FALSE(scene.ctx.monochrome);
    EXPECT_EQ(coloured.bitmap().pixel(0, 100), kBlack);
    EXPECT_EQ(coloured.bitmap().pixel(143, 166), 0x203040);

    for (int kind : {14, 99, -1}) {
        for (bool before : {false, true}) {
            scene.ctx.monochrome = before;
            Picture p(289, 361);
            draw_court(p, scene.ctx, kind, 1, 1.0);
            EXPECT_EQ(scene.ctx.monochrome, before);
            Picture background(289, 361);
            background.canvas().rectangle(0, 0, 289, 361);
            EXPECT_TRUE(same_pixels(p, background)) << kind;
        }
    }
}

TEST(DrawCourt, RedrawingOverAnOldFrameGivesTheSamePicture) {
    Scene scene;
    Picture fresh(328, 410);
    draw_court(fresh, scene.ctx, 5, 1, 1.13573);
    Picture reused(328, 410);
    draw_court(reused, scene.ctx, 11, 1, 1.13573);
    draw_court(reused, scene.ctx, 5, 1, 1.13573);
    EXPECT_TRUE(same_pixels(fresh, reused));
}

TEST(DrawCourt, PaintsEveryPixelWhereItSaysItDoes) {
    // Pictures that start with different contents end alike exactly when no pixel is left
    // unpainted; frames rely on that to skip clearing their picture.
    EXPECT_TRUE(court_paints_every_pixel(827, 1032, 1080));
    EXPECT_FALSE(court_paints_every_pixel(827, 1032, 1000)) << "flood-filled from what the picture held";
    EXPECT_FALSE(court_paints_every_pixel(1, 1, 1080)) << "a thin frame of one pixel draws nothing";
    EXPECT_TRUE(court_paints_every_pixel(1, 2, 1080));
    Scene scene;
    testing::fill_court_play(*scene.play);
    for (double scale : {0.005, 0.3, 0.77, 1.3, 2.01662}) {
        const int w = width_for(scale), h = height_for(scale);
        ASSERT_TRUE(court_paints_every_pixel(w, h, 1080));
        for (int kind = -1; kind <= 14; ++kind) {
            Picture white(w, h), dark(w, h);
            dark.bitmap().fill(0x102030);
            for (Picture* p : {&white, &dark}) {
                if (scale > 1.1) p->canvas().pen.width = Trunc(scale) + 1;
                draw_court(*p, scene.ctx, kind, kind >= 0 && kind < 14 ? kind + 1 : 1, scale);
            }
            EXPECT_TRUE(same_pixels(white, dark)) << "kind " << kind << " at " << scale;
        }
    }
}

// The coloured full court drawn one canvas call at a time, each area painted
// whole over the ones before it: what the court drawing must give however it paints.
void layered_full_court(Picture& p, key_shape shape, const std::array<raster::Colour, 4>& colours, double s) {
    raster::Canvas& c = p.canvas();
    const auto px = [s](double v) { return Round(v * s); };
    const auto path = [&](std::initializer_list<std::pair<double, double>> points) {
        bool first = true;
        for (auto [x, y] : points) {
            if (first)
                c.move_to(px(x), px(y));
            else
                c.line_to(px(x), px(y));
            first = false;
        }
    };
    const auto quad = [&](std::initializer_list<std::pair<double, double>> points) {
        std::vector<raster::Point> list;
        for (auto [x, y] : points) list.push_back({px(x), px(y)});
        list.push_back(list.front());
        c.polygon(list);
    };
    c.pen.colour = kBlack;
    c.brush.colour = colours[0];
    c.rectangle(0, 0, p.width(), p.height());
    if (c.pen.width == 0) c.pen.width = 1;
    c.pen.colour = c.brush.colour = colours[1];
    c.rectangle(px(45), px(4), px(248), px(357));
    c.pen.colour = kBlack;
    c.brush.colour = colours[2];
    fill_arc_region(p, 231, 29, 62, 29, 4, s, 0, 180);
    fill_arc_region(p, 62, 332, 231, 332, 357, s, 180, 360);
    c.ellipse(px(122), px(157), px(171), px(205));
    c.pen.colour = c.brush.colour = colours[3];
    if (shape == key_shape::trapezoid) {
        quad({{107, 4}, {122, 76}, {171, 76}, {186, 4}});
        quad({{107, 357}, {122, 285}, {171, 285}, {186, 357}});
    } else {
        c.rectangle(px(122), px(4), px(171), px(76));
        c.rectangle(px(122), px(285), px(171), px(357));
    }
    c.pen.colour = kBlack;
    c.brush.style = raster::BrushStyle::clear;
    path({{45, 181}, {248, 181}});
    path({{45, 4}, {45, 357}, {248, 357}, {248, 4}, {45, 4}});
    if (shape == key_shape::trapezoid) {
        path({{107, 4}, {122, 76}, {171, 76}, {186, 4}});
        path({{107, 357}, {122, 285}, {171, 285}, {186, 357}});
    } else {
        path({{122, 4}, {122, 76}, {171, 76}, {171, 4}});
        path({{122, 357}, {122, 285}, {171, 285}, {171, 357}});
    }
    c.brush.colour = colours[3];
    draw_full_court_baskets(p, s);
    draw_arc(p, 180, 360, 122 * s, 76 * s, 171 * s, 76 * s, true);
    draw_arc(p, 0, 180, 122 * s, 285 * s, 171 * s, 285 * s, true);
}

TEST(DrawCourt, PaintedAreasMatchTheirDrawingOneOverAnother) {
    Scene scene;
    scene.play->header(1).colour2 = 0x3070C0;
    const std::array<raster::Colour, 4> colours = court_colours(scene.ctx, 1);
    for (double scale : {0.21, 0.5, 0.83, 1.0, 1.17, 1.5, 1.9, 2.3, 2.86, 3.3, 4.2}) {
        for (int kind : {5, 11}) {
            Picture drawn(width_for(scale), height_for(scale)), layered(width_for(scale), height_for(scale));
            for (Picture* p : {&drawn, &layered}) {
                p->canvas().screen_height = 2000;  // the areas as polygons
                if (scale > 1.1) p->canvas().pen.width = Trunc(scale) + 1;
            }
            draw_court(drawn, scene.ctx, kind, 1, scale);
            layered_full_court(layered, kind == 5 ? key_shape::trapezoid : key_shape::rectangle, colours,
                               scale);
            EXPECT_EQ(count_differences(drawn, layered), 0) << "kind " << kind << " at " << scale;
        }
    }
}

TEST(DrawCourt, AbsurdScalesOnASmallPictureDrawOnlyWhatFallsInside) {
    // Far beyond any window, the court's areas are drawn call by call, clipped to the
    // picture, rather than worked out whole.
    Scene scene;
    const std::array<raster::Colour, 4> colours = court_colours(scene.ctx, 1);
    for (double scale : {300.0, 1e7}) {
        for (int kind : {5, 11}) {
            Picture drawn(60, 60), layered(60, 60);
            draw_court(drawn, scene.ctx, kind, 1, scale);
            layered_full_court(layered, kind == 5 ? key_shape::trapezoid : key_shape::rectangle, colours,
                               scale);
            EXPECT_TRUE(same_pixels(drawn, layered)) << "kind " << kind << " at " << scale;
        }
    }
}

TEST(ScaleBands, ThresholdsCompareAsDecimals) {
    const auto above = [](double v) { return std::nextafter(v, 10.0); };
    const auto below = [](double v) { return std::nextafter(v, 0.0); };
    EXPECT_FALSE(scale_at_most_076(0.76));
    EXPECT_TRUE(scale_at_most_076(below(0.76)));
    EXPECT_TRUE(scale_below_085(0.85));
    EXPECT_FALSE(scale_below_085(above(0.85)));
    EXPECT_TRUE(scale_below_095(0.95));
    EXPECT_FALSE(scale_below_095(above(0.95)));
    EXPECT_TRUE(scale_below_12(1.2));
    EXPECT_FALSE(scale_below_12(above(1.2)));
}

TEST(ScaleBands, BasketsChangeAtTheBoundaryDoubles) {
    const auto basket = [](void (*draw)(Picture&, double), double scale) {
        auto p = std::make_unique<Picture>(width_for(scale), height_for(scale));
        draw(*p, scale);
        return p;
    };
    const auto above = [](double v) { return std::nextafter(v, 10.0); };
    const auto below = [](double v) { return std::nextafter(v, 0.0); };

    // At 0.95 the ring of the bottom basket is still at (143, 282): its top is at row 264.
    {
        auto at = basket(draw_bottom_basket, 0.95);
        auto past = basket(draw_bottom_basket, above(0.95));
        EXPECT_EQ(at->bitmap().pixel(136, 264), kBlack);
        EXPECT_EQ(at->bitmap().pixel(136, 265), kWhite);
        EXPECT_EQ(past->bitmap().pixel(136, 264), kWhite);
        EXPECT_EQ(past->bitmap().pixel(136, 265), kBlack);
    }
    // Each boundary double draws like the band it belongs to and unlike the other one.
    struct Case {
        void (*draw)(Picture&, double);
        double threshold;
        bool counts_as_below;
    };
    for (const Case& c :
         {Case{draw_bottom_basket, 0.76, false}, Case{draw_bottom_basket, 1.2, true},
          Case{draw_top_basket, 0.95, true}, Case{draw_top_basket, 1.2, true},
          Case{draw_full_court_baskets, 0.85, true}, Case{draw_full_court_baskets, 0.95, true},
          Case{draw_full_court_baskets, 1.2, true}}) {
        auto at = basket(c.draw, c.threshold);
        auto lower = basket(c.draw, below(c.threshold));
        auto upper = basket(c.draw, above(c.threshold));
        EXPECT_FALSE(same_pixels(*lower, *upper)) << c.threshold;
        EXPECT_TRUE(same_pixels(*at, c.counts_as_below ? *lower : *upper)) << c.threshold;
    }
}

}  // namespace
}  // namespace hoopcast
