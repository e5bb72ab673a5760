// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace quarnel::test {

// Makes a named pipe (a fifo) at `path`: a file that blocks whoever opens it for reading
// until a writer comes. False where the system has none in its file system (Windows); a
// test then skips the case and says why.
inline bool MakeNamedPipe(const std::filesystem::path& path) {
#ifdef _WIN32
    (void)path;
    return false;
#else
    return ::mkfifo(path.c_str(), 0600) == 0;
#endif
}

inline constexpr const char* kNoNamedPipes = "Windows has no named pipes in the file system";

}  // namespace quarnel::test
