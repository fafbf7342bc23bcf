#include "export/gif_writer.h"

#include <gif_lib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "export/staged_file.h"

namespace hoopcast {

using raster::Bitmap;

namespace {

struct ChangedRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The bounding box of the pixels that differ; empty width when the pictures are equal.
ChangedRect changed_box(const Bitmap& a, const Bitmap& b) {
    const raster::Rect r = raster::changed_rect(a, b);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

std::uint32_t key_at(const std::uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16); }

// The rectangle's pixels as indices into a colour table of their exact colours. Pictures
// with more than 256 colours in one rectangle (rare: courts have few) fall back to a fixed
// 3-3-2 table.
struct IndexedRect {
    std::vector<GifColorType> colours;
    std::vector<GifPixelType> pixels;
};

IndexedRect index_rect(const Bitmap& image, const ChangedRect& r) {
    IndexedRect out;
    out.pixels.resize(static_cast<std::size_t>(r.width) * static_cast<std::size_t>(r.height));
    std::unordered_map<std::uint32_t, GifPixelType> table;
    table.reserve(512);
    bool exact = true;
    std::size_t k = 0;
    // Courts are long runs of one colour: a pixel like the one before needs no lookup.
    std::uint32_t last_key = 0xFFFFFFFF;
    GifPixelType last_index = 0;
    for (int y = r.top; y < r.top + r.height && exact; ++y) {
        const std::uint8_t* row = image.scan_line(y) + 3 * r.left;
        for (int x = 0; x < r.width; ++x, ++k) {
            const std::uint32_t key = key_at(row + 3 * x);
            if (key == last_key) {
                out.pixels[k] = last_index;
                continue;
            }
            auto it = table.find(key);
            if (it == table.end()) {
                if (table.size() == 256) {
                    exact = false;
                    break;
                }
                const auto index = static_cast<GifPixelType>(table.size());
                it = table.emplace(key, index).first;
                // Bitmap bytes are blue, green, red.
                out.colours.push_back({static_cast<GifByteType>(row[3 * x + 2]),
                                       static_cast<GifByteType>(row[3 * x + 1]),
                                       static_cast<GifByteType>(row[3 * x])});
            }
            out.pixels[k] = it->second;
            last_key = key;
            last_index = it->second;
        }
    }
    if (exact) return out;

    out.colours.clear();
    for (int i = 0; i < 256; ++i) {
        out.colours.push_back({static_cast<GifByteType>(((i >> 5) & 7) * 255 / 7),
                               static_cast<GifByteType>(((i >> 2) & 7) * 255 / 7),
                               static_cast<GifByteType>((i & 3) * 255 / 3)});
    }
    k = 0;
    for (int y = r.top; y < r.top + r.height; ++y) {
        const std::uint8_t* row = image.scan_line(y) + 3 * r.left;
        for (int x = 0; x < r.width; ++x, ++k) {
            const std::uint8_t* p = row + 3 * x;
            out.pixels[k] = static_cast<GifPixelType>((p[2] >> 5) << 5 | (p[1] >> 5) << 2 | (p[0] >> 6));
        }
    }
    return out;
}

void copy_rect(Bitmap& dest, const Bitmap& src, const ChangedRect& r) {
    for (int y = r.top; y < r.top + r.height; ++y) {
        std::memcpy(dest.scan_line(y) + 3 * r.left, src.scan_line(y) + 3 * r.left,
                    static_cast<std::size_t>(r.width) * 3);
    }
}

// giflib's text, or the system's reason when a write failed (a full disk, a size limit).
std::string gif_error(int code) {
    if ((code == E_GIF_ERR_WRITE_FAILED || code == E_GIF_ERR_DISK_IS_FULL ||
         code == E_GIF_ERR_CLOSE_FAILED) &&
        errno != 0)
        return std::strerror(errno);
    return GifErrorString(code);
}

bool same_pixels(const Bitmap& a, const Bitmap& b) {
    return a.width() == b.width() && a.height() == b.height() &&
           std::equal(a.bytes().begin(), a.bytes().end(), b.bytes().begin());
}

}  // namespace

struct GifWriter::Impl {
    StagedFile file;
    GifFileType* gif = nullptr;
    Bitmap shown;  // what a viewer shows after the frames stored so far
    bool any_written = false;
    Bitmap pending;
    bool has_pending = false;
    std::int64_t pending_start_ms = 0;
    std::int64_t now_ms = 0;

    // Unfinished, the file is removed.
    ~Impl() {
        if (gif != nullptr) EGifCloseFile(gif, nullptr);
    }
};

GifWriter::GifWriter(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
GifWriter::~GifWriter() = default;

std::unique_ptr<GifWriter> GifWriter::create(const std::string& path, int width, int height,
                                             std::string& error) {
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535) {
        error = "cannot write a GIF of " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
        return nullptr;
    }
    // Opened here rather than by giflib, which would make the file readable by its owner only.
    auto impl = std::make_unique<Impl>();
    if (!impl->file.open(path, error)) return nullptr;
    int code = 0;
    GifFileType* gif = EGifOpenFileHandle(impl->file.fd(), &code);
    if (gif == nullptr) {
        error = gif_error(code);
        return nullptr;
    }
    impl->file.take_fd();  // giflib closes it
    impl->gif = gif;
    EGifSetGifVersion(gif, true);
    if (EGifPutScreenDesc(gif, width, height, 8, 0, nullptr) == GIF_ERROR) {
        error = gif_error(gif->Error);
        return nullptr;
    }
    impl->shown = Bitmap(width, height);
    return std::unique_ptr<GifWriter>(new GifWriter(std::move(impl)));
}

bool GifWriter::add_frame(const Bitmap& frame, std::int64_t duration_ms) {
    Impl& d = *impl_;
    if (frame.width() != d.shown.width() || frame.height() != d.shown.height()) {
        error_ = "frame size differs from the animation's";
        return false;
    }
    duration_ms = std::max<std::int64_t>(duration_ms, 0);
    if (d.has_pending && same_pixels(frame, d.pending)) {
        d.now_ms += duration_ms;
        return true;
    }
    if (d.has_pending && !flush_pending(d.now_ms, false)) return false;
    d.pending = frame;
    d.has_pending = true;
    d.pending_start_ms = d.now_ms;
    d.now_ms += duration_ms;
    return true;
}

// Stores the pending frame with the delay it earns up to `end_ms`. Delays are the
// difference of the start and end times, each floored to hundredths, so rounding never
// accumulates. A frame that would show for no time at all is dropped, except the last.
bool GifWriter::flush_pending(std::int64_t end_ms, bool last) {
    Impl& d = *impl_;
    if (!d.has_pending) return true;
    d.has_pending = false;
    const std::int64_t cs = end_ms / 10 - d.pending_start_ms / 10;
    if (cs == 0 && d.any_written && !last) return true;

    ChangedRect rect{0, 0, d.shown.width(), d.shown.height()};
    if (d.any_written) {
        rect = changed_box(d.shown, d.pending);
        if (rect.width == 0) rect = {0, 0, 1, 1};  // nothing changed: a one-pixel frame carries the delay
    }
    IndexedRect indexed = index_rect(d.pending, rect);

    GraphicsControlBlock gcb{};
    gcb.DisposalMode = DISPOSE_DO_NOT;
    gcb.UserInputFlag = false;
    gcb.DelayTime = static_cast<int>(std::min<std::int64_t>(cs, 65535));
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType ext[4];
    const std::size_t ext_len = EGifGCBToExtension(&gcb, ext);

    const int count = static_cast<int>(indexed.colours.size());
    ColorMapObject* map = GifMakeMapObject(1 << GifBitSize(std::max(count, 2)), nullptr);
    if (map == nullptr) {
        error_ = "out of memory";
        return false;
    }
    std::copy(indexed.colours.begin(), indexed.colours.end(), map->Colors);
    bool ok = EGifPutExtension(d.gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(ext_len), ext) != GIF_ERROR &&
              EGifPutImageDesc(d.gif, rect.left, rect.top, rect.width, rect.height, false, map) != GIF_ERROR;
    for (int y = 0; ok && y < rect.height; ++y) {
        ok = EGifPutLine(d.gif, indexed.pixels.data() + static_cast<std::size_t>(y) * rect.width, rect.width) !=
             GIF_ERROR;
    }
    GifFreeMapObject(map);
    if (!ok) {
        error_ = gif_error(d.gif->Error);
        return false;
    }
    copy_rect(d.shown, d.pending, rect);
    d.any_written = true;
    total_cs_ += cs;
    return true;
}

bool GifWriter::finish() {
    Impl& d = *impl_;
    if (d.gif == nullptr) return error_.empty();
    bool ok = flush_pending(d.now_ms, true);
    int code = 0;
    if (EGifCloseFile(d.gif, &code) == GIF_ERROR && ok) {
        error_ = gif_error(code);
        ok = false;
    }
    d.gif = nullptr;
    if (ok) return d.file.commit(error_);
    d.file.discard();
    return false;
}

}  // namespace hoopcast
