#include "cli/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

namespace quarnel::cli {

namespace {

std::string Reason(int error) {
    return std::generic_category().message(error);
}

std::string Describe(const std::filesystem::path& path, const char* what, int error) {
    return std::string("cannot ") + what + " " + path.string() + ": " + Reason(error);
}

bool WriteAll(int fd, std::string_view bytes, int& error) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            error = n < 0 ? errno : EIO;
            return false;
        }
    }
    return true;
}

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
    int fd = -1;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

}  // namespace

bool ReadWholeFile(const std::filesystem::path& path, size_t limit, std::string& bytes,
                   std::string& error) {
    bytes.clear();
    const int fd = OpenRetrying(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = Describe(path, "open", errno);
        return false;
    }
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            error = Describe(path, "read", errno);
            ::close(fd);
            return false;
        }
        if (n == 0) {
            break;
        }
        bytes.append(buffer.data(), static_cast<size_t>(n));
        if (bytes.size() >= limit) {
            bytes.resize(limit);
            break;
        }
    }
    ::close(fd);
    return true;
}

bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes, std::string& error) {
    const int fd = OpenRetrying(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = Describe(path, "create", errno);
        return false;
    }
    int code = 0;
    const bool written = WriteAll(fd, bytes, code);
    // close() may report what a write could not yet know (a network file system); it is
    // not retried on EINTR, since the descriptor is gone either way.
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        error = Describe(path, "write", written ? errno : code);
        return false;
    }
    return true;
}

bool AppendToFile(const std::filesystem::path& path, std::string_view bytes, std::string& error,
                  uint64_t* sizeBefore) {
    const int fd = OpenRetrying(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = Describe(path, "open", errno);
        return false;
    }
    struct stat info {};
    int code = 0;
    bool ok = ::fstat(fd, &info) == 0;
    if (!ok) {
        code = errno;
    }
    if (ok && sizeBefore != nullptr) {
        *sizeBefore = static_cast<uint64_t>(info.st_size);
    }
    ok = ok && WriteAll(fd, bytes, code);
    if (ok && !bytes.empty() && ::fsync(fd) != 0 && errno != EINVAL) {
        // EINVAL: a special file that cannot be synced; there is nothing to lose.
        ok = false;
        code = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        code = errno;
    }
    if (!ok) {
        error = Describe(path, "append to", code);
        return false;
    }
    return true;
}

bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes, std::string& error) {
    struct stat old {};
    if (::stat(path.c_str(), &old) != 0) {
        error = Describe(path, "replace", errno);
        return false;
    }
    std::string temp = path.string() + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        error = Describe(path.parent_path().empty() ? "." : path.parent_path(), "create a file in",
                         errno);
        return false;
    }
    int code = 0;
    bool ok = WriteAll(fd, bytes, code);
    if (ok && (::fchmod(fd, old.st_mode & 07777) != 0 || ::fsync(fd) != 0)) {
        ok = false;
        code = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        code = errno;
    }
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        code = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        error = Describe(path, "replace", code);
        return false;
    }
    return true;
}

}  // namespace quarnel::cli
