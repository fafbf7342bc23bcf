hoopcast_add_fuzzer(rtf_fuzzer rtf_fuzzer.cpp)
