#include "export/playbook.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "drawings/context.h"
#include "play/description.h"
#include "raster/picture.h"
#include "richtext/reader.h"
#include "scene/frames.h"
#include "scene/mapping.h"

namespace hoopcast {

namespace {

// Points (1/72 inch) throughout.
constexpr double kMargin = 42;
constexpr double kHeaderHeight = 44;
constexpr double kFooterHeight = 22;
constexpr double kGap = 14;
constexpr double kLabelHeight = 18;
constexpr double kMinDpi = 200;
// The description pane's own font: Arial at 13 pixels.
constexpr const char* kPaneFamily = "Arial";
constexpr double kPaneSize = 9.75;
constexpr double kCellPadding = 3;
constexpr int kContentsLinesPerPage = 36;

struct Box {
    double x = 0, y = 0, w = 0, h = 0;
};

Box page_size(Paper paper) {
    return paper == Paper::letter ? Box{0, 0, 612, 792} : Box{0, 0, 595.276, 841.89};
}

Box content_box(Paper paper) {
    const Box page = page_size(paper);
    const double top = kMargin + kHeaderHeight;
    return {kMargin, top, page.w - 2 * kMargin, page.h - top - kMargin - kFooterHeight};
}

std::vector<Box> slots(Paper paper, int per_page) {
    const Box c = content_box(paper);
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

// The box the frame may fill in a slot, below the sequence number.
Box frame_box(const Box& slot) {
    const double top = slot.y + kLabelHeight;
    const double h = slot.h - kLabelHeight;
    if (wide(slot)) return {slot.x, top, slot.w * 0.5, h};
    return {slot.x, top, slot.w, h * 0.5};
}

// Where a frame of w x h pixels goes in `box`: as large as fits, aspect kept, centred across.
Box fit_frame(const Box& box, int w, int h) {
    double dw = box.w, dh = box.w * h / w;
    if (dh > box.h) dh = box.h, dw = box.h * w / h;
    const double x = box.x + (box.w - dw) / 2;
    return {x, box.y, dw, dh};
}

double dpi(int pixels, double points) {
    return pixels / (points / 72.0);
}

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
          scale_(scale),
          slots_(slots(options.paper, options.per_page)) {
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
    struct Overflow {
        int seq = 0;
        int count = 0;
        std::vector<const richtext::Block*> blocks;
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

    LayoutPtr text_layout(const std::string& text, double size, bool bold, const char* family = kPaneFamily) {
        LayoutPtr layout(pango_layout_new(pango_));
        PangoFontDescription* fd = pango_font_description_new();
        pango_font_description_set_family(fd, family);
        pango_font_description_set_size(fd, static_cast<int>(size * PANGO_SCALE));
        if (bold) pango_font_description_set_weight(fd, PANGO_WEIGHT_BOLD);
        pango_layout_set_font_description(layout.get(), fd);
        pango_font_description_free(fd);
        pango_layout_set_text(layout.get(), text.data(), static_cast<int>(text.size()));
        return layout;
    }

    // Draws a one-line text at (x, y) in grey or black; returns its height.
    double line(const std::string& text, double x, double y, double size, bool bold, double grey = 0) {
        auto layout = text_layout(text, size, bold);
        int w = 0, h = 0;
        pango_layout_get_size(layout.get(), &w, &h);
        if (paint_) {
            cairo_set_source_rgb(cr_, grey, grey, grey);
            cairo_move_to(cr_, x, y);
            pango_cairo_show_layout(cr_, layout.get());
        }
        return h / double(PANGO_SCALE);
    }

    void contents() {
        const std::size_t per_page = kContentsLinesPerPage;
        const std::size_t n = plays_.size();
        for (std::size_t first = 0; first < n; first += per_page) {
            begin_page();
            const Box c = content_box(options_.paper);
            double y = kMargin;
            if (first == 0) line("Contents", c.x, y, 16, true);
            y = c.y;
            for (std::size_t p = first; p < std::min(n, first + per_page); ++p) {
                const std::string entry = plays_[p].category.empty()
                                              ? plays_[p].name
                                              : plays_[p].category + " \u2014 " + plays_[p].name;
                const int target = p < first_pages_.size() ? first_pages_[p] : 1;
                if (paint_) {
                    const std::string link = "page=" + std::to_string(target);
                    cairo_tag_begin(cr_, CAIRO_TAG_LINK, link.c_str());
                    line(entry, c.x, y, 11, false);
                    auto number = text_layout(std::to_string(target), 11, false);
                    int w = 0, h = 0;
                    pango_layout_get_size(number.get(), &w, &h);
                    cairo_move_to(cr_, c.x + c.w - w / double(PANGO_SCALE), y);
                    pango_cairo_show_layout(cr_, number.get());
                    cairo_tag_end(cr_, CAIRO_TAG_LINK);
                }
                y += 18;
            }
            end_page();
        }
    }

    void header(const PlaybookPlay& p) {
        double y = kMargin;
        if (!p.category.empty()) y += line(p.category, kMargin, y, 9, false, 0.35);
        line(p.name, kMargin, y, 15, true);
        if (paint_) {
            const Box pg = page_size(options_.paper);
            cairo_set_source_rgb(cr_, 0.6, 0.6, 0.6);
            cairo_set_line_width(cr_, 0.5);
            cairo_move_to(cr_, kMargin, kMargin + kHeaderHeight - 8);
            cairo_line_to(cr_, pg.w - kMargin, kMargin + kHeaderHeight - 8);
            cairo_stroke(cr_);
        }
    }

    void play(std::size_t index) {
        const PlaybookPlay& p = plays_[index];
        std::vector<int> seqs;
        if (p.only_seq > 0) {
            seqs.push_back(p.only_seq);
        } else {
            for (int s = 1; s <= p.play->seq_count; ++s) seqs.push_back(s);
        }
        first_pages_[index] = page_ + 1;
        int outline = 0;
        const std::size_t per_page = slots_.size();
        for (std::size_t first = 0; first < seqs.size() || first == 0; first += per_page) {
            begin_page();
            header(p);
            if (paint_ && first == 0) {
                const std::string link = "page=" + std::to_string(page_);
                outline = cairo_pdf_surface_add_outline(surface_, CAIRO_PDF_OUTLINE_ROOT, p.name.c_str(),
                                                        link.c_str(), CAIRO_PDF_OUTLINE_FLAG_OPEN);
            }
            std::vector<Overflow> overflows;
            for (std::size_t i = 0; i < per_page && first + i < seqs.size(); ++i) {
                const int seq = seqs[first + i];
                if (paint_) {
                    const std::string label = std::to_string(seq) + "/" + std::to_string(p.play->seq_count);
                    const std::string link = "page=" + std::to_string(page_) + " pos=[" +
                                             std::to_string(static_cast<int>(slots_[i].x)) + " " +
                                             std::to_string(static_cast<int>(slots_[i].y)) + "]";
                    cairo_pdf_surface_add_outline(surface_, outline, label.c_str(), link.c_str(),
                                                  static_cast<cairo_pdf_outline_flags_t>(0));
                }
                Overflow rest = sequence(p, seq, slots_[i]);
                if (!rest.blocks.empty()) overflows.push_back(std::move(rest));
            }
            end_page();
            for (Overflow& o : overflows) continuation(p, o);
            if (seqs.empty()) break;
        }
    }

    // The sequence's number, frame and as much of its description as fits in the slot;
    // returns the blocks that did not fit.
    Overflow sequence(const PlaybookPlay& p, int seq, const Box& slot) {
        const std::string label = std::to_string(seq) + "/" + std::to_string(p.play->seq_count);
        line(label, slot.x, slot.y, 11, true);
        const PictureSize size = frame_picture_size(scale_);
        const Box frame = fit_frame(frame_box(slot), size.width, size.height);
        if (paint_) paint_frame(*p.play, seq, frame);
        Box text = wide(slot) ? Box{frame.x + frame.w + kGap, slot.y + kLabelHeight, 0, slot.h - kLabelHeight}
                              : Box{slot.x, frame.y + frame.h + kGap / 2, slot.w, 0};
        if (wide(slot)) {
            text.w = slot.x + slot.w - text.x;
        } else {
            text.h = slot.y + slot.h - text.y;
        }
        std::string copy;
        description_ = richtext::describe(cleaned_description(p.play->header(seq).text.lf(), copy),
                                          richtext::LineEnds::lf_for_crlf);
        Overflow rest{seq, p.play->seq_count, {}};
        for (const richtext::Block& b : description_.blocks) rest.blocks.push_back(&b);
        rest.blocks = flow(rest.blocks, text, false);
        if (!rest.blocks.empty()) {
            // The continuation page reads the blocks again from its own copy.
            held_.push_back(std::move(description_));
        }
        return rest;
    }

    void continuation(const PlaybookPlay& p, Overflow& o) {
        while (!o.blocks.empty()) {
            begin_page();
            header(p);
            const Box c = content_box(options_.paper);
            line(std::to_string(o.seq) + "/" + std::to_string(o.count) + " (continued)", c.x, c.y, 11, true);
            o.blocks = flow(o.blocks, {c.x, c.y + kLabelHeight, c.w, c.h - kLabelHeight}, true);
            end_page();
        }
    }

    // Lays blocks out top to bottom in `box`; returns those that did not fit. On a page of
    // its own (`fresh`) the first block is drawn even when too tall, clipped, so that every
    // block is placed somewhere.
    std::vector<const richtext::Block*> flow(const std::vector<const richtext::Block*>& blocks,
                                             const Box& box, bool fresh) {
        double y = box.y;
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            const double h = block(*blocks[i], box.x, y, box.w, false);
            if (y + h > box.y + box.h && !(fresh && i == 0)) {
                return {blocks.begin() + static_cast<std::ptrdiff_t>(i), blocks.end()};
            }
            if (paint_) {
                cairo_save(cr_);
                cairo_rectangle(cr_, box.x - 1, box.y, box.w + 2, box.h);
                cairo_clip(cr_);
                block(*blocks[i], box.x, y, box.w, true);
                cairo_restore(cr_);
            }
            y += h;
        }
        return {};
    }

    double block(const richtext::Block& b, double x, double y, double w, bool paint) {
        if (const auto* p = std::get_if<richtext::Paragraph>(&b.content))
            return paragraph(*p, x, y, w, paint);
        return table(std::get<richtext::Table>(b.content), x, y, w, paint);
    }

    LayoutPtr runs_layout(const std::vector<richtext::Run>& runs, const std::string& prefix, double width) {
        std::string text = prefix;
        PangoAttrList* attrs = pango_attr_list_new();
        if (!prefix.empty() && !runs.empty()) add_format(attrs, runs.front().format, 0, prefix.size());
        for (const richtext::Run& run : runs) {
            const std::size_t start = text.size();
            text += run.text;
            add_format(attrs, run.format, start, text.size());
        }
        LayoutPtr layout = text_layout(text, kPaneSize, false);
        pango_layout_set_attributes(layout.get(), attrs);
        pango_attr_list_unref(attrs);
        pango_layout_set_width(layout.get(), static_cast<int>(std::max(1.0, width) * PANGO_SCALE));
        pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
        return layout;
    }

    double paragraph(const richtext::Paragraph& p, double x, double y, double w, bool paint) {
        const double left = std::max(0.0, twips(p.left_indent));
        const double first = twips(p.first_line_indent);
        const double width = w - left - std::max(0.0, twips(p.right_indent));
        LayoutPtr layout = runs_layout(p.runs, "", width);
        double marker_width = 0;
        LayoutPtr marker;
        if (!p.marker.empty()) {
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
        int lw = 0, lh = 0;
        pango_layout_get_size(layout.get(), &lw, &lh);
        const double before = std::max(0.0, twips(p.space_before));
        if (paint) {
            cairo_set_source_rgb(cr_, 0, 0, 0);
            if (marker) {
                cairo_move_to(cr_, x + marker_x, y + before);
                pango_cairo_show_layout(cr_, marker.get());
            }
            cairo_move_to(cr_, x + left, y + before);
            pango_cairo_show_layout(cr_, layout.get());
        }
        return before + lh / double(PANGO_SCALE) + std::max(0.0, twips(p.space_after));
    }

    double table(const richtext::Table& t, double x, double y, double w, bool paint) {
        double top = y;
        for (const richtext::Row& row : t.rows) {
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
                    h += block(b, 0, 0, widths[i] - 2 * kCellPadding, false);
                height = std::max(height, h);
            }
            if (paint) {
                double cx = x;
                for (std::size_t i = 0; i < row.cells.size(); ++i) {
                    double cy = top + kCellPadding;
                    for (const richtext::Block& b : row.cells[i].blocks)
                        cy += block(b, cx + kCellPadding, cy, widths[i] - 2 * kCellPadding, true);
                    cairo_set_source_rgb(cr_, 0.5, 0.5, 0.5);
                    cairo_set_line_width(cr_, 0.5);
                    cairo_rectangle(cr_, cx, top, widths[i], height);
                    cairo_stroke(cr_);
                    cx += widths[i];
                }
            }
            top += height;
        }
        return top - y + 4;
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
    std::vector<Box> slots_;
    bool paint_ = false;
    int page_ = 0;
    std::vector<int> first_pages_;
    richtext::Document description_;
    std::vector<richtext::Document> held_;
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

    const std::string temp = path + ".part" + std::to_string(::getpid());
    cairo_surface_t* surface = cairo_pdf_surface_create(temp.c_str(), page.w, page.h);
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
    std::error_code ec;
    if (status != CAIRO_STATUS_SUCCESS) {
        std::filesystem::remove(temp, ec);
        result.message = path + ": " + cairo_status_to_string(status);
        return result;
    }
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        result.message = path + ": " + ec.message();
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
