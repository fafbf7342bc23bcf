#pragma once
// Runs the built hoopcast-cli as a user would, from the source directory so that sample
// names are relative to it, and collects its exit code and output.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace hoopcast::testing {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// `limits` are shell commands run first, such as "ulimit -f 8;".
inline CliRun run_cli(const std::string& args, const std::string& limits = "") {
    const auto dir = std::filesystem::temp_directory_path();
    // CTest runs the cases as separate processes, side by side.
    const std::string tag = std::to_string(::getpid());
    const auto out = dir / ("hoopcast_cli_test_" + tag + ".out");
    const auto err = dir / ("hoopcast_cli_test_" + tag + ".err");
    const std::string command = std::string("cd '") + HOOPCAST_SOURCE_DIR + "' && " + limits + " '" +
                                HOOPCAST_CLI + "' " + args + " >'" + out.string() + "' 2>'" + err.string() + "'";
    CliRun r;
    const int raw = std::system(command.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = slurp(out);
    r.err = slurp(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return r;
}

}  // namespace hoopcast::testing
