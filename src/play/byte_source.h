#pragma once
// Where the reader's bytes come from: a file read in pieces, or bytes already in memory.
// The reader asks for a piece at a time, so no file is ever held whole.

#include <cstddef>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace hoopcast {

class ByteSource {
  public:
    virtual ~ByteSource() = default;

    // Copies up to `size` next bytes into `buffer` and returns how many; 0 at the end or
    // after a failure, which error() then describes.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;

    // Copies up to `size` bytes that come `distance` bytes after the next one read() would
    // hand out, without reading them: 0 past the end. None when the source cannot be looked
    // ahead in (a pipe).
    virtual std::optional<std::size_t> look_ahead(std::size_t distance, char* buffer, std::size_t size) {
        (void)distance, (void)buffer, (void)size;
        return std::nullopt;
    }

    // The system's text for a failed read; empty while nothing failed.
    virtual std::string error() const { return {}; }
};

class MemorySource final : public ByteSource {
  public:
    explicit MemorySource(std::string_view bytes) noexcept : rest_(bytes) {}

    std::size_t read(char* buffer, std::size_t size) override;
    std::optional<std::size_t> look_ahead(std::size_t distance, char* buffer, std::size_t size) override;

  private:
    std::string_view rest_;
};

class FileSource final : public ByteSource {
  public:
    // Opens `file_name` for reading; when that fails, error() says why.
    explicit FileSource(const std::string& file_name);

    bool is_open() const noexcept { return file_ != nullptr; }
    std::size_t read(char* buffer, std::size_t size) override;
    std::optional<std::size_t> look_ahead(std::size_t distance, char* buffer, std::size_t size) override;
    std::string error() const override { return error_; }

  private:
    struct Closer {
        void operator()(std::FILE* f) const noexcept { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
    bool regular_ = false;  // a regular file, which can be read at any place
    std::size_t done_ = 0;  // bytes handed out
    std::string error_;
};

}  // namespace hoopcast
