// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "params/param_catalogue.h"

namespace quarnel {

// The keys of a profile: one for every value the window holds and Set Parameter writes,
// named after the item, in the order a profile lists them.

enum class ValueKind : uint8_t {
    Text,       // the text of an edit that holds a text item
    Integer,    // the text of an edit that holds one element of an integer list
    Switch,     // a check box of a switch mask: on | off
    Mode,       // the Mode combo box's selection: off | light_sleep | deep_sleep | scheduled | none
    Transport,  // the TCP, UDP and Reply check boxes: tcp | udp | udp+reply
    Phones,     // a phone-list edit, a comma list as the window shows it
};

struct ProfileKey {
    std::string_view section;
    std::string_view key;
    ValueKind kind;
    int control;      // the control that holds the value; Transport: the TCP check box
    bool digitsOnly;  // the window's edit takes nothing but digits from the keyboard
};

inline constexpr std::string_view kHeaderSection = "profile";

// The header's keys, in the order a profile lists them.
enum class HeaderKey : uint8_t { Format, ReadAt, Imei, Firmware, Checksum };
inline constexpr std::array<std::string_view, 5> kHeaderKeys{"format", "read_at", "imei",
                                                             "firmware", "checksum"};

// The body's sections, in order (the header's comes before them).
std::span<const std::string_view> BodySections();

// Every key of the body, section by section.
std::span<const ProfileKey> ProfileKeys();

// The key's position in ProfileKeys(), or -1.
int FindProfileKey(std::string_view section, std::string_view key);

// The catalogue item whose controls include the key's control.
const ParamItem& ItemOf(const ProfileKey& key);

// Characters the key's edit takes from the keyboard (the item's limit); 0: no limit.
int KeyboardLimit(const ProfileKey& key);

// The Mode combo box's four entries in their order, and "none" for no selection.
inline constexpr std::array<std::string_view, 4> kModeNames{"off", "light_sleep", "deep_sleep",
                                                            "scheduled"};
inline constexpr std::string_view kNoMode = "none";

// The window's Mode entries as the English language file gives them, in the same order.
inline constexpr std::array<std::u16string_view, 4> kModeEntries{u"Off", u"Light Sleep",
                                                                 u"Deep Sleep", u"Scheduled"};

// The address modes the TCP, UDP and Reply boxes can stand for after a read or a click.
inline constexpr std::string_view kTransportTcp = "tcp";
inline constexpr std::string_view kTransportUdp = "udp";
inline constexpr std::string_view kTransportUdpReply = "udp+reply";

inline constexpr std::string_view kOn = "on";
inline constexpr std::string_view kOff = "off";

}  // namespace quarnel
