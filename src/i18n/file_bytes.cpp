// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "i18n/file_bytes.h"

#include "os/files.h"

namespace quarnel {

namespace {

// Closes the descriptor on every way out.
class FdGuard {
public:
    explicit FdGuard(int fd) : m_fd(fd) {}
    ~FdGuard() {
        if (m_fd >= 0) {
            os::Close(m_fd);
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
    // Without waiting, so that a pipe named here cannot hang the window; it is refused
    // below.
    FdGuard fd(os::Open(path, os::Access::ReadNoWait));
    if (fd.get() < 0) {
        return std::nullopt;
    }
    // Linux opens a folder for reading (Windows refuses); only regular files are read.
    os::FileInfo info;
    if (!os::Stat(fd.get(), info) || !info.regular) {
        return std::nullopt;
    }

    std::string bytes;
    bytes.reserve(static_cast<size_t>(info.size));
    char chunk[16384];
    for (;;) {
        const int64_t n = os::ReadSome(fd.get(), chunk, sizeof chunk);
        if (n > 0) {
            bytes.append(chunk, static_cast<size_t>(n));
        } else if (n == 0) {
            return bytes;
        } else {
            return std::nullopt;
        }
    }
}

}  // namespace quarnel
