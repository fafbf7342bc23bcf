#include "export/page.h"

#include <hb-subset.h>
#include <hb.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "base/html.h"
#include "export/staged_file.h"
#include "play/steps.h"
#include "raster/face_match.h"
#include "raster/fonts.h"
#include "raster/picture.h"
#include "scene/frames.h"

namespace hoopcast {

namespace {

constexpr std::string_view kTitlePlace = "@PLAY_TITLE@";
constexpr std::string_view kPlayPlace = "<!--@PLAY_DATA@-->";
constexpr std::string_view kFontPlace = "<!--@FONT_DATA@-->";

std::string escaped(std::string_view text) {
    std::string out;
    append_html_escaped(out, text);
    return out;
}

std::vector<std::uint8_t> gzip(std::span<const std::uint8_t> bytes) {
    z_stream z{};
    // 15 window bits, and 16 for gzip's header and trailer, which the page's DecompressionStream wants.
    if (deflateInit2(&z, 9, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY) != Z_OK) return {};
    std::vector<std::uint8_t> out(deflateBound(&z, static_cast<uLong>(bytes.size())));
    z.next_in = const_cast<Bytef*>(bytes.data());
    z.avail_in = static_cast<uInt>(bytes.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return rc == Z_STREAM_END ? out : std::vector<std::uint8_t>{};
}

std::string script(std::string_view id, std::string_view attributes, std::span<const std::uint8_t> bytes) {
    return "<script type=\"application/octet-stream\" id=\"" + std::string(id) + "\"" +
           std::string(attributes) + ">" + packed(bytes) + "</script>";
}

std::string running_program_folder() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.parent_path().string();
}

struct BlobDeleter {
    void operator()(hb_blob_t* b) const noexcept { hb_blob_destroy(b); }
};
struct FaceDeleter {
    void operator()(hb_face_t* f) const noexcept { hb_face_destroy(f); }
};
struct InputDeleter {
    void operator()(hb_subset_input_t* i) const noexcept { hb_subset_input_destroy(i); }
};

bool read_bytes(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (in) bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad() || !in.is_open()) {
        std::error_code ec(errno, std::generic_category());
        error = "cannot read " + path + ": " + (errno != 0 ? ec.message() : std::string("read error"));
        return false;
    }
    return true;
}

// Every character each face is asked for while the play's frames are drawn: the still
// frames with and without Sketch and the first step of each animation, at the normal
// court's scale and at a large one, for texts that only show once they are large enough.
raster::FontUse font_use(const PlayModel& play, DrawContext& ctx, const FrameSettings& settings) {
    raster::FontUse use;
    struct Recording {
        const raster::FontLibrary& fonts;
        ~Recording() { fonts.record_use(nullptr); }
    } recording{*settings.fonts};
    settings.fonts->record_use(&use);
    for (const double scale : {1.0, 3.0}) {
        FrameSettings at = settings;
        at.scale = scale;
        for (int seq = 1; seq <= play.seq_count; ++seq) {
            compose_still_frame(ctx, at, seq, true);
            compose_still_frame(ctx, at, seq, false);
            const StepPlan plan = step_plan(play.seq_path_length(seq));
            if (plan.steps > 1) compose_animation_frame(ctx, at, seq, 2, plan.steps, plan.fraction);
        }
    }
    return use;
}

bool table_face(std::string_view name) {
    for (const raster::FontChoice& choice : raster::font_choices()) {
        for (const std::string_view file : choice.files) {
            if (file == name) return true;
        }
    }
    return false;
}

}  // namespace

std::vector<std::string> page_template_places() {
    std::vector<std::string> places;
    // Named, it is the only place: a test or a package that names it means that one.
    if (const char* given = std::getenv("HOOPCAST_PAGE_TEMPLATE"); given != nullptr && *given != '\0') {
        return {given};
    }
    if (const std::string folder = running_program_folder(); !folder.empty()) {
        const std::filesystem::path bin(folder);
        places.push_back((bin.parent_path() / "share" / "hoopcast" / kPageTemplateName).string());
        places.push_back((bin / kPageTemplateName).string());
    }
#ifdef HOOPCAST_BUILD_WEB_DIR
    places.push_back((std::filesystem::path(HOOPCAST_BUILD_WEB_DIR) / kPageTemplateName).string());
#endif
    return places;
}

std::optional<std::string> find_page_template() {
    for (const std::string& place : page_template_places()) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(place, ec)) return place;
    }
    return std::nullopt;
}

std::string missing_page_template_message() {
    std::string places;
    for (const std::string& place : page_template_places()) places += (places.empty() ? "" : ", ") + place;
    return "no page template (looked for " + places + "); scripts/web builds it";
}

std::string packed(std::span<const std::uint8_t> bytes) {
    const std::vector<std::uint8_t> zipped = gzip(bytes);
    std::string out;
    append_base64(out, {reinterpret_cast<const char*>(zipped.data()), zipped.size()});
    return out;
}

std::string assemble_page(std::string_view page_template, const PageParts& parts, std::string& error) {
    struct Place {
        std::string_view marker;
        std::string text;
        std::size_t at = std::string_view::npos;
    };
    std::string fonts = "<script type=\"application/json\" id=\"core-font-names\">[";
    for (std::size_t i = 0; i < parts.fonts.size(); ++i) {
        fonts += (i > 0 ? ",\"" : "\"") + escaped(parts.fonts[i].name) + "\"";
    }
    fonts += "]</script>";
    for (std::size_t i = 0; i < parts.fonts.size(); ++i) {
        fonts += "\n" + script("core-font-" + std::to_string(i), "", parts.fonts[i].bytes);
    }
    std::array<Place, 3> places{{
        {kTitlePlace, escaped(parts.title)},
        {kPlayPlace, script("play-data", " data-name=\"" + escaped(parts.file_name) + "\"", parts.play)},
        {kFontPlace, std::move(fonts)},
    }};
    for (Place& p : places) {
        p.at = page_template.find(p.marker);
        if (p.at == std::string_view::npos ||
            page_template.find(p.marker, p.at + 1) != std::string_view::npos) {
            error = "the page template has not one place for " + std::string(p.marker);
            return {};
        }
    }
    std::sort(places.begin(), places.end(), [](const Place& a, const Place& b) { return a.at < b.at; });
    std::string page;
    std::size_t from = 0;
    for (const Place& p : places) {
        page.append(page_template.substr(from, p.at - from));
        page += p.text;
        from = p.at + p.marker.size();
    }
    page.append(page_template.substr(from));
    return page;
}

std::vector<std::uint8_t> subset_face(std::span<const std::uint8_t> face,
                                      const std::set<char32_t>& characters) {
    const std::unique_ptr<hb_blob_t, BlobDeleter> blob(
        hb_blob_create(reinterpret_cast<const char*>(face.data()), static_cast<unsigned>(face.size()),
                       HB_MEMORY_MODE_READONLY, nullptr, nullptr));
    const std::unique_ptr<hb_face_t, FaceDeleter> whole(hb_face_create(blob.get(), 0));
    if (hb_face_get_glyph_count(whole.get()) == 0) return {};
    const std::unique_ptr<hb_subset_input_t, InputDeleter> input(hb_subset_input_create_or_fail());
    if (!input) return {};
    hb_set_t* unicodes = hb_subset_input_unicode_set(input.get());
    for (const char32_t c : characters) hb_set_add(unicodes, c);
    // The court's text is drawn glyph by glyph from the character map, without shaping or
    // kerning: the layout tables are never read. The hinting (fpgm, prep, cvt, the glyphs'
    // instructions) is kept, and so is the outline of the glyph for a missing character.
    hb_set_t* dropped = hb_subset_input_set(input.get(), HB_SUBSET_SETS_DROP_TABLE_TAG);
    for (const char* tag : {"GSUB", "GPOS", "GDEF", "kern", "FFTM", "DSIG"}) {
        hb_set_add(dropped, hb_tag_from_string(tag, 4));
    }
    hb_set_t* features = hb_subset_input_set(input.get(), HB_SUBSET_SETS_LAYOUT_FEATURE_TAG);
    hb_set_clear(features);
    hb_subset_input_set_flags(input.get(), HB_SUBSET_FLAGS_NOTDEF_OUTLINE);
    const std::unique_ptr<hb_face_t, FaceDeleter> cut(hb_subset_or_fail(whole.get(), input.get()));
    if (!cut) return {};
    const std::unique_ptr<hb_blob_t, BlobDeleter> out(hb_face_reference_blob(cut.get()));
    unsigned length = 0;
    const char* data = hb_blob_get_data(out.get(), &length);
    return {reinterpret_cast<const std::uint8_t*>(data),
            reinterpret_cast<const std::uint8_t*>(data) + length};
}

ExportResult write_play_page(const PlayModel& play, const ExportRequest& r, DrawContext& ctx,
                             const FrameSettings& settings) {
    const auto failed = [](std::string message) {
        return ExportResult{ExportOutcome::Failed, std::move(message)};
    };
    const std::optional<std::string> template_path =
        r.page_template.empty() ? find_page_template() : std::optional<std::string>(r.page_template);
    if (!template_path) return failed(missing_page_template_message());
    std::string error;
    std::vector<std::uint8_t> page_template;
    std::vector<std::uint8_t> play_bytes;
    if (!read_bytes(*template_path, page_template, error) || !read_bytes(r.play_file, play_bytes, error)) {
        return failed(error);
    }

    PageParts parts;
    parts.file_name = std::filesystem::path(r.play_file).filename().string();
    parts.title = r.title.empty() ? std::filesystem::path(r.play_file).stem().string() : r.title;
    parts.play = play_bytes;
    // Only the table's faces are in the page; the page draws every family with one of them.
    for (const auto& [file, characters] : font_use(play, ctx, settings).characters) {
        const std::string name = std::filesystem::path(file).filename().string();
        if (!table_face(name)) continue;
        std::vector<std::uint8_t> whole;
        if (!read_bytes(file, whole, error)) return failed(error);
        PageFont font{name, subset_face(whole, characters)};
        if (font.bytes.empty()) return failed("cannot cut down the face " + file);
        parts.fonts.push_back(std::move(font));
    }
    const std::string_view text(reinterpret_cast<const char*>(page_template.data()), page_template.size());
    const std::string page = assemble_page(text, parts, error);
    if (page.empty()) return failed(*template_path + ": " + error);
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(page.data()),
                                              page.size());
    if (!write_staged(r.path, bytes, error)) return failed("cannot write " + r.path + ": " + error);
    return {};
}

}  // namespace hoopcast
