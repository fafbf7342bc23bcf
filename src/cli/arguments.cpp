#include "cli/arguments.h"

#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "raster/picture.h"
#include "scene/mapping.h"

namespace hoopcast::cli {

namespace {

// Formats a name may say, ours and others: a name that says one is never given another, nor
// is a play's name given to an output.
constexpr std::string_view kKnownFormats[] = {"png", "ppm", "gif",  "mp4",  "webm", "pdf", "jpg", "jpeg",
                                              "bmp", "tif", "tiff", "webp", "svg",  "avi", "mkv", "mov",
                                              "ogv", "htm", "html", "txt",  "json", "ps",  "eps", "kqz"};

std::string extension_of(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    if (!ext.empty()) ext.erase(0, 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

// A device or a pipe, whose name says nothing of what it takes: one that exists and is neither
// a regular file nor a folder, or one named under /dev (/dev/stdout redirected to a file).
bool is_device(const std::string& path) {
    struct stat st {};
    if (path.rfind("/dev/", 0) == 0) return true;
    return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

// ".a", ".a or .b", ".a, .b or .c"
std::string listed(std::span<const std::string_view> formats) {
    std::string out;
    for (std::size_t i = 0; i < formats.size(); ++i) {
        if (i > 0) out += i + 1 == formats.size() ? " or " : ", ";
        out += ".";
        out += formats[i];
    }
    return out;
}

std::string scale_problem(double scale) {
    if (!std::isfinite(scale) || scale <= 0) return "must be a number above 0";
    const PictureSize size = frame_picture_size(scale);
    if (size.width >= 1 && size.height >= 1 && size.width <= raster::kMaxPictureSide &&
        size.height <= raster::kMaxPictureSide)
        return {};
    std::ostringstream out;
    out << scale << " gives a picture of " << size.width << " x " << size.height
        << " pixels; sides must lie within 1.." << raster::kMaxPictureSide;
    return out.str();
}

}  // namespace

CLI::Option* add_sequence_option(CLI::App& cmd, int& seq, const std::string& description) {
    return cmd.add_option("--seq", seq, description)->check(CLI::PositiveNumber);
}

void add_sketch_flags(CLI::App& cmd, bool& no_sketch) {
    auto* sketch =
        cmd.add_flag("--sketch")->description("Sketch mode: the lines and texts on the court (default)");
    cmd.add_flag("--no-sketch", no_sketch, "Symbols only, as the window without Sketch")->excludes(sketch);
}

void add_screen_height_option(CLI::App& cmd, int& screen_height) {
    cmd.add_option("--screen-height", screen_height, "Screen height the court drawing assumes (default 1080)")
        ->check(CLI::Range(1, 100000));
}

void add_scale_option(CLI::App& cmd, double& scale, const std::string& description) {
    cmd.add_option("--scale", scale, description)
        ->check(CLI::Validator(
            [](std::string& text) {
                char* end = nullptr;
                const double value = std::strtod(text.c_str(), &end);
                if (text.empty() || *end != '\0') return std::string("must be a number above 0");
                return scale_problem(value);
            },
            "SCALE"));
}

std::optional<std::string> output_format(const std::string& path, const OutputRule& rule, std::ostream& err) {
    const std::string ext = extension_of(path);
    const auto names = [&](std::string_view format) { return !ext.empty() && ext == format; };
    const bool written = std::any_of(rule.formats.begin(), rule.formats.end(), names);
    std::string_view given = rule.given;
    if (given.empty() && !written && is_device(path)) given = rule.formats.front();

    if (written && (given.empty() || given == ext)) return ext;
    if (written) {
        err << "hoopcast-cli: " << path << " is named ." << ext << ", not ." << given
            << " as --format says\n";
        return std::nullopt;
    }
    const bool other = std::any_of(std::begin(kKnownFormats), std::end(kKnownFormats), names);
    if (!given.empty() && !other) return std::string(given);
    if (other) {
        err << "hoopcast-cli: " << path << ": " << rule.command << " writes " << listed(rule.formats)
            << ", not ." << ext << '\n';
    } else {
        err << "hoopcast-cli: cannot tell the format of " << path << ": name it " << listed(rule.formats)
            << (rule.has_format_option ? ", or give --format" : "") << '\n';
    }
    return std::nullopt;
}

}  // namespace hoopcast::cli
