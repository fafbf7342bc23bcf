hoopcast_add_bench(bench_courts courts.cpp)
