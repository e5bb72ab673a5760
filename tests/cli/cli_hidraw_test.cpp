// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// quarnelctl with several trackers through the production hidapi backend, on umockdev
// hidraw nodes served by simulated trackers: list, --device, --imei and --all find the
// trackers by the paths hidapi enumerates. Real time, kept short.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_rig.h"
#include "cli/quarnelctl.h"
#include "cli/tracker_side.h"
#include "device/hidraw_bed.h"
#include "device/hidraw_tracker.h"
#include "sim/sim_fleet.h"
#include "sim/sim_state.h"

namespace quarnel {
namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

class QuarnelctlOnHidraw : public testing::Test {
protected:
    void SetUp() override {
        if (!m_bed.InMockEnvironment()) {
            GTEST_SKIP() << "not running under umockdev-wrapper";
        }
        m_foreign = m_bed.AddDevice(0x051A, 0x5120,
                                    [](const uint8_t*, size_t) { return test::HidrawAnswer{}; });
        for (size_t i = 0; i < 2; ++i) {
            sim::SimState state = sim::DemoState();
            const std::string imei = sim::DemoImei(i);
            state.items[{0, 0}] = std::vector<uint8_t>(imei.begin(), imei.end());
            m_trackers[i].SetState(state);
            m_nodes.push_back(test::ServeTracker(m_bed, m_trackers[i]));
        }
    }

    Result Run(std::vector<std::string> args) {
        std::ostringstream out;
        std::ostringstream err;
        cli::CliEnvironment env{out, err};
        env.openTracker = [](const cli::GlobalOptions&, std::string&) {
            return cli::MakeUsbTrackerSide();
        };
        const int status = cli::RunQuarnelctl(args, env);
        return {status, out.str(), err.str()};
    }

    // The trackers outlive the bed, whose nodes they serve.
    sim::SimTracker m_trackers[2];
    test::HidrawBed m_bed;
    std::string m_foreign;
    std::vector<std::string> m_nodes;
};

TEST_F(QuarnelctlOnHidraw, ListsEachTrackerNodeWithItsImei) {
    const Result r = Run({"list"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, m_nodes[0] + "  356938035643809  TRV-G12 V1.40207\n" + m_nodes[1] +
                         "  356938035643817  TRV-G12 V1.40207\n");
    EXPECT_EQ(m_bed.WritesReceived(m_foreign), 0u);
}

TEST_F(QuarnelctlOnHidraw, ChoosesATrackerByItsNodeOrItsImei) {
    const Result byNode = Run({"info", "--device", m_nodes[1]});
    ASSERT_EQ(byNode.status, 0) << byNode.err;
    EXPECT_EQ(byNode.out, "IMEI: 356938035643817\nFirmware version: TRV-G12 V1.40207\n");
    EXPECT_TRUE(m_trackers[0].Transcript().empty());

    const Result byImei = Run({"erase", "--imei", "356938035643809"});
    ASSERT_EQ(byImei.status, 0) << byImei.err;
    EXPECT_TRUE(m_trackers[0].State().log.empty());
    EXPECT_FALSE(m_trackers[1].State().log.empty());

    const Result refused = Run({"erase"});
    EXPECT_EQ(refused.status, 11);
    EXPECT_FALSE(m_trackers[1].State().log.empty());

    const Result foreign = Run({"info", "--device", m_foreign});
    EXPECT_EQ(foreign.status, 3);
    EXPECT_EQ(foreign.err, "quarnelctl: " + m_foreign + " is not a tracker (USB 051a:511b)\n");
}

TEST_F(QuarnelctlOnHidraw, WritesAProfileIntoEveryTrackerAtOnce) {
    test::Scratch dir;
    const std::string profile = dir.File("fleet.ini");
    ASSERT_EQ(Run({"get", "--device", m_nodes[0], "-o", profile}).status, 0);
    std::string text = test::ReadFile(profile);
    text.replace(text.find("apn = internet.emome.net"), 24, "apn = hub.example");
    dir.Write("fleet.ini", text);
    ASSERT_EQ(Run({"seal", profile}).status, 0);

    const Result r = Run({"set", "--all", profile});
    ASSERT_EQ(r.status, 0) << r.err;
    for (sim::SimTracker& t : m_trackers) {
        const std::vector<uint8_t> apn = t.State().items.at({1, 0});
        EXPECT_EQ(std::string(apn.begin(), apn.end()), "hub.example");
        EXPECT_EQ(t.ClosingWrites(), 1u);
        EXPECT_TRUE(t.ProtocolNotes().empty());
    }
    EXPECT_NE(r.out.find(m_nodes[1] + "  356938035643817  "), std::string::npos) << r.out;
}

}  // namespace
}  // namespace quarnel
