// The busy frame drawn with Cairo: an RGB24 image surface, anti-aliasing off for shapes and
// glyphs, text through the FreeType face of our own font file.

#include <cairo-ft.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include "peers.h"

namespace hoopcast::bench {
namespace {

void set_colour(cairo_t* cr, unsigned c, double alpha = 1.0) {
    cairo_set_source_rgba(cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0,
                          alpha);
}

class CairoPainter final : public PeerPainter {
  public:
    cairo_t* cr = nullptr;
    cairo_font_face_t* face = nullptr;
    unsigned pen_colour = 0;

    void fill(unsigned colour) override {
        set_colour(cr, colour);
        cairo_paint(cr);
    }
    void pen(unsigned colour, double width, bool dashed) override {
        pen_colour = colour;
        cairo_set_line_width(cr, width);
        const double dashes[] = {6.0 * width, 3.0 * width};
        cairo_set_dash(cr, dashes, dashed ? 2 : 0, 0);
    }
    void stroke() {
        set_colour(cr, pen_colour);
        cairo_stroke(cr);
    }
    void line(PeerPoint a, PeerPoint b) override {
        cairo_move_to(cr, a.x, a.y);
        cairo_line_to(cr, b.x, b.y);
        stroke();
    }
    void path(const std::vector<PeerPoint>& points) {
        cairo_move_to(cr, points[0].x, points[0].y);
        for (std::size_t i = 1; i < points.size(); ++i) cairo_line_to(cr, points[i].x, points[i].y);
    }
    void polyline(const std::vector<PeerPoint>& points) override {
        path(points);
        stroke();
    }
    void fill_and_outline(const unsigned* fill_colour, bool outline) {
        if (fill_colour != nullptr) {
            set_colour(cr, *fill_colour);
            if (outline)
                cairo_fill_preserve(cr);
            else
                cairo_fill(cr);
        }
        if (outline) stroke();
    }
    void polygon(const std::vector<PeerPoint>& points, const unsigned* fill_colour, bool outline) override {
        path(points);
        cairo_close_path(cr);
        fill_and_outline(fill_colour, outline);
    }
    void ellipse_path(PeerPoint c, double rx, double ry) {
        cairo_save(cr);
        cairo_translate(cr, c.x, c.y);
        cairo_scale(cr, rx, ry);
        cairo_new_path(cr);
        cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
        cairo_restore(cr);
    }
    void ellipse(PeerPoint c, double rx, double ry, const unsigned* fill_colour, bool outline) override {
        ellipse_path(c, rx, ry);
        fill_and_outline(fill_colour, outline);
    }
    void arc(PeerPoint c, double r, double from, double to) override {
        cairo_new_path(cr);
        cairo_arc(cr, c.x, c.y, r, from, to);
        stroke();
    }
    void tint_polygon(const std::vector<PeerPoint>& points, unsigned colour, double alpha) override {
        path(points);
        cairo_close_path(cr);
        set_colour(cr, colour, alpha);
        cairo_fill(cr);
    }
    void tint_ellipse(PeerPoint c, double rx, double ry, unsigned colour, double alpha) override {
        ellipse_path(c, rx, ry);
        set_colour(cr, colour, alpha);
        cairo_fill(cr);
    }
    void text(PeerPoint p, const std::string& s, double pixels, unsigned colour) override {
        cairo_set_font_face(cr, face);
        cairo_set_font_size(cr, pixels);
        cairo_font_extents_t extents;
        cairo_font_extents(cr, &extents);
        set_colour(cr, colour);
        cairo_move_to(cr, p.x, p.y + extents.ascent);
        cairo_show_text(cr, s.c_str());
    }
};

class CairoImage final : public PeerImage {
  public:
    CairoImage(int width, int height, const std::string& font_file) : width_(width), height_(height) {
        FT_Init_FreeType(&ft_);
        if (FT_New_Face(ft_, font_file.c_str(), 0, &ft_face_) != 0) ft_face_ = nullptr;
        face_ = cairo_ft_font_face_create_for_ft_face(ft_face_, 0);
        options_ = cairo_font_options_create();
        cairo_font_options_set_antialias(options_, CAIRO_ANTIALIAS_NONE);
        cairo_font_options_set_hint_style(options_, CAIRO_HINT_STYLE_FULL);
    }
    ~CairoImage() override {
        if (surface_ != nullptr) cairo_surface_destroy(surface_);
        cairo_font_options_destroy(options_);
        cairo_font_face_destroy(face_);
        if (ft_face_ != nullptr) FT_Done_Face(ft_face_);
        FT_Done_FreeType(ft_);
    }

    PeerPainter& begin(bool fresh) override {
        if (fresh || surface_ == nullptr) {
            if (surface_ != nullptr) cairo_surface_destroy(surface_);
            surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
        }
        painter_.cr = cairo_create(surface_);
        painter_.face = face_;
        cairo_set_antialias(painter_.cr, CAIRO_ANTIALIAS_NONE);
        cairo_set_font_options(painter_.cr, options_);
        cairo_set_line_cap(painter_.cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(painter_.cr, CAIRO_LINE_JOIN_ROUND);
        return painter_;
    }
    void end() override {
        cairo_surface_flush(surface_);
        cairo_destroy(painter_.cr);
        painter_.cr = nullptr;
    }
    bool write_png(const std::string& path) override {
        return surface_ != nullptr &&
               cairo_surface_write_to_png(surface_, path.c_str()) == CAIRO_STATUS_SUCCESS;
    }

  private:
    int width_, height_;
    FT_Library ft_ = nullptr;
    FT_Face ft_face_ = nullptr;
    cairo_font_face_t* face_ = nullptr;
    cairo_font_options_t* options_ = nullptr;
    cairo_surface_t* surface_ = nullptr;
    CairoPainter painter_;
};

}  // namespace

std::unique_ptr<PeerImage> make_cairo_peer(int width, int height, const std::string& font_file) {
    return std::make_unique<CairoImage>(width, height, font_file);
}

}  // namespace hoopcast::bench
