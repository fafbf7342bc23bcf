#include "richtext/reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_helpers.h"

namespace hoopcast::richtext {
namespace {

using testing::cell_text;
using ::testing::ElementsAre;
using testing::paragraph_with;
using testing::paragraphs;
using testing::run_with;
using testing::tables;
using testing::text_of;
using testing::texts;

Document rtf(const std::string& body) {
    return read_rtf(
        R"rtf({\rtf1\ansi\deff0{\fonttbl{\f0\fswiss Arial;}{\f1\froman Times New Roman;}{\f2\fcharset2 Symbol;}})rtf"
        R"rtf({\colortbl;\red255\green0\blue0;\red0\green0\blue255;})rtf" +
        body + "}");
}

TEST(RtfCharacters, FormattingWordsAndGroups) {
    const Document d =
        rtf(R"rtf(\pard plain {\b bold {\i both}} \ul under\ulnone  \strike gone\strike0  )rtf"
            R"rtf(\f1\fs32\cf1 big red\plain  again \uldb double\ul0  \super up\nosupersub\par)rtf");
    EXPECT_FALSE(run_with(d, "plain").format.bold);
    EXPECT_EQ(run_with(d, "plain").format.font_family, "Arial");
    EXPECT_EQ(run_with(d, "plain").format.size_half_points, 24);
    EXPECT_TRUE(run_with(d, "bold").format.bold);
    EXPECT_FALSE(run_with(d, "bold").format.italic);
    EXPECT_TRUE(run_with(d, "both").format.bold && run_with(d, "both").format.italic);
    EXPECT_EQ(run_with(d, "under").format.underline, Underline::single);
    EXPECT_TRUE(run_with(d, "gone").format.strike);
    const Format& big = run_with(d, "big red").format;
    EXPECT_EQ(big.font_family, "Times New Roman");
    EXPECT_EQ(big.size_half_points, 32);
    EXPECT_EQ(big.colour, (Rgb{255, 0, 0}));
    const Format& again = run_with(d, "again").format;
    EXPECT_EQ(again.font_family, "Arial");
    EXPECT_FALSE(again.colour.has_value());
    EXPECT_EQ(run_with(d, "double").format.underline, Underline::double_line);
    EXPECT_EQ(run_with(d, "up").format.vertical, VerticalAlign::superscript);
}

TEST(RtfCharacters, SpecialCharactersAndBreaks) {
    const Document d = rtf(R"rtf(a\tab b\line c\emdash\endash\lquote\rquote\ldblquote\rdblquote\bullet )rtf"
                           R"rtf(\~x\-y\_z\{\}\\ \emspace\enspace\par)rtf");
    EXPECT_THAT(
        texts(d),
        ElementsAre("a\tb\nc\u2014\u2013\u2018\u2019\u201C\u201D\u2022\u00A0xy\u2011z{}\\ \u2003\u2002"));
}

TEST(RtfCharacters, UnicodeWithFallbackSkipping) {
    const Document d = rtf(R"rtf(\uc1 a\u8364?b \u8364\'80c {\uc2 \u26085\'93\'fa}d {\uc0\u8217 e} )rtf"
                           R"rtf(\u-10180\'3f\u-8256\'3f f{\u8364}g\u8364 {x}\par)rtf");
    // The fallback after \u is skipped (one \'hh or character per \uc), never across a brace.
    EXPECT_THAT(texts(d), ElementsAre("a\u20ACb \u20ACc \u65E5d \u2019e \U0001F3C0 f\u20ACg\u20ACx"));
}

TEST(RtfCharacters, DocumentAndFontCodePages) {
    // cp1251 document; a cp1250 font (\fcharset238); a font with its own \cpg.
    const Document d = read_rtf(
        R"rtf({\rtf1\ansi\ansicpg1251\deff0{\fonttbl{\f0 Arial;}{\f1\fcharset238 Arial;}{\f2\cpg1253 Arial;}{\f3\fcharset1 Arial;}})rtf"
        R"rtf(\'cf\'f0\'e8 \f1\'b3\'f3\'bf \f2\'e1\'e5 \f3\'e4\par})rtf");
    EXPECT_THAT(texts(d), ElementsAre("При łóż αε д"));
}

TEST(RtfCharacters, DoubleByteCodePages) {
    // Shift-JIS with trail bytes written as \'hh, as plain characters and as an escaped brace.
    const Document ja = read_rtf(
        R"rtf({\rtf1\ansi\ansicpg932{\fonttbl{\f0\fcharset128 MS Mincho;}}\f0 \'93\'fa\'96\'7b\'83e\'83X\'83g\par})rtf");
    EXPECT_THAT(texts(ja), ElementsAre("日本テスト"));
    const Document zh = read_rtf(R"rtf({\rtf1\ansi\ansicpg936 \'d6\'d0\'ce\'c4\par})rtf");
    EXPECT_THAT(texts(zh), ElementsAre("中文"));
    // A lead byte with no trail byte, and a byte cp1253 leaves undefined, are marked.
    const Document bad = read_rtf(R"rtf({\rtf1\ansi\ansicpg932 a\'82\par\ansicpg1253 \'aa b\par})rtf");
    EXPECT_THAT(texts(bad), ElementsAre("a\uFFFD", "\uFFFD b"));
}

TEST(RtfCharacters, SymbolFontsAndUnknownPagesFallBack) {
    const Document d = read_rtf(
        R"rtf({\rtf1\ansi\ansicpg99999{\fonttbl{\f0 Arial;}{\f1\fcharset2 Symbol;}{\f2\fcharset2 Wingdings;}{\f3\fcharset2 Marlett;}})rtf"
        R"rtf(\f1 \'b7 abp\u-3913?\f2 \'a7\'d8\f3 \'e9\f0 \'e9\u-3913?\par})rtf");
    EXPECT_THAT(texts(d), ElementsAre("\u2022 αβπ\u2022\u25AA\u27A2éé\uF0B7"));
    // The symbol font is shown through the characters, not through its own face.
    EXPECT_EQ(run_with(d, "αβπ").format.font_family, "");
}

TEST(RtfParagraphs, PropertiesAndPardReset) {
    const Document d =
        rtf(R"rtf(\pard\qc\li720\ri360\fi-360\sb120\sa240 one\par two\par\pard\qr three\par)rtf"
            R"rtf(\qj four\par{\pard\qc five\par}six\par)rtf");
    const auto ps = paragraphs(d);
    ASSERT_EQ(ps.size(), 6u);
    EXPECT_EQ(ps[0]->alignment, Alignment::centre);
    EXPECT_EQ(ps[0]->left_indent, 720);
    EXPECT_EQ(ps[0]->right_indent, 360);
    EXPECT_EQ(ps[0]->first_line_indent, -360);
    EXPECT_EQ(ps[0]->space_before, 120);
    EXPECT_EQ(ps[0]->space_after, 240);
    EXPECT_EQ(ps[1]->alignment, Alignment::centre);  // kept until \pard
    EXPECT_EQ(ps[2]->alignment, Alignment::right);
    EXPECT_EQ(ps[2]->left_indent, 0);
    EXPECT_EQ(ps[3]->alignment, Alignment::justify);
    EXPECT_EQ(ps[4]->alignment, Alignment::centre);
    EXPECT_EQ(ps[5]->alignment, Alignment::justify);  // the group's \pard ended with it
}

TEST(RtfParagraphs, LastParagraphWithoutParAndEmptyOnes) {
    EXPECT_THAT(texts(rtf(R"rtf(\qc one\par\par last)rtf")), ElementsAre("one", "", "last"));
    EXPECT_THAT(texts(rtf(R"rtf(one\par\sect\sectd two\sect three)rtf")), ElementsAre("one", "two", "three"));
    EXPECT_EQ(paragraph_with(rtf(R"rtf(\qc last)rtf"), "last").alignment, Alignment::centre);
    EXPECT_TRUE(read_rtf(R"rtf({\rtf1})rtf").blocks.empty());
}

TEST(RtfDestinations, SkippedPartsAreNotShown) {
    const Document d = rtf(
        R"rtf({\info{\title T}{\author A}}{\stylesheet{\s1 Heading;}}{\header head\par}{\footer foot\par})rtf"
        R"rtf({\*\generator gen;}{\*\unknowndest hidden {\b more}}{\*\bkmkstart m}a{\pict\pngblip 89504e47}b)rtf"
        R"rtf({\pict\bin6 {}{}\}}c d{\object{\*\objdata 0102}{\result r}}e{\*\shppict{\pict 00}}{\nonshppict{\pict 00}})rtf"
        R"rtf(f{\v hidden}g{\footnote note}\unknownword123 h\par)rtf");
    EXPECT_THAT(texts(d), ElementsAre("abc defgh"));
}

TEST(RtfDestinations, FieldsShowTheirResultAndKeepLinks) {
    const Document d = rtf(
        R"rtf(See {\field{\*\fldinst{HYPERLINK "https://example.org/a?b=1"}}{\fldrslt{\ul\cf2 the play}}} and )rtf"
        R"rtf({\field{\*\fldinst PAGE \\* MERGEFORMAT}{\fldrslt 3}} and {\field{\*\fldinst HYPERLINK \\l "mark"}{\fldrslt here}})rtf"
        R"rtf( {\field{\*\fldinst{ HYPERLINK \\o "tip" "http://x.test/" }}{\fldrslt x}}.\par)rtf");
    EXPECT_THAT(texts(d), ElementsAre("See the play and 3 and here x."));
    EXPECT_EQ(run_with(d, "the play").link, "https://example.org/a?b=1");
    EXPECT_EQ(run_with(d, "the play").format.underline, Underline::single);
    EXPECT_EQ(run_with(d, "3").link, "");
    EXPECT_EQ(run_with(d, "here").link, "");
    EXPECT_EQ(paragraphs(d).at(0)->runs.back().text, ".");
    EXPECT_EQ(paragraphs(d).at(0)->runs.back().link, "");
    EXPECT_EQ(run_with(d, "x").link, "http://x.test/");
}

TEST(RtfLists, OldStyleNumberingAndMarkerGroups) {
    const Document d = rtf(
        R"rtf(\pard{\pntext\f2\'B7\tab}{\*\pn\pnlvlblt\pnf2\pnindent0{\pntxtb\'B7}}\fi-360\li720 one\par)rtf"
        R"rtf( two\par)rtf"  // the numbering properties last until \pard, also without \pntext
        R"rtf(\pard{\*\pn\pnlvlbody\pnstart4\pnlcrm{\pntxtb (}{\pntxta )}}a\par b\par)rtf"
        R"rtf(\pard{\*\pn\pnlvlbody\pnucltr{\pntxta .}}c\par d\par)rtf"
        R"rtf(\pard{\*\pn\pnlvlcont}cont\par)rtf"
        R"rtf(\pard{\listtext\pard\plain\f1 7)\tab}seven\par{\pntext 9.\tab}nine\par\pard plain\par)rtf");
    std::vector<std::string> markers;
    for (const Paragraph* p : paragraphs(d)) markers.push_back(p->marker);
    EXPECT_THAT(markers, ElementsAre("\u2022", "\u2022", "(iv)", "(v)", "A.", "B.", "", "7)", "9.", ""));
    EXPECT_THAT(texts(d), ElementsAre("one", "two", "a", "b", "c", "d", "cont", "seven", "nine", "plain"));
    EXPECT_EQ(paragraph_with(d, "one").left_indent, 720);
    EXPECT_EQ(paragraph_with(d, "one").first_line_indent, -360);
    // Letters repeat after z; roman numbers past 3999, and numbers below 1, are decimal.
    const Document numbers = rtf(R"rtf(\pard{\*\pn\pnlvlbody\pnstart27\pnlcltr}a\par)rtf"
                                 R"rtf(\pard{\*\pn\pnlvlbody\pnstart3999\pnucrm}b\par c\par)rtf"
                                 R"rtf(\pard{\*\pn\pnlvlbody\pnstart0\pnlcrm}d\par)rtf");
    markers.clear();
    for (const Paragraph* p : paragraphs(numbers)) markers.push_back(p->marker);
    EXPECT_THAT(markers, ElementsAre("aa", "MMMCMXCIX", "4000", "0"));
}

// A list table as Word writes it: a Symbol bullet in the private range with its font named
// after the level text, levels that keep counting or show their parents in decimal, and an
// override that starts the list anew where it is first used.
TEST(RtfLists, ListTableLevelsAndOverrides) {
    const Document d = rtf(
        R"rtf({\*\listtable{\list\listtemplateid5)rtf"
        R"rtf({\listlevel\levelnfc23{\leveltext\leveltemplateid1\'01\u-3913 ?;}{\levelnumbers;}\f2\fi-360\li720})rtf"
        R"rtf({\listlevel\levelnfc2\levelnorestart{\leveltext\'02\'01.;}{\levelnumbers\'01;}\fi-360\li1440})rtf"
        R"rtf({\listlevel\levelnfc22\levellegal{\leveltext\'04\'01.\'02;}{\levelnumbers\'01\'03;}}\listid7})rtf"
        R"rtf({\list{\listlevel\levelnfc3\levelstartat2{\leveltext\'03(\'00);}}\listid8}})rtf"
        R"rtf({\*\listoverridetable{\listoverride\listid7\listoverridecount0\ls1})rtf"
        R"rtf({\listoverride\listid7\listoverridecount1{\lfolevel\listoverridestartat\levelstartat5}\ls2})rtf"
        R"rtf({\listoverride\listid8\listoverridecount0\ls3}})rtf"
        R"rtf(\pard\ls1 a\par\pard\ls1\ilvl1 b\par\pard\ls1\ilvl2 c\par\pard\ls1\ilvl2 d\par)rtf"
        R"rtf(\pard\ls1 e\par\pard\ls1\ilvl1 f\par\pard\ls2 g\par\pard\ls3 h\par\pard\ls3\li100 i\par)rtf"
        R"rtf(\pard\ls9 unknown\par})rtf");
    std::vector<std::string> markers;
    for (const Paragraph* p : paragraphs(d)) markers.push_back(p->marker);
    EXPECT_THAT(markers,
                ElementsAre("\u2022", "i.", "i.01", "i.02", "\u2022", "ii.", "\u2022", "(B)", "(C)", ""));
    EXPECT_EQ(paragraph_with(d, "b").left_indent, 1440);  // the level's indents
    EXPECT_EQ(paragraph_with(d, "b").first_line_indent, -360);
    EXPECT_EQ(paragraph_with(d, "i").left_indent, 100);  // the paragraph's own
}

TEST(RtfParagraphs, TabStopsLineSpacingAndShading) {
    const Document d = rtf(
        R"rtf(\pard\tqr\tlhyph\tx3000\tb500\tldot\tx200\sl240\slmult1 tabs\par)rtf"
        R"rtf(\pard\brdrb\brdrdb\brdrw10\brdrcf2\chbrdr\brdrdot\cfpat1\shading5000\sl-300 shaded\par)rtf"
        R"rtf(\trowd\clcfpat1\clcbpat2\clshdng2500\clbrdrl\brdrdot\cellx1000\trbrdrt\brdrs\clshdng10000\cellx2000)rtf"
        R"rtf(\pard\intbl x\cell y\cell\row})rtf");
    // In order of position; a bar tab is no stop, and single spacing is no spacing of its own.
    EXPECT_THAT(paragraph_with(d, "tabs").tabs,
                ElementsAre(TabStop{200, TabKind::left, TabLeader::dots},
                            TabStop{3000, TabKind::right, TabLeader::hyphens}));
    EXPECT_EQ(paragraph_with(d, "tabs").line_spacing, 0);
    const Paragraph& shaded = paragraph_with(d, "shaded");
    EXPECT_EQ(shaded.line_spacing, -300);
    EXPECT_EQ(shaded.borders.bottom, (Border{BorderStyle::double_line, 10, Rgb{0, 0, 255}}));
    EXPECT_EQ(shaded.background, (Rgb{255, 127, 127}));  // half red over white
    const Row& row = tables(d.blocks).at(0)->rows.at(0);
    EXPECT_EQ(row.cells.at(0).background, (Rgb{63, 0, 191}));  // a quarter red over blue
    EXPECT_EQ(row.cells.at(0).borders.left.style, BorderStyle::dotted);
    EXPECT_TRUE(row.cells.at(0).has_borders);
    EXPECT_EQ(row.cells.at(1).background, (Rgb{0, 0, 0}));  // all of the automatic black
    EXPECT_FALSE(row.cells.at(1).has_borders);
}

TEST(RtfPictures, FormatsSizesAndBoundedData) {
    const auto pictures = [](const Document& d) {
        std::vector<Picture> out;
        for (const Paragraph* p : paragraphs(d)) {
            for (const richtext::Run& r : p->runs) {
                if (r.picture) out.push_back(*r.picture);
            }
        }
        return out;
    };
    const Document d = rtf(
        R"rtf(a{\pict{\*\picprop{\sp{\sn x}{\sv 1}}}{\*\blipuid 0123}\pngblip\picw2\pich1 89 50 4e)rtf"
        "\r\n"
        R"rtf(47}b{\pict\jpegblip\picwgoal300\pichgoal150\picscalex50\bin2 )rtf"
        "\xff\xd8}"
        R"rtf({\pict\wmetafile8\picw2540\pich1270 0100abcd}{\pict\emfblip\picwgoal1440\pichgoal720 0100}c\par)rtf"
        R"rtf({\v{\pict\pngblip 89}})rtf");
    const std::vector<Picture> found = pictures(d);
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0].data, "\x89PNG");
    EXPECT_EQ(found[0].width, 30);  // pixels at 96 per inch
    EXPECT_EQ(found[1].format, PictureFormat::jpeg);
    EXPECT_EQ(found[1].data, "\xff\xd8");
    EXPECT_EQ(found[1].width, 150);
    EXPECT_EQ(found[1].height, 150);
    EXPECT_EQ(found[2].format, PictureFormat::metafile);
    EXPECT_TRUE(found[2].data.empty());  // metafiles are measured, not kept
    EXPECT_EQ(found[2].width, 1440);     // hundredths of a millimetre
    EXPECT_EQ(found[2].height, 720);
    EXPECT_EQ(found[3].width, 1440);
    EXPECT_THAT(texts(d), ElementsAre("abc"));
    // A picture beyond the bound keeps its place and size, but not its bytes.
    std::string huge = R"rtf({\rtf1{\pict\pngblip\picwgoal20\pichgoal20 )rtf";
    huge.append(33u << 20, 'a');
    huge += "}}";
    const std::vector<Picture> dropped = pictures(read_rtf(huge));
    ASSERT_EQ(dropped.size(), 1u);
    EXPECT_TRUE(dropped[0].data.empty());
    EXPECT_EQ(dropped[0].width, 20);
}

TEST(RtfTables, RowsCellsAndTextAround) {
    const Document d = rtf(R"rtf(before\par\trowd\cellx1000\cellx2000\pard\intbl a\cell b\par b2\cell\row)rtf"
                           R"rtf(\trowd\cellx1000\cellx2000\pard\intbl c\cell\cell\row\pard after\par)rtf");
    ASSERT_EQ(d.blocks.size(), 3u);
    EXPECT_EQ(text_of(std::get<Paragraph>(d.blocks[0].content)), "before");
    const Table& t = std::get<Table>(d.blocks[1].content);
    ASSERT_EQ(t.rows.size(), 2u);
    ASSERT_EQ(t.rows[0].cells.size(), 2u);
    EXPECT_EQ(cell_text(t.rows[0].cells[0]), "a");
    EXPECT_EQ(cell_text(t.rows[0].cells[1]), "b|b2");
    EXPECT_EQ(t.rows[0].cells[0].width, 1000);
    EXPECT_EQ(t.rows[0].cells[1].width, 1000);
    ASSERT_EQ(t.rows[1].cells.size(), 2u);
    EXPECT_EQ(cell_text(t.rows[1].cells[1]), "");
    EXPECT_EQ(text_of(std::get<Paragraph>(d.blocks[2].content)), "after");
}

TEST(RtfTables, NestedTables) {
    const Document d = rtf(
        R"rtf(\trowd\cellx3000\cellx6000\pard\intbl outer\par)rtf"
        R"rtf(\pard\intbl\itap2 in1\nestcell in2\nestcell{\*\nesttableprops\trowd\cellx1000\cellx2000\nestrow}{\nonesttables\par})rtf"
        R"rtf(\pard\intbl\itap2 in3\nestcell in4\nestcell{\*\nesttableprops\trowd\cellx1000\cellx2000\nestrow}{\nonesttables\par})rtf"
        R"rtf(\pard\intbl\itap1 tail\cell right\cell\row\pard after\par)rtf");
    ASSERT_EQ(d.blocks.size(), 2u);
    const Table& outer = std::get<Table>(d.blocks[0].content);
    ASSERT_EQ(outer.rows.size(), 1u);
    ASSERT_EQ(outer.rows[0].cells.size(), 2u);
    const Cell& first = outer.rows[0].cells[0];
    ASSERT_EQ(first.blocks.size(), 3u);
    EXPECT_EQ(text_of(std::get<Paragraph>(first.blocks[0].content)), "outer");
    const Table& inner = std::get<Table>(first.blocks[1].content);
    ASSERT_EQ(inner.rows.size(), 2u);
    EXPECT_EQ(cell_text(inner.rows[0].cells[0]), "in1");
    EXPECT_EQ(cell_text(inner.rows[1].cells[1]), "in4");
    EXPECT_EQ(text_of(std::get<Paragraph>(first.blocks[2].content)), "tail");
    EXPECT_EQ(cell_text(outer.rows[0].cells[1]), "right");
}

TEST(RtfRobustness, TruncatedDocumentsKeepWhatWasRead) {
    const std::string doc =
        R"rtf({\rtf1\ansi{\fonttbl{\f0 Arial;}}\pard{\pntext\'B7\tab}{\*\pn\pnlvlblt{\pntxtb\'B7}}one\par)rtf"
        R"rtf(\trowd\cellx100\pard\intbl c\u8364\'80\cell\row{\field{\*\fldinst HYPERLINK "u"}{\fldrslt link}}\par})rtf";
    for (std::size_t n = 0; n <= doc.size(); ++n) {
        const Document d = read_rtf(doc.substr(0, n));
        if (n > doc.find("one") + 3) {
            ASSERT_FALSE(paragraphs(d).empty()) << n;
            EXPECT_EQ(text_of(*paragraphs(d).front()), "one") << n;
        }
    }
    EXPECT_THAT(texts(read_rtf(R"rtf({\rtf1 {\b bold)rtf")), ElementsAre("bold"));
    EXPECT_THAT(texts(read_rtf(R"rtf({\rtf1 a\'4)rtf")), ElementsAre("a"));
    EXPECT_THAT(texts(read_rtf(R"rtf({\rtf1 \u8364\'4x\'zy\par})rtf")), ElementsAre("\u20ACxzy"));
    EXPECT_THAT(texts(read_rtf(R"rtf({\rtf1 a\)rtf")), ElementsAre("a"));
}

TEST(RtfRobustness, HostileNumbersAndNesting) {
    // Deep nesting: the groups beyond the depth bound are skipped whole.
    std::string deep = "{\\rtf1 a";
    deep += std::string(100000, '{') + "x" + std::string(100000, '}') + "b\\par}";
    EXPECT_THAT(texts(read_rtf(deep)), ElementsAre("ab"));
    // Numbers far out of range are clamped; \bin never reads past the end.
    const Document d = read_rtf(
        R"rtf({\rtf1{\fonttbl{\f99999999999 X;}}\fs999999999999 \f-5{\uc2147483647\u99999999 skipped}\cf77777 \li-99999999999 a\par)rtf"
        R"rtf(\itap1000000\intbl b\cell\row\bin999999999999)rtf");
    ASSERT_FALSE(d.blocks.empty());
    EXPECT_EQ(paragraphs(d).at(0)->left_indent, -31680);
    // Stray closing braces and text after the document's end are ignored.
    EXPECT_THAT(texts(read_rtf("}}{\\rtf1 a\\par}b\\par")), ElementsAre("a"));
}

TEST(Describe, RichTextOrElsePlainText) {
    EXPECT_TRUE(is_rtf("{\\rtf1 x}"));
    EXPECT_TRUE(is_rtf("\r\n {\\rtf"));
    EXPECT_FALSE(is_rtf("{\\rt"));
    EXPECT_FALSE(is_rtf("x{\\rtf1}"));
    EXPECT_THAT(texts(describe("{\\rtf1\\b Bold\\par}")), ElementsAre("Bold"));
    // Plain text: Windows-1252, one paragraph per line, braces and backslashes as they are.
    const Document plain = describe("Caf\xE9 {\\b x}\r\n\r\n\tTab \x80\x81\nlast\rend\r\n");
    EXPECT_THAT(texts(plain), ElementsAre("Café {\\b x}", "", "\tTab €\u0081", "last", "end"));
    EXPECT_EQ(paragraphs(plain).at(0)->runs.at(0).format, Format{});
    EXPECT_TRUE(describe("").blocks.empty());
}

// A description is shown up to its first 128 KiB of text or its first 4,096 paragraphs, then
// "…"; one that just fits is shown whole. What follows the cut is not read.
TEST(Describe, CutWhereThePaneStops) {
    const std::string ellipsis = "\u2026";
    const std::string full(kMaxShownTextBytes, 'a');
    EXPECT_THAT(texts(describe(full + "\r\n")), ElementsAre(full));
    // A line after the last byte that fits is left out whole, not shown as an empty line.
    EXPECT_THAT(texts(describe(full + "\r\nnext\r\n")), ElementsAre(full, ellipsis));
    EXPECT_THAT(texts(describe(full + "\r\n\r\nnext\r\n")), ElementsAre(full, "", ellipsis));
    EXPECT_THAT(texts(read_rtf("{\\rtf1 " + full + "\\par next}")), ElementsAre(full, ellipsis));
    // "é" takes two bytes of UTF-8: it does not fit in the last one, and is left out whole.
    const std::string almost(kMaxShownTextBytes - 1, 'a');
    EXPECT_THAT(texts(describe(almost + "\xE9z\r\nnext\r\n")), ElementsAre(almost, ellipsis));
    EXPECT_THAT(texts(read_rtf("{\\rtf1 " + almost + "\\'e9z\\par next}")), ElementsAre(almost, ellipsis));

    std::string lines, pars = "{\\rtf1 ";
    for (std::size_t k = 0; k < kMaxShownParagraphs; ++k) {
        lines += "x\n";
        pars += "x\\par ";
    }
    EXPECT_EQ(texts(describe(lines)).size(), kMaxShownParagraphs);
    EXPECT_EQ(texts(describe(lines + "\n")).back(), ellipsis);
    EXPECT_EQ(texts(read_rtf(pars + "}")).size(), kMaxShownParagraphs);
    EXPECT_EQ(texts(read_rtf(pars + "y}")).back(), ellipsis);

    // Cut in a table's cell: the table is closed, and "…" follows it.
    const Document cell =
        read_rtf("{\\rtf1\\trowd\\cellx100\\pard\\intbl " + full + "c\\cell\\row\\pard after\\par}");
    ASSERT_EQ(tables(cell.blocks).size(), 1u);
    EXPECT_EQ(cell_text(tables(cell.blocks)[0]->rows.at(0).cells.at(0)), full);
    EXPECT_THAT(texts(cell), ElementsAre(ellipsis));

    // Text that is not shown does not count, however long.
    const std::string lots(3 * kMaxShownTextBytes, 'n');
    EXPECT_THAT(texts(read_rtf("{\\rtf1{\\fonttbl{\\f0 " + lots + ";}}{\\v " + lots + "}shown\\par}")),
                ElementsAre("shown"));
}

}  // namespace
}  // namespace hoopcast::richtext
