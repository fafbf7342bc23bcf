#pragma once
// Options that several subcommands take, defined once so that each is named, described and
// checked alike everywhere, and the rule that an output is what its name says it is.

#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace hoopcast::cli {

// --seq, a sequence's number from 1.
CLI::Option* add_sequence_option(CLI::App& cmd, int& seq, const std::string& description);
// --sketch (the default) and --no-sketch, which exclude each other.
void add_sketch_flags(CLI::App& cmd, bool& no_sketch);
// --screen-height, within 1..100000.
void add_screen_height_option(CLI::App& cmd, int& screen_height);
// --scale as pixels per court unit; check_scale judges it once given.
void add_scale_option(CLI::App& cmd, double& scale, const std::string& description);

struct OutputRule {
    std::string_view command;                   // names it in the message
    std::span<const std::string_view> formats;  // by extension, lower case without the dot
    // The format the command line names (export's --format), or the command's own for an
    // output named by another program (a thumbnail's temporary file); empty when neither.
    std::string_view given = {};
    bool has_format_option = false;
};

// The format `path` is to be written in: the one of `rule.formats` its extension names, else
// `rule.given`, if its extension names no other format. A device or a pipe (/dev/stdout)
// takes the first format. Otherwise the name would not say what the file holds: this says so
// on `err` and gives nothing, a usage error.
std::optional<std::string> output_format(const std::string& path, const OutputRule& rule, std::ostream& err);

}  // namespace hoopcast::cli
