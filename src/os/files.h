// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

// The operating system's file and process calls that differ between Linux and Windows, in
// one place: every subsystem calls these, never open/stat/rename directly. Failures set
// errno, as the C library's calls do, so callers report them the same way everywhere.
//
// On Windows a path's native form is UTF-16 and files are opened in binary mode (no line-end
// translation), not inherited by child processes, with 64-bit sizes throughout.
namespace quarnel::os {

// Paths as text: UTF-8 inside the program on every system. (Windows' narrow conversion
// would use the ANSI code page and lose every character outside it.)
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

enum class Access {
    Read,             // an existing file, for reading
    ReadNoWait,       // the same, but a pipe or device named here cannot block the open
    ReadWriteCreate,  // created when missing, kept when present
    ReadWriteEmpty,   // created when missing, emptied when present
    WriteEmpty,       // created when missing, emptied when present; write only
    Append,           // created when missing; every write goes to the end
};

// A file descriptor, or -1 with errno set. A folder: Linux opens it for reading (and fails
// to read it) and refuses writing with EISDIR; Windows refuses both, with EISDIR here.
int Open(const std::filesystem::path& path, Access access);

// Creates a new file beside `target` with a name no other file has (`temp` receives it),
// for writing, with the permissions a new file gets. A descriptor, or -1 with errno set.
int CreateBeside(const std::filesystem::path& target, std::filesystem::path& temp);

// One read or write, retried when a signal interrupts it: the count moved, or -1 with errno.
int64_t ReadSome(int fd, void* dest, size_t size);
int64_t WriteSome(int fd, const void* bytes, size_t size);

// Closes the descriptor (not retried: it is released either way). False with errno when
// the system reported an error for data written before.
bool Close(int fd);

// Makes the file's data reach the disk. False with errno (EINVAL for a file that cannot
// be synced, such as a device).
bool Sync(int fd);

struct FileInfo {
    bool regular = false;
    bool folder = false;
    uint64_t size = 0;
    unsigned permissions = 0;  // the POSIX permission bits; Windows' read-only flag as 0444
};
bool Stat(int fd, FileInfo& info);
bool Stat(const std::filesystem::path& path, FileInfo& info);

// Cuts the file to `size` bytes and moves the file position there.
bool Truncate(int fd, uint64_t size);

// Gives the file the permission bits of another (Windows keeps only the read-only flag).
bool SetPermissions(int fd, unsigned permissions);

// Puts `from` in the place of `to`, replacing a file there in one step, so a reader sees
// either the old file or the new one.
bool ReplaceByRename(const std::filesystem::path& from, const std::filesystem::path& to);

bool Remove(const std::filesystem::path& path);

// Whether the descriptor is a terminal (a console window on Windows).
bool IsTerminal(int fd);

// The calendar time of `time` (seconds since 1970, UTC) in UTC, worked out here rather than
// by the C library, whose range differs between systems (Windows' stops before 1970 and
// after 3000): the same text for the same time everywhere. Years outside int's range fail.
bool UtcCalendar(int64_t time, std::tm& out);

}  // namespace quarnel::os
