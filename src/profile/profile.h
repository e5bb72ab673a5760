// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <vector>

#include "profile/profile_keys.h"

namespace quarnel {

// The profile format this program writes and reads.
inline constexpr std::u16string_view kProfileFormat = u"1";

// A tracker's configuration as the window's fields hold it, and where it came from.
struct Profile {
    // Header: the format, when the configuration was read (UTC, "2025-06-01T12:00:00Z")
    // and from which tracker.
    std::u16string format{kProfileFormat};
    std::u16string readAt;
    std::u16string imei;
    std::u16string firmware;

    // One value per ProfileKeys() entry, in its order: the field's text for edits, and the
    // names of ValueKind for check boxes and the Mode combo box.
    std::vector<std::u16string> values = std::vector<std::u16string>(ProfileKeys().size());

    bool operator==(const Profile&) const = default;
};

// A problem found in a profile file. Line 0 stands for the file as a whole.
struct ProfileProblem {
    int line;
    std::string text;
};

}  // namespace quarnel
