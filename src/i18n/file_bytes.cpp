#include "i18n/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quarnel {

namespace {

// Closes the descriptor on every way out. Don't retry close on EINTR: the descriptor is
// released either way on Linux.
class FdGuard {
public:
    explicit FdGuard(int fd) : m_fd(fd) {}
    ~FdGuard() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

}  // namespace

std::optional<std::string> ReadFileBytes(const std::filesystem::path& path) {
    // O_NONBLOCK so that a pipe named here cannot hang the window; it is refused below.
    FdGuard fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        return std::nullopt;
    }
    // Opening a folder for reading succeeds on Linux; only reading it fails.
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }

    std::string bytes;
    bytes.reserve(static_cast<size_t>(info.st_size));
    char chunk[16384];
    for (;;) {
        const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
        if (n > 0) {
            bytes.append(chunk, static_cast<size_t>(n));
        } else if (n == 0) {
            return bytes;
        } else if (errno != EINTR) {
            return std::nullopt;
        }
    }
}

}  // namespace quarnel
