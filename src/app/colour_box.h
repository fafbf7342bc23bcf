#pragma once
// The sketch colour picker: the 16 standard colours with their plain names.

#include <QComboBox>
#include <array>

#include "raster/types.h"

namespace hoopcast::app {

struct NamedColour {
    const char* name;
    raster::Colour colour;  // 0x00BBGGRR
};

inline constexpr std::array<NamedColour, 16> kStandardColours = {{
    {"Black", 0x000000},  {"Maroon", 0x000080}, {"Green", 0x008000}, {"Olive", 0x008080},
    {"Navy", 0x800000},   {"Purple", 0x800080}, {"Teal", 0x808000},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},    {"Lime", 0x00FF00},  {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00}, {"White", 0xFFFFFF},
}};

class ColourBox : public QComboBox {
    Q_OBJECT
public:
    explicit ColourBox(QWidget* parent);
    raster::Colour selected_colour() const;
};

}  // namespace hoopcast::app
