// Documents as word processors write them: LibreOffice (converted from our own files),
// and WordPad, Word and TextEdit files written out by hand in the way those programs do.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "richtext/reader.h"
#include "richtext/writers.h"
#include "test_helpers.h"

namespace hoopcast::richtext {
namespace {

using testing::cell_text;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::paragraph_with;
using testing::paragraphs;
using testing::run_with;
using testing::tables;
using testing::text_of;
using testing::texts;

std::string load(const std::string& name) {
    std::ifstream in(std::string(HOOPCAST_TEST_DATA) + "/rtf/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

Document document(const std::string& name) {
    const std::string bytes = load(name);
    EXPECT_TRUE(is_rtf(bytes)) << name;
    return describe(bytes);
}

std::vector<std::string> markers(const Document& d) {
    std::vector<std::string> out;
    for (const Paragraph* p : paragraphs(d)) out.push_back(p->marker);
    return out;
}

TEST(LibreOfficeDocuments, StylesInFrenchAndGerman) {
    const Document d = document("lo_styles_fr_de.rtf");
    EXPECT_THAT(
        texts(d),
        ElementsAre("Attaque en boucle",
                    "Le meneur passe à l'ailier, coupe vers le panier et reçoit l'écran; pas de dribble.",
                    "Rouge und blau: Größe, Übung, ähnlich, „Zitat“ – fertig — Ende.", "Gros texte à droite",
                    "Eingerückter Absatz mit Tabulator."));
    EXPECT_EQ(paragraph_with(d, "Attaque").alignment, Alignment::centre);
    EXPECT_TRUE(run_with(d, "Attaque").format.bold);
    EXPECT_TRUE(run_with(d, "passe").format.bold);
    EXPECT_FALSE(run_with(d, "Le meneur").format.bold);
    EXPECT_TRUE(run_with(d, "coupe").format.italic);
    EXPECT_EQ(run_with(d, "reçoit").format.underline, Underline::single);
    EXPECT_TRUE(run_with(d, "pas de dribble").format.strike);
    EXPECT_EQ(run_with(d, "Rouge").format.colour, (Rgb{255, 0, 0}));
    EXPECT_EQ(run_with(d, "blau").format.colour, (Rgb{0, 0, 255}));
    EXPECT_EQ(run_with(d, "Gros").format.font_family, "Courier New");
    EXPECT_EQ(run_with(d, "Gros").format.size_half_points, 36);
    EXPECT_EQ(run_with(d, "Le meneur").format.font_family, "Liberation Serif");
    EXPECT_EQ(paragraph_with(d, "Gros").alignment, Alignment::right);
    EXPECT_EQ(paragraph_with(d, "Eingerückter").left_indent, 1440);
}

TEST(LibreOfficeDocuments, BulletedAndNumberedLists) {
    const Document d = document("lo_lists.rtf");
    EXPECT_THAT(texts(d),
                ElementsAre("Setup:", "Point guard at the top", "Wings on both sides", "Post player low",
                            "Steps:", "Pass to the wing", "Cut through", "Screen away", "Alpha option",
                            "Beta option", "Outer item", "Inner item"));
    EXPECT_THAT(markers(d), ElementsAre("", "•", "•", "•", "", "1.", "2.", "3.", "a.", "b.", "•", "•"));
    EXPECT_GT(paragraph_with(d, "Inner item").left_indent, paragraph_with(d, "Outer item").left_indent);
    EXPECT_LT(paragraph_with(d, "Cut through").first_line_indent, 0);
}

TEST(LibreOfficeDocuments, TablesAndANestedTable) {
    const Document d = document("lo_tables_nested.rtf");
    EXPECT_THAT(texts(d), ElementsAre("Before the table", "Nested:", "After the tables"));
    const auto ts = tables(d.blocks);
    ASSERT_EQ(ts.size(), 2u);
    ASSERT_EQ(ts[0]->rows.size(), 2u);
    EXPECT_EQ(cell_text(ts[0]->rows[0].cells.at(0)), "Player");
    EXPECT_EQ(cell_text(ts[0]->rows[1].cells.at(1)), "Top");
    ASSERT_EQ(ts[1]->rows.size(), 1u);
    const Row& row = ts[1]->rows[0];
    ASSERT_EQ(row.cells.size(), 2u);  // the writer's surplus \cell adds no column
    const auto inner = tables(row.cells[0].blocks);
    ASSERT_EQ(inner.size(), 1u);
    ASSERT_EQ(inner[0]->rows.size(), 1u);
    ASSERT_EQ(inner[0]->rows[0].cells.size(), 2u);
    EXPECT_EQ(cell_text(inner[0]->rows[0].cells[0]), "Inner 1");
    EXPECT_EQ(cell_text(inner[0]->rows[0].cells[1]), "Inner 2");
    EXPECT_THAT(cell_text(row.cells[0]), HasSubstr("Outer A"));
    EXPECT_EQ(cell_text(row.cells[1]), "Outer B");
}

TEST(LibreOfficeDocuments, SixLanguagesAndALink) {
    const Document d = document("lo_languages_link.rtf");
    EXPECT_THAT(
        texts(d),
        ElementsAre("Polski: Zażółć gęślą jaźń.", "Čeština: Příliš žluťoučký kůň úpěl ďábelské ódy.",
                    "Русский: Съешь же ещё этих мягких французских булок.",
                    "Ελληνικά: Ξεσκεπάζω την ψυχοφθόρα βδελυγμία.", "日本語: いろはにほへと ちりぬるを。",
                    "中文: 我能吞下玻璃而不伤身体。", "Link: our playbook here."));
    EXPECT_EQ(run_with(d, "our playbook").link, "https://example.com/plays?id=7");
    EXPECT_EQ(run_with(d, "Link").link, "");
}

TEST(LibreOfficeDocuments, FieldsNotesPicturesAndHeadersShowOnlyTheText) {
    const Document d = document("lo_fields_notes_picture.rtf");
    EXPECT_THAT(texts(d),
                ElementsAre("Page 1 of 1.", "Author: ; title Secret title.", "Note here1; then a bookmark.",
                            "Picture:  end.", "Hidden: ab and mail the coach."));
    EXPECT_EQ(run_with(d, "mail the coach").link, "mailto:coach@example.com");
}

TEST(LibreOfficeDocuments, ListLevelsFromTheListTableWithAndWithoutListText) {
    const std::vector<std::string> levels = {"",  "3.", "a)", "b)", "(i)", "(ii)", "A.",
                                             "I", "II", "B.", "4.", "a)",  "5.",   ""};
    const std::vector<std::string> sections = {"Phase 1:", "1.1.", "1.2.", "Phase 2:", "2.1.",
                                               "•",        "–",    "■",    "•"};
    for (const char* name : {"lo_list_levels.rtf", "lo_list_levels_no_listtext.rtf"}) {
        SCOPED_TRACE(name);
        const Document d = document(name);
        const std::vector<std::string> m = markers(d);
        ASSERT_EQ(m.size(), 25u);
        EXPECT_EQ(std::vector<std::string>(m.begin(), m.begin() + 14), levels);
        EXPECT_EQ(std::vector<std::string>(m.begin() + 16, m.end()), sections);
        // Each level hangs its number at its own indent.
        EXPECT_EQ(paragraph_with(d, "Point guard").left_indent, 504);
        EXPECT_EQ(paragraph_with(d, "Wings fill").left_indent, 1008);
        EXPECT_EQ(paragraph_with(d, "Seal").left_indent, 1512);
        EXPECT_EQ(paragraph_with(d, "Seal").first_line_indent, -432);
    }
    // LibreOffice writes a list that starts anew only into the numbers it writes out; without
    // them the list counts on, as it does in other word processors.
    EXPECT_THAT(markers(document("lo_list_levels.rtf")), ::testing::Contains("1.").Times(1));
    const std::vector<std::string> counted_on = markers(document("lo_list_levels_no_listtext.rtf"));
    EXPECT_THAT(std::vector<std::string>(counted_on.begin() + 14, counted_on.begin() + 16),
                ElementsAre("6.", "7."));
    EXPECT_THAT(to_plain_text(document("lo_list_levels_no_listtext.rtf")),
                HasSubstr("3. Point guard brings the ball up\na) Wings fill the lanes\n"));
}

TEST(LibreOfficeDocuments, TabStopsSpacingBordersAndCharacterStyles) {
    const Document d = document("lo_tabs_spacing_borders.rtf");
    EXPECT_THAT(paragraph_with(d, "Ann Baker").tabs,
                ElementsAre(TabStop{864, TabKind::left, TabLeader::none},
                            TabStop{3168, TabKind::centre, TabLeader::dots},
                            TabStop{5184, TabKind::right, TabLeader::thick_line},
                            TabStop{6624, TabKind::decimal, TabLeader::underline}));
    EXPECT_THAT(paragraph_with(d, "Starters").tabs,
                ElementsAre(TabStop{2880, TabKind::left, TabLeader::equals}, TabStop{5760, TabKind::right}));
    EXPECT_THAT(to_plain_text(d), HasSubstr("No.\tPlayer\tRole\tMinutes\n4\tAnn Baker\tPoint guard\t31.5\n"));

    const Paragraph& spaced = paragraph_with(d, "Spaced");
    EXPECT_EQ(spaced.space_before, 288);
    EXPECT_EQ(spaced.space_after, 144);
    EXPECT_EQ(spaced.line_spacing, 360);
    EXPECT_TRUE(spaced.line_multiple);
    EXPECT_EQ(paragraph_with(d, "Exact").line_spacing, -432);
    EXPECT_FALSE(paragraph_with(d, "Exact").line_multiple);
    EXPECT_EQ(paragraph_with(d, "At least").line_spacing, 360);

    const Paragraph& boxed = paragraph_with(d, "Boxed");
    const Border red{BorderStyle::single, 30, Rgb{0xc0, 0, 0}};
    EXPECT_EQ(boxed.borders, (Borders{red, red, red, red, 58}));
    EXPECT_EQ(boxed.background, (Rgb{0xff, 0xf2, 0xcc}));
    const Borders ruled = paragraph_with(d, "Ruled").borders;
    EXPECT_EQ(ruled.bottom, (Border{BorderStyle::single, 15, Rgb{0, 0, 0x80}}));
    EXPECT_EQ(ruled.top.style, BorderStyle::none);
    EXPECT_FALSE(paragraph_with(d, "Shaded paragraph").borders.any());
    EXPECT_EQ(paragraph_with(d, "Shaded paragraph").background, (Rgb{0xdd, 0xe8, 0xf5}));

    const Paragraph& styled = paragraph_with(d, "Highlighted");
    ASSERT_EQ(styled.runs.size(), 8u);
    EXPECT_EQ(styled.runs[0].format.background, (Rgb{0xff, 0xff, 0}));
    EXPECT_EQ(styled.runs[2].format.background, (Rgb{0xc0, 0xe0, 0xc0}));
    EXPECT_EQ(styled.runs[4].format.vertical, VerticalAlign::superscript);
    EXPECT_EQ(styled.runs[6].format.vertical, VerticalAlign::subscript);
    EXPECT_EQ(run_with(d, "double").format.underline, Underline::double_line);
    EXPECT_EQ(run_with(d, "dotted").format.underline, Underline::dotted);
    EXPECT_EQ(run_with(d, "dashed").format.underline, Underline::dashed);
    EXPECT_EQ(run_with(d, "wavy").format.underline, Underline::wave);
    EXPECT_EQ(run_with(d, "thick").format.underline, Underline::thick);
    EXPECT_EQ(run_with(d, "words only").format.underline, Underline::words);

    const std::string html = to_html(d);
    EXPECT_THAT(html, HasSubstr("line-height:150%; white-space"));
    EXPECT_THAT(html, HasSubstr("background-color:#fff2cc; border-top:2px solid #c00000; "));
    EXPECT_THAT(html,
                HasSubstr("text-indent:0px; border-bottom:1px solid #000080; padding:2px; white-space"));
    EXPECT_THAT(html, HasSubstr("vertical-align:super;\">2</span>"));
    EXPECT_THAT(html, HasSubstr("text-decoration: underline; text-decoration-style:wavy;\">wavy"));
}

TEST(LibreOfficeDocuments, NestedTableWithCellColoursAndBorders) {
    const Document d = document("lo_tables_shading.rtf");
    const auto ts = tables(d.blocks);
    ASSERT_EQ(ts.size(), 1u);
    ASSERT_EQ(ts[0]->rows.size(), 3u);
    const Cell& head = ts[0]->rows[0].cells.at(0);
    EXPECT_EQ(head.background, (Rgb{0x1f, 0x38, 0x64}));
    EXPECT_TRUE(head.has_borders);
    EXPECT_EQ(head.borders.left, (Border{BorderStyle::single, 10, Rgb{0, 0, 0}}));
    const Cell& guards = ts[0]->rows[1].cells.at(1);
    EXPECT_FALSE(guards.background.has_value());
    const auto inner = tables(guards.blocks);
    ASSERT_EQ(inner.size(), 1u);
    ASSERT_EQ(inner[0]->rows.size(), 2u);
    const Cell& pg = inner[0]->rows[0].cells.at(0);
    EXPECT_EQ(pg.background, (Rgb{0xc6, 0xef, 0xce}));
    EXPECT_EQ(pg.borders.bottom, (Border{BorderStyle::single, 45, Rgb{0, 0x61, 0}}));
    EXPECT_EQ(pg.borders.top.style, BorderStyle::none);
    EXPECT_EQ(inner[0]->rows[1].cells.at(1).borders.right.style, BorderStyle::dashed);

    EXPECT_EQ(to_plain_text(d),
              "Matchups:\nPosition\tAssignment\nGuards\tSwitch all screens:\nPG\ttheir 1\nSG\ttheir 2\n"
              "Deny the wing pass.\nBigs\tFront the post\nAfter the table.");
    const std::string html = to_html(d);
    const auto nested = html.find("<table", html.find("Switch all screens"));
    EXPECT_LT(nested, html.find(">PG<"));
    EXPECT_LT(html.find("</table>", html.find(">their 2<")), html.find("Deny the wing"));
    EXPECT_THAT(html, HasSubstr("<td valign=\"top\" width=\"50%\" bgcolor=\"#c6efce\" "
                                "style=\"border-bottom:3px solid #006100;\">"));
}

TEST(LibreOfficeDocuments, PicturesAndEastAsianText) {
    const Document d = document("lo_pictures_cjk.rtf");
    const Paragraph& p = paragraph_with(d, "Court diagram");
    std::vector<const Picture*> pictures;
    for (const richtext::Run& r : p.runs) {
        if (r.picture) pictures.push_back(&*r.picture);
    }
    // Only the picture newer readers are meant to show: the metafile twin is left out.
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0]->format, PictureFormat::png);
    EXPECT_EQ(pictures[0]->data.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(pictures[0]->data.size(), 195u);
    EXPECT_EQ(pictures[0]->width, 720);  // 480 twips at 150 %
    EXPECT_EQ(pictures[0]->height, 540);
    EXPECT_EQ(pictures[1]->format, PictureFormat::jpeg);
    EXPECT_EQ(pictures[1]->data.substr(0, 2), "\xff\xd8");
    EXPECT_EQ(pictures[1]->width, 432);
    EXPECT_EQ(texts(d)[0], "Court diagram  and photo  inline.");
    EXPECT_EQ(texts(d)[1], "日本語: ピック&ロールでは、ボールマンがスクリーンを使ってゴールへ向かう。");
    EXPECT_EQ(texts(d)[2], "中文：挡拆配合中，持球队员借掩护突破上篮。");
    const std::string html = to_html(d);
    EXPECT_THAT(html, HasSubstr("<img src=\"data:image/png;base64,iVBORw0KGgo"));
    EXPECT_THAT(html, HasSubstr("\" width=\"48\" height=\"36\" alt=\"\" />"));
    EXPECT_THAT(html, HasSubstr("<img src=\"data:image/jpeg;base64,/9j/"));
}

TEST(WordPadDocuments, Windows1252WithBulletsAndNumbers) {
    const Document d = document("wordpad_cp1252.rtf");
    EXPECT_THAT(texts(d),
                ElementsAre("Box and one", "The defender in the box stays low; no help.", "Guard on the ball",
                            "Wing denies", "First step", "Second step", "Café “crème” – € 5"));
    EXPECT_THAT(markers(d), ElementsAre("", "", "•", "•", "1.", "2.", ""));
    EXPECT_EQ(paragraph_with(d, "Box").alignment, Alignment::centre);
    EXPECT_TRUE(run_with(d, "Box").format.bold);
    EXPECT_EQ(run_with(d, "Box").format.size_half_points, 28);
    EXPECT_EQ(run_with(d, "Box").format.font_family, "Calibri");
    EXPECT_EQ(run_with(d, "defender").format.colour, (Rgb{255, 0, 0}));
    EXPECT_TRUE(run_with(d, "box").format.italic);
    EXPECT_EQ(run_with(d, "low").format.underline, Underline::single);
    EXPECT_TRUE(run_with(d, "no").format.strike);
    EXPECT_EQ(run_with(d, "Café").format.colour, (Rgb{0, 77, 187}));
    EXPECT_EQ(paragraph_with(d, "Wing").left_indent, 720);
    EXPECT_EQ(paragraph_with(d, "Wing").first_line_indent, -360);
    EXPECT_EQ(paragraph_with(d, "Box").space_after, 200);
}

TEST(WordPadDocuments, BulletsFromNumberingPropertiesAlone) {
    const Document d = document("wordpad_cleaned.rtf");
    EXPECT_THAT(texts(d),
                ElementsAre("Options:", "Post up", "Kick out", "Third", "Fourth", "one", "two", "Done"));
    EXPECT_THAT(markers(d), ElementsAre("", "•", "•", "III)", "IV)", "a.", "b.", ""));
}

TEST(WordPadDocuments, CodePagesOfTheDocumentAndOfItsFonts) {
    EXPECT_THAT(texts(document("wordpad_cp1250_pl_cz.rtf")),
                ElementsAre("Zażółć gęślą jaźń. Świetnie!", "Příliš žluťoučký kůň úpěl ďábelské ódy."));
    EXPECT_THAT(texts(document("wordpad_cp1251_el_fonts.rtf")),
                ElementsAre("English, русский, ελληνικά déjà"));
    const Document ja = document("wordpad_cp932_ja.rtf");
    EXPECT_THAT(texts(ja), ElementsAre("日本語のテスト ok 表示"));
    EXPECT_EQ(run_with(ja, "日本語").format.font_family, "ＭＳ 明朝");
    EXPECT_THAT(texts(document("wordpad_cp936_zh.rtf")), ElementsAre("中文说明：传球后切入。"));
}

TEST(WordDocuments, ListsFieldsUnicodeAndNestedTable) {
    const Document d = document("word_lists_table_field.rtf");
    EXPECT_THAT(texts(d), ElementsAre("Horns set", "Bigs at the elbows", "Guards in the corners",
                                      "Wing sprints out", "Entry to the elbow", "Back screen",
                                      "See the diagram, page 1, “Quoted” \u00A0—\u00A0red, green, 日本, 🏀.",
                                      "After the table."));
    // Symbol, Courier New and Wingdings bullets, then numbers.
    EXPECT_THAT(markers(d), ElementsAre("", "•", "o", "\u25AA", "1.", "2.", "", ""));
    EXPECT_EQ(paragraph_with(d, "Guards").left_indent, 1440);
    EXPECT_TRUE(run_with(d, "Horns").format.bold);
    EXPECT_EQ(run_with(d, "Horns").format.size_half_points, 32);
    EXPECT_EQ(run_with(d, "Horns").format.font_family, "Calibri");
    EXPECT_EQ(run_with(d, "the diagram").link, "https://example.org/horns");
    EXPECT_EQ(run_with(d, "the diagram").format.colour, (Rgb{0, 0, 255}));
    EXPECT_EQ(run_with(d, "red").format.colour, (Rgb{255, 0, 0}));
    EXPECT_TRUE(run_with(d, "green").format.italic);
    EXPECT_EQ(paragraph_with(d, "See").alignment, Alignment::justify);

    const auto ts = tables(d.blocks);
    ASSERT_EQ(ts.size(), 1u);
    ASSERT_EQ(ts[0]->rows.size(), 2u);
    EXPECT_EQ(cell_text(ts[0]->rows[0].cells.at(0)), "Spot");
    EXPECT_EQ(cell_text(ts[0]->rows[0].cells.at(1)), "Player");
    EXPECT_EQ(ts[0]->rows[0].cells.at(0).width, 4675);  // from \trleft-108 to \cellx4567
    const Cell& elbow = ts[0]->rows[1].cells.at(0);
    EXPECT_EQ(cell_text(elbow), "Elbow|");
    const auto inner = tables(elbow.blocks);
    ASSERT_EQ(inner.size(), 1u);
    ASSERT_EQ(inner[0]->rows.size(), 1u);
    EXPECT_EQ(cell_text(inner[0]->rows[0].cells.at(0)), "Left");
    EXPECT_EQ(cell_text(inner[0]->rows[0].cells.at(1)), "Right");
    EXPECT_EQ(inner[0]->rows[0].cells.at(1).width, 2000);
    EXPECT_EQ(cell_text(ts[0]->rows[1].cells.at(1)), "Four");
}

TEST(TextEditDocuments, CocoaRichText) {
    const Document d = document("textedit_cocoa.rtf");
    EXPECT_THAT(texts(d), ElementsAre("Motion offence", "Don’t stop moving.", "Pass", "Cut", "Screen", "Roll",
                                      "", "Café crème – fin", "underlined and struck"));
    EXPECT_THAT(markers(d), ElementsAre("", "", "•", "•", "1.", "2.", "", "", ""));
    EXPECT_EQ(paragraph_with(d, "Motion").alignment, Alignment::centre);
    EXPECT_TRUE(run_with(d, "Motion").format.bold);
    EXPECT_EQ(run_with(d, "Motion").format.font_family, "Helvetica-Bold");
    EXPECT_EQ(run_with(d, "Motion").format.size_half_points, 36);
    EXPECT_FALSE(run_with(d, "Motion").format.colour.has_value());  // \cf0: automatic
    EXPECT_EQ(run_with(d, "moving").format.colour, (Rgb{251, 2, 7}));
    EXPECT_TRUE(run_with(d, "Café").format.italic);
    EXPECT_EQ(run_with(d, "underlined").format.underline, Underline::single);
    EXPECT_TRUE(run_with(d, "struck").format.strike);
    EXPECT_EQ(paragraph_with(d, "Pass").left_indent, 720);
}

TEST(Documents, EveryDocumentSurvivesEveryTruncation) {
    for (const char* name : {"lo_tables_nested.rtf", "word_lists_table_field.rtf", "textedit_cocoa.rtf",
                             "wordpad_cp932_ja.rtf", "lo_list_levels.rtf", "lo_tables_shading.rtf"}) {
        const std::string bytes = load(name);
        for (std::size_t n = 0; n < bytes.size(); n += 7) {
            const Document d = read_rtf(std::string_view(bytes).substr(0, n));
            EXPECT_FALSE(to_html(d).empty());
        }
    }
}

}  // namespace
}  // namespace hoopcast::richtext
