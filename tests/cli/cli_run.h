#pragma once
// Runs the built hoopcast-cli as a user would, from the source directory so that sample
// names are relative to it, and collects its exit code and output.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

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

inline CliRun run_cli(const std::string& args) {
    const auto dir = std::filesystem::temp_directory_path();
    // CTest runs the cases as separate processes, side by side.
    const std::string tag = std::to_string(::getpid());
    const auto out = dir / ("hoopcast_cli_test_" + tag + ".out");
    const auto err = dir / ("hoopcast_cli_test_" + tag + ".err");
    const std::string command = std::string("cd '") + HOOPCAST_SOURCE_DIR + "' && '" + HOOPCAST_CLI + "' " +
                                args + " >'" + out.string() + "' 2>'" + err.string() + "'";
    CliRun r;
    const int raw = std::system(command.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = slurp(out);
    r.err = slurp(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return r;
}

struct MeasuredRun {
    int status = -1;
    std::string err;
    long peak_kb = 0;  // the command's peak resident memory
};

// Runs hoopcast-cli with `args` (absolute paths), its output thrown away, and measures it.
// The measuring goes through /usr/bin/time: a process started from this one would count
// this one's memory as well.
inline MeasuredRun run_cli_measured(const std::vector<std::string>& args) {
    const auto tag = std::to_string(::getpid());
    const auto err = std::filesystem::temp_directory_path() / ("hoopcast_cli_measured_" + tag + ".err");
    const auto peak = std::filesystem::temp_directory_path() / ("hoopcast_cli_measured_" + tag + ".peak");
    std::vector<std::string> words{"/usr/bin/time", "-f", "%M", "-o", peak.string(), HOOPCAST_CLI};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    MeasuredRun r;
    pid_t pid = 0;
    int raw = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0 &&
        ::waitpid(pid, &raw, 0) == pid)
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    posix_spawn_file_actions_destroy(&actions);
    r.err = slurp(err);
    // time puts a line of its own before the figure when the command fails.
    const std::string figures = slurp(peak);
    const std::size_t last = figures.find_last_of('\n', figures.size() > 1 ? figures.size() - 2 : 0);
    r.peak_kb = std::atol(figures.c_str() + (last == std::string::npos ? 0 : last + 1));
    std::filesystem::remove(err);
    std::filesystem::remove(peak);
    return r;
}

}  // namespace hoopcast::testing
