#include "app/about_box.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "app/icons.h"

namespace hoopcast::app {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(219, 164);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);

    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setGeometry(8, 8, 201, 113);

    auto* icon = new QLabel(panel);
    icon->setGeometry(16, 16, 41, 41);
    icon->setPixmap(program_icon().pixmap(QSize(41, 41)));
    icon->setScaledContents(true);

    auto* name = new QLabel(QStringLiteral("Basketball Hoopcast"), panel);
    name->move(88, 16);
    auto* version = new QLabel(QStringLiteral("Version 0.3a"), panel);
    version->move(88, 40);
    auto* notice = new QLabel(tr("Shows and animates basketball plays."), panel);
    notice->move(8, 80);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(72, 128, 75, 25);
    QFont bold(QStringLiteral("Arial"));
    bold.setPixelSize(13);
    bold.setBold(true);
    ok->setFont(bold);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace hoopcast::app
