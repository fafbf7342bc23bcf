// Documents as word processors write them: LibreOffice (converted from our own files),
// and WordPad, Word and TextEdit files written out by hand in the way those programs do.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

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
                             "wordpad_cp932_ja.rtf"}) {
        const std::string bytes = load(name);
        for (std::size_t n = 0; n < bytes.size(); n += 7) {
            const Document d = read_rtf(std::string_view(bytes).substr(0, n));
            EXPECT_FALSE(to_html(d).empty());
        }
    }
}

}  // namespace
}  // namespace hoopcast::richtext
