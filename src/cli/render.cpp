#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/commands.h"

namespace hoopcast::cli {

void add_render_command(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("render", "(not built yet)");
    cmd->callback([&status] {
        std::cerr << "hoopcast-cli: render is not built yet\n";
        status = kExitUsage;
    });
}

}  // namespace hoopcast::cli
