// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <string_view>

#include "firmware/firmware_transfer.h"

namespace quarnel::msg {

// Messages of the firmware update beyond the fixed ones in form/messages.h: the cases
// where the update cannot go on and the user must know why.
inline constexpr std::u16string_view kFirmwareTrackerBusy =
    u"The tracker is busy with the GPS log. Update the firmware when that has finished.";
inline constexpr std::u16string_view kCannotReadImageFile =
    u"Cannot read the firmware image file. Nothing was sent to the tracker.";
inline constexpr std::u16string_view kCannotReadDigestFile =
    u"Cannot read the MD5 file. Nothing was sent to the tracker.";

// Names the command the tracker did not answer; blocks are counted from 1 for the user.
std::u16string FirmwareTransferFailed(const UnansweredCommand& unanswered);

}  // namespace quarnel::msg
