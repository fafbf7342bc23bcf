#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/play_loading.h"
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

// Writes a description as the pane shows it. The clean-up works in the text's own memory,
// and the document holds no more than the pane shows.
void write_description(CrlfText text, bool html) {
    const richtext::Document document =
        richtext::describe(clean_description(std::move(text).take_lf()), richtext::LineEnds::lf_for_crlf);
    if (html) {
        std::cout << richtext::to_html(document);
    } else {
        const std::string plain = richtext::to_plain_text(document);
        std::cout << plain << (plain.empty() ? "" : "\n");
    }
}

}  // namespace

void add_text_command(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("text", "Print a sequence's description as the description pane shows it");
    auto options = std::make_shared<TextOptions>();
    cmd->add_option("FILE", options->file, "play file (.kqz)")->required();
    add_sequence_option(*cmd, options->seq, "Sequence number, from 1")->required();
    cmd->add_flag("--html", options->html,
                  "print the HTML the description pane is given instead of plain text");
    cmd->callback([&status, options] {
        LoadedPlay loaded;
        if ((status = load_play(options->file, loaded)) != kExitOk) return;
        if ((status = check_sequence(loaded, options->seq)) != kExitOk) return;
        // The play is not needed afterwards: its description is handed over, not copied.
        write_description(std::move(loaded.play->header(options->seq).text), options->html);
        status = kExitOk;
    });
}

}  // namespace hoopcast::cli
