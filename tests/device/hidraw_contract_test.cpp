// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The hidraw contract on umockdev's model of the kernel's node (the real kernel runs the
// same cases in tests/kernel).
#include "device/hidraw_bed.h"
#include "device/hidraw_contract_suite.h"
#include "device/hidraw_tracker.h"

namespace quarnel::test {
namespace {

struct ModelNodeRig {
    ModelNodeRig() {
        if (bed.InMockEnvironment()) {
            node = ServeTracker(bed, tracker);
        }
    }
    const char* SkipReason() {
        return bed.InMockEnvironment() ? nullptr : "not running under umockdev-wrapper";
    }
    std::string Node() { return node; }
    sim::SimTracker& Tracker() { return tracker; }
    bool Unplug(std::string& error) { return bed.Unplug(node, error); }

    sim::SimTracker tracker{sim::FactoryState()};
    HidrawBed bed;
    std::string node;
};

struct RigNames {
    template <typename T>
    static std::string GetName(int) {
        return "UmockdevModel";
    }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Model, HidrawContractSuite, ::testing::Types<ModelNodeRig>,
                               RigNames);

}  // namespace
}  // namespace quarnel::test
