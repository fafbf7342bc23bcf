hoopcast_add_fuzzer(ppm_fuzzer ppm_fuzzer.cpp)
