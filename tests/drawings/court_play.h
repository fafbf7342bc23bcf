#pragma once
// Plays built in code for the court and zone tests.

#include <memory>
#include <string>

#include "drawings/context.h"
#include "play/model.h"
#include "raster/picture.h"

namespace hoopcast::testing {

struct ZoneItem {
    std::string kind;
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    Colour colour = 0;
    int extra1 = 0;
    int extra2 = 0;
    int extra3 = 0;
};

// Puts the item into the first free slot of sequence s.
inline void add_item(PlayModel& play, int s, const ZoneItem& z) {
    for (int i = 1; i < kSlotsPerSequence; ++i) {
        element& e = play.item(s, i);
        if (!e.kind.empty()) continue;
        e.kind = z.kind;
        e.x1 = z.x1;
        e.y1 = z.y1;
        e.x2 = z.x2;
        e.y2 = z.y2;
        e.colour = z.colour;
        e.extra1 = z.extra1;
        e.extra2 = z.extra2;
        e.extra3 = z.extra3;
        if (z.kind == "ellipse" || z.kind == "poly") play.has_zones = true;
        return;
    }
}

// The model, its display defaults and a context over them, kept together.
struct Scene {
    std::unique_ptr<PlayModel> play = std::make_unique<PlayModel>();
    DisplayDefaults defaults;
    DrawContext ctx{*play, defaults, false};
};

// Fourteen sequences, sequence s showing court kind s - 1, each with the same zones: a grey
// ellipse over the lane and three-point line, a blue one in the corner, a green one past
// the right edge with its blue channel switched off, a red quadrilateral, and a "poly"
// left unclosed. Some coloured kinds keep the default colours, others bring their own.
inline void fill_court_play(PlayModel& play) {
    play.seq_count = 14;
    for (int s = 1; s <= 14; ++s) {
        court_element& h = play.header(s);
        h.court_kind = s - 1;
        if (s == 5 || s == 10 || s == 14) {
            h.colour1 = 0xE0E0E0;
            h.colour2 = 0x3070C0;
            h.colour3 = 0x80C0F0;
            h.colour4 = 0xA05020;
        }
        if (s == 11) h.colour4 = 0x4040FF;
        add_item(play, s, {"Circle", 40, 40});
        add_item(play, s, {"ellipse", 150, 230, 230, 300});
        add_item(play, s, {"ellipse", 100, 20, 20, 120, 0xFF8040});
        add_item(play, s, {"ellipse", 200, 100, 300, 200, 0x80FF80, 0, 0, 1});
        add_item(play, s, {"poly", 30, 150});
        add_item(play, s, {"poly", 120, 120});
        add_item(play, s, {"pass", 10, 10, 50, 50});
        add_item(play, s, {"poly", 140, 200});
        add_item(play, s, {"ppoly", 40, 230, 0, 0, 0x2020E0});
        add_item(play, s, {"poly", 60, 330});
    }
}

}  // namespace hoopcast::testing
