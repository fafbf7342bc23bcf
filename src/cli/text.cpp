#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "play/description.h"
#include "play/model.h"
#include "play/reader.h"
#include "richtext/reader.h"
#include "richtext/writers.h"

namespace hoopcast::cli {

namespace {

struct TextOptions {
    std::string file;
    int seq = 0;
    bool html = false;
};

}  // namespace

void add_text_command(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("text", "Print a sequence's description as the description pane shows it");
    auto options = std::make_shared<TextOptions>();
    cmd->add_option("FILE", options->file, "play file (.kqz)")->required();
    cmd->add_option("--seq", options->seq, "sequence number, from 1")->required();
    cmd->add_flag("--html", options->html,
                  "print the HTML the description pane is given instead of plain text");
    cmd->callback([&status, options] {
        auto play = std::make_unique<PlayModel>();
        const ReadResult r = OpenPlay(*play, options->file);
        if (r.outcome == ReadOutcome::file_error) {
            std::cerr << "hoopcast-cli: " << r.message << '\n';
            status = kExitFile;
            return;
        }
        if (r.outcome != ReadOutcome::success) {
            std::cerr << "hoopcast-cli: " << r.message << '\n';
            status = kExitOutcome;
            return;
        }
        if (options->seq < 1 || options->seq > play->seq_count) {
            std::cerr << "hoopcast-cli: --seq " << options->seq << ": the play has " << play->seq_count
                      << (play->seq_count == 1 ? " sequence" : " sequences") << '\n';
            status = kExitUsage;
            return;
        }
        const richtext::Document description =
            richtext::describe(clean_description(play->header(options->seq).text));
        if (options->html) {
            std::cout << richtext::to_html(description);
        } else {
            const std::string text = richtext::to_plain_text(description);
            std::cout << text << (text.empty() ? "" : "\n");
        }
        status = kExitOk;
    });
}

}  // namespace hoopcast::cli
