// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sim/sim_state.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "sim/sim_items.h"

namespace quarnel::sim {

namespace {

std::vector<uint8_t> Text(std::string_view text) {
    return {text.begin(), text.end()};
}

std::vector<uint8_t> Words(std::initializer_list<int32_t> words) {
    std::vector<uint8_t> out;
    for (int32_t w : words) {
        const auto u = static_cast<uint32_t>(w);
        for (int shift = 0; shift < 32; shift += 8) {
            out.push_back(static_cast<uint8_t>(u >> shift));
        }
    }
    return out;
}

void PutFloat(uint8_t* at, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<uint8_t>(bits >> (8 * i));
    }
}

}  // namespace

SimState FactoryState() {
    SimState s;
    auto& it = s.items;
    it[{0, 0}] = Text("356938035643809");
    it[{0, 1}] = Text("300");
    it[{0, 2}] = Text("60");
    it[{0, 3}] = Text("60");
    it[{0, 4}] = Text("500");
    it[{0, 5}] = Text("300");
    it[{0, 6}] = Text("3");
    it[{0, 7}] = Text("120");
    it[{0, 8}] = Text("TRV-G12 V1.40207");
    it[{0, 9}] = Words({0x03});   // burglar and SOS messages
    it[{0, 10}] = Words({0x01});  // bit 0 is always set
    it[{0, 11}] = Words({0, 0, 0, 0, 0, 0, 0});
    it[{0, 12}] = Words({3, 0, 0});
    it[{1, 0}] = Text("internet");
    it[{1, 1}] = Text("");
    it[{1, 2}] = Text("");
    it[{1, 3}] = Text("0.0.0.0");
    it[{1, 4}] = Text("5000");
    it[{1, 5}] = Text("5001");
    it[{1, 6}] = Text("5002");
    it[{1, 7}] = Words({0x30});  // "0": TCP
    it[{2, 0}] = Text("admin");
    it[{2, 1}] = Text("000000");
    return s;
}

SimState DemoState() {
    SimState s = FactoryState();
    auto& it = s.items;
    it[{0, 1}] = Text("600");
    it[{0, 2}] = Text("30");
    it[{0, 3}] = Text("20");
    it[{0, 4}] = Text("800");
    it[{0, 7}] = Text("110");
    it[{0, 9}] = Words({0x8B});   // burglar, SOS, power cut, over speed
    it[{0, 10}] = Words({0x87});  // SMS send, GPRS send, button pressed
    it[{0, 11}] = Words({23, 30, 0, 2, 6, 15, 0});
    it[{0, 12}] = Words({5, 0, 0});
    it[{1, 0}] = Text("internet.emome.net");
    it[{1, 1}] = Text("fleet");
    it[{1, 2}] = Text("trk2014");
    it[{1, 3}] = Text("track.example.net");
    it[{1, 4}] = Text("6100");
    it[{1, 5}] = Text("6101");
    it[{1, 6}] = Text("6102");
    it[{1, 7}] = Words({0x31});  // "1": UDP
    it[{2, 0}] = Text("fleet");
    it[{2, 1}] = Text("4821");
    s.phoneLists[0] = {"+886912345678", "+886922334455"};
    s.phoneLists[1] = {"+886933221100"};
    s.phoneLists[2] = {"+886912345678", "0917654321", "+886955667788"};
    s.eraseDurationMs = 1500;

    // A morning drive through Kaohsiung, one fix every 20 seconds.
    LogFix fix;
    fix.year = 2014;
    fix.month = 2;
    fix.day = 7;
    fix.hour = 8;
    double lat = 22.6273, lon = 120.3014;
    int secondOfDay = 8 * 3600;
    for (int i = 0; i < 240; ++i) {
        const double phase = i / 240.0 * 2 * std::numbers::pi;
        const double speed = i < 5 ? 0.0 : 28.0 + 22.0 * std::sin(phase * 3);
        const double course = std::fmod(35.0 + 80.0 * std::sin(phase), 360.0);
        const double metres = speed / 3.6 * 20;
        lat += metres * std::cos(course * std::numbers::pi / 180) / 111320.0;
        lon += metres * std::sin(course * std::numbers::pi / 180) /
               (111320.0 * std::cos(lat * std::numbers::pi / 180));
        fix.tag = i + 1;
        fix.hour = secondOfDay / 3600;
        fix.minute = secondOfDay / 60 % 60;
        fix.second = secondOfDay % 60;
        fix.latitude = static_cast<float>(lat);
        fix.longitude = static_cast<float>(lon);
        fix.altitude = static_cast<float>(12.0 + 6.0 * std::sin(phase * 2));
        fix.course = static_cast<float>(course < 0 ? course + 360 : course);
        fix.speed = static_cast<float>(speed);
        s.log.push_back(EncodeLogRecord(fix));
        secondOfDay += 20;
    }
    return s;
}

LogRecordBytes EncodeLogRecord(const LogFix& fix) {
    LogRecordBytes r{};
    const auto tag = static_cast<uint32_t>(fix.tag);
    for (int i = 0; i < 4; ++i) {
        r[static_cast<size_t>(i)] = static_cast<uint8_t>(tag >> (8 * i));
    }
    r[6] = static_cast<uint8_t>(fix.year - 2000);
    r[7] = static_cast<uint8_t>(fix.month);
    r[8] = static_cast<uint8_t>(fix.day);
    r[9] = static_cast<uint8_t>(fix.hour);
    r[10] = static_cast<uint8_t>(fix.minute);
    r[11] = static_cast<uint8_t>(fix.second);
    PutFloat(&r[12], fix.latitude);
    PutFloat(&r[16], fix.longitude);
    PutFloat(&r[20], fix.altitude);
    PutFloat(&r[24], fix.course);
    PutFloat(&r[28], fix.speed);
    return r;
}

}  // namespace quarnel::sim
