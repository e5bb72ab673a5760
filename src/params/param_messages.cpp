// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "params/param_messages.h"

#include "params/param_catalogue.h"
#include "params/param_convert.h"

namespace quarnel::params_msg {

std::u16string TextTooLong(std::u16string_view field) {
    return u"The " + std::u16string(field) + u" field is too long to send (at most " +
           DecimalText(static_cast<int32_t>(kMaxTextBytes)) + u" characters).";
}

std::u16string LastNumberTooLong(std::u16string_view field) {
    return u"The last number in the " + std::u16string(field) +
           u" field is too long to send (at most " +
           DecimalText(static_cast<int32_t>(kMaxEntryBytes)) + u" characters).";
}

}  // namespace quarnel::params_msg
