#include "app/shown_text.h"

#include <QWidget>

#include "play/codepage.h"

namespace hoopcast::app {

QString from_play_text(std::string_view bytes) {
    return QString::fromStdString(cp1252_to_utf8(bytes));
}

QString as_window_title(const QString& text) {
    QString title = text;
    return title.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
}

void give_dialog_frame(QWidget& dialog) {
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint);
}

}  // namespace hoopcast::app
