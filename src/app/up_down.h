#pragma once
// A spinner of two arrow buttons attached to a read-only text box, as the speed controls
// are: the box shows the position, the arrows move it by the current increment.

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace hoopcast::app {

class UpDown : public QWidget {
    Q_OBJECT
  public:
    UpDown(QLineEdit* buddy, QWidget* parent);

    int position() const noexcept { return position_; }
    // Sets the position and shows it, without telling anyone.
    void set_position(int value);
    int increment() const noexcept { return increment_; }
    void set_increment(int step) noexcept { increment_ = step < 1 ? 1 : step; }
    void set_range(int min, int max) noexcept;

    // The arrows and the arrow keys on the buddy box.
    void step_up() { step_by(increment_); }
    void step_down() { step_by(-increment_); }

  signals:
    // The user moved the position to `value`.
    void changing(int value);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void step_by(int delta);

    QLineEdit* buddy_;
    QToolButton* up_;
    QToolButton* down_;
    int position_ = 0;
    int min_ = 0;
    int max_ = 100;
    int increment_ = 1;
};

}  // namespace hoopcast::app
