#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/commands.h"

namespace hoopcast::cli {

void add_info_command(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("info", "(not built yet)");
    cmd->callback([&status] {
        std::cerr << "hoopcast-cli: info is not built yet\n";
        status = kExitUsage;
    });
}

}  // namespace hoopcast::cli
