// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "os/files.h"

namespace quarnel::os {

namespace {

int Flags(Access access) {
    switch (access) {
        case Access::Read:
            return O_RDONLY;
        case Access::ReadNoWait:
            return O_RDONLY | O_NONBLOCK;
        case Access::ReadWriteCreate:
            return O_RDWR | O_CREAT;
        case Access::ReadWriteEmpty:
            return O_RDWR | O_CREAT | O_TRUNC;
        case Access::WriteEmpty:
            return O_WRONLY | O_CREAT | O_TRUNC;
        case Access::Append:
            return O_WRONLY | O_CREAT | O_APPEND;
    }
    return O_RDONLY;
}

void Fill(const struct stat& s, FileInfo& info) {
    info.regular = S_ISREG(s.st_mode);
    info.folder = S_ISDIR(s.st_mode);
    info.size = static_cast<uint64_t>(s.st_size);
    info.permissions = static_cast<unsigned>(s.st_mode & 07777);
}

}  // namespace

int Open(const std::filesystem::path& path, Access access) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), Flags(access) | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

int CreateBeside(const std::filesystem::path& target, std::filesystem::path& temp) {
    std::string name = target.native() + ".XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0) {
        temp = name;
    }
    return fd;
}

int64_t ReadSome(int fd, void* dest, size_t size) {
    ssize_t n = 0;
    do {
        n = ::read(fd, dest, size);
    } while (n < 0 && errno == EINTR);
    return n;
}

int64_t WriteSome(int fd, const void* bytes, size_t size) {
    ssize_t n = 0;
    do {
        n = ::write(fd, bytes, size);
    } while (n < 0 && errno == EINTR);
    return n;
}

bool Close(int fd) {
    // Not retried on EINTR: Linux releases the descriptor either way.
    return ::close(fd) == 0 || errno == EINTR;
}

bool Sync(int fd) {
    return ::fsync(fd) == 0;
}

bool Stat(int fd, FileInfo& info) {
    struct stat s {};
    if (::fstat(fd, &s) != 0) {
        return false;
    }
    Fill(s, info);
    return true;
}

bool Stat(const std::filesystem::path& path, FileInfo& info) {
    struct stat s {};
    if (::stat(path.c_str(), &s) != 0) {
        return false;
    }
    Fill(s, info);
    return true;
}

bool Truncate(int fd, uint64_t size) {
    return ::ftruncate(fd, static_cast<off_t>(size)) == 0 &&
           ::lseek(fd, static_cast<off_t>(size), SEEK_SET) >= 0;
}

bool SetPermissions(int fd, unsigned permissions) {
    return ::fchmod(fd, static_cast<mode_t>(permissions & 07777)) == 0;
}

bool ReplaceByRename(const std::filesystem::path& from, const std::filesystem::path& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool Remove(const std::filesystem::path& path) {
    return ::unlink(path.c_str()) == 0;
}

bool IsTerminal(int fd) {
    return ::isatty(fd) == 1;
}

}  // namespace quarnel::os
