#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

int run(const std::string& args) {
    const int rc = std::system((std::string(HOOPCAST_CLI) + " " + args + " 2>/dev/null").c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

std::string sample(const char* name) { return std::string(HOOPCAST_SOURCE_DIR) + "/samples/" + name; }

struct Gif {
    int frames = 0;
    int width = 0;
    int height = 0;
    long total_cs = 0;
};

Gif read_gif(const std::string& path) {
    Gif out;
    int code = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &code);
    if (gif == nullptr || DGifSlurp(gif) != GIF_OK) return out;
    out.frames = gif->ImageCount;
    out.width = gif->SWidth;
    out.height = gif->SHeight;
    for (int i = 0; i < gif->ImageCount; ++i) {
        GraphicsControlBlock gcb{};
        DGifSavedExtensionToGCB(gif, i, &gcb);
        out.total_cs += gcb.DelayTime;
    }
    DGifCloseFile(gif, &code);
    return out;
}

class ExportTest : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("hoopcast_export_" + std::to_string(::getpid()));
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
};

TEST_F(ExportTest, WritesThePlayAsAnAnimationOfTheFrameSize) {
    const std::string gif = (dir / "press.gif").string();
    ASSERT_EQ(run("export " + sample("full_court_press.kqz") + " -o " + gif + " --no-sketch --speed 40"), 0);
    const Gif g = read_gif(gif);
    EXPECT_EQ(g.width, 289);
    EXPECT_EQ(g.height, 361);
    EXPECT_GT(g.frames, 3);
    EXPECT_GT(g.total_cs, 0);

    const std::string big = (dir / "press2.gif").string();
    ASSERT_EQ(run("export " + sample("full_court_press.kqz") + " -o " + big + " --scale 2 --no-sketch --speed 40"), 0);
    const Gif g2 = read_gif(big);
    EXPECT_EQ(g2.width, 578);
    EXPECT_EQ(g2.total_cs, g.total_cs) << "the timing does not depend on the scale";
}

TEST_F(ExportTest, SlowerSpeedTakesProportionallyLonger) {
    const std::string fast = (dir / "fast.gif").string(), slow = (dir / "slow.gif").string();
    ASSERT_EQ(run("export " + sample("fast_break_drill.kqz") + " -o " + fast + " --no-sketch --speed 20"), 0);
    ASSERT_EQ(run("export " + sample("fast_break_drill.kqz") + " -o " + slow + " --no-sketch --speed 40"), 0);
    const Gif f = read_gif(fast), s = read_gif(slow);
    ASSERT_GT(f.total_cs, 0);
    EXPECT_NEAR(static_cast<double>(s.total_cs), 2.0 * static_cast<double>(f.total_cs), 1.0);
}

TEST_F(ExportTest, FramesFolderGetsEachDistinctFrame) {
    const std::string gif = (dir / "p.gif").string();
    const fs::path frames = dir / "frames";
    ASSERT_EQ(run("export " + sample("half_court_set_play.kqz") + " -o " + gif + " --frames " + frames.string()), 0);
    int pngs = 0;
    for (const auto& entry : fs::directory_iterator(frames)) pngs += entry.path().extension() == ".png";
    EXPECT_GT(pngs, 2);
    EXPECT_TRUE(fs::exists(frames / "frame_00001.png"));
}

TEST_F(ExportTest, ExitCodesFollowTheOtherSubcommands) {
    const std::string gif = (dir / "x.gif").string();
    EXPECT_EQ(run("export /nonexistent/none.kqz -o " + gif), 3);
    EXPECT_EQ(run("export " + sample("half_court_set_play.kqz")), 2) << "no output named";
    EXPECT_EQ(run("export " + sample("half_court_set_play.kqz") + " -o " + gif + " --speed 0"), 2);
    EXPECT_EQ(run("export " + sample("half_court_set_play.kqz") + " -o " + gif + " --sketch --no-sketch"), 2);
    EXPECT_EQ(run("export " + sample("half_court_set_play.kqz") + " -o /nonexistent/dir/x.gif"), 3);
}

}  // namespace
