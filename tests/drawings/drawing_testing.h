#pragma once
// Helpers for the drawing tests: a play context, white pictures and pixel queries.

#include <algorithm>
#include <cstdint>
#include <functional>

#include "drawings/context.h"
#include "play/model.h"
#include "raster/fonts.h"
#include "raster/picture.h"

namespace hoopcast::testing {

// One font library for all tests: faces are opened once.
inline const raster::FontLibrary* fonts() {
    static const raster::FontLibrary library;
    return &library;
}

struct TestContext {
    PlayModel play;
    DisplayDefaults defaults;
    DrawContext ctx{play, defaults, false};
};

inline bool is_white(raster::Colour c) {
    return c == 0xFFFFFF;
}

// Number of pixels that are not white.
inline int inked(const raster::Picture& picture) {
    int n = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) n += is_white(picture.bitmap().pixel(x, y)) ? 0 : 1;
    return n;
}

// Whether every pixel satisfies the predicate.
inline bool all_pixels(const raster::Picture& picture, const std::function<bool(raster::Colour)>& pred) {
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (!pred(picture.bitmap().pixel(x, y))) return false;
    return true;
}

inline bool same_pixels(const raster::Picture& a, const raster::Picture& b) {
    return a.width() == b.width() && a.height() == b.height() &&
           std::equal(a.bitmap().bytes().begin(), a.bitmap().bytes().end(), b.bitmap().bytes().begin());
}

// Non-white pixels in column x from row y0 up to but not including row y1.
inline int column_ink(const raster::Picture& picture, int x, int y0, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y) n += is_white(picture.bitmap().pixel(x, y)) ? 0 : 1;
    return n;
}

}  // namespace hoopcast::testing
