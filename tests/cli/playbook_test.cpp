// The playbook PDF read back with poppler's tools, and the thumbnailer run as a file manager
// runs it.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/utf8.h"
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

// A PDF string: (literal) with its escapes, or <FEFF...> in UTF-16, as UTF-8.
std::string pdf_string(const std::string& s) {
    std::string out;
    if (s.front() == '(') {
        for (std::size_t i = 1; i + 1 < s.size(); ++i) out += s[i] == '\\' ? s[++i] : s[i];
        return out;
    }
    for (std::size_t i = 5; i + 4 < s.size(); i += 4) {
        const auto unit = static_cast<char32_t>(std::stoul(s.substr(i, 4), nullptr, 16));
        hoopcast::append_utf8(out, unit);  // the titles here are all in the basic plane
    }
    return out;
}

struct Outline {
    std::vector<std::string> titles;  // in the file's order, plays before their sequences
    std::vector<int> counts;          // of every entry with one
    int root_count = 0;
};

Outline outline(const std::string& raw) {
    Outline o;
    const std::regex title("/Title (\\((?:[^\\\\)]|\\\\.)*\\)|<[0-9A-F]*>)\\s*/Parent");
    for (auto it = std::sregex_iterator(raw.begin(), raw.end(), title); it != std::sregex_iterator(); ++it)
        o.titles.push_back(pdf_string((*it)[1]));
    const std::regex count("/Parent [^>]*?/Count (-?\\d+)");
    for (auto it = std::sregex_iterator(raw.begin(), raw.end(), count); it != std::sregex_iterator(); ++it)
        o.counts.push_back(std::stoi((*it)[1]));
    std::smatch m;
    if (std::regex_search(raw, m, std::regex("/Type /Outlines[^>]*/Count (-?\\d+)")))
        o.root_count = std::stoi(m[1]);
    return o;
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

    // The outline: each play, open, then its sequences by number and first words; the root
    // counts what shows, as PDF has it.
    const Outline o = outline(slurp(pdf));
    std::vector<std::string> entries;
    for (std::size_t i = 0; i < kPlays.size(); ++i) {
        entries.push_back(plays[i].name + "\n");
        for (int s = 1; s <= plays[i].sequences; ++s) {
            const std::vector<std::string> w =
                words(run_cli("text " + kPlays[i] + " --seq " + std::to_string(s)).out);
            entries.push_back(std::to_string(s) + "/" + std::to_string(plays[i].sequences) + " " + w.at(0) +
                              " " + w.at(1));
        }
    }
    std::string titles;
    for (const std::string& t : o.titles) titles += t + "\n";
    EXPECT_TRUE(in_order(titles, entries)) << titles;
    EXPECT_EQ(o.root_count, static_cast<int>(o.titles.size()));
    ASSERT_EQ(o.counts.size(), kPlays.size());
    for (std::size_t i = 0; i < kPlays.size(); ++i) EXPECT_EQ(o.counts[i], plays[i].sequences);
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

// A copy of a sample whose name and first description are longer, as coaches write them.
fs::path long_play(const fs::path& dir, const std::string& name, int note_lines) {
    std::string text = slurp(fs::path(HOOPCAST_SOURCE_DIR) / "samples/baseline_inbound_play.kqz");
    text = std::regex_replace(text, std::regex("Playname = [^\r]*"), "Playname = " + name);
    std::string notes;
    for (int i = 1; i <= note_lines; ++i)
        notes += "Note" + std::to_string(i) + ". Read the defence first.\r\n";
    const std::string first = "Sequence = 1\r\n";
    text.insert(text.find(first) + first.size(), notes);
    const fs::path path = dir / "long_play.kqz";
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

struct Word {
    int page = 0;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    std::string text;
};

struct Words {
    double page_width = 0, page_height = 0;
    std::vector<Word> all;
    // The sequence labels, "2/3" or "2/3 (continued)", by where they are: page, row, column.
    std::vector<std::string> labels() const {
        std::vector<const Word*> found;
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (std::regex_match(all[i].text, std::regex("\\d+/\\d+"))) found.push_back(&all[i]);
        }
        std::stable_sort(found.begin(), found.end(), [](const Word* a, const Word* b) {
            return std::tie(a->page, a->y0, a->x0) < std::tie(b->page, b->y0, b->x0);
        });
        std::vector<std::string> out;
        for (const Word* w : found) {
            const bool continued = w + 1 < all.data() + all.size() && w[1].text == "(continued)";
            out.push_back(w->text + (continued ? " (continued)" : ""));
        }
        return out;
    }
    // The first `text` on `page` (any page when negative) below `y`.
    const Word* find(const std::string& text, int page = -1, double y = 0) const {
        for (const Word& w : all) {
            if (w.text == text && (page < 0 || w.page == page) && w.y0 > y) return &w;
        }
        return nullptr;
    }
};

// Every word of the PDF with its box, as poppler finds them.
Words words_of(const fs::path& pdf) {
    Words out;
    std::istringstream lines(shell("pdftotext -bbox '" + pdf.string() + "' -"));
    const std::regex page("<page width=\"([0-9.]+)\" height=\"([0-9.]+)\">");
    const std::regex word(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">(.*)</word>");
    int pages = 0;
    std::smatch m;
    for (std::string line; std::getline(lines, line);) {
        if (std::regex_search(line, m, page)) {
            ++pages;
            out.page_width = std::stod(m[1]);
            out.page_height = std::stod(m[2]);
        } else if (std::regex_search(line, m, word)) {
            out.all.push_back(
                {pages, std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4]), m[5]});
        }
    }
    return out;
}

// The first picture's size in points, from its pixels and their resolution.
std::pair<double, double> first_picture(const fs::path& pdf) {
    const std::vector<std::string> f = words(shell("pdfimages -list '" + pdf.string() + "' | sed -n 3p"));
    if (f.size() < 14) return {0, 0};
    return {std::stod(f[3]) * 72 / std::stod(f[12]), std::stod(f[4]) * 72 / std::stod(f[13])};
}

std::string playbook(const std::vector<std::string>& plays, const std::string& options, const fs::path& pdf) {
    std::string args;
    for (const std::string& p : plays) args += "'" + p + "' ";
    return run_cli("playbook " + args + options + " -o '" + pdf.string() + "'").err;
}

TEST(PlaybookLayout, HeadingsAndTextKeepWithinTheMargins) {
    const fs::path dir = scratch();
    // 107 characters, as long as play names get.
    const fs::path play = long_play(dir,
                                    "Box baseline out of bounds against a zone, with a second option for the "
                                    "weak side shooter if X3 sags Zipper",
                                    40);
    const fs::path pdf = dir / "margins.pdf";
    for (const char* options : {"--paper a4 --per-page 1", "--paper a4 --per-page 2",
                                "--paper a4 --per-page 4", "--paper letter --per-page 1"}) {
        ASSERT_EQ(playbook({play.string(), kPlays[0]}, options, pdf), "");
        const Words w = words_of(pdf);
        for (const Word& word : w.all) {
            EXPECT_GE(word.x0, 42 - 0.5) << options << " " << word.text;
            EXPECT_LE(word.x1, w.page_width - 42 + 0.5) << options << " " << word.text;
            EXPECT_GE(word.y0, 42 - 0.5) << options << " " << word.text;
            EXPECT_LE(word.y1, w.page_height - 42 + 0.5) << options << " " << word.text;
        }
        // The contents line and the heading on every page of the play end with the name's last
        // word; the other play's pages have their own.
        EXPECT_TRUE(w.find("Zipper", 1) != nullptr && w.find("diamond", 1) != nullptr) << options;
        for (int page = 2; page <= pages(pdf); ++page)
            EXPECT_NE(w.find("Zipper", page) != nullptr, w.find("diamond", page) != nullptr)
                << options << page;
    }
    fs::remove_all(dir);
}

TEST(PlaybookLayout, CourtsAndTheirDescriptionsFillTheirCells) {
    const fs::path dir = scratch();
    const fs::path pdf = dir / "cells.pdf";
    for (const char* paper : {"a4", "letter"}) {
        for (const int per_page : {1, 2, 4}) {
            const std::string options =
                std::string("--paper ") + paper + " --per-page " + std::to_string(per_page);
            ASSERT_EQ(playbook({"samples/baseline_inbound_play.kqz"}, options, pdf), "");
            const Words w = words_of(pdf);
            const auto [court_w, court_h] = first_picture(pdf);
            const Word* label = w.find("1/3");
            ASSERT_TRUE(label != nullptr) << options;
            const Word* text = w.find("Box", label->page, label->y0);  // the description's first word
            ASSERT_TRUE(text != nullptr) << options;
            const double text_width = w.page_width - 2 * 42;
            if (per_page == 2) {
                // The court down the cell's height, the description beside it.
                EXPECT_GT(court_h, 0.37 * w.page_height) << options;
                EXPECT_NEAR(text->x0, label->x0 + court_w + 14, 1) << options;
                continue;
            }
            // The court across its cell, or as tall as leaves room for the first lines of its
            // description, which starts right below it.
            const Word* next = w.find(per_page == 4 ? "2/3" : "1/3");
            const double cell_w = per_page == 4 ? next->x0 - label->x0 - 14 : text_width;
            EXPECT_GT(court_w, (per_page == 1 ? 0.85 : 0.78) * cell_w) << options;
            if (std::string(paper) == "a4" && per_page == 1) {
                EXPECT_NEAR(court_w, text_width, 1.5);
            }
            EXPECT_GT(court_h, (per_page == 1 ? 0.7 : 0.32) * w.page_height) << options;
            EXPECT_GT(text->y0, label->y0 + 18 + court_h) << options;
            EXPECT_LT(text->y0, label->y0 + 18 + court_h + 12) << options;
        }
    }
    fs::remove_all(dir);
}

TEST(PlaybookLayout, ALongDescriptionEndsBeforeTheNextSequence) {
    const fs::path dir = scratch();
    const fs::path play = long_play(dir, "Long notes", 70);
    const fs::path pdf = dir / "long.pdf";
    for (const char* per_page : {"1", "2", "4"}) {
        ASSERT_EQ(playbook({play.string()}, std::string("--per-page ") + per_page, pdf), "");
        const std::vector<std::string> labels = words_of(pdf).labels();
        ASSERT_GE(labels.size(), 4u) << per_page;
        EXPECT_EQ(labels.front(), "1/3");
        for (std::size_t i = 1; i + 2 < labels.size(); ++i)
            EXPECT_EQ(labels[i], "1/3 (continued)") << per_page;
        EXPECT_EQ(labels[labels.size() - 2], "2/3") << per_page;
        EXPECT_EQ(labels.back(), "3/3") << per_page;
        // Every line of it once, in order, and then the next sequence.
        std::vector<std::string> expected;
        for (int i = 1; i <= 70; ++i) expected.push_back("Note" + std::to_string(i) + ". Read");
        expected.push_back("2/3");
        const std::string raw = shell("pdftotext -raw '" + pdf.string() + "' -");
        EXPECT_TRUE(in_order(raw, expected)) << per_page;
        EXPECT_EQ(std::regex_search(raw, std::regex("Note70\\..*Note70\\.")), false);
    }
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
