#pragma once
// Animated GIF output. Frames come one at a time with the time they stay on screen; the
// writer stores each frame after the first as the rectangle that changed, with that
// rectangle's exact colours, merges frames that change nothing, and carries the rounding
// of delays to hundredths of a second so that the total time stays exact.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "raster/picture.h"

namespace hoopcast {

// The LZW image data of one frame, coded exactly as giflib codes it, so that files stay the
// same byte for byte; a flat table of each code's children stands in for giflib's hash.
class GifImageCoder {
  public:
    // Appends the code size byte, the codes of `indices` in sub-blocks of up to 255 bytes
    // and the empty block that ends them. Every index is below 1 << code_size (2 to 8).
    void append(std::vector<std::uint8_t>& out, const std::uint8_t* indices, std::size_t count,
                int code_size);

  private:
    std::vector<std::uint16_t> children_;  // code * (1 << code_size) + index -> code, 0 when none
    // Runs of one index: runs_[index * 4096 + n - 1] codes n of it, for n below run_counts_[index].
    std::vector<std::uint16_t> runs_;
    std::uint16_t run_counts_[256] = {};
};

class GifWriter {
  public:
    ~GifWriter();
    GifWriter(const GifWriter&) = delete;
    GifWriter& operator=(const GifWriter&) = delete;

    // Opens `path` for a width x height animation; null with `error` set on failure. The
    // file takes its name only when finish() succeeds; unfinished, it is removed.
    static std::unique_ptr<GifWriter> create(const std::string& path, int width, int height,
                                             std::string& error);

    // Adds a frame shown from the current time for `duration_ms`. Frames of another size
    // are refused.
    bool add_frame(const raster::Bitmap& frame, std::int64_t duration_ms);

    // Writes what is pending, closes the file and puts it in place. The last frame stays on
    // screen.
    bool finish();

    const std::string& error() const noexcept { return error_; }
    // Sum of the stored delays, in hundredths of a second.
    std::int64_t total_centiseconds() const noexcept { return total_cs_; }

  private:
    struct Impl;
    explicit GifWriter(std::unique_ptr<Impl> impl);
    bool flush_pending(std::int64_t end_ms, bool last);

    std::unique_ptr<Impl> impl_;
    std::string error_;
    std::int64_t total_cs_ = 0;
};

}  // namespace hoopcast
