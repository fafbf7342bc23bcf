#include "app/description_document.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPalette>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextObjectInterface>
#include <QTextTable>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace hoopcast::app {

namespace {

namespace rt = richtext;

constexpr qreal kTwipsPerPixel = 15;  // the pane shows 96 pixels per inch
constexpr qreal kCellPadding = 4;
// Decoded pictures cost far more than their bytes: bounds for one and for a document.
constexpr qint64 kMaxPicturePixels = 4096 * 4096;
constexpr qint64 kMaxDocumentPicturePixels = 8 * kMaxPicturePixels;

qreal px(int twips) {
    return twips / kTwipsPerPixel;
}

QColor colour(const rt::Rgb& c) {
    return QColor(c.r, c.g, c.b);
}

// Draws the empty frame that keeps a picture's place.
class PictureFrame : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

  public:
    using QObject::QObject;

    QSizeF intrinsicSize(QTextDocument*, int, const QTextFormat& format) override {
        return format.property(kPictureFrameSize).toSizeF();
    }

    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int, const QTextFormat&) override {
        painter->save();
        painter->setPen(QPen(QColor(128, 128, 128), 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(rect.adjusted(0.5, 0.5, -0.5, -0.5));
        painter->restore();
    }
};

QTextCharFormat::UnderlineStyle underline_style(rt::Underline u) {
    switch (u) {
        case rt::Underline::none:
            return QTextCharFormat::NoUnderline;
        case rt::Underline::dotted:
            return QTextCharFormat::DotLine;
        case rt::Underline::dashed:
            return QTextCharFormat::DashUnderline;
        case rt::Underline::dash_dot:
            return QTextCharFormat::DashDotLine;
        case rt::Underline::dash_dot_dot:
            return QTextCharFormat::DashDotDotLine;
        case rt::Underline::wave:
            return QTextCharFormat::WaveUnderline;
        default:  // the box draws one line of one weight
            return QTextCharFormat::SingleUnderline;
    }
}

// A leader is drawn as the underline of the tab that reaches its stop.
QTextCharFormat::UnderlineStyle leader_style(rt::TabLeader leader) {
    switch (leader) {
        case rt::TabLeader::none:
            return QTextCharFormat::NoUnderline;
        case rt::TabLeader::dots:
        case rt::TabLeader::middle_dots:
            return QTextCharFormat::DotLine;
        case rt::TabLeader::hyphens:
            return QTextCharFormat::DashUnderline;
        default:
            return QTextCharFormat::SingleUnderline;
    }
}

QTextFrameFormat::BorderStyle border_style(rt::BorderStyle b) {
    switch (b) {
        case rt::BorderStyle::none:
            return QTextFrameFormat::BorderStyle_None;
        case rt::BorderStyle::double_line:
            return QTextFrameFormat::BorderStyle_Double;
        case rt::BorderStyle::dotted:
            return QTextFrameFormat::BorderStyle_Dotted;
        case rt::BorderStyle::dashed:
            return QTextFrameFormat::BorderStyle_Dashed;
        case rt::BorderStyle::dot_dash:
            return QTextFrameFormat::BorderStyle_DotDash;
        case rt::BorderStyle::dot_dot_dash:
            return QTextFrameFormat::BorderStyle_DotDotDash;
        default:
            return QTextFrameFormat::BorderStyle_Solid;
    }
}

qreal border_width(const rt::Border& b) {
    if (b.style == rt::BorderStyle::none) return 0;
    const qreal least = b.style == rt::BorderStyle::double_line ? 3
                        : b.style == rt::BorderStyle::thick     ? 2
                                                                : 1;
    return std::max(least, std::round(px(b.width)));
}

void set_borders(QTextTableCellFormat& f, const rt::Borders& borders) {
    const auto brush = [](const rt::Border& b) { return QBrush(colour(b.colour.value_or(rt::Rgb{}))); };
    f.setTopBorder(border_width(borders.top));
    f.setTopBorderStyle(border_style(borders.top.style));
    f.setTopBorderBrush(brush(borders.top));
    f.setLeftBorder(border_width(borders.left));
    f.setLeftBorderStyle(border_style(borders.left.style));
    f.setLeftBorderBrush(brush(borders.left));
    f.setBottomBorder(border_width(borders.bottom));
    f.setBottomBorderStyle(border_style(borders.bottom.style));
    f.setBottomBorderBrush(brush(borders.bottom));
    f.setRightBorder(border_width(borders.right));
    f.setRightBorderStyle(border_style(borders.right.style));
    f.setRightBorderBrush(brush(borders.right));
}

QTextCharFormat char_format(const rt::Format& f, const std::string& link) {
    QTextCharFormat c;
    if (!f.font_family.empty()) c.setFontFamilies({QString::fromStdString(f.font_family)});
    if (f.size_half_points > 0) c.setFontPointSize(f.size_half_points / 2.0);
    if (f.bold) c.setFontWeight(QFont::Bold);
    if (f.italic) c.setFontItalic(true);
    if (f.underline != rt::Underline::none) c.setUnderlineStyle(underline_style(f.underline));
    if (f.strike) c.setFontStrikeOut(true);
    if (f.colour) c.setForeground(colour(*f.colour));
    if (f.background) c.setBackground(colour(*f.background));
    if (f.vertical == rt::VerticalAlign::superscript)
        c.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    if (f.vertical == rt::VerticalAlign::subscript) c.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (!link.empty()) {
        c.setAnchor(true);
        c.setAnchorHref(QString::fromStdString(link));
        if (!f.colour) c.setForeground(QGuiApplication::palette().link());
        if (f.underline == rt::Underline::none) c.setUnderlineStyle(QTextCharFormat::SingleUnderline);
    }
    return c;
}

// A paragraph whose tab stops have leaders: the stops as set on its block.
struct LeaderStops {
    int position = 0;  // of the block
    std::vector<std::pair<qreal, rt::TabLeader>> stops;
};

class PaneBuilder {
  public:
    explicit PaneBuilder(QTextDocument& doc) : doc_(doc), cursor_(&doc) {}

    void build(const rt::Document& d) {
        cursor_.beginEditBlock();
        blocks(d.blocks);
        cursor_.endEditBlock();
        draw_leaders();
    }

  private:
    void blocks(const std::vector<rt::Block>& blocks) {
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            const auto* p = std::get_if<rt::Paragraph>(&blocks[i].content);
            if (p == nullptr) {
                table(std::get<rt::Table>(blocks[i].content));
                continue;
            }
            if (!p->borders.any()) {
                paragraph(*p, false);
                continue;
            }
            // Paragraphs in a row with the same borders share one frame.
            std::vector<const rt::Paragraph*> group{p};
            while (i + 1 < blocks.size()) {
                const auto* next = std::get_if<rt::Paragraph>(&blocks[i + 1].content);
                if (next == nullptr || next->borders != p->borders) break;
                group.push_back(next);
                ++i;
            }
            framed(group);
        }
    }

    // The next paragraph's block: the one the cursor is in while nothing is written there.
    void next_block(const QTextBlockFormat& format) {
        if (fresh_)
            cursor_.setBlockFormat(format);
        else
            cursor_.insertBlock(format, QTextCharFormat());
        fresh_ = false;
    }

    void paragraph(const rt::Paragraph& p, bool in_frame) {
        QTextBlockFormat f;
        switch (p.alignment) {
            case rt::Alignment::left:
                break;
            case rt::Alignment::centre:
                f.setAlignment(Qt::AlignHCenter);
                break;
            case rt::Alignment::right:
                f.setAlignment(Qt::AlignRight);
                break;
            case rt::Alignment::justify:
                f.setAlignment(Qt::AlignJustify);
                break;
        }
        f.setTopMargin(px(p.space_before));
        f.setBottomMargin(px(p.space_after));
        if (!in_frame) {  // a frame is indented itself
            f.setLeftMargin(px(p.left_indent));
            f.setRightMargin(px(p.right_indent));
            if (p.background) f.setBackground(colour(*p.background));
        }
        f.setTextIndent(px(p.first_line_indent));
        if (p.line_multiple)
            f.setLineHeight(p.line_spacing * 100.0 / 240, QTextBlockFormat::ProportionalHeight);
        else if (p.line_spacing > 0)
            f.setLineHeight(px(p.line_spacing), QTextBlockFormat::MinimumHeight);
        else if (p.line_spacing < 0)
            f.setLineHeight(px(-p.line_spacing), QTextBlockFormat::FixedHeight);
        const LeaderStops leaders = set_tabs(f, p);
        next_block(f);
        if (!leaders.stops.empty()) leaders_.push_back({cursor_.block().position(), leaders.stops});

        if (!p.marker.empty()) {
            rt::Format marker = p.runs.empty() ? rt::Format{} : p.runs.front().format;
            marker.underline = rt::Underline::none;
            marker.strike = false;
            // A hanging marker, as word processors set it: a tab takes the text to the indent.
            cursor_.insertText(QString::fromStdString(p.marker) + QLatin1Char('\t'), char_format(marker, {}));
        }
        for (const rt::Run& run : p.runs) {
            const QTextCharFormat format = char_format(run.format, run.link);
            if (run.picture) {
                picture(*run.picture, format);
            } else if (!run.text.empty()) {
                QString text = QString::fromStdString(run.text);
                text.replace(QLatin1Char('\n'), QChar::LineSeparator);
                cursor_.insertText(text, format);
            }
        }
    }

    // Stops are measured from the text's left edge; the box measures from where the first
    // line starts. The indent of a hanging first line is a stop as well.
    static LeaderStops set_tabs(QTextBlockFormat& f, const rt::Paragraph& p) {
        std::vector<std::pair<QTextOption::Tab, rt::TabLeader>> tabs;
        const qreal origin = px(p.left_indent + p.first_line_indent);
        for (const rt::TabStop& stop : p.tabs) {
            const qreal at = px(stop.position) - origin;
            if (at <= 0) continue;
            QTextOption::Tab tab(at, QTextOption::LeftTab);
            if (stop.kind == rt::TabKind::right) tab.type = QTextOption::RightTab;
            if (stop.kind == rt::TabKind::centre) tab.type = QTextOption::CenterTab;
            if (stop.kind == rt::TabKind::decimal)
                tab = QTextOption::Tab(at, QTextOption::DelimiterTab, QLatin1Char('.'));
            tabs.emplace_back(tab, stop.leader);
        }
        if (p.first_line_indent < 0)
            tabs.emplace_back(QTextOption::Tab(px(-p.first_line_indent), QTextOption::LeftTab),
                              rt::TabLeader::none);
        if (tabs.empty()) return {};
        std::stable_sort(tabs.begin(), tabs.end(),
                         [](const auto& a, const auto& b) { return a.first.position < b.first.position; });
        QList<QTextOption::Tab> list;
        LeaderStops leaders;
        bool any = false;
        for (const auto& [tab, leader] : tabs) {
            list.append(tab);
            leaders.stops.emplace_back(tab.position, leader);
            any = any || leader != rt::TabLeader::none;
        }
        f.setTabPositions(list);
        if (!any) leaders.stops.clear();
        return leaders;
    }

    void picture(const rt::Picture& p, QTextCharFormat format) {
        QSizeF size(px(p.width), px(p.height));
        const QImage image = decode(p);
        if (!image.isNull()) {
            if (size.isEmpty()) size = image.size();
            const QUrl name(QStringLiteral("hoopcast-picture:%1").arg(pictures_++));
            doc_.addResource(QTextDocument::ImageResource, name, image);
            QTextImageFormat f;
            f.merge(format);
            f.setName(name.toString());
            f.setWidth(size.width());
            f.setHeight(size.height());
            cursor_.insertImage(f);
            return;
        }
        if (size.isEmpty()) return;  // neither a picture nor a size to keep
        format.setObjectType(kPictureFrameObject);
        format.setProperty(kPictureFrameSize, size);
        cursor_.insertText(QString(QChar::ObjectReplacementCharacter), format);
    }

    QImage decode(const rt::Picture& p) {
        if (p.data.empty() || p.format == rt::PictureFormat::metafile) return {};
        QByteArray bytes = QByteArray::fromRawData(p.data.data(), static_cast<qsizetype>(p.data.size()));
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer, p.format == rt::PictureFormat::png ? "png" : "jpeg");
        const QSize size = reader.size();
        const qint64 pixels = qint64{size.width()} * size.height();
        if (size.isEmpty() || pixels > kMaxPicturePixels ||
            picture_pixels_ + pixels > kMaxDocumentPicturePixels)
            return {};
        picture_pixels_ += pixels;
        QImage image;
        if (!reader.read(&image)) return {};
        return image;
    }

    void table(const rt::Table& t) {
        int columns = 0;
        bool defines_borders = false;
        for (const rt::Row& row : t.rows) {
            columns = std::max(columns, static_cast<int>(row.cells.size()));
            for (const rt::Cell& cell : row.cells) defines_borders = defines_borders || cell.has_borders;
        }
        if (t.rows.empty() || columns == 0) return;
        QTextTableFormat f;
        f.setCellPadding(kCellPadding);
        f.setCellSpacing(0);
        f.setBorderCollapse(true);
        // Without borders of its own a table gets a thin grid, so its cells can be told apart.
        f.setBorder(defines_borders ? 0 : 1);
        f.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        f.setBorderBrush(QColor(128, 128, 128));
        f.setColumnWidthConstraints(column_widths(t, columns));
        QTextTable* table = cursor_.insertTable(static_cast<int>(t.rows.size()), columns, f);
        for (std::size_t r = 0; r < t.rows.size(); ++r) {
            const rt::Row& row = t.rows[r];
            for (std::size_t c = 0; c < row.cells.size(); ++c) {
                const rt::Cell& cell = row.cells[c];
                QTextTableCell qcell = table->cellAt(static_cast<int>(r), static_cast<int>(c));
                QTextTableCellFormat cf = qcell.format().toTableCellFormat();
                if (cell.background) cf.setBackground(colour(*cell.background));
                if (defines_borders) set_borders(cf, cell.borders);
                qcell.setFormat(cf);
                cursor_ = qcell.firstCursorPosition();
                fresh_ = true;
                blocks(cell.blocks);
            }
        }
        leave(*table);
    }

    // Shares of the row, from the first row that gives every cell a width.
    static QList<QTextLength> column_widths(const rt::Table& t, int columns) {
        for (const rt::Row& row : t.rows) {
            if (static_cast<int>(row.cells.size()) != columns) continue;
            long long total = 0;
            bool all = true;
            for (const rt::Cell& cell : row.cells) {
                total += cell.width;
                all = all && cell.width > 0;
            }
            if (!all) continue;
            QList<QTextLength> widths;
            for (const rt::Cell& cell : row.cells)
                widths.append(QTextLength(QTextLength::PercentageLength,
                                          cell.width * 100.0 / static_cast<double>(total)));
            return widths;
        }
        return {};
    }

    // Bordered paragraphs in a frame of one cell, which carries their borders and shading.
    void framed(const std::vector<const rt::Paragraph*>& group) {
        const rt::Paragraph& first = *group.front();
        QTextTableFormat f;
        f.setBorder(0);
        f.setBorderCollapse(true);
        f.setCellSpacing(0);
        f.setCellPadding(std::max<qreal>(1, px(first.borders.space)));
        f.setLeftMargin(px(first.left_indent));
        f.setRightMargin(px(first.right_indent));
        f.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        QTextTable* table = cursor_.insertTable(1, 1, f);
        QTextTableCell cell = table->cellAt(0, 0);
        QTextTableCellFormat cf = cell.format().toTableCellFormat();
        set_borders(cf, first.borders);
        if (first.background) cf.setBackground(colour(*first.background));
        cell.setFormat(cf);
        cursor_ = cell.firstCursorPosition();
        fresh_ = true;
        for (const rt::Paragraph* p : group) paragraph(*p, true);
        leave(*table);
    }

    void leave(const QTextTable& table) {
        cursor_ = table.lastCursorPosition();
        cursor_.movePosition(QTextCursor::NextBlock);
        fresh_ = true;
    }

    // Which stop a tab reaches depends on the text before it, so leaders are drawn once the
    // text is laid out.
    void draw_leaders() {
        if (leaders_.empty()) return;
        doc_.documentLayout()->documentSize();
        QTextCursor c(&doc_);
        c.beginEditBlock();
        for (const LeaderStops& l : leaders_) {
            const QTextBlock block = doc_.findBlock(l.position);
            const QTextLayout* layout = block.layout();
            if (layout == nullptr) continue;
            const QString text = block.text();
            for (int i = 0; i < text.size(); ++i) {
                if (text[i] != QLatin1Char('\t')) continue;
                const QTextLine line = layout->lineForTextPosition(i);
                if (!line.isValid()) continue;
                const qreal x = line.cursorToX(i) - line.x();
                const auto stop = std::find_if(l.stops.begin(), l.stops.end(),
                                               [x](const auto& s) { return s.first > x + 0.5; });
                if (stop == l.stops.end() || stop->second == rt::TabLeader::none) continue;
                c.setPosition(block.position() + i);
                c.setPosition(block.position() + i + 1, QTextCursor::KeepAnchor);
                QTextCharFormat leader;
                leader.setUnderlineStyle(leader_style(stop->second));
                c.mergeCharFormat(leader);
            }
        }
        c.endEditBlock();
    }

    QTextDocument& doc_;
    QTextCursor cursor_;
    bool fresh_ = true;  // the cursor's block holds nothing yet
    std::vector<LeaderStops> leaders_;
    int pictures_ = 0;
    qint64 picture_pixels_ = 0;
};

}  // namespace

void show_description(QTextDocument& pane, const richtext::Document& description) {
    const bool undo = pane.isUndoRedoEnabled();
    pane.setUndoRedoEnabled(false);
    pane.clear();
    QTextOption option = pane.defaultTextOption();
    option.setTabStopDistance(px(description.default_tab));
    pane.setDefaultTextOption(option);
    QAbstractTextDocumentLayout* layout = pane.documentLayout();
    if (layout->handlerForObject(kPictureFrameObject) == nullptr)
        layout->registerHandler(kPictureFrameObject, new PictureFrame(&pane));
    PaneBuilder(pane).build(description);
    pane.setUndoRedoEnabled(undo);
}

}  // namespace hoopcast::app

#include "description_document.moc"
