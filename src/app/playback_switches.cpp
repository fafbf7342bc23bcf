#include "app/playback_switches.h"

#include <QCheckBox>
#include <QSignalBlocker>

#include "app/up_down.h"
#include "playback/engine.h"

namespace hoopcast::app {

void PlaybackSwitches::set_sketch(bool on) {
    sketch_ = on;
    show_all();
}

void PlaybackSwitches::set_loop(bool on) {
    loop_ = on;
    show_all();
}

void PlaybackSwitches::set_speed(int ms) {
    speed_ = ms;
    show_all();
}

// Each spinner steps by the increment its position calls for.
void PlaybackSwitches::show_all() {
    for (QCheckBox* b : sketch_boxes_) {
        const QSignalBlocker quiet(b);
        b->setChecked(sketch_);
    }
    for (QCheckBox* b : loop_boxes_) {
        const QSignalBlocker quiet(b);
        b->setChecked(loop_);
    }
    for (UpDown* s : spinners_) {
        s->set_position(speed_);
        s->set_increment(speed_increment(s->position()));
    }
}

void PlaybackSwitches::show_sketch_in(QCheckBox* box) {
    sketch_boxes_.push_back(box);
    connect(box, &QCheckBox::clicked, this, [this, box](bool checked) {
        set_sketch(checked);
        emit sketch_clicked(box);
    });
    show_all();
}

void PlaybackSwitches::show_loop_in(QCheckBox* box) {
    loop_boxes_.push_back(box);
    connect(box, &QCheckBox::clicked, this, [this, box](bool checked) {
        set_loop(checked);
        emit loop_clicked(box);
    });
    show_all();
}

void PlaybackSwitches::show_speed_in(UpDown* spinner) {
    spinners_.push_back(spinner);
    connect(spinner, &UpDown::changing, this, [this, spinner](int ms) {
        set_speed(ms);
        emit speed_changing(spinner, ms);
    });
    speed_ = spinner->position();
    show_all();
}

}  // namespace hoopcast::app
