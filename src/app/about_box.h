#pragma once

#include <QDialog>

namespace hoopcast::app {

// The About box: the program icon, its name and version, and a notice.
class TAboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit TAboutBox(QWidget* parent);
};

}  // namespace hoopcast::app
