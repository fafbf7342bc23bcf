#include <benchmark/benchmark.h>

#include "raster/frame_memory.h"

// As the programs do, so the figures are theirs.
int main(int argc, char** argv) {
    hoopcast::raster::keep_frame_memory();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
