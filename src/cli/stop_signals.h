#pragma once
// An interrupt or a termination request stops an export at its next frame, through the
// writers' own cancelling, so that no partial file stays behind; then the signal takes its
// usual course. One object for the whole process: a batch holds it, not each play.

#include <csignal>
#include <iterator>

namespace hoopcast::cli {

class StopOnSignals {
  public:
    StopOnSignals();
    ~StopOnSignals();
    StopOnSignals(const StopOnSignals&) = delete;
    StopOnSignals& operator=(const StopOnSignals&) = delete;

    static bool stopped();

  private:
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction previous_[std::size(kSignals)]{};
};

}  // namespace hoopcast::cli
