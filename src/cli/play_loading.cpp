#include "cli/play_loading.h"

#include <cmath>
#include <iostream>

#include "cli/commands.h"
#include "raster/picture.h"
#include "scene/mapping.h"

namespace hoopcast::cli {

int load_play(const std::string& file, LoadedPlay& loaded, std::ostream& err) {
    loaded.result = OpenPlay(*loaded.play, file);
    if (loaded.result.outcome == ReadOutcome::success) return kExitOk;
    err << "hoopcast-cli: " << loaded.result.message << '\n';
    return loaded.result.outcome == ReadOutcome::file_error ? kExitFile : kExitOutcome;
}

int check_sequence(const LoadedPlay& loaded, int seq, std::ostream& err) {
    const int count = loaded.play->seq_count;
    if (seq >= 1 && seq <= count) return kExitOk;
    err << "hoopcast-cli: --seq " << seq << ": the play has " << count
        << (count == 1 ? " sequence" : " sequences") << '\n';
    return kExitUsage;
}

int check_scale(double scale, std::ostream& err) {
    if (!std::isfinite(scale) || scale <= 0) {
        err << "hoopcast-cli: --scale must be a number above 0\n";
        return kExitUsage;
    }
    const PictureSize size = frame_picture_size(scale);
    if (size.width < 1 || size.height < 1 || size.width > raster::kMaxPictureSide ||
        size.height > raster::kMaxPictureSide) {
        err << "hoopcast-cli: --scale " << scale << " gives a picture of " << size.width << " x "
            << size.height << " pixels; sides must lie within 1.." << raster::kMaxPictureSide << '\n';
        return kExitUsage;
    }
    return kExitOk;
}

}  // namespace hoopcast::cli
