#pragma once
// One item of a sequence onto a picture: player symbols (circles, triangles, crosses,
// chairs) drawn here, balls, equipment, straight lines and texts handed on by kind name.
// Positions are court units; a symbol's position is the top-left corner of its 21 x 21
// unit cell.

#include <string>
#include <string_view>

#include "drawings/context.h"
#include "drawings/lines.h"
#include "play/model.h"

namespace hoopcast {

namespace raster {
class Bitmap;
class Picture;
}  // namespace raster

// An item as it is drawn: the fields of its `element`, at the position where it stands now.
// Texts (label, font name) are the play's Windows-1252 bytes.
struct DrawItem {
    std::string_view kind;
    std::string_view text;   // the label, or a text item's text; lines end in LF or CR LF
    std::string_view text2;  // a text item's font name
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int extra1 = 0;  // a line's width factor, a text's size
    int extra2 = 0;  // a chair's angle; the multi-part value of a line
    int extra3 = 0;  // a line's no-mark switch, a text's style bits
    int number = 0;
    Colour colour = 0;

    LinePen line_pen() const noexcept { return {extra1, extra3 == 0, colour}; }
    LineSegment segment() const noexcept { return {x1, y1, x2, y2, line_pen()}; }
};

// Draws the item by its kind (compared in lower case; an unknown kind draws nothing). Ends
// with pen width 1.
void draw_element(raster::Picture& picture, const DrawContext& ctx, const DrawItem& item, double scale);

// What a player symbol writes from its number and label.
struct LabelSlot {
    enum class Mode { number, label };
    Mode mode = Mode::number;
    // Whether the symbol writes anything (a small cross then stands beside the text).
    bool writes = false;
    // The bytes written: the digit, or in label mode the label's one or two characters
    // (triangles write these in number mode too, see label_slot).
    std::string text;
};

// `shows_label_start`: triangles write the first two characters of a longer label where
// circles and crosses write the number.
LabelSlot label_slot(int number, std::string_view label, bool shows_label_start);

void draw_circle(raster::Picture& picture, const DrawContext& ctx, int x, int y, int number, Colour colour,
                 std::string_view label, double scale);
void draw_dcircle(raster::Picture& picture, const DrawContext& ctx, int x, int y, int number, Colour colour,
                  std::string_view label, double scale);
void draw_otriangle(raster::Picture& picture, const DrawContext& ctx, int x, int y, int number, Colour colour,
                    std::string_view label, double scale);
void draw_triangle(raster::Picture& picture, const DrawContext& ctx, int x, int y, int number, Colour colour,
                   std::string_view label, double scale);
void draw_numbered_cross(raster::Picture& picture, const DrawContext& ctx, int x, int y, int number,
                         Colour colour, std::string_view label, double scale);
void draw_cross(raster::Picture& picture, const DrawContext& ctx, int x, int y, Colour colour, double scale);
// `angle` in degrees; positive turns the chair clockwise on the screen.
void draw_ochair(raster::Picture& picture, const DrawContext& ctx, int x, int y, int angle, int number,
                 Colour colour, double scale);
void draw_dchair(raster::Picture& picture, const DrawContext& ctx, int x, int y, int angle, int number,
                 Colour colour, double scale);

// The chair's digit, written upright on a small work bitmap, turned and copied in black.
void draw_rotated_digit(raster::Picture& picture, std::string_view digit, int x, int y, int angle,
                        double scale);
// Turns the bitmap about (cx, cy) by theta radians; corners that come from outside it are
// pure blue.
void rotate_bitmap(raster::Bitmap& bitmap, int cx, int cy, double theta);

}  // namespace hoopcast
