#include "drawings/equipment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "drawing_testing.h"
#include "drawings/equipment_internal.h"
#include "drawings/symbols.h"
#include "play/rounding.h"

namespace hoopcast {
namespace {

using testing::inked;
using testing::TestContext;

TEST(TextLines, SplitAtLineBreaksAndDropAnEmptyLastPart) {
    const auto lines = [](std::string_view rest) {
        std::vector<std::string_view> out;
        for (std::string_view line; equipment_detail::next_text_line(rest, line);) out.push_back(line);
        return out;
    };
    EXPECT_EQ(lines("Box\r\nout"), (std::vector<std::string_view>{"Box", "out"}));
    EXPECT_EQ(lines("Box\nout"), lines("Box\r\nout"));  // as the model holds it
    EXPECT_EQ(lines("Box\rout").size(), 1u);
    EXPECT_EQ(lines("Box\r\n").size(), 1u);
    EXPECT_EQ(lines("a\r\n\r\nb"), (std::vector<std::string_view>{"a", "", "b"}));
    EXPECT_EQ(lines("a\n\nb\n"), (std::vector<std::string_view>{"a", "", "b"}));
    EXPECT_TRUE(lines("").empty());
}

class TextPicture : public ::testing::Test {
  protected:
    raster::Picture picture{600, 400, testing::fonts()};
    TestContext t;
    int size_after(std::string_view text, int size, double s) {
        draw_text(picture, t.ctx, text, "Arial", 10, 10, size, 0, 0, s);
        return picture.canvas().font.size;
    }
};

TEST_F(TextPicture, SizeIsTheItemsAtScaleOneAndFollowsTheScaleOtherwise) {
    EXPECT_EQ(size_after("Screen away", 10, 1.0), 10);
    const int doubled = size_after("Screen away", 10, 2.0);
    EXPECT_GE(doubled, 18);
    EXPECT_LE(doubled, 21);
    EXPECT_LT(size_after("Screen away", 10, 0.5), 10);
    // The widest line decides.
    EXPECT_EQ(size_after("x\r\nScreen away", 10, 2.0), doubled);
}

TEST_F(TextPicture, DegenerateSizesAndTextsEnd) {
    EXPECT_EQ(size_after("Go", 0, 1.0), 1);
    EXPECT_EQ(size_after("Go", -7, 1.0), 1);
    EXPECT_EQ(size_after("\r\n\r\n", 12, 2.0), 12);  // nothing to fit: keeps its size
    EXPECT_EQ(size_after("", 12, 2.0), 12);
    EXPECT_LE(size_after("Go", 2'000'000, 2.86), equipment_detail::kMaxTextSize);
    EXPECT_LE(size_after("Go", 2'000'000, 1.0), equipment_detail::kMaxTextSize);
}

TEST_F(TextPicture, LinesStackAndStyleBitsApply) {
    draw_text(picture, t.ctx, "Line\r\nLine", "Arial", 10, 10, 12, 5, 0x0000FF, 1.0);
    EXPECT_EQ(picture.canvas().font.style, raster::kBold | raster::kUnderline);
    const int two = inked(picture);
    raster::Picture one(600, 400, testing::fonts());
    draw_text(one, t.ctx, "Line", "Arial", 10, 10, 12, 5, 0x0000FF, 1.0);
    EXPECT_EQ(two, 2 * inked(one));
    // A bare LF breaks as CR LF does: the model holds line breaks so.
    raster::Picture lf(picture.width(), picture.height(), testing::fonts());
    draw_text(lf, t.ctx, "Line\nLine", "Arial", 10, 10, 12, 5, 0x0000FF, 1.0);
    EXPECT_TRUE(std::ranges::equal(lf.bitmap().bytes(), picture.bitmap().bytes()));
    // A font name longer than any family's is an unknown one.
    raster::Picture unknown(600, 400, testing::fonts());
    raster::Picture long_name(600, 400, testing::fonts());
    draw_text(unknown, t.ctx, "Line", "No Such Family", 10, 10, 12, 0, 0, 1.0);
    draw_text(long_name, t.ctx, "Line", std::string(5000, 'A'), 10, 10, 12, 0, 0, 1.0);
    EXPECT_TRUE(std::ranges::equal(unknown.bitmap().bytes(), long_name.bitmap().bytes()));
}

TEST(Equipment, RackPensFollowTheScale) {
    TestContext t;
    // Columns where the balls leave the frame's bottom side alone.
    for (auto [s, frame, balls, x] :
         {std::tuple{1.0, 2, 1, 31}, std::tuple{1.3, 4, 2, 31}, std::tuple{2.0, 4, 2, 62}}) {
        raster::Picture p(200, 200, testing::fonts());
        draw_rack(p, t.ctx, 20, 20, 0, s);
        EXPECT_EQ(p.canvas().pen.width, balls) << s;
        // The frame's bottom side, in a column and a band of rows the balls do not reach.
        const int y = Round((20 + 19) * s);
        EXPECT_EQ(testing::column_ink(p, x, y - 3, y + 4), frame) << s;
    }
}

TEST(Equipment, BallsRingsFollowThePenAndMonochromeIsBlack) {
    TestContext t;
    raster::Picture one(100, 100, testing::fonts());
    draw_ball(one, t.ctx, 10, 10, 0x0000FF, 1.0);
    raster::Picture two(100, 100, testing::fonts());
    two.canvas().pen.width = 2;
    draw_ball(two, t.ctx, 10, 10, 0x0000FF, 1.0);
    EXPECT_GT(inked(two), inked(one));
    EXPECT_EQ(one.bitmap().pixel(20 + 3, 20), 0x0000FF);

    t.ctx.monochrome = true;
    raster::Picture mono(200, 200, testing::fonts());
    for (const char* kind : {"Ball", "Ballf", "Coach", "Rack", "Pylon"}) {
        draw_element(mono, t.ctx, {kind, "", "", 20, 20, 0, 0, 0, 0, 0, 0, 0x00FF00}, 2.0);
    }
    EXPECT_TRUE(testing::all_pixels(mono, [](raster::Colour c) { return c == 0 || c == 0xFFFFFF; }));
    EXPECT_GT(inked(mono), 100);
}

}  // namespace
}  // namespace hoopcast
