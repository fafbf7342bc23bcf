#include "export/gif_writer.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <vector>

#include "export/staged_file.h"

namespace hoopcast {

using raster::Bitmap;

namespace {

constexpr int kMaxCode = 4095;  // the largest 12-bit code

struct ChangedRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The bounding box of the pixels that differ within `area`; empty width when there are none.
ChangedRect changed_within(const Bitmap& a, const Bitmap& b, const ChangedRect& area) {
    const raster::Rect r = raster::changed_rect(
        a, b, raster::Rect{area.left, area.top, area.left + area.width, area.top + area.height});
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

ChangedRect united(const ChangedRect& a, const ChangedRect& b) {
    if (a.width == 0) return b;
    if (b.width == 0) return a;
    const int left = std::min(a.left, b.left), top = std::min(a.top, b.top);
    return {left, top, std::max(a.left + a.width, b.left + b.width) - left,
            std::max(a.top + a.height, b.top + b.height) - top};
}

std::uint32_t key_at(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16);
}

// The rectangle's pixels as indices into a colour table of their exact colours, in order of
// first appearance. Pictures with more than 256 colours in one rectangle (rare: courts have
// few) fall back to a fixed 3-3-2 table. Kept between frames so that nothing is allocated
// once the buffers have grown.
struct IndexedRect {
    std::vector<std::uint8_t> colours;  // red, green, blue
    std::vector<std::uint8_t> pixels;
    std::array<std::uint32_t, 1024> keys{};  // open addressing; kEmpty marks a free slot
    std::array<std::uint8_t, 1024> indices{};
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;  // no colour has its top byte set

    int colour_count() const { return static_cast<int>(colours.size() / 3); }
    void index(const Bitmap& image, const ChangedRect& r);
};

void IndexedRect::index(const Bitmap& image, const ChangedRect& r) {
    colours.clear();
    pixels.resize(static_cast<std::size_t>(r.width) * static_cast<std::size_t>(r.height));
    keys.fill(kEmpty);
    int count = 0;
    bool exact = true;
    std::uint8_t* out = pixels.data();
    // Courts are long runs of one colour: a pixel like the one before needs no lookup.
    std::uint32_t last_key = kEmpty;
    std::uint8_t last_index = 0;
    for (int y = r.top; y < r.top + r.height && exact; ++y) {
        const std::uint8_t* row = image.scan_line(y) + 3 * r.left;
        for (int x = 0; x < r.width; ++x) {
            const std::uint32_t key = key_at(row + 3 * x);
            if (key != last_key) {
                std::uint32_t slot = (key * 2654435761u) >> 22;
                while (keys[slot] != key && keys[slot] != kEmpty) slot = (slot + 1) & 1023;
                if (keys[slot] == kEmpty) {
                    if (count == 256) {
                        exact = false;
                        break;
                    }
                    keys[slot] = key;
                    indices[slot] = static_cast<std::uint8_t>(count++);
                    // Bitmap bytes are blue, green, red.
                    colours.insert(colours.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
                }
                last_key = key;
                last_index = indices[slot];
            }
            *out++ = last_index;
        }
    }
    if (exact) return;

    colours.clear();
    for (int i = 0; i < 256; ++i) {
        colours.insert(colours.end(), {static_cast<std::uint8_t>(((i >> 5) & 7) * 255 / 7),
                                       static_cast<std::uint8_t>(((i >> 2) & 7) * 255 / 7),
                                       static_cast<std::uint8_t>((i & 3) * 255 / 3)});
    }
    out = pixels.data();
    for (int y = r.top; y < r.top + r.height; ++y) {
        const std::uint8_t* row = image.scan_line(y) + 3 * r.left;
        for (int x = 0; x < r.width; ++x) {
            const std::uint8_t* p = row + 3 * x;
            *out++ = static_cast<std::uint8_t>((p[2] >> 5) << 5 | (p[1] >> 5) << 2 | (p[0] >> 6));
        }
    }
}

void copy_rect(Bitmap& dest, const Bitmap& src, const ChangedRect& r) {
    for (int y = r.top; y < r.top + r.height; ++y) {
        std::memcpy(dest.scan_line(y) + 3 * r.left, src.scan_line(y) + 3 * r.left,
                    static_cast<std::size_t>(r.width) * 3);
    }
}

// Bits needed for a colour table of `count` entries: 1 to 8.
int table_bits(int count) {
    int bits = 1;
    while ((1 << bits) < count) ++bits;
    return bits;
}

void put_word(std::vector<std::uint8_t>& out, int value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

}  // namespace

void GifImageCoder::append(std::vector<std::uint8_t>& out, const std::uint8_t* indices, std::size_t count,
                           int code_size) {
    const int clear = 1 << code_size;
    const int end = clear + 1;
    const std::size_t stride = static_cast<std::size_t>(clear);
    children_.resize((kMaxCode + 1) * stride);
    // Locals, not members: the byte stores below would otherwise make the compiler reload them.
    std::uint16_t* const children = children_.data();
    int bits = code_size + 1;
    int limit = 1 << bits;
    int next_code = end + 1;
    std::uint32_t pending_bits = 0;
    int pending_count = 0;
    std::uint8_t block[256];  // length, then up to 255 bytes
    int block_length = 0;

    out.push_back(static_cast<std::uint8_t>(code_size));
    auto put_byte = [&](std::uint8_t b) {
        if (block_length == 255) {
            block[0] = 255;
            out.insert(out.end(), block, block + 256);
            block_length = 0;
        }
        block[++block_length] = b;
    };
    // Codes are written low bits first; the width grows once the next code would not fit.
    auto emit = [&](int code) {
        pending_bits |= static_cast<std::uint32_t>(code) << pending_count;
        pending_count += bits;
        for (; pending_count >= 8; pending_count -= 8, pending_bits >>= 8)
            put_byte(static_cast<std::uint8_t>(pending_bits & 0xFF));
        if (next_code >= limit) limit = 1 << ++bits;
    };
    // Only the rows of codes in use are cleared: the roots here, every other code as it is made.
    runs_.resize(256 * (kMaxCode + 1));
    std::uint16_t* const runs = runs_.data();
    auto clear_roots = [&] {
        std::fill_n(children, stride * stride, std::uint16_t{0});
        for (std::size_t p = 0; p < stride; ++p) {
            runs[p * (kMaxCode + 1)] = static_cast<std::uint16_t>(p);
            run_counts_[p] = 1;
        }
    };

    clear_roots();
    emit(clear);
    std::size_t i = 0;
    while (i < count) {
        // A string starts here. Along a run of one index the codes of its repeats are known, so
        // the longest one that fits is taken at once, as following the table would find it.
        const std::size_t pixel = indices[i];
        const std::size_t known = run_counts_[pixel];
        const std::size_t most = std::min(known, count - i);
        std::size_t run = 1;
        if constexpr (std::endian::native == std::endian::little) {
            // Eight indices at a time: the first that differs is the lowest differing byte.
            const std::uint64_t repeated = pixel * 0x0101010101010101u;
            for (; run + 8 <= most; run += 8) {
                std::uint64_t word;
                std::memcpy(&word, indices + i + run, 8);
                if (word != repeated) {
                    run += static_cast<std::size_t>(std::countr_zero(word ^ repeated) / 8);
                    break;
                }
            }
        }
        while (run < most && indices[i + run] == pixel) ++run;
        std::size_t current = runs[pixel * (kMaxCode + 1) + run - 1];
        i += run;
        const bool longest_run = run == known;
        const std::size_t run_end = i;
        while (i < count) {
            const std::uint16_t child = children[current * stride + indices[i]];
            if (child == 0) break;
            current = child;
            ++i;
        }
        emit(static_cast<int>(current));
        if (i == count) break;
        if (next_code >= kMaxCode) {
            emit(clear);
            next_code = end + 1;
            bits = code_size + 1;
            limit = 1 << bits;
            clear_roots();
            continue;
        }
        std::fill_n(children + static_cast<std::size_t>(next_code) * stride, stride, std::uint16_t{0});
        children[current * stride + indices[i]] = static_cast<std::uint16_t>(next_code);
        if (longest_run && i == run_end && indices[i] == pixel)
            runs[pixel * (kMaxCode + 1) + run_counts_[pixel]++] = static_cast<std::uint16_t>(next_code);
        ++next_code;
    }
    emit(end);
    for (; pending_count > 0; pending_count -= 8, pending_bits >>= 8)
        put_byte(static_cast<std::uint8_t>(pending_bits & 0xFF));
    if (block_length > 0) {
        block[0] = static_cast<std::uint8_t>(block_length);
        out.insert(out.end(), block, block + block_length + 1);
    }
    out.push_back(0);
}

struct GifWriter::Impl {
    StagedFile file;
    std::vector<std::uint8_t> out;  // bytes not yet written to the file
    Bitmap shown;                   // what a viewer shows after the frames stored so far
    bool any_written = false;
    Bitmap pending;
    bool has_pending = false;
    ChangedRect unshown;         // pending differs from shown only here
    bool unshown_exact = false;  // and there it is the exact box of the differences
    std::int64_t pending_start_ms = 0;
    std::int64_t now_ms = 0;
    IndexedRect indexed;
    GifImageCoder coder;

    // Writes what is buffered once there is enough of it, or all of it when `all`.
    bool write_out(bool all, std::string& error) {
        if (!all && out.size() < (1u << 16)) return true;
        std::size_t done = 0;
        while (done < out.size()) {
            const ssize_t n = ::write(file.fd(), out.data() + done, out.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                error = n < 0 ? std::strerror(errno) : "cannot write the GIF file";
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        out.clear();
        return true;
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
    auto impl = std::make_unique<Impl>();
    if (!impl->file.open(path, error)) return nullptr;
    // The screen: no global colour table, 8 bits of colour resolution, no aspect ratio.
    const char* signature = "GIF89a";
    impl->out.assign(signature, signature + 6);
    put_word(impl->out, width);
    put_word(impl->out, height);
    impl->out.insert(impl->out.end(), {0x77, 0, 0});
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
    if (!d.has_pending) {
        d.pending = frame;
        d.unshown = {0, 0, frame.width(), frame.height()};
    } else {
        // Only the changed part is copied: the rest of the pending frame is already in place.
        const ChangedRect changed = changed_within(frame, d.pending, {0, 0, frame.width(), frame.height()});
        if (changed.width == 0) {
            d.now_ms += duration_ms;
            return true;
        }
        if (!flush_pending(d.now_ms, false)) return false;
        copy_rect(d.pending, frame, changed);
        // With nothing dropped since the last frame stored, the change is exactly what is unshown.
        d.unshown_exact = d.unshown.width == 0;
        d.unshown = united(d.unshown, changed);
    }
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
        rect = d.unshown_exact ? d.unshown : changed_within(d.shown, d.pending, d.unshown);
        if (rect.width == 0) rect = {0, 0, 1, 1};  // nothing changed: a one-pixel frame carries the delay
    }
    d.indexed.index(d.pending, rect);

    std::vector<std::uint8_t>& out = d.out;
    // Graphics control: left in place, no user input, no transparent colour.
    const int delay = static_cast<int>(std::min<std::int64_t>(cs, 65535));
    out.insert(out.end(), {0x21, 0xF9, 4, 0x04});
    put_word(out, delay);
    out.insert(out.end(), {0xFF, 0});
    // The image with its own colour table, padded with black to a power of two.
    const int bits = table_bits(std::max(d.indexed.colour_count(), 2));
    out.push_back(0x2C);
    put_word(out, rect.left);
    put_word(out, rect.top);
    put_word(out, rect.width);
    put_word(out, rect.height);
    out.push_back(static_cast<std::uint8_t>(0x80 | (bits - 1)));
    out.insert(out.end(), d.indexed.colours.begin(), d.indexed.colours.end());
    out.resize(out.size() + 3 * static_cast<std::size_t>((1 << bits) - d.indexed.colour_count()), 0);
    d.coder.append(out, d.indexed.pixels.data(), d.indexed.pixels.size(), std::max(bits, 2));
    if (!d.write_out(false, error_)) return false;

    copy_rect(d.shown, d.pending, rect);
    d.unshown = {};
    d.any_written = true;
    total_cs_ += cs;
    return true;
}

bool GifWriter::finish() {
    Impl& d = *impl_;
    if (d.file.fd() < 0) return error_.empty();
    bool ok = flush_pending(d.now_ms, true);
    if (ok) {
        d.out.push_back(0x3B);
        ok = d.write_out(true, error_);
    }
    if (ok) return d.file.commit(error_);
    d.file.discard();
    return false;
}

}  // namespace hoopcast
