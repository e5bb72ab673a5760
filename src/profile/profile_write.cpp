// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "profile/profile_write.h"

#include <cstdio>
#include <vector>

#include "os/files.h"
#include "profile/crc32.h"
#include "profile/profile_syntax.h"

namespace quarnel {

namespace {

std::vector<CanonicalEntry> Entries(const Profile& p, bool withBody) {
    std::vector<CanonicalEntry> entries{
        {kHeaderSection, kHeaderKeys[static_cast<size_t>(HeaderKey::Format)], p.format},
        {kHeaderSection, kHeaderKeys[static_cast<size_t>(HeaderKey::ReadAt)], p.readAt},
        {kHeaderSection, kHeaderKeys[static_cast<size_t>(HeaderKey::Imei)], p.imei},
        {kHeaderSection, kHeaderKeys[static_cast<size_t>(HeaderKey::Firmware)], p.firmware},
    };
    if (withBody) {
        for (size_t i = 0; i < ProfileKeys().size(); ++i) {
            entries.push_back({ProfileKeys()[i].section, ProfileKeys()[i].key, p.values[i]});
        }
    }
    return entries;
}

}  // namespace

std::string CanonicalText(std::span<const CanonicalEntry> entries) {
    std::string text;
    std::string_view section;
    for (const CanonicalEntry& e : entries) {
        if (text.empty() || e.section != section) {
            section = e.section;
            text += "[";
            text += section;
            text += "]\n";
        }
        text += FormatEntry(e.key, e.value);
        text += '\n';
    }
    return text;
}

std::string CanonicalBody(const Profile& profile) {
    return CanonicalText(Entries(profile, true));
}

std::string ChecksumOf(std::string_view canonicalBody) {
    char text[16];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(Crc32(canonicalBody)));
    return std::string("crc32:") + text;
}

std::string ProfileChecksum(const Profile& profile) {
    return ChecksumOf(CanonicalBody(profile));
}

std::string FormatProfile(const Profile& profile) {
    std::string text =
        "# Quarnel tracker profile: one tracker's configuration, to be written into others with\n"
        "# \"quarnelctl set FILE\". After editing it by hand, seal it again with\n"
        "# \"quarnelctl seal FILE\". The format is described in docs/profile-format.md.\n";
    text += "\n[";
    text += kHeaderSection;
    text += "]\n";
    for (const CanonicalEntry& e : Entries(profile, false)) {
        text += FormatEntry(e.key, e.value) + "\n";
    }
    text += std::string(kHeaderKeys[static_cast<size_t>(HeaderKey::Checksum)]) + " = " +
            ProfileChecksum(profile) + "\n";
    std::string_view section;
    for (size_t i = 0; i < ProfileKeys().size(); ++i) {
        const ProfileKey& key = ProfileKeys()[i];
        if (key.section != section) {
            section = key.section;
            text += "\n[";
            text += section;
            text += "]\n";
        }
        text += FormatEntry(key.key, profile.values[i]) + "\n";
    }
    return text;
}

std::u16string UtcTimeText(std::time_t time) {
    std::tm utc{};
    os::UtcCalendar(static_cast<int64_t>(time), utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return std::u16string(text, text + std::char_traits<char>::length(text));
}

}  // namespace quarnel
