// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "params/param_catalogue.h"

#include <array>

#include "form/control_ids.h"

namespace quarnel {

namespace {

using E = Encoding;

// One array per control, so a row can point at its own.
constexpr std::array kImei{ctl::ImeiDisplay};
constexpr std::array kSmsInterval{ctl::SmsIntervalEdit};
constexpr std::array kGprsInterval{ctl::GprsIntervalEdit};
constexpr std::array kLogInterval{ctl::LogIntervalEdit};
constexpr std::array kGeoFence{ctl::GeoFenceEdit};
constexpr std::array kDisableAlarm{ctl::DisableAlarmEdit};
constexpr std::array kRingCounter{ctl::RingCounterEdit};
constexpr std::array kOverSpeed{ctl::OverSpeedEdit};
constexpr std::array kVersion{ctl::VersionEdit};
constexpr std::array kApn{ctl::ApnEdit};
constexpr std::array kGprsUser{ctl::GprsUserEdit};
constexpr std::array kGprsPass{ctl::GprsPassEdit};
constexpr std::array kServer{ctl::IpDomainEdit};
constexpr std::array kTcpPort{ctl::TcpPortEdit};
constexpr std::array kUdpPort{ctl::UdpPortEdit};
constexpr std::array kConfigPort{ctl::ConfigPortEdit};
constexpr std::array kAccessUser{ctl::HiddenUserEdit};
constexpr std::array kAccessPassword{ctl::PasswdEdit};
constexpr std::array kScuPhone{ctl::ScuPhoneEdit};
constexpr std::array kSosPhone{ctl::SosPhoneEdit};
constexpr std::array kSmsPhone{ctl::SmsPhoneEdit};

// Switch masks, bits 0-7; bits 8-31 have no box.
constexpr std::array kSecuritySmsBits{
    ctl::BurglarCheck,          ctl::SosCheck,
    ctl::SecurityGeoFenceCheck, ctl::PowerCutCheck,
    ctl::LowBatteryCheck,       ctl::VibrationAlarmCheck,
    ctl::GpsFixAlarmCheck,      ctl::OverSpeedAlarmCheck,
};
constexpr std::array kBuzzerBits{
    kNoControl,       ctl::SmsSendCheck, ctl::GprsSendCheck, ctl::BuzzerGeoFenceCheck,
    ctl::UsbSetCheck, ctl::WebSetCheck,  ctl::SmsSetCheck,   ctl::ButtonPressedCheck,
};
// The tracker takes bit 0 of the buzzer mask as its master switch; no box stands for it.
constexpr uint32_t kBuzzerAlwaysSet = 1;

constexpr std::array kTransport{ctl::TcpCheck, ctl::UdpCheck, ctl::ReplyCheck};

constexpr std::array kSleepSchedule{
    ListElement{ctl::SleepHourEdit, ElementKind::Integer},
    ListElement{ctl::SleepMinEdit, ElementKind::Integer},
    ListElement{ctl::SleepSecEdit, ElementKind::Integer},
    ListElement{ctl::ModeCombo, ElementKind::Selection},
    ListElement{ctl::WakeupHourEdit, ElementKind::Integer},
    ListElement{ctl::WakeupMinEdit, ElementKind::Integer},
    ListElement{ctl::WakeupSecEdit, ElementKind::Integer},
};
constexpr std::array kSensorSettings{
    ListElement{ctl::SensorActiveEdit, ElementKind::Integer},
    ListElement{ctl::HiddenEdit1045, ElementKind::Integer},
    ListElement{ctl::HiddenEdit1046, ElementKind::Integer},
};

constexpr ParamItem Text(uint8_t group, uint8_t index, std::u16string_view name,
                         std::span<const int> control, int limit, bool written = true) {
    return {group, index, name, E::Text, control, {}, 0, limit, true, written};
}

constexpr ParamItem Mask(uint8_t index, std::u16string_view name, std::span<const int> bits,
                         uint32_t alwaysSet) {
    return {0, index, name, E::SwitchMask, bits, {}, alwaysSet, 0, true, true};
}

constexpr ParamItem Integers(uint8_t index, std::u16string_view name,
                             std::span<const ListElement> elements, int limit) {
    return {0, index, name, E::Integers, {}, elements, 0, limit, true, true};
}

constexpr ParamItem Phones(uint8_t index, std::u16string_view name, std::span<const int> control) {
    return {2, index, name, E::PhoneList, control, {}, 0, 0, true, true};
}

constexpr std::array kCatalogue{
    Text(0, 0, u"IMEI", kImei, 0, false),
    Text(0, 1, u"SMS Interval", kSmsInterval, 6),
    Text(0, 2, u"GPRS Interval", kGprsInterval, 6),
    Text(0, 3, u"LOG Interval", kLogInterval, 6),
    Text(0, 4, u"Geo Fence", kGeoFence, 6),
    Text(0, 5, u"Disable Alarm", kDisableAlarm, 6),
    Text(0, 6, u"Ring Counter", kRingCounter, 2),
    Text(0, 7, u"Over Speed", kOverSpeed, 3),
    Text(0, 8, u"Version", kVersion, 0, false),
    Mask(9, u"Security SMS On/Off", kSecuritySmsBits, 0),
    Mask(10, u"Buzzer On/Off", kBuzzerBits, kBuzzerAlwaysSet),
    Integers(11, u"Sleep Mode", kSleepSchedule, 2),
    Integers(12, u"Sensor Active", kSensorSettings, 0),
    Text(1, 0, u"APN", kApn, 31),
    Text(1, 1, u"GPRS User", kGprsUser, 20),
    Text(1, 2, u"GPRS Pass", kGprsPass, 20),
    Text(1, 3, u"IP / Domain Name", kServer, 50),
    Text(1, 4, u"TCP Port", kTcpPort, 5),
    Text(1, 5, u"UDP Port", kUdpPort, 5),
    Text(1, 6, u"Config Port", kConfigPort, 5),
    ParamItem{1, 7, u"Server Config", E::TransportCode, kTransport, {}, 0, 0, true, true},
    Text(2, 0, u"User", kAccessUser, 8),
    Text(2, 1, u"Passwd", kAccessPassword, 8),
    Phones(2, u"SCU Phone", kScuPhone),
    Phones(3, u"SOS Phone", kSosPhone),
    Phones(4, u"SMS Phone", kSmsPhone),
};

size_t Transactions(const ParamItem& item) {
    return item.encoding == Encoding::PhoneList ? kPhoneEntries : 1;
}

}  // namespace

std::span<const ParamItem> Catalogue() {
    return kCatalogue;
}

const ParamItem* FindItem(int group, int index) {
    for (const ParamItem& item : kCatalogue) {
        if (item.group == group && item.index == index) {
            return &item;
        }
    }
    return nullptr;
}

size_t ReadTransactionCount() {
    size_t n = 0;
    for (const ParamItem& item : kCatalogue) {
        n += item.read ? Transactions(item) : 0;
    }
    return n;
}

size_t WriteTransactionCount() {
    size_t n = 1;  // the closing write
    for (const ParamItem& item : kCatalogue) {
        n += item.written ? Transactions(item) : 0;
    }
    return n;
}

}  // namespace quarnel
