#pragma once
// What every drawing routine reads besides the picture and the scale: the black-and-white
// switch that the court drawing sets for everything drawn after it, and the display
// defaults. One context per window (or test, or exporter); never global.

#include "play/model.h"

namespace hoopcast {

struct DrawContext {
    const PlayModel& play;
    const DisplayDefaults& defaults;
    // Set by draw_court from the court kind; read by zones, symbols, lines and texts.
    bool monochrome = false;
};

}  // namespace hoopcast
