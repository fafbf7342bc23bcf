#pragma once

namespace hoopcast::raster {

// Every frame is drawn into a fresh picture of a few megabytes (and the zone shading into
// a mask of the same size). By default the C library hands such blocks back to the system
// when they are freed, so each frame would pay for fresh pages again; that cost more than
// drawing the frame. Programs that show or export animations call this once at start so
// that freed frames stay with the process and are reused.
void keep_frame_memory() noexcept;

}  // namespace hoopcast::raster
