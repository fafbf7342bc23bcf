#pragma once
// The case file of the GDI reference pictures: canvas sizes, background colours and the
// drawing operations to replay on our canvas.

#include <string>
#include <string_view>
#include <vector>

#include "raster/canvas.h"
#include "raster/types.h"

namespace hoopcast::raster::reference {

enum class OpKind {
    pen,
    brush,
    brush_clear,
    moveto,
    lineto,
    rectangle,
    ellipse,
    arc,
    polygon,
    polyline,
    floodfill,
    setpixel,
    textcolor,
    textout
};

struct Op {
    OpKind kind{};
    std::vector<int> args;  // numbers and colours in the order of the line
    std::string font;       // textout: face name, '_' already turned into spaces
    std::string text;       // textout: the rest of the line
};

struct Case {
    std::string name;
    int width = 0;
    int height = 0;
    Colour background = 0;
    std::vector<Op> ops;
    bool is_text() const { return name.starts_with("text_"); }
};

struct ParseResult {
    std::vector<Case> cases;
    std::string error;  // "line N: ..." for the first problem; empty when all parsed
};

// Parses the whole file; any token it does not know is an error, never skipped.
ParseResult parse_cases(std::string_view text);

// Replays a case's operations on a canvas already filled with the background.
void run_case(const Case& c, Canvas& canvas);

}  // namespace hoopcast::raster::reference
