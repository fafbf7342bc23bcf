#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/commands.h"
#include "cli/play_loading.h"
#include "play/codepage.h"
#include "play/model.h"
#include "play/reader.h"
#include "play/steps.h"

namespace hoopcast::cli {

namespace {

using json = nlohmann::ordered_json;

std::string_view outcome_name(ReadOutcome o) {
    switch (o) {
        case ReadOutcome::success:
            return "success";
        case ReadOutcome::not_supported:
            return "not_supported";
        case ReadOutcome::corrupt:
            return "corrupt";
        case ReadOutcome::too_many_sequences:
            return "too_many_sequences";
        case ReadOutcome::file_error:
            return "file_error";
    }
    return "";
}

std::string_view box_name(BoxKind b) {
    switch (b) {
        case BoxKind::none:
            return "";
        case BoxKind::information:
            return "information";
        case BoxKind::error:
            return "error";
    }
    return "";
}

json item_json(const element& e, int slot) {
    return json{{"slot", slot},
                {"number", e.number},
                {"kind", cp1252_to_utf8(e.kind)},
                {"x1", e.x1},
                {"y1", e.y1},
                {"x2", e.x2},
                {"y2", e.y2},
                {"motion", e.motion},
                {"taken", e.taken},
                {"path_length", e.path_length},
                {"colour", e.colour},
                {"extra1", e.extra1},
                {"extra2", e.extra2},
                {"extra3", e.extra3},
                {"text", cp1252_to_utf8(e.text)},
                {"text2", cp1252_to_utf8(e.text2)}};
}

json sequence_json(const PlayModel& play, int s) {
    const court_element& h = play.header(s);
    json items = json::array();
    for (int i = 1; i <= kSlotsPerSequence && !play.item(s, i).kind.empty(); ++i)
        items.push_back(item_json(play.item(s, i), i));
    return json{{"index", s},
                {"court_kind", h.court_kind},
                {"no_animation", h.no_animation},
                {"colours", json::array({h.colour1, h.colour2, h.colour3, h.colour4})},
                {"text", cp1252_to_utf8(h.text)},
                {"seq_path_length", play.seq_path_length(s)},
                {"steps", step_plan(play.seq_path_length(s)).steps},
                {"items", std::move(items)}};
}

// Reads the play as a freshly started window would (empty labels, the bare caption, no
// play loaded before) and prints what the window would hold as JSON.
json play_info_json(const PlayModel& play, const ReadResult& r) {
    json sequences = json::array();
    for (int s = 1; s <= play.seq_count; ++s) sequences.push_back(sequence_json(play, s));
    return json{{"outcome", outcome_name(r.outcome)},
                {"message", r.message},
                {"box", box_name(r.box)},
                {"version", r.version ? json(version_text(*r.version)) : json(nullptr)},
                {"category", cp1252_to_utf8(r.category.value_or(""))},
                {"play_name", cp1252_to_utf8(r.play_name.value_or(""))},
                {"caption", cp1252_to_utf8(r.caption.value_or("Basketball Hoopcast"))},
                {"play_loaded", r.play_loaded},
                {"seq_count", play.seq_count},
                {"has_zones", play.has_zones},
                {"sequences", std::move(sequences)}};
}

}  // namespace

void add_info_command(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("info", "Read a play and print what it holds as JSON");
    auto file = std::make_shared<std::string>();
    cmd->add_option("FILE", *file, "play file (.kqz)")->required();
    cmd->callback([&status, file] {
        // Every outcome but a file that cannot be read still shows the model as it stands.
        LoadedPlay loaded;
        status = load_play(*file, loaded);
        if (status == kExitFile) return;
        std::cout << play_info_json(*loaded.play, loaded.result).dump(2, ' ', false, json::error_handler_t::replace)
                  << '\n';
    });
}

}  // namespace hoopcast::cli
