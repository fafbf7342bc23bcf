#pragma once
// The busy frame of busy_play.h as an engineer would draw it with a general-purpose 2D
// library: the same court, zones, players, balls, lines, curves and texts, placed as ours in
// court units times the scale, with thin and wide pens, dashes and no anti-aliasing. Each
// library draws through a small painter of its own (peer_cairo.cpp, peer_qt.cpp), so the
// frame is laid out once for both.

#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace hoopcast::bench {

struct PeerPoint {
    double x, y;
};

// Colours here are 0xRRGGBB.
class PeerPainter {
  public:
    virtual ~PeerPainter() = default;
    virtual void fill(unsigned colour) = 0;
    virtual void pen(unsigned colour, double width, bool dashed) = 0;
    virtual void line(PeerPoint a, PeerPoint b) = 0;
    virtual void polyline(const std::vector<PeerPoint>& points) = 0;
    // Filled when fill_colour is given, outlined with the pen when `outline`.
    virtual void polygon(const std::vector<PeerPoint>& points, const unsigned* fill_colour, bool outline) = 0;
    virtual void ellipse(PeerPoint centre, double rx, double ry, const unsigned* fill_colour,
                         bool outline) = 0;
    virtual void arc(PeerPoint centre, double r, double from, double to) = 0;  // radians, stroked
    // A shaded zone: the colour laid over what is there at the given opacity.
    virtual void tint_polygon(const std::vector<PeerPoint>& points, unsigned colour, double alpha) = 0;
    virtual void tint_ellipse(PeerPoint centre, double rx, double ry, unsigned colour, double alpha) = 0;
    // One line of text with its cell's top-left at p, `pixels` the em size.
    virtual void text(PeerPoint p, const std::string& s, double pixels, unsigned colour) = 0;
};

// A painter drawing into an image of its own; `fresh` makes a new image for every frame.
struct PeerImage {
    virtual ~PeerImage() = default;
    virtual PeerPainter& begin(bool fresh) = 0;
    virtual void end() = 0;
    virtual bool write_png(const std::string& path) = 0;
};

std::unique_ptr<PeerImage> make_cairo_peer(int width, int height, const std::string& font_file);
std::unique_ptr<PeerImage> make_qt_peer(int width, int height, const std::string& font_file);

// The frame: the court with its zones and the symbols at `t` of their way (0..1) from the
// first sequence to the second; a still frame adds the lines and texts.
inline void draw_peer_frame(PeerPainter& p, double s, bool still, double t) {
    auto P = [s](double x, double y) { return PeerPoint{x * s, y * s}; };
    const double pen = s > 1.1 ? std::trunc(s) + 1 : 1;
    const unsigned outside = 0xFFFF99, floor_colour = 0xFFCC00, three = 0xFFFFCC, key = 0xFFCC99,
                   centre = 0xFFCCCC;

    p.fill(outside);
    p.pen(0x000000, pen, false);
    const std::vector<PeerPoint> floor{P(45, 4), P(248, 4), P(248, 360), P(45, 360)};
    p.polygon(floor, &floor_colour, true);

    for (const double dir : {1.0, -1.0}) {
        const double base = dir > 0 ? 4 : 360;
        auto Y = [&](double y) { return base + dir * y; };
        // The three-point area: two straight sides and an arc round the basket.
        std::vector<PeerPoint> area{P(62, Y(0))};
        const double cx = 146.5, cy = Y(25), r = 85;
        for (int k = 0; k <= 48; ++k) {
            const double a = std::numbers::pi * k / 48;
            area.push_back(P(cx - r * std::cos(a), cy + dir * r * std::sin(a) * 0.95));
        }
        area.push_back(P(231, Y(0)));
        p.pen(0x000000, pen, false);
        p.polygon(area, &three, true);
        const std::vector<PeerPoint> lane{P(108, Y(0)), P(185, Y(0)), P(164, Y(71)), P(122, Y(71))};
        p.polygon(lane, &key, true);
        p.arc(P(146.5, Y(71)), 23 * s, dir > 0 ? std::numbers::pi : 0,
              dir > 0 ? 2 * std::numbers::pi : std::numbers::pi);
        p.pen(0x000000, pen, true);
        p.arc(P(146.5, Y(71)), 23 * s, dir > 0 ? 0 : std::numbers::pi,
              dir > 0 ? std::numbers::pi : 2 * std::numbers::pi);
        p.pen(0x000000, pen, false);
        p.line(P(133, Y(13)), P(160, Y(13)));
        p.ellipse(P(146.5, Y(17)), 3 * s, 3 * s, nullptr, true);
    }
    p.line(P(45, 181), P(248, 181));
    p.ellipse(P(146.5, 181), 24 * s, 24 * s, nullptr, true);

    // Zones: two ellipses and a triangle shaded, one ellipse coloured.
    p.tint_ellipse(P(90, 55), 30 * s, 25 * s, 0x6C6C6C, 0.35);
    p.tint_ellipse(P(200, 310), 30 * s, 30 * s, 0x6C6C6C, 0.35);
    p.tint_ellipse(P(145, 180), 25 * s, 20 * s, centre, 0.9);
    p.tint_polygon({P(50, 150), P(240, 150), P(145, 220)}, 0xFFAA00, 0.3);

    // Players and balls at their step between the two sequences' places.
    const double shift = 30 * (1 - t);
    const unsigned blue = 0x6666FF, red = 0xFF6666;
    for (int k = 0; k < 10; ++k) {
        const double x = 60 + (k % 5) * 35 + shift, y = 40 + (k / 5) * 120 + shift;
        p.pen(0x000000, pen, false);
        if (k % 2 == 0) {
            p.ellipse(P(x, y), 10 * s, 10 * s, &blue, true);
        } else {
            p.polygon({P(x, y - 11), P(x + 10, y + 8), P(x - 10, y + 8)}, &red, true);
        }
        const std::string label = k % 3 == 0 ? "G" : std::to_string(k / 2 + 1);
        p.text(P(x - 4, y - 7), label, 10 * s * 96 / 72, 0x000000);
    }
    const unsigned black = 0x000000;
    p.ellipse(P(100 + shift, 90), 3.5 * s, 3.5 * s, &black, false);
    p.ellipse(P(180, 200 + shift), 3.5 * s, 3.5 * s, nullptr, true);
    if (!still) return;

    // Lines: cuts with arrows, dashed passes, wavy dribbles, a screen's bar, a shot's double line.
    const char* kinds[] = {"loop", "pass", "dribble", "screen", "shot", "pass", "loop", "dribble"};
    for (int k = 0; k < 8; ++k) {
        const PeerPoint a = P(60 + k * 20, 300), b = P(80 + k * 20, 230);
        const std::string kind = kinds[k];
        const double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
        const double ux = dx / len, uy = dy / len;
        p.pen(0x000000, pen, kind == "pass");
        if (kind == "dribble") {
            // Half circles along the way.
            std::vector<PeerPoint> wave;
            const double r = 2.5 * s;
            const int halves = static_cast<int>(len / (2 * r));
            for (int h = 0; h < halves; ++h) {
                for (int q = 0; q <= 8; ++q) {
                    const double a0 = std::numbers::pi * q / 8;
                    const double along = (2 * h + 1 - std::cos(a0)) * r;
                    const double side = (h % 2 ? -1 : 1) * std::sin(a0) * r;
                    wave.push_back({a.x + ux * along - uy * side, a.y + uy * along + ux * side});
                }
            }
            p.polyline(wave);
        } else if (kind == "shot") {
            p.line({a.x - uy * 2 * s, a.y + ux * 2 * s}, {b.x - uy * 2 * s, b.y + ux * 2 * s});
            p.line({a.x + uy * 2 * s, a.y - ux * 2 * s}, {b.x + uy * 2 * s, b.y - ux * 2 * s});
        } else {
            p.line(a, b);
        }
        p.pen(0x000000, pen, false);
        if (kind == "screen") {
            p.line({b.x - uy * 6 * s, b.y + ux * 6 * s}, {b.x + uy * 6 * s, b.y - ux * 6 * s});
        } else {
            const PeerPoint back{b.x - ux * 6 * s, b.y - uy * 6 * s};
            p.polyline(
                {{back.x - uy * 3 * s, back.y + ux * 3 * s}, b, {back.x + uy * 3 * s, back.y - ux * 3 * s}});
        }
    }
    // Curves: a cut and a pass through three points each, as Bezier pieces flattened.
    auto curve = [&](std::array<PeerPoint, 3> c, bool dashed) {
        std::vector<PeerPoint> pts;
        for (int k = 0; k <= 40; ++k) {
            const double u = k / 40.0;
            const double a = (1 - u) * (1 - u), b = 2 * u * (1 - u), d = u * u;
            pts.push_back({a * c[0].x + b * c[1].x + d * c[2].x, a * c[0].y + b * c[1].y + d * c[2].y});
        }
        p.pen(0x000000, pen, dashed);
        p.polyline(pts);
    };
    curve({P(60, 60), P(120, 100), P(200, 60)}, false);
    curve({P(200, 300), P(150, 240), P(100, 320)}, true);
    p.text(P(150, 20), "Press!", 12 * s * 96 / 72, 0x000000);
    p.text(P(150, 38), "Trap the corner", 12 * s * 96 / 72, 0x000000);
    p.text(P(60, 330), "Rotate", 10 * s * 96 / 72, 0x000000);
}

}  // namespace hoopcast::bench
