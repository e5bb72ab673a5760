// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <climits>
#include <random>

#include "os/files.h"

namespace quarnel::os {

namespace {

int Flags(Access access) {
    // Binary, or the C library would turn every LF written into CR LF; not inherited, as
    // O_CLOEXEC keeps descriptors from child processes on Linux.
    const int always = _O_BINARY | _O_NOINHERIT;
    switch (access) {
        case Access::Read:
        case Access::ReadNoWait:  // Windows opens pipes and devices without waiting
            return always | _O_RDONLY;
        case Access::ReadWriteCreate:
            return always | _O_RDWR | _O_CREAT;
        case Access::ReadWriteEmpty:
            return always | _O_RDWR | _O_CREAT | _O_TRUNC;
        case Access::WriteEmpty:
            return always | _O_WRONLY | _O_CREAT | _O_TRUNC;
        case Access::Append:
            return always | _O_WRONLY | _O_CREAT | _O_APPEND;
    }
    return always | _O_RDONLY;
}

void Fill(const struct _stat64& s, FileInfo& info) {
    info.regular = (s.st_mode & _S_IFMT) == _S_IFREG;
    info.folder = (s.st_mode & _S_IFMT) == _S_IFDIR;
    info.size = static_cast<uint64_t>(s.st_size);
    info.permissions = (s.st_mode & _S_IWRITE) != 0 ? 0666u : 0444u;
}

// errno for the last Windows error of a call that is not the C library's.
void SetErrnoFromLastError() {
    switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            errno = ENOENT;
            break;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            errno = EACCES;
            break;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            errno = ENOSPC;
            break;
        case ERROR_NOT_SAME_DEVICE:
            errno = EXDEV;
            break;
        case ERROR_FILENAME_EXCED_RANGE:
            errno = ENAMETOOLONG;
            break;
        default:
            errno = EIO;
            break;
    }
}

// The C library's calls take their counts as unsigned int.
unsigned int Count(size_t size) {
    return size > INT_MAX ? static_cast<unsigned int>(INT_MAX) : static_cast<unsigned int>(size);
}

}  // namespace

int Open(const std::filesystem::path& path, Access access) {
    int fd = -1;
    // Shared for reading and writing, as a file opened on Linux is.
    const errno_t error =
        _wsopen_s(&fd, path.c_str(), Flags(access), _SH_DENYNO, _S_IREAD | _S_IWRITE);
    if (error != 0) {
        // Windows refuses to open a folder at all and says "access denied"; say what it is,
        // as Linux does.
        const DWORD attributes = GetFileAttributesW(path.c_str());
        const bool folder =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        errno = error == EACCES && folder ? EISDIR : error;
        return -1;
    }
    return fd;
}

int CreateBeside(const std::filesystem::path& target, std::filesystem::path& temp) {
    std::random_device seed;
    std::mt19937 pick(seed());
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring name = target.native() + L".";
        for (int i = 0; i < 6; ++i) {
            name += static_cast<wchar_t>(kLetters[pick() % (sizeof kLetters - 1)]);
        }
        int fd = -1;
        const errno_t error =
            _wsopen_s(&fd, name.c_str(), _O_BINARY | _O_NOINHERIT | _O_RDWR | _O_CREAT | _O_EXCL,
                      _SH_DENYNO, _S_IREAD | _S_IWRITE);
        if (error == 0) {
            temp = name;
            return fd;
        }
        if (error != EEXIST) {
            errno = error;
            return -1;
        }
    }
    errno = EEXIST;
    return -1;
}

int64_t ReadSome(int fd, void* dest, size_t size) {
    return _read(fd, dest, Count(size));
}

int64_t WriteSome(int fd, const void* bytes, size_t size) {
    return _write(fd, bytes, Count(size));
}

bool Close(int fd) {
    return _close(fd) == 0;
}

bool Sync(int fd) {
    return _commit(fd) == 0;
}

bool Stat(int fd, FileInfo& info) {
    struct _stat64 s {};
    if (_fstat64(fd, &s) != 0) {
        return false;
    }
    Fill(s, info);
    return true;
}

bool Stat(const std::filesystem::path& path, FileInfo& info) {
    // The C library's stat fails on a folder named with a separator at its end ("C:\x\"),
    // which Linux accepts; a root ("C:\") keeps its separator.
    std::wstring name = path.native();
    while (name.size() > 3 && (name.back() == L'\\' || name.back() == L'/')) {
        name.pop_back();
    }
    struct _stat64 s {};
    if (_wstat64(name.c_str(), &s) != 0) {
        return false;
    }
    Fill(s, info);
    return true;
}

bool Truncate(int fd, uint64_t size) {
    const errno_t error = _chsize_s(fd, static_cast<__int64>(size));
    if (error != 0) {
        errno = error;
        return false;
    }
    return _lseeki64(fd, static_cast<__int64>(size), SEEK_SET) >= 0;
}

bool SetPermissions(int fd, unsigned permissions) {
    // Windows keeps one bit of them, read-only, and sets it through the path; a file we
    // are writing is writable, which a new file is already.
    (void)fd;
    (void)permissions;
    return true;
}

bool ReplaceByRename(const std::filesystem::path& from, const std::filesystem::path& to) {
    // rename() refuses to replace a file on Windows; MoveFileEx does it in one step.
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    SetErrnoFromLastError();
    return false;
}

bool Remove(const std::filesystem::path& path) {
    return _wunlink(path.c_str()) == 0;
}

bool IsTerminal(int fd) {
    return _isatty(fd) != 0;
}

}  // namespace quarnel::os
