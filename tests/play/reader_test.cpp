#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

#include "play/reader.h"
#include "play_text.h"

namespace hoopcast {
namespace {

using test_plays::ItemText;
using test_plays::key_line;
using test_plays::PlayText;
using test_plays::SequenceText;

struct Read {
    std::unique_ptr<PlayModel> play = std::make_unique<PlayModel>();
    ReadResult result;
};

Read read(const std::string& bytes, const std::string& name = "plays/box.kqz") {
    Read r;
    r.result = read_play(*r.play, bytes, name);
    return r;
}

PlayText one_sequence(const std::string& version, std::vector<ItemText> items) {
    PlayText p;
    p.version = version;
    p.sequences.push_back(SequenceText{"", {}, {}, std::move(items), ""});
    return p;
}

TEST(ReadNumber, LeadingDigitsWithOptionalBlanksAndSign) {
    EXPECT_EQ(parse_number("42"), 42);
    EXPECT_EQ(parse_number("-12abc"), -12);
    EXPECT_EQ(parse_number("+7"), 7);
    EXPECT_EQ(parse_number("   15"), 15);
    EXPECT_EQ(parse_number("15   "), 15);
    EXPECT_EQ(parse_number("\t15"), 0);
    EXPECT_EQ(parse_number(""), 0);
    EXPECT_EQ(parse_number("abc"), 0);
    EXPECT_EQ(parse_number("- 5"), 0);
    EXPECT_EQ(parse_number("--5"), 0);
    EXPECT_EQ(parse_number("16711680"), 16711680);
    EXPECT_EQ(parse_number("-2147483648"), INT32_MIN);
    // Beyond 32 bits the value saturates instead of wrapping.
    EXPECT_EQ(parse_number("2147483648"), INT32_MAX);
    EXPECT_EQ(parse_number("99999999999999999999999999999999"), INT32_MAX);
    EXPECT_EQ(parse_number("-99999999999999999999999999999999"), INT32_MIN);
}

TEST(ReadLines, LineEndsCarriageReturnsAndEndOfFileMark) {
    const std::string lf_only =
        "Version  = Basketball Drillpad 0.2\nCategory = Drill\nPlayname = Lay-ups\nNr_seq   = 0\n";
    Read r = read(lf_only);
    EXPECT_EQ(r.result.outcome, ReadOutcome::success);
    EXPECT_EQ(r.result.caption, "Basketball Hoopcast,Drill: Lay-ups");

    // A CR inside a line is dropped; the one before LF is not part of the line.
    r = read("Version  = Basketball Drillpad 0.2\r\nCate\rgory = Dr\rill\r\nPlayname = X\r\r\nNr_seq   = 0");
    EXPECT_EQ(r.result.outcome, ReadOutcome::success);
    EXPECT_EQ(r.result.category, "Drill");
    EXPECT_EQ(r.result.play_name, "X");

    // Ctrl-Z ends the file: what follows is never seen, so the count line is missing.
    r = read("Version  = Basketball Drillpad 0.2\r\nCategory = A\r\nPlayname = B\r\n\x1ANr_seq   = 0\r\n");
    EXPECT_EQ(r.result.outcome, ReadOutcome::corrupt);

    // Keys sit in columns 1-10; column 11 is not looked at; a short line has an empty value.
    r = read("Version  = Basketball Drillpad 0.2\r\nCategory =X\r\nPlayname =\r\nNr_seq   =X0\r\n");
    EXPECT_EQ(r.result.outcome, ReadOutcome::success);
    EXPECT_EQ(r.result.category, "");
    EXPECT_EQ(r.result.play_name, "");
    EXPECT_EQ(r.play->seq_count, 0);

    // Labels hold at most 1,000 characters, and "…" (0x85) where more followed.
    const std::string full(1000, 'c');
    r = read("Version  = Basketball Drillpad 0.2\r\nCategory = " + full + "\r\nPlayname = " + full +
             "n\r\nNr_seq   = 0\r\n");
    EXPECT_EQ(r.result.outcome, ReadOutcome::success);
    EXPECT_EQ(r.result.category, full);
    EXPECT_EQ(r.result.play_name, full + "\x85");
    EXPECT_EQ(r.result.caption, "Basketball Hoopcast," + full + ": " + full + "\x85");
}

TEST(ReadVersion, OnlyTheFourExactVersionLinesAreSupported) {
    for (const char* v : {"0.2", "0.3", "0.4", "0.5"}) {
        PlayText p;
        p.version = v;
        Read r = read(p.str());
        EXPECT_EQ(r.result.outcome, ReadOutcome::success) << v;
        ASSERT_TRUE(r.result.version);
        EXPECT_EQ(version_text(*r.result.version), v);
    }
    for (const std::string first :
         {"Version  = Basketball Drillpad 0.5 ", "version  = Basketball Drillpad 0.5",
          "Version  = Basketball Drillpad 0.6", ""}) {
        auto r = std::make_unique<PlayModel>();
        r->seq_count = 12;  // from a previous play
        r->has_zones = true;
        const ReadResult res =
            read_play(*r, first + "\r\nCategory = A\r\nPlayname = B\r\nNr_seq   = 1\r\n", "x.kqz");
        EXPECT_EQ(res.outcome, ReadOutcome::not_supported);
        EXPECT_EQ(res.message, "Importfile " + first + " is not supported");
        EXPECT_EQ(res.box, BoxKind::information);
        EXPECT_FALSE(res.version);
        EXPECT_FALSE(res.category) << "labels keep their previous texts";
        EXPECT_FALSE(res.play_name);
        EXPECT_EQ(res.caption, "Basketball Hoopcast");
        EXPECT_TRUE(res.play_loaded);
        EXPECT_TRUE(res.motion_pass_ran);
        EXPECT_EQ(r->seq_count, 12);
        EXPECT_TRUE(r->has_zones);
    }
    // The quoted first line is shown as text, decoded from the file's code page.
    Read r = read("Versi\xF3n\r\n");
    EXPECT_EQ(r.result.message, "Importfile Versi\xC3\xB3n is not supported");
}

TEST(ReadHeader, TypeLineIsOptionalAndMissingKeysAreCorrupt) {
    PlayText with;
    PlayText without;
    without.type_line = false;
    EXPECT_EQ(read(with.str()).result.caption, read(without.str()).result.caption);
    EXPECT_EQ(read(with.str()).result.caption, "Basketball Hoopcast,Offense: Box set");

    struct Case {
        std::string text;
        bool category;
        bool play_name;
    };
    const std::string v = "Version  = Basketball Drillpad 0.4\r\n";
    const Case cases[] = {
        {v + "Categorie= A\r\nPlayname = B\r\nNr_seq   = 0\r\n", false, false},
        {v + "Category = A\r\nPlayName = B\r\nNr_seq   = 0\r\n", true, false},
        {v + "Category = A\r\nPlayname = B\r\nNr_seq  = 0\r\n", true, true},
        {v + "Type     = x\r\nType     = x\r\nCategory = A\r\n", false, false},
        {v, false, false},
    };
    for (const Case& c : cases) {
        auto play = std::make_unique<PlayModel>();
        play->seq_count = 5;
        const ReadResult r = read_play(*play, c.text, "C:\\plays\\box set.kqz");
        EXPECT_EQ(r.outcome, ReadOutcome::corrupt) << c.text;
        EXPECT_EQ(r.message, "Importfile C:\\plays\\box set.kqz is corrupt");
        EXPECT_EQ(r.box, BoxKind::information);
        EXPECT_EQ(r.category.has_value(), c.category);
        EXPECT_EQ(r.play_name.has_value(), c.play_name);
        EXPECT_FALSE(r.caption);
        EXPECT_FALSE(r.play_loaded);
        EXPECT_FALSE(r.motion_pass_ran);
        EXPECT_EQ(play->seq_count, 5);
    }
}

TEST(ReadHeader, SequenceCountLimits) {
    PlayText p;
    p.count = "75";
    p.sequences.resize(75);
    Read r = read(p.str());
    EXPECT_EQ(r.result.outcome, ReadOutcome::success);
    EXPECT_EQ(r.play->seq_count, 75);

    for (const std::string count : {"76", "2000000000", "99999999999999999999"}) {
        p.count = count;
        r.play->seq_count = 9;
        r.result = read_play(*r.play, p.str(), "x");
        EXPECT_EQ(r.result.outcome, ReadOutcome::too_many_sequences) << count;
        EXPECT_EQ(r.result.message, "Unable to animate more than 75 sequences");
        EXPECT_EQ(r.result.box, BoxKind::error);
        EXPECT_EQ(r.result.category, "Offense");
        EXPECT_EQ(r.result.play_name, "Box set");
        EXPECT_FALSE(r.result.caption);
        EXPECT_FALSE(r.result.play_loaded);
        EXPECT_EQ(r.play->seq_count, 0) << "no sequence was read";
        EXPECT_TRUE(r.play->item(1, 1).kind.empty());
    }

    // Zero or a negative count is an empty play; labels and caption are set.
    for (const std::string count : {"0", "-3", "-99999999999999"}) {
        PlayText empty;
        empty.count = count;
        r = read(empty.str());
        EXPECT_EQ(r.result.outcome, ReadOutcome::success) << count;
        EXPECT_EQ(r.play->seq_count, 0);
        EXPECT_EQ(r.result.caption, "Basketball Hoopcast,Offense: Box set");
        EXPECT_TRUE(r.result.play_loaded);
    }
}

TEST(ReadSequence, AnimationLineAndDescription) {
    PlayText p;
    p.version = "0.4";
    const std::string values[] = {"No", "No ", "no", "Yes", ""};
    for (const std::string& v : values) p.sequences.push_back({"Animation= " + v, {}, {}, {}, ""});
    p.sequences.push_back({"", {"First line", "", "{\\rtf1 third}"}, {}, {}, ""});
    Read r = read(p.str());
    ASSERT_EQ(r.result.outcome, ReadOutcome::success);
    EXPECT_TRUE(r.play->header(1).no_animation);
    for (int s = 2; s <= 6; ++s) EXPECT_FALSE(r.play->header(s).no_animation) << s;
    EXPECT_EQ(r.play->header(1).text.crlf(), "");
    EXPECT_EQ(r.play->header(6).text.crlf(), "First line\r\n\r\n{\\rtf1 third}\r\n");

    // Version 0.5: the description ends at the focus line; the focus text is not kept.
    PlayText q;
    q.sequences.push_back({"Animation= No", {"Pick and roll"}, {"Watch the screen", "Nr_part = 3"}, {}, ""});
    r = read(q.str());
    ASSERT_EQ(r.result.outcome, ReadOutcome::success);
    EXPECT_TRUE(r.play->header(1).no_animation);
    EXPECT_EQ(r.play->header(1).text.crlf(), "Pick and roll\r\n");
}

TEST(ReadItems, FieldsByVersion) {
    const ItemText full{7, "Circle", 10, 20, 30, 40, 1, 2, 3, 0x00FF00, "A|B||C", "Arial"};
    Read r = read(one_sequence("0.2", {full}).str());
    const element* e = &r.play->item(1, 1);
    EXPECT_EQ(e->number, 7);
    EXPECT_EQ(e->kind, "Circle");
    EXPECT_EQ(std::tie(e->x1, e->y1, e->x2, e->y2), std::make_tuple(10, 20, 30, 40));
    EXPECT_EQ(e->colour, 0);
    EXPECT_EQ(e->motion, 3);  // the only sequence: the motion pass ran
    EXPECT_FALSE(e->taken);

    r = read(one_sequence("0.3", {full}).str());
    EXPECT_EQ(r.play->item(1, 1).colour, 0x00FF00);
    EXPECT_EQ(r.play->item(1, 1).extra1, 0);
    EXPECT_TRUE(r.play->item(1, 1).text.empty());

    r = read(one_sequence("0.4", {full}).str());
    e = &r.play->item(1, 1);
    EXPECT_EQ(std::tie(e->extra1, e->extra2, e->extra3, e->colour), std::make_tuple(1, 2, 3, 0x00FF00));
    EXPECT_EQ(e->text.crlf(), "A|B||C") << "0.4 takes the bars as they are";
    EXPECT_EQ(e->text2, "");

    r = read(one_sequence("0.5", {full}).str());
    e = &r.play->item(1, 1);
    EXPECT_EQ(e->text.crlf(), "A\r\nB\r\n\r\nC");
    EXPECT_EQ(e->text2, "Arial");
}

TEST(ReadItems, SpecialKinds) {
    // The ball is written 7 units off before 0.5; only its first point is moved.
    for (const char* v : {"0.2", "0.3", "0.4"}) {
        Read r = read(one_sequence(v, {{1, "Ball", 100, 50, 120, 60}, {2, "Ballf", 0, 0, 0, 0}}).str());
        EXPECT_EQ(std::tie(r.play->item(1, 1).x1, r.play->item(1, 1).y1), std::make_tuple(93, 43)) << v;
        EXPECT_EQ(std::tie(r.play->item(1, 1).x2, r.play->item(1, 1).y2), std::make_tuple(120, 60));
        EXPECT_EQ(r.play->item(1, 2).x1, -7);
    }
    Read r = read(one_sequence("0.5", {{1, "Ball", 100, 50, 0, 0}, {1, "Ball", INT32_MIN, 0, 0, 0}}).str());
    EXPECT_EQ(r.play->item(1, 1).x1, 100);
    r = read(one_sequence("0.4", {{1, "Ball", INT32_MIN, 0, 0, 0}}).str());
    EXPECT_EQ(r.play->item(1, 1).x1, INT32_MIN) << "saturates instead of overflowing";

    // The court item sets the header; in 0.2 an x2 other than 999 marks the sequence still.
    r = read(one_sequence("0.4", {{5, "Court", 0, 0, 999, 0, 11, 22, 33, 44}}).str());
    const court_element& h = r.play->header(1);
    EXPECT_EQ(h.court_kind, 5);
    EXPECT_EQ(std::tie(h.colour1, h.colour2, h.colour3, h.colour4), std::make_tuple(11, 22, 33, 44));
    EXPECT_FALSE(h.no_animation);
    EXPECT_EQ(r.play->item(1, 1).kind, "Court");
    EXPECT_FALSE(read(one_sequence("0.2", {{2, "Court", 0, 0, 999, 0}}).str()).play->header(1).no_animation);
    EXPECT_TRUE(read(one_sequence("0.2", {{2, "Court", 0, 0, 998, 0}}).str()).play->header(1).no_animation);
    EXPECT_FALSE(read(one_sequence("0.3", {{2, "Court", 0, 0, 998, 0}}).str()).play->header(1).no_animation);

    // Lines and texts are never partners; zones mark the play.
    r = read(one_sequence("0.5", {{1, "pass"}, {2, "Text"}, {3, "Circle"}, {4, "Pass"}}).str());
    EXPECT_TRUE(r.play->item(1, 1).taken);
    EXPECT_TRUE(r.play->item(1, 2).taken);
    EXPECT_FALSE(r.play->item(1, 3).taken);
    EXPECT_FALSE(r.play->item(1, 4).taken);
    EXPECT_FALSE(r.play->has_zones);
    EXPECT_TRUE(read(one_sequence("0.5", {{1, "ellipse"}}).str()).play->has_zones);
    EXPECT_TRUE(read(one_sequence("0.5", {{1, "poly"}}).str()).play->has_zones);
    EXPECT_FALSE(read(one_sequence("0.5", {{1, "ppoly"}}).str()).play->has_zones);
}

TEST(ReadItems, KindIsTestedInFullAndStoredCutToEightCharacters) {
    Read r = read(one_sequence("0.5", {{1, "Triangle1"},
                                       {2, "Courtyard", 0, 0, 0, 0, 7},
                                       {3, "ellipses"},
                                       {4, "pdribbel2"},
                                       {5, "Ballfield", 100, 100}})
                      .str());
    EXPECT_EQ(r.play->item(1, 1).kind, "Triangle");
    EXPECT_TRUE(aplayer(r.play->item(1, 1).kind));
    EXPECT_EQ(r.play->item(1, 2).kind, "Courtyar");
    EXPECT_EQ(r.play->header(1).court_kind, 0) << "not a court item";
    EXPECT_FALSE(r.play->has_zones);
    EXPECT_EQ(r.play->item(1, 4).kind, "pdribbel");
    EXPECT_FALSE(r.play->item(1, 4).taken) << "the full kind is no line kind";
    EXPECT_EQ(r.play->item(1, 5).x1, 100);
}

TEST(ReadItems, FortyNineAreStoredAndTheRestStillCount) {
    std::vector<ItemText> items;
    for (int k = 1; k <= 55; ++k) items.push_back({k, "Circle", k, k});
    items[51] = {9, "Court", 0, 0, 0, 0, 1, 2, 3, 4};
    items[53] = {9, "ellipse", 0, 0, 0, 0};
    PlayText p = one_sequence("0.5", items);
    p.sequences.push_back({"", {"next"}, {}, {{1, "Circle", 5, 5}}, ""});
    Read r = read(p.str());
    ASSERT_EQ(r.result.outcome, ReadOutcome::success);
    EXPECT_EQ(r.play->item(1, 49).number, 49);
    EXPECT_TRUE(r.play->item(1, 50).kind.empty());
    EXPECT_EQ(r.play->header(1).court_kind, 9);
    EXPECT_EQ(r.play->header(1).colour4, 4);
    EXPECT_TRUE(r.play->has_zones);
    EXPECT_EQ(r.play->header(2).text.crlf(), "next\r\n") << "the following sequence is read in step";
    EXPECT_EQ(r.play->item(2, 1).x1, 5);
}

TEST(ReadItems, EmptyKindLeavesAFreeSlot) {
    Read r = read(one_sequence("0.3", {{1, "Circle"}, {2, ""}, {3, "Circle", 9, 9}}).str());
    EXPECT_TRUE(r.play->item(1, 2).kind.empty());
    EXPECT_EQ(r.play->item(1, 3).x1, 9) << "stored, though no scan reaches it";
    EXPECT_EQ(r.play->item(1, 3).motion, 0) << "so the motion pass does not see it";
}

TEST(ReadItems, TextsKeepTheFilesBytes) {
    PlayText p = one_sequence("0.5", {{1, "Text", 0, 0, 0, 0, 10, 0, 1, 0, "Caf\xE9", "Arial"}});
    p.category =
        "D\xE9"
        "fense";
    Read r = read(p.str());
    EXPECT_EQ(r.play->item(1, 1).text.crlf(), "Caf\xE9");
    EXPECT_EQ(r.result.category,
              "D\xE9"
              "fense");
}

// Files that end early or announce absurd counts stop promptly, leave the model cleared
// and in bounds, and report the file as corrupt.
TEST(ReadTruncated, EndsInsideASequenceBlockIsCorrupt) {
    PlayText good;
    good.sequences.push_back({"", {"one"}, {"focus"}, {{1, "Circle", 1, 1}, {2, "pass", 1, 1, 9, 9}}, ""});
    good.sequences.push_back({"Animation= No", {"two"}, {}, {{1, "Circle", 5, 5}}, ""});
    const std::string text = good.str();
    ASSERT_EQ(read(text).result.outcome, ReadOutcome::success);
    // Without the last line end the file is still complete.
    ASSERT_EQ(read(text.substr(0, text.size() - 2)).result.outcome, ReadOutcome::success);

    // Any cut before the last line leaves at least one line missing.
    const std::size_t last_line = text.rfind("\r\n", text.size() - 3) + 2;
    for (std::size_t cut = text.find("Sequence"); cut < last_line; cut += 5) {
        auto play = std::make_unique<PlayModel>();
        const ReadResult r = read_play(*play, text.substr(0, cut), "cut.kqz");
        ASSERT_EQ(r.outcome, ReadOutcome::corrupt) << "cut at " << cut;
        EXPECT_EQ(r.message, "Importfile cut.kqz is corrupt");
        EXPECT_EQ(r.category, "Offense");
        EXPECT_FALSE(r.play_loaded);
        EXPECT_EQ(play->seq_count, 0);
        EXPECT_TRUE(play->item(1, 1).kind.empty());
        EXPECT_TRUE(play->header(1).text.empty());
    }
}

TEST(ReadTruncated, AbsurdCountsInShortFilesStopAtOnce) {
    PlayText p = one_sequence("0.2", {{1, "Circle"}});
    p.sequences[0].parts = "2000000000";
    const auto t0 = std::chrono::steady_clock::now();
    Read r = read(p.str());
    EXPECT_EQ(r.result.outcome, ReadOutcome::corrupt);

    p = one_sequence("0.5", {{1, "Circle"}});
    p.count = "75";
    r = read(p.str());
    EXPECT_EQ(r.result.outcome, ReadOutcome::corrupt);
    EXPECT_EQ(r.play->seq_count, 0);

    // Version 0.5 without its focus line reads to the end and stops there.
    std::string no_focus = one_sequence("0.5", {{1, "Circle"}}).str();
    no_focus.replace(no_focus.find("Focus"), 5, "Fokus");
    EXPECT_EQ(read(no_focus).result.outcome, ReadOutcome::corrupt);
    // A guard against a hang, not a speed target: the whole test runs in microseconds.
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(20));
}

TEST(ReadTruncated, MissingReservedLinesOfAnEmptyPlayAreHarmless) {
    // Reading past the end gives empty lines; with no sequence to follow nothing waits.
    Read r = read("Version  = Basketball Drillpad 0.5\r\nCategory = a\r\nPlayname = b\r\nNr_seq   = 0\r\n");
    EXPECT_EQ(r.result.outcome, ReadOutcome::success);
}

TEST(ReadTruncated, BinaryAndHugeLinesAreReadWithoutHarm) {
    std::string binary(70000, '\0');
    for (std::size_t k = 0; k < binary.size(); ++k) binary[k] = static_cast<char>((k * 7919) % 251);
    EXPECT_EQ(read(binary).result.outcome, ReadOutcome::not_supported);

    PlayText p = one_sequence("0.4", {{1, "Text", 0, 0, 0, 0, 0, 0, 0, 0, std::string(3'000'000, 'x')}});
    p.category = std::string(100'000, 'c');
    Read r = read(p.str());
    ASSERT_EQ(r.result.outcome, ReadOutcome::success);
    EXPECT_EQ(r.play->item(1, 1).text.lf().size(), 3'000'000u);

    // Header lines then garbage in place of the sequences.
    r = read("Version  = Basketball Drillpad 0.4\nCategory = a\nPlayname = b\nNr_seq   = 3\n" + binary);
    EXPECT_EQ(r.result.outcome, ReadOutcome::corrupt);
    EXPECT_EQ(r.play->seq_count, 0);
}

// Hands out `bytes` `step` at a time, then `fill` for ever, or fails after `fail_at` bytes.
struct PieceSource : ByteSource {
    PieceSource(std::string b, std::size_t s, char f = 0, bool end = true,
                std::size_t fail = std::string::npos)
        : bytes(std::move(b)), step(s), fill(f), ends(end), fail_at(fail) {}
    std::size_t read(char* buffer, std::size_t size) override {
        std::size_t n = std::min({size, step, fail_at - given, ends ? bytes.size() - given : size});
        for (std::size_t k = 0; k < n; ++k, ++given) buffer[k] = given < bytes.size() ? bytes[given] : fill;
        return n;
    }
    std::string error() const override { return given == fail_at ? "Input/output error" : ""; }
    std::string bytes;
    std::size_t step, given = 0;
    char fill;
    bool ends;
    std::size_t fail_at;
};

TEST(ReadLongLines, MessagesQuoteAThousandCharactersAndTheReadStopsThere) {
    const std::string v(1000, 'v'), ellipsis = "\xE2\x80\xA6";
    EXPECT_EQ(read(v + "\r\r\n").result.message, "Importfile " + v + " is not supported");
    EXPECT_EQ(read(v + "w").result.message, "Importfile " + v + ellipsis + " is not supported");
    std::string accented;  // characters of the file, not bytes of the message
    for (int k = 0; k < 1000; ++k) accented += "\xC3\xA9";
    EXPECT_EQ(read(std::string(5000, '\xE9')).result.message,
              "Importfile " + accented + ellipsis + " is not supported");

    // Endless files: one that cannot be a play, or that goes on after a whole play.
    for (const std::string& start : {std::string(), std::string("Version  = Basketball Drillpad 0.5 "),
                                     one_sequence("0.5", {{1, "Circle", 10, 10}}).str()}) {
        PieceSource endless(start, 1 << 16, 'x', false);
        auto play = std::make_unique<PlayModel>();
        const ReadResult r = read_play(*play, endless, "endless.kqz");
        EXPECT_LE(endless.given, 1u << 17);
        if (start.size() > 100) {
            EXPECT_EQ(r.outcome, ReadOutcome::success);
            continue;
        }
        EXPECT_EQ(r.message, "Importfile " + (start + std::string(1000, 'x')).substr(0, 1000) + ellipsis +
                                 " is not supported");
    }
    // A first line that does not end within the file's first 64 KiB is not a version line,
    // also when what ends it would be CRs, which are dropped.
    const std::string v02 = "Version  = Basketball Drillpad 0.2";
    for (const std::string& start : {std::string(), v02}) {
        PieceSource endless(start, 1 << 16, '\r', false);
        auto play = std::make_unique<PlayModel>();
        EXPECT_EQ(read_play(*play, endless, "crs.kqz").message,
                  "Importfile " + start + ellipsis + " is not supported");
        EXPECT_LE(endless.given, 1u << 16);
    }
    EXPECT_EQ(
        read(v02 + std::string(65'000, '\r') + "\nCategory = a\nPlayname = b\nNr_seq   = 0").result.outcome,
        ReadOutcome::success);
}

// However the file comes in pieces and wherever its lines fall across the reader's 64 KiB
// chunks, the play reads the same; a last line of nothing but CRs is still a line.
TEST(ReadLongLines, PiecesAndChunkEdgesChangeNothing) {
    std::vector<std::string> plays;
    for (const auto& f : std::filesystem::directory_iterator(std::string(HOOPCAST_SOURCE_DIR) + "/samples"))
        plays.push_back(test_plays::slurp(f.path()));
    for (const std::size_t pad : {65'500u, 65'526u, 65'530u, 131'060u}) {
        PlayText p =
            one_sequence("0.5", {{1, "Text", 1, 2, 3, 4, 0, 0, 0, 0, std::string(70'000, 't') + "|x"}});
        p.sequences[0].description = {std::string(pad, 'd'), "sec\rond"};
        p.sequences[0].focus = {std::string(pad, 'f')};
        plays.push_back(p.str());
        const Read r = read(plays.back());
        EXPECT_EQ(r.play->header(1).text.crlf(), std::string(pad, 'd') + "\r\nsecond\r\n");
        EXPECT_EQ(r.play->item(1, 1).text.crlf(), std::string(70'000, 't') + "\r\nx");
    }
    std::string no_y2 = one_sequence("0.2", {{1, "Circle"}}).str();
    no_y2.resize(no_y2.rfind("Y2"));
    EXPECT_EQ(read(no_y2).result.outcome, ReadOutcome::corrupt);
    plays.push_back(no_y2 + "\r\r");
    EXPECT_EQ(read(plays.back()).result.outcome, ReadOutcome::success);

    for (const std::string& bytes : plays) {
        const Read whole = read(bytes);
        for (const std::size_t step : {7u, 4096u}) {
            PieceSource pieces(bytes, step);
            auto play = std::make_unique<PlayModel>();
            ASSERT_EQ(read_play(*play, pieces, "x").outcome, whole.result.outcome) << step;
            test_plays::expect_same_model(*play, *whole.play);
        }
    }
    // A read that fails ends the read with the system's text.
    for (const std::size_t fail_at : {0u, 100u}) {
        PieceSource failing(plays.back(), 4096, 0, true, fail_at);
        auto play = std::make_unique<PlayModel>();
        const ReadResult r = read_play(*play, failing, "plays/box.kqz");
        EXPECT_EQ(r.outcome, ReadOutcome::file_error);
        EXPECT_EQ(r.message, "plays/box.kqz: Input/output error");
    }
}

// Texts past a MiB are given their room by looking ahead in the file to where they end:
// what is read is the same whether the file can be looked ahead in (memory, a file) or not
// (a pipe), with lines that nearly start with the key, a key broken by CRs, lines of more
// CRs than a chunk holds, and a Ctrl-Z inside a text.
TEST(ReadLongTexts, ReadAlikeWhetherTheFileCanBeLookedAheadInOrNot) {
    std::vector<std::string> description(11'000, std::string(100, 'd'));
    for (const char* near : {"Nr_parts", " Nr_parts = 2", "Nr_parts  ", "Focus   =", "Nr_parts\r=x"})
        description.emplace_back(near);
    description.push_back(std::string(140'000, '\r') + "mid");
    description.insert(description.end(), {"", ""});
    std::string lf;
    for (const std::string& line : description) lf += line + "\n";
    lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());

    std::string v04 =
        one_sequence("0.4", {{1, "Text", 0, 0, 0, 0, 0, 0, 0, 0, std::string(1'200'000, 't')}}).str();
    PlayText p = one_sequence("0.4", {{1, "Circle", 10, 10}});
    p.sequences[0].description = description;
    std::string broken_key = p.str();
    broken_key.replace(broken_key.find("\r\nNr_parts ="), 12, "\r\nNr_pa\r\rrts =");
    std::string label;
    for (int k = 0; k < 400'000; ++k) label += "ab|";
    PlayText p05 =
        one_sequence("0.5", {{1, "Text", 0, 0, 0, 0, 0, 0, 0, 0, label, std::string(1'100'000, 'f')}});
    p05.sequences[0].description = description;
    p05.sequences[0].focus = description;
    const std::string v05 = p05.str();
    const std::string cut_short = v05.substr(0, v05.size() / 3) + "\x1A" + v05.substr(v05.size() / 3);

    const Read read_04 = read(broken_key);
    ASSERT_EQ(read_04.result.outcome, ReadOutcome::success);
    EXPECT_TRUE(read_04.play->header(1).text.lf() == lf);
    const Read read_05 = read(v05);
    ASSERT_EQ(read_05.result.outcome, ReadOutcome::success);
    EXPECT_TRUE(read_05.play->header(1).text.lf() == lf);
    EXPECT_EQ(read_05.play->item(1, 1).text.lf().size(), label.size());
    EXPECT_EQ(read_05.play->item(1, 1).text.lf().find('|'), std::string_view::npos);
    EXPECT_EQ(read_05.play->item(1, 1).text2.size(), 1'100'000u);
    EXPECT_EQ(read(cut_short).result.outcome, ReadOutcome::corrupt);

    const auto path = std::filesystem::temp_directory_path() / "hoopcast_long_texts_test.kqz";
    for (const std::string& bytes : {v04, broken_key, v05, cut_short}) {
        const Read whole = read(bytes);
        PieceSource pieces(bytes, 4096);
        auto play = std::make_unique<PlayModel>();
        ASSERT_EQ(read_play(*play, pieces, "x").outcome, whole.result.outcome);
        test_plays::expect_same_model(*play, *whole.play);
        std::ofstream(path, std::ios::binary) << bytes;
        ASSERT_EQ(OpenPlay(*play, path.string()).outcome, whole.result.outcome);
        test_plays::expect_same_model(*play, *whole.play);
    }
    std::filesystem::remove(path);
}

// Memory that runs out is an outcome like the others: an Error box, and nothing of the play.
TEST(ReadOutOfMemory, IsAnOutcomeThatKeepsNothing) {
    struct Exhausted : ByteSource {
        explicit Exhausted(std::string_view b) : bytes(b) {}
        std::size_t read(char* buffer, std::size_t size) override {
            if (given + size > limit) throw std::bad_alloc();
            given += size;
            return bytes.read(buffer, size);
        }
        MemorySource bytes;
        std::size_t given = 0, limit = 0;
    };
    PlayText p = one_sequence("0.3", {{3, "Court", 0, 0, 999}, {1, "Circle", 10, 20}});
    p.sequences.push_back(p.sequences[0]);
    p.sequences[1].description.assign(3000, std::string(100, 'x'));
    const std::string bytes = p.str();
    Exhausted source(bytes);
    source.limit = bytes.size() / 2;
    auto play = std::make_unique<PlayModel>();
    const ReadResult r = read_play(*play, source, "plays/big.kqz");
    EXPECT_EQ(r.outcome, ReadOutcome::out_of_memory);
    EXPECT_EQ(r.box, BoxKind::error);
    EXPECT_EQ(r.message, "Not enough memory to read plays/big.kqz");
    EXPECT_FALSE(r.play_loaded);
    EXPECT_FALSE(r.motion_pass_ran);
    EXPECT_FALSE(r.caption);
    EXPECT_EQ(play->seq_count, 0);
    EXPECT_EQ(play->header(1), court_element{});
    EXPECT_TRUE(play->item(1, 1).kind.empty());
}

TEST(OpenPlayFile, SystemErrorsCarryTheSystemText) {
    auto play = std::make_unique<PlayModel>();
    play->item(1, 1).kind = "Circle";
    ReadResult r = OpenPlay(*play, "/nonexistent/dir/play.kqz");
    EXPECT_EQ(r.outcome, ReadOutcome::file_error);
    EXPECT_EQ(r.box, BoxKind::error);
    EXPECT_EQ(r.message, "/nonexistent/dir/play.kqz: No such file or directory");
    EXPECT_TRUE(play->item(1, 1).kind.empty()) << "the model was cleared before opening";

    r = OpenPlay(*play, HOOPCAST_TEST_DATA);
    EXPECT_EQ(r.outcome, ReadOutcome::file_error);
    EXPECT_EQ(r.message, std::string(HOOPCAST_TEST_DATA) + ": Is a directory");

    const auto path = std::filesystem::temp_directory_path() / "hoopcast_reader_test.kqz";
    {
        std::ofstream out(path, std::ios::binary);
        out << one_sequence("0.3", {{4, "Court"}}).str();
    }
    r = OpenPlay(*play, path.string());
    std::filesystem::remove(path);
    EXPECT_EQ(r.outcome, ReadOutcome::success);
    EXPECT_EQ(play->header(1).court_kind, 4);
}

TEST(SamplePlays, AllReadAndTogetherUseEveryVersionAndCourt) {
    std::set<PlayVersion> versions;
    std::set<int> courts;
    for (const auto& f : std::filesystem::directory_iterator(std::string(HOOPCAST_SOURCE_DIR) + "/samples")) {
        if (f.path().extension() != ".kqz") continue;
        auto play = std::make_unique<PlayModel>();
        const ReadResult r = OpenPlay(*play, f.path().string());
        ASSERT_EQ(r.outcome, ReadOutcome::success) << f.path();
        versions.insert(*r.version);
        EXPECT_TRUE(play->header(1).no_animation) << f.path() << ": the first sequence is still";
        for (int s = 1; s <= play->seq_count; ++s) courts.insert(play->header(s).court_kind);
    }
    EXPECT_EQ(versions.size(), 4u);
    EXPECT_EQ(courts.size(), 14u);
}

}  // namespace
}  // namespace hoopcast
