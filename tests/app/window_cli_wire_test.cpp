// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The window and quarnelctl drive one implementation of Set Parameter: the same field
// values, typed into the real form and clicked, or written from a profile by
// `quarnelctl set`, put the same bytes on the wire.
#include <gtest/gtest.h>

#include <QTest>
#include <filesystem>

#include "cli/cli_rig.h"
#include "form/control_ids.h"
#include "form/messages.h"
#include "form_fixture.h"
#include "profile/profile_form.h"
#include "profile/profile_samples.h"
#include "profile/profile_write.h"
#include "support/sim_fixture.h"

namespace quarnel {
namespace {

TEST(WindowAndCommandLine, SetParameterSendsTheSameBytesAsQuarnelctlSet) {
    Profile profile = test::SampleProfile();
    test::Put(profile, "phones", "sms", u"1,,22,333");
    test::Put(profile, "gprs", "apn", u"Z\u00FCrich");

    // quarnelctl set writes the profile, then reads the tracker back.
    test::Scratch dir;
    const std::string file = dir.Write("fleet.ini", FormatProfile(profile));
    test::CliRig cli(sim::FactoryState());
    ASSERT_EQ(cli.Run({"set", file}).status, 0);

    // The window, with the shipped settings and English texts beside it: the same values in
    // the real form, then a click on Set Parameter and one on Get Parameter.
    test::SimRig rig(sim::FactoryState());
    test::FormFixture window(rig.Link());
    const std::filesystem::path programDir = window.programDir.path().toStdString();
    const std::filesystem::path data = QUARNEL_DATA_DIR;
    std::filesystem::copy_file(data / "Player.ini", programDir / "Player.ini");
    std::filesystem::create_directory(programDir / "Lang");
    std::filesystem::copy_file(data / "Lang" / "English.ini", programDir / "Lang" / "English.ini");
    ASSERT_TRUE(window.Show());
    ASSERT_EQ(window.form->ItemCount(ctl::ModeCombo), 4);
    FillForm(profile, *window.form);
    for (int button : {ctl::SetParameterButton, ctl::GetParameterButton}) {
        QTest::mouseClick(window.C(button), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    }
    ASSERT_EQ(window.ui.Messages(), (std::vector<std::u16string>{std::u16string(msg::kSetFinish),
                                                                 std::u16string(msg::kGetFinish)}));

    const auto fromWindow = test::SentReports(rig.tracker);
    EXPECT_EQ(fromWindow.size(), 52u + 53u);
    EXPECT_EQ(test::SentReports(cli.tracker), fromWindow);
    EXPECT_TRUE(rig.tracker.ProtocolNotes().empty());
}

}  // namespace
}  // namespace quarnel
