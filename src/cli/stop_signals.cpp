#include "cli/stop_signals.h"

#include <atomic>

namespace hoopcast::cli {

namespace {

// Set in a signal handler on whichever thread the signal lands and read by every worker:
// a lock-free atomic is safe for both.
std::atomic<int> g_stop_signal{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void note_stop_signal(int signal) {
    g_stop_signal = signal;
}

}  // namespace

StopOnSignals::StopOnSignals() {
    struct sigaction action {};
    action.sa_handler = note_stop_signal;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        sigaction(kSignals[i], &action, &previous_[i]);
        // A signal ignored before (a job started with nohup) stays ignored.
        if (previous_[i].sa_handler == SIG_IGN) sigaction(kSignals[i], &previous_[i], nullptr);
    }
}

StopOnSignals::~StopOnSignals() {
    for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &previous_[i], nullptr);
    if (const int signal = g_stop_signal.load(); signal != 0) std::raise(signal);
}

bool StopOnSignals::stopped() {
    return g_stop_signal.load() != 0;
}

}  // namespace hoopcast::cli
