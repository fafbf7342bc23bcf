hoopcast_add_bench(read_play read_play.cpp)
