#pragma once
// Which font file draws a family in a style. On the desktop fontconfig answers; where there
// is no fontconfig (the browser) a table of the answers it gives on the desktop stands in,
// for the families plays name and the default, so both draw text with the same faces.

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace hoopcast::raster {

// A face found for a family: its file, its index in the file, and whether the face itself
// is bold or italic (where it is not, the canvas synthesises the style asked for).
struct FaceMatch {
    std::string file;
    int index = 0;
    bool bold = false;
    bool italic = false;
};

class FaceMatcher {
  public:
    virtual ~FaceMatcher() = default;
    // The face of `family` in the style asked for, when the family is installed or a face
    // is configured to stand in for it; with `accept_any`, whatever default the system has.
    virtual std::optional<FaceMatch> match(const std::string& family, bool bold, bool italic,
                                           bool accept_any) const noexcept = 0;
};

// What the desktop's fontconfig chooses for one family, by file name, in the order regular,
// bold, italic, bold italic.
struct FontChoice {
    std::string_view family;
    std::array<std::string_view, 4> files;
};

// The families of the table; the first row is also the default.
std::span<const FontChoice> font_choices() noexcept;

// The table's choices, with the font files in `folder`.
std::unique_ptr<FaceMatcher> table_face_matcher(std::string folder);

// fontconfig where the system has it, else the table over the embedded fonts.
std::unique_ptr<FaceMatcher> system_face_matcher();

}  // namespace hoopcast::raster
