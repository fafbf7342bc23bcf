#pragma once
// Reads a play file (.kqz, versions 0.2 to 0.5) into a PlayModel.
//
// Input is kept apart from parsing: read_play() parses what a ByteSource hands it, a piece
// at a time (tests feed strings); OpenPlay() opens a file and reads it that way. No line is
// held further than its meaning needs, so memory follows what the play keeps, not the
// file's size: a first line that is not a version line ends the read after the part the
// message quotes, lines that are skipped or only tested for a key are never held whole.
// The first line is looked at within the first 64 KiB of the file, CRs included: a first
// line that does not end within them is not a version line, and its quote is what they hold.
//
// The reader touches only the model and reports everything else as a value: the window
// turns the result into labels, caption and a message box, the command line into JSON,
// stderr and an exit code. Stopping playback before a read (playing, dragging, the
// animation timers, cur_seq and anim_step back to 1), emptying the description pane and
// repainting after it are the caller's job: that state belongs to the window and the
// playback engine, not to the model.
//
// A file that ends inside a sequence block (before its focus or item count line, or
// before the last line of its item blocks) is reported as corrupt and nothing of it is
// kept (seq_count 0), so an announced count never makes the reader wait for lines that
// are not there. After too many sequences seq_count is 0 as well; a negative count reads
// as an empty play.
//
// A text is given room as it grows; once it passes a MiB, room for all of it at once, found
// by looking ahead in the file to where it ends, and a complete text gives back what it did
// not use: the texts of a play hold about the file's size together, however they lie in it.
// Memory that runs out all the same is an outcome too, not an exception.
//
// Texts in the model, the labels and the caption keep the file's bytes (Windows-1252);
// `message` is UTF-8, ready to show (a quoted first line of a file is decoded for it, and
// cut after 1,000 characters, marked by "…").

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "play/byte_source.h"
#include "play/model.h"

namespace hoopcast {

enum class ReadOutcome {
    success,
    not_supported,       // the first line is none of the four version lines
    corrupt,             // a header key is missing, or the file ends inside a sequence block
    too_many_sequences,  // more than 75 sequences announced
    file_error,          // the file cannot be opened or read; message holds the system's text
    out_of_memory,       // memory ran out while reading: nothing of the play is kept
};

enum class BoxKind { none, information, error };

// The names `hoopcast-cli info` and the browser page give outcomes and boxes.
inline constexpr std::pair<ReadOutcome, std::string_view> kOutcomeNames[] = {
    {ReadOutcome::success, "success"},       {ReadOutcome::not_supported, "not_supported"},
    {ReadOutcome::corrupt, "corrupt"},       {ReadOutcome::too_many_sequences, "too_many_sequences"},
    {ReadOutcome::file_error, "file_error"}, {ReadOutcome::out_of_memory, "out_of_memory"},
};
inline constexpr std::pair<BoxKind, std::string_view> kBoxNames[] = {
    {BoxKind::none, ""}, {BoxKind::information, "information"}, {BoxKind::error, "error"}};

template <typename Kind, std::size_t N>
constexpr std::string_view kind_name(const std::pair<Kind, std::string_view> (&names)[N],
                                     Kind kind) noexcept {
    for (const auto& [k, name] : names)
        if (k == kind) return name;
    return "";
}
constexpr std::string_view outcome_name(ReadOutcome o) noexcept {
    return kind_name(kOutcomeNames, o);
}
constexpr std::string_view box_name(BoxKind b) noexcept {
    return kind_name(kBoxNames, b);
}

enum class PlayVersion { v0_2 = 2, v0_3 = 3, v0_4 = 4, v0_5 = 5 };

struct ReadResult {
    ReadOutcome outcome = ReadOutcome::success;
    std::string message;  // empty on success
    BoxKind box = BoxKind::none;
    std::optional<PlayVersion> version;    // none when not supported or not read
    std::optional<std::string> category;   // new category label text, if the read set it
    std::optional<std::string> play_name;  // new play name label text, if the read set it
    std::optional<std::string> caption;    // new window caption, if the read changes it
    bool play_loaded = false;              // the read sets play_loaded (else it is unchanged)
    bool motion_pass_ran = false;          // get_players ran; the window repaints
};

// Parses a play from `source`; `file_name` is only quoted in messages. Clears the model
// first; runs the motion pass when the outcome says so. A source that fails gives
// ReadOutcome::file_error with its error text; the model then holds what was read so far.
// Memory that runs out gives ReadOutcome::out_of_memory, an Error box and an empty play
// (seq_count 0); labels, caption and play_loaded stay as they were.
ReadResult read_play(PlayModel& play, ByteSource& source, std::string_view file_name);
ReadResult read_play(PlayModel& play, std::string_view bytes, std::string_view file_name);

// Opens and reads the play file `file_name`. A file that cannot be opened or read gives
// ReadOutcome::file_error with the system's error text; the model is then cleared.
ReadResult OpenPlay(PlayModel& play, const std::string& file_name);

// Value of a number field: optional blanks, an optional sign, then the leading decimal
// digits; 0 when there are none. Values beyond the 32-bit range saturate at its ends.
std::int32_t parse_number(std::string_view value) noexcept;

// "0.2" ... "0.5"
std::string_view version_text(PlayVersion v) noexcept;

}  // namespace hoopcast
