// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gpslog/log_messages.h"

#include <cerrno>
#include <string>

namespace quarnel::msg {

namespace {

std::u16string Widen(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

std::string Records(uint32_t n) {
    return std::to_string(n) + (n == 1 ? " record was" : " records were");
}

// The C library's texts follow the user's locale and encoding; the messages stay English
// and plain, like the system's other fixed messages.
std::string Reason(const std::error_code& error) {
    switch (error.value()) {
        case ENOSPC:
            return "the disk is full";
#ifdef EDQUOT  // Windows has no disk quotas in errno
        case EDQUOT:
            return "the disk quota is used up";
#endif
        case EFBIG:
            return "the file is too large";
        case EIO:
            return "input/output error";
        case EROFS:
            return "the file system is read-only";
        case ENOENT:
            return "the folder does not exist";
        case ENOTDIR:
            return "a part of the path is not a folder";
        case EACCES:
        case EPERM:
            return "permission denied";
        case EISDIR:
            return "it is a folder";
        default:
            return "system error " + std::to_string(error.value());
    }
}

}  // namespace

std::u16string LogStoppedAnswering(uint32_t record, uint32_t total, uint32_t saved) {
    return Widen("The tracker stopped answering at record " + std::to_string(record) + " of " +
                 std::to_string(total) + ". " + Records(saved) + " saved.");
}

std::u16string LogFileWriteFailed(const std::error_code& error, uint32_t saved) {
    return Widen("The log file could not be written (" + Reason(error) +
                 "). The download was stopped; " + Records(saved) + " saved.");
}

std::u16string LogFileNotCreated(const std::error_code& error) {
    return Widen("The log file could not be created (" + Reason(error) + ").");
}

}  // namespace quarnel::msg
