#include <QApplication>

#include "app/file_names.h"
#include "app/main_window.h"

int main(int argc, char** argv) {
    // Qt takes its own options (-style, -platform ...) out of argv; the rest name the play.
    QApplication app(argc, argv);
    // The task bar names the program from the desktop entry that the window class and the
    // desktop file name point to. No display name: Qt would append it to every window title.
    QApplication::setApplicationName(QStringLiteral("hoopcast"));
    QApplication::setDesktopFileName(QStringLiteral("hoopcast"));

    // The arguments as bytes: a file name need not be UTF-8.
    hoopcast::app::TForm12 form(hoopcast::app::command_line_arguments(argc, argv));
    form.show();
    return QApplication::exec();
}
