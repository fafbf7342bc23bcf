#include "play/reader.h"

#include <algorithm>
#include <cassert>
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
// A text that grows past this is given room for all of itself at once, as far as the file
// holds it: a string that doubles holds its old and its new copy while it moves.
constexpr std::size_t kGrowthLimit = 1 << 20;
// A complete text gives back room it did not use beyond this: texts grow by doubling until
// they are known to be long, and thousands of labels would keep their halves.
constexpr std::size_t kSpareRoom = 256;

// A read of the file failed; `text` is the system's.
struct ReadFailure {
    std::string text;
};

// Hands out the lines of a file, reading it a piece at a time. A line ends at LF; every
// CR is dropped (a CR before the LF is not part of the line either); Ctrl-Z ends the file.
// Past the end it gives empty lines and remembers that it did, so loops waiting for a key
// can stop. A line can be looked at before it is read, and read without being kept, so
// no more of a line is held than its meaning needs; where the source allows, how far a text
// still goes can be counted ahead without reading it.
class LineSource {
  public:
    explicit LineSource(ByteSource& source) : source_(source), buffer_(new char[kChunkSize]) {}

    struct FirstLine {
        std::string_view text;  // as far as the first kFirstLineBytes of the file hold it
        bool complete;          // an LF or the end of the file follows
    };
    // The first line of the file, which stays unread; asked before anything is read.
    FirstLine first_line() {
        std::size_t lf = std::string_view::npos;
        while ((lf = held().find('\n')) == std::string_view::npos && consumed_ < kFirstLineBytes &&
               fill(kFirstLineBytes - consumed_)) {
        }
        if (lf != std::string_view::npos) return {held().substr(0, lf), true};
        return {held(), input_ != Input::open};
    }

    // The first `n` characters of the next line (all of it when shorter), which stays unread;
    // empty when no line is left. `n` is at most a chunk.
    std::string_view peek(std::size_t n) {
        for (;;) {
            const std::string_view head = held().substr(0, n);
            const std::size_t lf = head.find('\n');
            if (lf != std::string_view::npos) return head.substr(0, lf);
            if (head.size() == n || !fill()) return head;
        }
    }

    bool at_end() { return pos_ == end_ && !fill() && input_ != Input::crs_line_left; }

    // Reads the next line, handing it to `take` in pieces; once `take` returns false the
    // rest of the line is read past without being looked at. With `with_lf`, the LF that
    // ends the line comes as the end of its last piece.
    template <typename Take>
    void read(Take&& take, bool with_lf = false) {
        if (pos_ == end_ && !fill()) {
            // A last line of nothing but CRs is an empty line; after it there is none.
            input_ = input_ == Input::crs_line_left ? Input::drained : Input::read_past;
            return;
        }
        bool wanted = true;
        for (;;) {
            const std::string_view held = this->held();
            const std::size_t lf = held.find('\n');
            const std::string_view piece =
                held.substr(0, lf == std::string_view::npos || !with_lf ? lf : lf + 1);
            if (wanted && !piece.empty()) wanted = take(piece);
            if (lf != std::string_view::npos) {
                pos_ += lf + 1;
                line_start_ = true;
                return;
            }
            pos_ = end_;
            line_start_ = false;
            if (!fill()) return;
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
    void skip_held(std::size_t n) noexcept {
        pos_ += n;
        line_start_ = true;
    }

    bool past_end() const noexcept { return input_ == Input::read_past; }

    // How many characters come from here to the end of the line, LF left out; none when the
    // source cannot be looked ahead in. Nothing is read.
    std::optional<std::size_t> line_ahead() {
        std::size_t n = 0;
        const bool known = look_ahead([&n](std::string_view piece) {
            const std::size_t lf = piece.find('\n');
            n += std::min(lf, piece.size());
            return lf == std::string_view::npos;
        });
        return known ? std::optional(n) : std::nullopt;
    }

    // How many characters come from here up to the next line that starts with `key`, each
    // line with its LF; none when the source cannot be looked ahead in. Nothing is read.
    std::optional<std::size_t> lines_ahead(std::string_view key) {
        std::size_t n = 0;
        std::size_t lines = 0;  // the characters of the lines ended so far
        // Characters of the line so far, while they are the start of `key`.
        std::size_t matched = line_start_ ? 0 : std::string_view::npos;
        bool found = false;
        const bool known = look_ahead([&](std::string_view piece) {
            while (!piece.empty()) {
                if (matched < key.size() && piece.front() == key[matched]) {
                    ++n;
                    piece.remove_prefix(1);
                    if (++matched < key.size()) continue;
                    found = true;
                    return false;
                }
                if (matched == 0 && piece.front() == '\n') {  // empty lines, a run at a time
                    const std::size_t run = std::min(piece.find_first_not_of('\n'), piece.size());
                    n += run;
                    lines = n;
                    piece.remove_prefix(run);
                    continue;
                }
                const std::size_t lf = piece.find('\n');
                if (lf == std::string_view::npos) {
                    n += piece.size();
                    matched = std::string_view::npos;
                    return true;
                }
                n += lf + 1;
                lines = n;
                matched = 0;
                piece.remove_prefix(lf + 1);
            }
            return true;
        });
        if (!known) return std::nullopt;
        return found ? lines : n;
    }

  private:
    // How far the source has been read.
    enum class Input : std::uint8_t {
        open,           // more may come
        drained,        // nothing more comes: the lines held are the last
        crs_line_left,  // nothing more comes, and after the last LF came only CRs: they make
                        // one more line, an empty one, after the lines held
        read_past,      // a line was asked for after the last one
    };

    std::string_view held() const noexcept { return {buffer_.get() + pos_, end_ - pos_}; }

    // Reads on behind the characters held, dropping CRs and taking no more than `most`
    // bytes of the source; false when no character came: the source is drained, or the
    // `most` bytes were all CRs. Less than a chunk is held.
    bool fill(std::size_t most = std::numeric_limits<std::size_t>::max()) {
        assert(end_ - pos_ < kChunkSize);
        while (input_ == Input::open && most > 0) {
            if (pos_ == end_) {
                pos_ = end_ = 0;
            } else if (end_ == kChunkSize) {
                std::memmove(buffer_.get(), buffer_.get() + pos_, end_ - pos_);
                end_ -= pos_;
                pos_ = 0;
            }
            char* const start = buffer_.get() + end_;
            std::size_t n = source_.read(start, std::min(kChunkSize - end_, most));
            consumed_ += n;
            most -= n;
            if (n == 0) {
                if (std::string error = source_.error(); !error.empty()) throw ReadFailure{std::move(error)};
                drain();
                return false;
            }
            const void* const z = std::memchr(start, kEndOfFile, n);
            if (z != nullptr) n = static_cast<std::size_t>(static_cast<const char*>(z) - start);
            if (n > 0) last_byte_ = start[n - 1];
            const std::size_t kept = static_cast<std::size_t>(std::remove(start, start + n, '\r') - start);
            if (kept > 0) last_kept_ = start[kept - 1];
            end_ += kept;
            if (z != nullptr) drain();
            if (kept > 0) return true;
        }
        return false;
    }

    // Nothing more comes from the source.
    void drain() noexcept {
        input_ = last_byte_ != '\n' && last_kept_ == '\n' ? Input::crs_line_left : Input::drained;
    }

    // Hands the characters from here on to `look` in pieces, as far as it wants them (it
    // returns false when it has seen enough): those held, then those of the source, read at
    // their place without being taken. False when the source cannot be looked ahead in.
    template <typename Look>
    bool look_ahead(Look&& look) {
        if (!look(held()) || input_ != Input::open) return true;
        if (!ahead_) ahead_.reset(new char[kChunkSize]);
        for (std::size_t distance = 0;;) {
            const std::optional<std::size_t> n = source_.look_ahead(distance, ahead_.get(), kChunkSize);
            if (!n) return false;
            if (*n == 0) return true;
            distance += *n;
            std::string_view piece(ahead_.get(), *n);
            const std::size_t z = piece.find(kEndOfFile);
            piece = piece.substr(0, z);
            for (std::size_t cr = piece.find('\r');; cr = piece.find('\r')) {
                if (!look(piece.substr(0, cr))) return true;
                if (cr == std::string_view::npos) break;
                piece.remove_prefix(cr + 1);
            }
            if (z != std::string_view::npos) return true;
        }
    }

    ByteSource& source_;
    std::unique_ptr<char[]> buffer_;
    std::size_t pos_ = 0;  // characters held: [pos_, end_)
    std::size_t end_ = 0;
    std::size_t consumed_ = 0;  // bytes taken from the source
    Input input_ = Input::open;
    // The last byte taken from the source and the last character kept of it, as if the
    // file began after an LF.
    char last_byte_ = '\n';
    char last_kept_ = '\n';
    bool line_start_ = true;         // the next character held starts a line
    std::unique_ptr<char[]> ahead_;  // for bytes looked at ahead of the source
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
    // Room for the next `more` characters of `text`, which are the next ones of the file.
    // Past a first MiB, for all of the text at once, as far as the file holds it: to the
    // end of the line, or with `end_key`, up to the line that starts with it.
    void make_room(std::string& text, std::size_t more, std::string_view end_key = {});

    PlayModel& play_;
    LineSource lines_;
    std::string_view file_name_;
    PlayVersion version_ = PlayVersion::v0_2;
    ReadResult result_;
};

void Parser::make_room(std::string& text, std::size_t more, std::string_view end_key) {
    const std::size_t need = text.size() + more;
    if (need <= text.capacity() || need <= kGrowthLimit) return;
    const std::optional<std::size_t> ahead =
        end_key.empty() ? lines_.line_ahead() : lines_.lines_ahead(end_key);
    // A file that cannot be looked ahead in (a pipe) has the text grow by half at a time.
    text.reserve(ahead ? text.size() + std::max(more, *ahead) : need + need / 2);
}

// A text is complete: what it holds is all it keeps.
void give_back_spare_room(std::string& text) {
    if (text.capacity() - text.size() > kSpareRoom) text.shrink_to_fit();
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
        make_room(text, piece.size());
        if (!bars_break_lines) {
            text.append(piece);
            return true;
        }
        for (std::size_t bar = piece.find('|'); bar != std::string_view::npos; bar = piece.find('|')) {
            text.append(piece.substr(0, bar));
            text += '\n';  // a line break, held as a bare LF
            piece.remove_prefix(bar + 1);
        }
        text.append(piece);
        return true;
    });
    give_back_spare_room(text);
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
    const auto [line, complete] = lines_.first_line();
    const std::string_view first = line.substr(0, kQuotedLength);
    const bool cut = !complete || line.size() > kQuotedLength;
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
        result_.message =
            "Importfile " + cp1252_to_utf8(first) + std::string(cut ? kEllipsis : "") + " is not supported";
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
            make_room(text, empty, description_end);
            text.append(empty, '\n');
            lines_.skip_held(empty);
            continue;
        }
        const std::size_t before = text.size();
        lines_.read(
            [&](std::string_view piece) {
                make_room(text, piece.size(), description_end);
                text.append(piece);
                return true;
            },
            true);
        // The last line of the file may end without an LF; it ends the block too soon anyway.
        if (text.size() == before || text.back() != '\n') {
            make_room(text, 1, description_end);
            text += '\n';
        }
    }
    if (version_ == PlayVersion::v0_5) {
        lines_.skip();
        while (!next_has_key(kPartsKey)) {
            if (lines_.at_end()) return false;
            lines_.skip();
        }
    }
    give_back_spare_room(text);
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
    } catch (const std::bad_alloc&) {
        // What was read is let go before anything else is asked of the memory.
        play.reset_play();
        play.seq_count = 0;
        ReadResult failed;
        failed.outcome = ReadOutcome::out_of_memory;
        failed.box = BoxKind::error;
        failed.message = "Not enough memory to read " + std::string(file_name);
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
