hoopcast_add_bench(raster raster.cpp)
