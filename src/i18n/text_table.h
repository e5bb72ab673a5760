// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstddef>

#include "form/control_ids.h"
#include "i18n/lang_table.h"

namespace quarnel {

// One use of a text-table entry at start-up: the entry goes on the control as its caption,
// or is appended to the control's list (the Mode combo box's choices).
struct LangTextRow {
    enum Kind { Caption, ListItem };
    LangSection section;
    size_t position;
    int controlId;
    Kind kind = Caption;
};

// Every entry ApplyLanguageTexts puts on the form, in the order it applies them. Entry 10
// of "[SYSTEM CONFIG]" is no row: it is never shown, but it keeps entries 11 and on in their
// places.
inline constexpr auto kLangTextRows = std::to_array<LangTextRow>({
    {LangSection::Button, 0, ctl::GetParameterButton},
    {LangSection::Button, 1, ctl::SetParameterButton},
    {LangSection::Button, 2, ctl::GetGpsLogButton},
    {LangSection::Button, 3, ctl::EraseGpsLogButton},
    {LangSection::Button, 4, ctl::SetDefaultButton},
    {LangSection::Button, 5, ctl::PasswdLabel},
    {LangSection::Tracker, 0, ctl::TrackerPanel},
    {LangSection::SystemConfig, 0, ctl::SystemConfigPanel},
    {LangSection::SystemConfig, 1, ctl::ImeiLabel},
    {LangSection::SystemConfig, 2, ctl::VersionLabel},
    {LangSection::SystemConfig, 3, ctl::SmsIntervalLabel},
    {LangSection::SystemConfig, 4, ctl::GprsIntervalLabel},
    {LangSection::SystemConfig, 5, ctl::LogIntervalLabel},
    {LangSection::SystemConfig, 6, ctl::GeoFenceLabel},
    {LangSection::SystemConfig, 7, ctl::DisableAlarmLabel},
    {LangSection::SystemConfig, 8, ctl::RingCounterLabel},
    {LangSection::SystemConfig, 9, ctl::SensorActiveLabel},
    {LangSection::SystemConfig, 11, ctl::SecuritySmsPanel},
    {LangSection::SystemConfig, 12, ctl::BurglarCheck},
    {LangSection::SystemConfig, 13, ctl::SosCheck},
    {LangSection::SystemConfig, 14, ctl::SecurityGeoFenceCheck},
    {LangSection::SystemConfig, 15, ctl::PowerCutCheck},
    {LangSection::SystemConfig, 16, ctl::LowBatteryCheck},
    {LangSection::SystemConfig, 17, ctl::VibrationAlarmCheck},
    {LangSection::SystemConfig, 18, ctl::GpsFixAlarmCheck},
    {LangSection::SystemConfig, 19, ctl::OverSpeedAlarmCheck},
    {LangSection::SystemConfig, 20, ctl::KmhLabel},
    {LangSection::SystemConfig, 21, ctl::BuzzerPanel},
    {LangSection::SystemConfig, 22, ctl::SmsSendCheck},
    {LangSection::SystemConfig, 23, ctl::GprsSendCheck},
    {LangSection::SystemConfig, 24, ctl::BuzzerGeoFenceCheck},
    {LangSection::SystemConfig, 25, ctl::UsbSetCheck},
    {LangSection::SystemConfig, 26, ctl::WebSetCheck},
    {LangSection::SystemConfig, 27, ctl::SmsSetCheck},
    {LangSection::SystemConfig, 28, ctl::ButtonPressedCheck},
    {LangSection::SystemConfig, 29, ctl::SosGeoAlarmLabel},
    {LangSection::GsmGprsConfig, 0, ctl::GsmGprsPanel},
    {LangSection::GsmGprsConfig, 1, ctl::ApnLabel},
    {LangSection::GsmGprsConfig, 2, ctl::UserLabel},
    {LangSection::GsmGprsConfig, 3, ctl::PassLabel},
    {LangSection::ServerConfig, 0, ctl::ServerConfigPanel},
    {LangSection::ServerConfig, 1, ctl::IpDomainLabel},
    {LangSection::ServerConfig, 2, ctl::TcpPortLabel},
    {LangSection::ServerConfig, 3, ctl::UdpPortLabel},
    {LangSection::ServerConfig, 4, ctl::ConfigPortLabel},
    {LangSection::ServerConfig, 5, ctl::ReplyLabel},
    {LangSection::PhoneConfig, 0, ctl::PhoneConfigPanel},
    {LangSection::PhoneConfig, 1, ctl::ScuPhoneLabel},
    {LangSection::PhoneConfig, 2, ctl::SosPhoneLabel},
    {LangSection::PhoneConfig, 3, ctl::SmsPhoneLabel},
    {LangSection::SleepMode, 0, ctl::SleepModePanel},
    {LangSection::SleepMode, 1, ctl::ModeLabel},
    {LangSection::SleepMode, 2, ctl::TimeToSleepLabel},
    {LangSection::SleepMode, 3, ctl::TimeToWakeupLabel},
    {LangSection::SleepMode, 4, ctl::HourLabel},
    {LangSection::SleepMode, 5, ctl::MinLabel},
    {LangSection::SleepMode, 6, ctl::SecLabel},
    // The combo box does not sort, so item k is entry 7 + k and its index is the mode value.
    {LangSection::SleepMode, 7, ctl::ModeCombo, LangTextRow::ListItem},
    {LangSection::SleepMode, 8, ctl::ModeCombo, LangTextRow::ListItem},
    {LangSection::SleepMode, 9, ctl::ModeCombo, LangTextRow::ListItem},
    {LangSection::SleepMode, 10, ctl::ModeCombo, LangTextRow::ListItem},
    {LangSection::FirmwareUpdate, 0, ctl::FirmwareUpdatePanel},
    {LangSection::FirmwareUpdate, 1, ctl::UpdateButton},
});

}  // namespace quarnel
