#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// A scratch folder per test process; CTest runs the cases side by side.
fs::path scratch() {
    const fs::path dir = fs::temp_directory_path() / ("hoopcast_render_test_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir;
}

// Runs hoopcast-cli render from the source directory; returns its exit code.
int render(const std::string& args) {
    const std::string command = std::string("cd '") + HOOPCAST_SOURCE_DIR + "' && '" + HOOPCAST_CLI +
                                "' render " + args + " >/dev/null 2>&1";
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

TEST(RenderCommand, WritesTheFrameAtTheScalesSize) {
    const fs::path dir = scratch();
    const fs::path ppm = dir / "s1.ppm";
    ASSERT_EQ(render("samples/zone_defense_curves.kqz --seq 1 -o '" + ppm.string() + "'"), 0);
    EXPECT_EQ(slurp(ppm).substr(0, 15), "P6\n289 361\n255\n");

    const fs::path big = dir / "s3.ppm";
    ASSERT_EQ(
        render(
            "samples/zone_defense_curves.kqz --seq 3 --scale 2.01662 --no-sketch --screen-height 600 -o '" +
            big.string() + "'"),
        0);
    EXPECT_EQ(slurp(big).substr(0, 15), "P6\n583 728\n255\n");

    const fs::path png = dir / "s2.png";
    ASSERT_EQ(render("samples/zone_defense_curves.kqz --seq 2 --sketch -o '" + png.string() + "'"), 0);
    EXPECT_EQ(slurp(png).substr(1, 3), "PNG");
    fs::remove_all(dir);
}

TEST(RenderCommand, ExitCodes) {
    const fs::path dir = scratch();
    const std::string out = " -o '" + (dir / "x.png").string() + "'";
    EXPECT_EQ(render("samples/zone_defense_curves.kqz --seq 0" + out), 2);
    EXPECT_EQ(render("samples/zone_defense_curves.kqz --seq 4" + out), 2);
    EXPECT_EQ(render("samples/zone_defense_curves.kqz --seq 1 --scale 0" + out), 2);
    EXPECT_EQ(render("samples/zone_defense_curves.kqz --seq 1 --scale 1000" + out), 2);
    EXPECT_EQ(render("samples/zone_defense_curves.kqz" + out), 2);
    EXPECT_EQ(render("samples/no_such_play.kqz --seq 1" + out), 3);
    EXPECT_EQ(
        render("samples/zone_defense_curves.kqz --seq 1 -o '" + (dir / "missing" / "x.png").string() + "'"),
        3);
    const fs::path bad = dir / "bad.kqz";
    std::ofstream(bad) << "not a play\r\n";
    EXPECT_EQ(render("'" + bad.string() + "' --seq 1" + out), 1);
    EXPECT_FALSE(fs::exists(dir / "x.png"));
    fs::remove_all(dir);
}

}  // namespace
