// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sim/sim_items.h"

#include <array>

namespace quarnel::sim {

namespace {

constexpr std::array kItems{
    SimItem{0, 0, "imei", SimItemKind::Text, 0, false},
    SimItem{0, 1, "sms_interval", SimItemKind::Text, 0, true},
    SimItem{0, 2, "gprs_interval", SimItemKind::Text, 0, true},
    SimItem{0, 3, "log_interval", SimItemKind::Text, 0, true},
    SimItem{0, 4, "geo_fence", SimItemKind::Text, 0, true},
    SimItem{0, 5, "disable_alarm", SimItemKind::Text, 0, true},
    SimItem{0, 6, "ring_counter", SimItemKind::Text, 0, true},
    SimItem{0, 7, "over_speed", SimItemKind::Text, 0, true},
    SimItem{0, 8, "firmware_version", SimItemKind::Text, 0, false},
    SimItem{0, 9, "security_sms_switches", SimItemKind::Words, 1, true},
    SimItem{0, 10, "buzzer_switches", SimItemKind::Words, 1, true},
    SimItem{0, 11, "sleep_schedule", SimItemKind::Words, 7, true},
    SimItem{0, 12, "sensor_settings", SimItemKind::Words, 3, true},
    SimItem{1, 0, "apn", SimItemKind::Text, 0, true},
    SimItem{1, 1, "gprs_user", SimItemKind::Text, 0, true},
    SimItem{1, 2, "gprs_password", SimItemKind::Text, 0, true},
    SimItem{1, 3, "server", SimItemKind::Text, 0, true},
    SimItem{1, 4, "tcp_port", SimItemKind::Text, 0, true},
    SimItem{1, 5, "udp_port", SimItemKind::Text, 0, true},
    SimItem{1, 6, "config_port", SimItemKind::Text, 0, true},
    SimItem{1, 7, "address_mode", SimItemKind::Transport, 1, true},
    SimItem{2, 0, "access_user", SimItemKind::Text, 0, true},
    SimItem{2, 1, "access_password", SimItemKind::Text, 0, true},
};

}  // namespace

std::span<const SimItem> SimItems() {
    return kItems;
}

const SimItem* FindSimItem(int group, int index) {
    for (const SimItem& item : kItems) {
        if (item.group == group && item.index == index) {
            return &item;
        }
    }
    return nullptr;
}

}  // namespace quarnel::sim
