#include "richtext/writers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "richtext/reader.h"

namespace hoopcast::richtext {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

TEST(Html, SpansCarryTheRunFormat) {
    const Document d = read_rtf(
        R"rtf({\rtf1{\fonttbl{\f0 Arial;}{\f1 O'Brien "Sans";}}{\colortbl;\red255\green0\blue0;\red0\green128\blue255;})rtf"
        R"rtf(\f0\fs21\b\i\ul\strike\cf1\highlight2 all\plain\f1\sub low\nosupersub <&>\par})rtf");
    const std::string html = to_html(d);
    EXPECT_THAT(html, HasSubstr("<span style=\"font-family:'Arial'; font-size:10.5pt; font-weight:700; "
                                "font-style:italic; text-decoration: underline line-through; color:#ff0000; "
                                "background-color:#0080ff;\">all</span>"));
    // Quotes in a font name could end the attribute; they are left out.
    EXPECT_THAT(html,
                HasSubstr("font-family:'OBrien Sans'; font-size:12pt; vertical-align:sub;\">low</span>"));
    EXPECT_THAT(html, HasSubstr(">&lt;&amp;&gt;</span>"));
}

TEST(Html, ParagraphsMarkersLinksAndBreaks) {
    const Document d = read_rtf(
        R"rtf({\rtf1\pard\qc\li1440\fi-720\sb300 {\pntext 1.\tab}first\line second\par\pard\qr r\par\qj j\par\pard\par)rtf"
        R"rtf({\field{\*\fldinst HYPERLINK "http://a.test/?x=1&y=\\"2\\""}{\fldrslt go}}\par})rtf");
    const std::string html = to_html(d);
    EXPECT_THAT(html,
                HasSubstr("<p align=\"center\" style=\"margin-top:20px; margin-bottom:0px; margin-left:96px; "
                          "margin-right:0px; text-indent:-48px; white-space:pre-wrap;\">"));
    EXPECT_THAT(html, HasSubstr(">1.</span>&#160;&#160;<span"));
    EXPECT_THAT(html, HasSubstr("first<br />second"));
    EXPECT_THAT(html, HasSubstr("<p align=\"right\""));
    EXPECT_THAT(html, HasSubstr("<p align=\"justify\""));
    EXPECT_THAT(html, HasSubstr("white-space:pre-wrap;\"><br /></p>"));  // an empty paragraph keeps its line
    EXPECT_THAT(html, HasSubstr("<a href=\"http://a.test/?x=1&amp;y=&quot;2&quot;\"><span"));
}

TEST(Html, PlainTextUsesTheBoxFont) {
    const std::string html = to_html(describe("a <b>\r\nb"));
    EXPECT_THAT(html, HasSubstr("pre-wrap;\">a &lt;b&gt;</p>"));
    EXPECT_THAT(html, Not(HasSubstr("<span")));
    EXPECT_EQ(to_html(describe("")), "<html><head><meta charset=\"utf-8\" /></head><body>\n</body></html>\n");
}

TEST(Html, NestedTables) {
    const Document d = read_rtf(
        R"rtf({\rtf1\trowd\cellx3000\cellx4000\pard\intbl A\par\pard\intbl\itap2 i\nestcell{\*\nesttableprops\trowd\cellx1\nestrow})rtf"
        R"rtf(\pard\intbl\cell B\cell\row})rtf");
    const std::string html = to_html(d);
    const auto first = html.find("<table");
    const auto second = html.find("<table", first + 1);
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(html.find(">A</span>"), second);
    EXPECT_LT(second, html.find(">i</span>"));
    EXPECT_LT(html.find(">i</span>"), html.find("</table>"));
    EXPECT_LT(html.find("</table>"), html.find(">B</span>"));
    EXPECT_THAT(html, HasSubstr("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\""));
    EXPECT_THAT(html, HasSubstr("<td valign=\"top\" width=\"75%\">\n<p"));
    EXPECT_THAT(html, HasSubstr("<td valign=\"top\" width=\"100%\">\n<p"));  // the nested row's only cell
    EXPECT_THAT(html, HasSubstr("<td valign=\"top\" width=\"25%\">\n<p"));
}

TEST(PlainText, ParagraphsMarkersAndTables) {
    const Document d = read_rtf(
        R"rtf({\rtf1 Title\par{\pntext\'95\tab}item\par\trowd\cellx1\cellx2\pard\intbl a\par a2\cell b\cell\row)rtf"
        R"rtf(\trowd\cellx1\cellx2\pard\intbl c\cell\pard\intbl\itap2 n1\nestcell n2\nestcell{\*\nesttableprops\nestrow})rtf"
        R"rtf(\pard\intbl\cell\row\pard end\line next\par})rtf");
    EXPECT_EQ(to_plain_text(d), "Title\n\u2022 item\na a2\tb\nc\t\nn1\tn2\nend\nnext");
}

}  // namespace
}  // namespace hoopcast::richtext
