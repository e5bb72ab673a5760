// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Ten thousand transactions on the real USB stack, in step with the same commands on the
// in-process simulated tracker: every one must be answered, and with the reply the model
// gives. Reading every readable item in turn wraps the 7-bit sequence number many times
// over one transaction object, so a reply matched to the wrong command would show.
#include <gtest/gtest.h>

#include <filesystem>

#include "device/hid_cmd.h"
#include "device/hidapi_backend.h"
#include "device/tracker_paths.h"
#include "kernel/gadget_host.h"
#include "params/param_catalogue.h"
#include "sim/sim_state.h"
#include "support/item_read.h"
#include "support/sim_fixture.h"

namespace quarnel::test {
namespace {

constexpr int kTransactions = 10000;
constexpr const char* kController = "dummy_udc.1";

void PutItemRead(CommandAreas& areas, const ParamItem& item) {
    areas.payload.fill(0);
    test::PutItemRead(areas, item.index, item.group);
}

TEST(RealUsbStack, TenThousandTransactionsNoneLostOrMismatched) {
    if (const char* why = GadgetHost::SkipReason()) {
        GTEST_SKIP() << why;
    }
    if (!std::filesystem::exists(std::filesystem::path("/sys/class/udc") / kController)) {
        GTEST_SKIP() << "needs a second device controller (" << kController << ")";
    }
    std::vector<const ParamItem*> items;
    for (const ParamItem& item : Catalogue()) {
        if (item.read) {
            items.push_back(&item);
        }
    }
    ASSERT_FALSE(items.empty());

    sim::SimTracker tracker(sim::DemoState());
    GadgetHost host(tracker, kController);
    std::string error;
    ASSERT_TRUE(host.Plug(error)) << error;
    // Other tests of this program keep their gadget trackers plugged in: talk to this one.
    std::unique_ptr<HidBackend> hidapi = MakeHidapiBackend();
    OnePathBackend backend(*hidapi, host.HidrawNode());
    SteadyClock clock;
    CommandAreas areas;
    CHidCmd real(DeviceLink{backend, clock, areas});
    ASSERT_EQ(real.m_io.Open(), 1);

    SimRig model(sim::DemoState());
    CHidCmd modelled(model.Link());
    ASSERT_EQ(modelled.m_io.Open(), 1);

    int lost = 0;
    int mismatched = 0;
    for (int i = 0; i < kTransactions; ++i) {
        const ParamItem& item = *items[static_cast<size_t>(i) % items.size()];
        PutItemRead(areas, item);
        PutItemRead(model.areas, item);
        const bool answered = Transact(real, kReadPolicy);
        ASSERT_TRUE(Transact(modelled, kReadPolicy));
        if (!answered) {
            ++lost;
        } else if (areas.reply != model.areas.reply) {
            ++mismatched;
            ADD_FAILURE() << "transaction " << i << " (group " << int{item.group} << ", item "
                          << int{item.index} << ") has another reply than the model's";
        }
        if (i % 1024 == 1023) {
            tracker.ClearTranscript();
            model.tracker.ClearTranscript();
        }
        if (lost + mismatched > 10) {
            break;  // a broken stack: enough said
        }
    }
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(mismatched, 0);
    EXPECT_EQ(tracker.CommandsTaken(), model.tracker.CommandsTaken());
}

}  // namespace
}  // namespace quarnel::test
