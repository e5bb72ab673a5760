// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "profile/profile_form.h"

#include <algorithm>

#include "form/control_ids.h"
#include "params/param_catalogue.h"
#include "params/param_convert.h"
#include "params/phone_list.h"

namespace quarnel {

namespace {

std::u16string Wide(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

bool Is(std::u16string_view value, std::string_view name) {
    return value.size() == name.size() && std::equal(name.begin(), name.end(), value.begin());
}

int ModeIndex(std::u16string_view value) {
    for (size_t i = 0; i < kModeNames.size(); ++i) {
        if (Is(value, kModeNames[i])) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// How a read leaves a phone list: every entry that is not empty, each followed by a comma.
std::u16string PhoneListAfterReadBack(std::u16string_view value) {
    const std::string bytes = ToDeviceBytes(value);
    std::u16string shown;
    for (const EntryWrite& w : PlanPhoneList(bytes).writes) {
        if (w.clearing || w.length == 0) {
            continue;
        }
        // Each byte is the character of the same code.
        for (size_t k = w.offset; k < w.offset + w.length; ++k) {
            shown.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[k])));
        }
        shown.push_back(u',');
    }
    return shown;
}

}  // namespace

void FillForm(const Profile& profile, FormAccess& form) {
    for (size_t i = 0; i < ProfileKeys().size(); ++i) {
        const ProfileKey& key = ProfileKeys()[i];
        const std::u16string& value = profile.values[i];
        switch (key.kind) {
            case ValueKind::Text:
            case ValueKind::Integer:
            case ValueKind::Phones:
                form.SetText(key.control, value);
                break;
            case ValueKind::Switch:
                form.SetChecked(key.control, Is(value, kOn));
                break;
            case ValueKind::Mode:
                form.SetSelection(key.control, ModeIndex(value));
                break;
            case ValueKind::Transport: {
                const std::span<const int> boxes = ItemOf(key).controls;  // TCP, UDP, Reply
                const bool tcp = Is(value, kTransportTcp);
                form.SetChecked(boxes[0], tcp);
                form.SetChecked(boxes[1], !tcp);
                form.SetChecked(boxes[2], Is(value, kTransportUdpReply));
                break;
            }
        }
    }
}

Profile ProfileFromForm(FormAccess& form) {
    Profile profile;
    profile.imei = form.GetText(ctl::ImeiDisplay);
    profile.firmware = form.GetText(ctl::VersionEdit);
    for (size_t i = 0; i < ProfileKeys().size(); ++i) {
        const ProfileKey& key = ProfileKeys()[i];
        std::u16string& value = profile.values[i];
        switch (key.kind) {
            case ValueKind::Text:
            case ValueKind::Integer:
            case ValueKind::Phones:
                value = form.GetText(key.control);
                break;
            case ValueKind::Switch:
                value = Wide(form.IsChecked(key.control) ? kOn : kOff);
                break;
            case ValueKind::Mode: {
                const int selection = form.GetSelection(key.control);
                value = Wide(selection >= 0 && selection < static_cast<int>(kModeNames.size())
                                 ? kModeNames[static_cast<size_t>(selection)]
                                 : kNoMode);
                break;
            }
            case ValueKind::Transport: {
                // As Set Parameter sends the boxes: the TCP box itself is not looked at.
                // Reply without UDP cannot come from a read or a click; the tracker would
                // read that code back as UDP.
                const std::span<const int> boxes = ItemOf(key).controls;
                const bool udp = form.IsChecked(boxes[1]);
                const bool reply = form.IsChecked(boxes[2]);
                value = Wide(!udp && !reply ? kTransportTcp
                             : udp && reply ? kTransportUdpReply
                                            : kTransportUdp);
                break;
            }
        }
    }
    return profile;
}

std::u16string ValueAfterReadBack(const ProfileKey& key, std::u16string_view value) {
    switch (key.kind) {
        case ValueKind::Integer:
            return DecimalText(AtoiRule(value));
        case ValueKind::Phones:
            return PhoneListAfterReadBack(value);
        default:
            return std::u16string(value);
    }
}

std::vector<ValueDifference> CompareAfterWrite(const Profile& written, const Profile& readBack) {
    std::vector<ValueDifference> differences;
    for (size_t i = 0; i < ProfileKeys().size(); ++i) {
        std::u16string expected = ValueAfterReadBack(ProfileKeys()[i], written.values[i]);
        if (expected != readBack.values[i]) {
            differences.push_back({i, std::move(expected), readBack.values[i]});
        }
    }
    return differences;
}

}  // namespace quarnel
