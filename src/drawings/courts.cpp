#include "drawings/courts.h"

#include <algorithm>
#include <initializer_list>
#include <span>
#include <vector>

#include "drawings/arcs.h"
#include "drawings/zones.h"
#include "play/rounding.h"
#include "raster/picture.h"
#include "raster/runs.h"

namespace hoopcast {

namespace {

enum colour_slot { kBackground = 0, kFloor = 1, kThreePointArea = 2, kKey = 3 };

// A point in court units; some basket points carry a fraction.
struct CourtPoint {
    double x;
    double y;
};

// ---- Geometry ---------------------------------------------------------------------------

// A lane (key): its baseline and free-throw line, and where its sides meet them. A
// rectangular lane's sides meet the baseline where they meet the free-throw line.
struct LaneGeometry {
    double baseline, free_throw_line;
    double foot_left, foot_right;  // a trapezoid's sides at the baseline
    double left, right;            // the sides at the free-throw line

    // The corners in the order the outline runs: baseline, free-throw line twice, baseline.
    std::array<CourtPoint, 4> corners(key_shape shape) const noexcept {
        const bool trapezoid = shape == key_shape::trapezoid;
        return {{{trapezoid ? foot_left : left, baseline},
                 {left, free_throw_line},
                 {right, free_throw_line},
                 {trapezoid ? foot_right : right, baseline}}};
    }
};

// A three-point line: the arc from `from` to `to`, the ends of its diameter, turning from a1
// to a2 degrees, then legs along the diameter's ends to the baseline. One closed path, so
// that the area inside it can be flood-filled from `inside`.
struct ThreePointGeometry {
    CourtPoint from, to;
    int a1, a2;
    double baseline;
    CourtPoint inside;
    bool lifted_on_trapezoid;  // the arc ends one unit above its leg on a trapezoid court
};

// One court layout: a half court with its basket at the bottom or top, or the full court
// with a basket at each end.
struct Layout {
    CourtPoint outline_from, outline_to;  // opposite corners of the court outline
    std::size_t ends;                     // lanes and three-point lines, one per basket
    std::array<LaneGeometry, 2> lanes;
    std::array<ThreePointGeometry, 2> three_points;
    bool full;  // midcourt line, centre circle and the dashed halves of the free-throw circles
    void (*baskets)(raster::Picture&, double);

    std::span<const LaneGeometry> lane_list() const noexcept { return {lanes.data(), ends}; }
    std::span<const ThreePointGeometry> three_point_list() const noexcept {
        return {three_points.data(), ends};
    }
};

// Lanes: baseline, free-throw line, the trapezoid's feet, the sides at the free-throw line.
// Three-point lines: diameter ends, angles, baseline, a point inside, the lifted leg.
constexpr Layout kBottomHalf{
    .outline_from = {11, 76},
    .outline_to = {275, 307},
    .ends = 1,
    .lanes = {{{307, 211, 90, 196, 111, 175}}},
    .three_points = {{{{29, 280}, {257, 280}, 180, 360, 307, {40, 270}, true}}},
    .full = false,
    .baskets = draw_bottom_basket,
};
// The bottom half mirrored about y = 183.
constexpr Layout kTopHalf{
    .outline_from = {11, 59},
    .outline_to = {275, 290},
    .ends = 1,
    .lanes = {{{59, 155, 90, 196, 111, 175}}},
    .three_points = {{{{257, 86}, {29, 86}, 0, 180, 59, {40, 100}, false}}},
    .full = false,
    .baskets = draw_top_basket,
};
// Mirror-symmetric about y = 180.5 but for the centre circle and the midcourt line.
constexpr Layout kFullCourt{
    .outline_from = {45, 4},
    .outline_to = {248, 357},
    .ends = 2,
    .lanes = {{{4, 76, 107, 186, 122, 171}, {357, 285, 107, 186, 122, 171}}},
    .three_points = {{{{231, 29}, {62, 29}, 0, 180, 4, {65, 8}, false},
                      {{62, 332}, {231, 332}, 180, 360, 357, {65, 350}, false}}},
    .full = true,
    .baskets = draw_full_court_baskets,
};

// The fourteen court kinds, by number.
struct CourtKind {
    const Layout* layout;  // none for the blank kinds, which show only the zones
    key_shape key;
    bool painted;     // floor, three-point areas and lanes in the sequence's colours
    bool monochrome;  // what follows the court is drawn in black and white
};

constexpr key_shape kTrapezoid = key_shape::trapezoid;
constexpr key_shape kRectangle = key_shape::rectangle;
constexpr CourtKind kCourtKinds[] = {
    {&kBottomHalf, kTrapezoid, false, true},  // 0
    {&kTopHalf, kTrapezoid, false, true},     // 1
    {&kFullCourt, kTrapezoid, false, true},   // 2
    {&kBottomHalf, kTrapezoid, true, false},  // 3
    {&kTopHalf, kTrapezoid, true, false},     // 4
    {&kFullCourt, kTrapezoid, true, false},   // 5
    {&kBottomHalf, kRectangle, false, true},  // 6
    {&kTopHalf, kRectangle, false, true},     // 7
    {&kFullCourt, kRectangle, false, true},   // 8
    {&kBottomHalf, kRectangle, true, false},  // 9
    {&kTopHalf, kRectangle, true, false},     // 10
    {&kFullCourt, kRectangle, true, false},   // 11
    {nullptr, kTrapezoid, false, true},       // 12
    {nullptr, kTrapezoid, false, false},      // 13
};

const CourtKind* court_kind_of(int kind) noexcept {
    return kind >= 0 && kind < static_cast<int>(std::size(kCourtKinds)) ? &kCourtKinds[kind] : nullptr;
}

// ---- Court units to pixels --------------------------------------------------------------

// Each coordinate is scaled and rounded on its own.
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
        path(std::span(points.begin(), points.size()));
    }
    void path(std::span<const CourtPoint> points) noexcept {
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
    void polygon(std::span<const CourtPoint> points) noexcept { canvas_.polygon(closed(points)); }
    std::vector<raster::Point> closed(std::span<const CourtPoint> points) const {
        std::vector<raster::Point> list;
        for (const CourtPoint& p : points) list.push_back(at(p));
        if (!list.empty()) list.push_back(list.front());
        return list;
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

// ---- Lines ------------------------------------------------------------------------------

void court_outline(Court& c, const Layout& l) {
    const CourtPoint a = l.outline_from, b = l.outline_to;
    c.path({a, {a.x, b.y}, b, {b.x, a.y}, a});
}

void lane_outlines(Court& c, const Layout& l, key_shape shape) {
    for (const LaneGeometry& lane : l.lane_list()) c.path(lane.corners(shape));
}

void three_point_line(Court& c, const ThreePointGeometry& t, key_shape shape) {
    c.move(t.from);
    c.arc_chords_to(t.a1, t.a2, t.from, t.to);
    c.line({t.to.x, t.lifted_on_trapezoid && shape == key_shape::trapezoid ? t.to.y - 1 : t.to.y});
    c.line({t.to.x, t.baseline});
    c.line({t.from.x, t.baseline});
    c.line(t.from);
}

void midcourt_line(Court& c) {
    c.path({{45, 181}, {248, 181}});
}

void centre_circle(Court& c) {
    c.ellipse({122, 157}, {171, 205});
}

// The free-throw circles' halves inside the lanes of the full court.
void dashed_inner_halves(Court& c) {
    c.arc_chords(180, 360, {122, 76}, {171, 76}, true);
    c.arc_chords(0, 180, {122, 285}, {171, 285}, true);
}

// ---- Painted courts ---------------------------------------------------------------------

// Painting from runs works them out whole, unclipped: only for courts of a sensible size in
// pixels, whose coordinates also leave room for the arithmetic around them. Other scales
// draw call by call, which clips to the picture.
bool runs_are_bounded(double scale) noexcept {
    return scale > 0 && 361 * scale <= 4 * raster::kMaxPictureSide;
}

// The court outline's box in pixels; the floor rectangle is drawn on it.
raster::Rect floor_box(const Layout& l, double scale) noexcept {
    const int x1 = Round(l.outline_from.x * scale), y1 = Round(l.outline_from.y * scale);
    const int x2 = Round(l.outline_to.x * scale), y2 = Round(l.outline_to.y * scale);
    return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

ArcRegion three_point_area(const ThreePointGeometry& t, double scale) noexcept {
    auto i = [](double v) { return static_cast<int>(v); };
    return arc_region(i(t.from.x), i(t.from.y), i(t.to.x), i(t.to.y), i(t.baseline), scale, t.a1, t.a2);
}

// The painting before the zones: floor, three-point areas, centre circle, lanes. The
// three-point lines are drawn here, black, as the edge of their areas.
void paint_floor(Court& c, const std::array<raster::Colour, 4>& colours, key_shape shape, const Layout& l) {
    raster::Canvas& canvas = c.canvas();
    if (canvas.pen.width == 0) canvas.pen.width = 1;
    const double s = c.scale();

    // A picture taller than the screen is filled inside its outlines; otherwise each area
    // is one polygon whose edge is the three-point line.
    const bool flood = screen_shorter_than(c.picture());
    if (flood || !runs_are_bounded(s)) {
        canvas.pen.colour = colours[kFloor];
        canvas.brush.colour = colours[kFloor];
        canvas.brush.style = raster::BrushStyle::solid;
        c.rectangle(l.outline_from, l.outline_to);
        canvas.pen.colour = kBlack;
        canvas.brush.colour = colours[kThreePointArea];
        if (flood) {
            for (const ThreePointGeometry& t : l.three_point_list()) three_point_line(c, t, shape);
            for (const ThreePointGeometry& t : l.three_point_list())
                canvas.flood_fill(c.px(t.inside.x), c.px(t.inside.y), kBlack);
        } else {
            for (const ThreePointGeometry& t : l.three_point_list())
                canvas.polygon(three_point_area(t, s).polygon());
        }
        if (l.full) centre_circle(c);
        canvas.pen.colour = colours[kKey];
        canvas.brush.colour = colours[kKey];
        for (const LaneGeometry& lane : l.lane_list()) {
            const std::array<CourtPoint, 4> corners = lane.corners(shape);
            if (shape == key_shape::trapezoid) {
                c.polygon(corners);
            } else {
                c.rectangle(corners[1], corners[3]);
            }
        }
        return;
    }

    // The same drawing calls, with each brush painted from the runs its fill covers, leaving
    // out what a later brush covers; pens draw as before, in the same order.
    std::array<ArcRegion, 2> areas;
    std::array<std::vector<raster::RowSpan>, 2> area_runs;
    std::array<std::vector<raster::Point>, 2> lane_outlines;
    std::array<std::vector<raster::RowSpan>, 2> lane_runs;
    raster::RunSet over_areas;  // the lanes
    for (std::size_t i = 0; i < l.ends; ++i) {
        areas[i] = three_point_area(l.three_points[i], s);
        area_runs[i] = raster::polygon_runs(areas[i].polygon());
        const std::array<CourtPoint, 4> corners = l.lanes[i].corners(shape);
        if (shape == key_shape::trapezoid) {
            lane_outlines[i] = c.closed(corners);
            lane_runs[i] = raster::polygon_runs(lane_outlines[i]);
        } else {
            lane_outlines[i] = {c.at(corners[1]), c.at(corners[3])};
            lane_runs[i] = raster::rectangle_runs(lane_outlines[i][0], lane_outlines[i][1]);
        }
        over_areas.add(lane_runs[i]);
    }
    raster::RunSet over_floor = over_areas;  // the lanes and the three-point areas
    for (std::size_t i = 0; i < l.ends; ++i) over_floor.add(area_runs[i]);

    raster::Bitmap& bitmap = c.picture().bitmap();
    const raster::Rect floor = floor_box(l, s);
    raster::fill_rect_except(bitmap, {floor.left + 1, floor.top + 1, floor.right - 1, floor.bottom - 1},
                             colours[kFloor], over_floor);
    canvas.pen.colour = colours[kFloor];
    canvas.brush.colour = colours[kFloor];
    canvas.brush.style = raster::BrushStyle::clear;
    canvas.rectangle(floor.left, floor.top, floor.right, floor.bottom);

    canvas.pen.colour = kBlack;
    for (std::size_t i = 0; i < l.ends; ++i) {
        raster::fill_runs_except(bitmap, area_runs[i], colours[kThreePointArea], over_areas);
        draw_outline(canvas, areas[i].polygon(), true);
    }
    canvas.brush.colour = colours[kThreePointArea];
    canvas.brush.style = raster::BrushStyle::solid;

    if (l.full) centre_circle(c);

    canvas.pen.colour = colours[kKey];
    canvas.brush.colour = colours[kKey];
    canvas.brush.style = raster::BrushStyle::clear;
    for (std::size_t i = 0; i < l.ends; ++i) {
        raster::fill_runs(bitmap, lane_runs[i], colours[kKey]);
        const std::vector<raster::Point>& outline = lane_outlines[i];
        if (shape == key_shape::trapezoid) {
            canvas.polygon(outline);
        } else {
            canvas.rectangle(outline[0].x, outline[0].y, outline[1].x, outline[1].y);
        }
    }
    canvas.brush.style = raster::BrushStyle::solid;
}

// What the brush of the floor rectangle of a painted court kind covers: the inside of its
// outline. Empty for other kinds.
raster::Rect floor_interior(const CourtKind* kind, double scale) noexcept {
    if (kind == nullptr || !kind->painted || !runs_are_bounded(scale)) return {};
    // The rectangle call takes its corners in either order; its outline runs along
    // left..right-1 and top..bottom-1.
    const raster::Rect box = floor_box(*kind->layout, scale);
    return {box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
}

// ---- Layouts ----------------------------------------------------------------------------

// Black lines on the picture as draw_court left it.
void draw_layout(Court& c, const Layout& l, key_shape shape) {
    court_outline(c, l);
    if (l.full) {
        c.canvas().brush.style = raster::BrushStyle::clear;
        centre_circle(c);
        midcourt_line(c);
    }
    lane_outlines(c, l, shape);
    l.baskets(c.picture(), c.scale());
    if (l.full) dashed_inner_halves(c);
    for (const ThreePointGeometry& t : l.three_point_list()) three_point_line(c, t, shape);
}

// Floor, areas and lanes in the sequence's colours, the zones, then the black lines the
// painting has not drawn yet.
void paint_layout(Court& c, const DrawContext& ctx, const Layout& l, key_shape shape, int seq) {
    const std::array<raster::Colour, 4> colours = court_colours(ctx, seq);
    paint_floor(c, colours, shape, l);
    draw_zones(c.picture(), ctx, seq, c.scale());
    raster::Canvas& canvas = c.canvas();
    canvas.pen.colour = kBlack;
    if (l.full) {
        canvas.brush.style = raster::BrushStyle::clear;
        midcourt_line(c);
    }
    court_outline(c, l);
    lane_outlines(c, l, shape);
    if (l.full) canvas.brush.colour = colours[kKey];
    l.baskets(c.picture(), c.scale());
    if (l.full) dashed_inner_halves(c);
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

// ---- Layout routines --------------------------------------------------------------------

void draw_half_court_bottom(raster::Picture& picture, key_shape shape, double scale) {
    Court c(picture, scale);
    draw_layout(c, kBottomHalf, shape);
}

void draw_half_court_top(raster::Picture& picture, key_shape shape, double scale) {
    Court c(picture, scale);
    draw_layout(c, kTopHalf, shape);
}

void draw_full_court(raster::Picture& picture, key_shape shape, double scale) {
    Court c(picture, scale);
    draw_layout(c, kFullCourt, shape);
}

void paint_half_court_bottom(raster::Picture& picture, const DrawContext& ctx, key_shape shape, int seq,
                             double scale) {
    Court c(picture, scale);
    paint_layout(c, ctx, kBottomHalf, shape, seq);
}

void paint_half_court_top(raster::Picture& picture, const DrawContext& ctx, key_shape shape, int seq,
                          double scale) {
    Court c(picture, scale);
    paint_layout(c, ctx, kTopHalf, shape, seq);
}

void paint_full_court(raster::Picture& picture, const DrawContext& ctx, key_shape shape, int seq,
                      double scale) {
    Court c(picture, scale);
    paint_layout(c, ctx, kFullCourt, shape, seq);
}

// ---- The court of a frame ---------------------------------------------------------------

std::optional<bool> court_monochrome(int court_kind) noexcept {
    const CourtKind* kind = court_kind_of(court_kind);
    if (kind == nullptr) return std::nullopt;
    return kind->monochrome;
}

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
    const CourtKind* kind = court_kind_of(court_kind);
    const bool coloured = kind != nullptr && !kind->monochrome;
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
        // painted court paints over next is left out.
        raster::fill_rect_except(picture.bitmap(), raster::Rect{1, 1, w - 1, h - 1},
                                 floor_interior(kind, scale), background);
        canvas.brush.style = raster::BrushStyle::clear;
        canvas.rectangle(0, 0, w, h);
        canvas.brush.style = raster::BrushStyle::solid;
    }
    if (kind == nullptr) return;

    ctx.monochrome = kind->monochrome;
    Court c(picture, scale);
    if (kind->painted) {
        paint_layout(c, ctx, *kind->layout, kind->key, seq);
        return;
    }
    if (kind->layout == nullptr && coloured) {
        // The blank coloured court's frame again, over its background.
        canvas.brush.colour = background;
        canvas.rectangle(0, 0, w, h);
    }
    draw_zones(picture, ctx, seq, scale);
    if (kind->layout != nullptr) draw_layout(c, *kind->layout, kind->key);
}

}  // namespace hoopcast
