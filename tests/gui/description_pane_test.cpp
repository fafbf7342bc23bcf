// The description pane's text as the box lays it out, for documents word processors wrote.

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QGlyphRun>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>

#include "app/description_document.h"
#include "richtext/reader.h"

using hoopcast::app::show_description;

namespace {

hoopcast::richtext::Document load(const char* name) {
    QFile f(QStringLiteral(HOOPCAST_SOURCE_DIR "/tests/data/rtf/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly)) qFatal("no test document %s", name);
    return hoopcast::richtext::describe(f.readAll().toStdString());
}

QTextBlock block_with(const QTextDocument& doc, const QString& text) {
    const QTextCursor found = doc.find(text);
    if (found.isNull()) qWarning("no block with %s", qPrintable(text));
    return found.block();
}

// Where the text at `offset` in the block starts, from the start of its line.
qreal x_in_line(const QTextBlock& block, int offset) {
    const QTextLine line = block.layout()->lineForTextPosition(offset);
    return line.cursorToX(offset) - line.x();
}

QTextCharFormat format_at(const QTextBlock& block, int offset) {
    QTextCursor c(block);
    c.setPosition(block.position() + offset + 1);
    return c.charFormat();
}

// The tables of the document, outer ones before those nested in them.
QList<QTextTable*> tables(QTextDocument& doc) {
    QList<QTextTable*> out;
    QList<QTextFrame*> frames{doc.rootFrame()};
    while (!frames.isEmpty()) {
        QTextFrame* f = frames.takeFirst();
        if (auto* t = qobject_cast<QTextTable*>(f)) out.append(t);
        frames.append(f->childFrames());
    }
    return out;
}

}  // namespace

class DescriptionPaneTest : public QObject {
    Q_OBJECT

  private slots:
    void tabStopsAndLeadersWhereTheDocumentSetsThem() {
        QTextDocument doc;
        show_description(doc, load("lo_tabs_spacing_borders.rtf"));
        doc.documentLayout()->documentSize();
        const QTextBlock roster = block_with(doc, QStringLiteral("Ann Baker"));
        const QList<QTextOption::Tab> tabs = roster.blockFormat().tabPositions();
        QCOMPARE(tabs.size(), 4);
        QCOMPARE(tabs[0], QTextOption::Tab(57.6, QTextOption::LeftTab));
        QCOMPARE(tabs[1], QTextOption::Tab(211.2, QTextOption::CenterTab));
        QCOMPARE(tabs[2], QTextOption::Tab(345.6, QTextOption::RightTab));
        QCOMPARE(tabs[3], QTextOption::Tab(441.6, QTextOption::DelimiterTab, QLatin1Char('.')));
        // "4<tab>Ann Baker<tab>Point guard<tab>31.5": the name starts at the first stop, the
        // role is centred on the second, the minutes end at the third.
        const QString text = roster.text();
        const int name = text.indexOf(QLatin1String("Ann"));
        const int role = text.indexOf(QLatin1String("Point"));
        const int minutes = text.indexOf(QLatin1String("31.5"));
        QVERIFY(qAbs(x_in_line(roster, name) - 57.6) < 0.5);
        QVERIFY(qAbs((x_in_line(roster, role) + x_in_line(roster, minutes - 1)) / 2 - 211.2) < 1);
        QVERIFY(qAbs(x_in_line(roster, minutes + 4) - 345.6) < 1);
        // Leaders: none to the first stop, dots to the centred one, a line to the right one.
        QCOMPARE(format_at(roster, name - 1).underlineStyle(), QTextCharFormat::NoUnderline);
        QCOMPARE(format_at(roster, role - 1).underlineStyle(), QTextCharFormat::DotLine);
        QCOMPARE(format_at(roster, minutes - 1).underlineStyle(), QTextCharFormat::SingleUnderline);
        QCOMPARE(doc.defaultTextOption().tabStopDistance(), 709 / 15.0);  // the document's \deftab
    }

    void listLevelsHangTheirMarkersWithoutListText() {
        QTextDocument doc;
        show_description(doc, load("lo_list_levels_no_listtext.rtf"));
        doc.documentLayout()->documentSize();
        const struct {
            const char* text;
            const char* marker;
            qreal indent;
        } levels[] = {{"Point guard", "3.", 504},        {"Wings fill", "a)", 1008},
                      {"Seal the", "(i)", 1512},         {"Catch high", "A.", 2016},
                      {"Pivot baseline", "I", 2520},     {"Help side", "1.1.", 864},
                      {"Corners filled", "\u25A0", 1080}};
        for (const auto& level : levels) {
            const QTextBlock b = block_with(doc, QString::fromUtf8(level.text));
            QVERIFY2(b.text().startsWith(QString::fromUtf8(level.marker) + QLatin1Char('\t')), level.text);
            QCOMPARE(b.blockFormat().leftMargin(), level.indent / 15);
            QVERIFY(b.blockFormat().textIndent() < 0);
            // The text after the marker starts at the paragraph's indent.
            const int start = b.text().indexOf(QLatin1Char('\t')) + 1;
            QVERIFY2(qAbs(x_in_line(b, start) + b.blockFormat().textIndent()) < 0.5, level.text);
        }
    }

    void spacingBordersAndShading() {
        QTextDocument doc;
        show_description(doc, load("lo_tabs_spacing_borders.rtf"));
        const QTextBlockFormat spaced = block_with(doc, QStringLiteral("Spaced")).blockFormat();
        QCOMPARE(spaced.topMargin(), 19.2);
        QCOMPARE(spaced.lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
        QCOMPARE(spaced.lineHeight(), 150.0);
        const QTextBlockFormat exact = block_with(doc, QStringLiteral("Exact")).blockFormat();
        QCOMPARE(exact.lineHeightType(), int(QTextBlockFormat::FixedHeight));
        QCOMPARE(exact.lineHeight(), 28.8);
        QCOMPARE(block_with(doc, QStringLiteral("At least")).blockFormat().lineHeightType(),
                 int(QTextBlockFormat::MinimumHeight));
        QCOMPARE(block_with(doc, QStringLiteral("Shaded paragraph")).blockFormat().background().color(),
                 QColor(0xdd, 0xe8, 0xf5));
        // Bordered paragraphs stand in a frame of one cell that carries borders and shading.
        const QTextBlock boxed = block_with(doc, QStringLiteral("Boxed"));
        QTextTable* frame = QTextCursor(boxed).currentTable();
        QVERIFY(frame != nullptr);
        const QTextTableCellFormat box = frame->cellAt(0, 0).format().toTableCellFormat();
        QCOMPARE(box.background().color(), QColor(0xff, 0xf2, 0xcc));
        QCOMPARE(box.leftBorder(), 2.0);
        QCOMPARE(box.leftBorderBrush().color(), QColor(0xc0, 0, 0));
        const QTextTableCellFormat ruled = QTextCursor(block_with(doc, QStringLiteral("Ruled")))
                                               .currentTable()
                                               ->cellAt(0, 0)
                                               .format()
                                               .toTableCellFormat();
        QCOMPARE(ruled.bottomBorder(), 1.0);
        QCOMPARE(ruled.topBorder(), 0.0);
        const QTextBlock styled = block_with(doc, QStringLiteral("Highlighted"));
        QCOMPARE(format_at(styled, 0).background().color(), QColor(0xff, 0xff, 0));
        QCOMPARE(format_at(styled, styled.text().indexOf(QLatin1String("x2")) + 1).verticalAlignment(),
                 QTextCharFormat::AlignSuperScript);
        const QTextBlock underlined = block_with(doc, QStringLiteral("wavy"));
        QCOMPARE(format_at(underlined, underlined.text().indexOf(QLatin1String("wavy"))).underlineStyle(),
                 QTextCharFormat::WaveUnderline);
    }

    void nestedTableWithCellColours() {
        QTextDocument doc;
        show_description(doc, load("lo_tables_shading.rtf"));
        const QList<QTextTable*> ts = tables(doc);
        QCOMPARE(ts.size(), 2);
        QTextTable* outer = ts[0];
        QTextTable* inner = ts[1];
        QCOMPARE(outer->rows(), 3);
        QCOMPARE(outer->cellAt(0, 0).format().background().color(), QColor(0x1f, 0x38, 0x64));
        QCOMPARE(outer->cellAt(1, 0).format().toTableCellFormat().leftBorder(), 1.0);
        // The nested table sits in the outer cell between the text before and after it.
        QCOMPARE(inner->parentFrame(), static_cast<QTextFrame*>(outer));
        QCOMPARE(outer->cellAt(inner->firstPosition() - 1).row(), 1);
        QVERIFY(outer->cellAt(1, 1).firstCursorPosition().block().text().startsWith(QLatin1String("Switch")));
        QCOMPARE(inner->cellAt(0, 0).format().background().color(), QColor(0xc6, 0xef, 0xce));
        const QTextTableCellFormat green = inner->cellAt(0, 1).format().toTableCellFormat();
        QCOMPARE(green.bottomBorder(), 3.0);
        QCOMPARE(green.bottomBorderBrush().color(), QColor(0, 0x61, 0));
        QCOMPARE(green.topBorder(), 0.0);
        QCOMPARE(inner->cellAt(1, 0).format().toTableCellFormat().leftBorderStyle(),
                 QTextFrameFormat::BorderStyle_Dashed);
        QCOMPARE(inner->cellAt(1, 1).firstCursorPosition().block().text(), QStringLiteral("their 2"));
    }

    void picturesAtTheirSizeAndEastAsianTextInAFontThatHasIt() {
        QTextDocument doc;
        show_description(doc, load("lo_pictures_cjk.rtf"));
        const QTextBlock line = block_with(doc, QStringLiteral("Court diagram"));
        QList<QTextImageFormat> images;
        for (auto it = line.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat())
                images.append(it.fragment().charFormat().toImageFormat());
        }
        QCOMPARE(images.size(), 2);
        QCOMPARE(images[0].width(), 48.0);
        QCOMPARE(images[0].height(), 36.0);
        QCOMPARE(images[1].width(), 28.8);
        const QImage png = doc.resource(QTextDocument::ImageResource, QUrl(images[0].name())).value<QImage>();
        QCOMPARE(png.size(), QSize(32, 24));
        QCOMPARE(png.pixelColor(16, 12), QColor(0xff, 0xcc, 0x00));
        // No glyph of the Japanese and Chinese lines is the empty box of a font without it.
        for (const char* text : {"日本語", "中文"}) {
            const QTextBlock b = block_with(doc, QString::fromUtf8(text));
            QTextLayout layout(b.text(), doc.defaultFont());
            layout.setFormats(b.textFormats());
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
            const QList<QGlyphRun> runs = layout.glyphRuns();
            QVERIFY(!runs.isEmpty());
            for (const QGlyphRun& run : runs) QVERIFY2(!run.glyphIndexes().contains(0), text);
        }
        // A metafile keeps its place as an empty frame of its size, also when its size is all
        // there is; a picture that cannot be read does too.
        show_description(
            doc, hoopcast::richtext::read_rtf("{\\rtf1 a{\\pict\\wmetafile8\\picwgoal1500\\pichgoal750 0100}"
                                              "{\\pict\\pngblip\\picwgoal300\\pichgoal300 00ff}b}"));
        const QTextBlock frames = doc.begin();
        QCOMPARE(frames.text(), QStringLiteral("a\uFFFC\uFFFCb"));
        QCOMPARE(format_at(frames, 1).objectType(), hoopcast::app::kPictureFrameObject);
        QCOMPARE(format_at(frames, 1).property(hoopcast::app::kPictureFrameSize).toSizeF(), QSizeF(100, 50));
        QCOMPARE(format_at(frames, 2).property(hoopcast::app::kPictureFrameSize).toSizeF(), QSizeF(20, 20));
    }
};

QTEST_MAIN(DescriptionPaneTest)
#include "description_pane_test.moc"
