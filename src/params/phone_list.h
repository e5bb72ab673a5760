// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace quarnel {

// One write of a phone-list entry.
struct EntryWrite {
    uint32_t entry;  // 0-9
    bool clearing;   // no text left: the entry is cleared (`len` 13, a lone zero byte)
    size_t offset;   // the entry's text: `length` bytes of the list's text from `offset`
    size_t length;
};

// How a list's text is cut into the writes of its entries.
struct PhoneListPlan {
    std::vector<EntryWrite> writes;  // in the order they are sent
    // The list stopped at an entry that a comma ends and that is longer than 32 characters:
    // the entries from there on are neither written nor cleared.
    bool abandoned = false;
};

// Cuts a list's device text at commas into at most ten entries. An entry that a comma ends
// holds at most 32 characters; the text after the last comma (if any) is the last entry,
// whatever its length; a trailing comma adds no empty entry, two commas in a row do; text
// past the tenth entry is ignored; the entries after the text are cleared.
PhoneListPlan PlanPhoneList(std::string_view text);

// The first write whose text does not fit one report beside its entry number, or nullptr.
// Only a last entry (one that no comma ends) can be that long.
const EntryWrite* OversizedEntry(const PhoneListPlan& plan);

}  // namespace quarnel
