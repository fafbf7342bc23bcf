#include <QApplication>

#include "app/main_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The task bar names the program from the desktop entry that the window class and the
    // desktop file name point to. No display name: Qt would append it to every window title.
    QApplication::setApplicationName(QStringLiteral("hoopcast"));
    QApplication::setDesktopFileName(QStringLiteral("hoopcast"));

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    hoopcast::app::TForm12 form(arguments);
    form.show();
    return QApplication::exec();
}
