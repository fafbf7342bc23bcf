#include "play/byte_source.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace hoopcast {

std::size_t MemorySource::read(char* buffer, std::size_t size) {
    const std::size_t n = std::min(size, rest_.size());
    std::memcpy(buffer, rest_.data(), n);
    rest_.remove_prefix(n);
    return n;
}

std::optional<std::size_t> MemorySource::look_ahead(std::size_t distance, char* buffer, std::size_t size) {
    const std::string_view ahead = rest_.substr(std::min(distance, rest_.size()));
    return ahead.copy(buffer, size);
}

FileSource::FileSource(const std::string& file_name) {
    errno = 0;
    file_.reset(std::fopen(file_name.c_str(), "rb"));
    if (!file_) {
        error_ = std::strerror(errno);
        return;
    }
    struct stat st {};
    regular_ = ::fstat(::fileno(file_.get()), &st) == 0 && S_ISREG(st.st_mode);
}

std::size_t FileSource::read(char* buffer, std::size_t size) {
    if (!file_ || !error_.empty()) return 0;
    errno = 0;
    const std::size_t n = std::fread(buffer, 1, size, file_.get());
    done_ += n;
    if (n < size && std::ferror(file_.get())) error_ = std::strerror(errno);
    return n;
}

// The stream's own position is left alone: the bytes are read at their place in the file.
std::optional<std::size_t> FileSource::look_ahead(std::size_t distance, char* buffer, std::size_t size) {
    if (!file_ || !regular_) return std::nullopt;
    const auto at = static_cast<off_t>(done_ + distance);
    for (;;) {
        const ssize_t n = ::pread(::fileno(file_.get()), buffer, size, at);
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno != EINTR) return std::nullopt;
    }
}

}  // namespace hoopcast
