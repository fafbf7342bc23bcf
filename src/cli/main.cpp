#include <CLI/CLI.hpp>

#include "cli/commands.h"

int main(int argc, char** argv) {
    CLI::App app{"hoopcast-cli: read, render and export basketball plays (.kqz) without a window"};
    app.require_subcommand(1);
    int status = hoopcast::cli::kExitOk;
    hoopcast::cli::add_info_command(app, status);
    hoopcast::cli::add_text_command(app, status);
    hoopcast::cli::add_render_command(app, status);
    hoopcast::cli::add_export_command(app, status);
    hoopcast::cli::add_playbook_command(app, status);
    hoopcast::cli::add_thumbnail_command(app, status);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int rc = app.exit(e);
        return rc == 0 ? hoopcast::cli::kExitOk : hoopcast::cli::kExitUsage;
    }
    return status;
}
