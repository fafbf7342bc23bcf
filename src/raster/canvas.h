#pragma once
// A drawing state over a bitmap with the pixel rules of the Windows graphics device
// interface: lines leave their end pixel out, boxes end at x2 - 1 and y2 - 1, wide pens
// are geometric with round ends and joins, polygons fill with the alternate rule.

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "raster/types.h"

namespace hoopcast::raster {

class Bitmap;
class RenderCache;
namespace detail {
class DotCache;
}

// Windows-1252 text as play files hold it: measured and drawn by its code points with no
// copy in UTF-8, so a label of any length costs nothing beside itself.
struct Cp1252Text {
    std::string_view bytes;
};

// How often each byte occurs in a Windows-1252 text. A text's width is the sum of its
// glyphs' advances, so its width at any size follows from the counts: fitting a long text
// to a width reads it once, not once a size tried.
struct ByteCounts {
    explicit ByteCounts(std::string_view bytes) noexcept {
        for (const char c : bytes) ++n[static_cast<unsigned char>(c)];
    }
    bool empty() const noexcept {
        return std::all_of(n.begin(), n.end(), [](std::uint64_t k) { return k == 0; });
    }
    std::array<std::uint64_t, 256> n{};
};

enum class BrushStyle { solid, clear };

struct Pen {
    Colour colour = kBlack;
    int width = 1;  // 0 draws as 1; 2 and more are geometric pens
};

struct Brush {
    Colour colour = kWhite;
    BrushStyle style = BrushStyle::solid;
};

enum FontStyle : unsigned {
    kBold = 1,
    kItalic = 2,
    kUnderline = 4,
    kStrikeOut = 8,
};

struct Font {
    std::string name = "Arial";  // UTF-8 face name, resolved through fontconfig
    int size = 8;                // points
    Colour colour = kBlack;
    unsigned style = 0;  // FontStyle bits
};

// Cell height in pixels for a size in points at 96 dots per inch: -MulDiv(size, 96, 72),
// negative as GDI reports it.
int font_height_for_size(int size) noexcept;

class Canvas {
  public:
    // Without a cache the canvas makes one of its own the first time a wide pen draws.
    Canvas(Bitmap& target, const FontLibrary* fonts, RenderCache* cache = nullptr) noexcept;
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    Pen pen;
    Brush brush;
    Font font;
    // Height of the screen in pixels; the court drawing compares it with the picture.
    int screen_height = 1080;

    int font_height() const noexcept { return font_height_for_size(font.size); }

    Point position() const noexcept { return position_; }
    void move_to(int x, int y) noexcept { position_ = {x, y}; }
    void line_to(int x, int y) noexcept;
    void rectangle(int x1, int y1, int x2, int y2) noexcept;
    void ellipse(int x1, int y1, int x2, int y2) noexcept;
    void arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) noexcept;
    void polygon(std::span<const Point> points) noexcept;
    void polyline(std::span<const Point> points) noexcept;
    // Fills with the brush every 4-connected pixel around (x, y) that is not `border`.
    void flood_fill(int x, int y, Colour border) noexcept;

    // Text is UTF-8. The top-left of the text cell is at (x, y); the background is the
    // brush colour when the brush is solid, untouched when it is clear.
    void text_out(int x, int y, std::string_view text) noexcept;
    int text_width(std::string_view text) const noexcept;
    int text_height(std::string_view text) const noexcept;
    void text_out(int x, int y, Cp1252Text text) noexcept;
    int text_width(Cp1252Text text) const noexcept;
    int text_width(const ByteCounts& text) const noexcept;
    int text_height(Cp1252Text text) const noexcept;

    Colour pixel(int x, int y) const noexcept;
    void set_pixel(int x, int y, Colour c) noexcept;

    // Plain source copy, stretching when the rectangles differ in size.
    void copy_rect(Rect dest, const Bitmap& source, Rect source_rect) noexcept;

    Bitmap& bitmap() noexcept { return *target_; }
    const Bitmap& bitmap() const noexcept { return *target_; }
    const FontLibrary* fonts() const noexcept { return fonts_; }

  private:
    detail::DotCache* dots() noexcept;
    void wide_path_through(std::span<const Point> points, bool closed) noexcept;

    Bitmap* target_;
    const FontLibrary* fonts_;
    RenderCache* cache_;
    std::unique_ptr<RenderCache> own_cache_;
    Point position_{};
};

}  // namespace hoopcast::raster
