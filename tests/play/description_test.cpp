#include "play/description.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace hoopcast {
namespace {

TEST(ReplaceText, ReplacesOnlyWhereBackslashOrBlankFollows) {
    EXPECT_EQ(replace_text("ab\\x ab y abc", "ab", "Z"), "Z\\x Z y abc");
    EXPECT_EQ(replace_text("abc", "abc", "Z"), "abc");  // at the very end nothing follows
    EXPECT_EQ(replace_text("", "ab", "Z"), "");
    EXPECT_EQ(replace_text("ab ", "", "Z"), "ab ");
}

TEST(ReplaceText2, ReplacesEveryOccurrence) {
    EXPECT_EQ(replace_text2("xabyabab", "ab", "-"), "x-y--");
    EXPECT_EQ(replace_text2("abc", "", "-"), "abc");
}

TEST(ReplaceText, OccurrenceFormedByAReplacementIsReplacedToo) {
    // Removing the inner "ab" joins "a" and "b" into a new occurrence.
    EXPECT_EQ(replace_text2("aabb", "ab", ""), "");
    EXPECT_EQ(replace_text2("xaaabbby", "ab", ""), "xy");
    EXPECT_EQ(replace_text("abab\\ x", "ab", ""), "\\ x");
}

// The literal reading: find the first occurrence from the start, replace, start again.
std::string search_from_start(std::string text, const std::string& key, std::size_t cut,
                              const std::string& by) {
    for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key))
        text.replace(at, cut, by);
    return text;
}

TEST(ReplaceText, AgreesWithSearchingFromTheStartEveryTime) {
    std::mt19937 random(7);
    const auto word = [&random](std::size_t max) {
        static const char alphabet[] = {'a', 'b', '\\', ' '};
        std::string w(random() % (max + 1), 'a');
        for (char& c : w) c = alphabet[random() % 4];
        return w;
    };
    for (int i = 0; i < 20000; ++i) {
        const std::string text = word(24);
        std::string pattern = word(4);
        if (pattern.empty()) pattern = "a";
        const std::string by = word(pattern.size() - 1);
        EXPECT_EQ(replace_text2(text, pattern, by), search_from_start(text, pattern, pattern.size(), by))
            << text << " / " << pattern << " / " << by;
        const std::string once = search_from_start(text, pattern + "\\", pattern.size(), by);
        EXPECT_EQ(replace_text(text, pattern, by), search_from_start(once, pattern + " ", pattern.size(), by))
            << text << " / " << pattern << " / " << by;
    }
}

TEST(ReplaceText, ReplacementContainingItsPatternEnds) {
    EXPECT_EQ(replace_text2("a-a", "a", "aa"), "aa-aa");
    EXPECT_EQ(replace_text("a a\\", "a", "ba"), "ba ba\\");
    EXPECT_EQ(replace_text2("abab", "ab", "ab"), "abab");
}

TEST(CleanDescription, PatternsAsTheEditorLeavesThem) {
    EXPECT_EQ(clean_description("{\\pntext\\f3\\'B7\\tab}\\pard\\'b7\\tab word"), "\\pard word");
    EXPECT_EQ(clean_description("x{\\pntext\\f2\\'B7\\tab}\\pard\\plain text"), "x\\pard\\plain text");
    EXPECT_EQ(clean_description("{\\pntext\\f2\\'B7\\tab}\\pardtext"), "\\pardtext");
    EXPECT_EQ(clean_description("{\\b x{\\pntext\\f0\\'B7\\tab}}y"), "{\\b x}y");
    EXPECT_EQ(clean_description("{{\\pntext\\f20\\'B7\\tab}}"), "{}");
}

TEST(CleanDescription, LeavesOtherTextAlone) {
    const std::string f21 = "{\\pntext\\f21\\'B7\\tab}}{\\pntext\\f21\\'B7\\tab}\\pard x";
    EXPECT_EQ(clean_description(f21), f21);
    const std::string lower = "{\\pntext\\f2\\'b7\\tab}}";  // small b: not the editor's group
    EXPECT_EQ(clean_description(lower), lower);
    const std::string plain = "Pass to 3, then cut.\r\nScreen for 5 {not rtf}\r\n";
    EXPECT_EQ(clean_description(plain), plain);
    EXPECT_EQ(clean_description(""), "");
    // A bullet group followed by text of its own paragraph stays.
    const std::string kept = "{\\pntext\\f1\\'B7\\tab}Two\\par";
    EXPECT_EQ(clean_description(kept), kept);
}

TEST(CleanDescription, WholeWordPadDocument) {
    const std::string in =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}\r\n"
        "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'B7}}\\fi-360\\li360 "
        "one\\par\r\n{\\pntext\\f1\\'B7\\tab}\\pard two\\par\r\n{\\pntext\\f1\\'B7\\tab}}";
    const std::string out =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}\r\n"
        "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'B7}}\\fi-360\\li360 "
        "one\\par\r\n\\pard two\\par\r\n}";
    EXPECT_EQ(clean_description(in), out);
}

TEST(CleanDescription, ManyNestedGroupsFinishQuickly) {
    // Each removal joins the group before it and the brace after it into a new occurrence.
    std::string in;
    const std::string open = "{\\pntext\\f0\\'B7\\tab}";
    for (int i = 0; i < 2000; ++i) in += open;
    in += "}}";
    EXPECT_EQ(clean_description(in), "}}");
    // A long description full of groups is cleaned in one pass, not one pass per group.
    std::string many;
    for (int i = 0; i < 200000; ++i) many += "{\\pntext\\f7\\'B7\\tab}\\pard x";
    std::string cleaned;
    for (int i = 0; i < 200000; ++i) cleaned += "\\pard x";
    EXPECT_EQ(clean_description(many), cleaned);
}

}  // namespace
}  // namespace hoopcast
