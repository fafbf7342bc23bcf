#pragma once
// What every drawing routine reads besides the picture and the scale: the black-and-white
// switch that the court drawing sets for everything drawn after it, and the display
// defaults, and the owner's arc cache. One context per window (or test, or exporter); never global.

#include "play/model.h"

namespace hoopcast {

class ArcCache;

struct DrawContext {
    const PlayModel& play;
    const DisplayDefaults& defaults;
    // Set by draw_court from the court kind; read by zones, symbols, lines and texts.
    bool monochrome = false;
    // Kept by the owner from frame to frame; without it each curve keeps its own.
    ArcCache* arcs = nullptr;
};

}  // namespace hoopcast
