# The frames benchmark draws the same frame with Cairo and QPainter beside ours; they are
# linked here only, and it has a main of its own that prints the ratios.
find_package(Qt6 REQUIRED COMPONENTS Gui)
pkg_check_modules(BENCH_CAIRO REQUIRED IMPORTED_TARGET cairo cairo-ft freetype2)
add_executable(bench_frames frames.cpp peer_cairo.cpp peer_qt.cpp)
target_link_libraries(bench_frames PRIVATE hoopcast_core benchmark::benchmark PkgConfig::BENCH_CAIRO Qt6::Gui)
target_compile_definitions(bench_frames PRIVATE HOOPCAST_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
