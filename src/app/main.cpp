#include <QApplication>

#include "app/main_window.h"
#include "raster/frame_memory.h"

int main(int argc, char** argv) {
    hoopcast::raster::keep_frame_memory();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("hoopcast"));
    QApplication::setApplicationDisplayName(QStringLiteral("Basketball play viewer"));
    QApplication::setDesktopFileName(QStringLiteral("hoopcast"));

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    hoopcast::app::TForm12 form(arguments);
    form.show();
    return QApplication::exec();
}
