#include <gif_lib.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "cli_run.h"
#include "export/page.h"
#include "video_probe.h"

#include <vector>

namespace {

namespace fs = std::filesystem;
using hoopcast::testing::decode_frames;
using hoopcast::testing::probe_video;
using hoopcast::testing::run_cli;
using hoopcast::testing::slurp;

int run(const std::string& args) {
    const int rc = std::system((std::string(HOOPCAST_CLI) + " " + args + " 2>/dev/null").c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

std::string sample(const char* name) {
    return std::string(HOOPCAST_SOURCE_DIR) + "/samples/" + name;
}

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
    ASSERT_EQ(
        run("export " + sample("full_court_press.kqz") + " -o " + big + " --scale 2 --no-sketch --speed 40"),
        0);
    const Gif g2 = read_gif(big);
    EXPECT_EQ(g2.width, 578);
    EXPECT_EQ(g2.total_cs, g.total_cs) << "the timing does not depend on the scale";
}

TEST_F(ExportTest, SlowerSpeedTakesProportionallyLonger) {
    const std::string fast = (dir / "fast.gif").string(), slow = (dir / "slow.gif").string();
    const std::string play =
        "export " + sample("fast_break_drill.kqz") + " --no-sketch --hold-start 0 --hold-end 0";
    ASSERT_EQ(run(play + " -o " + fast + " --speed 20"), 0);
    ASSERT_EQ(run(play + " -o " + slow + " --speed 40"), 0);
    const Gif f = read_gif(fast), s = read_gif(slow);
    ASSERT_GT(f.total_cs, 0);
    EXPECT_NEAR(static_cast<double>(s.total_cs), 2.0 * static_cast<double>(f.total_cs), 1.0);
}

TEST_F(ExportTest, FramesFolderGetsEachDistinctFrame) {
    const std::string gif = (dir / "p.gif").string();
    const fs::path frames = dir / "frames";
    ASSERT_EQ(
        run("export " + sample("half_court_set_play.kqz") + " -o " + gif + " --frames " + frames.string()),
        0);
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

TEST_F(ExportTest, VideoFormatFollowsTheNameOrFormat) {
    const std::string play = "samples/full_court_press.kqz --no-sketch --scale 0.3";
    const std::string webm = (dir / "p.webm").string(), other = (dir / "p.video").string();
    ASSERT_EQ(run_cli("export " + play + " -o " + webm + " --fps 10").status, 0);
    const auto vp9 = probe_video(webm);
    EXPECT_EQ(vp9.codec, "vp9");
    EXPECT_EQ(vp9.frame_rate, "10/1");
    ASSERT_EQ(run_cli("export " + play + " -o " + other + " --format mp4 --quality 30").status, 0);
    EXPECT_EQ(probe_video(other).codec, "h264");

    const auto refused = run_cli("export " + play + " -o " + (dir / "p.avi").string());
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("export writes .gif, .mp4, .webm or .html, not .avi"), std::string::npos)
        << refused.err;
    for (const char* wrong :
         {"x.gif --fps 10", "x.mp4 --quality 52", "x.webm --quality -1", "x.mp4 --lossless --quality 3",
          "x.mp4 --frames f", "x.mp4 --format mkv", "x.mp4 --fps 0"}) {
        EXPECT_EQ(run_cli("export " + play + " -o " + (dir / wrong).string()).status, 2) << wrong;
    }
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir)) ++files;
    EXPECT_EQ(files, 2) << "the two videos only";
}

TEST_F(ExportTest, WriteFailuresSayWhyAndLeaveNoFile) {
    const std::string play = "export samples/baseline_inbound_play.kqz -o ";
    struct Case {
        std::string output, limits, reason;
        bool unprivileged = false;
    };
    std::vector<Case> cases = {
        {(dir / "none" / "x.mp4").string(), "", "No such file or directory"},
        {"README.md/x.webm", "", "Not a directory"},
        {"/dev/full --format mp4", "", "No space left on device"},
        {"/dev/full --format gif", "", "No space left on device"},
        // A size limit stands in for a disk that fills up half-way.
        {(dir / "x.mp4").string(), "trap '' XFSZ; ulimit -f 8;", "File too large"},
        {(dir / "x.gif").string(), "trap '' XFSZ; ulimit -f 8;", "File too large"},
    };
    fs::create_directories(dir / "locked");
    fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    cases.push_back({(dir / "locked" / "x.mp4").string(), "", "Permission denied", true});
    for (const Case& c : cases) {
        const auto r =
            run_cli(play + c.output, {.measured = false, .limits = c.limits, .unprivileged = c.unprivileged});
        EXPECT_EQ(r.status, 3) << c.output;
        EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
    }
    fs::remove_all(dir / "locked");
    EXPECT_TRUE(fs::is_empty(dir)) << "no file, whole or partial";
}

// A web page holds the play file itself and only the faces its texts are drawn with, in the
// template's places, titled with the play's name; it is written alone, with --format and in
// batches. The options of pictures and videos are refused, and a missing or wrong template
// is said before any play is read, leaving no file.
TEST_F(ExportTest, WebPageHoldsThePlayAndTheFacesItDrawsWith) {
    const std::string templated = "export HOOPCAST_PAGE_TEMPLATE=tests/data/page_template.html;";
    const std::string play = "samples/half_court_set_play.kqz";
    const auto page = [&](const std::string& args) {
        return run_cli("export " + args, {.limits = templated});
    };
    const std::string html = (dir / "p.html").string();
    ASSERT_EQ(page(play + " -o " + html).status, 0);
    const std::string written = slurp(html);
    const std::string bytes = slurp(sample("half_court_set_play.kqz"));
    EXPECT_NE(written.find("<title>Horns twist</title>"), std::string::npos);
    EXPECT_NE(
        written.find("data-name=\"half_court_set_play.kqz\">" +
                     hoopcast::packed({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}) +
                     "</script>"),
        std::string::npos);
    EXPECT_NE(written.find(R"(id="core-font-names">["LiberationSans-Bold.ttf","LiberationSans-Italic.ttf",)"
                           R"("LiberationSans-Regular.ttf"]</script>)"),
              std::string::npos);

    ASSERT_EQ(page(play + " -o " + (dir / "p.page").string() + " --format html").status, 0);
    EXPECT_EQ(slurp(dir / "p.page"), written);
    ASSERT_EQ(page(play + " samples/fast_break_drill.kqz -o " + (dir / "pages/").string() + " --format html")
                  .status,
              0);
    EXPECT_EQ(slurp(dir / "pages" / "half_court_set_play.html"), written);
    EXPECT_TRUE(fs::exists(dir / "pages" / "fast_break_drill.html"));
    fs::remove_all(dir / "pages");

    const std::string other = (dir / "q.html").string();
    for (const char* wrong :
         {"--scale 2", "--speed 40", "--sketch", "--no-sketch", "--hold-start 1", "--hold-end 0",
          "--frames f", "--screen-height 900", "--fps 10", "--quality 3", "--lossless"}) {
        const auto r = page(play + " -o " + other + " " + wrong);
        EXPECT_EQ(r.status, 2) << wrong;
        EXPECT_NE(r.err.find(" for pictures and videos"), std::string::npos) << r.err;
    }
    EXPECT_NE(page(play + " -o " + other + " --scale 2 --fps 9 --lossless")
                  .err.find("--scale, --fps and --lossless are"),
              std::string::npos);
    EXPECT_EQ(page(play + " samples/fast_break_drill.kqz -o " + (dir / "pages/").string() +
                   " --format html --frames f")
                  .status,
              2);

    const auto missing = run_cli("export /nonexistent/none.kqz -o " + other,
                                 {.limits = "export HOOPCAST_PAGE_TEMPLATE=/nonexistent/t.html;"});
    EXPECT_EQ(missing.status, 3);
    EXPECT_NE(missing.err.find("no page template (looked for /nonexistent/t.html)"), std::string::npos)
        << missing.err;
    const auto wrong =
        run_cli("export " + play + " -o " + other, {.limits = "export HOOPCAST_PAGE_TEMPLATE=README.md;"});
    EXPECT_EQ(wrong.status, 3);
    EXPECT_NE(wrong.err.find("README.md: the page template has not one place for @PLAY_TITLE@"),
              std::string::npos)
        << wrong.err;
    EXPECT_FALSE(fs::exists(other));
}

// Every decoded frame of a video of `width` x `height` pixels, in blue, green, red.
std::vector<std::string> frames_of(const std::string& video, int width, int height) {
    const std::vector<std::uint8_t> bytes = decode_frames(video);
    const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
    std::vector<std::string> frames;
    for (std::size_t at = 0; at + size <= bytes.size(); at += size)
        frames.emplace_back(reinterpret_cast<const char*>(bytes.data() + at), size);
    return frames;
}

// The pixels of `render`'s PPM, in blue, green, red.
std::string rendered(const std::string& args, const fs::path& ppm) {
    EXPECT_EQ(run_cli("render " + args + " -o '" + ppm.string() + "'").status, 0);
    std::string pixels = slurp(ppm);
    pixels.erase(0, pixels.find("255\n") + 4);
    for (std::size_t i = 0; i + 2 < pixels.size(); i += 3) std::swap(pixels[i], pixels[i + 2]);
    return pixels;
}

// The opening picture holds before the play moves and the final one after it: a viewer sees
// both, and every frame between is the frame the play shows then.
TEST_F(ExportTest, HoldsShowTheOpeningAndTheFinalPicture) {
    const std::string play = "samples/half_court_set_play.kqz --scale 0.5";
    const std::string held = (dir / "held.mp4").string(), bare = (dir / "bare.mp4").string();
    ASSERT_EQ(run_cli("export " + play + " --lossless -o " + held).status, 0);
    ASSERT_EQ(run_cli("export " + play + " --lossless --hold-start 0 --hold-end 0 -o " + bare).status, 0);
    const auto held_facts = probe_video(held), bare_facts = probe_video(bare);
    EXPECT_NEAR(held_facts.duration, bare_facts.duration + 3.5, 0.001);
    ASSERT_EQ(held_facts.frames, bare_facts.frames + 175);  // 1 s and 2.5 s at 50 frames a second

    const auto with = frames_of(held, held_facts.width, held_facts.height);
    const auto without = frames_of(bare, bare_facts.width, bare_facts.height);
    ASSERT_EQ(with.size(), static_cast<std::size_t>(held_facts.frames));
    ASSERT_EQ(without.size(), static_cast<std::size_t>(bare_facts.frames));
    // The window before Play, and when the play has ended: the first sequence with its lines,
    // the last one's symbols where the play left them.
    const std::string first = rendered(play + " --seq 1", dir / "first.ppm");
    const std::string last = rendered(play + " --seq 4 --no-sketch", dir / "last.ppm");
    EXPECT_EQ(without.front(), first);
    EXPECT_EQ(without.back(), last);
    for (std::size_t i = 0; i < with.size(); ++i) {
        const std::size_t shown = std::clamp<std::size_t>(i, 50, 50 + without.size() - 1) - 50;
        ASSERT_EQ(with[i], without[shown]) << "frame " << i;
    }

    // A GIF holds them in the delays of its first and last frames, with no frame more.
    const std::string gif = (dir / "held.gif").string(), bare_gif = (dir / "bare.gif").string();
    ASSERT_EQ(run_cli("export " + play + " --hold-start 2 -o " + gif).status, 0);
    ASSERT_EQ(run_cli("export " + play + " --hold-start 0 --hold-end 0 -o " + bare_gif).status, 0);
    const Gif g = read_gif(gif), b = read_gif(bare_gif);
    EXPECT_EQ(g.frames, b.frames);
    EXPECT_EQ(g.total_cs, b.total_cs + 450);
    EXPECT_LT(fs::file_size(gif), fs::file_size(bare_gif) + 16);

    for (const char* wrong : {"--hold-start -1", "--hold-end 61", "--hold-start x", "--hold-end"})
        EXPECT_EQ(run_cli("export " + play + " -o " + gif + " " + wrong).status, 2) << wrong;
}

}  // namespace
