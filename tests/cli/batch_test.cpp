// render and export of several plays into a folder.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "cli_run.h"

namespace {

namespace fs = std::filesystem;
using hoopcast::testing::run_cli;
using hoopcast::testing::slurp;

class BatchTest : public ::testing::Test {
  protected:
    fs::path dir = fs::temp_directory_path() / ("hoopcast_batch_" + std::to_string(::getpid()));
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    std::string at(const std::string& name) const { return "'" + (dir / name).string() + "'"; }
};

TEST_F(BatchTest, GoodPlaysAreWrittenPastABadOneAsSinglePlaysWouldBe) {
    std::ofstream(dir / "broken.kqz") << "not a play\r\n";
    const std::string plays[] = {"fast_break_drill", "zone_defense_curves", "full_court_press"};
    std::string args;
    for (const std::string& play : plays) args += " samples/" + play + ".kqz";
    args += " " + at("broken.kqz");

    struct Command {
        std::string name;
        std::string options;
        std::string extension;
    };
    for (const Command& c : {Command{"render", "--seq 2", ".png"}, Command{"export", "--speed 40", ".gif"}}) {
        SCOPED_TRACE(c.name);
        // The folder is made, as the trailing slash names one.
        const auto r = run_cli(c.name + args + " " + c.options + " -j 2 -o " + at(c.name + "/"));
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "3 written, 1 failed\n");
        EXPECT_EQ(r.err, "hoopcast-cli: " + (dir / "broken.kqz").string() +
                             ": Importfile not a play is not supported\n");
        for (const std::string& play : plays) {
            const fs::path single = dir / ("single" + c.extension);
            ASSERT_EQ(
                run_cli(c.name + " samples/" + play + ".kqz " + c.options + " -o '" + single.string() + "'")
                    .status,
                0);
            EXPECT_EQ(slurp(dir / c.name / (play + c.extension)), slurp(single)) << play;
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(dir / c.name), fs::directory_iterator()), 3);
    }
}

TEST_F(BatchTest, SeveralPlaysNeedAFolder) {
    const std::string two = "samples/fast_break_drill.kqz samples/zone_defense_curves.kqz";
    const struct {
        std::string command;
        int status;
    } cases[] = {{"render " + two + " --seq 1 -o " + at("out.png"), 2},
                 {"export " + two + " -o " + at("out.gif"), 2},
                 // Only the folder itself is made, not a missing parent: a typo stays a typo.
                 {"export " + two + " -o " + at("missing/deeper/"), 3}};
    for (const auto& c : cases) {
        const auto r = run_cli(c.command);
        EXPECT_EQ(r.status, c.status) << c.command;
        EXPECT_EQ(r.out, "") << c.command;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 0);
}

TEST_F(BatchTest, PlaysSharingAnOutputNameAreLeftOut) {
    fs::create_directories(dir / "other");
    fs::copy_file(fs::path(HOOPCAST_SOURCE_DIR) / "samples/fast_break_drill.kqz",
                  dir / "other/fast_break_drill.kqz");
    fs::create_directories(dir / "out");
    // The same play twice over is one play; two plays of one name are neither written.
    const auto r = run_cli(
        "render samples/zone_defense_curves.kqz ./samples/zone_defense_curves.kqz "
        "samples/fast_break_drill.kqz " +
        at("other/fast_break_drill.kqz") + " --seq 1 -o " + at("out"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "1 written, 2 failed\n");
    EXPECT_TRUE(fs::exists(dir / "out/zone_defense_curves.png"));
    EXPECT_FALSE(fs::exists(dir / "out/fast_break_drill.png"));
    EXPECT_NE(r.err.find("samples/fast_break_drill.kqz: left out, as " + (dir / "other").string()),
              std::string::npos)
        << r.err;
}

}  // namespace
