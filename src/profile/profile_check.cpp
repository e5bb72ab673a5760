// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "profile/profile_check.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <map>

#include "form/utf8.h"
#include "params/param_catalogue.h"
#include "params/param_convert.h"
#include "params/phone_list.h"
#include "profile/profile_syntax.h"
#include "profile/profile_write.h"

namespace quarnel {

namespace {

constexpr size_t kHeaderCount = kHeaderKeys.size();
constexpr size_t kChecksumKey = static_cast<size_t>(HeaderKey::Checksum);

std::string Quoted(std::u16string_view value) {
    return "\"" + EncodeUtf8(value) + "\"";
}

std::string Number(size_t n) {
    return std::to_string(n);
}

// The first character the tracker cannot store, or one the window's field cannot take.
std::optional<std::string> CharacterProblem(std::u16string_view value) {
    for (size_t i = 0; i < value.size();) {
        size_t units = 0;
        const char32_t cp = CodePointAt(value, i, units);
        char code[16];
        if (cp > 0xFF) {
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
            return "holds " + EncodeUtf8(value.substr(i, units)) + " (" + code +
                   "), which the tracker cannot store: it takes the characters U+0000 to "
                   "U+00FF only";
        }
        if (cp < 0x20 || cp == 0x7F) {
            std::snprintf(code, sizeof code, "\\x%02X", static_cast<unsigned>(cp));
            return std::string("holds a control character (") + code +
                   "), which the window's field cannot take";
        }
        i += units;
    }
    return std::nullopt;
}

std::optional<std::string> LengthProblem(std::u16string_view value, size_t limit,
                                         const char* what) {
    if (value.size() <= limit) {
        return std::nullopt;
    }
    return "is " + Number(value.size()) + " characters long; " + what + " " + Number(limit);
}

bool AllDigits(std::u16string_view s) {
    return std::all_of(s.begin(), s.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

std::optional<std::string> CheckText(const ProfileKey& key, std::u16string_view value) {
    if (key.digitsOnly && !AllDigits(value)) {
        return std::string("takes digits only, as the window's field does");
    }
    const int limit = KeyboardLimit(key);
    if (limit > 0) {
        if (auto p = LengthProblem(value, static_cast<size_t>(limit),
                                   "the window's field takes at most")) {
            return p;
        }
    }
    return LengthProblem(value, kMaxTextBytes, "one report carries at most");
}

std::optional<std::string> CheckInteger(const ProfileKey& key, std::u16string_view value) {
    std::u16string_view digits = value;
    const bool negative = !digits.empty() && digits.front() == u'-';
    if (negative && !key.digitsOnly) {
        digits.remove_prefix(1);
    }
    if (digits.empty() || !AllDigits(digits)) {
        return std::string(key.digitsOnly ? "needs a whole number of digits only, as the "
                                            "window's field takes"
                                          : "needs a whole number");
    }
    const int limit = KeyboardLimit(key);
    if (limit > 0) {
        if (auto p = LengthProblem(value, static_cast<size_t>(limit),
                                   "the window's field takes at most")) {
            return p;
        }
    }
    int64_t magnitude = 0;
    for (const char16_t c : digits) {
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > int64_t{std::numeric_limits<int32_t>::max()} + 1) {
            break;
        }
    }
    const int64_t number = negative ? -magnitude : magnitude;
    if (number < std::numeric_limits<int32_t>::min() ||
        number > std::numeric_limits<int32_t>::max()) {
        return std::string("is beyond what the tracker stores (-2147483648 to 2147483647)");
    }
    return std::nullopt;
}

std::optional<std::string> CheckPhones(std::u16string_view value) {
    const std::string bytes = ToDeviceBytes(value);
    // The numbers as the window cuts the text: a trailing comma ends the last one.
    size_t numbers = bytes.empty() ? 0 : 1;
    for (size_t i = 0; i < bytes.size(); ++i) {
        numbers += bytes[i] == ',' && i + 1 < bytes.size();
    }
    if (numbers > kPhoneEntries) {
        return "holds " + Number(numbers) + " numbers; the tracker keeps " + Number(kPhoneEntries) +
               " (the window would drop the rest)";
    }
    const PhoneListPlan plan = PlanPhoneList(bytes);
    if (plan.abandoned) {
        const size_t number = plan.writes.size() + 1;
        const size_t start =
            plan.writes.empty() ? 0 : plan.writes.back().offset + plan.writes.back().length + 1;
        const size_t length = bytes.find(',', start) - start;
        return "number " + Number(number) + " is " + Number(length) +
               " characters long; one followed by a comma may have at most " +
               Number(kMaxCommaEntry) + " (the window would stop writing the list there)";
    }
    if (const EntryWrite* w = OversizedEntry(plan)) {
        return "the last number is " + Number(w->length) + " characters long; at most " +
               Number(kMaxEntryBytes) + " fit one report";
    }
    return std::nullopt;
}

template <size_t N>
bool OneOf(std::u16string_view value, const std::array<std::string_view, N>& names) {
    return std::any_of(names.begin(), names.end(), [&](std::string_view n) {
        return value.size() == n.size() && std::equal(n.begin(), n.end(), value.begin());
    });
}

void Add(std::vector<ProfileProblem>& problems, int line, std::string text) {
    problems.push_back({line, std::move(text)});
}

std::string Where(std::string_view section, std::string_view key) {
    return "[" + std::string(section) + "] " + std::string(key);
}

bool WellFormedChecksum(std::u16string_view text) {
    constexpr std::u16string_view prefix = u"crc32:";
    if (text.size() != prefix.size() + 8 || text.substr(0, prefix.size()) != prefix) {
        return false;
    }
    return std::all_of(text.begin() + prefix.size(), text.end(), [](char16_t c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
    });
}

}  // namespace

std::optional<std::string> CheckValue(const ProfileKey& key, std::u16string_view value) {
    switch (key.kind) {
        case ValueKind::Text:
        case ValueKind::Integer:
        case ValueKind::Phones:
            if (auto p = CharacterProblem(value)) {
                return p;
            }
            return key.kind == ValueKind::Text      ? CheckText(key, value)
                   : key.kind == ValueKind::Integer ? CheckInteger(key, value)
                                                    : CheckPhones(value);
        case ValueKind::Switch:
            if (OneOf(value, std::array{kOn, kOff})) {
                return std::nullopt;
            }
            return std::string("must be on or off");
        case ValueKind::Mode:
            if (OneOf(value, kModeNames) || OneOf(value, std::array{kNoMode})) {
                return std::nullopt;
            }
            return std::string("must be off, light_sleep, deep_sleep, scheduled or none");
        case ValueKind::Transport:
            if (OneOf(value, std::array{kTransportTcp, kTransportUdp, kTransportUdpReply})) {
                return std::nullopt;
            }
            return std::string("must be tcp, udp or udp+reply");
    }
    return std::nullopt;
}

CheckedProfile CheckProfile(std::string_view fileBytes, ChecksumRule rule) {
    CheckedProfile out;
    out.keyLines.assign(ProfileKeys().size(), 0);
    if (fileBytes.size() > kMaxProfileBytes) {
        Add(out.problems, 0, "the file is larger than 1 MiB, far more than any profile");
        return out;
    }
    ProfileSyntax syntax = ParseProfileSyntax(fileBytes);
    out.problems = std::move(syntax.problems);

    // Sections: the header's and the body's, each once.
    std::map<std::string, int> sectionLines;
    const auto known = [](const std::string& name) {
        return name == kHeaderSection || std::find(BodySections().begin(), BodySections().end(),
                                                   name) != BodySections().end();
    };
    for (const auto& s : syntax.sections) {
        if (!known(s.name)) {
            Add(out.problems, s.line, "unknown section [" + s.name + "]");
        } else if (auto [it, fresh] = sectionLines.emplace(s.name, s.line); !fresh) {
            Add(out.problems, s.line,
                "section [" + s.name + "] appears twice (first at line " +
                    std::to_string(it->second) + ")");
        }
    }

    // Entries: each known key once.
    std::array<std::u16string, kHeaderCount> header;
    std::array<int, kHeaderCount> headerLines{};
    out.headerEndLine = sectionLines.count(std::string(kHeaderSection)) != 0
                            ? sectionLines[std::string(kHeaderSection)]
                            : 0;
    for (auto& e : syntax.entries) {
        if (!known(e.section)) {
            continue;  // the section is reported already
        }
        int* line = nullptr;
        std::u16string* value = nullptr;
        if (e.section == kHeaderSection) {
            const auto it = std::find(kHeaderKeys.begin(), kHeaderKeys.end(), e.key);
            if (it != kHeaderKeys.end()) {
                const size_t k = static_cast<size_t>(it - kHeaderKeys.begin());
                line = &headerLines[k];
                value = &header[k];
            }
            out.headerEndLine = std::max(out.headerEndLine, e.line);
        } else if (const int k = FindProfileKey(e.section, e.key); k >= 0) {
            line = &out.keyLines[static_cast<size_t>(k)];
            value = &out.profile.values[static_cast<size_t>(k)];
        }
        if (line == nullptr) {
            Add(out.problems, e.line, "unknown key " + Where(e.section, e.key));
        } else if (*line != 0) {
            Add(out.problems, e.line,
                Where(e.section, e.key) + " appears twice (first at line " + std::to_string(*line) +
                    ")");
        } else {
            *line = e.line;
            *value = std::move(e.value);
        }
    }

    // Missing sections and keys: a missing section is one problem, not one per key.
    const auto missing = [&](std::string_view section, std::string_view key) {
        const auto it = sectionLines.find(std::string(section));
        if (it != sectionLines.end()) {
            Add(out.problems, it->second, "missing key " + Where(section, key));
        }
    };
    for (const std::string_view section : BodySections()) {
        if (sectionLines.count(std::string(section)) == 0) {
            Add(out.problems, 0, "missing section [" + std::string(section) + "]");
        }
    }
    if (sectionLines.count(std::string(kHeaderSection)) == 0) {
        Add(out.problems, 0, "missing section [" + std::string(kHeaderSection) + "]");
    }
    for (size_t k = 0; k < kChecksumKey; ++k) {
        if (headerLines[k] == 0) {
            missing(kHeaderSection, kHeaderKeys[k]);
        }
    }

    // Values.
    const size_t format = static_cast<size_t>(HeaderKey::Format);
    if (headerLines[format] != 0 && header[format] != kProfileFormat) {
        Add(out.problems, headerLines[format],
            "[profile] format " + Quoted(header[format]) +
                " is not one this program reads (it reads format 1)");
    }
    for (size_t k = 0; k < ProfileKeys().size(); ++k) {
        const ProfileKey& key = ProfileKeys()[k];
        if (out.keyLines[k] == 0) {
            missing(key.section, key.key);
        } else if (auto p = CheckValue(key, out.profile.values[k])) {
            Add(out.problems, out.keyLines[k],
                Where(key.section, key.key) + " = " + FormatValue(out.profile.values[k]) + ": " +
                    *p);
        }
    }
    out.profile.format = header[format];
    out.profile.readAt = header[static_cast<size_t>(HeaderKey::ReadAt)];
    out.profile.imei = header[static_cast<size_t>(HeaderKey::Imei)];
    out.profile.firmware = header[static_cast<size_t>(HeaderKey::Firmware)];

    // The checksum, over the keys that are there: a cut file then differs as well as
    // missing its last keys.
    std::vector<CanonicalEntry> present;
    for (size_t k = 0; k < kChecksumKey; ++k) {
        if (headerLines[k] != 0) {
            present.push_back({kHeaderSection, kHeaderKeys[k], header[k]});
        }
    }
    for (size_t k = 0; k < ProfileKeys().size(); ++k) {
        if (out.keyLines[k] != 0) {
            present.push_back(
                {ProfileKeys()[k].section, ProfileKeys()[k].key, out.profile.values[k]});
        }
    }
    out.checksum = ChecksumOf(CanonicalText(present));
    out.checksumLine = headerLines[kChecksumKey];
    if (out.checksumLine != 0) {
        const std::u16string& recorded = header[kChecksumKey];
        const bool matches = WellFormedChecksum(recorded) && EncodeUtf8(recorded) == out.checksum;
        out.seal = matches ? SealState::Matches : SealState::Differs;
    }
    if (rule == ChecksumRule::Enforce) {
        if (out.seal == SealState::Missing) {
            const auto it = sectionLines.find(std::string(kHeaderSection));
            Add(out.problems, it == sectionLines.end() ? 0 : it->second,
                "[profile] has no checksum: the profile is not sealed");
        } else if (out.seal == SealState::Differs) {
            Add(out.problems, out.checksumLine,
                "[profile] checksum does not match the values: the file is damaged, or was "
                "edited after it was sealed");
        }
    }

    std::stable_sort(
        out.problems.begin(), out.problems.end(),
        [](const ProfileProblem& a, const ProfileProblem& b) { return a.line < b.line; });
    return out;
}

std::string SealProfileText(std::string_view fileBytes, const CheckedProfile& checked) {
    const std::string line = std::string(kHeaderKeys[kChecksumKey]) + " = " + checked.checksum;
    std::string out;
    out.reserve(fileBytes.size() + line.size() + 2);
    int lineNo = 0;
    bool done = false;
    while (!fileBytes.empty()) {
        ++lineNo;
        const size_t end = fileBytes.find('\n');
        const std::string_view whole =
            fileBytes.substr(0, end == std::string_view::npos ? fileBytes.size() : end + 1);
        fileBytes.remove_prefix(whole.size());
        std::string_view ending = whole.ends_with("\r\n") ? "\r\n"
                                  : whole.ends_with("\n") ? "\n"
                                                          : "";
        if (lineNo == checked.checksumLine) {
            // Line 1 may carry the byte-order mark; the checksum is never on it.
            out += line;
            out += ending;
            done = true;
            continue;
        }
        out += whole;
        if (!done && checked.checksumLine == 0 && lineNo == checked.headerEndLine) {
            if (ending.empty()) {
                ending = "\n";
                out += ending;
            }
            out += line;
            out += ending;
            done = true;
        }
    }
    return out;
}

}  // namespace quarnel
