// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string_view>

namespace quarnel::msg {

// The system's fixed messages, never taken from the language file.
inline constexpr std::u16string_view kUsbConnectFailure = u"USB CONNECT FAILURE";
inline constexpr std::u16string_view kGetFinish = u"GET FINISH";
inline constexpr std::u16string_view kSetFinish = u"SET FINISH";
inline constexpr std::u16string_view kFileCheckMd5Ok = u"FILE CHECK MD5 OK";
inline constexpr std::u16string_view kFileCheckMd5Ng = u"FILE CHECK MD5 NG";
inline constexpr std::u16string_view kUnplugAndReboot = u"UNPLUG USB and REBOOT TRACKER";
inline constexpr std::u16string_view kCannotOpenLang = u"Cannot open Lang.ini file!";

}  // namespace quarnel::msg
