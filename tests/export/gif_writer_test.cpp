#include "export/gif_writer.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace hoopcast {
using raster::Bitmap;
namespace {

struct DecodedFrame {
    int left, top, width, height, delay_cs;
    std::vector<GifColorType> colours;
};

std::vector<DecodedFrame> decode(const std::string& path) {
    int code = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &code);
    EXPECT_NE(gif, nullptr);
    if (gif == nullptr) return {};
    EXPECT_EQ(DGifSlurp(gif), GIF_OK);
    std::vector<DecodedFrame> frames;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& im = gif->SavedImages[i];
        GraphicsControlBlock gcb{};
        DGifSavedExtensionToGCB(gif, i, &gcb);
        DecodedFrame f{im.ImageDesc.Left, im.ImageDesc.Top, im.ImageDesc.Width, im.ImageDesc.Height,
                       gcb.DelayTime, {}};
        if (im.ImageDesc.ColorMap != nullptr) {
            f.colours.assign(im.ImageDesc.ColorMap->Colors,
                             im.ImageDesc.ColorMap->Colors + im.ImageDesc.ColorMap->ColorCount);
        }
        frames.push_back(f);
    }
    DGifCloseFile(gif, &code);
    return frames;
}

class GifWriterTest : public ::testing::Test {
protected:
    std::string path = (std::filesystem::temp_directory_path() /
                        ("hoopcast_gif_" + std::to_string(::getpid()) + ".gif"))
                           .string();
    void TearDown() override { std::remove(path.c_str()); }
};

TEST_F(GifWriterTest, StoresOnlyTheChangedRectangleWithExactColours) {
    std::string error;
    auto gif = GifWriter::create(path, 40, 30, error);
    ASSERT_NE(gif, nullptr) << error;
    Bitmap a(40, 30);
    a.set_pixel(3, 4, 0x0000FF);
    Bitmap b = a;
    b.set_pixel(10, 12, 0x123456);
    b.set_pixel(14, 13, 0x00CCFF);
    ASSERT_TRUE(gif->add_frame(a, 100));
    ASSERT_TRUE(gif->add_frame(b, 50));
    ASSERT_TRUE(gif->finish());

    const auto frames = decode(path);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].width, 40);
    EXPECT_EQ(frames[0].delay_cs, 10);
    EXPECT_EQ(frames[1].left, 10);
    EXPECT_EQ(frames[1].top, 12);
    EXPECT_EQ(frames[1].width, 5);
    EXPECT_EQ(frames[1].height, 2);
    bool found = false;
    for (const auto& c : frames[1].colours) found |= c.Red == 0x56 && c.Green == 0x34 && c.Blue == 0x12;
    EXPECT_TRUE(found) << "the changed pixel's exact colour is in the frame's table";
}

TEST_F(GifWriterTest, DelaysCarryTheirRemainderAndUnchangedFramesMerge) {
    std::string error;
    auto gif = GifWriter::create(path, 8, 8, error);
    ASSERT_NE(gif, nullptr) << error;
    // 25 frames of 25 ms alternate between two pictures, then a picture is held 2500 ms
    // as three identical frames.
    Bitmap a(8, 8), b(8, 8);
    b.set_pixel(1, 1, 0);
    for (int i = 0; i < 25; ++i) ASSERT_TRUE(gif->add_frame(i % 2 ? b : a, 25));
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(gif->add_frame(a, 1000));
    ASSERT_TRUE(gif->finish());

    const auto frames = decode(path);
    int total = 0;
    for (const auto& f : frames) total += f.delay_cs;
    EXPECT_EQ(total, (25 * 25 + 3000) / 10);
    EXPECT_EQ(frames.back().delay_cs, 3625 / 10 - 600 / 10) << "held frames merge into one";
    EXPECT_EQ(gif->total_centiseconds(), total);
}

TEST_F(GifWriterTest, FramesTooShortToShowAreDroppedButTimeIsKept) {
    std::string error;
    auto gif = GifWriter::create(path, 4, 4, error);
    ASSERT_NE(gif, nullptr) << error;
    Bitmap a(4, 4), b(4, 4), c(4, 4);
    b.set_pixel(0, 0, 0);
    c.set_pixel(3, 3, 0);
    ASSERT_TRUE(gif->add_frame(a, 20));
    ASSERT_TRUE(gif->add_frame(b, 3));  // 20..23 ms: same hundredth as its end
    ASSERT_TRUE(gif->add_frame(c, 40));
    ASSERT_TRUE(gif->finish());
    const auto frames = decode(path);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].delay_cs + frames[1].delay_cs, 6);
}

TEST_F(GifWriterTest, RefusesFramesOfAnotherSizeAndUnwritablePaths) {
    std::string error;
    EXPECT_EQ(GifWriter::create("/nonexistent-dir/x.gif", 4, 4, error), nullptr);
    EXPECT_FALSE(error.empty());
    auto gif = GifWriter::create(path, 4, 4, error);
    ASSERT_NE(gif, nullptr);
    EXPECT_FALSE(gif->add_frame(Bitmap(5, 4), 10));
    EXPECT_TRUE(gif->finish());
}

}  // namespace
}  // namespace hoopcast
