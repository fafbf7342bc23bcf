#include "raster/image_io.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace hoopcast::raster {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string system_error(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

ImageResult write_bytes(const std::vector<std::uint8_t>& bytes, const std::string& path) noexcept {
    if (bytes.empty()) return {false, "could not encode the image for " + path};
    File f(std::fopen(path.c_str(), "wb"));
    if (!f) return {false, system_error("cannot create", path)};
    if (std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size())
        return {false, system_error("cannot write", path)};
    if (std::fclose(f.release()) != 0) return {false, system_error("cannot write", path)};
    return {true, {}};
}

}  // namespace

std::vector<std::uint8_t> encode_png(const Bitmap& bitmap) noexcept {
    if (bitmap.empty()) return {};
    // libpng's simplified interface keeps its setjmp error handling to itself.
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(bitmap.width());
    image.height = static_cast<png_uint_32>(bitmap.height());
    image.format = PNG_FORMAT_BGR;
    const auto stride = static_cast<png_int_32>(bitmap.stride());
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, bitmap.bytes().data(), stride, nullptr))
        return {};
    std::vector<std::uint8_t> out(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, bitmap.bytes().data(), stride, nullptr))
        return {};
    out.resize(size);
    return out;
}

namespace {

std::uint32_t crc32(const std::uint8_t* p, std::size_t n) noexcept {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return c ^ 0xFFFFFFFFu;
}

void put_u32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

}  // namespace

std::vector<std::uint8_t> encode_png(const Bitmap& bitmap, const std::vector<PngText>& texts) {
    std::vector<std::uint8_t> png = encode_png(bitmap);
    // Signature (8 bytes) and the header chunk (25) come first.
    constexpr std::size_t kAfterHeader = 33;
    if (png.size() < kAfterHeader) return png;
    std::vector<std::uint8_t> chunks;
    for (const PngText& t : texts) {
        if (t.keyword.empty() || t.keyword.size() > 79) continue;
        const std::size_t start = chunks.size();
        put_u32(chunks, static_cast<std::uint32_t>(t.keyword.size() + 1 + t.text.size()));
        chunks.insert(chunks.end(), {'t', 'E', 'X', 't'});
        chunks.insert(chunks.end(), t.keyword.begin(), t.keyword.end());
        chunks.push_back(0);
        chunks.insert(chunks.end(), t.text.begin(), t.text.end());
        put_u32(chunks, crc32(chunks.data() + start + 4, chunks.size() - start - 4));
    }
    png.insert(png.begin() + kAfterHeader, chunks.begin(), chunks.end());
    return png;
}

ImageResult write_png(const Bitmap& bitmap, const std::string& path) noexcept {
    return write_bytes(encode_png(bitmap), path);
}

std::vector<std::uint8_t> encode_ppm(const Bitmap& bitmap) noexcept {
    if (bitmap.empty()) return {};
    const std::string header =
        "P6\n" + std::to_string(bitmap.width()) + " " + std::to_string(bitmap.height()) + "\n255\n";
    std::vector<std::uint8_t> out(header.begin(), header.end());
    out.reserve(out.size() + bitmap.bytes().size());
    for (int y = 0; y < bitmap.height(); ++y) {
        const std::uint8_t* row = bitmap.scan_line(y);
        for (int x = 0; x < bitmap.width(); ++x) {
            out.push_back(row[3 * x + 2]);
            out.push_back(row[3 * x + 1]);
            out.push_back(row[3 * x]);
        }
    }
    return out;
}

ImageResult write_ppm(const Bitmap& bitmap, const std::string& path) noexcept {
    return write_bytes(encode_ppm(bitmap), path);
}

namespace {

// Header fields of a PPM: whitespace-separated decimal numbers, '#' comments to end of line.
class HeaderReader {
  public:
    explicit HeaderReader(std::span<const std::uint8_t> data) noexcept : data_(data) {}

    bool skip_space_and_comments() noexcept {
        bool any = false;
        while (pos_ < data_.size()) {
            const std::uint8_t c = data_[pos_];
            if (c == '#') {
                while (pos_ < data_.size() && data_[pos_] != '\n' && data_[pos_] != '\r') ++pos_;
                any = true;
            } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') {
                ++pos_;
                any = true;
            } else {
                break;
            }
        }
        return any;
    }

    // A positive decimal number up to `limit`; false if absent, malformed or too large.
    bool number(long limit, long& value) noexcept {
        value = 0;
        std::size_t digits = 0;
        while (pos_ < data_.size() && data_[pos_] >= '0' && data_[pos_] <= '9') {
            value = value * 10 + (data_[pos_] - '0');
            if (value > limit) return false;
            ++pos_;
            ++digits;
        }
        return digits > 0;
    }

    std::size_t pos() const noexcept { return pos_; }
    void advance(std::size_t n) noexcept { pos_ += n; }

  private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
};

bool is_space(std::uint8_t c) noexcept {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

PpmImage decode_ppm(std::span<const std::uint8_t> data) noexcept {
    PpmImage result;
    if (data.size() < 2 || data[0] != 'P' || data[1] != '6') {
        result.error = "not a binary PPM (P6) image";
        return result;
    }
    HeaderReader in(data);
    in.advance(2);
    long width = 0, height = 0, maxval = 0;
    if (!in.skip_space_and_comments() || !in.number(kMaxPictureSide, width) || width < 1) {
        result.error = "PPM width missing or not in 1.." + std::to_string(kMaxPictureSide);
        return result;
    }
    if (!in.skip_space_and_comments() || !in.number(kMaxPictureSide, height) || height < 1) {
        result.error = "PPM height missing or not in 1.." + std::to_string(kMaxPictureSide);
        return result;
    }
    if (!in.skip_space_and_comments() || !in.number(65535, maxval) || maxval != 255) {
        result.error = "PPM maximum value must be 255";
        return result;
    }
    // Exactly one whitespace byte separates the header from the pixels.
    if (in.pos() >= data.size() || !is_space(data[in.pos()])) {
        result.error = "PPM header not followed by whitespace";
        return result;
    }
    in.advance(1);
    const std::size_t needed = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
    if (data.size() - in.pos() < needed) {
        result.error = "PPM pixel data truncated: " + std::to_string(data.size() - in.pos()) + " of " +
                       std::to_string(needed) + " bytes";
        return result;
    }
    Bitmap bitmap(static_cast<int>(width), static_cast<int>(height));
    const std::uint8_t* src = data.data() + in.pos();
    for (int y = 0; y < bitmap.height(); ++y) {
        std::uint8_t* row = bitmap.scan_line(y);
        for (int x = 0; x < bitmap.width(); ++x, src += 3) {
            row[3 * x] = src[2];
            row[3 * x + 1] = src[1];
            row[3 * x + 2] = src[0];
        }
    }
    result.bitmap = std::move(bitmap);
    return result;
}

PpmImage read_ppm(const std::string& path) noexcept {
    PpmImage result;
    File f(std::fopen(path.c_str(), "rb"));
    if (!f) {
        result.error = system_error("cannot open", path);
        return result;
    }
    std::vector<std::uint8_t> data;
    std::uint8_t buffer[65536];
    // The largest image we accept, plus room for a header; anything longer is not ours.
    const std::size_t limit = static_cast<std::size_t>(kMaxPictureSide) * kMaxPictureSide * 3 + 4096;
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, f.get());
        data.insert(data.end(), buffer, buffer + n);
        if (data.size() > limit) {
            result.error = path + ": file too large for a PPM image";
            return result;
        }
        if (n < sizeof buffer) break;
    }
    if (std::ferror(f.get())) {
        result.error = system_error("cannot read", path);
        return result;
    }
    return decode_ppm(data);
}

}  // namespace hoopcast::raster
