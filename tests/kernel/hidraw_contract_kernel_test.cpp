// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The hidraw contract on the real kernel: a gadget of its own for each case, so that an
// unplug or a full queue never reaches the next case.
#include "device/hidraw_contract_suite.h"
#include "kernel/gadget_host.h"

namespace quarnel::test {
namespace {

struct KernelNodeRig {
    KernelNodeRig() {
        if (GadgetHost::SkipReason() == nullptr) {
            host = std::make_unique<GadgetHost>(tracker, "dummy_udc.1");
            plugged = host->Plug(plugError);
        }
    }
    const char* SkipReason() {
        if (const char* why = GadgetHost::SkipReason()) {
            return why;
        }
        return plugged ? nullptr : plugError.c_str();
    }
    std::string Node() { return host->HidrawNode(); }
    sim::SimTracker& Tracker() { return tracker; }
    bool Unplug(std::string& error) { return host->Unplug(error); }

    sim::SimTracker tracker{sim::FactoryState()};
    std::unique_ptr<GadgetHost> host;
    std::string plugError;
    bool plugged = false;
};

struct RigNames {
    template <typename T>
    static std::string GetName(int) {
        return "RealKernel";
    }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Kernel, HidrawContractSuite, ::testing::Types<KernelNodeRig>,
                               RigNames);

}  // namespace
}  // namespace quarnel::test
