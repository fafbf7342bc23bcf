hoopcast_add_bench(bench_frames frames.cpp)
