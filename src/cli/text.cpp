#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/commands.h"

namespace hoopcast::cli {

void add_text_command(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("text", "(not built yet)");
    cmd->callback([&status] {
        std::cerr << "hoopcast-cli: text is not built yet\n";
        status = kExitUsage;
    });
}

}  // namespace hoopcast::cli
