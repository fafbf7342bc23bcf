#pragma once
// One play as a web page that needs nothing else: the browser viewer's one-play template
// (scripts/web writes it beside hoopcast.html) with the play file itself and the faces its
// court texts are drawn with written into it, each face cut down to the characters the play
// draws with it. The page opens from disk, shows the play at once and fetches nothing.

#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "drawings/context.h"
#include "export/play_export.h"
#include "play/model.h"

namespace hoopcast {

struct FrameSettings;

inline constexpr std::string_view kPageTemplateName = "hoopcast-page.html";

// Where the template is looked for: the file $HOOPCAST_PAGE_TEMPLATE names (for tests and
// packagers) and nowhere else, or else in share/hoopcast beside the running program's bin
// (where `cmake --install` puts it), beside the program itself, and then in the source tree's
// build/web (where scripts/web writes it).
std::vector<std::string> page_template_places();
// The first of those places that holds a file.
std::optional<std::string> find_page_template();
// "no page template (looked for A, B, C); scripts/web builds it"
std::string missing_page_template_message();

struct PageFont {
    std::string name;  // the face's file name, as the page's font table names it
    std::vector<std::uint8_t> bytes;
};

struct PageParts {
    std::string title;      // UTF-8
    std::string file_name;  // the play file's name, as the page's messages quote it
    std::span<const std::uint8_t> play;
    std::vector<PageFont> fonts;
};

// The template with the parts written into its places (the title, the play, the fonts):
// empty, with `error` set, when the template does not have each place exactly once.
std::string assemble_page(std::string_view page_template, const PageParts& parts, std::string& error);

// The TrueType face `face` cut down to `characters` (and the glyph drawn for a character it
// lacks), keeping its hinting and every table FreeType draws with, so that each glyph comes
// out as from the whole face. Empty when the face cannot be read.
std::vector<std::uint8_t> subset_face(std::span<const std::uint8_t> face,
                                      const std::set<char32_t>& characters);

// Bytes as the page embeds them: gzip, in base64.
std::string packed(std::span<const std::uint8_t> bytes);

// Writes the page of `play` (read from `r.play_file`) at `r.path`, with the faces its frames
// are drawn with by `ctx` and `settings` at the scales a page shows them.
ExportResult write_play_page(const PlayModel& play, const ExportRequest& r, DrawContext& ctx,
                             const FrameSettings& settings);

}  // namespace hoopcast
