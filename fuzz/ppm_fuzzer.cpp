// Feeds arbitrary bytes to the PPM reader; a decoded image must have the size it claims.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "raster/image_io.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const hoopcast::raster::PpmImage image =
        hoopcast::raster::decode_ppm(std::span<const std::uint8_t>(data, size));
    if (image.ok()) {
        const auto& b = image.bitmap;
        if (b.empty() || b.bytes().size() !=
                             static_cast<std::size_t>(b.width()) * static_cast<std::size_t>(b.height()) * 3)
            std::abort();
        // Touch the last pixel so a wrong size shows up under ASan.
        (void)b.pixel(b.width() - 1, b.height() - 1);
    }
    return 0;
}
