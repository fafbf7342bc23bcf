#include "app/icons.h"

#include <QApplication>
#include <QStyle>

namespace hoopcast::app {

QIcon program_icon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/hoopcast/icons/hoopcast-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

QIcon playback_icon(PlaybackIcon which) {
    QStyle* style = QApplication::style();
    switch (which) {
        case PlaybackIcon::play:
            return style->standardIcon(QStyle::SP_MediaPlay);
        case PlaybackIcon::pause:
            return style->standardIcon(QStyle::SP_MediaPause);
        case PlaybackIcon::stop:
            return style->standardIcon(QStyle::SP_MediaStop);
        case PlaybackIcon::previous:
            return style->standardIcon(QStyle::SP_MediaSkipBackward);
        case PlaybackIcon::next:
            return style->standardIcon(QStyle::SP_MediaSkipForward);
        case PlaybackIcon::cancel:
            return style->standardIcon(QStyle::SP_DialogCancelButton);
    }
    return {};
}

}  // namespace hoopcast::app
