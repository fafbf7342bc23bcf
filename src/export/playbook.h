#pragma once
// A printable playbook: for each play a heading, then every sequence's still frame (with
// Sketch's lines), its number and its description as the description pane styles it, laid
// out on PDF pages through Cairo and Pango.

#include <string>
#include <vector>

#include "play/model.h"

namespace hoopcast {

namespace raster {
class FontLibrary;
}

enum class Paper { a4, letter };

struct PlaybookPlay {
    const PlayModel* play = nullptr;
    std::string category;  // UTF-8
    std::string name;      // UTF-8
    int only_seq = 0;      // 0: every sequence; else just this one
};

struct PlaybookOptions {
    Paper paper = Paper::a4;
    int per_page = 1;   // 1, 2 or 4 sequences a page
    double scale = 0;   // frame pixels per court unit; 0: the least that prints at 200 dpi
    std::string title;  // document title
    std::string creator;
};

struct PlaybookResult {
    bool ok = false;
    std::string message;  // why it failed; empty on success
    int pages = 0;
    double frame_scale = 0;  // the scale the frames were drawn at
};

// The frame scale the playbook draws at for these options when none is given: the least
// multiple of 1/4 whose pixels print at 200 dots per inch or more at the frame's size.
double playbook_frame_scale(Paper paper, int per_page);

// Writes the playbook to `path` (under a temporary name, renamed when complete).
PlaybookResult write_playbook(const std::vector<PlaybookPlay>& plays, const PlaybookOptions& options,
                              const raster::FontLibrary& fonts, const std::string& path);

// Pango loads fontconfig's process-wide configuration and keeps it; this lets it go, with
// cairo's font caches. Only when no playbook is being written and no raster::FontLibrary is
// alive (fontconfig's caches are shared between configurations). A later playbook loads it again.
void release_playbook_fonts();

}  // namespace hoopcast
