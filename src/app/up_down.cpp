#include "app/up_down.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace hoopcast::app {

UpDown::UpDown(QLineEdit* buddy, QWidget* parent) : QWidget(parent), buddy_(buddy) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    up_ = new QToolButton(this);
    down_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        layout->addWidget(b);
    }
    up_->setAccessibleName(tr("Increase"));
    down_->setAccessibleName(tr("Decrease"));
    connect(up_, &QToolButton::clicked, this, &UpDown::step_up);
    connect(down_, &QToolButton::clicked, this, &UpDown::step_down);
    buddy_->setReadOnly(true);
    buddy_->installEventFilter(this);
}

void UpDown::set_range(int min, int max) noexcept {
    min_ = min;
    max_ = max;
}

void UpDown::set_position(int value) {
    position_ = std::clamp(value, min_, max_);
    buddy_->setText(QString::number(position_));
}

void UpDown::step_by(int delta) {
    const int next = std::clamp(position_ + delta, min_, max_);
    if (next == position_) return;
    set_position(next);
    emit changing(next);
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddy_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up) {
            step_up();
            return true;
        }
        if (key->key() == Qt::Key_Down) {
            step_down();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace hoopcast::app
