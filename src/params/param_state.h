#pragma once

#include <cstdint>
#include <string>

namespace quarnel {

// Fields of the main form that the parameter commands own.
struct ParamState {
    int finishMessage =
        1;  // shows "GET FINISH" at the end of a read; Set Default turns it off and on
    std::u16string replyText;  // the last device reply text converted for display
    uint8_t
        sendBuffer[256]{};  // a control's text converted for sending: up to 255 bytes and a zero
};

}  // namespace quarnel
