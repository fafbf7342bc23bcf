#pragma once
// The window's modal message boxes with one OK button. A reader's message may quote a line
// of the file, and a line can be megabytes long: the box shows it shortened so it fits.

#include <QMessageBox>

namespace hoopcast::app {

void show_message(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text);

}  // namespace hoopcast::app
