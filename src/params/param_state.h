// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string>

namespace quarnel {

// Fields of the main form that the parameter commands own.
struct ParamState {
    // Shows "GET FINISH" at the end of a read; Set Default turns it off and on.
    int finishMessage = 1;
    // The last device reply text converted for display.
    std::u16string replyText;
    // A control's text converted for sending: up to 255 bytes and a zero.
    uint8_t sendBuffer[256]{};
};

}  // namespace quarnel
