#include "app/court_view.h"

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <cstring>

namespace hoopcast::app {

namespace {
QColor to_qcolor(raster::Colour c) {
    return QColor(raster::red_of(c), raster::green_of(c), raster::blue_of(c));
}
}  // namespace

CourtView::CourtView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setAccessibleName(tr("Court"));
}

void CourtView::show_picture(const raster::Bitmap& picture) {
    if (!held_ || held_->width() != picture.width() || held_->height() != picture.height()) {
        held_ = std::make_unique<raster::Picture>(picture.width(), picture.height());
        std::memcpy(held_->bitmap().bytes().data(), picture.bytes().data(), picture.bytes().size());
        update();
        return;
    }
    // Only what changed is copied and repainted: while players move, a small part of the court.
    const raster::Rect changed = raster::changed_rect(held_->bitmap(), picture);
    if (changed.right <= changed.left) return;
    raster::Bitmap& held = held_->bitmap();
    const auto offset = static_cast<std::size_t>(changed.left) * 3;
    const auto length = static_cast<std::size_t>(changed.right - changed.left) * 3;
    for (int y = changed.top; y < changed.bottom; ++y)
        std::memcpy(held.scan_line(y) + offset, picture.scan_line(y) + offset, length);
    update(QRect(changed.left, changed.top, changed.right - changed.left, changed.bottom - changed.top));
}

std::optional<raster::Colour> CourtView::colour_at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return std::nullopt;
    if (!held_ || !held_->bitmap().contains(x, y)) return kEmptyColour;
    return held_->bitmap().pixel(x, y);
}

void CourtView::set_empty_colour(raster::Colour colour) {
    if (colour == empty_colour_) return;
    empty_colour_ = colour;
    update();
}

void CourtView::begin_sketch(int x, int y, raster::Colour colour, int width) {
    if (!held_) return;
    raster::Canvas& canvas = held_->canvas();
    canvas.pen.colour = colour;
    canvas.pen.width = width;
    canvas.move_to(x, y);
    canvas.line_to(x, y);
    update();
}

void CourtView::sketch_to(int x, int y) {
    if (!held_) return;
    held_->canvas().line_to(x, y);
    update();
}

void CourtView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    if (!held_ || held_->bitmap().empty()) {
        painter.fillRect(area, to_qcolor(empty_colour_));
        return;
    }
    const raster::Bitmap& b = held_->bitmap();
    const QRect picture_rect(0, 0, b.width(), b.height());
    for (const QRect& around : QRegion(area).subtracted(picture_rect))
        painter.fillRect(around, to_qcolor(empty_colour_));
    const QRect shown = area & picture_rect;
    if (shown.isEmpty()) return;
    // The picture's pixels as they are, no copy; scaled on high-density screens without
    // smoothing so the lines stay crisp.
    const QImage image(b.bytes().data(), b.width(), b.height(), static_cast<qsizetype>(b.stride()),
                       QImage::Format_BGR888);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(shown.topLeft(), image, shown);
}

void CourtView::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit mouse_pressed(event->button(), p.x(), p.y());
}

void CourtView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit mouse_moved(p.x(), p.y());
}

void CourtView::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit mouse_released(event->button(), p.x(), p.y());
}

}  // namespace hoopcast::app
