#pragma once
// The pixel rules behind Canvas, as free functions over a Bitmap. Every function clips to
// the bitmap before it iterates, so the work done is bounded by the bitmap's size and never
// by the coordinates it is given; arithmetic that can exceed int is done in 64 bits.

#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "raster/picture.h"
#include "raster/stamp.h"
#include "raster/types.h"

namespace hoopcast::raster::detail {

using i64 = std::int64_t;

struct Point64 {
    i64 x = 0, y = 0;
    Point64() = default;
    constexpr Point64(i64 px, i64 py) noexcept : x(px), y(py) {}
    constexpr Point64(Point p) noexcept : x(p.x), y(p.y) {}
};

// Paints pixels x0..x1 (both included) of row y, clipped to the bitmap.
void paint_span(Bitmap& bitmap, i64 y, i64 x0, i64 x1, Colour colour) noexcept;

// Paints the box left..right x top..bottom (all included), clipped to the bitmap.
void fill_box(Bitmap& bitmap, i64 left, i64 top, i64 right, i64 bottom, Colour colour) noexcept;

// Sets one pixel given in 64-bit coordinates; nothing outside the bitmap.
inline void plot_pixel(Bitmap& bitmap, i64 x, i64 y, Colour colour) noexcept {
    if (x >= 0 && y >= 0 && x < bitmap.width() && y < bitmap.height())
        bitmap.set_pixel(static_cast<int>(x), static_cast<int>(y), colour);
}

// A width-1 line that leaves its end pixel out.
void thin_line(Bitmap& bitmap, Point64 from, Point64 to, Colour colour) noexcept;

// The round dot a geometric pen leaves at `centre`.
void round_dot(Bitmap& bitmap, Point64 centre, i64 width, Colour colour) noexcept;

// The round dot of one pen width as one span per row, worked out once by drawing it through
// the ellipse rule into a small bitmap, so stamping it gives the same pixels as round_dot.
class DotStamp {
  public:
    static constexpr i64 kMaxTabulated = 512;

    explicit DotStamp(i64 width);
    i64 width() const noexcept { return width_; }
    void stamp(Bitmap& bitmap, Point64 centre, Colour colour) const noexcept;
    // The dot's spans around its centre; empty above kMaxTabulated.
    const Stamp& dot() const noexcept { return dot_; }

    // The body of a segment of this width from (0, 0) to (dx, dy), as spans, for the short
    // segments outlines of curves are made of; null when the segment is too long to keep or
    // the width too large. The direction is the one the segment is filled in: dy > 0, or
    // dy == 0 and dx < 0.
    static constexpr i64 kMaxBodyStep = 8;
    const Stamp* body(i64 dx, i64 dy);

  private:
    i64 width_;
    Stamp dot_;  // offsets from the centre
    std::vector<std::unique_ptr<Stamp>> bodies_;
};

// The stamps of the pen widths a canvas has drawn with, so that a wide line costs no dot
// computation after the first at its width. Bounded: it forgets everything past a few widths.
class DotCache {
  public:
    DotStamp& get(i64 width);
    // Work space for the coverage of one path, kept to spare an allocation per path.
    std::vector<std::uint64_t>& coverage_words() noexcept { return coverage_words_; }
    // Work space for the points of one shape's outline (a wide path's corners, an ellipse's
    // quadrant and loop), kept for the same reason. Only the shape being drawn uses them.
    std::vector<Point64>& path_points() noexcept { return path_points_; }
    std::vector<Point64>& quadrant_points() noexcept { return quadrant_points_; }

  private:
    static constexpr std::size_t kMaxWidths = 32;
    std::vector<std::unique_ptr<DotStamp>> stamps_;
    std::vector<std::uint64_t> coverage_words_;
    std::vector<Point64> path_points_;
    std::vector<Point64> quadrant_points_;
};

// A geometric pen of `width` (2 or more) along a path: round caps, round joins, both end
// points included. A path of one point, or of repeated points, leaves a round dot. `dots`,
// when given, keeps the dot of this width for later paths.
void wide_path(Bitmap& bitmap, std::span<const Point64> points, bool closed, i64 width, Colour colour,
               DotCache* dots = nullptr) noexcept;

// Interior of a polygon by the alternate (even-odd) rule.
void fill_polygon_alternate(Bitmap& bitmap, std::span<const Point> points, Colour colour) noexcept;
void fill_polygon_alternate(Bitmap& bitmap, std::span<const Point64> points, Colour colour) noexcept;

// The same fill as spans, unclipped, for a small polygon whose pixels are reused: the fill
// moves with the polygon by whole pixels, so the spans can be stamped anywhere.
void polygon_spans(std::span<const Point64> points, std::vector<RowSpan>& out);

// A box normalised to left <= right, top <= bottom; right and bottom are exclusive, as
// the rectangle and ellipse calls take them.
struct Box {
    i64 left, top, right, bottom;
    i64 width() const noexcept { return right - left; }
    i64 height() const noexcept { return bottom - top; }
};
Box normalised_box(int x1, int y1, int x2, int y2) noexcept;

void draw_rectangle(Bitmap& bitmap, Box box, i64 pen_width, Colour pen, const Colour* brush,
                    DotCache* dots = nullptr) noexcept;
void draw_ellipse(Bitmap& bitmap, Box box, i64 pen_width, Colour pen, const Colour* brush,
                  DotCache* dots = nullptr) noexcept;
void draw_arc(Bitmap& bitmap, Box box, Point start_ray, Point end_ray, i64 pen_width, Colour pen,
              DotCache* dots = nullptr) noexcept;

// 4-connected fill of every pixel around (x, y) that is not `border`.
void flood_fill_border(Bitmap& bitmap, int x, int y, Colour border, Colour fill) noexcept;

// Nearest-neighbour copy of `source_rect` of `source` onto `dest` of `target`.
void stretch_copy(Bitmap& target, Rect dest, const Bitmap& source, Rect source_rect) noexcept;

}  // namespace hoopcast::raster::detail
