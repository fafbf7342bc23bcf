// Files of the sizes a disk really holds: what info, render and text cost follows what the
// play keeps, not the file's size. Zeros are sparse files, costing neither disk nor time.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "cli_run.h"
#include "play/codepage.h"

namespace {

namespace fs = std::filesystem;

// Under a sanitizer the process's memory is mostly the sanitizer's own: it is not measured,
// and the long description is shorter, as the sanitizer is slow.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryIsMeasurable = false;
#else
constexpr bool kMemoryIsMeasurable = true;
#endif
constexpr long kSlackKb = 64 * 1024;

void append(const fs::path& file, const std::string& bytes, int times = 1) {
    std::ofstream out(file, std::ios::binary | std::ios::app);
    while (times-- > 0) out << bytes;
}

TEST(BigFiles, MemoryFollowsWhatThePlayKeeps) {
    const fs::path dir = fs::temp_directory_path() / ("hoopcast_big_files_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    struct Case {
        fs::path file;
        int status;
        std::string err;  // after "hoopcast-cli: "
        long peak_kb;
    };
    const std::string not_supported = " is not supported\n";
    const std::string ellipsis = "\xE2\x80\xA6";

    const fs::path zeros = dir / "zeros.kqz";
    append(zeros, "");
    fs::resize_file(zeros, 512ull << 20);

    const fs::path binary = dir / "binary.kqz";
    std::string line;
    for (int k = 0; k < (2 << 20); ++k) line += static_cast<char>(0x80 + k % 128);
    append(binary, line + "\r\nCategory = A\r\n");

    const fs::path empty_lines = dir / "empty_lines.kqz";
    append(empty_lines, "Version  = Basketball Drillpad 0.4\r\n");
    append(empty_lines, std::string(1 << 20, '\n'), 256);

    const fs::path crs = dir / "crs.kqz";
    append(crs, std::string(1 << 20, '\r'), kMemoryIsMeasurable ? 256 : 16);

    // Descriptions of many lines, of a single line with a bullet group to clean up, of
    // empty lines (held with a bare LF each, not CR LF), and of one long paragraph of rich text.
    const auto play_with_description = [&dir](const std::string& name, const std::string& head,
                                              const std::string& text, bool one_line) {
        const fs::path file = dir / name;
        append(file, "Version  = Basketball Drillpad 0.3\r\nCategory = Big\r\nPlayname = Notes\r\n");
        append(file, "Nr_seq   = 1\r\nAnimation= No\r\nSequence = 1\r\n" + head);
        append(file, one_line ? text : text + "\r\n", kMemoryIsMeasurable ? 32 << 10 : 2 << 10);
        append(file,
               "\r\nNr_parts = 1\r\nNumber   = 3\r\nKind     = Court\r\nX1       = 0\r\nY1       = 0\r\n");
        append(file, "X2       = 999\r\nY2       = 0\r\nColour   = 0\r\n");
        return file;
    };
    const std::string bullet = "{\\pntext\\f3\\'B7\\tab}}";
    const fs::path description =
        play_with_description("description.kqz", bullet, std::string(4094, 'n'), false);
    const fs::path one_line =
        play_with_description("one_line.kqz", bullet, std::string(4095, '\xE9') + "<", true);
    const fs::path empty = play_with_description("empty.kqz", "", std::string(2047, '\n'), true);
    const fs::path rtf =
        play_with_description("rtf.kqz", "{\\rtf1\\ansi " + bullet, std::string(4095, '\xE9') + "<", true);
    // A text item whose label is one long line, half of it bars that break it into lines:
    // held, measured and drawn with no copy of it.
    const fs::path label = dir / "label.kqz";
    append(label, "Version  = Basketball Drillpad 0.5\r\nCategory = Big\r\nPlayname = Label\r\n");
    append(label, "Nr_seq   = 1\r\n" + std::string(9, '\n') + "Animation= No\r\nSequence = 1\r\n");
    append(label, "Focus    = \r\nNr_parts = 1\r\nNumber   = 1\r\nKind     = Text\r\nX1       = 20\r\n");
    append(label, "Y1       = 160\r\nX2       = 0\r\nY2       = 0\r\nExtra1   = 12\r\nExtra2   = 0\r\n");
    append(label, "Extra3   = 5\r\nColour   = 192\r\nText     = ");
    append(label, std::string(1023, 'W') + "\x85" + std::string(1024, '|'),
           kMemoryIsMeasurable ? 32 << 10 : 2 << 10);
    append(label, "\r\nText2    = Arial\r\n");
    const auto file_and_slack = [](const fs::path& file) {
        return static_cast<long>(fs::file_size(file) / 1024) + kSlackKb;
    };

    const Case cases[] = {
        {zeros, 1, "Importfile " + std::string(1000, '\0') + ellipsis + not_supported, kSlackKb},
        {binary, 1, "Importfile " + hoopcast::cp1252_to_utf8(line.substr(0, 1000)) + ellipsis + not_supported,
         kSlackKb},
        {empty_lines, 1, "Importfile " + empty_lines.string() + " is corrupt\n", kSlackKb},
        {crs, 1, "Importfile " + ellipsis + not_supported, kSlackKb},
        {description, 0, "", file_and_slack(description)},
        {one_line, 0, "", file_and_slack(one_line)},
        {empty, 0, "", file_and_slack(empty)},
        {rtf, 0, "", file_and_slack(rtf)},
        {label, 0, "", file_and_slack(label)},
    };
    const std::string commands[] = {"info", "text --seq 1", "text --html --seq 1",
                                    "render --seq 1 -o " + (dir / "out.png").string()};
    for (const Case& c : cases) {
        for (const std::string& command : commands) {
            const auto r =
                hoopcast::testing::run_cli(command + " " + c.file.string(), {.measured = true, .limits = {}});
            EXPECT_EQ(r.status, c.status) << command << " " << c.file;
            EXPECT_EQ(r.err, c.err.empty() ? "" : "hoopcast-cli: " + c.err);
            if (kMemoryIsMeasurable) {
                EXPECT_LE(r.peak_kb, c.peak_kb) << command << " " << c.file;
            }
        }
    }
    fs::remove_all(dir);
}

// Plays of still sequences that each hold a 2 MB description, read under a limit on address
// space such as file managers set for thumbnailers: the file's size and 512 MB is room for
// every command (the libraries alone map some 150 MB), and a limit too tight to read the
// play ends in a message and exit status 1, never a signal.
TEST(BigFiles, AddressSpaceFollowsTheFile) {
    if (!kMemoryIsMeasurable) GTEST_SKIP() << "a sanitizer's shadow memory takes no limit on address space";
    const fs::path dir = fs::temp_directory_path() / ("hoopcast_address_space_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::string description;
    while (description.size() < (2 << 20))
        description += "The guard brings the ball up and passes to the wing.\r\n";
    std::string sequence = "Animation= No\r\nSequence = 1\r\n" + description + "Nr_parts = 2\r\n";
    for (const char* item :
         {"3\r\nKind     = Court\r\nX1       = 0\r\nY1       = 0\r\nX2       = 999\r\n",
          "1\r\nKind     = Circle\r\nX1       = 100\r\nY1       = 100\r\nX2       = 0\r\n"})
        sequence += std::string("Number   = ") + item + "Y2       = 0\r\n";
    constexpr long long kMb = 1 << 20;
    for (const int sequences : {30, 75}) {
        const fs::path play = dir / ("descriptions_" + std::to_string(sequences) + ".kqz");
        append(play, "Version  = Basketball Drillpad 0.2\r\nCategory = Big\r\nPlayname = Notes\r\n");
        append(play, "Nr_seq   = " + std::to_string(sequences) + "\r\n");
        append(play, sequence, sequences);
        const auto size = static_cast<long long>(fs::file_size(play));
        const std::string commands[] = {"info", "text --seq 2",
                                        "render --seq 2 -o " + (dir / "out.png").string(), "thumbnail"};
        for (const long long limit : {size + 512 * kMb, 300 * kMb}) {
            const std::string ulimit = "ulimit -v " + std::to_string(limit / 1024) + ";";
            for (const std::string& command : commands) {
                const std::string args = command + " " + play.string() +
                                         (command == "thumbnail" ? " " + (dir / "thumb.png").string() : "");
                const auto r = hoopcast::testing::run_cli(args, {.measured = true, .limits = ulimit});
                const std::string what = command + " of " + std::to_string(size / kMb) + " MB under " +
                                         std::to_string(limit / kMb) + " MB";
                if (command == "thumbnail") {  // a file manager's file this large is no play
                    EXPECT_EQ(r.status, 1) << what;
                    EXPECT_EQ(r.err, "hoopcast-cli: " + play.string() + ": too large for a play file\n")
                        << what;
                } else if (limit > size + 300 * kMb) {
                    EXPECT_EQ(r.status, 0) << what << ": " << r.err;
                } else if (r.status != 0 || sequences == 75) {
                    EXPECT_EQ(r.status, 1) << what;
                    EXPECT_EQ(r.err, "hoopcast-cli: Not enough memory to read " + play.string() + "\n")
                        << what;
                }
            }
        }
    }
    fs::remove_all(dir);
}

}  // namespace
