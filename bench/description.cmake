hoopcast_add_bench(description description.cpp)
