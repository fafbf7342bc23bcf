// hoopcast-cli text: a sequence's description as the description pane shows it.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct TextRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Runs hoopcast-cli from the source directory, so that file names are given relative to it.
TextRun text(const std::string& args) {
    const auto dir = std::filesystem::temp_directory_path();
    const std::string tag = std::to_string(::getpid());
    const auto out = dir / ("hoopcast_text_test_" + tag + ".out");
    const auto err = dir / ("hoopcast_text_test_" + tag + ".err");
    const std::string command = std::string("cd '") + HOOPCAST_SOURCE_DIR + "' && '" + HOOPCAST_CLI +
                                "' text " + args + " >'" + out.string() + "' 2>'" + err.string() + "'";
    TextRun r;
    const int raw = std::system(command.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = slurp(out);
    r.err = slurp(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return r;
}

TEST(TextCommand, BulletedDescriptionAsPlainTextAndHtml) {
    const TextRun plain = text("samples/pick_and_roll_notes.kqz --seq 1");
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.out,
              "Keys to the pick and roll\n"
              "\u2022 Screener sets a wide, legal screen\n"
              "\u2022 Ball handler waits, then goes shoulder to shoulder\n"
              "\u2022 Roll hard to the rim, hands up\n"
              "\n");
    EXPECT_EQ(plain.err, "");
    const TextRun html = text("samples/pick_and_roll_notes.kqz --seq 1 --html");
    ASSERT_EQ(html.status, 0) << html.err;
    EXPECT_NE(html.out.find("font-weight:700;\">Keys to the pick and roll</span>"), std::string::npos);
    EXPECT_NE(html.out.find(">\u2022</span>&#160;&#160;<span"), std::string::npos);
    EXPECT_NE(html.out.find("font-family:'Arial'; font-size:10pt;\">Screener"), std::string::npos);
}

TEST(TextCommand, ExitCodes) {
    EXPECT_EQ(text("samples/pick_and_roll_notes.kqz --seq 0").status, 2);
    const TextRun beyond = text("samples/pick_and_roll_notes.kqz --seq 2");
    EXPECT_EQ(beyond.status, 2);
    EXPECT_NE(beyond.err.find("--seq 2"), std::string::npos);
    EXPECT_EQ(beyond.out, "");
    EXPECT_EQ(text("samples/pick_and_roll_notes.kqz").status, 2);
    const TextRun missing = text("tests/data/no_such_play.kqz --seq 1");
    EXPECT_EQ(missing.status, 3);
    EXPECT_NE(missing.err.find("hoopcast-cli: "), std::string::npos);
    const TextRun corrupt = text("tests/data/truncated_in_items.kqz --seq 1");
    EXPECT_EQ(corrupt.status, 1);
    EXPECT_NE(corrupt.err.find("hoopcast-cli: "), std::string::npos);
}

}  // namespace
