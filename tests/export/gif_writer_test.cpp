#include "export/gif_writer.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
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
        DecodedFrame f{im.ImageDesc.Left,   im.ImageDesc.Top, im.ImageDesc.Width,
                       im.ImageDesc.Height, gcb.DelayTime,    {}};
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
    std::string path =
        (std::filesystem::temp_directory_path() / ("hoopcast_gif_" + std::to_string(::getpid()) + ".gif"))
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
    // Measured against what is shown, the dropped frame's pixel is no change.
    EXPECT_EQ(frames[1].left, 3);
    EXPECT_EQ(frames[1].top, 3);
    EXPECT_EQ(frames[1].width, 1);
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

TEST_F(GifWriterTest, RectanglesOfMoreThan256ColoursFallBackToAFixedTable) {
    std::string error;
    auto gif = GifWriter::create(path, 20, 15, error);
    ASSERT_NE(gif, nullptr) << error;
    Bitmap a(20, 15);
    for (int i = 0; i < 300; ++i) a.set_pixel(i % 20, i / 20, i);
    ASSERT_TRUE(gif->add_frame(a, 100));
    ASSERT_TRUE(gif->finish());
    const auto frames = decode(path);
    ASSERT_EQ(frames.size(), 1u);
    ASSERT_EQ(frames[0].colours.size(), 256u);
    EXPECT_EQ(frames[0].colours[0xFF].Red, 255);
    EXPECT_EQ(frames[0].colours[0x1D].Green, 255 * 7 / 7);
    EXPECT_EQ(frames[0].colours[0x1D].Blue, 255 / 3);
}

// giflib's coding of `indices`, given a row at a time: the image data after the colour table.
std::vector<std::uint8_t> giflib_image_data(std::vector<GifPixelType> indices, int width, int colours) {
    std::vector<std::uint8_t> bytes;
    int code = 0;
    GifFileType* gif = EGifOpen(
        &bytes,
        [](GifFileType* g, const GifByteType* data, int n) {
            auto* out = static_cast<std::vector<std::uint8_t>*>(g->UserData);
            out->insert(out->end(), data, data + n);
            return n;
        },
        &code);
    const int height = static_cast<int>(indices.size()) / width;
    ColorMapObject* map = GifMakeMapObject(1 << GifBitSize(std::max(colours, 2)), nullptr);
    EXPECT_EQ(EGifPutScreenDesc(gif, width, height, 8, 0, nullptr), GIF_OK);
    EXPECT_EQ(EGifPutImageDesc(gif, 0, 0, width, height, false, map), GIF_OK);
    for (int y = 0; y < height; ++y) EXPECT_EQ(EGifPutLine(gif, indices.data() + y * width, width), GIF_OK);
    std::vector<std::uint8_t> data(bytes.begin() + 13 + 10 + 3 * map->ColorCount, bytes.end());
    GifFreeMapObject(map);
    EGifCloseFile(gif, &code);
    return data;
}

TEST(GifImageCoder, CodesEveryPictureExactlyAsGiflib) {
    std::mt19937 random(18);
    GifImageCoder coder;  // one coder for all, as the writer keeps it between frames
    const int sizes[][2] = {{1, 1}, {1, 7}, {9, 1}, {17, 13}, {64, 64}, {289, 361}, {300, 200}};
    for (const auto& size : sizes) {
        for (const int colours : {1, 2, 3, 5, 16, 17, 200, 256}) {
            for (int pattern = 0; pattern < 3; ++pattern) {
                // Noise, long runs, and runs broken by noise: the table resets on the big ones.
                std::vector<GifPixelType> indices(static_cast<std::size_t>(size[0]) * size[1]);
                std::uniform_int_distribution<int> colour(0, colours - 1), run(1, pattern == 1 ? 900 : 12);
                for (std::size_t i = 0; i < indices.size();) {
                    const int c = colour(random);
                    for (int n = pattern == 0 ? 1 : run(random); n > 0 && i < indices.size(); --n)
                        indices[i++] = static_cast<GifPixelType>(c);
                }
                std::vector<std::uint8_t> ours;
                const int code_size = std::max(2, GifBitSize(std::max(colours, 2)));
                coder.append(ours, indices.data(), indices.size(), code_size);
                ASSERT_EQ(ours, giflib_image_data(indices, size[0], colours))
                    << size[0] << " x " << size[1] << ", " << colours << " colours, pattern " << pattern;
            }
        }
    }
}

}  // namespace
}  // namespace hoopcast
