#include "raster/frame_memory.h"

#include <malloc.h>

namespace hoopcast::raster {

void keep_frame_memory() noexcept {
    // Blocks up to 64 MiB come from the heap, and the heap is trimmed only beyond 256 MiB
    // of free space: a few frames' worth stays, nothing grows without bound.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
}

}  // namespace hoopcast::raster
