#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>

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

// Writes a description as the pane shows it. Plain text goes a slice of whole lines at a
// time: the clean-up and the plain-text document both keep within lines, so the slices
// give what the whole would, and a long description never becomes one document (several
// times its size). Whether a text is rich text does not change in the clean-up.
void write_description(std::string text, bool html) {
    if (richtext::is_rtf(text)) {
        const richtext::Document document = richtext::describe(clean_description(std::move(text)));
        if (html) {
            std::cout << richtext::to_html(document);
        } else {
            const std::string plain = richtext::to_plain_text(document);
            std::cout << plain << (plain.empty() ? "" : "\n");
        }
        return;
    }
    constexpr std::size_t kSliceBytes = 1 << 20;
    constexpr std::size_t kSliceLines = 16 << 10;
    // The HTML of every slice comes in the frame an empty document gets; it is written once.
    const std::string frame = richtext::to_html(richtext::Document{});
    const std::size_t head = frame.find("</body>");
    const std::size_t tail = frame.size() - head;
    if (html) std::cout << frame.substr(0, head);
    bool written = false;
    const std::size_t size = text.size();
    for (std::size_t at = 0; at < size;) {
        // A slice ends after a line, and holds few enough lines that even empty ones make a
        // document of no great size.
        std::size_t end = at;
        for (std::size_t lines = 0; end < size && end - at < kSliceBytes && lines < kSliceLines; ++lines) {
            const std::size_t lf = text.find('\n', end);
            end = lf == std::string::npos ? size : lf + 1;
        }
        // A slice that is the whole text (one long line, say) is handed over, not copied.
        const richtext::Document slice = richtext::read_plain_text(
            clean_description(end - at == size ? std::move(text) : text.substr(at, end - at)));
        if (html) {
            const std::string part = richtext::to_html(slice);
            std::cout << std::string_view(part).substr(head, part.size() - head - tail);
        } else {
            const std::string part = richtext::to_plain_text(slice);
            std::cout << (at > 0 ? "\n" : "") << part;
            written = written || at > 0 || !part.empty();
        }
        at = end;
    }
    if (html)
        std::cout << frame.substr(head);
    else if (written)
        std::cout << '\n';
}

}  // namespace

void add_text_command(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("text", "Print a sequence's description as the description pane shows it");
    auto options = std::make_shared<TextOptions>();
    cmd->add_option("FILE", options->file, "play file (.kqz)")->required();
    cmd->add_option("--seq", options->seq, "sequence number, from 1")->required();
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
