hoopcast_add_bench(bench_symbols symbols.cpp)
