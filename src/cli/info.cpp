#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "cli/play_loading.h"
#include "play/codepage.h"
#include "play/model.h"
#include "play/reader.h"
#include "play/steps.h"

namespace hoopcast::cli {

namespace {

using json = nlohmann::ordered_json;

// Writes JSON laid out as nlohmann's dump(2) lays it out, but writes texts in pieces as it
// goes: a play's texts may be nearly as long as its file, and none is copied whole.
class JsonStream {
  public:
    explicit JsonStream(std::ostream& out) : out_(out) {}

    void open(char bracket) {
        element();
        out_ << bracket;
        levels_.push_back({bracket == '{' ? '}' : ']', true});
    }
    void close() {
        const Level level = levels_.back();
        levels_.pop_back();
        if (!level.empty) {
            out_ << '\n';
            indent();
        }
        out_ << level.closer;
    }
    void key(std::string_view name) {
        element();
        out_ << json(name).dump() << ": ";
        after_key_ = true;
    }
    template <typename T>
    void value(const T& v) {
        element();
        out_ << json(v).dump(-1, ' ', false, json::error_handler_t::replace);
    }
    // A text of the play (Windows-1252), decoded and escaped a piece at a time. Every byte
    // decodes and escapes on its own, so a table of the 256 escaped bytes gives what the
    // whole text would. With `lf_for_crlf`, an LF is written as the CR LF it stands for.
    void text(std::string_view bytes, bool lf_for_crlf = false) {
        struct Escapes {
            std::array<std::string, 256> text;
            std::array<bool, 256> as_is;
        };
        static const Escapes escapes = [] {
            Escapes e;
            for (std::size_t b = 0; b < 256; ++b) {
                const std::string byte(1, static_cast<char>(b));
                const std::string quoted = json(cp1252_to_utf8(byte)).dump();
                e.text[b] = quoted.substr(1, quoted.size() - 2);
                e.as_is[b] = e.text[b] == byte;
            }
            return e;
        }();
        const auto as_is = [](char c) { return escapes.as_is[static_cast<unsigned char>(c)]; };
        const auto escaped = [lf_for_crlf](char c) -> std::string_view {
            if (lf_for_crlf && c == '\n') return "\\r\\n";
            return escapes.text[static_cast<unsigned char>(c)];
        };
        constexpr std::size_t kPiece = 64 * 1024;
        element();
        out_ << '"';
        std::string piece;
        while (!bytes.empty()) {
            // Bytes that stand for themselves go out in runs.
            const std::string_view next = bytes.substr(0, kPiece);
            const std::size_t run =
                static_cast<std::size_t>(std::find_if_not(next.begin(), next.end(), as_is) - next.begin());
            out_ << next.substr(0, run);
            bytes.remove_prefix(run);
            piece.clear();
            for (; !bytes.empty() && piece.size() < kPiece && !as_is(bytes.front()); bytes.remove_prefix(1))
                piece += escaped(bytes.front());
            out_ << piece;
        }
        out_ << '"';
    }

    template <typename T>
    void field(std::string_view name, const T& v) {
        key(name);
        value(v);
    }
    void text_field(std::string_view name, std::string_view bytes) {
        key(name);
        text(bytes);
    }
    void text_field(std::string_view name, const CrlfText& lines) {
        key(name);
        text(lines.lf(), true);
    }

  private:
    struct Level {
        char closer;
        bool empty;
    };

    // Before a value: the separator and the indent, unless the value follows its key.
    void element() {
        if (after_key_) {
            after_key_ = false;
            return;
        }
        if (levels_.empty()) return;
        out_ << (levels_.back().empty ? "\n" : ",\n");
        levels_.back().empty = false;
        indent();
    }
    void indent() {
        for (std::size_t k = 0; k < levels_.size(); ++k) out_ << "  ";
    }

    std::ostream& out_;
    std::vector<Level> levels_;
    bool after_key_ = false;
};

void write_item(JsonStream& j, const element& e, int slot) {
    j.open('{');
    j.field("slot", slot);
    j.field("number", e.number);
    j.text_field("kind", e.kind);
    j.field("x1", e.x1);
    j.field("y1", e.y1);
    j.field("x2", e.x2);
    j.field("y2", e.y2);
    j.field("motion", e.motion);
    j.field("taken", e.taken);
    j.field("path_length", e.path_length);
    j.field("colour", e.colour);
    j.field("extra1", e.extra1);
    j.field("extra2", e.extra2);
    j.field("extra3", e.extra3);
    j.text_field("text", e.text);
    j.text_field("text2", e.text2);
    j.close();
}

void write_sequence(JsonStream& j, const PlayModel& play, int s) {
    const court_element& h = play.header(s);
    j.open('{');
    j.field("index", s);
    j.field("court_kind", h.court_kind);
    j.field("no_animation", h.no_animation);
    j.key("colours");
    j.open('[');
    for (const Colour c : {h.colour1, h.colour2, h.colour3, h.colour4}) j.value(c);
    j.close();
    j.text_field("text", h.text);
    j.field("seq_path_length", play.seq_path_length(s));
    j.field("steps", step_plan(play.seq_path_length(s)).steps);
    j.key("items");
    j.open('[');
    for (int i = 1; i <= kSlotsPerSequence && !play.item(s, i).kind.empty(); ++i)
        write_item(j, play.item(s, i), i);
    j.close();
    j.close();
}

// What a freshly started window (empty labels, the bare caption, no play loaded before)
// would hold after the read, as JSON.
void write_play_info(std::ostream& out, const PlayModel& play, const ReadResult& r) {
    JsonStream j(out);
    j.open('{');
    j.field("outcome", outcome_name(r.outcome));
    j.field("message", r.message);
    j.field("box", box_name(r.box));
    j.key("version");
    if (r.version)
        j.value(version_text(*r.version));
    else
        j.value(nullptr);
    const auto or_else = [](const std::optional<std::string>& label, std::string_view none) {
        return label ? std::string_view(*label) : none;
    };
    j.text_field("category", or_else(r.category, ""));
    j.text_field("play_name", or_else(r.play_name, ""));
    j.text_field("caption", or_else(r.caption, "Basketball Hoopcast"));
    j.field("play_loaded", r.play_loaded);
    j.field("seq_count", play.seq_count);
    j.field("has_zones", play.has_zones);
    j.key("sequences");
    j.open('[');
    for (int s = 1; s <= play.seq_count; ++s) write_sequence(j, play, s);
    j.close();
    j.close();
    out << '\n';
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
        write_play_info(std::cout, *loaded.play, loaded.result);
    });
}

}  // namespace hoopcast::cli
