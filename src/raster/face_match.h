#pragma once
// Which font file draws a family in a style. Every family is drawn with one of the faces of a
// table (the Liberation faces, which the browser build embeds), so that a play's texts look
// the same on every machine and in the browser: the table holds the families fontconfig
// gives those faces on the desktop, and any other family takes the table's default row.
// A FaceMatcher says where the system keeps a family's face: fontconfig on the desktop, the
// table itself over a folder of the faces where there is no fontconfig.

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
    // The face the system gives `family` in the style asked for, if it gives one.
    virtual std::optional<FaceMatch> match(const std::string& family, bool bold,
                                           bool italic) const noexcept = 0;
};

// One family of the table and its faces, by file name, in the order regular, bold, italic,
// bold italic.
struct FontChoice {
    std::string_view family;
    std::array<std::string_view, 4> files;

    std::string_view file(bool bold, bool italic) const noexcept {
        return files[(bold ? 1u : 0u) + (italic ? 2u : 0u)];
    }
};

// The families of the table; the first row is the default.
std::span<const FontChoice> font_choices() noexcept;
// The row of `family` (case aside), or nullptr for a family outside the table.
const FontChoice* font_choice(std::string_view family) noexcept;

// The table's faces, in `folder`.
std::unique_ptr<FaceMatcher> table_face_matcher(std::string folder);

// fontconfig where the system has it, else the table over the embedded fonts.
std::unique_ptr<FaceMatcher> system_face_matcher();

}  // namespace hoopcast::raster
