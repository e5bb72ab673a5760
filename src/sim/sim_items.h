// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace quarnel::sim {

// The tracker's own view of its configuration items: how each one is stored and the name
// the state file uses for it.
enum class SimItemKind { Text, Words, Transport };

struct SimItem {
    int group;
    int index;
    std::string_view name;
    SimItemKind kind;
    size_t words;  // 32-bit words of a Words or Transport item
    bool writable;
};

std::span<const SimItem> SimItems();
const SimItem* FindSimItem(int group, int index);

// Group 2 indices 2-4 are the three phone lists; the state file names them so.
inline constexpr int kFirstPhoneListIndex = 2;
inline constexpr std::string_view kPhoneListNames[3] = {"scu", "sos", "sms"};

// Command items of group 0.
inline constexpr int kClosingWriteIndex = 0;
inline constexpr int kFactoryDefaultIndex = 14;

}  // namespace quarnel::sim
