#pragma once
// Frame composition: every frame is drawn from scratch, into a fresh picture or one the
// caller keeps, over a copy of its court when the caller's cache holds it. The still
// frame shows a sequence's court, its symbols at their first points and, with Sketch on,
// its lines and texts on top; the animation frame shows the court and the moving symbols
// at a step of their way to the next sequence.

#include <cstdint>
#include <memory>
#include <string_view>

#include "drawings/context.h"
#include "play/model.h"

namespace hoopcast {

namespace raster {
class Picture;
class FontLibrary;
class RenderCache;
class PicturePool;
}  // namespace raster

// The caches, like the fonts, belong to whoever draws the frames (a window, an exporter, a
// test) and must outlive the pictures made with them; without them each picture keeps its own.
struct FrameSettings {
    double scale = 1.0;
    int screen_height = 1080;
    const raster::FontLibrary* fonts = nullptr;
    raster::RenderCache* cache = nullptr;
    raster::PicturePool* pool = nullptr;
};

// A fresh picture of the frame size for `settings.scale`, with the wider pen of enlarged
// pictures.
std::unique_ptr<raster::Picture> create_frame_picture(const FrameSettings& settings);

// The picture part of Showcourt for sequence `seq`.
std::unique_ptr<raster::Picture> compose_still_frame(DrawContext& ctx, const FrameSettings& settings, int seq,
                                                     bool sketch);

// The animation frame of sequence `seq` at `step` of `steps`.
std::unique_ptr<raster::Picture> compose_animation_frame(DrawContext& ctx, const FrameSettings& settings,
                                                         int seq, int step, int steps, double fraction);

// The same frames drawn into `picture`, which an owner keeps for a run of frames so that
// they allocate nothing; it must be a picture of create_frame_picture for `settings`
// (fits_frame tells), else nothing is drawn.
bool fits_frame(const raster::Picture& picture, const FrameSettings& settings) noexcept;
void compose_still_frame(raster::Picture& picture, DrawContext& ctx, const FrameSettings& settings, int seq,
                         bool sketch);
void compose_animation_frame(raster::Picture& picture, DrawContext& ctx, const FrameSettings& settings,
                             int seq, int step, int steps, double fraction);

// One symbol at court position (x, y); only player, equipment and ball kinds draw.
void draw_players(raster::Picture& picture, const DrawContext& ctx, std::string_view kind, int x, int y,
                  int number, int extra2, Colour colour, std::string_view text, double scale);

// Every line and text item of sequence `seq`, chains of curved segments as one curve.
void draw_lines(raster::Picture& picture, const DrawContext& ctx, int seq, double scale);

}  // namespace hoopcast
