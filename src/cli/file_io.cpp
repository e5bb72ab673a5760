// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/file_io.h"

#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

#include "os/files.h"

namespace quarnel::cli {

namespace {

std::string Reason(int error) {
    return std::generic_category().message(error);
}

std::string Describe(const std::filesystem::path& path, const char* what, int error) {
    return std::string("cannot ") + what + " " + os::Utf8FromPath(path) + ": " + Reason(error);
}

bool WriteAll(int fd, std::string_view bytes, int& error) {
    while (!bytes.empty()) {
        const int64_t n = os::WriteSome(fd, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<size_t>(n));
        } else {
            error = n < 0 ? errno : EIO;
            return false;
        }
    }
    return true;
}

}  // namespace

bool ReadWholeFile(const std::filesystem::path& path, size_t limit, std::string& bytes,
                   std::string& error) {
    bytes.clear();
    const int fd = os::Open(path, os::Access::Read);
    if (fd < 0) {
        // A folder cannot be read, whether the system refused to open it (Windows) or
        // only to read it (Linux): the same message on both.
        error = Describe(path, errno == EISDIR ? "read" : "open", errno);
        return false;
    }
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        const int64_t n = os::ReadSome(fd, buffer.data(), buffer.size());
        if (n < 0) {
            error = Describe(path, "read", errno);
            os::Close(fd);
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
    os::Close(fd);
    return true;
}

bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes, std::string& error) {
    const int fd = os::Open(path, os::Access::WriteEmpty);
    if (fd < 0) {
        error = Describe(path, "create", errno);
        return false;
    }
    int code = 0;
    const bool written = WriteAll(fd, bytes, code);
    // Closing may report what a write could not yet know (a network file system).
    const bool closed = os::Close(fd);
    if (!written || !closed) {
        error = Describe(path, "write", written ? errno : code);
        return false;
    }
    return true;
}

bool AppendToFile(const std::filesystem::path& path, std::string_view bytes, std::string& error,
                  uint64_t* sizeBefore) {
    const int fd = os::Open(path, os::Access::Append);
    if (fd < 0) {
        error = Describe(path, "open", errno);
        return false;
    }
    os::FileInfo info;
    int code = 0;
    bool ok = os::Stat(fd, info);
    if (!ok) {
        code = errno;
    }
    if (ok && sizeBefore != nullptr) {
        *sizeBefore = info.size;
    }
    ok = ok && WriteAll(fd, bytes, code);
    if (ok && !bytes.empty() && !os::Sync(fd) && errno != EINVAL) {
        // EINVAL: a special file that cannot be synced; there is nothing to lose.
        ok = false;
        code = errno;
    }
    if (!os::Close(fd) && ok) {
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
    os::FileInfo old;
    if (!os::Stat(path, old)) {
        error = Describe(path, "replace", errno);
        return false;
    }
    std::filesystem::path temp;
    const int fd = os::CreateBeside(path, temp);
    if (fd < 0) {
        error = Describe(path.parent_path().empty() ? "." : path.parent_path(), "create a file in",
                         errno);
        return false;
    }
    int code = 0;
    bool ok = WriteAll(fd, bytes, code);
    if (ok && (!os::SetPermissions(fd, old.permissions) || !os::Sync(fd))) {
        ok = false;
        code = errno;
    }
    if (!os::Close(fd) && ok) {
        ok = false;
        code = errno;
    }
    if (ok && !os::ReplaceByRename(temp, path)) {
        ok = false;
        code = errno;
    }
    if (!ok) {
        os::Remove(temp);
        error = Describe(path, "replace", code);
        return false;
    }
    return true;
}

}  // namespace quarnel::cli
