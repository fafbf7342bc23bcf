#include "cli/stop_signals.h"

namespace hoopcast::cli {

namespace {

volatile std::sig_atomic_t g_stop_signal = 0;

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
    if (g_stop_signal != 0) std::raise(g_stop_signal);
}

bool StopOnSignals::stopped() {
    return g_stop_signal != 0;
}

}  // namespace hoopcast::cli
