// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "profile/profile.h"

namespace quarnel {

// A profile is a few kilobytes; anything much larger is not one.
inline constexpr size_t kMaxProfileBytes = 1 << 20;

enum class SealState {
    Missing,  // no checksum line
    Matches,  // the checksum is that of the values
    Differs,  // damaged, cut, or edited after sealing (or a checksum that is no checksum)
};

// Whether a checksum that is missing or does not match is a problem. `set --force` and
// `seal` look past it; everything else in the profile is checked all the same.
enum class ChecksumRule { Enforce, Ignore };

// A profile file, checked whole.
struct CheckedProfile {
    Profile profile;            // every value found; usable only when `problems` is empty
    std::vector<int> keyLines;  // the line of each ProfileKeys() entry; 0 when missing
    std::vector<ProfileProblem> problems;  // every problem, by line
    SealState seal = SealState::Missing;
    int checksumLine = 0;   // the checksum's line, 0 when there is none
    int headerEndLine = 0;  // the header's last line, where a missing checksum is put
    std::string checksum;   // the checksum of the values found, as a sealed profile records it

    bool Usable() const { return problems.empty(); }
};

// Checks everything: the syntax, unknown, repeated and missing sections and keys, the
// format, every value against what its field in the window could hold and what the
// tracker can store, and (with ChecksumRule::Enforce) the checksum.
CheckedProfile CheckProfile(std::string_view fileBytes, ChecksumRule rule);

// One value of the body against what its field could hold from the keyboard and what can
// travel to the tracker; nothing when it is fine, else what is wrong with it.
std::optional<std::string> CheckValue(const ProfileKey& key, std::u16string_view value);

// The file's bytes with the checksum line holding `checked.checksum`; a profile without a
// checksum line gets one after the header's last line. Every other byte stays as it was.
std::string SealProfileText(std::string_view fileBytes, const CheckedProfile& checked);

}  // namespace quarnel
