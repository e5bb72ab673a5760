// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// A tracker may hold a text longer than one command can write (set by SMS or the web). The
// demo's tracker, started from a state file with such a text, shows the window's answer:
// Get Parameter shows the text whole, Set Parameter refuses to send it and names the field.
#include <gtest/gtest.h>

#include <QTest>
#include <filesystem>
#include <fstream>

#include "app/demo_setup.h"
#include "form/control_ids.h"
#include "form/messages.h"
#include "form_fixture.h"
#include "sim/sim_backend.h"
#include "sim/virtual_clock.h"
#include "support/sim_fixture.h"

namespace quarnel {
namespace {

// Texts of 54 to 62 bytes: what one reply carries, more than one write can.
const std::string kServer = "tracker-gateway.fleet.example.net/a-path-set-over-sms-x";
const std::string kApn = "m2m.fleet-provider.example.com.apn-set-from-the-web-portal-1";

TEST(DemoLongText, GetParameterShowsItWholeAndSetParameterRefusesToSendIt) {
    ASSERT_EQ(kServer.size(), 55u);
    ASSERT_EQ(kApn.size(), sim::kMaxStoredText - 2);

    // quarnel-demo --state FILE, on a virtual clock.
    DemoTracker demo;
    sim::VirtualClock clock;
    sim::SimBackend backend(&clock, false);
    backend.AddTracker(demo.tracker);
    CommandAreas areas;
    test::FormFixture window(DeviceLink{backend, clock, areas});
    const std::filesystem::path dir = window.programDir.path().toStdString();
    const std::filesystem::path state = dir / "long-texts.json";
    std::ofstream(state) << R"({"items": {"server": ")" << kServer << R"(", "apn": ")" << kApn
                         << R"("}})";
    std::string error;
    ASSERT_TRUE(demo.SetUp({state.string(), ""}, error)) << error;

    // With the shipped settings and English texts beside the program.
    const std::filesystem::path data = QUARNEL_DATA_DIR;
    std::filesystem::copy_file(data / "Player.ini", dir / "Player.ini");
    std::filesystem::create_directory(dir / "Lang");
    std::filesystem::copy_file(data / "Lang" / "English.ini", dir / "Lang" / "English.ini");
    ASSERT_TRUE(window.Show());

    QTest::mouseClick(window.C(ctl::GetParameterButton), Qt::LeftButton, Qt::NoModifier,
                      QPoint(4, 4));
    EXPECT_EQ(test::Narrow(window.form->GetText(ctl::IpDomainEdit)), kServer);
    EXPECT_EQ(test::Narrow(window.form->GetText(ctl::ApnEdit)), kApn);
    const size_t sentBeforeSet = test::SentReports(demo.tracker).size();

    QTest::mouseClick(window.C(ctl::SetParameterButton), Qt::LeftButton, Qt::NoModifier,
                      QPoint(4, 4));
    EXPECT_EQ(window.ui.Messages(),
              (std::vector<std::u16string>{
                  std::u16string(msg::kGetFinish),
                  u"The APN field is too long to send (at most 53 characters).\n"
                  u"The IP / Domain Name field is too long to send (at most 53 characters)."}));
    EXPECT_EQ(test::SentReports(demo.tracker).size(), sentBeforeSet);
    EXPECT_TRUE(demo.tracker.ProtocolNotes().empty());
}

}  // namespace
}  // namespace quarnel
