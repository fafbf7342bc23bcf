#include <CLI/CLI.hpp>
#include <iostream>
#include <new>
#include <string>

#include "cli/commands.h"

namespace {

// The plays the command that ran was given, for a message: "a.kqz, b.kqz".
std::string plays_named(const CLI::App& app) {
    std::string named;
    for (const CLI::App* command : app.get_subcommands()) {
        for (const char* name : {"FILE", "PLAY"}) {
            const CLI::Option* option = command->get_option_no_throw(name);
            if (option == nullptr) continue;
            for (const std::string& play : option->results()) named += (named.empty() ? "" : ", ") + play;
        }
    }
    return named;
}

}  // namespace

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
        // --help and the like print what was asked for; a fault is said as every other is.
        if (e.get_exit_code() == 0) return app.exit(e);
        std::cerr << "hoopcast-cli: " << e.what() << '\n';
        return hoopcast::cli::kExitUsage;
    } catch (const std::bad_alloc&) {
        // The reader says so itself; this is memory that ran out drawing, writing or
        // exporting. What the command held is let go by now.
        std::cerr << "hoopcast-cli: " << plays_named(app) << ": not enough memory\n";
        return hoopcast::cli::kExitOutcome;
    }
    return status;
}
