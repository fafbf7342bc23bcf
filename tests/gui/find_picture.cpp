// find_picture SCREEN.ppm PICTURE.ppm: finds PICTURE pixel for pixel inside SCREEN (a
// screenshot) and prints where; exits 1 when it is nowhere, 2 on bad input. Used to check
// that the window shows exactly the frame that hoopcast-cli renders.

#include <cstdio>
#include <cstring>

#include "raster/image_io.h"

using hoopcast::raster::Bitmap;

namespace {

bool matches_at(const Bitmap& screen, const Bitmap& picture, int left, int top) {
    for (int y = 0; y < picture.height(); ++y) {
        if (std::memcmp(screen.scan_line(top + y) + 3 * left, picture.scan_line(y), picture.stride()) != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: find_picture SCREEN.ppm PICTURE.ppm\n");
        return 2;
    }
    const auto screen = hoopcast::raster::read_ppm(argv[1]);
    const auto picture = hoopcast::raster::read_ppm(argv[2]);
    if (!screen.ok() || !picture.ok()) {
        std::fprintf(stderr, "find_picture: %s\n",
                     !screen.ok() ? screen.error.c_str() : picture.error.c_str());
        return 2;
    }
    const Bitmap& s = screen.bitmap;
    const Bitmap& p = picture.bitmap;
    for (int top = 0; top + p.height() <= s.height(); ++top) {
        for (int left = 0; left + p.width() <= s.width(); ++left) {
            if (matches_at(s, p, left, top)) {
                std::printf("found at %d,%d\n", left, top);
                return 0;
            }
        }
    }
    std::printf("not found\n");
    return 1;
}
