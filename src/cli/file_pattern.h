// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "cli/device_run.h"

namespace quarnel::cli {

// Output files of a command run on several trackers name each tracker's file with a
// pattern: "profiles/{imei}.ini".
inline constexpr std::string_view kImeiField = "{imei}";

bool HasImeiField(std::string_view pattern);

// The names handed out in one run, so that two trackers that report the same IMEI never
// write into one file. Shared by the workers of a run.
class FileClaims {
public:
    // True when `file` is free (it is then `path`'s); otherwise the path holding it.
    bool Claim(const std::string& file, const std::string& path, std::string& holder);

private:
    std::mutex m_mutex;
    std::map<std::string, std::string> m_holders;
};

// The file `pattern` names for the tracker of `run`: every {imei} replaced by its IMEI,
// which is read first (info's read) when it is not known yet. A pattern without {imei} is
// the file itself. Nothing, with the failure, when the IMEI cannot be read, cannot be part
// of a file name (empty, or other than letters, digits, '.', '-' and '_'), or names a file
// another tracker of the run has.
std::optional<Failure> NameFile(const std::string& pattern, DeviceRun& run, FileClaims& claims,
                                std::string& file);

}  // namespace quarnel::cli
