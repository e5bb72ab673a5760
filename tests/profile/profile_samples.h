// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "profile/profile.h"

namespace quarnel::test {

// Sets one value of a profile by its section and key.
inline void Put(Profile& p, std::string_view section, std::string_view key, std::u16string value) {
    const int k = FindProfileKey(section, key);
    if (k < 0) {
        throw std::invalid_argument("no such profile key");
    }
    p.values[static_cast<size_t>(k)] = std::move(value);
}

inline const std::u16string& Get(const Profile& p, std::string_view section, std::string_view key) {
    return p.values.at(static_cast<size_t>(FindProfileKey(section, key)));
}

// The demonstration tracker's configuration, as its window shows it after a read.
inline Profile SampleProfile() {
    Profile p;
    p.readAt = u"2024-06-01T12:00:00Z";
    p.imei = u"356938035643809";
    p.firmware = u"TRV-G12 V1.40207";
    const struct {
        const char* section;
        const char* key;
        const char16_t* value;
    } values[] = {
        {"system", "sms_interval", u"600"},
        {"system", "gprs_interval", u"30"},
        {"system", "log_interval", u"20"},
        {"system", "geo_fence", u"800"},
        {"system", "disable_alarm", u"300"},
        {"system", "ring_counter", u"3"},
        {"system", "over_speed", u"110"},
        {"security_sms", "burglar", u"on"},
        {"security_sms", "sos", u"on"},
        {"security_sms", "geo_fence", u"off"},
        {"security_sms", "power_cut", u"on"},
        {"security_sms", "low_battery", u"off"},
        {"security_sms", "vibration_alarm", u"off"},
        {"security_sms", "gps_fix_alarm", u"off"},
        {"security_sms", "over_speed_alarm", u"on"},
        {"buzzer", "sms_send", u"on"},
        {"buzzer", "gprs_send", u"on"},
        {"buzzer", "geo_fence", u"off"},
        {"buzzer", "usb_set", u"off"},
        {"buzzer", "web_set", u"off"},
        {"buzzer", "sms_set", u"off"},
        {"buzzer", "button_pressed", u"on"},
        {"sleep", "sleep_hour", u"23"},
        {"sleep", "sleep_min", u"30"},
        {"sleep", "sleep_sec", u"0"},
        {"sleep", "mode", u"deep_sleep"},
        {"sleep", "wakeup_hour", u"6"},
        {"sleep", "wakeup_min", u"15"},
        {"sleep", "wakeup_sec", u"0"},
        {"sensor", "active", u"5"},
        {"sensor", "hidden_2", u"0"},
        {"sensor", "hidden_3", u"0"},
        {"gprs", "apn", u"internet.emome.net"},
        {"gprs", "user", u"fleet"},
        {"gprs", "password", u"trk2014"},
        {"server", "address", u"track.example.net"},
        {"server", "tcp_port", u"6100"},
        {"server", "udp_port", u"6101"},
        {"server", "config_port", u"6102"},
        {"server", "transport", u"udp"},
        {"access", "user", u"fleet"},
        {"access", "password", u"4821"},
        {"phones", "scu", u"+886912345678,+886922334455,"},
        {"phones", "sos", u"+886933221100,"},
        {"phones", "sms", u"+886912345678,0917654321,+886955667788,"},
    };
    for (const auto& v : values) {
        Put(p, v.section, v.key, v.value);
    }
    return p;
}

// The 1-based line of the first line of `text` that starts with `start`; 0 when none does.
inline int LineOf(const std::string& text, const std::string& start) {
    int line = 1;
    size_t at = 0;
    while (at <= text.size()) {
        if (text.compare(at, start.size(), start) == 0) {
            return line;
        }
        const size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            break;
        }
        at = end + 1;
        ++line;
    }
    return 0;
}

// `text` with its first occurrence of `from` replaced by `to`.
inline std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    if (at == std::string::npos) {
        throw std::invalid_argument("text to replace not found: " + from);
    }
    return text.replace(at, from.size(), to);
}

}  // namespace quarnel::test
