#pragma once
// Fonts for the canvas: faces found through a FaceMatcher (fontconfig on the desktop), glyphs rendered by
// FreeType in one bit per pixel (no anti-aliasing), metrics as the Windows graphics device interface reports
// them for a font created with a negative height (the height is the em size in pixels).

#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "raster/canvas.h"
#include "raster/types.h"

namespace hoopcast::raster {

class Bitmap;
class FaceMatcher;

// Text extent and the vertical layout of the text cell, in pixels.
struct TextMetrics {
    int width = 0;
    int height = 0;  // ascent + descent: the cell height
    int ascent = 0;  // cell top to baseline
    int descent = 0;
};

// The characters asked of each face file while a FontLibrary records them: what a copy of the
// faces cut down to one play's texts has to keep.
struct FontUse {
    std::map<std::string, std::set<char32_t>> characters;  // by face file
};

// Owns the FreeType library, the matcher that finds faces and a cache of opened faces. Faces
// are opened on first use and kept; the cache is internal state of this object, so drawing
// through a const FontLibrary still opens faces. Not for use from two threads at once.
class FontLibrary {
  public:
    // Faces from the system's matcher, or from `faces`.
    FontLibrary() noexcept;
    explicit FontLibrary(std::unique_ptr<FaceMatcher> faces) noexcept;
    ~FontLibrary();
    FontLibrary(const FontLibrary&) = delete;
    FontLibrary& operator=(const FontLibrary&) = delete;

    // False when FreeType could not start; then every text measures 0 and draws nothing.
    bool ready() const noexcept;

    // The extent TextOut would cover with `font` (size in points at 96 dots per inch).
    TextMetrics measure(const Font& font, std::string_view utf8) const noexcept;
    TextMetrics measure(const Font& font, Cp1252Text text) const noexcept;
    TextMetrics measure(const Font& font, const ByteCounts& text) const noexcept;

    // Draws one line of text with the top-left corner of its cell at (x, y). With a
    // background colour the cell is filled first; without, only the glyphs are drawn.
    void draw(Bitmap& target, int x, int y, const Font& font, std::string_view utf8,
              const Colour* background) const noexcept;
    void draw(Bitmap& target, int x, int y, const Font& font, Cp1252Text text,
              const Colour* background) const noexcept;

    // File of the face a font resolves to ("" when none); for diagnostics and tests.
    std::string face_file(const Font& font) const noexcept;

    // From now on every character measured or drawn is noted in `use` (null: none are). The
    // caller keeps `use` alive while it is set.
    void record_use(FontUse* use) const noexcept;

    // Glyphs are rendered only up to this em size in pixels; larger text draws nothing but
    // still measures, scaled from this size, so huge sizes from a play file cost nothing.
    static constexpr int kMaxRenderedPixels = 2048;

  private:
    // `advance(entry, em)` sums the text's advances; `decode(bytes, i)` gives the code point
    // at i and moves past it.
    template <typename Advance>
    TextMetrics measure_by(const Font& font, bool empty, Advance advance) const noexcept;
    template <typename Decode, typename Advance>
    void draw_by(Bitmap& target, int x, int y, const Font& font, std::string_view bytes, Decode decode,
                 Advance advance, const Colour* background) const noexcept;

    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace hoopcast::raster
