#include "app/message_box.h"

#include <QFontMetrics>
#include <QScreen>

#include "app/dialog_frame.h"

namespace hoopcast::app {

namespace {
// More than a screen holds at any font size; the rest is cut before the text is measured.
constexpr qsizetype kMeasuredEnd = 2000;
}  // namespace

void show_message(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text) {
    QMessageBox box(icon, title, QString(), QMessageBox::Ok, parent);
    give_dialog_frame(box);
    // The text is the file's, never markup.
    box.setTextFormat(Qt::PlainText);
    QString shown = text;
    if (shown.size() > 2 * kMeasuredEnd) {
        shown = shown.left(kMeasuredEnd) + QChar(0x2026) + shown.right(kMeasuredEnd);
    }
    // One screen width of text, which the box wraps into a few lines. Cut in the middle, so
    // the start and the end of the message ("... is not supported") stay readable.
    const QScreen* screen =
        parent != nullptr && parent->screen() != nullptr ? parent->screen() : box.screen();
    const int width = screen != nullptr ? screen->availableGeometry().width() : 1024;
    box.setText(QFontMetrics(box.font()).elidedText(shown, Qt::ElideMiddle, width));
    box.exec();
}

}  // namespace hoopcast::app
