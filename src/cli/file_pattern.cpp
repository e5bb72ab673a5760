// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/file_pattern.h"

#include <algorithm>

namespace quarnel::cli {

bool HasImeiField(std::string_view pattern) {
    return pattern.find(kImeiField) != std::string_view::npos;
}

bool FileClaims::Claim(const std::string& file, const std::string& path, std::string& holder) {
    std::lock_guard lock(m_mutex);
    const auto [at, added] = m_holders.try_emplace(file, path);
    holder = at->second;
    return added || at->second == path;
}

std::optional<Failure> NameFile(const std::string& pattern, DeviceRun& run, FileClaims& claims,
                                std::string& file) {
    if (!HasImeiField(pattern)) {
        file = pattern;
        return std::nullopt;
    }
    if (!run.Identity()) {
        if (auto failure = run.Identify()) {
            return failure;
        }
    }
    const std::string& imei = run.Identity()->imei;
    const bool usable = !imei.empty() && std::all_of(imei.begin(), imei.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
               c == '.' || c == '-' || c == '_';
    });
    if (!usable || imei == "." || imei == "..") {
        return Failure{ExitStatus::FileError,
                       "the tracker's IMEI \"" + imei + "\" cannot name a file"};
    }
    file = pattern;
    for (size_t at = file.find(kImeiField); at != std::string::npos;
         at = file.find(kImeiField, at + imei.size())) {
        file.replace(at, kImeiField.size(), imei);
    }
    std::string holder;
    const std::string path = run.Path().value_or("");
    if (!claims.Claim(file, path, holder)) {
        return Failure{ExitStatus::FileError, file + " is the file of the tracker at " + holder +
                                                  " already: both report the IMEI " + imei};
    }
    return std::nullopt;
}

}  // namespace quarnel::cli
