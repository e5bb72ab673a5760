// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "profile/profile_keys.h"

#include <algorithm>
#include <stdexcept>

#include "form/control_ids.h"

namespace quarnel {

namespace {

using K = ValueKind;

constexpr std::array<std::string_view, 9> kSections{
    "system", "security_sms", "buzzer", "sleep", "sensor", "gprs", "server", "access", "phones",
};

constexpr std::array kKeys{
    // System Config
    ProfileKey{"system", "sms_interval", K::Text, ctl::SmsIntervalEdit, true},
    ProfileKey{"system", "gprs_interval", K::Text, ctl::GprsIntervalEdit, true},
    ProfileKey{"system", "log_interval", K::Text, ctl::LogIntervalEdit, true},
    ProfileKey{"system", "geo_fence", K::Text, ctl::GeoFenceEdit, true},
    ProfileKey{"system", "disable_alarm", K::Text, ctl::DisableAlarmEdit, true},
    ProfileKey{"system", "ring_counter", K::Text, ctl::RingCounterEdit, true},
    ProfileKey{"system", "over_speed", K::Text, ctl::OverSpeedEdit, true},
    // Security SMS On/Off, mask bits 0-7
    ProfileKey{"security_sms", "burglar", K::Switch, ctl::BurglarCheck, false},
    ProfileKey{"security_sms", "sos", K::Switch, ctl::SosCheck, false},
    ProfileKey{"security_sms", "geo_fence", K::Switch, ctl::SecurityGeoFenceCheck, false},
    ProfileKey{"security_sms", "power_cut", K::Switch, ctl::PowerCutCheck, false},
    ProfileKey{"security_sms", "low_battery", K::Switch, ctl::LowBatteryCheck, false},
    ProfileKey{"security_sms", "vibration_alarm", K::Switch, ctl::VibrationAlarmCheck, false},
    ProfileKey{"security_sms", "gps_fix_alarm", K::Switch, ctl::GpsFixAlarmCheck, false},
    ProfileKey{"security_sms", "over_speed_alarm", K::Switch, ctl::OverSpeedAlarmCheck, false},
    // Buzzer On/Off, mask bits 1-7
    ProfileKey{"buzzer", "sms_send", K::Switch, ctl::SmsSendCheck, false},
    ProfileKey{"buzzer", "gprs_send", K::Switch, ctl::GprsSendCheck, false},
    ProfileKey{"buzzer", "geo_fence", K::Switch, ctl::BuzzerGeoFenceCheck, false},
    ProfileKey{"buzzer", "usb_set", K::Switch, ctl::UsbSetCheck, false},
    ProfileKey{"buzzer", "web_set", K::Switch, ctl::WebSetCheck, false},
    ProfileKey{"buzzer", "sms_set", K::Switch, ctl::SmsSetCheck, false},
    ProfileKey{"buzzer", "button_pressed", K::Switch, ctl::ButtonPressedCheck, false},
    // Sleep Mode: the sleep and wake-up edits take any characters from the keyboard
    ProfileKey{"sleep", "sleep_hour", K::Integer, ctl::SleepHourEdit, false},
    ProfileKey{"sleep", "sleep_min", K::Integer, ctl::SleepMinEdit, false},
    ProfileKey{"sleep", "sleep_sec", K::Integer, ctl::SleepSecEdit, false},
    ProfileKey{"sleep", "mode", K::Mode, ctl::ModeCombo, false},
    ProfileKey{"sleep", "wakeup_hour", K::Integer, ctl::WakeupHourEdit, false},
    ProfileKey{"sleep", "wakeup_min", K::Integer, ctl::WakeupMinEdit, false},
    ProfileKey{"sleep", "wakeup_sec", K::Integer, ctl::WakeupSecEdit, false},
    // Sensor settings: the Sensor Active edit and the two hidden edits beside it
    ProfileKey{"sensor", "active", K::Integer, ctl::SensorActiveEdit, true},
    ProfileKey{"sensor", "hidden_2", K::Integer, ctl::HiddenEdit1045, true},
    ProfileKey{"sensor", "hidden_3", K::Integer, ctl::HiddenEdit1046, true},
    // GSM / GPRS Config
    ProfileKey{"gprs", "apn", K::Text, ctl::ApnEdit, false},
    ProfileKey{"gprs", "user", K::Text, ctl::GprsUserEdit, false},
    ProfileKey{"gprs", "password", K::Text, ctl::GprsPassEdit, false},
    // Server Config
    ProfileKey{"server", "address", K::Text, ctl::IpDomainEdit, false},
    ProfileKey{"server", "tcp_port", K::Text, ctl::TcpPortEdit, true},
    ProfileKey{"server", "udp_port", K::Text, ctl::UdpPortEdit, true},
    ProfileKey{"server", "config_port", K::Text, ctl::ConfigPortEdit, true},
    ProfileKey{"server", "transport", K::Transport, ctl::TcpCheck, false},
    // Access: the hidden User edit and the Passwd edit
    ProfileKey{"access", "user", K::Text, ctl::HiddenUserEdit, false},
    ProfileKey{"access", "password", K::Text, ctl::PasswdEdit, false},
    // Phone Config
    ProfileKey{"phones", "scu", K::Phones, ctl::ScuPhoneEdit, false},
    ProfileKey{"phones", "sos", K::Phones, ctl::SosPhoneEdit, false},
    ProfileKey{"phones", "sms", K::Phones, ctl::SmsPhoneEdit, false},
};

bool Holds(const ParamItem& item, int control) {
    return std::find(item.controls.begin(), item.controls.end(), control) != item.controls.end() ||
           std::any_of(item.elements.begin(), item.elements.end(),
                       [control](const ListElement& e) { return e.control == control; });
}

}  // namespace

std::span<const std::string_view> BodySections() {
    return kSections;
}

std::span<const ProfileKey> ProfileKeys() {
    return kKeys;
}

int FindProfileKey(std::string_view section, std::string_view key) {
    for (size_t i = 0; i < kKeys.size(); ++i) {
        if (kKeys[i].section == section && kKeys[i].key == key) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const ParamItem& ItemOf(const ProfileKey& key) {
    for (const ParamItem& item : Catalogue()) {
        if (item.written && Holds(item, key.control)) {
            return item;
        }
    }
    // Every key names a control of a written item; the tests walk the table to keep it so.
    throw std::logic_error("profile key without a catalogue item");
}

int KeyboardLimit(const ProfileKey& key) {
    return ItemOf(key).keyboardLimit;
}

}  // namespace quarnel
