#pragma once
// Small real-valued vector helpers shared by the line and curve drawings.

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include "raster/canvas.h"

namespace hoopcast::geometry {

// a + b for pixel coordinates, held in the int range: positions computed from absurd file
// values saturate when rounded, and an offset must not carry them past the end.
inline int offset(int a, long long b) {
    const long long v = static_cast<long long>(a) + b;
    return static_cast<int>(
        std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

struct Vec {
    double x = 0;
    double y = 0;
    friend Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
    friend Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
    friend Vec operator*(Vec a, double k) { return {a.x * k, a.y * k}; }
};

inline double distance(Vec a, Vec b) {
    return std::hypot(b.x - a.x, b.y - a.y);
}

struct Box {
    double x0, y0, x1, y1;
};

// The part of the segment a-b inside the box, as distances from a along the segment
// (0 to its length); no result when the segment misses the box.
inline std::optional<std::pair<double, double>> clip_segment(Vec a, Vec b, Box box) {
    const double len = distance(a, b);
    if (!(len > 0)) {
        if (a.x >= box.x0 && a.x <= box.x1 && a.y >= box.y0 && a.y <= box.y1) return std::pair{0.0, 0.0};
        return std::nullopt;
    }
    const double dx = (b.x - a.x) / len;
    const double dy = (b.y - a.y) / len;
    double lo = 0;
    double hi = len;
    auto clip = [&](double start, double dir, double min, double max) {
        if (dir == 0) return start >= min && start <= max;
        double t0 = (min - start) / dir;
        double t1 = (max - start) / dir;
        if (t0 > t1) std::swap(t0, t1);
        lo = std::max(lo, t0);
        hi = std::min(hi, t1);
        return lo <= hi;
    };
    if (!clip(a.x, dx, box.x0, box.x1) || !clip(a.y, dy, box.y0, box.y1)) return std::nullopt;
    return std::pair{lo, hi};
}

// A move followed by successive lines, handed to the canvas as polylines. The pixels are
// those of the single moves and lines (a wide pen puts a round dot on every vertex, a thin
// one leaves a line to the same point blank), but repeated points are dropped and each run
// of lines is one call.
class PenPath {
  public:
    explicit PenPath(raster::Canvas& canvas) : canvas_(canvas) { points_.reserve(64); }
    PenPath(const PenPath&) = delete;
    PenPath& operator=(const PenPath&) = delete;
    ~PenPath() { flush(); }

    void move_to(int x, int y) {
        flush();
        canvas_.move_to(x, y);
    }
    void line_to(int x, int y) {
        const raster::Point p{x, y};
        if (points_.empty()) {
            points_.push_back(canvas_.position());
            points_.push_back(p);
        } else if (!(points_.back() == p)) {
            points_.push_back(p);
        }
    }
    // Draws what has been collected; the canvas's position is then the last point.
    void flush() {
        if (points_.empty()) return;
        canvas_.polyline(points_);
        canvas_.move_to(points_.back().x, points_.back().y);
        points_.clear();
    }

  private:
    raster::Canvas& canvas_;
    std::vector<raster::Point> points_;
};

}  // namespace hoopcast::geometry
