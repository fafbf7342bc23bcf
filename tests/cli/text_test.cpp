// hoopcast-cli text: a sequence's description as the description pane shows it.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include "cli_run.h"
#include "play/description.h"
#include "richtext/reader.h"
#include "richtext/writers.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using TextRun = hoopcast::testing::CliRun;

TextRun text(const std::string& args) {
    return hoopcast::testing::run_cli("text " + args);
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

// A long description is written as the pane shows it: cut after its first 128 KiB of text.
TEST(TextCommand, LongDescriptionAsThePaneShowsIt) {
    const std::string lines[] = {"Screen {\\pntext\\f3\\'B7\\tab}\\pard\\'b7\\tab away",
                                 "{\\pntext\\f0\\'B7\\tab}}", "{\\rtf1 not the first line}", "",
                                 "caf\xE9 <b>&amp; \x85\ttab"};
    std::string description;
    for (std::size_t k = 0; description.size() < (300 << 10); ++k) description += lines[k % 5] + "\r\n";
    const auto file =
        std::filesystem::temp_directory_path() / ("hoopcast_text_" + std::to_string(::getpid()));
    std::ofstream(file, std::ios::binary)
        << "Version  = Basketball Drillpad 0.3\r\nCategory = A\r\nPlayname = B\r\n"
        << "Nr_seq   = 1\r\nSequence\r\n"
        << description << "Nr_parts = 0\r\n";
    const auto whole = hoopcast::richtext::describe(hoopcast::clean_description(description));
    const std::string plain = text(file.string() + " --seq 1").out;
    EXPECT_EQ(plain.substr(plain.size() - 5), "\n\u2026\n");
    // Compared without printing megabytes.
    EXPECT_TRUE(plain == hoopcast::richtext::to_plain_text(whole) + "\n");
    EXPECT_TRUE(text(file.string() + " --seq 1 --html").out == hoopcast::richtext::to_html(whole));
    std::filesystem::remove(file);
}

}  // namespace
