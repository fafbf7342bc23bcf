#include "play/reader.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>

#include "play/byte_source.h"
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
constexpr std::size_t kKeyLength = 10;
constexpr int kVersion05HeaderLines = 9;
constexpr char kEndOfFile = '\x1A';

// An animation line says "No" only when it ends right after it.
constexpr std::size_t kAnimationLineHead = kValueColumn + 3;
// Every kind the reader tests has at most 8 characters, so the first 9 tell them apart.
constexpr std::size_t kKindLineHead = kValueColumn + kMaxKindLength + 1;
// A message quotes at most this many characters of a line.
constexpr std::size_t kQuotedLength = 1000;
constexpr std::string_view kEllipsis = "\xE2\x80\xA6";  // U+2026
constexpr char kCp1252Ellipsis = '\x85';

constexpr std::size_t kChunkSize = 64 * 1024;
// The first line is looked at within this many bytes of the file. A version line is short,
// and the CRs that are dropped from it are few; a longer first line is not a version line,
// also when it is mostly CRs, so a file of nothing but CRs is not read through.
constexpr std::size_t kFirstLineBytes = kChunkSize;
// A text that grows past this is given room for the rest of the file at once: a string
// that doubles holds its old and its new copy while it moves, up to twice the file. The
// room not used costs address space only.
constexpr std::size_t kGrowthLimit = 1 << 20;

// A read of the file failed; `text` is the system's.
struct ReadFailure {
    std::string text;
};

// Hands out the lines of a file, reading it a piece at a time. A line ends at LF; every
// CR is dropped (a CR before the LF is not part of the line either); Ctrl-Z ends the file.
// Past the end it gives empty lines and remembers that it did, so loops waiting for a key
// can stop. A line can be looked at before it is read, and read without being kept, so
// no more of a line is held than its meaning needs.
class LineSource {
  public:
    explicit LineSource(ByteSource& source) : source_(source), buffer_(new char[kChunkSize]) {}

    // The first `n` characters of the next line (all of it when shorter), which stays unread;
    // empty when no line is left. `n` is at most a chunk.
    std::string_view peek(std::size_t n) {
        for (;;) {
            const std::string_view head(buffer_.get() + pos_, std::min(n, end_ - pos_));
            const std::size_t lf = head.find('\n');
            if (lf != std::string_view::npos) return head.substr(0, lf);
            if (head.size() == n || !fill()) return head;
        }
    }

    bool at_end() { return pos_ == end_ && !fill() && !crs_left_; }

    // Reads the next line, handing it to `take` in pieces; once `take` returns false the
    // rest of the line is read past without being looked at.
    template <typename Take>
    void read(Take&& take) {
        if (pos_ == end_ && !fill()) {
            // A last line of nothing but CRs is an empty line; after it there is none.
            if (!crs_left_) past_end_ = true;
            crs_left_ = false;
            return;
        }
        bool wanted = true;
        for (;;) {
            const std::string_view held(buffer_.get() + pos_, end_ - pos_);
            const std::size_t lf = held.find('\n');
            const std::string_view piece = held.substr(0, lf);
            if (wanted && !piece.empty()) wanted = take(piece);
            if (lf != std::string_view::npos) {
                pos_ += lf + 1;
                return;
            }
            pos_ = end_;
            if (!fill()) {
                crs_left_ = false;
                return;
            }
        }
    }

    void skip() {
        read([](std::string_view) { return false; });
    }

    // How many empty lines come next among the bytes held.
    std::size_t empty_lines_held() const noexcept {
        std::size_t n = 0;
        while (pos_ + n < end_ && buffer_[pos_ + n] == '\n') ++n;
        return n;
    }
    // Reads past the next `n` bytes held.
    void skip_held(std::size_t n) noexcept { pos_ += n; }

    bool past_end() const noexcept { return past_end_; }

    // No more than `bytes` of the file are read from now on, until lift_limit(); reading
    // stops as it does at the end of the file.
    void limit_to(std::size_t bytes) noexcept { limit_ = bytes; }
    void lift_limit() noexcept { limit_ = kNoLimit; }
    // The next line is known to end after its first `n` characters, which are held: an LF
    // or the end of the file follows them.
    bool ends_after(std::size_t n) const noexcept {
        return pos_ + n < end_ ? buffer_[pos_ + n] == '\n' : pos_ + n == end_ && eof_;
    }

    // Bytes that may still come, as far as the source knows.
    std::size_t bytes_left() const noexcept { return end_ - pos_ + source_.bytes_left(); }

  private:
    // Reads on behind the characters held, dropping CRs; false when nothing more came: at
    // the end of the file, or with the buffer full.
    bool fill() {
        while (!eof_ && consumed_ < limit_) {
            if (pos_ == end_) {
                pos_ = end_ = 0;
            } else if (end_ == kChunkSize) {
                if (pos_ == 0) return false;  // nothing more fits
                std::memmove(buffer_.get(), buffer_.get() + pos_, end_ - pos_);
                end_ -= pos_;
                pos_ = 0;
            }
            char* const start = buffer_.get() + end_;
            std::size_t n = source_.read(start, std::min(kChunkSize - end_, limit_ - consumed_));
            consumed_ += n;
            if (n == 0) {
                eof_ = true;
                if (std::string error = source_.error(); !error.empty()) throw ReadFailure{std::move(error)};
                break;
            }
            if (const void* z = std::memchr(start, kEndOfFile, n)) {
                n = static_cast<std::size_t>(static_cast<const char*>(z) - start);
                eof_ = true;
            }
            if (n == 0) break;
            crs_left_ = start[n - 1] != '\n';
            const std::size_t kept = static_cast<std::size_t>(std::remove(start, start + n, '\r') - start);
            end_ += kept;
            if (kept > 0) return true;
        }
        return false;
    }

    ByteSource& source_;
    std::unique_ptr<char[]> buffer_;
    std::size_t pos_ = 0;  // characters held: [pos_, end_)
    std::size_t end_ = 0;
    bool eof_ = false;
    static constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();
    std::size_t consumed_ = 0;  // bytes taken from the source
    std::size_t limit_ = kNoLimit;
    // Bytes have come since the last LF: at the end of the file, when none of them is left
    // to read, they were CRs and still make a line.
    bool crs_left_ = false;
    bool past_end_ = false;
};

std::string_view value_of(std::string_view line) noexcept {
    return line.size() > kValueColumn ? line.substr(kValueColumn) : std::string_view{};
}

std::int32_t saturating_sub(std::int32_t a, std::int32_t b) noexcept {
    const std::int64_t r = std::int64_t{a} - b;
    if (r < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    if (r > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(r);
}

// The value of a number field, taken in pieces: optional blanks, an optional sign, then the
// leading decimal digits. Values beyond the 32-bit range saturate at its ends.
class NumberParser {
  public:
    // False once the number has ended: the rest of the value is not looked at.
    bool feed(std::string_view piece) noexcept {
        for (const char c : piece) {
            if (state_ == State::blanks) {
                if (c == ' ') continue;
                state_ = State::digits;
                if (c == '+' || c == '-') {
                    negative_ = c == '-';
                    continue;
                }
            }
            if (c < '0' || c > '9') return false;
            magnitude_ = std::min(magnitude_ * 10 + (c - '0'), kHi + 1);  // more digits change nothing
        }
        return true;
    }

    std::int32_t value() const noexcept {
        if (negative_) return static_cast<std::int32_t>(-magnitude_ < kLo ? kLo : -magnitude_);
        return static_cast<std::int32_t>(magnitude_ > kHi ? kHi : magnitude_);
    }

  private:
    static constexpr std::int64_t kLo = std::numeric_limits<std::int32_t>::min();
    static constexpr std::int64_t kHi = std::numeric_limits<std::int32_t>::max();
    enum class State { blanks, digits };
    State state_ = State::blanks;
    bool negative_ = false;
    std::int64_t magnitude_ = 0;  // kept within kHi + 1, so the most negative value fits
};

class Parser {
  public:
    Parser(PlayModel& play, ByteSource& source, std::string_view file_name)
        : play_(play), lines_(source), file_name_(file_name) {}

    ReadResult run();

  private:
    ReadResult corrupt();
    // Reads one sequence block; false when the file ended inside it.
    bool read_sequence(int s);
    void read_item(int s, int k);

    bool next_has_key(std::string_view key) { return lines_.peek(kKeyLength) == key; }
    // The value of the next line; in version 0.5 item texts every "|" stands for a line break.
    std::string read_text(bool bars_break_lines = false);
    // A label's text: the value, or its first kQuotedLength characters and "…" when it is
    // longer. A label and the caption show no more, and the rest is not kept.
    std::string read_label();
    std::int32_t read_number();
    void append(std::string& text, std::string_view piece);
    // Room for `more` bytes; past a first MiB, for the rest of the file at once.
    void make_room(std::string& text, std::size_t more);

    PlayModel& play_;
    LineSource lines_;
    std::string_view file_name_;
    PlayVersion version_ = PlayVersion::v0_2;
    ReadResult result_;
};

void Parser::make_room(std::string& text, std::size_t more) {
    const std::size_t need = text.size() + more;
    if (need > text.capacity() && need > kGrowthLimit) {
        // No text is longer than the lines of the file it comes from.
        const std::size_t left = lines_.bytes_left();
        try {
            text.reserve(std::max(need + left, need + need / 2));
        } catch (const std::bad_alloc&) {
            // No room for the whole rest of a huge file: grow as far as the text goes.
        } catch (const std::length_error&) {
        }
    }
}

void Parser::append(std::string& text, std::string_view piece) {
    make_room(text, piece.size());
    text.append(piece);
}

// Hands the pieces of the next line's value (from column 12) to `take`.
template <typename Take>
void read_value(LineSource& lines, Take&& take) {
    std::size_t key_left = kValueColumn;
    lines.read([&](std::string_view piece) {
        const std::size_t n = std::min(key_left, piece.size());
        key_left -= n;
        piece.remove_prefix(n);
        return piece.empty() || take(piece);
    });
}

std::string Parser::read_text(bool bars_break_lines) {
    std::string text;
    read_value(lines_, [&](std::string_view piece) {
        if (!bars_break_lines) {
            append(text, piece);
            return true;
        }
        for (std::size_t bar = piece.find('|'); bar != std::string_view::npos; bar = piece.find('|')) {
            append(text, piece.substr(0, bar));
            append(text, "\n");  // a line break, held as a bare LF
            piece.remove_prefix(bar + 1);
        }
        append(text, piece);
        return true;
    });
    return text;
}

std::string Parser::read_label() {
    std::string text;
    bool cut = false;
    read_value(lines_, [&](std::string_view piece) {
        const std::size_t room = kQuotedLength - text.size();
        text.append(piece.substr(0, room));
        cut = piece.size() > room;
        return !cut;
    });
    if (cut) text += kCp1252Ellipsis;
    return text;
}

std::int32_t Parser::read_number() {
    NumberParser number;
    read_value(lines_, [&](std::string_view piece) { return number.feed(piece); });
    return number.value();
}

ReadResult Parser::corrupt() {
    play_.reset_play();
    result_.outcome = ReadOutcome::corrupt;
    result_.message = "Importfile " + std::string(file_name_) + " is corrupt";
    result_.box = BoxKind::information;
    return std::move(result_);
}

ReadResult Parser::run() {
    // A version line is short: a longer first line needs reading no further than the part
    // the message quotes, however long it is.
    lines_.limit_to(kFirstLineBytes);
    const std::string_view first = lines_.peek(kQuotedLength + 1);
    // A line the limit cut short goes on beyond what is held.
    const bool cut = first.size() > kQuotedLength || !lines_.ends_after(first.size());
    lines_.lift_limit();
    bool known = false;
    for (int v = 0; v < 4 && !cut; ++v) {
        if (first == kVersionLines[v]) {
            version_ = static_cast<PlayVersion>(v + 2);
            known = true;
        }
    }
    if (!known) {
        // The model is cleared, the labels and seq_count keep the previous play's values;
        // the window still counts a play as loaded and repaints the empty court.
        result_.outcome = ReadOutcome::not_supported;
        result_.message = "Importfile " + cp1252_to_utf8(first.substr(0, kQuotedLength)) +
                          std::string(cut ? kEllipsis : "") + " is not supported";
        result_.box = BoxKind::information;
        result_.caption = std::string(kCaption);
        result_.play_loaded = true;
        get_players(play_);
        result_.motion_pass_ran = true;
        return std::move(result_);
    }
    lines_.skip();
    result_.version = version_;
    play_.has_zones = false;

    if (next_has_key(kTypeKey)) lines_.skip();
    if (!next_has_key(kCategoryKey)) return corrupt();
    result_.category = read_label();

    if (!next_has_key(kPlaynameKey)) return corrupt();
    result_.play_name = read_label();

    if (!next_has_key(kSeqCountKey)) return corrupt();
    const std::int32_t count = read_number();
    if (count > kMaxSequences) {
        // No sequence has been read; an empty play keeps every later index in the tables.
        play_.seq_count = 0;
        result_.outcome = ReadOutcome::too_many_sequences;
        result_.message = "Unable to animate more than 75 sequences";
        result_.box = BoxKind::error;
        return std::move(result_);
    }
    // A negative count reads as an empty play.
    play_.seq_count = count < 0 ? 0 : count;

    if (version_ == PlayVersion::v0_5)
        for (int k = 0; k < kVersion05HeaderLines; ++k) lines_.skip();

    for (int s = 1; s <= play_.seq_count; ++s) {
        if (!read_sequence(s)) {
            // The file ends before the sequences it announced: keep nothing of it, rather
            // than show a play that stops half way or wait for lines that never come.
            play_.seq_count = 0;
            return corrupt();
        }
    }

    // Labels may be long: the caption is put together in place.
    std::string& caption = result_.caption.emplace();
    caption.reserve(kCaption.size() + 3 + result_.category->size() + result_.play_name->size());
    caption.append(kCaption).append(",").append(*result_.category).append(": ").append(*result_.play_name);
    result_.play_loaded = true;
    get_players(play_);
    result_.motion_pass_ran = true;
    return std::move(result_);
}

bool Parser::read_sequence(int s) {
    court_element& header = play_.header(s);
    if (next_has_key(kAnimationKey)) {
        if (value_of(lines_.peek(kAnimationLineHead)) == "No") header.no_animation = true;
        lines_.skip();
    }
    // The line after the animation line (or the first one, when there is none) is not used.
    lines_.skip();
    const std::string_view description_end = version_ == PlayVersion::v0_5 ? kFocusKey : kPartsKey;
    std::string text;
    while (!next_has_key(description_end)) {
        if (lines_.at_end()) return false;
        // Empty lines are taken a run at a time.
        if (const std::size_t empty = lines_.empty_lines_held(); empty > 0) {
            make_room(text, empty);
            text.append(empty, '\n');
            lines_.skip_held(empty);
            continue;
        }
        lines_.read([&](std::string_view piece) {
            append(text, piece);
            return true;
        });
        append(text, "\n");
    }
    if (version_ == PlayVersion::v0_5) {
        lines_.skip();
        while (!next_has_key(kPartsKey)) {
            if (lines_.at_end()) return false;
            lines_.skip();
        }
    }
    header.text = CrlfText(std::move(text));

    const std::int32_t parts = read_number();
    for (std::int32_t k = 1; k <= parts; ++k) {
        read_item(s, k);
        if (lines_.past_end()) return false;
    }
    return true;
}

void Parser::read_item(int s, int k) {
    const bool stored = k <= kMaxStoredItems;
    element e;
    e.number = read_number();
    const std::string full_kind(value_of(lines_.peek(kKindLineHead)));
    lines_.skip();
    const bool is_court = full_kind == "Court";
    const bool is_zone = full_kind == "ellipse" || full_kind == "poly";
    const bool is_ball = aball(full_kind);
    e.taken = aline(full_kind) || full_kind == "Text";
    e.kind = full_kind.substr(0, kMaxKindLength);
    e.x1 = read_number();
    e.y1 = read_number();
    e.x2 = read_number();
    e.y2 = read_number();
    if (version_ >= PlayVersion::v0_4) {
        e.extra1 = read_number();
        e.extra2 = read_number();
        e.extra3 = read_number();
    }
    if (version_ >= PlayVersion::v0_3) e.colour = read_number();
    // The texts of items that are not stored are read past.
    if (version_ >= PlayVersion::v0_4) {
        if (stored)
            e.text = CrlfText(read_text(version_ == PlayVersion::v0_5));
        else
            lines_.skip();
    }
    if (version_ >= PlayVersion::v0_5) {
        if (stored)
            e.text2 = read_text();
        else
            lines_.skip();
    }

    if (is_zone) play_.has_zones = true;
    if (is_ball && version_ < PlayVersion::v0_5) {
        e.x1 = saturating_sub(e.x1, 7);
        e.y1 = saturating_sub(e.y1, 7);
    }
    if (is_court) {
        court_element& header = play_.header(s);
        header.court_kind = e.number;
        header.colour1 = e.extra1;
        header.colour2 = e.extra2;
        header.colour3 = e.extra3;
        header.colour4 = e.colour;
        if (version_ == PlayVersion::v0_2 && e.x2 != 999) header.no_animation = true;
    }
    if (stored) {
        e.motion = 0;
        play_.item(s, k) = std::move(e);
    }
}

}  // namespace

std::int32_t parse_number(std::string_view value) noexcept {
    NumberParser number;
    number.feed(value);
    return number.value();
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

ReadResult read_play(PlayModel& play, ByteSource& source, std::string_view file_name) {
    play.reset_play();
    try {
        return Parser(play, source, file_name).run();
    } catch (const ReadFailure& failure) {
        ReadResult failed;
        failed.outcome = ReadOutcome::file_error;
        failed.box = BoxKind::error;
        failed.message = std::string(file_name) + ": " + failure.text;
        return failed;
    }
}

ReadResult read_play(PlayModel& play, std::string_view bytes, std::string_view file_name) {
    MemorySource source(bytes);
    return read_play(play, source, file_name);
}

ReadResult OpenPlay(PlayModel& play, const std::string& file_name) {
    play.reset_play();
    FileSource file(file_name);
    if (!file.is_open()) {
        ReadResult failed;
        failed.outcome = ReadOutcome::file_error;
        failed.box = BoxKind::error;
        failed.message = file_name + ": " + file.error();
        return failed;
    }
    return read_play(play, file, file_name);
}

}  // namespace hoopcast
