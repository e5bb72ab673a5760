// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace quarnel::cli {

// Whole-file reads and writes for profiles, each failure with its reason in plain English
// ("No such file or directory").

// Reads at most `limit` bytes of `path` (enough to tell that a file is too large).
bool ReadWholeFile(const std::filesystem::path& path, size_t limit, std::string& bytes,
                   std::string& error);

// Creates or empties `path` and writes `bytes`; true only when every byte reached it and
// it closed without error (so a full disk, or /dev/full, is an error).
bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes, std::string& error);

// Appends `bytes` to `path` (created if need be) in one write and syncs it, so a record
// written before a crash or a pulled plug is kept. Returns the file's size before, in
// `sizeBefore` when given.
bool AppendToFile(const std::filesystem::path& path, std::string_view bytes, std::string& error,
                  uint64_t* sizeBefore = nullptr);

// Replaces the file at `path` by `bytes` all at once: written to a new file beside it,
// synced, given the old file's permissions and renamed over it. A failure leaves the old
// file as it was.
bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes, std::string& error);

}  // namespace quarnel::cli
