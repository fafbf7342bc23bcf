#include "app/about_box.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "app/dialog_frame.h"
#include "app/icons.h"

namespace hoopcast::app {

namespace {

// The box at its design size: the panel's margins, the icon and the texts beside and below
// it, the OK button centred below the panel. Texts wider or taller than the design's room
// (a wider fallback for the font) widen or lengthen the panel and the box around them.
constexpr int kMargin = 8;
constexpr QRect kPanel(8, 8, 201, 113);
constexpr QRect kIcon(16, 16, 41, 41);
constexpr QPoint kName(88, 16);
constexpr QPoint kVersion(88, 40);
constexpr QPoint kNotice(8, 80);
constexpr QSize kOk(75, 25);
constexpr QSize kClient(219, 164);
constexpr int kOkBelowPanel = 128 - (8 + 113);

QLabel* text_label(const QString& text, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->resize(label->sizeHint());
    return label;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About"));
    give_dialog_frame(*this);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);

    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);

    auto* icon = new QLabel(panel);
    icon->setGeometry(kIcon);
    icon->setPixmap(program_icon().pixmap(kIcon.size()));
    icon->setScaledContents(true);

    // Measured in the font the labels are drawn in, whichever the system gave for it.
    QLabel* name = text_label(QStringLiteral("Basketball Hoopcast"), panel);
    QLabel* version = text_label(QStringLiteral("Version 0.3a"), panel);
    QLabel* notice = text_label(tr("Shows and animates basketball plays."), panel);
    name->move(kName);
    version->move(kVersion.x(), std::max(kVersion.y(), name->geometry().bottom() + 1 + kMargin / 2));
    notice->move(kNotice.x(), std::max({kNotice.y(), version->geometry().bottom() + 1 + kMargin,
                                        kIcon.bottom() + 1 + kMargin}));
    int width = kPanel.width();
    int height = kPanel.height();
    for (const QLabel* l : {name, version, notice}) {
        width = std::max(width, l->geometry().right() + 1 + kMargin);
        height = std::max(height, l->geometry().bottom() + 1 + kMargin);
    }
    panel->setGeometry(kPanel.x(), kPanel.y(), width, height);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    const int client_width = width + (kClient.width() - kPanel.width());
    const int ok_top = kPanel.y() + height + kOkBelowPanel;
    ok->setGeometry((client_width - kOk.width()) / 2, ok_top, kOk.width(), kOk.height());
    QFont bold(QStringLiteral("Arial"));
    bold.setPixelSize(13);
    bold.setBold(true);
    ok->setFont(bold);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(client_width, ok_top + kOk.height() + (kClient.height() - 128 - kOk.height()));
}

}  // namespace hoopcast::app
