#include "cli/play_loading.h"

#include <iostream>

#include "cli/commands.h"

namespace hoopcast::cli {

int load_play(const std::string& file, LoadedPlay& loaded, std::ostream& err) {
    loaded.result = OpenPlay(*loaded.play, file);
    if (loaded.result.outcome == ReadOutcome::success) return kExitOk;
    err << "hoopcast-cli: " << loaded.result.message << '\n';
    return loaded.result.outcome == ReadOutcome::file_error ? kExitFile : kExitOutcome;
}

int check_sequence(const LoadedPlay& loaded, int seq, std::ostream& err) {
    const int count = loaded.play->seq_count;
    if (seq >= 1 && seq <= count) return kExitOk;
    err << "hoopcast-cli: --seq " << seq << ": the play has " << count
        << (count == 1 ? " sequence" : " sequences") << '\n';
    return kExitUsage;
}

}  // namespace hoopcast::cli
