// What every command does alike: an output is what its name says, a fault in the command
// line is a usage error said with the program's prefix, and a file that cannot be written is
// named with the system's reason.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli_run.h"

namespace {

namespace fs = std::filesystem;
using hoopcast::testing::run_cli;

constexpr const char* kPlay = "samples/baseline_inbound_play.kqz";

class OutputsTest : public ::testing::Test {
  protected:
    fs::path dir = fs::temp_directory_path() / ("hoopcast_outputs_" + std::to_string(::getpid()));
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    std::string at(const std::string& name) const { return "'" + (dir / name).string() + "'"; }
};

TEST_F(OutputsTest, NamesThatSayAnotherFormatAreRefused) {
    const std::string play = std::string(kPlay) + " ";
    struct Case {
        std::string args, said;
    };
    const std::vector<Case> refused = {
        {"render " + play + "--seq 1 -o " + at("a.jpg"), "render writes .png or .ppm, not .jpg"},
        {"render " + play + "--seq 1 -o " + at("a"), "cannot tell the format of"},
        {"render " + play + "--seq 1 -o " + at("a.pdf"), "render writes .png or .ppm, not .pdf"},
        {"playbook " + play + "-o " + at("a.png"), "playbook writes .pdf, not .png"},
        {"playbook " + play + "-o " + at("a"), "name it .pdf"},
        {"export " + play + "-o " + at("a.png"), "export writes .gif, .mp4, .webm or .html, not .png"},
        {"export " + play + "-o " + at("a.gif") + " --format mp4", "named .gif, not .mp4 as --format says"},
        {"export " + play + "-o " + at("a.jpg") + " --format gif", "not .jpg"},
        {"thumbnail " + play + at("a.jpg"), "thumbnail writes .png, not .jpg"},
        {"thumbnail " + play + at("a.kqz"), "not .kqz"},
    };
    for (const Case& c : refused) {
        const auto r = run_cli(c.args);
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_EQ(r.err.rfind("hoopcast-cli: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    }
    EXPECT_TRUE(fs::is_empty(dir));

    // Names that say the format in any case, a file manager's temporary name, and a pipe.
    for (const std::string& args :
         {"render " + play + "--seq 1 -o " + at("a.PNG"), "render " + play + "--seq 1 -o " + at("a.ppm"),
          "playbook " + play + "-o " + at("a.Pdf"),
          "export " + play + "-o " + at("a.video") + " --format gif",
          "thumbnail " + play + at(".gnome_desktop_thumbnail.Xa9kQ2"),
          "render " + play + "--seq 1 -o /dev/stdout"}) {
        EXPECT_EQ(run_cli(args).status, 0) << args;
    }
    EXPECT_EQ(run_cli("render " + play + "--seq 1 -o /dev/stdout").out.substr(1, 3), "PNG");
}

TEST_F(OutputsTest, EveryArgumentIsCheckedAlikeWithTheProgramsPrefix) {
    const std::string play = std::string(kPlay) + " ";
    const std::vector<std::string> commands = {"render " + play + "--seq 1 -o " + at("a.png"),
                                               "export " + play + "-o " + at("a.gif"),
                                               "playbook " + play + "-o " + at("a.pdf")};
    for (const std::string& command : commands) {
        for (const char* scale : {"0", "-1", "x", "1000", "nan"}) {
            const auto r = run_cli(command + " --scale " + scale);
            EXPECT_EQ(r.status, 2) << command << scale;
            EXPECT_EQ(r.err.rfind("hoopcast-cli: --scale: ", 0), 0u) << r.err;
        }
    }
    for (const std::string& args :
         {commands[0] + " --screen-height 0", commands[1] + " --screen-height 0",
          commands[0] + " --sketch --no-sketch", commands[0] + " --seq 0", "text " + play + "--seq 0",
          commands[2] + " --seq 0", commands[2] + " --per-page 3", commands[1] + " --speed -5",
          commands[1] + " --format avi", "thumbnail " + play + at("a.png") + " --size 0",
          "thumbnail " + play + at("a.png") + " --size 1025", "render " + play + "--seq 1"}) {
        const auto r = run_cli(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.err.rfind("hoopcast-cli: ", 0), 0u) << r.err;
    }
    EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(OutputsTest, AFolderThatCannotBeWrittenIsNamedWithTheReason) {
    // Root writes anyway: the commands run as a user who may not.
    const fs::path locked = dir / "locked";
    fs::create_directories(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                fs::perms::others_exec);
    const std::string play = std::string(kPlay) + " ";
    const std::string in = (locked / "x").string();
    for (const std::string& args :
         {"render " + play + "--seq 1 -o " + in + ".png", "render " + play + "--seq 1 -o " + in + ".ppm",
          "export " + play + "-o " + in + ".gif", "export " + play + "-o " + in + ".webm",
          "playbook " + play + "-o " + in + ".pdf", "thumbnail " + play + in + ".png"}) {
        const auto r = run_cli(args, {.measured = false, .limits = {}, .unprivileged = true});
        EXPECT_EQ(r.status, 3) << args;
        const std::string output = args.substr(args.rfind(' ') + 1);
        EXPECT_EQ(r.err, "hoopcast-cli: cannot write " + output + ": Permission denied\n") << args;
    }
    EXPECT_TRUE(fs::is_empty(locked));
}

}  // namespace
