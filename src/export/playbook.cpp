#include "export/playbook.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "drawings/context.h"
#include "export/staged_file.h"
#include "play/description.h"
#include "raster/picture.h"
#include "richtext/reader.h"
#include "richtext/writers.h"
#include "scene/frames.h"
#include "scene/mapping.h"

namespace hoopcast {

namespace {

// Points (1/72 inch) throughout.
constexpr double kMargin = 42;
// From the top margin to the first sequence, for a heading of one line of category and one of
// play name; a longer heading pushes the sequences down by its extra lines.
constexpr double kHeaderHeight = 44;
constexpr double kRuleGap = 8;  // from the heading's rule to the first sequence
constexpr double kFooterHeight = 16;
constexpr double kGap = 14;
constexpr double kLabelHeight = 18;
// Kept below a court for its description: three lines of the pane's text. A court is as
// wide as its cell unless that would leave less.
constexpr double kDescriptionRoom = 34;
constexpr double kMinDpi = 200;
// The description pane's own font: Arial at 13 pixels.
constexpr const char* kPaneFamily = "Arial";
constexpr double kPaneSize = 9.75;
constexpr double kCellPadding = 3;
// A heading or a contents line longer than this ends in an ellipsis.
constexpr int kMaxHeadingLines = 3;
// The contents' page numbers: room for five digits.
constexpr double kPageNumberColumn = 40;
// A sequence's bookmark: its number and the first words of its description.
constexpr std::size_t kBookmarkWords = 40;  // bytes of words at most

struct Box {
    double x = 0, y = 0, w = 0, h = 0;
    double right() const { return x + w; }
    double bottom() const { return y + h; }
};

Box page_size(Paper paper) {
    return paper == Paper::letter ? Box{0, 0, 612, 792} : Box{0, 0, 595.276, 841.89};
}

// The page below a heading that ends at `top`, above the page number.
Box content_box(Paper paper, double top = kMargin + kHeaderHeight) {
    const Box page = page_size(paper);
    return {kMargin, top, page.w - 2 * kMargin, page.h - top - kMargin - kFooterHeight};
}

// The cells of a page, in reading order.
std::vector<Box> slots(Paper paper, int per_page, double top = kMargin + kHeaderHeight) {
    const Box c = content_box(paper, top);
    if (per_page == 2) {
        const double h = (c.h - kGap) / 2;
        return {{c.x, c.y, c.w, h}, {c.x, c.y + h + kGap, c.w, h}};
    }
    if (per_page == 4) {
        const double w = (c.w - kGap) / 2, h = (c.h - kGap) / 2;
        return {{c.x, c.y, w, h},
                {c.x + w + kGap, c.y, w, h},
                {c.x, c.y + h + kGap, w, h},
                {c.x + w + kGap, c.y + h + kGap, w, h}};
    }
    return {c};
}

// A slot wider than tall shows its frame on the left and the text beside it; otherwise the
// frame is on top and the text below.
bool wide(const Box& slot) {
    return slot.w > 1.2 * slot.h;
}

// The box the frame may fill in a slot, below the sequence number: the slot's height beside
// the text, or its width above the text's first lines.
Box frame_box(const Box& slot) {
    const double top = slot.y + kLabelHeight;
    const double h = slot.h - kLabelHeight;
    if (wide(slot)) return {slot.x, top, slot.w * 0.5, h};
    return {slot.x, top, slot.w, std::max(1.0, h - kGap / 2 - kDescriptionRoom)};
}

// Where a frame of w x h pixels goes in `box`: as large as fits, aspect kept, centred across.
Box fit_frame(const Box& box, int w, int h) {
    double dw = box.w, dh = box.w * h / w;
    if (dh > box.h) dh = box.h, dw = box.h * w / h;
    const double x = box.x + (box.w - dw) / 2;
    return {x, box.y, dw, dh};
}

// Where the frame goes in a slot whose description is `text_height` high below it: as large
// as leaves the description its room, but a long one shrinks the frame by no more than a
// third; the rest goes on in the next cell.
Box place_frame(const Box& slot, int w, int h, double text_height) {
    Box full = fit_frame(frame_box(slot), w, h);
    if (wide(slot)) {
        full.x = slot.x;  // the text takes what the frame leaves
        return full;
    }
    if (text_height <= kDescriptionRoom) return full;
    const double room = slot.bottom() - full.y - kGap / 2 - text_height;
    const double height = std::clamp(room, full.h * 2 / 3, full.h);
    return fit_frame({slot.x, full.y, slot.w, height}, w, h);
}

// The description's place in a slot whose frame is at `frame`.
Box text_box(const Box& slot, const Box& frame) {
    if (wide(slot)) {
        const double x = frame.right() + kGap;
        return {x, slot.y + kLabelHeight, slot.right() - x, slot.h - kLabelHeight};
    }
    const double y = frame.bottom() + kGap / 2;
    return {slot.x, y, slot.w, slot.bottom() - y};
}

double dpi(int pixels, double points) {
    return pixels / (points / 72.0);
}

// The sequence's bookmark: "2/5 Four screens up for two…", from its description's words.
std::string bookmark_title(int seq, int count, const std::string& text) {
    std::string title = std::to_string(seq) + "/" + std::to_string(count);
    std::size_t words = 0;
    for (std::size_t at = 0; at < text.size();) {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
        std::size_t end = at;
        while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) ++end;
        if (end == at) break;
        if (words + (end - at) > kBookmarkWords) {
            if (words == 0) {  // one long word: as much of it as there is room for
                end = at + kBookmarkWords;
                while (end > at && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
                title += " " + text.substr(at, end - at);
            }
            return title + "\u2026";
        }
        title += " " + text.substr(at, end - at);
        words += end - at + 1;
        at = end;
    }
    return title;
}

// The PDF on its way into the file. Cairo gives the outline's root a negative count, as it
// would a closed entry; PDF allows none at the root, and readers that heed it show every
// play's entry closed. The count is made positive in place, so no offset changes.
class PdfStream {
  public:
    explicit PdfStream(int fd) : fd_(fd) {}

    static cairo_status_t write(void* closure, const unsigned char* data, unsigned int length) {
        auto& self = *static_cast<PdfStream*>(closure);
        self.pending_.insert(self.pending_.end(), data, data + length);
        return self.pass_on(false) ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
    }
    bool finish() { return pass_on(true); }
    const std::string& error() const noexcept { return error_; }

  private:
    static constexpr std::string_view kRoot = "/Type /Outlines";
    static constexpr std::size_t kBuffer = 1 << 16;

    // Once enough is pending (or at the end, all of it), writes it but for a part that may be
    // the start of the root not yet whole.
    bool pass_on(bool all) {
        if (!error_.empty()) return false;
        if (!all && pending_.size() < kBuffer) return true;
        std::size_t keep = 0;
        if (!root_done_) {
            const std::string_view text(reinterpret_cast<const char*>(pending_.data()), pending_.size());
            const std::size_t root = text.find(kRoot);
            const std::size_t end = root == std::string_view::npos ? root : text.find(">>", root);
            if (end != std::string_view::npos) {
                const std::size_t count = text.substr(root, end - root).find("/Count -");
                if (count != std::string_view::npos) {
                    // "/Count -31" becomes "/Count 31 ".
                    std::size_t at = root + count + 7;
                    for (; at + 1 < end && std::isdigit(pending_[at + 1]); ++at)
                        pending_[at] = pending_[at + 1];
                    pending_[at] = ' ';
                }
                root_done_ = true;
            } else {
                keep = root != std::string_view::npos ? pending_.size() - root
                                                      : std::min(pending_.size(), kRoot.size() - 1);
            }
        }
        if (all) keep = 0;
        const std::size_t ready = pending_.size() - keep;
        if (!write_all(fd_, std::span(pending_.data(), ready), error_)) return false;
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(ready));
        return true;
    }

    int fd_;
    std::vector<std::uint8_t> pending_;
    bool root_done_ = false;
    std::string error_;
};

struct PangoDeleter {
    void operator()(void* p) const { g_object_unref(p); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, PangoDeleter>;

void add_attr(PangoAttrList* list, PangoAttribute* a, std::size_t start, std::size_t end) {
    a->start_index = static_cast<guint>(start);
    a->end_index = static_cast<guint>(end);
    pango_attr_list_insert(list, a);
}

guint16 channel(std::uint8_t v) {
    return static_cast<guint16>(v * 257);
}

void add_format(PangoAttrList* list, const richtext::Format& f, std::size_t start, std::size_t end) {
    if (start == end) return;
    if (!f.font_family.empty()) add_attr(list, pango_attr_family_new(f.font_family.c_str()), start, end);
    double size = f.size_half_points > 0 ? f.size_half_points / 2.0 : kPaneSize;
    if (f.vertical != richtext::VerticalAlign::baseline) {
        const int rise = static_cast<int>(size * 0.35 * PANGO_SCALE);
        add_attr(list, pango_attr_rise_new(f.vertical == richtext::VerticalAlign::superscript ? rise : -rise),
                 start, end);
        size *= 0.7;
    }
    if (f.size_half_points > 0 || f.vertical != richtext::VerticalAlign::baseline)
        add_attr(list, pango_attr_size_new(static_cast<int>(size * PANGO_SCALE)), start, end);
    if (f.bold) add_attr(list, pango_attr_weight_new(PANGO_WEIGHT_BOLD), start, end);
    if (f.italic) add_attr(list, pango_attr_style_new(PANGO_STYLE_ITALIC), start, end);
    if (f.underline != richtext::Underline::none) {
        const PangoUnderline style = f.underline == richtext::Underline::double_line ? PANGO_UNDERLINE_DOUBLE
                                     : f.underline == richtext::Underline::wave      ? PANGO_UNDERLINE_ERROR
                                                                                     : PANGO_UNDERLINE_SINGLE;
        add_attr(list, pango_attr_underline_new(style), start, end);
    }
    if (f.strike) add_attr(list, pango_attr_strikethrough_new(TRUE), start, end);
    if (f.colour)
        add_attr(list,
                 pango_attr_foreground_new(channel(f.colour->r), channel(f.colour->g), channel(f.colour->b)),
                 start, end);
    if (f.background)
        add_attr(list,
                 pango_attr_background_new(channel(f.background->r), channel(f.background->g),
                                           channel(f.background->b)),
                 start, end);
}

double twips(int t) {
    return t / 20.0;
}

// One pass over the document: with `paint` off it only measures and counts pages, so that
// the contents page can give the page each play starts on before anything is drawn.
class Writer {
  public:
    Writer(cairo_surface_t* surface, const std::vector<PlaybookPlay>& plays, const PlaybookOptions& options,
           const raster::FontLibrary& fonts, double scale)
        : surface_(surface),
          cr_(cairo_create(surface)),
          plays_(plays),
          options_(options),
          fonts_(fonts),
          scale_(scale) {
        // A font map of our own, released with the writer, rather than Pango's process-wide one.
        font_map_ = pango_cairo_font_map_new();
        pango_ = pango_font_map_create_context(font_map_);
        pango_cairo_update_context(cr_, pango_);
        pango_cairo_context_set_resolution(pango_, 72);
        cairo_font_options_t* fo = cairo_font_options_create();
        cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_NONE);
        pango_cairo_context_set_font_options(pango_, fo);
        cairo_font_options_destroy(fo);
        pango_context_set_round_glyph_positions(pango_, FALSE);
    }
    ~Writer() {
        g_object_unref(pango_);
        g_object_unref(font_map_);
        cairo_destroy(cr_);
    }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    void run(bool paint) {
        paint_ = paint;
        page_ = 0;
        if (plays_.size() > 1) contents();
        first_pages_.resize(plays_.size());
        for (std::size_t p = 0; p < plays_.size(); ++p) play(p);
    }
    int pages() const { return page_; }
    cairo_status_t status() const { return cairo_status(cr_); }

  private:
    // Where a description goes on: its block, and in a paragraph the byte of its text where
    // the next line starts, in a table the next row.
    struct Cursor {
        std::size_t block = 0;
        std::size_t at = 0;
    };
    // What placing a block did: the height it took, and where it goes on when it did not fit.
    struct Placed {
        double height = 0;
        bool whole = true;
        bool any = false;  // something of it is on the page
        std::size_t next = 0;
    };

    void begin_page() { ++page_; }
    void end_page() {
        if (!paint_) return;
        auto layout = text_layout(std::to_string(page_), kPaneSize, false);
        const Box pg = page_size(options_.paper);
        int w = 0, h = 0;
        pango_layout_get_size(layout.get(), &w, &h);
        cairo_set_source_rgb(cr_, 0, 0, 0);
        cairo_move_to(cr_, (pg.w - w / double(PANGO_SCALE)) / 2, pg.h - kMargin - h / double(PANGO_SCALE));
        pango_cairo_show_layout(cr_, layout.get());
        cairo_show_page(cr_);
    }

    // A text in the pane's family; wrapped within `width` to at most kMaxHeadingLines lines
    // when a width is given.
    LayoutPtr text_layout(const std::string& text, double size, bool bold, double width = -1) {
        LayoutPtr layout(pango_layout_new(pango_));
        PangoFontDescription* fd = pango_font_description_new();
        pango_font_description_set_family(fd, kPaneFamily);
        pango_font_description_set_size(fd, static_cast<int>(size * PANGO_SCALE));
        if (bold) pango_font_description_set_weight(fd, PANGO_WEIGHT_BOLD);
        pango_layout_set_font_description(layout.get(), fd);
        pango_font_description_free(fd);
        pango_layout_set_text(layout.get(), text.data(), static_cast<int>(text.size()));
        if (width > 0) {
            pango_layout_set_width(layout.get(), static_cast<int>(width * PANGO_SCALE));
            pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
            pango_layout_set_ellipsize(layout.get(), PANGO_ELLIPSIZE_END);
            pango_layout_set_height(layout.get(), -kMaxHeadingLines);
        }
        return layout;
    }

    // Draws a text at (x, y) in grey or black, wrapped within `width` if given; returns its height.
    double line(const std::string& text, double x, double y, double size, bool bold, double grey = 0,
                double width = -1) {
        auto layout = text_layout(text, size, bold, width);
        int w = 0, h = 0;
        pango_layout_get_size(layout.get(), &w, &h);
        if (paint_) {
            cairo_set_source_rgb(cr_, grey, grey, grey);
            cairo_move_to(cr_, x, y);
            pango_cairo_show_layout(cr_, layout.get());
        }
        return h / double(PANGO_SCALE);
    }

    static std::string contents_entry(const PlaybookPlay& p) {
        return p.category.empty() ? p.name : p.category + " \u2014 " + p.name;
    }

    void contents() {
        const Box c = content_box(options_.paper);
        const double entry_width = c.w - kPageNumberColumn;
        std::size_t p = 0;
        while (p < plays_.size()) {
            begin_page();
            if (p == 0) line("Contents", c.x, kMargin, 16, true);
            double y = c.y;
            // Each page takes at least one entry, so the contents always move on.
            for (bool first = true; p < plays_.size(); ++p, first = false) {
                const std::string entry = contents_entry(plays_[p]);
                const double h = height_of(entry, 11, entry_width);
                if (!first && y + h > c.bottom()) break;
                const int target = p < first_pages_.size() ? first_pages_[p] : 1;
                if (paint_) {
                    const std::string link = "page=" + std::to_string(target);
                    cairo_tag_begin(cr_, CAIRO_TAG_LINK, link.c_str());
                    line(entry, c.x, y, 11, false, 0, entry_width);
                    auto number = text_layout(std::to_string(target), 11, false);
                    int w = 0, nh = 0;
                    pango_layout_get_size(number.get(), &w, &nh);
                    cairo_move_to(cr_, c.right() - w / double(PANGO_SCALE), y);
                    pango_cairo_show_layout(cr_, number.get());
                    cairo_tag_end(cr_, CAIRO_TAG_LINK);
                }
                y += h + 5;
            }
            end_page();
        }
    }

    double height_of(const std::string& text, double size, double width, bool bold = false) {
        auto layout = text_layout(text, size, bold, width);
        int w = 0, h = 0;
        pango_layout_get_size(layout.get(), &w, &h);
        return h / double(PANGO_SCALE);
    }

    // Where the play's sequences start below its heading, which wraps within the margins.
    double heading_bottom(const PlaybookPlay& p) {
        const double width = page_size(options_.paper).w - 2 * kMargin;
        const double text =
            (p.category.empty() ? 0 : height_of(p.category, 9, width)) + height_of(p.name, 15, width, true);
        return kMargin + std::max(kHeaderHeight - kRuleGap, text + 4) + kRuleGap;
    }

    void header(const PlaybookPlay& p, double bottom) {
        const double width = page_size(options_.paper).w - 2 * kMargin;
        double y = kMargin;
        if (!p.category.empty()) y += line(p.category, kMargin, y, 9, false, 0.35, width);
        line(p.name, kMargin, y, 15, true, 0, width);
        if (paint_) {
            cairo_set_source_rgb(cr_, 0.6, 0.6, 0.6);
            cairo_set_line_width(cr_, 0.5);
            cairo_move_to(cr_, kMargin, bottom - kRuleGap);
            cairo_line_to(cr_, kMargin + width, bottom - kRuleGap);
            cairo_stroke(cr_);
        }
    }

    // Sequences fill the page's cells in order. A description that does not fit its cell goes
    // on in the next ones, "2/5 (continued)", before the next sequence begins.
    void play(std::size_t index) {
        const PlaybookPlay& p = plays_[index];
        std::vector<int> seqs;
        if (p.only_seq > 0) {
            seqs.push_back(p.only_seq);
        } else {
            for (int s = 1; s <= p.play->seq_count; ++s) seqs.push_back(s);
        }
        first_pages_[index] = page_ + 1;
        const double top = heading_bottom(p);
        const std::vector<Box> cells = slots(options_.paper, options_.per_page, top);
        std::size_t cell = cells.size();
        bool page_open = false;
        int outline = 0;
        const auto next_cell = [&]() -> const Box& {
            if (cell == cells.size()) {
                if (page_open) end_page();
                begin_page();
                page_open = true;
                header(p, top);
                if (paint_ && page_ == first_pages_[index]) {
                    const std::string link = "page=" + std::to_string(page_);
                    outline = cairo_pdf_surface_add_outline(surface_, CAIRO_PDF_OUTLINE_ROOT, p.name.c_str(),
                                                            link.c_str(), CAIRO_PDF_OUTLINE_FLAG_OPEN);
                }
                cell = 0;
            }
            return cells[cell++];
        };
        if (seqs.empty()) next_cell();
        for (const int seq : seqs) {
            const Box& slot = next_cell();
            std::string copy;
            const richtext::Document description = richtext::describe(
                cleaned_description(p.play->header(seq).text.lf(), copy), richtext::LineEnds::lf_for_crlf);
            const std::string label = std::to_string(seq) + "/" + std::to_string(p.play->seq_count);
            if (paint_) {
                const std::string title =
                    bookmark_title(seq, p.play->seq_count, richtext::to_plain_text(description));
                const std::string link = "page=" + std::to_string(page_) + " pos=[" +
                                         std::to_string(static_cast<int>(slot.x)) + " " +
                                         std::to_string(static_cast<int>(slot.y)) + "]";
                cairo_pdf_surface_add_outline(surface_, outline, title.c_str(), link.c_str(),
                                              static_cast<cairo_pdf_outline_flags_t>(0));
            }
            line(label, slot.x, slot.y, 11, true);
            const PictureSize size = frame_picture_size(scale_);
            const Box frame =
                place_frame(slot, size.width, size.height, wide(slot) ? 0 : height_of(description, slot.w));
            if (paint_) paint_frame(*p.play, seq, frame);
            Cursor at = flow(description, {}, text_box(slot, frame), false);
            while (at.block < description.blocks.size()) {
                const Box& more = next_cell();
                line(label + " (continued)", more.x, more.y, 11, true);
                at = flow(description, at, {more.x, more.y + kLabelHeight, more.w, more.h - kLabelHeight},
                          true);
            }
        }
        end_page();
    }

    // Lays the description out from `from` in `box`, top to bottom; returns where it stopped,
    // past the last block when all of it is placed. A paragraph breaks between its lines and
    // a table between its rows. At the top of a continuation (`fresh`) something is always
    // placed, clipped when too tall, so that the description always moves on.
    Cursor flow(const richtext::Document& d, Cursor from, const Box& box, bool fresh) {
        if (paint_) {
            cairo_save(cr_);
            cairo_rectangle(cr_, box.x - 1, box.y, box.w + 2, box.h);
            cairo_clip(cr_);
        }
        double y = box.y;
        bool any = false;
        Cursor at = from;
        for (; at.block < d.blocks.size(); at = {at.block + 1, 0}) {
            const Placed placed =
                place(d.blocks[at.block], at.at, box.x, y, box.w, box.bottom() - y, fresh && !any, paint_);
            any = any || placed.any;
            y += placed.height;
            if (!placed.whole) {
                at.at = placed.next;
                break;
            }
        }
        if (paint_) cairo_restore(cr_);
        return at;
    }

    // Places a block from `at` at (x, y) in `room` points of height; `force` places its first
    // line or row even when it does not fit.
    Placed place(const richtext::Block& b, std::size_t at, double x, double y, double w, double room,
                 bool force, bool paint) {
        if (const auto* p = std::get_if<richtext::Paragraph>(&b.content))
            return paragraph(*p, at, x, y, w, room, force, paint);
        return table(std::get<richtext::Table>(b.content), at, x, y, w, room, force, paint);
    }

    double height_of(const richtext::Document& d, double width) {
        double h = 0;
        for (const richtext::Block& b : d.blocks) h += whole(b, 0, 0, width, false);
        return h;
    }

    // The height of a whole block, drawn when `paint`.
    double whole(const richtext::Block& b, double x, double y, double w, bool paint) {
        return place(b, 0, x, y, w, std::numeric_limits<double>::infinity(), true, paint).height;
    }

    // The runs' text from byte `skip` on, with their formats.
    LayoutPtr runs_layout(const std::vector<richtext::Run>& runs, const std::string& prefix, double width,
                          std::size_t skip = 0) {
        std::string text = prefix;
        PangoAttrList* attrs = pango_attr_list_new();
        if (!prefix.empty() && !runs.empty()) add_format(attrs, runs.front().format, 0, prefix.size());
        for (const richtext::Run& run : runs) {
            std::string_view part = run.text;
            if (skip >= part.size()) {
                skip -= part.size();
                continue;
            }
            part.remove_prefix(skip);
            skip = 0;
            const std::size_t start = text.size();
            text += part;
            add_format(attrs, run.format, start, text.size());
        }
        LayoutPtr layout = text_layout(text, kPaneSize, false);
        pango_layout_set_attributes(layout.get(), attrs);
        pango_attr_list_unref(attrs);
        pango_layout_set_width(layout.get(), static_cast<int>(std::max(1.0, width) * PANGO_SCALE));
        pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
        return layout;
    }

    // A paragraph from byte `at` of its text: the rest of one begun in an earlier cell has no
    // marker, first-line indent or space before.
    Placed paragraph(const richtext::Paragraph& p, std::size_t at, double x, double y, double w, double room,
                     bool force, bool paint) {
        // Indents never push the text out of its box.
        const double left = std::clamp(twips(p.left_indent), 0.0, w / 2);
        const double first = at == 0 ? std::max(twips(p.first_line_indent), -left) : 0;
        const double width = w - left - std::clamp(twips(p.right_indent), 0.0, (w - left) / 2);
        LayoutPtr layout = runs_layout(p.runs, "", width, at);
        double marker_width = 0;
        LayoutPtr marker;
        if (!p.marker.empty() && at == 0) {
            marker = runs_layout(
                p.runs.empty() ? std::vector<richtext::Run>{}
                               : std::vector<richtext::Run>{{"", p.runs.front().format, "", std::nullopt}},
                p.marker, w);
            int mw = 0, mh = 0;
            pango_layout_get_size(marker.get(), &mw, &mh);
            marker_width = mw / double(PANGO_SCALE);
            pango_layout_set_width(marker.get(), -1);
        }
        // A hanging marker sits in the indent; otherwise the first line makes room for it.
        const double marker_x = std::max(0.0, left + first);
        if (marker && first >= 0) {
            pango_layout_set_indent(layout.get(), static_cast<int>((first + marker_width + 4) * PANGO_SCALE));
        } else if (!marker) {
            pango_layout_set_indent(layout.get(), static_cast<int>(first * PANGO_SCALE));
        }
        switch (p.alignment) {
            case richtext::Alignment::centre:
                pango_layout_set_alignment(layout.get(), PANGO_ALIGN_CENTER);
                break;
            case richtext::Alignment::right:
                pango_layout_set_alignment(layout.get(), PANGO_ALIGN_RIGHT);
                break;
            case richtext::Alignment::justify:
                pango_layout_set_justify(layout.get(), TRUE);
                break;
            case richtext::Alignment::left:
                break;
        }
        const double before = at == 0 ? std::max(0.0, twips(p.space_before)) : 0;

        // The lines that fit, each with where it starts in the text and its baseline.
        struct Line {
            PangoLayoutLine* line;
            double x, baseline, bottom;
        };
        std::vector<Line> lines;
        PangoLayoutIter* iter = pango_layout_get_iter(layout.get());
        bool whole = true;
        std::size_t next = 0;
        do {
            PangoRectangle logical;
            pango_layout_iter_get_line_extents(iter, nullptr, &logical);
            const double bottom = (logical.y + logical.height) / double(PANGO_SCALE);
            PangoLayoutLine* l = pango_layout_iter_get_line_readonly(iter);
            if (before + bottom > room && !(force && lines.empty())) {
                whole = false;
                next = at + static_cast<std::size_t>(l->start_index);
                break;
            }
            lines.push_back({l, logical.x / double(PANGO_SCALE),
                             pango_layout_iter_get_baseline(iter) / double(PANGO_SCALE), bottom});
        } while (pango_layout_iter_next_line(iter));
        pango_layout_iter_free(iter);

        if (paint && !lines.empty()) {
            cairo_set_source_rgb(cr_, 0, 0, 0);
            if (marker) {
                cairo_move_to(cr_, x + marker_x, y + before);
                pango_cairo_show_layout(cr_, marker.get());
            }
            for (const Line& l : lines) {
                cairo_move_to(cr_, x + left + l.x, y + before + l.baseline);
                pango_cairo_show_layout_line(cr_, l.line);
            }
        }
        const double used = lines.empty() ? 0 : before + lines.back().bottom;
        if (!whole) return {used, false, !lines.empty(), next};
        return {used + std::max(0.0, twips(p.space_after)), true, true, 0};
    }

    // A table from row `from`, each row as tall as its tallest cell.
    Placed table(const richtext::Table& t, std::size_t from, double x, double y, double w, double room,
                 bool force, bool paint) {
        double top = y;
        bool any = false;
        for (std::size_t r = from; r < t.rows.size(); ++r) {
            const richtext::Row& row = t.rows[r];
            if (row.cells.empty()) continue;
            std::vector<double> widths;
            double given = 0;
            bool all_given = true;
            for (const richtext::Cell& c : row.cells) {
                given += std::max(0, c.width);
                all_given = all_given && c.width > 0;
            }
            for (const richtext::Cell& c : row.cells) {
                widths.push_back(all_given
                                     ? twips(c.width) * std::min(1.0, w / twips(static_cast<int>(given)))
                                     : w / static_cast<double>(row.cells.size()));
            }
            double height = 0;
            for (std::size_t i = 0; i < row.cells.size(); ++i) {
                double h = 2 * kCellPadding;
                for (const richtext::Block& b : row.cells[i].blocks)
                    h += whole(b, 0, 0, widths[i] - 2 * kCellPadding, false);
                height = std::max(height, h);
            }
            if (top + height > y + room && !(force && !any)) return {top - y, false, any, r};
            if (paint) {
                double cx = x;
                for (std::size_t i = 0; i < row.cells.size(); ++i) {
                    double cy = top + kCellPadding;
                    for (const richtext::Block& b : row.cells[i].blocks)
                        cy += whole(b, cx + kCellPadding, cy, widths[i] - 2 * kCellPadding, true);
                    cairo_set_source_rgb(cr_, 0.5, 0.5, 0.5);
                    cairo_set_line_width(cr_, 0.5);
                    cairo_rectangle(cr_, cx, top, widths[i], height);
                    cairo_stroke(cr_);
                    cx += widths[i];
                }
            }
            top += height;
            any = true;
        }
        return {top - y + 4, true, true, 0};
    }

    // The frame's own pixels, placed in `box`; the PDF keeps them as they are.
    void paint_frame(const PlayModel& play, int seq, const Box& box) {
        DisplayDefaults defaults;
        DrawContext ctx{play, defaults};
        const FrameSettings settings{scale_, 1080, &fonts_};
        const auto picture = compose_still_frame(ctx, settings, seq, true);
        const raster::Bitmap& bitmap = picture->bitmap();
        cairo_surface_t* image =
            cairo_image_surface_create(CAIRO_FORMAT_RGB24, bitmap.width(), bitmap.height());
        unsigned char* data = cairo_image_surface_get_data(image);
        const int stride = cairo_image_surface_get_stride(image);
        for (int yy = 0; yy < bitmap.height(); ++yy) {
            const std::uint8_t* src = bitmap.scan_line(yy);
            auto* dst = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(yy) * stride);
            for (int xx = 0; xx < bitmap.width(); ++xx, src += 3)
                dst[xx] = std::uint32_t{src[2]} << 16 | std::uint32_t{src[1]} << 8 | src[0];
        }
        cairo_surface_mark_dirty(image);
        cairo_save(cr_);
        cairo_translate(cr_, box.x, box.y);
        cairo_scale(cr_, box.w / bitmap.width(), box.h / bitmap.height());
        cairo_set_source_surface(cr_, image, 0, 0);
        cairo_paint(cr_);
        cairo_restore(cr_);
        cairo_surface_destroy(image);
    }

    cairo_surface_t* surface_;
    cairo_t* cr_;
    PangoFontMap* font_map_ = nullptr;
    PangoContext* pango_ = nullptr;
    const std::vector<PlaybookPlay>& plays_;
    const PlaybookOptions& options_;
    const raster::FontLibrary& fonts_;
    double scale_;
    bool paint_ = false;
    int page_ = 0;
    std::vector<int> first_pages_;
};

}  // namespace

double playbook_frame_scale(Paper paper, int per_page) {
    const Box box = frame_box(slots(paper, per_page).front());
    for (double scale = 0.25;; scale += 0.25) {
        const PictureSize size = frame_picture_size(scale);
        const Box frame = fit_frame(box, size.width, size.height);
        if (dpi(size.width, frame.w) >= kMinDpi && dpi(size.height, frame.h) >= kMinDpi) return scale;
    }
}

PlaybookResult write_playbook(const std::vector<PlaybookPlay>& plays, const PlaybookOptions& options,
                              const raster::FontLibrary& fonts, const std::string& path) {
    PlaybookResult result;
    result.frame_scale =
        options.scale > 0 ? options.scale : playbook_frame_scale(options.paper, options.per_page);
    const Box page = page_size(options.paper);

    StagedFile file;
    std::string error;
    if (!file.open(path, error)) {
        result.message = "cannot write " + path + ": " + error;
        return result;
    }
    PdfStream stream(file.fd());
    cairo_surface_t* surface =
        cairo_pdf_surface_create_for_stream(&PdfStream::write, &stream, page.w, page.h);
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, options.title.c_str());
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, options.creator.c_str());
    cairo_status_t status = CAIRO_STATUS_SUCCESS;
    {
        Writer writer(surface, plays, options, fonts, result.frame_scale);
        // The contents give the page each play starts on: a first pass only measures.
        writer.run(false);
        writer.run(true);
        result.pages = writer.pages();
        status = writer.status();
    }
    cairo_surface_finish(surface);
    if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    // A write that failed says why; anything else Cairo says in its own words.
    const bool finished = status == CAIRO_STATUS_SUCCESS && stream.finish();
    if (!finished || !file.commit(error)) {
        file.discard();
        const std::string reason = !stream.error().empty()          ? stream.error()
                                   : status != CAIRO_STATUS_SUCCESS ? cairo_status_to_string(status)
                                                                    : error;
        result.message = "cannot write " + path + ": " + reason;
        return result;
    }
    result.ok = true;
    return result;
}

void release_playbook_fonts() {
    cairo_debug_reset_static_data();
    FcFini();
}

}  // namespace hoopcast
