// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "device/command_areas.h"
#include "device/hid_backend.h"
#include "form/control_ids.h"
#include "support/counting_backend.h"
#include "support/memory_form.h"
#include "support/sim_fixture.h"

namespace quarnel::test {

// A command payload taken apart.
struct Request {
    uint8_t op = 0;
    uint8_t len = 0;
    uint8_t group = 0;
    uint8_t part = 0;
    uint32_t index = 0;
    std::vector<uint8_t> body;  // the 54 body bytes as sent

    uint32_t Word(size_t i) const { return GetLe32(body.data() + 4 * i); }
    // Body text from `offset` up to its first zero.
    std::string TextAt(size_t offset) const {
        std::string out;
        for (size_t i = offset; i < body.size() && body[i] != 0; ++i) {
            out.push_back(static_cast<char>(body[i]));
        }
        return out;
    }
};

inline Request Decode(const std::vector<uint8_t>& p) {
    Request r;
    r.op = p[payload::kOp];
    r.len = p[payload::kLen];
    r.group = p[payload::kGroup];
    r.part = p[payload::kPart];
    r.index = GetLe32(p.data() + payload::kIndex);
    r.body.assign(p.begin() + payload::kBody, p.begin() + payload::kBody + payload::kBodySize);
    return r;
}

inline std::vector<Request> SentRequests(SimRig& rig) {
    std::vector<Request> out;
    for (const auto& p : rig.SentPayloads()) {
        out.push_back(Decode(p));
    }
    return out;
}

// The requests sent for one item (group, index), in order.
inline std::vector<Request> RequestsFor(SimRig& rig, int group, uint32_t index) {
    std::vector<Request> out;
    for (const Request& r : SentRequests(rig)) {
        if (r.group == group && r.index == index) {
            out.push_back(r);
        }
    }
    return out;
}

inline std::vector<uint8_t> TextBytes(const std::string& text) {
    return {text.begin(), text.end()};
}

inline std::vector<uint8_t> Words(std::initializer_list<uint32_t> words) {
    std::vector<uint8_t> out;
    for (uint32_t w : words) {
        out.resize(out.size() + 4);
        PutLe32(out.data() + out.size() - 4, w);
    }
    return out;
}

inline std::u16string Wide(const std::string& text) {
    std::u16string out;
    for (char c : text) {
        out.push_back(static_cast<char16_t>(static_cast<uint8_t>(c)));
    }
    return out;
}

// A form whose window fails at one chosen operation, as a form could when memory runs
// out part-way through a command.
class FailingForm final : public MemoryForm {
public:
    int failSetTextOf = -1;
    int failIsCheckedOf = -1;

    void SetText(int id, const std::u16string& text) override {
        if (id == failSetTextOf) {
            throw std::runtime_error("window failed");
        }
        MemoryForm::SetText(id, text);
    }
    bool IsChecked(int id) override {
        if (id == failIsCheckedOf) {
            throw std::runtime_error("window failed");
        }
        return MemoryForm::IsChecked(id);
    }
};

// The texts of the writable fields as a read of the demo tracker leaves them.
inline std::vector<std::pair<int, std::u16string>> DemoFormTexts() {
    return {
        {ctl::SmsIntervalEdit, u"600"},
        {ctl::GprsIntervalEdit, u"30"},
        {ctl::LogIntervalEdit, u"20"},
        {ctl::GeoFenceEdit, u"800"},
        {ctl::DisableAlarmEdit, u"300"},
        {ctl::RingCounterEdit, u"3"},
        {ctl::OverSpeedEdit, u"110"},
        {ctl::SleepHourEdit, u"23"},
        {ctl::SleepMinEdit, u"30"},
        {ctl::SleepSecEdit, u"0"},
        {ctl::WakeupHourEdit, u"6"},
        {ctl::WakeupMinEdit, u"15"},
        {ctl::WakeupSecEdit, u"0"},
        {ctl::SensorActiveEdit, u"5"},
        {ctl::HiddenEdit1045, u"0"},
        {ctl::HiddenEdit1046, u"0"},
        {ctl::ApnEdit, u"internet.emome.net"},
        {ctl::GprsUserEdit, u"fleet"},
        {ctl::GprsPassEdit, u"trk2014"},
        {ctl::IpDomainEdit, u"track.example.net"},
        {ctl::TcpPortEdit, u"6100"},
        {ctl::UdpPortEdit, u"6101"},
        {ctl::ConfigPortEdit, u"6102"},
        {ctl::HiddenUserEdit, u"fleet"},
        {ctl::PasswdEdit, u"4821"},
        {ctl::ScuPhoneEdit, u"+886912345678,+886922334455,"},
        {ctl::SosPhoneEdit, u"+886933221100,"},
        {ctl::SmsPhoneEdit, u"+886912345678,0917654321,+886955667788,"},
    };
}

// Runs `command` while another thread holds the command-sequence lock, as a background
// task does from its first transaction to its last.
inline void WhileATaskHoldsTheTracker(CommandAreas& areas, const std::function<void()>& command) {
    std::promise<void> locked;
    std::promise<void> release;
    std::thread task([&] {
        SequenceLock lock = LockSequence(areas);
        locked.set_value();
        release.get_future().wait();
    });
    locked.get_future().wait();
    command();
    release.set_value();
    task.join();
}

}  // namespace quarnel::test
