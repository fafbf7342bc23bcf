#include "export/staged_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace hoopcast {

namespace {

std::atomic<unsigned> g_stage_counter{0};

std::string folder_of(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string name_of(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

StagedFile::~StagedFile() {
    discard();
}

bool StagedFile::open(const std::string& destination, std::string& error) {
    discard();
    destination_ = destination;
    struct stat st {};
    bool exists = ::stat(destination.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        error = std::strerror(EISDIR);
        return false;
    }
    if (exists && !S_ISREG(st.st_mode)) {
        fd_ = ::open(destination.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd_ < 0) {
            error = std::strerror(errno);
            return false;
        }
        write_path_ = destination;
        return true;
    }
    // Through a link the file it names is replaced, not the link.
    struct stat link {};
    if (::lstat(destination.c_str(), &link) == 0 && S_ISLNK(link.st_mode) && exists) {
        if (char* real = ::realpath(destination.c_str(), nullptr)) {
            destination_ = real;
            std::free(real);
        }
    }

    const std::string stem =
        folder_of(destination_) + "/." + name_of(destination_) + ".part-" + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = stem + std::to_string(g_stage_counter.fetch_add(1));
        fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            write_path_ = std::move(candidate);
            staged_ = true;
            // A replaced file keeps its permissions.
            if (exists) ::fchmod(fd_, st.st_mode & 07777);
            return true;
        }
        if (errno != EEXIST) break;
    }
    error = std::strerror(errno);
    return false;
}

int StagedFile::take_fd() noexcept {
    return std::exchange(fd_, -1);
}

bool StagedFile::commit(std::string& error) {
    if (fd_ >= 0 && ::close(std::exchange(fd_, -1)) != 0) {
        error = std::strerror(errno);
        discard();
        return false;
    }
    if (!staged_) return true;
    if (::rename(write_path_.c_str(), destination_.c_str()) != 0) {
        error = std::strerror(errno);
        discard();
        return false;
    }
    staged_ = false;
    return true;
}

void StagedFile::discard() noexcept {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    if (staged_) ::unlink(write_path_.c_str());
    staged_ = false;
}

bool write_all(int fd, std::span<const std::uint8_t> bytes, std::string& error) {
    for (std::size_t at = 0; at < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + at, bytes.size() - at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = std::strerror(n < 0 ? errno : ENOSPC);
            return false;
        }
        at += static_cast<std::size_t>(n);
    }
    return true;
}

bool write_staged(const std::string& path, std::span<const std::uint8_t> bytes, std::string& error) {
    StagedFile file;
    return file.open(path, error) && write_all(file.fd(), bytes, error) && file.commit(error);
}

}  // namespace hoopcast
