#pragma once
// Many plays at once, for render and export: every play's output goes into one folder, named
// after the play file with the format's extension, and several plays are worked on side by
// side, each on a thread of its own that holds its own fonts, caches and pictures.
//
// The output folder: -o naming an existing folder, or ending in '/'. With the slash a missing
// folder is made (its parent must exist), since the slash says what the user means; without
// it a missing name is taken for a file, which several plays cannot share.
// Two plays whose outputs would have the same name are both left out and named, rather than
// one silently replacing the other; the same play named twice is worked on once.

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace hoopcast::cli {

struct Batch {
    std::string command;  // leads the progress line
    std::vector<std::string> plays;
    std::string folder;     // -o as given
    std::string extension;  // of every output, with its dot
    int jobs = 0;           // 0: one per core
};

// Writes one play's `output`, saying on `err` why not; returns an exit code.
using PlayTask = std::function<int(const std::string& play, const std::string& output, std::ostream& err)>;
// Called once on each worker thread: the task it returns holds that thread's own fonts and
// the like, made once for all the plays the thread works on.
using PlayTaskMaker = std::function<PlayTask()>;

// True when the command line asks for a batch rather than one play into one file.
bool is_batch(const std::vector<std::string>& plays, const std::string& out);

// Runs a task on every play; a play that fails is named on stderr with its reason and the
// others carry on. Ends with "N written, M failed" on stdout and returns kExitOutcome if any
// failed; kExitUsage or kExitFile, before any play, when there is no folder to write into.
int run_batch(const Batch& batch, const PlayTaskMaker& make_task);

// The -j option of a command that takes a batch.
void add_jobs_option(CLI::App& cmd, int& jobs);

}  // namespace hoopcast::cli
