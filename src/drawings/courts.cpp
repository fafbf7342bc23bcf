#include "drawings/courts.h"

#include <algorithm>
#include <initializer_list>
#include <span>
#include <utility>
#include <vector>

#include "drawings/arcs.h"
#include "drawings/zones.h"
#include "play/rounding.h"
#include "raster/picture.h"
#include "raster/runs.h"

namespace hoopcast {

namespace {

constexpr raster::Colour kBlack = 0x000000;
constexpr raster::Colour kWhite = 0xFFFFFF;

enum colour_slot { kBackground = 0, kFloor = 1, kThreePointArea = 2, kKey = 3 };

// A point in court units; some basket points carry a fraction.
struct CourtPoint {
    double x;
    double y;
};

// Court units to pixels: each coordinate is scaled and rounded on its own.
class Court {
  public:
    Court(raster::Picture& picture, double scale) noexcept
        : picture_(picture), canvas_(picture.canvas()), s_(scale) {}

    raster::Picture& picture() noexcept { return picture_; }
    raster::Canvas& canvas() noexcept { return canvas_; }
    double scale() const noexcept { return s_; }
    int px(double v) const noexcept { return Round(v * s_); }
    raster::Point at(CourtPoint p) const noexcept { return {px(p.x), px(p.y)}; }

    void move(CourtPoint p) noexcept { canvas_.move_to(px(p.x), px(p.y)); }
    void line(CourtPoint p) noexcept { canvas_.line_to(px(p.x), px(p.y)); }
    void path(std::initializer_list<CourtPoint> points) noexcept {
        bool first = true;
        for (const CourtPoint& p : points) {
            if (first) {
                move(p);
            } else {
                line(p);
            }
            first = false;
        }
    }
    void rectangle(CourtPoint a, CourtPoint b) noexcept {
        canvas_.rectangle(px(a.x), px(a.y), px(b.x), px(b.y));
    }
    void ellipse(CourtPoint a, CourtPoint b) noexcept { canvas_.ellipse(px(a.x), px(a.y), px(b.x), px(b.y)); }
    // The canvas arc: counter-clockwise on screen from the start ray to the end ray.
    void arc(CourtPoint a, CourtPoint b, CourtPoint start, CourtPoint end) noexcept {
        canvas_.arc(px(a.x), px(a.y), px(b.x), px(b.y), px(start.x), px(start.y), px(end.x), px(end.y));
    }
    // Closed polygon through the points (the first repeated at the end).
    void polygon(std::initializer_list<CourtPoint> points) noexcept {
        std::array<raster::Point, 8> list{};
        std::size_t n = 0;
        for (const CourtPoint& p : points) {
            if (n + 1 >= list.size()) break;
            list[n++] = at(p);
        }
        if (n == 0) return;
        list[n] = list[0];
        canvas_.polygon(std::span<const raster::Point>(list.data(), n + 1));
    }
    // Arcs get their diameter ends unrounded.
    void arc_chords(int a1, int a2, CourtPoint d1, CourtPoint d2, bool dashed) noexcept {
        draw_arc(picture_, a1, a2, d1.x * s_, d1.y * s_, d2.x * s_, d2.y * s_, dashed);
    }
    void arc_chords_to(int a1, int a2, CourtPoint d1, CourtPoint d2) noexcept {
        draw_arc_to(picture_, a1, a2, d1.x * s_, d1.y * s_, d2.x * s_, d2.y * s_, false);
    }
    void ring(CourtPoint centre, double radius) noexcept {
        draw_circle_points(picture_, px(centre.x), px(centre.y), px(radius));
    }

  private:
    raster::Picture& picture_;
    raster::Canvas& canvas_;
    double s_;
};

bool screen_shorter_than(const raster::Picture& picture) noexcept {
    return picture.canvas().screen_height < picture.height();
}

// ---- Half court, basket at the bottom ---------------------------------------------------

void outline_bottom(Court& c) {
    c.path({{11, 76}, {11, 307}, {275, 307}, {275, 76}, {11, 76}});
}

void lane_bottom(Court& c, key_shape shape) {
    if (shape == key_shape::trapezoid) {
        c.path({{90, 307}, {111, 211}, {175, 211}, {196, 307}});
    } else {
        c.path({{111, 307}, {111, 211}, {175, 211}, {175, 307}});
    }
}

void three_point_bottom(Court& c, key_shape shape) {
    c.move({29, 280});
    c.arc_chords_to(180, 360, {29, 280}, {257, 280});
    // The arc ends one pixel above the leg on the trapezoid court.
    c.line(shape == key_shape::trapezoid ? CourtPoint{257, 279} : CourtPoint{257, 280});
    c.line({257, 307});
    c.line({29, 307});
    c.line({29, 280});
}

// ---- Half court, basket at the top ------------------------------------------------------

void outline_top(Court& c) {
    c.path({{11, 59}, {11, 290}, {275, 290}, {275, 59}, {11, 59}});
}

void lane_top(Court& c, key_shape shape) {
    if (shape == key_shape::trapezoid) {
        c.path({{90, 59}, {111, 155}, {175, 155}, {196, 59}});
    } else {
        c.path({{111, 59}, {111, 155}, {175, 155}, {175, 59}});
    }
}

void three_point_top(Court& c) {
    c.move({257, 86});
    c.arc_chords_to(0, 180, {257, 86}, {29, 86});
    c.line({29, 86});
    c.line({29, 59});
    c.line({257, 59});
    c.line({257, 86});
}

// ---- Full court -------------------------------------------------------------------------

void outline_full(Court& c) {
    c.path({{45, 4}, {45, 357}, {248, 357}, {248, 4}, {45, 4}});
}

void midcourt_line(Court& c) {
    c.path({{45, 181}, {248, 181}});
}

void centre_circle(Court& c) {
    c.ellipse({122, 157}, {171, 205});
}

void lanes_full(Court& c, key_shape shape) {
    if (shape == key_shape::trapezoid) {
        c.path({{107, 4}, {122, 76}, {171, 76}, {186, 4}});
        c.path({{107, 357}, {122, 285}, {171, 285}, {186, 357}});
    } else {
        c.path({{122, 4}, {122, 76}, {171, 76}, {171, 4}});
        c.path({{122, 357}, {122, 285}, {171, 285}, {171, 357}});
    }
}

void dashed_inner_halves(Court& c) {
    c.arc_chords(180, 360, {122, 76}, {171, 76}, true);
    c.arc_chords(0, 180, {122, 285}, {171, 285}, true);
}

void three_point_full_top(Court& c) {
    c.move({231, 29});
    c.arc_chords_to(0, 180, {231, 29}, {62, 29});
    c.line({62, 29});
    c.line({62, 4});
    c.line({231, 4});
    c.line({231, 29});
}

void three_point_full_bottom(Court& c) {
    c.move({62, 332});
    c.arc_chords_to(180, 360, {62, 332}, {231, 332});
    c.line({231, 332});
    c.line({231, 357});
    c.line({62, 357});
    c.line({62, 332});
}

// ---- Coloured courts --------------------------------------------------------------------

enum class half { bottom, top, full };

// Painting from runs works them out whole, unclipped: only for courts of a sensible size in
// pixels, whose coordinates also leave room for the arithmetic around them. Other scales
// draw call by call, which clips to the picture.
bool runs_are_bounded(double scale) noexcept {
    return scale > 0 && 361 * scale <= 4 * raster::kMaxPictureSide;
}

// The floor rectangle's corners in pixels, in order.
raster::Rect floor_box(const Court& c, half h) noexcept {
    CourtPoint a{45, 4}, b{248, 357};
    if (h == half::bottom) a = {11, 76}, b = {275, 307};
    if (h == half::top) a = {11, 59}, b = {275, 290};
    const raster::Point p = c.at(a), q = c.at(b);
    return {std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)};
}

// A lane as it is painted: the outline it is drawn with (the closed polygon of a trapezoid,
// the two corners of a rectangle) and the runs its brush covers.
struct Lane {
    std::vector<raster::Point> outline;
    std::vector<raster::RowSpan> runs;
};

std::vector<Lane> lane_shapes(const Court& c, key_shape shape, half h) {
    std::vector<std::vector<CourtPoint>> corners;
    if (shape == key_shape::trapezoid) {
        switch (h) {
            case half::bottom:
                corners = {{{90, 307}, {111, 211}, {175, 211}, {196, 307}}};
                break;
            case half::top:
                corners = {{{90, 59}, {111, 155}, {175, 155}, {196, 59}}};
                break;
            case half::full:
                corners = {{{107, 4}, {122, 76}, {171, 76}, {186, 4}}, {{107, 357}, {122, 285}, {171, 285}, {186, 357}}};
                break;
        }
    } else {
        switch (h) {
            case half::bottom:
                corners = {{{111, 211}, {175, 307}}};
                break;
            case half::top:
                corners = {{{111, 59}, {175, 155}}};
                break;
            case half::full:
                corners = {{{122, 4}, {171, 76}}, {{122, 285}, {171, 357}}};
                break;
        }
    }
    std::vector<Lane> lanes;
    for (const std::vector<CourtPoint>& points : corners) {
        Lane lane;
        for (const CourtPoint& p : points) lane.outline.push_back(c.at(p));
        if (shape == key_shape::trapezoid) {
            lane.outline.push_back(lane.outline.front());  // as Court::polygon closes it
            lane.runs = raster::polygon_runs(lane.outline);
        } else {
            lane.runs = raster::rectangle_runs(lane.outline[0], lane.outline[1]);
        }
        lanes.push_back(std::move(lane));
    }
    return lanes;
}

// The lanes in the key colour, each filled and outlined by one call.
void paint_lanes(Court& c, const std::array<raster::Colour, 4>& colours, key_shape shape, half h) {
    raster::Canvas& canvas = c.canvas();
    canvas.pen.colour = colours[kKey];
    canvas.brush.colour = colours[kKey];
    if (shape == key_shape::trapezoid) {
        switch (h) {
            case half::bottom:
                c.polygon({{90, 307}, {111, 211}, {175, 211}, {196, 307}});
                break;
            case half::top:
                c.polygon({{90, 59}, {111, 155}, {175, 155}, {196, 59}});
                break;
            case half::full:
                c.polygon({{107, 4}, {122, 76}, {171, 76}, {186, 4}});
                c.polygon({{107, 357}, {122, 285}, {171, 285}, {186, 357}});
                break;
        }
    } else {
        switch (h) {
            case half::bottom:
                c.rectangle({111, 211}, {175, 307});
                break;
            case half::top:
                c.rectangle({111, 59}, {175, 155});
                break;
            case half::full:
                c.rectangle({122, 4}, {171, 76});
                c.rectangle({122, 285}, {171, 357});
                break;
        }
    }
}

// The painting before the zones: floor, three-point areas, centre circle, lanes. The
// three-point lines are drawn here, black, as the edge of their areas.
void paint_floor(Court& c, const std::array<raster::Colour, 4>& colours, key_shape shape, half h) {
    raster::Canvas& canvas = c.canvas();
    if (canvas.pen.width == 0) canvas.pen.width = 1;

    // A picture taller than the screen is filled inside its outlines; otherwise each area
    // is one polygon whose edge is the three-point line.
    const bool flood = screen_shorter_than(c.picture());
    if (flood || !runs_are_bounded(c.scale())) {
        canvas.pen.colour = colours[kFloor];
        canvas.brush.colour = colours[kFloor];
        canvas.brush.style = raster::BrushStyle::solid;
        switch (h) {
            case half::bottom:
                c.rectangle({11, 76}, {275, 307});
                break;
            case half::top:
                c.rectangle({11, 59}, {275, 290});
                break;
            case half::full:
                c.rectangle({45, 4}, {248, 357});
                break;
        }
        canvas.pen.colour = kBlack;
        canvas.brush.colour = colours[kThreePointArea];
        const double s = c.scale();
        switch (h) {
            case half::bottom:
                if (flood) {
                    three_point_bottom(c, shape);
                    canvas.flood_fill(c.px(40), c.px(270), kBlack);
                } else {
                    fill_arc_region(c.picture(), 29, 280, 257, 280, 307, s, 180, 360);
                }
                break;
            case half::top:
                if (flood) {
                    three_point_top(c);
                    canvas.flood_fill(c.px(40), c.px(100), kBlack);
                } else {
                    fill_arc_region(c.picture(), 257, 86, 29, 86, 59, s, 0, 180);
                }
                break;
            case half::full:
                if (flood) {
                    three_point_full_top(c);
                    three_point_full_bottom(c);
                    canvas.flood_fill(c.px(65), c.px(8), kBlack);
                    canvas.flood_fill(c.px(65), c.px(350), kBlack);
                } else {
                    fill_arc_region(c.picture(), 231, 29, 62, 29, 4, s, 0, 180);
                    fill_arc_region(c.picture(), 62, 332, 231, 332, 357, s, 180, 360);
                }
                break;
        }
        if (h == half::full) centre_circle(c);
        paint_lanes(c, colours, shape, h);
        return;
    }

    // The same drawing calls, with each brush painted by hand from the runs its fill covers,
    // leaving out what a later brush covers; pens draw as before, in the same order.
    const double s = c.scale();
    std::array<ArcRegion, 2> areas;
    std::size_t area_count = 0;
    switch (h) {
        case half::bottom:
            areas[area_count++] = arc_region(29, 280, 257, 280, 307, s, 180, 360);
            break;
        case half::top:
            areas[area_count++] = arc_region(257, 86, 29, 86, 59, s, 0, 180);
            break;
        case half::full:
            areas[area_count++] = arc_region(231, 29, 62, 29, 4, s, 0, 180);
            areas[area_count++] = arc_region(62, 332, 231, 332, 357, s, 180, 360);
            break;
    }
    std::array<std::vector<raster::RowSpan>, 2> area_runs;
    for (std::size_t i = 0; i < area_count; ++i) area_runs[i] = raster::polygon_runs(areas[i].polygon());

    const std::vector<Lane> lanes = lane_shapes(c, shape, h);
    raster::RunSet over_areas;  // the lanes
    for (const Lane& lane : lanes) over_areas.add(lane.runs);
    raster::RunSet over_floor = over_areas;  // the lanes and the three-point areas
    for (std::size_t i = 0; i < area_count; ++i) over_floor.add(area_runs[i]);

    raster::Bitmap& bitmap = c.picture().bitmap();
    const raster::Rect floor = floor_box(c, h);
    raster::fill_rect_except(bitmap, {floor.left + 1, floor.top + 1, floor.right - 1, floor.bottom - 1},
                             colours[kFloor], over_floor);
    canvas.pen.colour = colours[kFloor];
    canvas.brush.colour = colours[kFloor];
    canvas.brush.style = raster::BrushStyle::clear;
    canvas.rectangle(floor.left, floor.top, floor.right, floor.bottom);

    canvas.pen.colour = kBlack;
    for (std::size_t i = 0; i < area_count; ++i) {
        raster::fill_runs_except(bitmap, area_runs[i], colours[kThreePointArea], over_areas);
        draw_outline(canvas, areas[i].polygon(), true);
    }
    canvas.brush.colour = colours[kThreePointArea];
    canvas.brush.style = raster::BrushStyle::solid;

    if (h == half::full) centre_circle(c);

    canvas.pen.colour = colours[kKey];
    canvas.brush.colour = colours[kKey];
    canvas.brush.style = raster::BrushStyle::clear;
    for (const Lane& lane : lanes) {
        raster::fill_runs(bitmap, lane.runs, colours[kKey]);
        if (shape == key_shape::trapezoid) {
            canvas.polygon(lane.outline);
        } else {
            canvas.rectangle(lane.outline[0].x, lane.outline[0].y, lane.outline[1].x, lane.outline[1].y);
        }
    }
    canvas.brush.style = raster::BrushStyle::solid;
}

// What the brush of the floor rectangle of a coloured court kind covers: the inside of its
// outline. Empty for other kinds.
raster::Rect floor_interior(int kind, double scale) noexcept {
    CourtPoint a{0, 0}, b{0, 0};
    switch (kind) {
        case 3:
        case 9:
            a = {11, 76}, b = {275, 307};
            break;
        case 4:
        case 10:
            a = {11, 59}, b = {275, 290};
            break;
        case 5:
        case 11:
            a = {45, 4}, b = {248, 357};
            break;
        default:
            return {};
    }
    if (!runs_are_bounded(scale)) return {};
    // The rectangle call takes its corners in either order; its outline runs along
    // left..right-1 and top..bottom-1.
    const int x1 = Round(a.x * scale), y1 = Round(a.y * scale), x2 = Round(b.x * scale), y2 = Round(b.y * scale);
    return {std::min(x1, x2) + 1, std::min(y1, y2) + 1, std::max(x1, x2) - 1, std::max(y1, y2) - 1};
}

bool is_coloured_kind(int kind) noexcept {
    switch (kind) {
        case 3:
        case 4:
        case 5:
        case 9:
        case 10:
        case 11:
        case 13:
            return true;
        default:
            return false;
    }
}

}  // namespace

// 0.76 is just below its nearest double, 0.85, 0.95 and 1.2 just above theirs: comparing
// with the double on the right side gives the decimal comparison.
bool scale_at_most_076(double scale) noexcept {
    return scale < 0.76;
}
bool scale_below_085(double scale) noexcept {
    return scale <= 0.85;
}
bool scale_below_095(double scale) noexcept {
    return scale <= 0.95;
}
bool scale_below_12(double scale) noexcept {
    return scale <= 1.2;
}

std::array<raster::Colour, 4> court_colours(const DrawContext& ctx, int seq) {
    std::array<raster::Colour, 4> colours = ctx.defaults.court_default_colours;
    if (seq < 1 || seq > kMaxSequences) return colours;
    const court_element& h = ctx.play.header(seq);
    const std::array<raster::Colour, 4> own = {h.colour1, h.colour2, h.colour3, h.colour4};
    for (std::size_t i = 0; i < own.size(); ++i) {
        if (own[i] != 0) colours[i] = own[i];
    }
    return colours;
}

// ---- Baskets ----------------------------------------------------------------------------

void draw_bottom_basket(raster::Picture& picture, double scale) {
    Court c(picture, scale);
    if (scale_at_most_076(scale)) {
        c.arc({110.7, 179}, {176.2, 243}, {176.2, 212}, {110, 213});
        c.arc_chords(0, 180, {111, 211}, {175, 211}, true);
    } else if (scale_below_095(scale)) {
        c.arc({110.7, 179}, {176.2, 243}, {176.2, 212}, {110, 213});
        c.arc_chords(0, 180, {111, 211}, {175.5, 211}, true);
    } else if (scale < 3) {
        c.arc({110.7, 179}, {175.6, 243}, {175.6, 211}, {110.7, 212});
        c.arc_chords(0, 180, {111, 211}, {175, 211}, true);
    } else {
        c.arc({111, 179}, {175.2, 243}, {175.2, 211}, {111, 212});
        c.arc_chords(0, 180, {111, 211}, {175, 211}, true);
    }

    raster::Canvas& canvas = picture.canvas();
    canvas.brush.style = raster::BrushStyle::solid;
    if (scale_below_095(scale)) {
        c.ring({143, 282}, 4);
        c.path({{159, 287}, {126.2, 287}});
    } else if (scale_below_12(scale)) {
        c.ring({143, 283}, 4);
        c.path({{159, 287}, {126, 287}});
    } else {
        c.ellipse({139, 279}, {147, 287});
        c.path({{159, 287}, {126.81, 287}});
    }
}

void draw_top_basket(raster::Picture& picture, double scale) {
    Court c(picture, scale);
    if (scale_below_095(scale)) {
        c.arc({110.7, 123}, {176.2, 187}, {110.7, 155}, {176.2, 155});
        c.arc_chords(180, 360, {111, 155}, {175.5, 155}, true);
    } else if (scale < 3) {
        c.arc({110.7, 123}, {175.6, 187}, {110.7, 155}, {175.6, 155});
        c.arc_chords(180, 360, {111, 155}, {175, 155}, true);
    } else {
        c.arc({111, 123}, {175.2, 187}, {111, 155}, {175.2, 155});
        c.arc_chords(180, 360, {111, 155}, {175, 155}, true);
    }

    raster::Canvas& canvas = picture.canvas();
    canvas.brush.style = raster::BrushStyle::solid;
    if (scale_below_095(scale)) {
        c.ring({143, 83}, 4);
        c.path({{159, 79}, {126.2, 79}});
    } else if (scale_below_12(scale)) {
        c.ring({143, 83}, 4);
        c.path({{159, 79}, {126, 79}});
    } else {
        c.ellipse({139, 79}, {147, 87});
        c.path({{159, 79}, {126.81, 79}});
    }
}

void draw_full_court_baskets(raster::Picture& picture, double scale) {
    Court c(picture, scale);
    if (scale_below_095(scale)) {
        c.arc({121.9, 52}, {172.6, 100}, {121.9, 76}, {172.6, 76});
        c.arc({121.9, 261}, {172.6, 309}, {172.6, 286}, {121.9, 288});
    } else if (scale < 2) {
        c.arc({121.7, 52}, {171.6, 100}, {121.7, 76}, {171.6, 76});
        c.arc({121.7, 261}, {171.6, 309}, {171.6, 286}, {121.7, 288});
    } else {
        c.arc({122, 52}, {171.2, 100}, {122, 76}, {171.2, 76});
        c.arc({122, 261}, {171.2, 309}, {171.2, 285}, {122, 286});
    }

    raster::Canvas& canvas = picture.canvas();
    canvas.brush.style = raster::BrushStyle::solid;
    if (scale_below_095(scale)) {
        c.ring({146.5, 21}, 3);
        c.ring({146.5, scale_below_085(scale) ? 339.0 : 340.0}, 3);
        c.path({{133, 18}, {161, 18}});
        c.path({{133, 343}, {161, 343}});
    } else {
        if (scale_below_12(scale)) {
            c.ring({146.5, 21}, 3);
            c.ring({146.5, 340}, 3);
        } else {
            c.ellipse({143, 18}, {150, 25});
            c.ellipse({143, 336}, {150, 343});
        }
        c.path({{133, 18}, {160, 18}});
        c.path({{133, 343}, {160, 343}});
    }
}

// ---- Plain layouts ----------------------------------------------------------------------

void draw_half_court_bottom(raster::Picture& picture, key_shape shape, double scale) {
    Court c(picture, scale);
    outline_bottom(c);
    lane_bottom(c, shape);
    draw_bottom_basket(picture, scale);
    picture.canvas().brush.style = raster::BrushStyle::solid;
    three_point_bottom(c, shape);
}

void draw_half_court_top(raster::Picture& picture, key_shape shape, double scale) {
    Court c(picture, scale);
    outline_top(c);
    lane_top(c, shape);
    draw_top_basket(picture, scale);
    three_point_top(c);
}

void draw_full_court(raster::Picture& picture, key_shape shape, double scale) {
    Court c(picture, scale);
    outline_full(c);
    picture.canvas().brush.style = raster::BrushStyle::clear;
    centre_circle(c);
    midcourt_line(c);
    lanes_full(c, shape);
    draw_full_court_baskets(picture, scale);
    dashed_inner_halves(c);
    three_point_full_top(c);
    three_point_full_bottom(c);
}

// ---- Coloured layouts -------------------------------------------------------------------

void paint_half_court_bottom(raster::Picture& picture, const DrawContext& ctx, key_shape shape, int seq,
                             double scale) {
    Court c(picture, scale);
    paint_floor(c, court_colours(ctx, seq), shape, half::bottom);
    draw_zones(picture, ctx, seq, scale);
    picture.canvas().pen.colour = kBlack;
    outline_bottom(c);
    lane_bottom(c, shape);
    draw_bottom_basket(picture, scale);
}

void paint_half_court_top(raster::Picture& picture, const DrawContext& ctx, key_shape shape, int seq,
                          double scale) {
    Court c(picture, scale);
    paint_floor(c, court_colours(ctx, seq), shape, half::top);
    draw_zones(picture, ctx, seq, scale);
    picture.canvas().pen.colour = kBlack;
    outline_top(c);
    lane_top(c, shape);
    draw_top_basket(picture, scale);
}

void paint_full_court(raster::Picture& picture, const DrawContext& ctx, key_shape shape, int seq,
                      double scale) {
    Court c(picture, scale);
    const std::array<raster::Colour, 4> colours = court_colours(ctx, seq);
    paint_floor(c, colours, shape, half::full);
    draw_zones(picture, ctx, seq, scale);
    raster::Canvas& canvas = picture.canvas();
    canvas.pen.colour = kBlack;
    canvas.brush.style = raster::BrushStyle::clear;
    midcourt_line(c);
    outline_full(c);
    lanes_full(c, shape);
    canvas.brush.colour = colours[kKey];
    draw_full_court_baskets(picture, scale);
    dashed_inner_halves(c);
}

// ---- The court of a frame ---------------------------------------------------------------

bool court_paints_every_pixel(int width, int height, int screen_height) noexcept {
    // A picture taller than the screen is flood-filled inside its frame, from what it held;
    // otherwise the background rectangle covers it, but for a single pixel, which a thin
    // pen's frame leaves out.
    return screen_height >= height && (width > 1 || height > 1);
}


void draw_court(raster::Picture& picture, DrawContext& ctx, int court_kind, int seq, double scale) {
    raster::Canvas& canvas = picture.canvas();
    const int w = picture.width();
    const int h = picture.height();
    const bool coloured = is_coloured_kind(court_kind);
    const raster::Colour background = coloured ? court_colours(ctx, seq)[kBackground] : kWhite;

    canvas.pen.colour = kBlack;
    canvas.brush.style = raster::BrushStyle::solid;
    canvas.brush.colour = background;

    if (screen_shorter_than(picture)) {
        canvas.brush.style = raster::BrushStyle::clear;
        canvas.rectangle(0, 0, w, h);
        canvas.brush.style = raster::BrushStyle::solid;
        canvas.brush.colour = background;
        canvas.flood_fill(Round(3 * scale), Round(3 * scale), kBlack);
    } else {
        // The rectangle's brush, then its frame; the part of the brush that the floor of a
        // coloured court paints over next is left out.
        raster::fill_rect_except(picture.bitmap(), raster::Rect{1, 1, w - 1, h - 1},
                                 floor_interior(court_kind, scale), background);
        canvas.brush.style = raster::BrushStyle::clear;
        canvas.rectangle(0, 0, w, h);
        canvas.brush.style = raster::BrushStyle::solid;
    }

    const key_shape shape = court_kind >= 6 ? key_shape::rectangle : key_shape::trapezoid;
    switch (court_kind) {
        case 0:
        case 1:
        case 2:
        case 6:
        case 7:
        case 8:
            ctx.monochrome = true;
            draw_zones(picture, ctx, seq, scale);
            switch (court_kind % 6) {
                case 0:
                    draw_half_court_bottom(picture, shape, scale);
                    break;
                case 1:
                    draw_half_court_top(picture, shape, scale);
                    break;
                default:
                    draw_full_court(picture, shape, scale);
                    break;
            }
            break;
        case 3:
        case 4:
        case 5:
        case 9:
        case 10:
        case 11:
            ctx.monochrome = false;
            switch (court_kind % 6) {
                case 3:
                    paint_half_court_bottom(picture, ctx, shape, seq, scale);
                    break;
                case 4:
                    paint_half_court_top(picture, ctx, shape, seq, scale);
                    break;
                default:
                    paint_full_court(picture, ctx, shape, seq, scale);
                    break;
            }
            break;
        case 12:
            ctx.monochrome = true;
            draw_zones(picture, ctx, seq, scale);
            break;
        case 13:
            ctx.monochrome = false;
            canvas.pen.colour = kBlack;
            canvas.brush.colour = background;
            canvas.rectangle(0, 0, w, h);
            draw_zones(picture, ctx, seq, scale);
            canvas.pen.colour = kBlack;
            break;
        default:
            break;
    }
}

}  // namespace hoopcast
