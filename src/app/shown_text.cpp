#include "app/shown_text.h"

#include "play/codepage.h"

namespace hoopcast::app {

QString from_play_text(std::string_view bytes) {
    return QString::fromStdString(cp1252_to_utf8(bytes));
}

QString as_window_title(const QString& text) {
    QString title = text;
    return title.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
}

}  // namespace hoopcast::app
