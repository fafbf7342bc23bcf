#include "play/byte_source.h"

#include <sys/stat.h>

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

FileSource::FileSource(const std::string& file_name) {
    errno = 0;
    file_.reset(std::fopen(file_name.c_str(), "rb"));
    if (!file_) {
        error_ = std::strerror(errno);
        return;
    }
    struct stat st {};
    if (::fstat(::fileno(file_.get()), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        size_ = static_cast<std::size_t>(st.st_size);
}

std::size_t FileSource::read(char* buffer, std::size_t size) {
    if (!file_ || !error_.empty()) return 0;
    errno = 0;
    const std::size_t n = std::fread(buffer, 1, size, file_.get());
    done_ += n;
    if (n < size && std::ferror(file_.get())) error_ = std::strerror(errno);
    return n;
}

std::size_t FileSource::bytes_left() const noexcept {
    return size_ > done_ ? size_ - done_ : 0;
}

}  // namespace hoopcast
