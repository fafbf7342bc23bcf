#pragma once
// Sketch, Loop and the speed: one value each, shown by the main window's controls and by
// the floating panel's alike, so the two sets never disagree whichever the coach used.

#include <QObject>
#include <vector>

class QCheckBox;

namespace hoopcast::app {

class UpDown;

class PlaybackSwitches : public QObject {
    Q_OBJECT
  public:
    explicit PlaybackSwitches(QObject* parent = nullptr) : QObject(parent) {}

    bool sketch() const noexcept { return sketch_; }
    bool loop() const noexcept { return loop_; }
    int speed() const noexcept { return speed_; }
    // Set the value and show it everywhere; no signal, as when the program sets it itself.
    void set_sketch(bool on);
    void set_loop(bool on);
    void set_speed(int ms);

    // Controls that show a switch and change it when used.
    void show_sketch_in(QCheckBox* box);
    void show_loop_in(QCheckBox* box);
    void show_speed_in(UpDown* spinner);

  signals:
    // The coach changed a switch through `box`; the value is set already.
    void sketch_clicked(QCheckBox* box);
    void loop_clicked(QCheckBox* box);
    // The coach moved a speed control to `ms`.
    void speed_changing(UpDown* spinner, int ms);

  private:
    void show_all();

    bool sketch_ = true;
    bool loop_ = false;
    int speed_ = 0;
    std::vector<QCheckBox*> sketch_boxes_;
    std::vector<QCheckBox*> loop_boxes_;
    std::vector<UpDown*> spinners_;
};

}  // namespace hoopcast::app
