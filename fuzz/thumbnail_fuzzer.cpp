// What a file manager's preview does with any file: reads it as a play and draws its first
// still frame, reduced to thumbnail size. Each input must end within a second.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "drawings/context.h"
#include "play/model.h"
#include "play/reader.h"
#include "raster/fonts.h"
#include "raster/picture.h"
#include "raster/reduce.h"
#include "scene/frames.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace hoopcast;
    static const raster::FontLibrary fonts;
    const auto play = std::make_unique<PlayModel>();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ReadResult r = read_play(*play, bytes, "fuzz.kqz");
    if (r.outcome != ReadOutcome::success || play->seq_count < 1) return 0;
    DisplayDefaults defaults;
    DrawContext ctx{*play, defaults};
    const auto picture = compose_still_frame(ctx, FrameSettings{1.0, 1080, &fonts}, 1, true);
    const raster::Bitmap& frame = picture->bitmap();
    const int side = std::max(frame.width(), frame.height());
    const raster::Bitmap thumb =
        raster::reduce_area_average(frame, frame.width() * 128 / side, frame.height() * 128 / side);
    if (thumb.empty()) __builtin_trap();
    return 0;
}
