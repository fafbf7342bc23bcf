#include "export/video_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "drawings/context.h"
#include "export/gif_writer.h"
#include "export/recording.h"
#include "play/model.h"
#include "play/reader.h"
#include "raster/fonts.h"
#include "scene/mapping.h"
#include "video_probe.h"

namespace hoopcast {
namespace {

namespace fs = std::filesystem;
using testing::decode_frames;
using testing::probe_video;

// The same pixels' distance in decibels; infinite when equal.
struct Distance {
    double rgb = 0.0;
    double luma = 0.0;
};

double psnr(double squared_error, double count) {
    return squared_error == 0 ? INFINITY : 10.0 * std::log10(255.0 * 255.0 * count / squared_error);
}

// `decoded` is a frame `stride` pixels wide; only the picture's own pixels count.
Distance distance(const raster::Bitmap& picture, const std::uint8_t* decoded, int stride) {
    double rgb = 0, luma = 0;
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint8_t* a = picture.scan_line(y);
        const std::uint8_t* b = decoded + static_cast<std::ptrdiff_t>(y) * stride * 3;
        for (int x = 0; x < 3 * picture.width(); x += 3) {
            double dl = 0;
            for (int c = 0; c < 3; ++c) {
                const double d = a[x + c] - b[x + c];
                rgb += d * d;
                dl += d * (c == 0 ? 0.0722 : c == 1 ? 0.7152 : 0.2126);
            }
            luma += dl * dl;
        }
    }
    const double pixels = static_cast<double>(picture.width()) * picture.height();
    return {psnr(rgb, 3 * pixels), psnr(luma, pixels)};
}

// The half-court sample with its second sequence marked still, so that Sketch stops there.
class VideoExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(dir);
        ASSERT_EQ(
            OpenPlay(play, std::string(HOOPCAST_SOURCE_DIR) + "/samples/half_court_set_play.kqz").outcome,
            ReadOutcome::success);
        ASSERT_GE(play.seq_count, 3);
        play.header(2).no_animation = true;
        playback.speed_ms = 20;
        recording = record_presentation(play, playback);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string write(const std::string& name, const VideoSettings& settings) {
        const std::string path = (dir / name).string();
        std::string error;
        EXPECT_EQ(write_recording_video(ctx, frames, recording, true, path, settings, nullptr, error),
                  VideoOutcome::Written)
            << error;
        return path;
    }

    std::int64_t frame_count(int fps) const {
        const auto counts = video_frame_counts(recording, fps);
        return std::accumulate(counts.begin(), counts.end(), std::int64_t{0});
    }

    // ffprobe's reading of `path`: codec, pixels, size, rate, frame count and duration.
    void expect_stream(const std::string& path, const char* codec, const char* pixels, int width, int height,
                       int fps) const {
        const auto facts = probe_video(path);
        EXPECT_EQ(facts.codec, codec);
        EXPECT_EQ(facts.pixels, pixels);
        EXPECT_EQ(facts.width, width);
        EXPECT_EQ(facts.height, height);
        EXPECT_EQ(facts.frame_rate, std::to_string(fps) + "/1");
        EXPECT_EQ(facts.frames, frame_count(fps));
        EXPECT_NEAR(facts.duration, recording.end_ms / 1000.0, 1.0 / fps);
    }

    // Decodes a video at 50 frames a second, `width` x `height` pixels, and hands `check` the frames
    // of the first, one inside an animation, one inside the Sketch wait and the last, each
    // with the picture recorded for its instant.
    template <class Check>
    void check_frames(const std::string& path, int width, int height, Check check) {
        const auto decoded = decode_frames(path);
        const std::size_t frame_bytes = static_cast<std::size_t>(width) * height * 3;
        ASSERT_EQ(decoded.size(), frame_bytes * static_cast<std::size_t>(frame_count(50)));
        const auto counts = video_frame_counts(recording, 50);
        std::vector<std::pair<std::int64_t, std::size_t>> chosen{{0, 0}};
        std::int64_t start = 0;
        for (std::size_t k = 0; k < counts.size(); start += counts[k], ++k) {
            const RecordedFrame& f = recording.frames[k];
            if (chosen.size() == 1 && f.kind == FrameKind::Animation && f.step > 5)
                chosen.emplace_back(start, k);
            if (chosen.size() == 2 && f.kind == FrameKind::Still)
                chosen.emplace_back(start + counts[k] / 2, k);
        }
        chosen.emplace_back(start - 1, counts.size() - 1);
        ASSERT_EQ(chosen.size(), 4u);
        for (const auto& [n, k] : chosen) {
            const auto picture = compose_recorded_frame(ctx, frames, recording.frames[k], true);
            check(n, picture->bitmap(), decoded.data() + n * frame_bytes);
        }
    }

    fs::path dir = fs::temp_directory_path() / ("hoopcast_video_" + std::to_string(::getpid()));
    PlayModel play;
    PlaybackSettings playback;
    PlaybackRecording recording;
    raster::FontLibrary fonts;
    DisplayDefaults defaults;
    DrawContext ctx{play, defaults};
    // Both sides odd, so that 4:2:0 pads them.
    FrameSettings frames{0.6, 1080, &fonts};
    PictureSize size = frame_picture_size(0.6);
};

TEST_F(VideoExportTest, SketchStopsWaitAndVideoFramesShowTheirInstants) {
    const auto& f = recording.frames;
    const auto stop = std::find_if(f.begin(), f.end(), [](const RecordedFrame& r) {
        return r.kind == FrameKind::Still && r.sequence == 2;
    });
    ASSERT_NE(stop, f.end());
    ASSERT_NE(stop + 1, f.end()) << "the play goes on after the Sketch stop";
    EXPECT_EQ((stop + 1)->time_ms, stop->time_ms + kTimer2IntervalMs + 20);
    EXPECT_TRUE(recording.reached_idle);
    EXPECT_EQ(f.back().sequence, 3);

    // Without Sketch stops it is the engine's own recording.
    playback.sketch = false;
    const PlaybackRecording plain = record_presentation(play, playback);
    const PlaybackRecording engine = record_playback(play, playback);
    EXPECT_EQ(plain.end_ms, engine.end_ms);
    EXPECT_EQ(plain.frames.size(), engine.frames.size());

    for (const int fps : {50, 30, 7}) {
        const auto counts = video_frame_counts(recording, fps);
        const std::int64_t total = std::accumulate(counts.begin(), counts.end(), std::int64_t{0});
        EXPECT_EQ(total, (recording.end_ms * fps + 500) / 1000) << fps;
        EXPECT_GE(counts.back(), 1) << "the video ends on the final picture";
        // Frame n shows the last recorded frame that started at or before n / fps s.
        std::int64_t n = 0;
        for (std::size_t k = 0; k + 1 < counts.size(); n += counts[k], ++k) {
            if (counts[k] == 0) continue;
            EXPECT_LE(f[k].time_ms * fps, n * 1000) << fps << " " << k;
            EXPECT_GT(f[k + 1].time_ms * fps, (n + counts[k] - 1) * 1000) << fps << " " << k;
        }
    }
    PlaybackRecording still;
    still.frames.resize(2);
    EXPECT_EQ(video_frame_counts(still, 50), (std::vector<std::int64_t>{0, 1})) << "a play that never moves";
}

TEST_F(VideoExportTest, LosslessFramesAreTheRecordedPictures) {
    VideoSettings settings;
    settings.lossless = true;
    const std::string path = write("lossless.mp4", settings);
    expect_stream(path, "h264", "gbrp", size.width, size.height, 50);
    check_frames(path, size.width, size.height,
                 [](std::int64_t n, const raster::Bitmap& picture, const std::uint8_t* frame) {
                     EXPECT_TRUE(std::equal(picture.bytes().begin(), picture.bytes().end(), frame))
                         << "video frame " << n;
                 });
}

TEST_F(VideoExportTest, PlayersGetPaddedFourTwoZeroCloseToThePictures) {
    const std::string mp4 = write("play.mp4", VideoSettings{});
    const int width = size.width + 1;
    expect_stream(mp4, "h264", "yuv420p", width, size.height + 1, 50);
    std::ifstream in(mp4, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_LT(bytes.find("moov"), bytes.find("mdat")) << "the index comes first";

    check_frames(mp4, width, size.height + 1,
                 [&](std::int64_t n, const raster::Bitmap& picture, const std::uint8_t* frame) {
                     const Distance d = distance(picture, frame, width);
                     std::printf("video frame %3ld: PSNR %.1f dB (RGB), %.1f dB (luma)\n",
                                 static_cast<long>(n), d.rgb, d.luma);
                     // 4:2:0 halves the colour resolution of thin coloured lines, which bounds RGB well
                     // below what the encoder keeps of the luma.
                     EXPECT_GT(d.rgb, 29.0) << n;
                     EXPECT_GT(d.luma, 35.0) << n;
                     // The padding column repeats the edge: the last column again, shifted one to the right.
                     raster::Bitmap edge(1, picture.height());
                     for (int y = 0; y < picture.height(); ++y)
                         edge.set_pixel(0, y, picture.pixel(picture.width() - 1, y));
                     EXPECT_GT(distance(edge, frame + 3 * picture.width(), width).rgb, 29.0) << n;
                 });

    VideoSettings webm;
    webm.format = VideoFormat::WebM;
    webm.fps = 25;
    expect_stream(write("play.webm", webm), "vp9", "yuv420p", width, size.height + 1, 25);
}

// Only the blocks that changed since the last picture are converted again: at the encoder's
// lossless setting, a picture after another decodes as it does alone.
TEST_F(VideoExportTest, APictureAfterAnotherConvertsAsItDoesAlone) {
    const auto moving =
        std::find_if(recording.frames.begin(), recording.frames.end(),
                     [](const RecordedFrame& f) { return f.kind == FrameKind::Animation && f.step > 3; });
    ASSERT_NE(moving, recording.frames.end());
    const auto first = compose_recorded_frame(ctx, frames, recording.frames.front(), true);
    const auto later = compose_recorded_frame(ctx, frames, *moving, true);
    VideoSettings exact;
    exact.quality = 0;
    const auto decoded_last = [&](const std::string& name,
                                  const std::vector<const raster::Picture*>& pictures) {
        std::string error;
        auto writer = VideoWriter::create((dir / name).string(), size.width, size.height, exact, error);
        EXPECT_NE(writer, nullptr) << error;
        for (const raster::Picture* p : pictures) EXPECT_TRUE(writer->add_frames(p->bitmap(), 1));
        EXPECT_TRUE(writer->finish()) << writer->error();
        const auto bytes = decode_frames((dir / name).string());
        const std::size_t frame = static_cast<std::size_t>(size.width + 1) * (size.height + 1) * 3;
        return std::vector<std::uint8_t>(bytes.end() - static_cast<std::ptrdiff_t>(frame), bytes.end());
    };
    const auto alone = decoded_last("alone.mp4", {later.get()});
    EXPECT_NE(decoded_last("first.mp4", {first.get()}), alone);
    EXPECT_EQ(decoded_last("after.mp4", {first.get(), later.get()}), alone);
}

TEST_F(VideoExportTest, FailedOrCancelledExportsLeaveNoFileBehind) {
    std::string error;
    EXPECT_EQ(VideoWriter::create((dir / "none" / "x.mp4").string(), 8, 8, {}, error), nullptr);
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_EQ(VideoWriter::create(dir.string(), 8, 8, {}, error), nullptr);
    EXPECT_EQ(error, "Is a directory");
    VideoSettings missing;
    missing.encoder = "no-such-encoder";
    EXPECT_EQ(VideoWriter::create((dir / "x.mp4").string(), 8, 8, missing, error), nullptr);
    EXPECT_NE(error.find("no-such-encoder"), std::string::npos) << error;

    // A file already there stays whole until a finished export replaces it.
    const fs::path kept = dir / "kept.mp4";
    std::ofstream(kept) << "earlier";
    int calls = 0;
    EXPECT_EQ(write_recording_video(
                  ctx, frames, recording, true, kept.string(), {},
                  [&](std::int64_t, std::int64_t) { return ++calls < 3; }, error),
              VideoOutcome::Cancelled);
    {
        auto gif = GifWriter::create((dir / "unfinished.gif").string(), 4, 4, error);
        ASSERT_NE(gif, nullptr);
        ASSERT_TRUE(gif->add_frame(raster::Bitmap(4, 4), 10));
    }
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir)) left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"kept.mp4"});
    EXPECT_EQ(testing::command_output("cat '" + kept.string() + "'"), "earlier");

    ASSERT_EQ(write_recording_video(ctx, frames, recording, true, kept.string(), {}, nullptr, error),
              VideoOutcome::Written);
    EXPECT_EQ(probe_video(kept.string()).codec, "h264");
}

}  // namespace
}  // namespace hoopcast
