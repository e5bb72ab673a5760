// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The shared transaction tests on the in-process simulated backend (virtual clock).
#include "device/transaction_suite.h"
#include "sim/sim_backend.h"
#include "sim/virtual_clock.h"

namespace quarnel::test {
namespace {

template <bool kUsbFrames>
struct SimBackendRig {
    SimBackendRig() : backend(&clock, kUsbFrames) { backend.AddTracker(tracker); }

    DeviceLink Link() { return DeviceLink{backend, clock, areas}; }
    sim::SimTracker& Tracker() { return tracker; }
    const char* SkipReason() { return nullptr; }

    sim::VirtualClock clock;
    sim::SimTracker tracker;
    sim::SimBackend backend;
    CommandAreas areas;
};

using Rigs = ::testing::Types<SimBackendRig<false>, SimBackendRig<true>>;

struct RigNames {
    template <typename T>
    static std::string GetName(int) {
        return std::is_same_v<T, SimBackendRig<true>> ? "UsbFrames" : "ZeroLatency";
    }
};

INSTANTIATE_TYPED_TEST_SUITE_P(SimBackend, TransactionSuite, Rigs, RigNames);

}  // namespace
}  // namespace quarnel::test
