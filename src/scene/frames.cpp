#include "scene/frames.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "drawings/courts.h"
#include "drawings/curves.h"
#include "drawings/symbols.h"
#include "play/motion.h"
#include "raster/picture.h"
#include "raster/render_cache.h"
#include "scene/mapping.h"

namespace hoopcast {

namespace {

// Item coordinates reach the line pass as their low 16 bits, signed.
int low16(std::int32_t v) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(v & 0xFFFF));
}

void widen_pen_for_scale(raster::Picture& picture, double scale) {
    if (scale > 1.1) picture.canvas().pen.width = frame_pen_width(scale);
}

// The closing kind of a chain: "loop" closes with "ploop", "pass" with "ppass", and a
// kind that already begins with "p" (other than "pass") closes itself.
std::string closing_kind(std::string_view kind) {
    if (!kind.empty() && kind.front() == 'p' && kind != "pass") return std::string(kind);
    return "p" + std::string(kind);
}

// Draws the symbols of sequence `seq` at `step`; still frames ask for step 0.
template <typename Position>
void draw_symbols(raster::Picture& picture, const DrawContext& ctx, int seq, double scale,
                  Position position) {
    for (int i = 1; i <= kSlotsPerSequence; ++i) {
        const element& e = ctx.play.item(seq, i);
        if (e.kind.empty()) break;
        if (e.motion < 1 || e.motion > 3) continue;
        const auto [x, y] = position(i, e.motion);
        draw_players(picture, ctx, e.kind, x, y, e.number, e.extra2, e.colour, e.text.lf(), scale);
    }
}

std::unique_ptr<raster::Picture> frame_picture(const FrameSettings& settings, raster::PixelStart start) {
    const PictureSize size = frame_picture_size(settings.scale);
    auto picture = std::make_unique<raster::Picture>(size.width, size.height, settings.fonts, start,
                                                     settings.cache, settings.pool);
    picture->canvas().screen_height = settings.screen_height;
    widen_pen_for_scale(*picture, settings.scale);
    return picture;
}

// Everything the court of a frame depends on: its kind and colours, the zones of its
// sequence, the picture's size and starting pen, and the black-and-white switch where the
// court leaves it as it found it. Compared byte for byte, so it is zeroed before it is filled.
struct CourtKey {
    struct Zone {
        std::int32_t kind;  // 1 ellipse, 2 poly, 3 ppoly
        std::int32_t x1, y1, x2, y2, extra1, extra2, extra3;
        Colour colour;
    };
    double scale;
    std::int32_t screen_height, width, height, pen_width, court_kind;
    std::array<Colour, 4> colours;
    std::uint8_t has_zones, monochrome;
    std::int32_t zone_count;
    std::array<Zone, kSlotsPerSequence> zones;
};

void fill_court_key(CourtKey& key, const DrawContext& ctx, const raster::Picture& picture, double scale,
                    int seq) {
    std::memset(&key, 0, sizeof key);
    key.scale = scale;
    key.screen_height = picture.canvas().screen_height;
    key.width = picture.width();
    key.height = picture.height();
    key.pen_width = picture.canvas().pen.width;
    key.court_kind = ctx.play.header(seq).court_kind;
    key.colours = court_colours(ctx, seq);
    key.has_zones = ctx.play.has_zones ? 1 : 0;
    // Read only by a court that leaves the switch as it found it.
    key.monochrome = !court_monochrome(key.court_kind).has_value() && ctx.monochrome ? 1 : 0;
    for (int i = 1; i <= kSlotsPerSequence; ++i) {
        const element& e = ctx.play.item(seq, i);
        if (e.kind.empty()) break;
        const std::int32_t kind = e.kind == "ellipse" ? 1 : e.kind == "poly" ? 2 : e.kind == "ppoly" ? 3 : 0;
        if (kind == 0) continue;
        key.zones[static_cast<std::size_t>(key.zone_count++)] = {kind,     e.x1,     e.y1,     e.x2,    e.y2,
                                                                 e.extra1, e.extra2, e.extra3, e.colour};
    }
}

// Draws the court of sequence `seq` on `picture`, whose pixels are unset and whose drawing
// state is a new picture's. With a cache, the court is drawn once and later frames over the
// same court start from a copy of it: the court comes first in every frame, so nothing drawn
// before it can differ.
void start_with_court(raster::Picture& picture, DrawContext& ctx, const FrameSettings& settings, int seq) {
    const int court_kind = ctx.play.header(seq).court_kind;
    auto draw = [&] {
        // Left unset where the court paints every pixel anyway.
        if (!court_paints_every_pixel(picture.width(), picture.height(), settings.screen_height))
            picture.bitmap().fill(0xFFFFFF);
        draw_court(picture, ctx, court_kind, seq, settings.scale);
    };
    if (settings.cache == nullptr || picture.bitmap().empty() || !(seq >= 1 && seq <= kMaxSequences)) {
        draw();
        return;
    }
    raster::Background& background = settings.cache->background();
    CourtKey key;
    fill_court_key(key, ctx, picture, settings.scale, seq);
    const auto key_bytes = std::as_bytes(std::span(&key, 1));
    if (background.holds(key_bytes)) {
        background.start(picture);
        ctx.monochrome = court_monochrome(court_kind).value_or(ctx.monochrome);
        return;
    }
    draw();
    background.keep(key_bytes, picture);
}

// A new picture's drawing state, for a picture used for one frame after another.
void reset_frame_picture(raster::Picture& picture, const FrameSettings& settings) {
    raster::Canvas& canvas = picture.canvas();
    canvas.pen = raster::Pen{};
    canvas.brush = raster::Brush{};
    canvas.font = raster::Font{};
    canvas.move_to(0, 0);
    canvas.screen_height = settings.screen_height;
    widen_pen_for_scale(picture, settings.scale);
}

void draw_still(raster::Picture& picture, DrawContext& ctx, const FrameSettings& settings, int seq,
                bool sketch) {
    start_with_court(picture, ctx, settings, seq);
    const double scale = settings.scale;
    draw_symbols(picture, ctx, seq, scale, [&](int i, int motion) {
        const PlayModel& play = ctx.play;
        const int x =
            motion == 1 ? calc_wrk_x1(play, seq, i, 0, 1, 0.0) : calc_wrk_x2(play, seq, i, 0, 1, 0.0);
        const int y =
            motion == 1 ? calc_wrk_y1(play, seq, i, 0, 1, 0.0) : calc_wrk_y2(play, seq, i, 0, 1, 0.0);
        return std::pair{low16(x), low16(y)};
    });
    if (sketch) draw_lines(picture, ctx, seq, scale);
}

void draw_animation(raster::Picture& picture, DrawContext& ctx, const FrameSettings& settings, int seq,
                    int step, int steps, double fraction) {
    start_with_court(picture, ctx, settings, seq);
    draw_symbols(picture, ctx, seq, settings.scale, [&](int i, int motion) {
        const PlayModel& play = ctx.play;
        const int x = motion == 1 ? calc_wrk_x1(play, seq, i, step, steps, fraction)
                                  : calc_wrk_x2(play, seq, i, step, steps, fraction);
        const int y = motion == 1 ? calc_wrk_y1(play, seq, i, step, steps, fraction)
                                  : calc_wrk_y2(play, seq, i, step, steps, fraction);
        return std::pair{x, y};
    });
}

}  // namespace

std::unique_ptr<raster::Picture> create_frame_picture(const FrameSettings& settings) {
    return frame_picture(settings, raster::PixelStart::white);
}

bool fits_frame(const raster::Picture& picture, const FrameSettings& settings) noexcept {
    const PictureSize size = frame_picture_size(settings.scale);
    return picture.width() == size.width && picture.height() == size.height;
}

std::unique_ptr<raster::Picture> compose_still_frame(DrawContext& ctx, const FrameSettings& settings, int seq,
                                                     bool sketch) {
    auto picture = frame_picture(settings, raster::PixelStart::unset);
    draw_still(*picture, ctx, settings, seq, sketch);
    return picture;
}

std::unique_ptr<raster::Picture> compose_animation_frame(DrawContext& ctx, const FrameSettings& settings,
                                                         int seq, int step, int steps, double fraction) {
    auto picture = frame_picture(settings, raster::PixelStart::unset);
    draw_animation(*picture, ctx, settings, seq, step, steps, fraction);
    return picture;
}

void compose_still_frame(raster::Picture& picture, DrawContext& ctx, const FrameSettings& settings, int seq,
                         bool sketch) {
    if (!fits_frame(picture, settings)) return;
    reset_frame_picture(picture, settings);
    draw_still(picture, ctx, settings, seq, sketch);
}

void compose_animation_frame(raster::Picture& picture, DrawContext& ctx, const FrameSettings& settings,
                             int seq, int step, int steps, double fraction) {
    if (!fits_frame(picture, settings)) return;
    reset_frame_picture(picture, settings);
    draw_animation(picture, ctx, settings, seq, step, steps, fraction);
}

void draw_players(raster::Picture& picture, const DrawContext& ctx, std::string_view kind, int x, int y,
                  int number, int extra2, Colour colour, std::string_view text, double scale) {
    if (!aplayer(kind) && !aball(kind)) return;
    const DrawItem item{.kind = kind,
                        .text = text,
                        .text2 = "",
                        .x1 = x,
                        .y1 = y,
                        .x2 = 0,
                        .y2 = 0,
                        .extra1 = 0,
                        .extra2 = extra2,
                        .extra3 = 0,
                        .number = number,
                        .colour = colour};
    draw_element(picture, ctx, item, scale);
}

void draw_lines(raster::Picture& picture, const DrawContext& ctx, int seq, double scale) {
    const PlayModel& play = ctx.play;
    // Past the last slot the chain sees a free slot.
    static const element kFreeSlot{};
    auto slot = [&](int i) -> const element& {
        return i <= kSlotsPerSequence ? play.item(seq, i) : kFreeSlot;
    };

    for (int i = 1; i <= kSlotsPerSequence; ++i) {
        const element& first = play.item(seq, i);
        if (first.kind.empty()) return;
        if (!aline(first.kind) && first.kind != "Text") continue;
        widen_pen_for_scale(picture, scale);
        const int x1 = low16(first.x1), y1 = low16(first.y1), x2 = low16(first.x2), y2 = low16(first.y2);
        const DrawItem item{.kind = first.kind,
                            .text = first.text.lf(),
                            .text2 = first.text2,
                            .x1 = x1,
                            .y1 = y1,
                            .x2 = x2,
                            .y2 = y2,
                            .extra1 = first.extra1,
                            .extra2 = first.extra2,
                            .extra3 = first.extra3,
                            .number = first.number,
                            .colour = first.colour};
        if (first.extra2 == 0) {
            draw_element(picture, ctx, item, scale);
            continue;
        }

        const std::string closing = closing_kind(first.kind);
        PointList points;
        addPoint(2 * x1 - x2, 2 * y1 - y2, points);
        addPoint(x1, y1, points);
        int cur = i;
        while (!slot(cur).kind.empty() && slot(cur).kind != closing) {
            addPoint(low16(slot(cur).x2), low16(slot(cur).y2), points);
            ++cur;
        }
        const element& last = slot(cur);
        const int lx1 = low16(last.x1), ly1 = low16(last.y1), lx2 = low16(last.x2), ly2 = low16(last.y2);
        addPoint(lx2, ly2, points);
        addPoint(2 * lx2 - lx1, 2 * ly2 - ly1, points);
        draw_curved_line(picture, ctx, last.kind, points, item.line_pen(), scale);
        FreePoints(points);
        // A chain that never met its closing kind has taken in the rest of the sequence.
        if (last.kind.empty()) return;
        i = cur;
    }
}

}  // namespace hoopcast
