#include "app/colour_box.h"

#include <QPainter>
#include <QPixmap>

namespace hoopcast::app {

namespace {
QIcon swatch(raster::Colour c) {
    QPixmap pixmap(16, 12);
    pixmap.fill(QColor(raster::red_of(c), raster::green_of(c), raster::blue_of(c)));
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, 15, 11);
    return QIcon(pixmap);
}
}  // namespace

ColourBox::ColourBox(QWidget* parent) : QComboBox(parent) {
    setIconSize(QSize(16, 12));
    for (const NamedColour& c : kStandardColours) addItem(swatch(c.colour), QString::fromLatin1(c.name));
    setAccessibleName(tr("Sketch colour"));
}

raster::Colour ColourBox::selected_colour() const {
    const int i = currentIndex();
    return i >= 0 && i < static_cast<int>(kStandardColours.size())
               ? kStandardColours[static_cast<std::size_t>(i)].colour
               : kBlue;
}

}  // namespace hoopcast::app
