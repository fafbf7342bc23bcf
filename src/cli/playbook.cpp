#include <langinfo.h>

#include <CLI/CLI.hpp>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/play_loading.h"
#include "export/playbook.h"
#include "play/codepage.h"
#include "raster/fonts.h"

namespace hoopcast::cli {

namespace {

struct PlaybookCommand {
    std::vector<std::string> files;
    std::string out;
    std::string paper;
    int per_page = 1;
    int seq = 0;       // 0: every sequence
    double scale = 0;  // 0: the least that prints at 200 dpi
};

constexpr std::string_view kFormats[] = {"pdf"};

// Letter where the locale's paper is 216 mm wide; A4 otherwise. A locale that is not
// installed still names its country, which is enough to tell.
Paper locale_paper() {
    if (std::setlocale(LC_PAPER, "") != nullptr) {
        const auto width = static_cast<int>(reinterpret_cast<std::intptr_t>(nl_langinfo(_NL_PAPER_WIDTH)));
        std::setlocale(LC_PAPER, "C");
        if (width > 0) return width == 216 ? Paper::letter : Paper::a4;
    }
    for (const char* var : {"LC_ALL", "LC_PAPER", "LANG"}) {
        const char* value = std::getenv(var);
        if (value == nullptr || *value == '\0') continue;
        const std::string name = value;
        for (const char* country : {"_US", "_CA", "_MX", "_PH", "_CL", "_CO", "_VE", "_PR"}) {
            if (name.find(country) != std::string::npos) return Paper::letter;
        }
        return Paper::a4;
    }
    return Paper::a4;
}

int run_playbook(const PlaybookCommand& c) {
    PlaybookOptions options;
    options.paper = c.paper.empty() ? locale_paper() : c.paper == "letter" ? Paper::letter : Paper::a4;
    options.per_page = c.per_page;
    options.creator = "hoopcast-cli";
    options.scale = c.scale;
    if (!output_format(c.out, {"playbook", kFormats}, std::cerr)) return kExitUsage;
    if (c.seq != 0 && c.files.size() != 1) {
        std::cerr << "hoopcast-cli: --seq needs a single play\n";
        return kExitUsage;
    }

    int status = kExitOk;
    std::vector<LoadedPlay> loaded(c.files.size());
    std::vector<PlaybookPlay> plays;
    for (std::size_t i = 0; i < c.files.size(); ++i) {
        if (load_play(c.files[i], loaded[i]) != kExitOk) {
            std::cerr << "hoopcast-cli: " << c.files[i] << ": left out of the playbook\n";
            status = kExitOutcome;
            continue;
        }
        if (c.seq != 0) {
            if (const int rc = check_sequence(loaded[i], c.seq); rc != kExitOk) return rc;
        }
        PlaybookPlay p;
        p.play = loaded[i].play.get();
        p.category = cp1252_to_utf8(loaded[i].result.category.value_or(""));
        p.name = cp1252_to_utf8(loaded[i].result.play_name.value_or(""));
        if (p.name.empty()) p.name = std::filesystem::path(c.files[i]).stem().string();
        p.only_seq = c.seq;
        plays.push_back(std::move(p));
    }
    if (plays.empty()) {
        std::cerr << "hoopcast-cli: no play could be read; nothing written\n";
        return kExitOutcome;
    }
    options.title = plays.size() == 1 ? plays.front().name : "Playbook";

    PlaybookResult written;
    {
        raster::FontLibrary fonts;
        written = write_playbook(plays, options, fonts, c.out);
    }
    release_playbook_fonts();
    if (!written.ok) {
        std::cerr << "hoopcast-cli: " << written.message << '\n';
        return kExitFile;
    }
    return status;
}

}  // namespace

void add_playbook_command(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("playbook", "Write a printable PDF playbook of one or more plays");
    auto c = std::make_shared<PlaybookCommand>();
    cmd->add_option("PLAY", c->files, "play files (.kqz)")->required();
    cmd->add_option("-o,--output", c->out, "PDF file to write (.pdf)")->required();
    cmd->add_option("--paper", c->paper, "a4 or letter (default from the locale, else a4)")
        ->check(CLI::IsMember({"a4", "letter"}));
    cmd->add_option("--per-page", c->per_page, "sequences a page: 1, 2 or 4 (default 1)")
        ->check(CLI::IsMember({1, 2, 4}));
    add_sequence_option(*cmd, c->seq, "Only this sequence, from 1 (a single play)");
    add_scale_option(*cmd, c->scale, "Frame pixels per court unit (default: the least for 200 dpi)");
    cmd->callback([&status, c] { status = run_playbook(*c); });
}

}  // namespace hoopcast::cli
