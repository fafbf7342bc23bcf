#pragma once
// The sketch colour picker: the 16 standard colours with their plain names.

#include <QComboBox>
#include <array>

#include "base/colours.h"
#include "raster/types.h"

namespace hoopcast::app {

struct NamedColour {
    const char* name;
    raster::Colour colour;  // 0x00BBGGRR
};

inline constexpr std::array<NamedColour, 16> kStandardColours = {{
    {"Black", kBlack},
    {"Maroon", kMaroon},
    {"Green", kGreen},
    {"Olive", kOlive},
    {"Navy", kNavy},
    {"Purple", kPurple},
    {"Teal", kTeal},
    {"Gray", kGray},
    {"Silver", kSilver},
    {"Red", kRed},
    {"Lime", kLime},
    {"Yellow", kYellow},
    {"Blue", kBlue},
    {"Fuchsia", kFuchsia},
    {"Aqua", kAqua},
    {"White", kWhite},
}};

class ColourBox : public QComboBox {
    Q_OBJECT
  public:
    explicit ColourBox(QWidget* parent);
    raster::Colour selected_colour() const;
};

}  // namespace hoopcast::app
