// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string_view>

namespace quarnel {

// Reads a decimal integer from UTF-16 text by the C library's strtol rules in base 10, with
// the 32-bit range: the one rule behind the settings file's numbers (`_wtol`) and the
// form's number fields as they are sent (`atoi`):
//   - leading white space (tab, LF, VT, FF, CR, space) is skipped;
//   - one optional '+' or '-' is taken;
//   - ASCII digits are read up to the first other unit, which ends the number;
//   - no digits at all read as 0;
//   - a value beyond the signed 32-bit range reads as the nearest limit of that range.
int32_t ParseWideLong(std::u16string_view text);

}  // namespace quarnel
