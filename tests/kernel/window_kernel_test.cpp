// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The window, offscreen, clicking Get Parameter against the tracker on the real USB stack:
// the same fields and messages as on the in-process simulated tracker.
#include <gtest/gtest.h>

#include <QPushButton>
#include <algorithm>

#include "app/form_fixture.h"
#include "device/hidapi_backend.h"
#include "form/control_ids.h"
#include "form/control_table.h"
#include "form/messages.h"
#include "kernel/gadget_host.h"
#include "support/row_name.h"
#include "support/sim_fixture.h"

namespace quarnel {
namespace {

using test::FormFixture;
using test::GadgetHost;

void Click(FormFixture& f, int id) {
    QTest::mouseClick(f.C(id), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
}

// Every edit's text and every check box's state, as the form shows them.
std::vector<std::string> Shown(FormFixture& f) {
    std::vector<std::string> shown;
    for (const ControlSpec& c : ControlTable()) {
        if (c.id != 0 && (c.kind == ControlKind::Edit || c.kind == ControlKind::ComboBox ||
                          c.kind == ControlKind::Label)) {
            const std::u16string text = f.form->GetText(c.id);
            shown.push_back(std::to_string(c.id) + "=" + std::string(text.begin(), text.end()));
        } else if (c.kind == ControlKind::CheckBox) {
            shown.push_back(std::to_string(c.id) + (f.form->IsChecked(c.id) ? "=on" : "=off"));
        }
    }
    return shown;
}

struct Clicked {
    std::vector<std::string> messages;
    std::vector<std::string> shown;
    std::vector<std::string> transcript;
    bool enabledAgain = false;
};

Clicked ClickGetParameter(const DeviceLink& link, sim::SimTracker& tracker) {
    Clicked c;
    FormFixture f(link);
    EXPECT_TRUE(f.Show());
    tracker.ClearTranscript();
    Click(f, ctl::GetParameterButton);
    for (const auto& m : f.ui.Messages()) {
        c.messages.push_back(std::string(m.begin(), m.end()));
    }
    c.shown = Shown(f);
    for (const sim::TranscriptEntry& e : tracker.Transcript()) {
        c.transcript.push_back(sim::TranscriptLine(e));
    }
    c.enabledAgain = f.form->IsEnabled(ctl::GetParameterButton);
    return c;
}

struct WindowCase {
    const char* name;
    int64_t unplugAfter;  // -1: never
};
using test::PrintTo;

class WindowOnRealUsb : public ::testing::TestWithParam<WindowCase> {
protected:
    void SetUp() override {
        if (const char* why = GadgetHost::SkipReason()) {
            GTEST_SKIP() << why;
        }
    }
};

TEST_P(WindowOnRealUsb, GetParameterShowsWhatItShowsOnTheInProcessTracker) {
    sim::SimState state = sim::DemoState();
    state.faults.unplugAfter = GetParam().unplugAfter;

    sim::SimTracker tracker(state);
    GadgetHost host(tracker, "dummy_udc.0");
    std::string error;
    ASSERT_TRUE(host.Plug(error)) << error;
    std::unique_ptr<HidBackend> backend = MakeHidapiBackend();
    SteadyClock clock;
    CommandAreas areas;
    const Clicked real = ClickGetParameter(DeviceLink{*backend, clock, areas}, tracker);

    test::SimRig rig(state, true);
    const Clicked sim = ClickGetParameter(rig.Link(), rig.tracker);

    EXPECT_TRUE(real.enabledAgain);
    ASSERT_FALSE(real.messages.empty());
    EXPECT_EQ(real.messages.back(), "GET FINISH");
    EXPECT_EQ(real.transcript, sim.transcript);
    if (GetParam().unplugAfter < 0 || (real.messages == sim.messages && real.shown == sim.shown)) {
        EXPECT_EQ(real.messages, sim.messages);
        EXPECT_EQ(real.shown, sim.shown);
    } else {
        // The unplug beat the window to the tracker's last answer, as it may on any real
        // bus: the window then shows what it shows for a tracker gone a command earlier.
        sim::SimState earlier = state;
        earlier.faults.unplugAfter = GetParam().unplugAfter - 1;
        test::SimRig earlierRig(earlier, true);
        const Clicked simEarlier = ClickGetParameter(earlierRig.Link(), earlierRig.tracker);
        EXPECT_EQ(real.messages, simEarlier.messages);
        EXPECT_EQ(real.shown, simEarlier.shown);
    }
    if (GetParam().unplugAfter < 0) {
        EXPECT_EQ(tracker.CommandsTaken(), 53u);
        const std::string imei = std::to_string(ctl::ImeiDisplay) + "=356938035643809";
        EXPECT_NE(std::find(real.shown.begin(), real.shown.end(), imei), real.shown.end());
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowOnRealUsb,
                         ::testing::Values(WindowCase{"Plugged", -1},
                                           WindowCase{"UnpluggedPartWay", 20}),
                         test::RowName());

}  // namespace
}  // namespace quarnel
