hoopcast_add_bench(bench_video video.cpp)
