// The zones drawn by draw_zones against the plain way of drawing them: one mask of the whole
// picture, cleared whole for every zone, and a tint worked out pixel by pixel. Random zones of
// every kind and size, on and off the picture, at several scales, must give the same pixels.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "court_play.h"
#include "drawings/zones.h"
#include "play/rounding.h"
#include "raster/picture.h"

namespace hoopcast {
namespace {

using raster::Picture;

int low16(int v) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(v & 0xFFFF));
}

std::uint8_t tinted(std::uint8_t v, double factor, long long keep) {
    long long scaled = Round(static_cast<long double>(v) * static_cast<long double>(factor));
    if (scaled > 255) scaled = 255;
    return static_cast<std::uint8_t>(static_cast<unsigned long long>(scaled * keep) & 0xFF);
}

void plain_shade(Picture& picture, bool monochrome, const Picture& mask, int left, int top, int right,
                 int bottom, const element& zone) {
    const int w = picture.width(), h = picture.height();
    if (right > w - 1) right = w - 1;
    if (bottom > h - 1) bottom = h - 1;
    if (right < w - 1) ++right;
    if (bottom < h - 1) ++bottom;
    if (top < 0) top = 0;
    if (left < 0) left = 0;
    const raster::Colour c = zone.colour == 0 ? 0x6C6C6C : zone.colour;
    std::array<double, 3> factor{1.0 + (raster::blue_of(c) - 128) / 100.0,
                                 1.0 + (raster::green_of(c) - 128) / 100.0,
                                 1.0 + (raster::red_of(c) - 128) / 100.0};
    std::array<long long, 3> keep{1 - static_cast<long long>(zone.extra3),
                                  1 - static_cast<long long>(zone.extra2),
                                  1 - static_cast<long long>(zone.extra1)};
    if (monochrome) factor = {0.8, 0.8, 0.8}, keep = {1, 1, 1};
    std::array<std::array<std::uint8_t, 256>, 3> table{};
    for (int i = 0; i < 3; ++i) {
        for (int v = 0; v < 256; ++v) table[i][v] = tinted(static_cast<std::uint8_t>(v), factor[i], keep[i]);
    }
    for (int y = top; y <= bottom; ++y) {
        const std::uint8_t* mask_row = mask.bitmap().scan_line(y);
        std::uint8_t* row = picture.bitmap().scan_line(y);
        for (int x = left; x <= right; ++x) {
            if ((mask_row[3 * x] | mask_row[3 * x + 1] | mask_row[3 * x + 2]) != 0) continue;
            for (int i = 0; i < 3; ++i) row[3 * x + i] = table[i][row[3 * x + i]];
        }
    }
}

void plain_zones(Picture& picture, bool monochrome, const PlayModel& play, int seq, double scale) {
    Picture mask(picture.width(), picture.height());
    raster::Canvas& canvas = mask.canvas();
    for (int i = 1; i <= kSlotsPerSequence && !play.item(seq, i).kind.empty(); ++i) {
        const element& e = play.item(seq, i);
        if (e.kind != "ellipse") continue;
        const int x1 = low16(e.x1), y1 = low16(e.y1), x2 = low16(e.x2), y2 = low16(e.y2);
        mask.bitmap().fill(kWhite);
        canvas.brush.style = raster::BrushStyle::clear;
        canvas.pen.colour = kBlack;
        canvas.ellipse(Round(x1 * scale), Round(y1 * scale), Round(x2 * scale), Round(y2 * scale));
        canvas.brush.colour = kBlack;
        canvas.brush.style = raster::BrushStyle::solid;
        canvas.flood_fill(Round((x1 + x2) * scale / 2), Round((y1 + y2) * scale / 2), kBlack);
        canvas.ellipse(Round(x1 * scale), Round(y1 * scale), Round(x2 * scale), Round(y2 * scale));
        plain_shade(picture, monochrome, mask, Trunc(std::min(x1, x2) * scale),
                    Trunc(std::min(y1, y2) * scale), Trunc(std::max(x1, x2) * scale),
                    Trunc(std::max(y1, y2) * scale), e);
    }
    std::vector<raster::Point> corners;
    int min_x = 0, min_y = 0, max_x = 0, max_y = 0;
    for (int i = 1; i <= kSlotsPerSequence && !play.item(seq, i).kind.empty(); ++i) {
        const element& e = play.item(seq, i);
        if (e.kind != "poly" && e.kind != "ppoly") continue;
        const int x = low16(e.x1), y = low16(e.y1);
        if (corners.empty()) min_x = max_x = x, min_y = max_y = y;
        min_x = std::min(min_x, x), max_x = std::max(max_x, x);
        min_y = std::min(min_y, y), max_y = std::max(max_y, y);
        corners.push_back({Round(x * scale), Round(y * scale)});
        if (e.kind == "poly") continue;
        if (corners.size() > 2) {
            mask.bitmap().fill(kWhite);
            canvas.pen.colour = kBlack;
            canvas.brush.colour = kBlack;
            canvas.brush.style = raster::BrushStyle::solid;
            canvas.polygon(corners);
            plain_shade(picture, monochrome, mask, Trunc(min_x * scale), Trunc(min_y * scale),
                        Trunc(max_x * scale), Trunc(max_y * scale), e);
        }
        corners.clear();
    }
}

// A picture of runs of colours, long and short, from a small palette and at random, so that
// tinting meets both long runs of one colour and colours changing at every pixel.
void paint_court_like(Picture& p, std::mt19937& rng) {
    const raster::Colour palette[] = {kWhite, kBlack, 0x00CCFF, 0x3070C0, 0x808080, 0x010000};
    std::uniform_int_distribution<int> run_length(1, 60), pick(0, 7), any(0, 0xFFFFFF);
    const std::span<std::uint8_t> bytes = p.bitmap().bytes();
    for (std::size_t i = 0; i < bytes.size();) {
        const int k = pick(rng);
        const raster::Colour c = k < 6 ? palette[k] : any(rng);
        for (int n = k == 7 ? 1 : run_length(rng); n > 0 && i < bytes.size(); --n, i += 3) {
            bytes[i] = raster::blue_of(c), bytes[i + 1] = raster::green_of(c),
            bytes[i + 2] = raster::red_of(c);
        }
    }
}

// A copy of the picture, to draw the same zones on in the other way.
std::unique_ptr<Picture> copy_of(const Picture& p) {
    auto copy = std::make_unique<Picture>(p.width(), p.height());
    std::memcpy(copy->bitmap().bytes().data(), p.bitmap().bytes().data(), p.bitmap().bytes().size());
    return copy;
}

// Index of the first pixel where the pictures differ, or -1.
long first_difference(const Picture& a, const Picture& b) {
    const auto x = a.bitmap().bytes(), y = b.bitmap().bytes();
    if (std::memcmp(x.data(), y.data(), x.size()) == 0) return -1;
    std::size_t i = 0;
    while (x[i] == y[i]) ++i;
    return static_cast<long>(i / 3);
}

struct Config {
    int width, height;
    double scale;
    bool monochrome;
};

std::string describe(const Config& c, const PlayModel& play) {
    std::string s = std::to_string(c.width) + "x" + std::to_string(c.height) + " scale " +
                    std::to_string(c.scale) + (c.monochrome ? " monochrome" : "") + ":";
    for (int i = 1; i <= kSlotsPerSequence && !play.item(1, i).kind.empty(); ++i) {
        const element& e = play.item(1, i);
        s += " " + e.kind + "(" + std::to_string(e.x1) + "," + std::to_string(e.y1);
        if (e.kind == "ellipse") s += "," + std::to_string(e.x2) + "," + std::to_string(e.y2);
        s += ")";
    }
    return s;
}

// Random zones for one sequence; coordinates are in court units around a picture of w x h
// pixels at the scale, now and then far beyond it or wrapped past 16 bits.
class ZoneMaker {
  public:
    ZoneMaker(std::mt19937& rng, const Config& c) : rng_(rng), c_(c) {}

    void fill(PlayModel& play) {
        const int zones = std::uniform_int_distribution<int>(1, 6)(rng_);
        int slot = 1;
        for (int z = 0; z < zones && slot < kSlotsPerSequence - 10; ++z) {
            if (chance(2)) {
                element& e = next(play, slot, "ellipse");
                ellipse_corners(e);
                tint(e);
                continue;
            }
            const int n = std::uniform_int_distribution<int>(1, 7)(rng_);
            for (int k = 0; k < n; ++k) {
                element& e = next(play, slot, k + 1 == n ? "ppoly" : "poly");
                e.x1 = coord(c_.width), e.y1 = coord(c_.height);
                tint(e);
                // Items of other kinds in between change nothing.
                if (chance(6)) next(play, slot, "Circle");
            }
        }
        if (chance(4)) next(play, slot, "poly").x1 = coord(c_.width);  // never closed
        play.item(1, slot).kind.clear();
    }

  private:
    bool chance(int one_in) { return std::uniform_int_distribution<int>(1, one_in)(rng_) == 1; }

    element& next(PlayModel& play, int& slot, const char* kind) {
        element& e = play.item(1, slot++);
        e = element{};
        e.kind = kind;
        return e;
    }

    // A court coordinate whose pixel falls mostly near a picture side of `size` pixels.
    int coord(int size) {
        const int k = std::uniform_int_distribution<int>(0, 19)(rng_);
        double pixel = 0;
        if (k == 0) {
            // Wrapped: only the low 16 bits count.
            return std::uniform_int_distribution<int>(-3, 3)(rng_) * 65536 + coord(size);
        }
        if (k == 1) return std::uniform_int_distribution<int>(-32768, 32767)(rng_);
        // Just off the top or left edge, where truncating and rounding part most.
        if (k == 2) return std::uniform_int_distribution<int>(-4, 1)(rng_);
        if (k <= 4) {
            pixel = std::uniform_real_distribution<double>(-6.0 * size, 7.0 * size)(rng_);
        } else {
            pixel = std::uniform_real_distribution<double>(-12, size + 12)(rng_);
        }
        return static_cast<int>(pixel / c_.scale);
    }

    void ellipse_corners(element& e) {
        e.x1 = coord(c_.width), e.y1 = coord(c_.height);
        const int k = std::uniform_int_distribution<int>(0, 5)(rng_);
        if (k == 0) {
            // Flat or tiny: a few pixels at most in one or both directions.
            std::uniform_int_distribution<int> small(-3, 3);
            e.x2 = e.x1 + small(rng_);
            e.y2 = chance(2) ? e.y1 + small(rng_) : coord(c_.height);
        } else if (k == 1) {
            // Large, and mostly off the picture.
            std::uniform_int_distribution<int> big(-8 * (c_.width + c_.height), 8 * (c_.width + c_.height));
            e.x2 = e.x1 + static_cast<int>(big(rng_) / c_.scale);
            e.y2 = e.y1 + static_cast<int>(big(rng_) / c_.scale);
        } else {
            e.x2 = coord(c_.width), e.y2 = coord(c_.height);
        }
    }

    void tint(element& e) {
        const int k = std::uniform_int_distribution<int>(0, 3)(rng_);
        e.colour = k == 0 ? 0 : k == 1 ? 0x808080 : std::uniform_int_distribution<int>(1, 0xFFFFFF)(rng_);
        std::uniform_int_distribution<int> off(0, 1), odd(-2, 300);
        e.extra1 = chance(8) ? odd(rng_) : off(rng_);
        e.extra2 = chance(8) ? odd(rng_) : off(rng_);
        e.extra3 = chance(8) ? odd(rng_) : off(rng_);
    }

    std::mt19937& rng_;
    Config c_;
};

TEST(DrawZonesDifferential, RandomZonesGiveThePixelsOfAWholePictureMask) {
    std::mt19937 rng(20261208);
    testing::Scene scene;
    scene.play->has_zones = true;
    const double scales[] = {0.25, 0.5, 1.0, 1.37, 2.86};
    for (int round = 0; round < 800; ++round) {
        const Config c{std::uniform_int_distribution<int>(1, 128)(rng),
                       std::uniform_int_distribution<int>(1, 128)(rng), scales[round % 5], round % 3 == 0};
        ZoneMaker(rng, c).fill(*scene.play);
        scene.ctx.monochrome = c.monochrome;
        Picture expected(c.width, c.height);
        paint_court_like(expected, rng);
        const auto actual = copy_of(expected);

        plain_zones(expected, c.monochrome, *scene.play, 1, c.scale);
        draw_zones(*actual, scene.ctx, 1, c.scale);
        if (const long at = first_difference(*actual, expected); at >= 0) {
            const int x = static_cast<int>(at % c.width), y = static_cast<int>(at / c.width);
            FAIL() << "round " << round << ", first difference at (" << x << ", " << y << "): " << std::hex
                   << actual->bitmap().pixel(x, y) << " instead of " << expected.bitmap().pixel(x, y)
                   << std::dec << " in " << describe(c, *scene.play);
        }
    }
}

// Ellipses of every small size, where outline and fill leave little room for the flood fill,
// whole and cut by the picture's edges.
TEST(DrawZonesDifferential, SmallEllipsesOfEverySize) {
    testing::Scene scene;
    scene.play->has_zones = true;
    const int w = 23, h = 19;
    for (const double scale : {1.0, 1.37, 2.86}) {
        for (const raster::Point at :
             {raster::Point{4, 3}, raster::Point{-2, -1}, raster::Point{w - 3, h - 2}}) {
            for (int dx = -7; dx <= 7; ++dx) {
                for (int dy = -7; dy <= 7; ++dy) {
                    element& e = scene.play->item(1, 1);
                    e = element{};
                    e.kind = "ellipse";
                    e.x1 = static_cast<int>(at.x / scale), e.y1 = static_cast<int>(at.y / scale);
                    e.x2 = e.x1 + dx, e.y2 = e.y1 + dy;
                    scene.play->item(1, 2).kind.clear();
                    Picture expected(w, h);
                    Picture actual(w, h);
                    plain_zones(expected, false, *scene.play, 1, scale);
                    draw_zones(actual, scene.ctx, 1, scale);
                    ASSERT_EQ(first_difference(actual, expected), -1)
                        << "scale " << scale << " ellipse " << e.x1 << "," << e.y1 << "," << e.x2 << ","
                        << e.y2;
                }
            }
        }
    }
}

// Long ellipses poking their tip a few pixels into the picture from beyond one of its sides,
// so that their box is many times the part of the picture they reach.
TEST(DrawZonesDifferential, LongEllipsesPokingIntoThePicture) {
    testing::Scene scene;
    scene.play->has_zones = true;
    std::mt19937 rng(3);
    int failures = 0;
    for (int round = 0; round < 400 && failures < 5; ++round) {
        const int w = std::uniform_int_distribution<int>(20, 90)(rng),
                  h = std::uniform_int_distribution<int>(20, 90)(rng);
        const int across = std::uniform_int_distribution<int>(3, (w + h) / 2)(rng);
        const int along = std::uniform_int_distribution<int>(5 * across, 4 * (w + h) + 4)(rng);
        const int tip = std::uniform_int_distribution<int>(0, 4)(rng);
        const int side = round % 4;  // the side the ellipse comes from: top, bottom, left, right
        const int at = std::uniform_int_distribution<int>(0, side < 2 ? w : h)(rng) - across / 2;
        int x1 = at, x2 = at + across, y1 = tip - along, y2 = tip;
        if (side == 1) y1 = h - 1 - tip, y2 = y1 + along;
        if (side >= 2) std::swap(x1, y1), std::swap(x2, y2);
        if (side == 3) x1 = w - 1 - tip, x2 = x1 + along;
        element& e = scene.play->item(1, 1);
        e = element{};
        e.kind = "ellipse";
        e.x1 = x1, e.y1 = y1, e.x2 = x2, e.y2 = y2;
        scene.play->item(1, 2).kind.clear();
        Picture expected(w, h);
        expected.bitmap().fill(kWhite);
        Picture actual(w, h);
        actual.bitmap().fill(kWhite);
        plain_zones(expected, false, *scene.play, 1, 1.0);
        draw_zones(actual, scene.ctx, 1, 1.0);
        if (first_difference(actual, expected) >= 0) {
            ++failures;
            ADD_FAILURE() << w << "x" << h << " ellipse " << x1 << "," << y1 << "," << x2 << "," << y2;
        }
    }
}

// shade_zone reads any mask: a pixel is black only with all three bytes 0, and the colours
// with one or two zero bytes around black runs must not count.
TEST(ShadeZoneDifferential, RandomMasksOfAnyColours) {
    std::mt19937 rng(7);
    testing::Scene scene;
    const raster::Colour near_black[] = {kBlack, 0x000001, 0x000100, 0x010000, 0x000101, kWhite};
    for (int round = 0; round < 200; ++round) {
        const int w = std::uniform_int_distribution<int>(1, 90)(rng),
                  h = std::uniform_int_distribution<int>(1, 40)(rng);
        Picture mask(w, h);
        std::uniform_int_distribution<int> pick(0, 5), run(1, 20);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w;) {
                const raster::Colour c = near_black[pick(rng)];
                for (int n = run(rng); n > 0 && x < w; --n, ++x) mask.bitmap().set_pixel(x, y, c);
            }
        }
        Picture expected(w, h);
        paint_court_like(expected, rng);
        const auto copy = copy_of(expected);
        Picture& actual = *copy;
        std::uniform_int_distribution<int> coord(-10, 100);
        element zone;
        zone.colour = std::uniform_int_distribution<int>(0, 0xFFFFFF)(rng);
        zone.extra2 = round % 4 == 0 ? 1 : 0;
        scene.ctx.monochrome = round % 3 == 0;
        const int l = coord(rng), t = coord(rng), r = coord(rng), b = coord(rng);
        plain_shade(expected, scene.ctx.monochrome, mask, l, t, r, b, zone);
        shade_zone(actual, scene.ctx, mask, l, t, r, b, zone.extra1, zone.extra2, zone.extra3, zone.colour);
        ASSERT_EQ(first_difference(actual, expected), -1)
            << "round " << round << ": " << w << "x" << h << " box " << l << "," << t << "," << r << "," << b;
    }
}

}  // namespace
}  // namespace hoopcast
