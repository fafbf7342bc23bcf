#pragma once
// A file written under a temporary name in its destination's folder and renamed over the
// destination only once complete, so that a failed or cancelled export leaves no
// half-written file and an existing file stays whole until its replacement is ready.

#include <cstdint>
#include <span>
#include <string>

namespace hoopcast {

class StagedFile {
  public:
    StagedFile() = default;
    // Removes the temporary file unless it was committed.
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Creates the temporary file for `destination`; false with `error` set when it cannot.
    // A destination that exists and is no regular file (a device, a pipe) is written
    // directly, as it cannot be replaced.
    bool open(const std::string& destination, std::string& error);

    // The open file, owned by this object until take_fd(); -1 after it.
    int fd() const noexcept { return fd_; }
    // Hands the descriptor to a library that closes it itself.
    int take_fd() noexcept;
    // Where the bytes go: the temporary name, or the destination itself.
    const std::string& write_path() const noexcept { return write_path_; }

    // Closes the descriptor if still held and renames the file over the destination.
    bool commit(std::string& error);
    // Closes and removes the temporary file.
    void discard() noexcept;

  private:
    std::string destination_;
    std::string write_path_;
    int fd_ = -1;
    bool staged_ = false;  // write_path_ is a temporary name of ours
};

// Writes all of `bytes` to `fd`; false with the system's reason (a full disk, a size limit).
bool write_all(int fd, std::span<const std::uint8_t> bytes, std::string& error);

// Writes `bytes` as the whole of `path`, staged as above; false with the system's reason.
bool write_staged(const std::string& path, std::span<const std::uint8_t> bytes, std::string& error);

}  // namespace hoopcast
