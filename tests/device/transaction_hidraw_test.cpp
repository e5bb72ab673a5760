// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The shared transaction tests through the production hidapi backend, on a umockdev hidraw
// node that the simulated tracker serves.
#include "device/hidapi_backend.h"
#include "device/hidraw_bed.h"
#include "device/hidraw_tracker.h"
#include "device/transaction_suite.h"

namespace quarnel::test {
namespace {

struct HidrawRig {
    HidrawRig() {
        if (bed.InMockEnvironment()) {
            ServeTracker(bed, tracker);
        }
    }

    DeviceLink Link() { return DeviceLink{*backend, clock, areas}; }
    sim::SimTracker& Tracker() { return tracker; }
    const char* SkipReason() {
        return bed.InMockEnvironment() ? nullptr : "not running under umockdev-wrapper";
    }

    // The tracker and the bed outlive the backend, whose handles close first.
    sim::SimTracker tracker;
    HidrawBed bed;
    std::unique_ptr<HidBackend> backend = MakeHidapiBackend();
    SteadyClock clock;
    CommandAreas areas;
};

struct RigNames {
    template <typename T>
    static std::string GetName(int) {
        return "Hidapi";
    }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Hidraw, TransactionSuite, ::testing::Types<HidrawRig>, RigNames);

}  // namespace
}  // namespace quarnel::test
