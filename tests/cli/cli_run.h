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
    long peak_kb = 0;  // peak resident memory, when measured
};

inline std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

struct RunOptions {
    // The output is thrown away and the peak memory measured, through /usr/bin/time, since
    // a process started from this one would count this one's memory too.
    bool measured = false;
    // Shell commands run first, such as "ulimit -f 8;".
    std::string limits;
    // Run as a user without root's right to write anywhere (nobody, when the tests run as
    // root), so that a read-only folder refuses the output as it refuses a user's.
    bool unprivileged = false;
};

inline CliRun run_cli(const std::string& args, const RunOptions& options = {}) {
    const bool measured = options.measured;
    const auto dir = std::filesystem::temp_directory_path();
    // CTest runs the cases as separate processes, side by side.
    const std::string tag = std::to_string(::getpid());
    const auto out = dir / ("hoopcast_cli_test_" + tag + ".out");
    const auto err = dir / ("hoopcast_cli_test_" + tag + ".err");
    const auto peak = dir / ("hoopcast_cli_test_" + tag + ".peak");
    const std::string user =
        options.unprivileged && ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    const std::string command = std::string("cd '") + HOOPCAST_SOURCE_DIR + "' && " + options.limits + " " +
                                (measured ? "/usr/bin/time -f %M -o '" + peak.string() + "' " : "") + user +
                                "'" + HOOPCAST_CLI + "' " + args + " >'" +
                                (measured ? "/dev/null" : out.string()) + "' 2>'" + err.string() + "'";
    CliRun r;
    const int raw = std::system(command.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = slurp(out);
    r.err = slurp(err);
    // The figure comes last, after a line of time's own when the command fails.
    std::istringstream figures(slurp(peak));
    for (std::string word; figures >> word;) r.peak_kb = std::atol(word.c_str());
    for (const auto& f : {out, err, peak}) std::filesystem::remove(f);
    return r;
}

}  // namespace hoopcast::testing
