// The playbook PDF read back with poppler's tools, and the thumbnailer run as a file manager
// runs it.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli_run.h"

namespace {

namespace fs = std::filesystem;
using hoopcast::testing::run_cli;
using hoopcast::testing::slurp;

const std::vector<std::string> kPlays = {"samples/full_court_press.kqz", "samples/pick_and_roll_notes.kqz",
                                         "samples/zone_defense_curves.kqz"};

fs::path scratch() {
    const fs::path dir = fs::temp_directory_path() / ("hoopcast_playbook_test_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir;
}

// Standard output of a shell command.
std::string shell(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

int pages(const fs::path& pdf) {
    std::smatch m;
    const std::string info = shell("pdfinfo '" + pdf.string() + "'");
    return std::regex_search(info, m, std::regex("Pages:\\s+(\\d+)")) ? std::stoi(m[1]) : -1;
}

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

// Whether `wanted` appear in `haystack` in this order.
::testing::AssertionResult in_order(const std::string& haystack, const std::vector<std::string>& wanted) {
    std::size_t at = 0;
    for (const std::string& w : wanted) {
        const std::size_t found = haystack.find(w, at);
        if (found == std::string::npos) return ::testing::AssertionFailure() << "not found in order: " << w;
        at = found + w.size();
    }
    return ::testing::AssertionSuccess();
}

struct PlayInfo {
    std::string name;
    int sequences = 0;
};

PlayInfo info(const std::string& play) {
    const auto j = nlohmann::json::parse(run_cli("info " + play).out);
    return {j["play_name"].get<std::string>(), j["seq_count"].get<int>()};
}

TEST(PlaybookCommand, PagesTextFontsAndOutline) {
    const fs::path dir = scratch();
    std::string args;
    for (const std::string& p : kPlays) args += p + " ";
    int total = 0;
    std::vector<PlayInfo> plays;
    for (const std::string& p : kPlays) plays.push_back(info(p)), total += plays.back().sequences;

    for (const int per_page : {1, 2, 4}) {
        const fs::path pdf = dir / ("book" + std::to_string(per_page) + ".pdf");
        ASSERT_EQ(run_cli("playbook " + args + "--paper a4 --per-page " + std::to_string(per_page) + " -o '" +
                          pdf.string() + "'")
                      .status,
                  0);
        int expected = 1;  // the contents
        for (const PlayInfo& p : plays) expected += (p.sequences + per_page - 1) / per_page;
        EXPECT_EQ(pages(pdf), expected) << per_page;
    }
    const fs::path pdf = dir / "book1.pdf";
    EXPECT_NE(shell("pdfinfo '" + pdf.string() + "'").find("Creator:         hoopcast-cli"),
              std::string::npos);

    // Play names, then each sequence's number and description words, in order.
    const std::string text = shell("pdftotext -layout '" + pdf.string() + "' -");
    std::vector<std::string> expected_text;
    for (std::size_t i = 0; i < kPlays.size(); ++i) expected_text.push_back(plays[i].name);
    for (std::size_t i = 0; i < kPlays.size(); ++i) {
        expected_text.push_back(plays[i].name);
        for (int s = 1; s <= plays[i].sequences; ++s) {
            expected_text.push_back(std::to_string(s) + "/" + std::to_string(plays[i].sequences));
            for (const std::string& w :
                 words(run_cli("text " + kPlays[i] + " --seq " + std::to_string(s)).out))
                expected_text.push_back(w);
        }
    }
    EXPECT_TRUE(in_order(text, expected_text));

    // Every font embedded.
    const std::string fonts = shell("pdffonts '" + pdf.string() + "' | tail -n +3");
    EXPECT_FALSE(fonts.empty());
    std::istringstream lines(fonts);
    for (std::string line; std::getline(lines, line);)
        EXPECT_TRUE(std::regex_search(line, std::regex(" yes +(yes|no) +(yes|no) +\\d+ +\\d+$"))) << line;

    // The outline: each play, then its sequences.
    const std::string raw = slurp(pdf);
    std::vector<std::string> titles;
    const std::regex title("/Title \\(([^)]*)\\)");
    for (auto it = std::sregex_iterator(raw.begin(), raw.end(), title); it != std::sregex_iterator(); ++it)
        titles.push_back((*it)[1]);
    std::string joined;
    for (const std::string& t : titles) joined += t + "\n";
    std::vector<std::string> outline;
    for (const PlayInfo& p : plays) {
        outline.push_back(p.name + "\n");
        for (int s = 1; s <= p.sequences; ++s)
            outline.push_back(std::to_string(s) + "/" + std::to_string(p.sequences) + "\n");
    }
    EXPECT_TRUE(in_order(joined, outline));
    fs::remove_all(dir);
}

TEST(PlaybookCommand, FramesAreRendersPixelForPixelAtTwoHundredDpi) {
    const fs::path dir = scratch();
    const std::string play = "samples/zone_defense_curves.kqz";
    const fs::path pdf = dir / "frames.pdf";
    ASSERT_EQ(run_cli("playbook " + play + " --per-page 2 --scale 1.5 -o '" + pdf.string() + "'").status, 0);
    shell("pdfimages '" + pdf.string() + "' '" + (dir / "img").string() + "'");
    const int n = info(play).sequences;
    for (int s = 1; s <= n; ++s) {
        const fs::path ppm = dir / ("render" + std::to_string(s) + ".ppm");
        ASSERT_EQ(run_cli("render " + play + " --seq " + std::to_string(s) + " --scale 1.5 -o '" +
                          ppm.string() + "'")
                      .status,
                  0);
        char name[32];
        std::snprintf(name, sizeof name, "img-%03d.ppm", s - 1);
        EXPECT_EQ(slurp(dir / name), slurp(ppm)) << s;
    }

    // Without --scale, every frame prints at 200 dpi or more.
    for (const std::string per_page : {"1", "4"}) {
        ASSERT_EQ(run_cli("playbook " + play + " --paper letter --per-page " + per_page + " -o '" +
                          pdf.string() + "'")
                      .status,
                  0);
        std::istringstream list(shell("pdfimages -list '" + pdf.string() + "' | tail -n +3"));
        int images = 0;
        for (std::string line; std::getline(list, line); ++images) {
            const std::vector<std::string> f = words(line);
            ASSERT_GE(f.size(), 14u);
            EXPECT_GE(std::stoi(f[12]), 200) << line;
            EXPECT_GE(std::stoi(f[13]), 200) << line;
        }
        EXPECT_EQ(images, n);
    }
    fs::remove_all(dir);
}

TEST(PlaybookCommand, BadPlaysAreLeftOutAndOneSequenceAlone) {
    const fs::path dir = scratch();
    const fs::path bad = dir / "bad.kqz";
    std::ofstream(bad) << "not a play\n";
    const fs::path pdf = dir / "some.pdf";
    const auto r = run_cli("playbook " + kPlays[0] + " '" + bad.string() + "' " + kPlays[2] + " -o '" +
                           pdf.string() + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("bad.kqz"), std::string::npos);
    const int expected = 1 + info(kPlays[0]).sequences + info(kPlays[2]).sequences;
    EXPECT_EQ(pages(pdf), expected);

    ASSERT_EQ(run_cli("playbook " + kPlays[2] + " --seq 2 -o '" + pdf.string() + "'").status, 0);
    EXPECT_EQ(pages(pdf), 1);
    EXPECT_EQ(run_cli("playbook " + kPlays[2] + " --seq 99 -o '" + pdf.string() + "'").status, 2);
    EXPECT_EQ(run_cli("playbook '" + bad.string() + "' -o '" + (dir / "none.pdf").string() + "'").status, 1);
    EXPECT_FALSE(fs::exists(dir / "none.pdf"));
    fs::remove_all(dir);
}

// The thumbnailer entry's command line with %i, %o and %s filled in, as a file manager runs it.
int thumbnail(const fs::path& in, const fs::path& out, int size) {
    const std::string entry = slurp(fs::path(HOOPCAST_SOURCE_DIR) / "src/cli/hoopcast.thumbnailer");
    std::smatch m;
    if (!std::regex_search(entry, m, std::regex("\nExec=hoopcast-cli ([^\n]*)"))) return -1;
    std::string args = m[1];
    args = std::regex_replace(args, std::regex("%i"), "'" + in.string() + "'");
    args = std::regex_replace(args, std::regex("%o"), "'" + out.string() + "'");
    args = std::regex_replace(args, std::regex("%s"), std::to_string(size));
    return run_cli(args).status;
}

TEST(ThumbnailCommand, GoodPlaysGivePreviewsBadFilesNothing) {
    const fs::path dir = scratch();
    // Every play at 128, and the other sizes file managers ask for: each exactly on the longer side.
    std::vector<std::pair<std::string, int>> asked;
    for (const std::string& play : kPlays) asked.emplace_back(play, 128);
    for (const int size : {256, 512, 1024}) asked.emplace_back(kPlays[0], size);
    for (const auto& [play, size] : asked) {
        const fs::path png = dir / "good.png";
        ASSERT_EQ(thumbnail(fs::path(HOOPCAST_SOURCE_DIR) / play, png, size), 0) << play;
        const std::string bytes = slurp(png);
        ASSERT_GT(bytes.size(), 33u);
        const auto side = [&](std::size_t at) {
            return (static_cast<unsigned char>(bytes[at + 2]) << 8) |
                   static_cast<unsigned char>(bytes[at + 3]);
        };
        EXPECT_EQ(side(20), size) << play;
        EXPECT_NEAR(side(16), size * 289.0 / 361, 1) << play;
        EXPECT_NE(bytes.find("Thumb::URI\0file:///", 0, 19), std::string::npos);
        EXPECT_NE(bytes.find("Thumb::MTime"), std::string::npos);
    }

    const fs::path zeros = dir / "zeros.kqz";
    std::ofstream(zeros).close();
    fs::resize_file(zeros, std::uintmax_t{2} << 30);  // sparse: 2 GB on no disk
    const fs::path random = dir / "random.kqz";
    {
        std::ofstream out(random, std::ios::binary);
        unsigned x = 12345;
        for (int i = 0; i < 1 << 20; ++i) out.put(static_cast<char>((x = x * 1103515245u + 12345u) >> 24));
    }
    // A play's beginning and then 2 GB of description, of which the reader would keep every byte.
    const fs::path long_play = dir / "long_play.kqz";
    std::ofstream(long_play, std::ios::binary) << "Version  = Basketball Drillpad 0.2\r\nType     = Play\r\n"
                                                  "Category = Big\r\nPlayname = Files\r\nNr_seq   = 1\r\n"
                                                  "Animation= No\r\nSequence = 1\r\n";
    fs::resize_file(long_play, std::uintmax_t{2} << 30);
    for (const fs::path& bad : {zeros, long_play, random, dir / "missing.kqz", dir}) {
        const fs::path png = dir / "bad.png";
        EXPECT_NE(thumbnail(bad, png, 256), 0) << bad;
        EXPECT_FALSE(fs::exists(png)) << bad;
    }
#if !defined(__SANITIZE_ADDRESS__)  // under a sanitizer the memory is mostly the sanitizer's
    const auto measured =
        run_cli("thumbnail '" + long_play.string() + "' '" + (dir / "long.png").string() + "'",
                {.measured = true, .limits = {}});
    EXPECT_NE(measured.status, 0);
    EXPECT_LT(measured.peak_kb, 64 * 1024);
#endif
    fs::remove_all(dir);
}

}  // namespace
