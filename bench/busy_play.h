#pragma once
// A busy play for the benchmarks: each sequence a coloured full court with zones, 10 labelled
// players, 2 balls, 8 lines, 2 curves and 2 texts; odd sequences shift the players so that
// every sequence animates.

#include <memory>

#include "play/model.h"
#include "play/motion.h"
#include "play/steps.h"

namespace hoopcast::bench {

inline element& put(PlayModel& play, int s, int i, const char* kind, int x1, int y1, int x2 = 0, int y2 = 0) {
    element& e = play.item(s, i);
    e.kind = kind;
    e.x1 = x1;
    e.y1 = y1;
    e.x2 = x2;
    e.y2 = y2;
    e.motion = 0;
    e.taken = aline(kind) || e.kind == "Text";
    return e;
}

// Sequence s of a busy play; `shift` moves the players so that sequences animate.
inline void busy_sequence(PlayModel& play, int s, int shift) {
    play.header(s).court_kind = 5;
    int i = 1;
    put(play, s, i++, "Court", 0, 0).number = 5;
    const char* kinds[] = {"Circle", "Triangle"};
    for (int k = 0; k < 10; ++k) {
        element& e = put(play, s, i++, kinds[k % 2], 60 + (k % 5) * 35 + shift, 40 + (k / 5) * 120 + shift);
        e.number = k / 2 + 1;
        e.text = CrlfText(k % 3 == 0 ? "G" : "");
    }
    put(play, s, i++, "Ball", 100 + shift, 90).number = 1;
    put(play, s, i++, "Ballf", 180, 200 + shift).number = 2;
    const char* lines[] = {"ploop", "ppass", "pdribbel", "pscreen", "shot", "ppass", "ploop", "pdribbel"};
    for (int k = 0; k < 8; ++k) put(play, s, i++, lines[k], 60 + k * 20, 300, 80 + k * 20, 230);
    put(play, s, i++, "loop", 60, 60, 120, 90).extra2 = 1;
    put(play, s, i++, "ploop", 120, 90, 200, 60);
    put(play, s, i++, "pass", 200, 300, 150, 250).extra2 = 1;
    put(play, s, i++, "ppass", 150, 250, 100, 320);
    element& t1 = put(play, s, i++, "Text", 150, 20);
    t1.text = CrlfText("Press!\nTrap the corner");
    t1.extra1 = 12;
    element& t2 = put(play, s, i++, "Text", 60, 330);
    t2.text = CrlfText("Rotate");
    t2.extra1 = 10;
    put(play, s, i++, "ellipse", 60, 30, 120, 80);
    put(play, s, i++, "ellipse", 170, 280, 230, 340);
    put(play, s, i++, "ellipse", 120, 160, 170, 200);
    put(play, s, i++, "poly", 50, 150);
    put(play, s, i++, "poly", 240, 150);
    put(play, s, i++, "ppoly", 145, 220).colour = 0x0000FF;
    play.has_zones = true;
}

inline std::unique_ptr<PlayModel> busy_play(int sequences) {
    auto play = std::make_unique<PlayModel>();
    play->seq_count = sequences;
    for (int s = 1; s <= sequences; ++s) busy_sequence(*play, s, (s % 2) * 30);
    get_players(*play);
    return play;
}

}  // namespace hoopcast::bench
