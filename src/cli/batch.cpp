#include "cli/batch.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <map>
#include <mutex>
#include <new>
#include <set>
#include <sstream>
#include <thread>

#include "cli/commands.h"
#include "cli/stop_signals.h"

namespace hoopcast::cli {

namespace {

namespace fs = std::filesystem;

constexpr const char* kPrefix = "hoopcast-cli: ";

bool ends_with_slash(const std::string& s) {
    return !s.empty() && s.back() == '/';
}

bool names_folder(const std::string& out) {
    std::error_code ec;
    return ends_with_slash(out) || fs::is_directory(out, ec);
}

// What a path is on disk, so that two spellings of one file are seen as one.
std::string identity(const fs::path& path) {
    std::error_code ec;
    const fs::path canonical = fs::weakly_canonical(path, ec);
    return ec ? fs::absolute(path, ec).lexically_normal().string() : canonical.string();
}

int prepare_folder(const std::string& folder) {
    std::error_code ec;
    if (fs::is_directory(folder, ec)) return kExitOk;
    if (!ends_with_slash(folder)) {
        std::cerr << kPrefix << "-o " << folder << ": several plays are written into a folder; "
                  << "name one, ending in '/' if it is to be made\n";
        return kExitUsage;
    }
    fs::create_directory(folder, ec);
    if (ec) {
        std::cerr << kPrefix << "cannot make the folder " << folder << ": " << ec.message() << '\n';
        return kExitFile;
    }
    return kExitOk;
}

struct Job {
    std::string play;
    std::string output;
};

// The plays' outputs, each play once. Plays that cannot be given an output of their own are
// named on stderr and counted in `left_out`.
std::vector<Job> plan(const Batch& batch, std::size_t& left_out) {
    std::vector<Job> jobs;
    std::set<std::string> plays_seen;
    for (const std::string& play : batch.plays) {
        if (!plays_seen.insert(identity(play)).second) continue;
        const std::string name = fs::path(play).stem().string() + batch.extension;
        jobs.push_back({play, (fs::path(batch.folder) / name).string()});
    }

    std::map<std::string, std::vector<std::size_t>> by_output;
    for (std::size_t i = 0; i < jobs.size(); ++i) by_output[identity(jobs[i].output)].push_back(i);
    std::vector<Job> kept;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        const std::string output = identity(jobs[i].output);
        if (plays_seen.count(output) != 0) {
            std::cerr << kPrefix << jobs[i].play << ": left out, as its output " << jobs[i].output
                      << " would replace a play given\n";
            ++left_out;
            continue;
        }
        const std::vector<std::size_t>& sharing = by_output[output];
        if (sharing.size() == 1) {
            kept.push_back(jobs[i]);
            continue;
        }
        std::cerr << kPrefix << jobs[i].play << ": left out, as ";
        const char* separator = "";
        for (const std::size_t other : sharing) {
            if (other == i) continue;
            std::cerr << separator << jobs[other].play;
            separator = ", ";
        }
        std::cerr << " would write the same " << jobs[i].output << '\n';
        ++left_out;
    }
    return kept;
}

// "render 3/20 plays", redrawn in place, only when stderr is a terminal; a play's messages
// are written on a line of their own between two drawings of it.
class BatchProgress {
  public:
    BatchProgress(std::string command, std::size_t total)
        : command_(std::move(command)), total_(total), enabled_(::isatty(STDERR_FILENO) == 1) {}
    void clear() {
        if (enabled_ && drawn_) std::fputs("\r\033[K", stderr);
        drawn_ = false;
    }
    void draw(std::size_t done) {
        if (!enabled_) return;
        std::fprintf(stderr, "\r%s %zu/%zu plays", command_.c_str(), done, total_);
        if (done == total_) std::fputc('\n', stderr);
        std::fflush(stderr);
        drawn_ = done != total_;
    }

  private:
    std::string command_;
    std::size_t total_;
    bool enabled_;
    bool drawn_ = false;
};

// A play's messages on stderr, each line naming the play.
void pass_on(const std::string& play, const std::string& messages, bool failed) {
    std::istringstream lines(messages);
    bool said = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(kPrefix, 0) == 0) line.erase(0, std::char_traits<char>::length(kPrefix));
        std::cerr << kPrefix << play << ": " << line << '\n';
        said = true;
    }
    if (failed && !said) std::cerr << kPrefix << play << ": not written\n";
    std::cerr.flush();
}

}  // namespace

bool is_batch(const std::vector<std::string>& plays, const std::string& out) {
    return plays.size() != 1 || names_folder(out);
}

int run_batch(const Batch& batch, const PlayTaskMaker& make_task) {
    if (const int rc = prepare_folder(batch.folder); rc != kExitOk) return rc;
    std::size_t failed = 0;
    const std::vector<Job> jobs = plan(batch, failed);

    const StopOnSignals stop;
    std::mutex report;
    std::size_t written = 0;
    std::size_t done = 0;
    BatchProgress progress(batch.command, jobs.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        const PlayTask task = make_task();
        for (std::size_t i = next++; i < jobs.size() && !StopOnSignals::stopped(); i = next++) {
            std::ostringstream messages;
            int rc = kExitFile;
            try {
                rc = task(jobs[i].play, jobs[i].output, messages);
            } catch (const std::bad_alloc&) {
                messages << "not enough memory\n";
            } catch (const std::exception& e) {
                messages << e.what() << '\n';
            }
            const std::lock_guard lock(report);
            ++(rc == kExitOk ? written : failed);
            const std::string said = messages.str();
            if (rc != kExitOk || !said.empty()) {
                progress.clear();
                pass_on(jobs[i].play, said, rc != kExitOk);
            }
            progress.draw(++done);
        }
    };

    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t threads =
        std::min<std::size_t>(jobs.size(), batch.jobs > 0 ? static_cast<std::size_t>(batch.jobs) : cores);
    {
        std::vector<std::jthread> workers;
        for (std::size_t t = 1; t < threads; ++t) workers.emplace_back(work);
        work();
    }
    std::cout << written << " written, " << failed << " failed" << std::endl;
    return failed == 0 ? kExitOk : kExitOutcome;
}

void add_jobs_option(CLI::App& cmd, int& jobs) {
    cmd.add_option("-j,--jobs", jobs, "Plays worked on at once, for several plays (default: one per core)")
        ->check(CLI::Range(1, 1024));
}

}  // namespace hoopcast::cli
