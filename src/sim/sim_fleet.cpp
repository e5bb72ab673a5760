// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sim/sim_fleet.h"

namespace quarnel::sim {

namespace {

// The demonstration tracker's IMEI without its check digit: type 35693803, serial 564380.
constexpr uint64_t kDemoImeiBody = 35693803564380;

// The Luhn check digit that ends an IMEI.
char CheckDigit(const std::string& body) {
    int sum = 0;
    for (size_t i = 0; i < body.size(); ++i) {
        int d = body[body.size() - 1 - i] - '0';
        if (i % 2 == 0) {
            d *= 2;
            d = d > 9 ? d - 9 : d;
        }
        sum += d;
    }
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

}  // namespace

std::string FleetPath(size_t index) {
    return "sim/tracker" + std::to_string(index);
}

std::string DemoImei(size_t index) {
    const std::string body = std::to_string(kDemoImeiBody + index);
    return body + CheckDigit(body);
}

FleetSetup DemoFleet(size_t count, bool inTurn) {
    FleetSetup fleet;
    for (size_t k = 0; k < count; ++k) {
        FleetTracker t;
        t.path = FleetPath(k);
        t.state = DemoState();
        const std::string imei = DemoImei(k);
        t.state.items[{0, 0}] = std::vector<uint8_t>(imei.begin(), imei.end());
        if (inTurn) {
            t.plugged.push_back(PlugSpan{1000 + 2000 * k, 4000 + 2000 * k});
        }
        fleet.trackers.push_back(std::move(t));
    }
    return fleet;
}

SimFleet::SimFleet(FleetSetup setup, bool realTime) : m_setup(std::move(setup)) {
    if (!realTime) {
        m_virtual = std::make_unique<VirtualClock>();
    }
    m_backend = std::make_unique<SimBackend>(m_virtual.get(), true);
    for (const FleetTracker& t : m_setup.trackers) {
        m_trackers.push_back(std::make_unique<SimTracker>(t.state));
        m_backend->AddTracker(*m_trackers.back(), t.path);
        if (t.plugged.empty() || !m_virtual) {
            continue;
        }
        SimBackend* backend = m_backend.get();
        const std::string path = t.path;
        if (t.plugged.front().atMs > 0) {
            backend->Unplug(path);
        }
        for (const PlugSpan& span : t.plugged) {
            if (span.atMs > 0) {
                m_virtual->At(span.atMs * 1000, [backend, path] { backend->Replug(path); });
            }
            if (span.untilMs) {
                m_virtual->At(*span.untilMs * 1000, [backend, path] { backend->Unplug(path); });
            }
        }
    }
}

SimFleet::~SimFleet() = default;

FleetSetup SimFleet::Current() {
    FleetSetup now = m_setup;
    for (size_t i = 0; i < m_trackers.size(); ++i) {
        now.trackers[i].state = m_trackers[i]->State();
    }
    return now;
}

bool SimFleet::PlugEventsPending() {
    return m_virtual && m_virtual->TimersPending();
}

}  // namespace quarnel::sim
