#include "play/reader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

#include "play/codepage.h"
#include "play/motion.h"

namespace hoopcast {

namespace {

constexpr std::string_view kVersionLines[] = {
    "Version  = Basketball Drillpad 0.2",
    "Version  = Basketball Drillpad 0.3",
    "Version  = Basketball Drillpad 0.4",
    "Version  = Basketball Drillpad 0.5",
};

constexpr std::string_view kTypeKey = "Type     =";
constexpr std::string_view kCategoryKey = "Category =";
constexpr std::string_view kPlaynameKey = "Playname =";
constexpr std::string_view kSeqCountKey = "Nr_seq   =";
constexpr std::string_view kAnimationKey = "Animation=";
constexpr std::string_view kFocusKey = "Focus    =";
constexpr std::string_view kPartsKey = "Nr_parts =";

constexpr std::string_view kCaption = "Basketball Hoopcast";
constexpr std::size_t kValueColumn = 11;  // 0-based: the value starts in column 12
constexpr int kVersion05HeaderLines = 9;

// Hands out the lines of a text in memory. A line ends at LF; every CR is dropped (a CR
// before the LF is not part of the line either); Ctrl-Z ends the text. Past the end it
// gives empty lines and remembers that it did, so loops waiting for a key can stop.
class LineSource {
  public:
    explicit LineSource(std::string_view bytes) : rest_(bytes.substr(0, bytes.find('\x1A'))) {}

    // The returned view is valid until the next call.
    std::string_view next() {
        if (rest_.empty()) {
            past_end_ = true;
            return {};
        }
        const std::size_t lf = rest_.find('\n');
        std::string_view line = rest_.substr(0, lf);
        rest_ = lf == std::string_view::npos ? std::string_view{} : rest_.substr(lf + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.find('\r') == std::string_view::npos) return line;
        scratch_.clear();
        for (char c : line)
            if (c != '\r') scratch_.push_back(c);
        return scratch_;
    }

    bool past_end() const noexcept { return past_end_; }

  private:
    std::string_view rest_;
    std::string scratch_;
    bool past_end_ = false;
};

bool has_key(std::string_view line, std::string_view key) noexcept {
    return line.substr(0, key.size()) == key;
}

std::string_view value_of(std::string_view line) noexcept {
    return line.size() > kValueColumn ? line.substr(kValueColumn) : std::string_view{};
}

std::int32_t saturating_sub(std::int32_t a, std::int32_t b) noexcept {
    const std::int64_t r = std::int64_t{a} - b;
    if (r < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    if (r > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(r);
}

// Version 0.5 writes a line break inside a text as "|".
void bars_to_line_breaks(std::string& text) {
    if (text.find('|') == std::string::npos) return;
    std::string out;
    out.reserve(text.size() + 16);
    for (char c : text) {
        if (c == '|')
            out += "\r\n";
        else
            out.push_back(c);
    }
    text = std::move(out);
}

class Parser {
  public:
    Parser(PlayModel& play, std::string_view bytes, std::string_view file_name)
        : play_(play), lines_(bytes), file_name_(file_name) {}

    ReadResult run();

  private:
    ReadResult corrupt();
    // Reads one sequence block; false when the file ended inside it.
    bool read_sequence(int s);
    void read_item(int s, int k);

    PlayModel& play_;
    LineSource lines_;
    std::string_view file_name_;
    PlayVersion version_ = PlayVersion::v0_2;
    ReadResult result_;
};

ReadResult Parser::corrupt() {
    play_.reset_play();
    result_.outcome = ReadOutcome::corrupt;
    result_.message = "Importfile " + std::string(file_name_) + " is corrupt";
    result_.box = BoxKind::information;
    return result_;
}

ReadResult Parser::run() {
    const std::string_view first = lines_.next();
    bool known = false;
    for (int v = 0; v < 4; ++v) {
        if (first == kVersionLines[v]) {
            version_ = static_cast<PlayVersion>(v + 2);
            known = true;
        }
    }
    if (!known) {
        // The model is cleared, the labels and seq_count keep the previous play's values;
        // the window still counts a play as loaded and repaints the empty court.
        result_.outcome = ReadOutcome::not_supported;
        result_.message = "Importfile " + cp1252_to_utf8(first) + " is not supported";
        result_.box = BoxKind::information;
        result_.caption = std::string(kCaption);
        result_.play_loaded = true;
        get_players(play_);
        result_.motion_pass_ran = true;
        return result_;
    }
    result_.version = version_;
    play_.has_zones = false;

    std::string_view line = lines_.next();
    if (has_key(line, kTypeKey)) line = lines_.next();
    if (!has_key(line, kCategoryKey)) return corrupt();
    result_.category = std::string(value_of(line));

    line = lines_.next();
    if (!has_key(line, kPlaynameKey)) return corrupt();
    result_.play_name = std::string(value_of(line));

    line = lines_.next();
    if (!has_key(line, kSeqCountKey)) return corrupt();
    const std::int32_t count = parse_number(value_of(line));
    if (count > kMaxSequences) {
        // No sequence has been read; an empty play keeps every later index in the tables.
        play_.seq_count = 0;
        result_.outcome = ReadOutcome::too_many_sequences;
        result_.message = "Unable to animate more than 75 sequences";
        result_.box = BoxKind::error;
        return result_;
    }
    // A negative count reads as an empty play.
    play_.seq_count = count < 0 ? 0 : count;

    if (version_ == PlayVersion::v0_5)
        for (int k = 0; k < kVersion05HeaderLines; ++k) lines_.next();

    for (int s = 1; s <= play_.seq_count; ++s) {
        if (!read_sequence(s)) {
            // The file ends before the sequences it announced: keep nothing of it, rather
            // than show a play that stops half way or wait for lines that never come.
            play_.seq_count = 0;
            return corrupt();
        }
    }

    result_.caption = std::string(kCaption) + "," + *result_.category + ": " + *result_.play_name;
    result_.play_loaded = true;
    get_players(play_);
    result_.motion_pass_ran = true;
    return result_;
}

bool Parser::read_sequence(int s) {
    court_element& header = play_.header(s);
    std::string_view line = lines_.next();
    if (has_key(line, kAnimationKey)) {
        if (value_of(line) == "No") header.no_animation = true;
        lines_.next();
    }
    // The line just read (or the first one, when there is no animation line) is not used.
    line = lines_.next();
    const std::string_view description_end = version_ == PlayVersion::v0_5 ? kFocusKey : kPartsKey;
    std::string text;
    while (!has_key(line, description_end)) {
        if (lines_.past_end()) return false;
        text.append(line);
        text.append("\r\n");
        line = lines_.next();
    }
    if (version_ == PlayVersion::v0_5) {
        line = lines_.next();
        while (!has_key(line, kPartsKey)) {
            if (lines_.past_end()) return false;
            line = lines_.next();
        }
    }
    header.text = std::move(text);

    const std::int32_t parts = parse_number(value_of(line));
    for (std::int32_t k = 1; k <= parts; ++k) {
        read_item(s, k);
        if (lines_.past_end()) return false;
    }
    return true;
}

void Parser::read_item(int s, int k) {
    element e;
    e.number = parse_number(value_of(lines_.next()));
    const std::string_view full_kind = value_of(lines_.next());
    const bool is_court = full_kind == "Court";
    const bool is_zone = full_kind == "ellipse" || full_kind == "poly";
    const bool is_ball = aball(full_kind);
    e.taken = aline(full_kind) || full_kind == "Text";
    e.kind = std::string(full_kind.substr(0, kMaxKindLength));
    e.x1 = parse_number(value_of(lines_.next()));
    e.y1 = parse_number(value_of(lines_.next()));
    e.x2 = parse_number(value_of(lines_.next()));
    e.y2 = parse_number(value_of(lines_.next()));
    if (version_ >= PlayVersion::v0_4) {
        e.extra1 = parse_number(value_of(lines_.next()));
        e.extra2 = parse_number(value_of(lines_.next()));
        e.extra3 = parse_number(value_of(lines_.next()));
    }
    if (version_ >= PlayVersion::v0_3) e.colour = parse_number(value_of(lines_.next()));
    if (version_ >= PlayVersion::v0_4) e.text = std::string(value_of(lines_.next()));
    if (version_ >= PlayVersion::v0_5) e.text2 = std::string(value_of(lines_.next()));

    if (is_zone) play_.has_zones = true;
    if (is_ball && version_ < PlayVersion::v0_5) {
        e.x1 = saturating_sub(e.x1, 7);
        e.y1 = saturating_sub(e.y1, 7);
    }
    if (version_ == PlayVersion::v0_5) bars_to_line_breaks(e.text);
    if (is_court) {
        court_element& header = play_.header(s);
        header.court_kind = e.number;
        header.colour1 = e.extra1;
        header.colour2 = e.extra2;
        header.colour3 = e.extra3;
        header.colour4 = e.colour;
        if (version_ == PlayVersion::v0_2 && e.x2 != 999) header.no_animation = true;
    }
    if (k <= kMaxStoredItems) {
        e.motion = 0;
        play_.item(s, k) = std::move(e);
    }
}

}  // namespace

std::int32_t parse_number(std::string_view value) noexcept {
    std::size_t p = 0;
    while (p < value.size() && value[p] == ' ') ++p;
    bool negative = false;
    if (p < value.size() && (value[p] == '+' || value[p] == '-')) {
        negative = value[p] == '-';
        ++p;
    }
    // Accumulate as a negative number so that the most negative value fits as well.
    constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t hi = std::numeric_limits<std::int32_t>::max();
    std::int64_t magnitude = 0;
    for (; p < value.size() && value[p] >= '0' && value[p] <= '9'; ++p) {
        magnitude = magnitude * 10 + (value[p] - '0');
        if (magnitude > hi + 1) magnitude = hi + 1;  // saturated; more digits change nothing
    }
    if (negative) return static_cast<std::int32_t>(-magnitude < lo ? lo : -magnitude);
    return static_cast<std::int32_t>(magnitude > hi ? hi : magnitude);
}

std::string_view version_text(PlayVersion v) noexcept {
    switch (v) {
        case PlayVersion::v0_2:
            return "0.2";
        case PlayVersion::v0_3:
            return "0.3";
        case PlayVersion::v0_4:
            return "0.4";
        case PlayVersion::v0_5:
            return "0.5";
    }
    return "";
}

ReadResult read_play(PlayModel& play, std::string_view bytes, std::string_view file_name) {
    play.reset_play();
    return Parser(play, bytes, file_name).run();
}

ReadResult OpenPlay(PlayModel& play, const std::string& file_name) {
    play.reset_play();
    ReadResult failed;
    failed.outcome = ReadOutcome::file_error;
    failed.box = BoxKind::error;

    struct Closer {
        void operator()(std::FILE* f) const noexcept { std::fclose(f); }
    };
    errno = 0;
    std::unique_ptr<std::FILE, Closer> file(std::fopen(file_name.c_str(), "rb"));
    if (!file) {
        failed.message = file_name + ": " + std::strerror(errno);
        return failed;
    }
    std::string bytes;
    char buffer[1 << 16];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        bytes.append(buffer, n);
        if (n < sizeof buffer) break;
    }
    if (std::ferror(file.get())) {
        failed.message = file_name + ": " + std::strerror(errno);
        return failed;
    }
    file.reset();
    return read_play(play, bytes, file_name);
}

}  // namespace hoopcast
