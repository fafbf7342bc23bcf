#include "scene/frames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "drawings/courts.h"
#include "drawings/curves.h"
#include "drawings/symbols.h"
#include "play/motion.h"
#include "raster/fonts.h"
#include "raster/picture.h"
#include "raster/render_cache.h"

namespace hoopcast {
namespace {

const raster::FontLibrary& fonts() {
    static const raster::FontLibrary library;
    return library;
}

bool same(const raster::Picture& a, const raster::Picture& b) {
    return a.width() == b.width() && a.height() == b.height() &&
           std::equal(a.bitmap().bytes().begin(), a.bitmap().bytes().end(), b.bitmap().bytes().begin());
}

class FramesTest : public ::testing::Test {
  protected:
    std::unique_ptr<PlayModel> play = std::make_unique<PlayModel>();
    DisplayDefaults defaults;
    DrawContext ctx{*play, defaults};
    FrameSettings settings{1.0, 1080, &fonts()};

    element& add(int s, int i, std::string kind, int x1, int y1, int x2 = 0, int y2 = 0) {
        element& e = play->item(s, i);
        e.kind = std::move(kind);
        e.x1 = x1;
        e.y1 = y1;
        e.x2 = x2;
        e.y2 = y2;
        e.motion = 0;
        e.taken = aline(e.kind) || e.kind == "Text";
        return e;
    }

    // The court alone, as the still frame starts.
    std::unique_ptr<raster::Picture> court_only(int seq) {
        auto picture = create_frame_picture(settings);
        DrawContext fresh{*play, defaults};
        draw_court(*picture, fresh, play->header(seq).court_kind, seq, settings.scale);
        return picture;
    }
};

TEST_F(FramesTest, ASequenceWithoutItemsShowsOnlyItsCourt) {
    play->seq_count = 1;
    play->header(1).court_kind = 3;
    const auto frame = compose_still_frame(ctx, settings, 1, true);
    EXPECT_EQ(frame->width(), 289);
    EXPECT_EQ(frame->height(), 361);
    EXPECT_TRUE(same(*frame, *court_only(1)));
    EXPECT_FALSE(ctx.monochrome) << "a coloured court clears the black-and-white switch";
}

TEST_F(FramesTest, SymbolsWithoutPartnerAreLeftOutAndTheLastSequenceShowsAll) {
    play->seq_count = 2;
    add(1, 1, "Circle", 100, 100).number = 1;
    add(2, 1, "Circle", 200, 200).number = 2;  // no partner for sequence 1's circle
    get_players(*play);
    ASSERT_EQ(play->item(1, 1).motion, 0);
    EXPECT_TRUE(same(*compose_still_frame(ctx, settings, 1, true), *court_only(1)));
    EXPECT_FALSE(same(*compose_still_frame(ctx, settings, 2, true), *court_only(2)));
}

TEST_F(FramesTest, SketchAddsLinesAndTextsOnTopOfTheSymbols) {
    play->seq_count = 1;
    add(1, 1, "Circle", 100, 100).number = 4;
    add(1, 2, "ploop", 60, 300, 200, 250);
    add(1, 3, "Text", 20, 20).text = CrlfText("Go");
    add(1, 4, "text", 20, 60).text = CrlfText("lower case is no text item");
    get_players(*play);
    const auto without = compose_still_frame(ctx, settings, 1, false);
    const auto with = compose_still_frame(ctx, settings, 1, true);
    EXPECT_FALSE(same(*without, *with));

    // Sketch off: court and symbols only.
    auto expected = court_only(1);
    draw_players(*expected, ctx, "Circle", 100, 100, 4, 0, 0, "", 1.0);
    EXPECT_TRUE(same(*without, *expected));

    // Sketch on: then exactly the line and the "Text" item, drawn by the item dispatcher.
    draw_element(*expected, ctx, {"ploop", "", "", 60, 300, 200, 250, 0, 0, 0, 0, 0}, 1.0);
    draw_element(*expected, ctx, {"Text", "Go", "", 20, 20, 0, 0, 0, 0, 0, 0, 0}, 1.0);
    EXPECT_TRUE(same(*with, *expected));
}

TEST_F(FramesTest, AChainBecomesOneCurveOfItsClosingKind) {
    play->seq_count = 1;
    add(1, 1, "pass", 40, 300, 100, 250).extra2 = 1;
    add(1, 2, "pass", 100, 250, 150, 180);
    add(1, 3, "ppass", 150, 180, 220, 120);
    add(1, 4, "Circle", 10, 10).number = 1;  // after the chain: the line pass goes on
    get_players(*play);
    const auto frame = compose_still_frame(ctx, settings, 1, true);

    auto expected = court_only(1);
    draw_players(*expected, ctx, "Circle", 10, 10, 1, 0, 0, "", 1.0);
    const TPunt points[] = {{-20, 350}, {40, 300}, {100, 250}, {150, 180}, {220, 120}, {290, 60}};
    draw_curved_line(*expected, ctx, "ppass", points, {0, true, 0}, 1.0);
    EXPECT_TRUE(same(*frame, *expected));
}

TEST_F(FramesTest, AClosingKindWithItsOwnChainFlagIsDrawnFromItsOwnPoints) {
    play->seq_count = 1;
    add(1, 1, "ppass", 50, 50, 150, 100).extra2 = 1;
    const auto frame = compose_still_frame(ctx, settings, 1, true);
    auto expected = court_only(1);
    const TPunt points[] = {{-50, 0}, {50, 50}, {150, 100}, {250, 150}};
    draw_curved_line(*expected, ctx, "ppass", points, {0, true, 0}, 1.0);
    EXPECT_TRUE(same(*frame, *expected));
}

TEST_F(FramesTest, AChainThatNeverClosesTakesTheRestAndDrawsNothing) {
    play->seq_count = 1;
    add(1, 1, "loop", 40, 300, 100, 250).extra2 = 1;
    add(1, 2, "pass", 100, 250, 150, 180);
    add(1, 3, "Text", 20, 20).text = CrlfText("never drawn");
    const auto frame = compose_still_frame(ctx, settings, 1, true);
    EXPECT_TRUE(same(*frame, *court_only(1)));
}

TEST_F(FramesTest, LineCoordinatesUseTheirLow16Bits) {
    play->seq_count = 1;
    add(1, 1, "loop", 65536 + 40, 65536 + 300, 100, 250);
    const auto wrapped = compose_still_frame(ctx, settings, 1, true);
    play->item(1, 1).x1 = 40;
    play->item(1, 1).y1 = 300;
    EXPECT_TRUE(same(*wrapped, *compose_still_frame(ctx, settings, 1, true)));
}

TEST_F(FramesTest, AnimationFramesMoveSymbolsAndNeverDrawLines) {
    play->seq_count = 2;
    add(1, 1, "Circle", 100, 100).number = 1;
    add(1, 2, "ploop", 60, 300, 200, 250);
    add(2, 1, "Circle", 150, 100).number = 1;
    get_players(*play);
    ASSERT_EQ(play->item(1, 1).motion, 1);
    const auto frame = compose_animation_frame(ctx, settings, 1, 5, 11, 0.1);
    auto expected = court_only(1);
    draw_players(*expected, ctx, "Circle", 125, 100, 1, 0, 0, "", 1.0);
    EXPECT_TRUE(same(*frame, *expected));
}

TEST_F(FramesTest, EnlargedFramesHaveTheirSizeAndWiderPen) {
    settings.scale = 2.01662;
    const auto picture = create_frame_picture(settings);
    EXPECT_EQ(picture->width(), 583);
    EXPECT_EQ(picture->height(), 728);
    EXPECT_EQ(picture->canvas().pen.width, 3);
    settings.scale = 0.0;
    const auto empty = create_frame_picture(settings);
    EXPECT_EQ(empty->width(), 0);
    play->seq_count = 1;
    EXPECT_EQ(compose_still_frame(ctx, settings, 1, true)->width(), 0)
        << "before the first layout nothing shows";
}

// Frames started from a kept court against frames drawn whole, through changes of court,
// colours, zones, scale and the black-and-white switch a court without a kind leaves alone.
TEST_F(FramesTest, FramesOverAKeptCourtAreTheFramesDrawnWhole) {
    play->seq_count = 4;
    play->has_zones = true;
    const int kinds[] = {5, 2, 99, 5};
    for (int s = 1; s <= 4; ++s) {
        play->header(s).court_kind = kinds[s - 1];
        add(s, 1, "Triangle", 100 + 10 * s, 100).number = 1;
        add(s, 2, "ellipse", 40, 40, 120, 100).colour = 0x00FF00;
        add(s, 3, "ploop", 60, 300, 200, 250);
    }
    add(4, 4, "poly", 50, 150);
    add(4, 5, "ppoly", 150, 220);
    get_players(*play);

    raster::RenderCache cache;
    DrawContext kept_ctx{*play, defaults};
    FrameSettings kept = settings;
    kept.cache = &cache;
    DrawContext whole_ctx{*play, defaults};
    int frame = 0;
    auto both = [&](int seq, int step, bool sketch) {
        SCOPED_TRACE("frame " + std::to_string(++frame));
        kept.scale = settings.scale;
        const auto a = step == 0 ? compose_still_frame(kept_ctx, kept, seq, sketch)
                                 : compose_animation_frame(kept_ctx, kept, seq, step, 10, 0.5);
        const auto b = step == 0 ? compose_still_frame(whole_ctx, settings, seq, sketch)
                                 : compose_animation_frame(whole_ctx, settings, seq, step, 10, 0.5);
        EXPECT_TRUE(same(*a, *b));
        EXPECT_EQ(kept_ctx.monochrome, whole_ctx.monochrome);
    };
    for (const double scale : {1.0, 2.86}) {
        settings.scale = scale;
        for (int s = 1; s <= 4; ++s) {
            both(s, 0, true);
            both(s, 3, false);
            // As if something else had been drawn with the same context in between.
            kept_ctx.monochrome = whole_ctx.monochrome = !whole_ctx.monochrome;
            both(s, 4, false);
            both(s, 0, false);
        }
        both(3, 2, false);  // after a coloured court, the court without a kind keeps colour
        play->header(4).colour1 = 0x123456;
        both(4, 5, false);
        play->item(4, 2).x1 = 60;
        both(4, 6, false);
        play->item(4, 5).extra1 = 40;
        both(4, 7, false);
    }
}

}  // namespace
}  // namespace hoopcast
