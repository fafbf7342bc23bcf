#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include "cli_run.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

namespace {

using hoopcast::testing::CliRun;

CliRun cli(const std::string& args) {
    return hoopcast::testing::run_cli(args);
}

TEST(InfoCommand, DumpsASamplePlay) {
    const CliRun r = cli("info samples/half_court_set_play.kqz");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["outcome"], "success");
    EXPECT_EQ(j["message"], "");
    EXPECT_EQ(j["box"], "");
    EXPECT_EQ(j["version"], "0.5");
    EXPECT_EQ(j["caption"], "Basketball Hoopcast,Man-to-man offense: Horns twist");
    EXPECT_EQ(j["play_loaded"], true);
    EXPECT_EQ(j["seq_count"], 4);
    ASSERT_EQ(j["sequences"].size(), 4u);
    const auto& s1 = j["sequences"][0];
    EXPECT_EQ(s1["index"], 1);
    EXPECT_EQ(s1["court_kind"], 3);
    EXPECT_EQ(s1["no_animation"], true);
    EXPECT_EQ(s1["colours"], nlohmann::json::array({0, 0, 0, 0}));
    EXPECT_EQ(s1["text"].get<std::string>().substr(0, 17), "Horns alignment: ");
    EXPECT_NE(s1["text"].get<std::string>().find(".\r\n1 enters"), std::string::npos);
    EXPECT_GT(s1["seq_path_length"].get<double>(), 5.0);
    EXPECT_TRUE(s1["steps"].is_number_integer());
    const auto& court = s1["items"][0];
    EXPECT_EQ(court["slot"], 1);
    EXPECT_EQ(court["kind"], "Court");
    const auto& player = s1["items"][1];
    EXPECT_EQ(player["kind"], "Circle");
    EXPECT_EQ(player["text"], "1");
    EXPECT_EQ(player["motion"], 1);
    for (const auto& s : j["sequences"])
        for (const auto& item : s["items"])
            EXPECT_NE(item["kind"], "") << "items stop at the first free slot";
    // The two-line text item: the bar becomes CR LF.
    bool found = false;
    for (const auto& item : s1["items"])
        if (item["kind"] == "Text") found = item["text"] == "Horns\r\nset" && item["text2"] == "Arial";
    EXPECT_TRUE(found);
}

TEST(InfoCommand, DecodesTextsAndKeepsRichText) {
    CliRun r = cli("info samples/zone_defense_curves.kqz");
    ASSERT_EQ(r.status, 0) << r.err;
    auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["category"],
              "Zone d\xC3\xA9"
              "fense");
    EXPECT_EQ(j["has_zones"], true);

    r = cli("info samples/pick_and_roll_notes.kqz");
    ASSERT_EQ(r.status, 0) << r.err;
    j = nlohmann::json::parse(r.out);
    EXPECT_NE(j["sequences"][0]["text"].get<std::string>().find("{\\pntext\\f0\\'B7\\tab}"),
              std::string::npos);
}

TEST(InfoCommand, OtherOutcomesExitOneWithTheMessage) {
    CliRun r = cli("info tests/data/version_0_6.kqz");
    EXPECT_EQ(r.status, 1);
    auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["outcome"], "not_supported");
    EXPECT_TRUE(j["version"].is_null());
    EXPECT_EQ(j["box"], "information");
    EXPECT_EQ(j["caption"], "Basketball Hoopcast");
    EXPECT_EQ(j["category"], "");
    EXPECT_EQ(j["play_loaded"], true);
    EXPECT_EQ(j["seq_count"], 0);
    EXPECT_NE(r.err.find("Importfile Version  = Basketball Drillpad 0.6 is not supported"),
              std::string::npos);

    r = cli("info ./tests/data/corrupt_play_name.kqz");
    EXPECT_EQ(r.status, 1);
    j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["outcome"], "corrupt");
    EXPECT_EQ(j["version"], "0.3");
    EXPECT_EQ(j["message"], "Importfile ./tests/data/corrupt_play_name.kqz is corrupt");
    EXPECT_EQ(j["category"], "Offense");
    EXPECT_EQ(j["play_name"], "");
    EXPECT_EQ(j["play_loaded"], false);

    r = cli("info tests/data/too_many_sequences.kqz");
    EXPECT_EQ(r.status, 1);
    j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["outcome"], "too_many_sequences");
    EXPECT_EQ(j["box"], "error");
    EXPECT_EQ(j["seq_count"], 0);
    EXPECT_EQ(j["sequences"].size(), 0u);

    for (const char* f : {"tests/data/truncated_in_items.kqz", "tests/data/absurd_item_count.kqz"}) {
        r = cli(std::string("info ") + f);
        EXPECT_EQ(r.status, 1) << f;
        EXPECT_EQ(nlohmann::json::parse(r.out)["outcome"], "corrupt") << f;
    }
}

TEST(InfoCommand, FileAndUsageErrors) {
    CliRun r = cli("info tests/data/no_such_play.kqz");
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("tests/data/no_such_play.kqz: No such file or directory"), std::string::npos);

    EXPECT_EQ(cli("info").status, 2);
    EXPECT_EQ(cli("info a.kqz b.kqz").status, 2);
}

}  // namespace
