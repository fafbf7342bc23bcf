// hoopcast-cli text: a sequence's description as the description pane shows it.

#include <gtest/gtest.h>

#include "cli_run.h"
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using TextRun = hoopcast::testing::CliRun;

TextRun text(const std::string& args) { return hoopcast::testing::run_cli("text " + args); }

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
