// Files of the sizes a disk really holds: what the commands cost follows what the play
// keeps, not the file's size. Zeros are sparse files, so they cost neither disk nor time.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli_run.h"
#include "play/codepage.h"

namespace {

namespace fs = std::filesystem;
using hoopcast::testing::MeasuredRun;
using hoopcast::testing::run_cli_measured;

// Under a sanitizer the process's memory is mostly the sanitizer's own.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryIsMeasurable = false;
#else
constexpr bool kMemoryIsMeasurable = true;
#endif
constexpr long kSlackKb = 64 * 1024;

class BigFiles : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(dir_); }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path path(const std::string& name) const { return dir_ / name; }

    // Every command that reads a play, on `file`.
    std::vector<std::vector<std::string>> commands(const fs::path& file) const {
        return {{"info", file},
                {"render", file, "--seq", "1", "-o", path("out.png")},
                {"text", file, "--seq", "1"}};
    }

    static void append(const fs::path& file, const std::string& bytes, std::size_t times = 1) {
        std::ofstream out(file, std::ios::binary | std::ios::app);
        for (std::size_t k = 0; k < times; ++k) out << bytes;
    }

    static void expect_peak_within(const MeasuredRun& r, long kb) {
        if (kMemoryIsMeasurable) {
            EXPECT_LE(r.peak_kb, kb);
        }
    }

    const fs::path dir_ = fs::temp_directory_path() / ("hoopcast_big_files_" + std::to_string(::getpid()));
};

const std::string kEllipsis = "\xE2\x80\xA6";

TEST_F(BigFiles, AFirstLineThatIsNoVersionLineEndsTheReadAtOnce) {
    const fs::path zeros = path("zeros.kqz");
    std::ofstream(zeros).close();
    fs::resize_file(zeros, 512ull << 20);
    const fs::path binary = path("binary.kqz");
    std::string line;
    for (int k = 0; k < (2 << 20); ++k) line += static_cast<char>(0x80 + k % 128);
    append(binary, line + "\r\nCategory = A\r\n");

    for (const auto& [file, quoted] : {std::pair{zeros, std::string(1000, '\0')},
                                       std::pair{binary, hoopcast::cp1252_to_utf8(line.substr(0, 1000))}}) {
        for (const auto& args : commands(file)) {
            const MeasuredRun r = run_cli_measured(args);
            EXPECT_EQ(r.status, 1) << args[0];
            EXPECT_EQ(r.err, "hoopcast-cli: Importfile " + quoted + kEllipsis + " is not supported\n");
            expect_peak_within(r, kSlackKb);
        }
    }
}

TEST_F(BigFiles, EmptyLinesAfterTheVersionLineAreCorruptAtOnce) {
    const fs::path file = path("empty_lines.kqz");
    append(file, "Version  = Basketball Drillpad 0.4\r\n");
    append(file, std::string(1 << 20, '\n'), 256);
    for (const auto& args : commands(file)) {
        const MeasuredRun r = run_cli_measured(args);
        EXPECT_EQ(r.status, 1) << args[0];
        EXPECT_EQ(r.err, "hoopcast-cli: Importfile " + file.string() + " is corrupt\n");
        expect_peak_within(r, kSlackKb);
    }
}

TEST_F(BigFiles, ALongDescriptionCostsNoMoreThanTheFile) {
    const fs::path file = path("description.kqz");
    append(file,
           "Version  = Basketball Drillpad 0.3\r\nCategory = Big\r\nPlayname = Notes\r\nNr_seq   = 1\r\n"
           "Animation= No\r\nSequence = 1\r\n");
    append(file, std::string(4094, 'n') + "\r\n", 32 << 10);
    append(file,
           "Nr_parts = 1\r\nNumber   = 3\r\nKind     = Court\r\nX1       = 0\r\nY1       = 0\r\n"
           "X2       = 999\r\nY2       = 0\r\nColour   = 0\r\n");
    const long file_kb = static_cast<long>(fs::file_size(file) / 1024);
    for (const auto& args : commands(file)) {
        const MeasuredRun r = run_cli_measured(args);
        EXPECT_EQ(r.status, 0) << args[0] << ": " << r.err;
        expect_peak_within(r, file_kb + kSlackKb);
    }
}

}  // namespace
