// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "firmware/firmware_messages.h"

namespace quarnel::msg {

namespace {

std::u16string Decimal(uint32_t value) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value != 0);
    return digits;
}

}  // namespace

std::u16string FirmwareTransferFailed(const UnansweredCommand& unanswered) {
    const std::u16string lead = u"FIRMWARE UPDATE FAILED: the tracker did not answer ";
    switch (unanswered.kind) {
        case UnansweredCommand::Start:
            return lead + u"the start of the update.";
        case UnansweredCommand::Block:
            return lead + u"block " + Decimal(unanswered.block + 1) + u" of " +
                   Decimal(kFirmwareBlockCount) + u".";
        case UnansweredCommand::End:
            break;
    }
    return lead + u"the end of the update.";
}

}  // namespace quarnel::msg
