// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The transaction tests every backend passes, through the production hidapi backend on the
// real kernel's hidraw node of a USB gadget that the simulated tracker serves.
#include "device/hidapi_backend.h"
#include "device/transaction_suite.h"
#include "kernel/gadget_host.h"

namespace quarnel::test {
namespace {

// One gadget for the whole suite: binding it costs the host a second or two to enumerate.
struct SharedGadget {
    sim::SimTracker tracker;
    GadgetHost host{tracker};
    std::string plugError;
    bool plugged = host.Plug(plugError);

    static SharedGadget& Get() {
        static SharedGadget shared;
        return shared;
    }
};

struct KernelRig {
    KernelRig() {
        if (GadgetHost::SkipReason() == nullptr) {
            SharedGadget& shared = SharedGadget::Get();
            shared.tracker.SetState(sim::FactoryState());
            shared.tracker.ClearTranscript();
            m_shared = &shared;
        }
    }

    DeviceLink Link() { return DeviceLink{*backend, clock, areas}; }
    sim::SimTracker& Tracker() { return m_shared->tracker; }
    const char* SkipReason() {
        if (const char* why = GadgetHost::SkipReason()) {
            return why;
        }
        return m_shared->plugged ? nullptr : m_shared->plugError.c_str();
    }

    SharedGadget* m_shared = nullptr;
    std::unique_ptr<HidBackend> backend = MakeHidapiBackend();
    SteadyClock clock;
    CommandAreas areas;
};

struct RigNames {
    template <typename T>
    static std::string GetName(int) {
        return "RealUsbStack";
    }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Kernel, TransactionSuite, ::testing::Types<KernelRig>, RigNames);

}  // namespace
}  // namespace quarnel::test
