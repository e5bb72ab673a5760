// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "params/phone_list.h"

#include "params/param_catalogue.h"

namespace quarnel {

PhoneListPlan PlanPhoneList(std::string_view text) {
    PhoneListPlan plan;
    size_t p = 0;  // start of the next entry; also the bytes used up so far
    uint32_t j = 0;
    while (j < kPhoneEntries && p < text.size()) {
        const size_t c = text.find(',', p);
        if (c == std::string_view::npos) {
            plan.writes.push_back({j++, false, p, text.size() - p});
            p = text.size();
            break;
        }
        const size_t n = c - p;
        if (n > kMaxCommaEntry) {
            plan.abandoned = true;
            return plan;
        }
        plan.writes.push_back({j++, false, p, n});
        p = c + 1;
    }
    // Once the text is used up, the remaining entries are cleared; after a tenth entry
    // there are none left.
    if (p >= text.size()) {
        for (; j < kPhoneEntries; ++j) {
            plan.writes.push_back({j, true, text.size(), 0});
        }
    }
    return plan;
}

const EntryWrite* OversizedEntry(const PhoneListPlan& plan) {
    for (const EntryWrite& w : plan.writes) {
        if (w.length > kMaxEntryBytes) {
            return &w;
        }
    }
    return nullptr;
}

}  // namespace quarnel
