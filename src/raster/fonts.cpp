#include "raster/fonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cctype>
#include <climits>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/cp1252.h"
#include "base/utf8.h"
#include "raster/face_match.h"
#include "raster/picture.h"
#include "raster/rasterizer.h"
#include "raster/stamp.h"

namespace hoopcast::raster {
namespace {

using i64 = std::int64_t;

struct LibraryDeleter {
    void operator()(FT_Library lib) const noexcept { FT_Done_FreeType(lib); }
};
struct FaceDeleter {
    void operator()(FT_Face face) const noexcept { FT_Done_Face(face); }
};
using LibraryHandle = std::unique_ptr<FT_LibraryRec_, LibraryDeleter>;
using FaceHandle = std::unique_ptr<FT_FaceRec_, FaceDeleter>;

// Rounds a * b / c to nearest, halves away from zero, in 64 bits; c > 0.
i64 scale_round(i64 a, i64 b, i64 c) noexcept {
    const i64 n = a * b;
    return n >= 0 ? (n + c / 2) / c : -((-n + c / 2) / c);
}

std::string_view file_name(std::string_view path) noexcept {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

int clamp_int(i64 v) noexcept {
    return static_cast<int>(std::clamp<i64>(v, INT_MIN, INT_MAX));
}

struct FaceEntry {
    FT_Face face = nullptr;  // owned by the library's table of open files
    std::string file;
    bool synthetic_bold = false;
    bool synthetic_italic = false;
};

// Design-unit metrics that give the cell: Windows uses the OS/2 table's win ascent and
// descent, which Liberation Sans shares with Arial.
struct CellUnits {
    i64 ascent, descent, units_per_em;
    i64 underline_position, underline_thickness, strike_position, strike_thickness;
};

CellUnits cell_units(FT_Face face) noexcept {
    CellUnits u{};
    u.units_per_em = face->units_per_EM > 0 ? face->units_per_EM : 2048;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        u.ascent = os2->usWinAscent;
        u.descent = os2->usWinDescent;
        u.strike_position = os2->yStrikeoutPosition;
        u.strike_thickness = os2->yStrikeoutSize;
    } else {
        u.ascent = face->ascender;
        u.descent = -face->descender;
        u.strike_position = u.ascent / 3;
        u.strike_thickness = u.units_per_em / 20;
    }
    if (u.ascent + u.descent <= 0) u.ascent = u.units_per_em, u.descent = 0;
    u.underline_position = face->underline_position != 0 ? face->underline_position : -u.units_per_em / 10;
    u.underline_thickness = face->underline_thickness > 0 ? face->underline_thickness : u.units_per_em / 20;
    if (u.strike_thickness <= 0) u.strike_thickness = u.underline_thickness;
    return u;
}

// One glyph as load_glyph leaves it: whether it loaded, its advance in pixels and, when
// rendered, its ink as one byte per pixel and the position of its top-left.
struct Glyph {
    bool ok = false;
    i64 advance = 0;
    i64 left = 0, top = 0;
    Stamp ink;  // runs of ink from the bitmap's top-left corner
};

}  // namespace

struct FontLibrary::Impl {
    LibraryHandle library;
    std::unique_ptr<FaceMatcher> matcher;
    // Each font file is opened once, however many names and styles resolve to it.
    mutable std::map<std::pair<std::string, int>, FaceHandle> files;
    mutable std::map<std::tuple<std::string, bool, bool>, FaceEntry> faces;

    // Glyphs as loaded (and, for drawing, rendered) per face, em size and glyph index, so that
    // measuring and drawing the same text again runs no hinting. Bounded: cleared when full.
    struct GlyphKey {
        const FaceEntry* entry;
        i64 em;
        FT_UInt index;
        bool render;
        bool operator==(const GlyphKey&) const = default;
    };
    struct GlyphKeyHash {
        std::size_t operator()(const GlyphKey& k) const noexcept {
            std::size_t h = std::hash<const void*>()(k.entry);
            h = h * 1000003u ^ std::hash<i64>()(k.em);
            h = h * 1000003u ^ std::hash<unsigned>()(k.index);
            return h * 2u + (k.render ? 1u : 0u);
        }
    };
    static constexpr std::size_t kMaxCachedGlyphs = 8192;
    mutable std::unordered_map<GlyphKey, Glyph, GlyphKeyHash> glyphs;
    // The pixel size last set on each open face, to set it again only when it changes.
    mutable std::map<FT_Face, i64> face_sizes;
    mutable Glyph uncached;
    FontUse* use = nullptr;

    void note(const FaceEntry& entry, char32_t cp) const {
        if (use != nullptr) use->characters[entry.file].insert(cp);
    }

    // Sets the em size on the face unless it is set already; false when FreeType refuses.
    bool ensure_size(FT_Face face, i64 em) const noexcept {
        i64& current = face_sizes[face];  // 0: not known
        if (current == em) return true;
        if (FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(em), static_cast<FT_UInt>(em)) != 0) {
            current = 0;
            return false;
        }
        current = em;
        return true;
    }

    const Glyph& glyph(const FaceEntry& entry, i64 em, FT_UInt index, bool render) const noexcept;
    template <typename Decode>
    i64 text_advance(const FaceEntry& entry, i64 em, std::string_view bytes, Decode decode) const noexcept;
    i64 counted_advance(const FaceEntry& entry, i64 em, const ByteCounts& counts) const noexcept;
    i64 cp1252_advance(const FaceEntry& entry, i64 em, std::string_view bytes) const noexcept;

    explicit Impl(std::unique_ptr<FaceMatcher> face_matcher) noexcept : matcher(std::move(face_matcher)) {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) == 0) library.reset(lib);
    }

    FT_Face open_file(const std::string& file, int index) const noexcept {
        auto key = std::make_pair(file, index);
        if (auto it = files.find(key); it != files.end()) return it->second.get();
        FT_Face raw = nullptr;
        if (FT_New_Face(library.get(), file.c_str(), index, &raw) != 0) raw = nullptr;
        files.emplace(std::move(key), FaceHandle(raw));
        return raw;
    }

    // A family of the table is drawn with the face the system gives it when that is the
    // table's; any other family (an unknown or empty name, a family the system gives another
    // face) with the default row's, whose Arial metrics fit texts to the places the drawings
    // measured for them. Only a system without the table's faces gets its own default.
    std::optional<FaceMatch> find(const std::string& name, bool bold, bool italic) const noexcept {
        if (!matcher) return std::nullopt;
        const FontChoice& fallback = font_choices().front();
        const FontChoice* own = font_choice(name);
        for (const FontChoice* choice : {own, &fallback}) {
            if (choice == nullptr) continue;
            std::optional<FaceMatch> m =
                matcher->match(choice == own ? name : std::string(fallback.family), bold, italic);
            if (m && file_name(m->file) == choice->file(bold, italic)) return m;
        }
        return matcher->match("sans-serif", bold, italic);
    }

    const FaceEntry* face(const Font& font) const noexcept {
        if (!library) return nullptr;
        const bool bold = (font.style & kBold) != 0, italic = (font.style & kItalic) != 0;
        auto key = std::make_tuple(font.name, bold, italic);
        if (auto it = faces.find(key); it != faces.end()) return it->second.face ? &it->second : nullptr;
        FaceEntry entry;
        if (const std::optional<FaceMatch> m = find(font.name, bold, italic)) {
            FT_Face raw = open_file(m->file, m->index);
            if (raw != nullptr && FT_IS_SCALABLE(raw)) {
                entry.face = raw;
                entry.file = m->file;
                entry.synthetic_bold = bold && !m->bold;
                entry.synthetic_italic = italic && !m->italic;
            }
        }
        auto [it, inserted] = faces.emplace(std::move(key), std::move(entry));
        (void)inserted;
        return it->second.face ? &it->second : nullptr;
    }
};

FontLibrary::FontLibrary() noexcept : FontLibrary(system_face_matcher()) {}
FontLibrary::FontLibrary(std::unique_ptr<FaceMatcher> faces) noexcept
    : impl_(std::make_unique<Impl>(std::move(faces))) {}
FontLibrary::~FontLibrary() = default;

bool FontLibrary::ready() const noexcept {
    return impl_->library != nullptr;
}

std::string FontLibrary::face_file(const Font& font) const noexcept {
    const FaceEntry* entry = impl_->face(font);
    return entry != nullptr ? entry->file : std::string();
}

void FontLibrary::record_use(FontUse* use) const noexcept {
    impl_->use = use;
}

namespace {

// The em size in pixels for a font: GDI takes a negative height as the character height
// (em size) and a positive one as the cell height.
i64 em_pixels(const Font& font, const CellUnits& u) noexcept {
    const int height = font_height_for_size(font.size);
    if (height < 0) return -i64{height};
    if (height > 0) return std::max<i64>(1, scale_round(height, u.units_per_em, u.ascent + u.descent));
    return 16;  // no size: GDI's default of 12 points
}

struct Layout {
    i64 em = 0;
    i64 ascent = 0, descent = 0;
    const FaceEntry* entry = nullptr;
    CellUnits units{};
};

Layout layout_for(const FaceEntry* entry, const Font& font) noexcept {
    Layout l;
    if (entry == nullptr) return l;
    l.entry = entry;
    l.units = cell_units(entry->face);
    l.em = em_pixels(font, l.units);
    l.ascent = scale_round(l.units.ascent, l.em, l.units.units_per_em);
    l.descent = scale_round(l.units.descent, l.em, l.units.units_per_em);
    return l;
}

// Loads a glyph hinted for one bit per pixel at the face's current size; synthesises bold
// and italic where the family has no such face.
bool load_glyph(const FaceEntry& entry, FT_UInt index, bool render) noexcept {
    FT_Face face = entry.face;
    FT_Matrix shear{0x10000, entry.synthetic_italic ? 0x0366A : 0, 0, 0x10000};
    FT_Set_Transform(face, &shear, nullptr);
    const FT_Int32 flags = FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP;
    const bool ok = FT_Load_Glyph(face, index, flags) == 0;
    FT_Set_Transform(face, nullptr, nullptr);
    if (!ok) return false;
    FT_GlyphSlot slot = face->glyph;
    if (entry.synthetic_bold && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        FT_Outline_EmboldenXY(&slot->outline, 64, 0);
        slot->advance.x += 64;
    }
    if (render && slot->format != FT_GLYPH_FORMAT_BITMAP)
        return FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) == 0;
    return true;
}

i64 advance_pixels(FT_GlyphSlot slot) noexcept {
    return (slot->advance.x + 32) >> 6;
}

// What load_glyph leaves in the face's slot, kept.
void capture(FT_Face face, bool ok, bool render, Glyph& g) {
    g = Glyph{};
    g.ok = ok;
    if (!ok) return;
    const FT_GlyphSlot slot = face->glyph;
    g.advance = advance_pixels(slot);
    if (!render) return;
    const FT_Bitmap& bm = slot->bitmap;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    std::vector<RowSpan> runs;
    for (unsigned row = 0; row < bm.rows; ++row) {
        const unsigned char* src = bm.buffer + static_cast<i64>(row) * bm.pitch;
        auto inked = [&](unsigned col) {
            return bm.pixel_mode == FT_PIXEL_MODE_MONO ? ((src[col >> 3] >> (7 - (col & 7))) & 1) != 0
                                                       : src[col] >= 128;
        };
        for (unsigned col = 0; col < bm.width;) {
            if (!inked(col)) {
                ++col;
                continue;
            }
            const unsigned start = col;
            while (col < bm.width && inked(col)) ++col;
            runs.push_back(
                RowSpan{static_cast<int>(row), static_cast<int>(start), static_cast<int>(col - 1)});
        }
    }
    g.ink = Stamp(std::move(runs));
}

}  // namespace

const Glyph& FontLibrary::Impl::glyph(const FaceEntry& entry, i64 em, FT_UInt index,
                                      bool render) const noexcept {
    const GlyphKey key{&entry, em, index, render};
    if (auto it = glyphs.find(key); it != glyphs.end()) return it->second;
    if (!ensure_size(entry.face, em)) {
        // Not at the size asked for: load as the face stands, and keep nothing.
        const bool ok = load_glyph(entry, index, render);
        capture(entry.face, ok, render, uncached);
        return uncached;
    }
    const bool ok = load_glyph(entry, index, render);
    if (glyphs.size() >= kMaxCachedGlyphs) glyphs.clear();
    Glyph& g = glyphs[key];
    capture(entry.face, ok, render, g);
    return g;
}

namespace {

struct Utf8Decode {
    char32_t operator()(std::string_view s, std::size_t& i) const noexcept { return next_code_point(s, i); }
};

struct Cp1252Decode {
    char32_t operator()(std::string_view s, std::size_t& i) const noexcept {
        return cp1252_code_point(static_cast<std::uint8_t>(s[i++]));
    }
};

// A longer Windows-1252 text is measured by its byte counts: a table look-up a byte
// instead of a glyph look-up a character.
constexpr std::size_t kCountedFrom = 4096;

}  // namespace

// Sum of the advances at `em` pixels (em within the rendering limit).
template <typename Decode>
i64 FontLibrary::Impl::text_advance(const FaceEntry& entry, i64 em, std::string_view bytes,
                                    Decode decode) const noexcept {
    FT_Face face = entry.face;
    if (!ensure_size(face, em)) return 0;
    i64 width = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const char32_t cp = decode(bytes, i);
        note(entry, cp);
        const Glyph& g = glyph(entry, em, FT_Get_Char_Index(face, cp), false);
        if (!g.ok) continue;
        width += g.advance;
    }
    return width;
}

i64 FontLibrary::Impl::counted_advance(const FaceEntry& entry, i64 em,
                                       const ByteCounts& counts) const noexcept {
    FT_Face face = entry.face;
    if (!ensure_size(face, em)) return 0;
    i64 width = 0;
    for (std::size_t b = 0; b < counts.n.size(); ++b) {
        if (counts.n[b] == 0) continue;
        const char32_t cp = cp1252_code_point(static_cast<std::uint8_t>(b));
        note(entry, cp);
        const Glyph& g = glyph(entry, em, FT_Get_Char_Index(face, cp), false);
        if (!g.ok) continue;
        width += static_cast<i64>(counts.n[b]) * g.advance;
    }
    return width;
}

i64 FontLibrary::Impl::cp1252_advance(const FaceEntry& entry, i64 em, std::string_view bytes) const noexcept {
    return bytes.size() >= kCountedFrom ? counted_advance(entry, em, ByteCounts(bytes))
                                        : text_advance(entry, em, bytes, Cp1252Decode{});
}

template <typename Advance>
TextMetrics FontLibrary::measure_by(const Font& font, bool empty, Advance advance) const noexcept {
    TextMetrics m;
    const Layout l = layout_for(impl_->face(font), font);
    if (l.entry == nullptr || l.em <= 0) return m;
    m.ascent = clamp_int(l.ascent);
    m.descent = clamp_int(l.descent);
    m.height = clamp_int(l.ascent + l.descent);
    if (empty) return m;
    if (l.em <= kMaxRenderedPixels) {
        m.width = clamp_int(advance(*l.entry, l.em));
    } else {
        // Beyond the rendering limit widths grow in proportion to the size.
        const i64 base = advance(*l.entry, kMaxRenderedPixels);
        const long double w =
            static_cast<long double>(base) * static_cast<long double>(l.em) / kMaxRenderedPixels;
        m.width = w >= static_cast<long double>(INT_MAX) ? INT_MAX : static_cast<int>(w);
    }
    return m;
}

TextMetrics FontLibrary::measure(const Font& font, std::string_view utf8) const noexcept {
    return measure_by(font, utf8.empty(), [&](const FaceEntry& entry, i64 em) {
        return impl_->text_advance(entry, em, utf8, Utf8Decode{});
    });
}

TextMetrics FontLibrary::measure(const Font& font, Cp1252Text text) const noexcept {
    return measure_by(font, text.bytes.empty(), [&](const FaceEntry& entry, i64 em) {
        return impl_->cp1252_advance(entry, em, text.bytes);
    });
}

TextMetrics FontLibrary::measure(const Font& font, const ByteCounts& text) const noexcept {
    return measure_by(font, text.empty(), [&](const FaceEntry& entry, i64 em) {
        return impl_->counted_advance(entry, em, text);
    });
}

template <typename Decode, typename Advance>
void FontLibrary::draw_by(Bitmap& target, int x, int y, const Font& font, std::string_view bytes,
                          Decode decode, Advance advance, const Colour* background) const noexcept {
    const Layout l = layout_for(impl_->face(font), font);
    if (l.entry == nullptr || l.em <= 0 || l.em > kMaxRenderedPixels || bytes.empty()) return;
    const i64 width = advance(*l.entry, l.em);
    if (background != nullptr) {
        for (i64 row = y; row < i64{y} + l.ascent + l.descent; ++row)
            detail::paint_span(target, row, x, i64{x} + width - 1, *background);
    }
    FT_Face face = l.entry->face;
    const i64 baseline = i64{y} + l.ascent;
    i64 pen_x = x;
    for (std::size_t i = 0; i < bytes.size();) {
        if (pen_x >= target.width()) break;
        const char32_t cp = decode(bytes, i);
        impl_->note(*l.entry, cp);
        const Glyph& g = impl_->glyph(*l.entry, l.em, FT_Get_Char_Index(face, cp), true);
        if (!g.ok) continue;
        g.ink.paint(target, pen_x + g.left, baseline - g.top, font.colour);
        pen_x += g.advance;
    }
    // Underline and strike-out run across the whole advance.
    const CellUnits& u = l.units;
    auto rule = [&](i64 position_units, i64 thickness_units) {
        const i64 thickness = std::max<i64>(1, scale_round(thickness_units, l.em, u.units_per_em));
        const i64 top = baseline - scale_round(position_units, l.em, u.units_per_em);
        for (i64 row = top; row < top + thickness; ++row)
            detail::paint_span(target, row, x, i64{x} + width - 1, font.colour);
    };
    if ((font.style & kUnderline) != 0) rule(u.underline_position, u.underline_thickness);
    if ((font.style & kStrikeOut) != 0) rule(u.strike_position, u.strike_thickness);
}

void FontLibrary::draw(Bitmap& target, int x, int y, const Font& font, std::string_view utf8,
                       const Colour* background) const noexcept {
    draw_by(
        target, x, y, font, utf8, Utf8Decode{},
        [&](const FaceEntry& entry, i64 em) { return impl_->text_advance(entry, em, utf8, Utf8Decode{}); },
        background);
}

void FontLibrary::draw(Bitmap& target, int x, int y, const Font& font, Cp1252Text text,
                       const Colour* background) const noexcept {
    draw_by(
        target, x, y, font, text.bytes, Cp1252Decode{},
        [&](const FaceEntry& entry, i64 em) { return impl_->cp1252_advance(entry, em, text.bytes); },
        background);
}

}  // namespace hoopcast::raster
