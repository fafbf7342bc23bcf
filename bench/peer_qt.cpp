// The busy frame drawn with QPainter: an RGB32 QImage, anti-aliasing off for shapes and
// glyphs, text through our own font file added to the application's fonts.

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cstdlib>
#include <optional>

#include "peers.h"

namespace hoopcast::bench {
namespace {

QColor qcolour(unsigned c, double alpha = 1.0) {
    QColor q((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
    q.setAlphaF(static_cast<float>(alpha));
    return q;
}

QPolygonF qpolygon(const std::vector<PeerPoint>& points) {
    QPolygonF q;
    q.reserve(static_cast<qsizetype>(points.size()));
    for (const PeerPoint& p : points) q.append(QPointF(p.x, p.y));
    return q;
}

// QPainter needs a running application for its fonts; the benchmark has none of its own.
QGuiApplication& application() {
    static int argc = 1;
    static char name[] = "bench_frames";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QGuiApplication(argc, argv);
    }();
    return *app;
}

class QtPainter final : public PeerPainter {
  public:
    std::optional<QPainter> painter;
    QString family;
    QPen qpen;

    void fill(unsigned colour) override {
        painter->fillRect(QRectF(0, 0, painter->device()->width(), painter->device()->height()),
                          qcolour(colour));
    }
    void pen(unsigned colour, double width, bool dashed) override {
        qpen =
            QPen(qcolour(colour), width, dashed ? Qt::DashLine : Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter->setPen(qpen);
    }
    void line(PeerPoint a, PeerPoint b) override { painter->drawLine(QPointF(a.x, a.y), QPointF(b.x, b.y)); }
    void polyline(const std::vector<PeerPoint>& points) override { painter->drawPolyline(qpolygon(points)); }
    void brush_for(const unsigned* fill_colour, bool outline) {
        painter->setBrush(fill_colour != nullptr ? QBrush(qcolour(*fill_colour)) : QBrush(Qt::NoBrush));
        painter->setPen(outline ? qpen : QPen(Qt::NoPen));
    }
    void polygon(const std::vector<PeerPoint>& points, const unsigned* fill_colour, bool outline) override {
        brush_for(fill_colour, outline);
        painter->drawPolygon(qpolygon(points), Qt::OddEvenFill);
        painter->setPen(qpen);
    }
    void ellipse(PeerPoint c, double rx, double ry, const unsigned* fill_colour, bool outline) override {
        brush_for(fill_colour, outline);
        painter->drawEllipse(QPointF(c.x, c.y), rx, ry);
        painter->setPen(qpen);
    }
    void arc(PeerPoint c, double r, double from, double to) override {
        // Qt counts angles in sixteenths of a degree, anticlockwise.
        const double deg = 180.0 / std::numbers::pi;
        painter->drawArc(QRectF(c.x - r, c.y - r, 2 * r, 2 * r), static_cast<int>(-from * deg * 16),
                         static_cast<int>(-(to - from) * deg * 16));
    }
    void tint_polygon(const std::vector<PeerPoint>& points, unsigned colour, double alpha) override {
        painter->setPen(Qt::NoPen);
        painter->setBrush(qcolour(colour, alpha));
        painter->drawPolygon(qpolygon(points));
        painter->setPen(qpen);
    }
    void tint_ellipse(PeerPoint c, double rx, double ry, unsigned colour, double alpha) override {
        painter->setPen(Qt::NoPen);
        painter->setBrush(qcolour(colour, alpha));
        painter->drawEllipse(QPointF(c.x, c.y), rx, ry);
        painter->setPen(qpen);
    }
    void text(PeerPoint p, const std::string& s, double pixels, unsigned colour) override {
        QFont font(family);
        font.setPixelSize(static_cast<int>(pixels + 0.5));
        font.setStyleStrategy(QFont::NoAntialias);
        painter->setFont(font);
        painter->setPen(qcolour(colour));
        painter->drawText(QPointF(p.x, p.y + painter->fontMetrics().ascent()), QString::fromUtf8(s));
        painter->setPen(qpen);
    }
};

class QtImage final : public PeerImage {
  public:
    QtImage(int width, int height, const std::string& font_file) : width_(width), height_(height) {
        application();
        const int id = QFontDatabase::addApplicationFont(QString::fromStdString(font_file));
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        painter_.family = families.isEmpty() ? QStringLiteral("Liberation Sans") : families.first();
    }

    PeerPainter& begin(bool fresh) override {
        if (fresh || image_.isNull()) image_ = QImage(width_, height_, QImage::Format_RGB32);
        painter_.painter.emplace(&image_);
        painter_.painter->setRenderHint(QPainter::Antialiasing, false);
        painter_.painter->setRenderHint(QPainter::TextAntialiasing, false);
        return painter_;
    }
    void end() override { painter_.painter.reset(); }
    bool write_png(const std::string& path) override {
        return image_.save(QString::fromStdString(path), "PNG");
    }

  private:
    int width_, height_;
    QImage image_;
    QtPainter painter_;
};

}  // namespace

std::unique_ptr<PeerImage> make_qt_peer(int width, int height, const std::string& font_file) {
    return std::make_unique<QtImage>(width, height, font_file);
}

}  // namespace hoopcast::bench
