// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <string_view>

namespace quarnel::params_msg {

// Messages of the parameter commands beyond the system's fixed ones.

// A command was clicked while another one (a log task) is using the tracker.
inline constexpr std::u16string_view kTrackerBusy =
    u"The tracker is busy with another command. Try again when it has finished.";

// A text field whose value does not fit one report: "The APN field is too long to send
// (at most 53 characters)."
std::u16string TextTooLong(std::u16string_view field);

// A phone list whose last number (the one no comma ends) does not fit one report.
std::u16string LastNumberTooLong(std::u16string_view field);

}  // namespace quarnel::params_msg
