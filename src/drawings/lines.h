#pragma once
// Straight movement lines: cuts ("loop"), passes (dashed), dribbles (wavy), screens and
// shots, with their end marks. Positions are court units unless a name says pixels.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "drawings/context.h"
#include "play/model.h"
#include "raster/stamp.h"
#include "raster/types.h"

namespace hoopcast {

namespace raster {
class Canvas;
class Picture;
}  // namespace raster

// A segment routine draws either the segment itself or only its end mark; the last segment
// of a movement is drawn twice, once in each mode.
enum class SegmentMode { line, mark };

// What an item asks of the pen of its line.
struct LinePen {
    int width_factor = 0;  // times the picture's pen width; 0 counts as 1
    bool end_mark = true;  // the arrow head or screen bar at the end
    Colour colour = 0;     // 0 is black
};

// A straight segment from (x1, y1) to (x2, y2), in court units, with its item's pen.
struct LineSegment {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    LinePen pen;
};

// Sets the picture's pen for a line (black under monochrome) and puts its width back when
// the line is done.
class SegmentPen {
  public:
    SegmentPen(raster::Canvas& canvas, const DrawContext& ctx, const LinePen& pen);
    SegmentPen(const SegmentPen&) = delete;
    SegmentPen& operator=(const SegmentPen&) = delete;
    ~SegmentPen();

  private:
    raster::Canvas& canvas_;
    int saved_width_;
};

// Direction of the segment from a to b, in radians with y pointing up: the arctangent in
// (-pi/2, pi/2) (add pi for the direction when bx < ax), pi/2 or 3pi/2 for a vertical
// segment. No result when the points coincide to a hundredth of a pixel.
std::optional<double> line_angle(double ax, double ay, double bx, double by);

// Open V of two barbs Round(7 x scale) long at (x2, y2), 30 degrees either side of the segment. Nothing
// when the segment has no direction.
void draw_arrow_head(raster::Picture& picture, int x1, int y1, int x2, int y2, double scale);
// Bar 2 x Round(7 x scale) long across (x2, y2), perpendicular to the segment. Nothing without
// direction.
void draw_screen_bar(raster::Picture& picture, int x1, int y1, int x2, int y2, double scale);
// Pixels. Two lines parallel to the segment, about `scale` pixels either side of it.
void draw_double_line(raster::Picture& picture, int X1, int Y1, int X2, int Y2, double scale);
// Pixels. Counter-clockwise one-degree polyline from start - 1 to end + 1 degrees.
void draw_arc_polyline(raster::Picture& picture, int cx, int cy, double r, int start, int end);

namespace lines_detail {
// The points of arcs of one radius around whole-pixel centres. Wavy lines draw hundreds of
// half circles of the same radius; a point's offset from the centre is worked out once per
// degree and reused wherever it provably gives the pixel round_trig gives for that centre.
class ArcPoints {
  public:
    explicit ArcPoints(double r) noexcept;
    double radius() const noexcept { return r_; }
    // The point of degree k, which must be within 0..359.
    raster::Point at(int cx, int cy, std::size_t k) noexcept;

    // The polyline through degrees first..last drawn with a pen of `width`: its pixels and
    // its last point, both relative to the centre. Null until the same arc has been asked
    // for twice, and wherever a point's pixel depends on the centre.
    struct Drawn {
        raster::Stamp pixels;
        raster::Point end;
    };
    const Drawn* drawn(int cx, int cy, std::int64_t first, std::int64_t last, int width);

  private:
    enum class Entry : unsigned char { unknown, offset, direct };
    bool offsets_hold(int cx, int cy) const noexcept;
    Entry entry(std::size_t k) noexcept;

    struct Arc {
        bool wanted_before = false;
        std::unique_ptr<Drawn> drawn;
    };
    double r_;
    bool usable_;
    Entry entries_[360] = {};
    int dx_[360] = {};
    int dy_[360] = {};
    // By first degree (0..359), number of points and pen width.
    std::unordered_map<std::uint64_t, Arc> arcs_;
};

}  // namespace lines_detail

// The arc points of the last few radii drawn. A wavy line's radius depends on the scale
// alone, so the same few radii serve every frame of a window or an export.
class ArcCache {
  public:
    lines_detail::ArcPoints& points_for(double r);

  private:
    static constexpr std::size_t kRadii = 4;
    std::array<std::unique_ptr<lines_detail::ArcPoints>, kRadii> kept_;
    std::size_t next_ = 0;
};

// As above, with the radius and the points' offsets from the given ArcPoints.
void draw_arc_polyline(raster::Picture& picture, int cx, int cy, lines_detail::ArcPoints& points, int start,
                       int end);

// Segment routines. Each restores the pen width it found.
void draw_loop_segment(raster::Picture& picture, const DrawContext& ctx, const LineSegment& segment,
                       double scale, SegmentMode mode);
void draw_pass_segment(raster::Picture& picture, const DrawContext& ctx, const LineSegment& segment,
                       double scale, SegmentMode mode);
void draw_dribble_segment(raster::Picture& picture, const DrawContext& ctx, const LineSegment& segment,
                          double scale, SegmentMode mode);
void draw_screen_segment(raster::Picture& picture, const DrawContext& ctx, const LineSegment& segment,
                         double scale, SegmentMode mode);
// Draws its double line and arrow head in mark mode only.
void draw_shot_segment(raster::Picture& picture, const DrawContext& ctx, const LineSegment& segment,
                       double scale, SegmentMode mode);

}  // namespace hoopcast
