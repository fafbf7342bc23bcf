#pragma once
// Reading the play a subcommand works on, with the command line's messages and exit codes.

#include <iostream>
#include <memory>
#include <string>

#include "play/model.h"
#include "play/reader.h"

namespace hoopcast::cli {

struct LoadedPlay {
    std::unique_ptr<PlayModel> play = std::make_unique<PlayModel>();
    ReadResult result;
};

// Reads `file` into `loaded`. Returns kExitOk when the play was read; otherwise prints the
// reason on `err` and returns kExitFile or kExitOutcome.
int load_play(const std::string& file, LoadedPlay& loaded, std::ostream& err = std::cerr);

// kExitOk when `seq` is a sequence of the play; otherwise says so and returns kExitUsage.
int check_sequence(const LoadedPlay& loaded, int seq, std::ostream& err = std::cerr);

}  // namespace hoopcast::cli
