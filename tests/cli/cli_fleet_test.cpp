// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// quarnelctl with several trackers: choosing one (list, --device, --imei), every one at once
// (--all), and the provisioning station (set --each), on simulated fleets sharing one
// virtual clock. Workers run on threads of their own: this runs under the thread sanitiser.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "cli/cli_rig.h"
#include "cli/exit_status.h"
#include "cli/fleet_rig.h"
#include "firmware/image_check.h"
#include "firmware/md5.h"
#include "params/param_catalogue.h"
#include "profile/profile_check.h"
#include "profile/profile_samples.h"
#include "profile/profile_write.h"
#include "sim/sim_fleet.h"
#include "sim/sim_state.h"
#include "support/row_name.h"
#include "support/sim_fixture.h"
#include "support/text_lines.h"

namespace quarnel {
namespace {

using cli::ExitStatus;
using test::Exchange;
using test::Fleet;
using test::FleetRig;
using test::PrintTo;
using test::ReadFile;
using test::Scratch;

int Code(ExitStatus s) {
    return static_cast<int>(s);
}

using test::Lines;

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The demonstration tracker with the IMEI of the `index`-th demonstration tracker.
sim::SimState Demo(size_t index) {
    sim::SimState s = sim::DemoState();
    const std::string imei = sim::DemoImei(index);
    s.items[{0, 0}] = std::vector<uint8_t>(imei.begin(), imei.end());
    return s;
}

sim::SimState With(sim::SimState s, std::function<void(sim::SimFaults&)> faults) {
    faults(s.faults);
    return s;
}

sim::FaultRule Rule(sim::FaultKind kind, int op, uint64_t from) {
    sim::FaultRule r;
    r.kind = kind;
    r.op = op;
    r.from = from;
    return r;
}

// Unplugged part way: after its 30th command.
sim::SimState Unplugged(size_t index) {
    return With(Demo(index), [](sim::SimFaults& f) { f.unplugAfter = 30; });
}
// Silent from its 10th command on.
sim::SimState Silent(size_t index) {
    return With(Demo(index), [](sim::SimFaults& f) {
        f.rules.push_back(Rule(sim::FaultKind::NoReply, -1, 10));
    });
}
// Refuses the 5th write it is sent, and every write after it.
sim::SimState Refusing(size_t index) {
    return With(Demo(index), [](sim::SimFaults& f) {
        f.rules.push_back(Rule(sim::FaultKind::WriteNotAccepted, OP_SET, 5));
    });
}

const std::string kSample = FormatProfile(test::SampleProfile());

// A profile that differs from the demonstration configuration, sealed.
std::string FleetProfile() {
    Profile p = test::SampleProfile();
    test::Put(p, "gprs", "apn", u"fleet.example");
    test::Put(p, "system", "sms_interval", u"900");
    return FormatProfile(p);
}

// --- which tracker ---

TEST(QuarnelctlList, PrintsEveryTrackerWithItsImeiAndFirmware) {
    FleetRig rig(Fleet({Demo(0), Demo(1), Demo(2)}));
    rig.fleet.Backend().AddForeignDevice("sim/mouse", 0x046D, 0xC077);
    const FleetRig::Result r = rig.Run({"list"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "sim/tracker0  356938035643809  TRV-G12 V1.40207\n"
              "sim/tracker1  356938035643817  TRV-G12 V1.40207\n"
              "sim/tracker2  356938035643825  TRV-G12 V1.40207\n");
    EXPECT_EQ(r.err, "");
    // Read with info's commands: Get Parameter, nothing written.
    for (size_t i = 0; i < 3; ++i) {
        const auto sent = test::SentPayloads(rig.fleet.Tracker(i));
        EXPECT_EQ(sent.size(), ReadTransactionCount());
        EXPECT_TRUE(
            std::all_of(sent.begin(), sent.end(), [](const auto& p) { return p[0] == OP_GET; }));
    }
}

TEST(QuarnelctlList, GivesATrackerThatCannotBeOpenedALineOfItsOwn) {
    FleetRig rig(Fleet({Demo(0), Demo(1), Silent(2)}));
    rig.fleet.Backend().FailOpen("sim/tracker1", HidAccess::Read);
    const FleetRig::Result r = rig.Run({"list"});
    EXPECT_EQ(r.status, Code(ExitStatus::SomeFailed));
    EXPECT_EQ(Lines(r.out),
              (std::vector<std::string>{
                  "sim/tracker0  356938035643809  TRV-G12 V1.40207",
                  "sim/tracker1  cannot be opened for reading (permissions; see \"Using a "
                  "tracker without root\" in docs/quarnelctl.md)",
                  "sim/tracker2  the tracker stopped answering: no reply to the reading of "
                  "Security SMS On/Off"}));
    EXPECT_EQ(r.err, "quarnelctl: 2 of 3 trackers could not be read\n");
}

TEST(QuarnelctlList, SaysSoWhenNoTrackerIsAttached) {
    FleetRig rig(Fleet({Demo(0)}));
    rig.fleet.Backend().Unplug("sim/tracker0");
    const FleetRig::Result r = rig.Run({"list"});
    EXPECT_EQ(r.status, Code(ExitStatus::NoTracker));
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "quarnelctl: no tracker (USB 051a:511b) is attached\n");
}

TEST(QuarnelctlChoose, DeviceTakesTheTrackerAtThatPathAlone) {
    FleetRig rig(Fleet({Demo(0), Demo(1), Demo(2)}));
    const FleetRig::Result r = rig.Run({"info", "--device", "sim/tracker1"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "IMEI: 356938035643817\nFirmware version: TRV-G12 V1.40207\n");
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(rig.fleet.Tracker(0).Transcript().empty());
    EXPECT_TRUE(rig.fleet.Tracker(2).Transcript().empty());

    // A write goes to that tracker only, exactly as set sends it to a tracker alone.
    Scratch dir;
    const std::string profile = dir.Write("p.ini", FleetProfile());
    ASSERT_EQ(rig.Run({"set", "--device=sim/tracker2", profile}).status, 0);
    FleetRig alone(Fleet({Demo(2)}));
    ASSERT_EQ(alone.Run({"set", profile}).status, 0);
    EXPECT_EQ(Exchange(rig.fleet.Tracker(2)), Exchange(alone.fleet.Tracker(0)));
    EXPECT_TRUE(rig.fleet.Tracker(0).Transcript().empty());
    EXPECT_EQ(rig.fleet.Tracker(1).ClosingWrites(), 0u);
}

TEST(QuarnelctlChoose, ImeiReadsEveryTrackerThenTakesTheOneWithIt) {
    FleetRig rig(Fleet({Demo(0), Demo(1), Demo(2)}));
    const FleetRig::Result r = rig.Run({"erase", "--imei", sim::DemoImei(1)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "The GPS log is erased.\n");
    EXPECT_FALSE(rig.fleet.Tracker(0).State().log.empty());
    EXPECT_TRUE(rig.fleet.Tracker(1).State().log.empty());
    EXPECT_FALSE(rig.fleet.Tracker(2).State().log.empty());
    // The others were only read, with info's commands.
    EXPECT_EQ(test::SentPayloads(rig.fleet.Tracker(0)).size(), ReadTransactionCount());
    EXPECT_EQ(test::SentPayloads(rig.fleet.Tracker(1)).size(), ReadTransactionCount() + 2);
}

struct Refusal {
    const char* name;
    std::vector<std::string> args;
    ExitStatus status;
    std::vector<std::string> lastLines;
};

class QuarnelctlChooseRefuses : public testing::TestWithParam<Refusal> {};

// Nothing is written to any tracker: they are only read, to list them.
TEST_P(QuarnelctlChooseRefuses, AndChangesNoTracker) {
    sim::SimState twin = Demo(1);
    FleetRig rig(Fleet({Demo(0), Demo(1), twin}));
    rig.fleet.Backend().AddForeignDevice("sim/mouse", 0x046D, 0xC077);
    Scratch dir;
    std::vector<std::string> args;
    for (const std::string& a : GetParam().args) {
        args.push_back(a == "@p.ini" ? dir.Write("p.ini", kSample) : a);
    }
    const FleetRig::Result r = rig.Run(args);
    EXPECT_EQ(r.status, Code(GetParam().status)) << r.err;
    EXPECT_EQ(r.out, "");
    const std::vector<std::string> lines = Lines(r.err);
    ASSERT_GE(lines.size(), GetParam().lastLines.size());
    EXPECT_EQ(std::vector<std::string>(lines.end() - static_cast<long>(GetParam().lastLines.size()),
                                       lines.end()),
              GetParam().lastLines);
    for (size_t i = 0; i < rig.fleet.Size(); ++i) {
        for (const auto& payload : test::SentPayloads(rig.fleet.Tracker(i))) {
            EXPECT_EQ(payload[0], OP_GET) << "tracker " << i;
        }
    }
}

const std::vector<std::string> kListed{
    "sim/tracker0  356938035643809  TRV-G12 V1.40207",
    "sim/tracker1  356938035643817  TRV-G12 V1.40207",
    "sim/tracker2  356938035643817  TRV-G12 V1.40207",
};

std::vector<std::string> ListedThen(const std::string& last) {
    std::vector<std::string> lines = kListed;
    lines.push_back(last);
    return lines;
}

const std::string kChooseOne =
    "quarnelctl: 3 trackers are attached; choose one with --device PATH or --imei IMEI, or all "
    "of them with --all";

INSTANTIATE_TEST_SUITE_P(
    Commands, QuarnelctlChooseRefuses,
    testing::Values(
        Refusal{
            "SetWithSeveral", {"set", "@p.ini"}, ExitStatus::ChooseTracker, ListedThen(kChooseOne)},
        Refusal{
            "DefaultWithSeveral", {"default"}, ExitStatus::ChooseTracker, ListedThen(kChooseOne)},
        Refusal{"EraseWithSeveral", {"erase"}, ExitStatus::ChooseTracker, ListedThen(kChooseOne)},
        Refusal{"UpdateWithSeveral",
                {"update", "fw.bin", "fw.md5"},
                ExitStatus::ChooseTracker,
                ListedThen(kChooseOne)},
        Refusal{"ImeiOfTwo",
                {"set", "--imei", "356938035643817", "@p.ini"},
                ExitStatus::ChooseTracker,
                ListedThen("quarnelctl: 2 trackers have the IMEI 356938035643817; choose one "
                           "with --device PATH")},
        Refusal{"ImeiOfNone",
                {"erase", "--imei", "356938035643000"},
                ExitStatus::NoTracker,
                ListedThen("quarnelctl: no attached tracker has the IMEI 356938035643000")},
        Refusal{"NoTrackerAtThePath",
                {"erase", "--device", "sim/tracker7"},
                ExitStatus::NoTracker,
                {"quarnelctl: no tracker is attached at sim/tracker7"}},
        Refusal{"NotATracker",
                {"default", "--device", "sim/mouse"},
                ExitStatus::NoTracker,
                {"quarnelctl: sim/mouse is not a tracker (USB 051a:511b)"}},
        Refusal{"DeviceAndImei",
                {"erase", "--device", "sim/tracker0", "--imei", "1"},
                ExitStatus::Usage,
                {"quarnelctl: choose the tracker with --device or with --imei, not both (see "
                 "quarnelctl --help)"}},
        Refusal{"AllAndDevice",
                {"erase", "--all", "--device", "sim/tracker0"},
                ExitStatus::Usage,
                {"quarnelctl: --all works on every tracker; it does not go with --device or "
                 "--imei (see quarnelctl --help)"}},
        Refusal{"EachAndAll",
                {"set", "--each", "--all", "@p.ini"},
                ExitStatus::Usage,
                {"quarnelctl: --each waits for trackers to be plugged in; it does not go with "
                 "--all, --device or --imei (see quarnelctl --help)"}},
        Refusal{"ReportAlone",
                {"set", "--report", "r.csv", "@p.ini"},
                ExitStatus::Usage,
                {"quarnelctl: --report records a run on several trackers: it goes with --each "
                 "or --all (see quarnelctl --help)"}},
        Refusal{"ListTakesNoChoice",
                {"list", "--all"},
                ExitStatus::Usage,
                {"quarnelctl: option --all does not go with list (see quarnelctl --help)"}},
        Refusal{"GetAllWithoutPattern",
                {"get", "--all", "-o", "p.ini"},
                ExitStatus::Usage,
                {"quarnelctl: get --all writes one profile per tracker: name them with {imei} in "
                 "-o, as in -o 'profiles/{imei}.ini' (see quarnelctl get --help)"}},
        Refusal{"LogAllWithoutPattern",
                {"log", "--all", "trip.gpx"},
                ExitStatus::Usage,
                {"quarnelctl: log --all writes one file per tracker: name them with {imei}, as "
                 "in 'logs/{imei}.gpx' (see quarnelctl log --help)"}}),
    test::RowName());

TEST(QuarnelctlChoose, AReadWithSeveralTakesTheFirstAndSaysSo) {
    FleetRig rig(Fleet({Demo(0), Demo(1)}));
    const FleetRig::Result r = rig.Run({"info"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "IMEI: 356938035643809\nFirmware version: TRV-G12 V1.40207\n");
    EXPECT_EQ(r.err,
              "quarnelctl: warning: 2 trackers are attached; reading the first one found, "
              "sim/tracker0 (choose one with --device or --imei)\n");
    EXPECT_TRUE(rig.fleet.Tracker(1).Transcript().empty());
}

TEST(QuarnelctlChoose, ATrackerThatCannotBeOpenedEndsWithItsStatus) {
    FleetRig rig(Fleet({Demo(0), Demo(1)}));
    rig.fleet.Backend().FailOpen("sim/tracker1", HidAccess::Write);
    const FleetRig::Result r = rig.Run({"info", "--device", "sim/tracker1"});
    EXPECT_EQ(r.status, Code(ExitStatus::CannotOpenTracker));
    EXPECT_EQ(r.err,
              "quarnelctl: the tracker at sim/tracker1 cannot be opened for writing; to use it "
              "without root, install the udev rule (see docs/quarnelctl.md)\n");
}

// --- every tracker at once ---

// set --all on two healthy trackers and three that fail in different ways: the healthy
// ones finish exactly as when each runs alone, byte for byte and frame for frame.
TEST(QuarnelctlAll, FailingTrackersNeitherStopNorSlowNorCorruptTheOthers) {
    Scratch dir;
    const std::string profile = dir.Write("p.ini", FleetProfile());
    FleetRig rig(Fleet({Demo(0), Unplugged(1), Demo(2), Silent(3), Refusing(4)}));
    const FleetRig::Result r = rig.Run({"set", "--all", profile});
    EXPECT_EQ(r.status, Code(ExitStatus::SomeFailed));

    for (size_t healthy : {0u, 2u}) {
        FleetRig alone(Fleet({Demo(healthy)}));
        ASSERT_EQ(alone.Run({"set", profile}).status, 0);
        EXPECT_EQ(Exchange(rig.fleet.Tracker(healthy)), Exchange(alone.fleet.Tracker(0)))
            << healthy;
        EXPECT_EQ(test::Times(rig.fleet.Tracker(healthy)), test::Times(alone.fleet.Tracker(0)))
            << healthy;
        EXPECT_EQ(rig.fleet.Tracker(healthy).State().items, alone.fleet.Tracker(0).State().items);
        EXPECT_TRUE(rig.fleet.Tracker(healthy).ProtocolNotes().empty());
    }

    const std::vector<std::string> out = Lines(r.out);
    ASSERT_EQ(out.size(), 8u) << r.out;
    EXPECT_EQ(out[0],
              "sim/tracker0: " + profile + " written to the tracker and read back the same.");
    EXPECT_EQ(out[1],
              "sim/tracker2: " + profile + " written to the tracker and read back the same.");
    EXPECT_EQ(out[2], "TRACKER       IMEI               TIME  RESULT");
    EXPECT_EQ(out[3], "sim/tracker0  356938035643809  0.21 s  OK");
    // Unplugged after its 30th command: the 31st is not taken.
    EXPECT_EQ(out[4],
              "sim/tracker1  -                0.06 s  failed (6): the tracker stopped answering: "
              "the tracker did not take the writing of SCU Phone number 10; its configuration "
              "may be partly written");
    EXPECT_EQ(out[5], "sim/tracker2  356938035643825  0.21 s  OK");
    // Silent from its 10th command: one reply time-out.
    EXPECT_EQ(out[6],
              "sim/tracker3  -                2.02 s  failed (6): the tracker stopped answering: "
              "no reply to the writing of Sleep Mode; its configuration may be partly written");
    // Its 5th write is never taken: one write time-out.
    EXPECT_EQ(out[7],
              "sim/tracker4  -                2.01 s  failed (6): the tracker stopped answering: "
              "the tracker did not take the writing of Disable Alarm; its configuration may be "
              "partly written");
    const std::vector<std::string> err = Lines(r.err);
    ASSERT_FALSE(err.empty());
    EXPECT_EQ(err.back(), "quarnelctl: 3 of 5 trackers failed");
    // The run took as long as its slowest tracker, not the sum of them.
    EXPECT_LT(rig.NowMs(), 2300u);
}

struct AllCase {
    const char* name;
    std::vector<std::string> args;   // "@dir" stands for the test's folder
    std::vector<std::string> files;  // each healthy tracker's output file, "{imei}" filled in
    // What the tracker unplugged part way ends with.
    std::string failed = "failed (6): the tracker stopped answering";
};

class QuarnelctlAllRuns : public testing::TestWithParam<AllCase> {};

std::vector<std::string> InDir(const std::vector<std::string>& args, const Scratch& dir) {
    std::vector<std::string> out;
    for (std::string a : args) {
        const size_t at = a.find("@dir");
        if (at != std::string::npos) {
            a.replace(at, 4, dir.File(""));
        }
        out.push_back(a);
    }
    return out;
}

// Every command with --all: the trackers that keep answering see exactly what they see
// when each is the only one, and write the same files; the one unplugged part way fails
// alone, and the summary says so.
TEST_P(QuarnelctlAllRuns, EachTrackerAsIfAlone) {
    Scratch dir;
    dir.Write("p.ini", FleetProfile());
    const std::string image(3000, '\x21');
    dir.Write("fw.bin", image);
    dir.Write("fw.md5",
              DigestText(Md5::Of(reinterpret_cast<const uint8_t*>(image.data()), image.size())) +
                  "  fw.bin\n");
    std::vector<std::string> args = InDir(GetParam().args, dir);
    FleetRig rig(Fleet({Demo(0), Unplugged(1), Demo(2)}));
    const FleetRig::Result r = rig.Run(args);
    EXPECT_EQ(r.status, Code(ExitStatus::SomeFailed)) << r.err;
    const std::vector<std::string> out = Lines(r.out);
    ASSERT_GE(out.size(), 4u);
    EXPECT_EQ(out[out.size() - 4].rfind("TRACKER ", 0), 0u);
    EXPECT_NE(out[out.size() - 3].find("  OK"), std::string::npos) << r.out;
    EXPECT_NE(out[out.size() - 2].find("  " + GetParam().failed), std::string::npos) << r.out;
    EXPECT_NE(out[out.size() - 1].find("  OK"), std::string::npos) << r.out;
    EXPECT_EQ(Lines(r.err).back(), "quarnelctl: 1 of 3 trackers failed");

    for (size_t healthy : {0u, 2u}) {
        Scratch aloneDir;
        aloneDir.Write("p.ini", FleetProfile());
        aloneDir.Write("fw.bin", ReadFile(dir.File("fw.bin")));
        aloneDir.Write("fw.md5", ReadFile(dir.File("fw.md5")));
        FleetRig alone(Fleet({Demo(healthy)}));
        const FleetRig::Result a = alone.Run(InDir(GetParam().args, aloneDir));
        ASSERT_EQ(a.status, 0) << a.err;
        EXPECT_EQ(Exchange(rig.fleet.Tracker(healthy)), Exchange(alone.fleet.Tracker(0)));
        EXPECT_EQ(test::Times(rig.fleet.Tracker(healthy)), test::Times(alone.fleet.Tracker(0)));
        for (std::string file : GetParam().files) {
            file.replace(file.find("{imei}"), 6, sim::DemoImei(healthy));
            EXPECT_EQ(ReadFile(dir.File(file)), ReadFile(aloneDir.File(file))) << file;
            EXPECT_FALSE(ReadFile(dir.File(file)).empty()) << file;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, QuarnelctlAllRuns,
    testing::Values(AllCase{"Info", {"info", "--all"}, {}},
                    AllCase{"Get", {"get", "--all", "-o", "@dir{imei}.ini"}, {"{imei}.ini"}},
                    AllCase{"Set", {"set", "--all", "@dirp.ini"}, {}},
                    // Set Default's read opens the tracker again, and finds it gone.
                    AllCase{"Default",
                            {"default", "--all"},
                            {},
                            "failed (3): USB CONNECT FAILURE: the tracker at sim/tracker1 is "
                            "gone"},
                    AllCase{"LogCsv", {"log", "--all", "@dirlog-{imei}.csv"}, {"log-{imei}.csv"}},
                    AllCase{"LogKml", {"log", "--all", "@dir{imei}.kml"}, {"{imei}.kml"}},
                    AllCase{"Erase", {"erase", "--all"}, {}},
                    AllCase{"Update", {"update", "--all", "@dirfw.bin", "@dirfw.md5"}, {}}),
    test::RowName());

TEST(QuarnelctlAll, PrefixesEachTrackersOwnLinesAndSucceedsWhenAllDo) {
    FleetRig rig(Fleet({Demo(0), Demo(1)}));
    const FleetRig::Result r = rig.Run({"info", "--all"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(r.out), (std::vector<std::string>{
                                "sim/tracker0: IMEI: 356938035643809",
                                "sim/tracker0: Firmware version: TRV-G12 V1.40207",
                                "sim/tracker1: IMEI: 356938035643817",
                                "sim/tracker1: Firmware version: TRV-G12 V1.40207",
                                "TRACKER       IMEI               TIME  RESULT",
                                "sim/tracker0  356938035643809  0.11 s  OK",
                                "sim/tracker1  356938035643817  0.11 s  OK",
                            }));
    // Not on a terminal: one plain line per tracker as it ends (its order is the threads').
    std::vector<std::string> err = Lines(r.err);
    std::sort(err.begin(), err.end());
    EXPECT_EQ(err, (std::vector<std::string>{"sim/tracker0: OK", "sim/tracker1: OK"}));
}

TEST(QuarnelctlAll, RedrawsOneLinePerTrackerOnATerminal) {
    FleetRig rig(Fleet({Demo(0), Demo(1), Silent(2)}));
    rig.terminal = true;
    const FleetRig::Result r = rig.Run({"erase", "--all"});
    EXPECT_EQ(r.status, Code(ExitStatus::SomeFailed));
    // Each drawing after the first goes back up over the three lines.
    const size_t last = r.err.rfind("\x1b[3A");
    ASSERT_NE(last, std::string::npos) << r.err;
    EXPECT_EQ(r.err.substr(last, r.err.find("quarnelctl:") - last),
              "\x1b[3A"
              "\r\x1b[2Ksim/tracker0  OK\n"
              "\r\x1b[2Ksim/tracker1  OK\n"
              "\r\x1b[2Ksim/tracker2  failed (6)\n");
    EXPECT_NE(r.err.find("\r\x1b[2Ksim/tracker1  [##########----------]  50 %\n"),
              std::string::npos);
    EXPECT_EQ(r.err.rfind("\r\x1b[2Ksim/tracker0  [--------------------]   0 %\n", 0), 0u);
}

TEST(QuarnelctlAll, ShowsTenthsOfALongCommandInPlainLines) {
    Scratch dir;
    FleetRig rig(Fleet({Demo(0), Demo(1)}));
    const FleetRig::Result r = rig.Run({"log", "--all", dir.File("{imei}.csv")});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* tracker : {"sim/tracker0", "sim/tracker1"}) {
        std::string mine;
        for (const std::string& line : Lines(r.err)) {
            if (line.rfind(std::string(tracker) + ": ", 0) == 0) {
                mine += line.substr(line.find(": ") + 2) + "|";
            }
        }
        EXPECT_EQ(mine, "10 %|20 %|30 %|40 %|50 %|60 %|70 %|80 %|90 %|100 %|OK|") << tracker;
    }
}

// Two trackers that report one IMEI: the first to name its file gets it (both finish their
// reads at the same moment, so which one that is, is the threads' affair); the other fails
// and says whose file it is.
TEST(QuarnelctlAll, NeverPutsTwoTrackersIntoOneFile) {
    Scratch dir;
    sim::SimState noImei = Demo(2);
    noImei.items[{0, 0}] = {'a', '/', 'b'};
    FleetRig rig(Fleet({Demo(1), Demo(1), noImei}));
    const FleetRig::Result r = rig.Run({"get", "--all", "-o", dir.File("{imei}.ini")});
    EXPECT_EQ(r.status, Code(ExitStatus::SomeFailed));
    const std::vector<std::string> out = Lines(r.out);
    ASSERT_EQ(out.size(), 5u) << r.out;
    const std::string file = dir.File("356938035643817.ini");
    const bool firstWon = out[0].rfind("sim/tracker0: ", 0) == 0;
    const std::string winner = firstWon ? "sim/tracker0" : "sim/tracker1";
    const std::string loser = firstWon ? "sim/tracker1" : "sim/tracker0";
    EXPECT_EQ(out[0], winner + ": profile written to " + file);
    EXPECT_EQ(out[firstWon ? 2 : 3], winner + "  356938035643817  0.11 s  OK");
    EXPECT_EQ(out[firstWon ? 3 : 2], loser + "  356938035643817  0.11 s  failed (4): " + file +
                                         " is the file of the tracker at " + winner +
                                         " already: both report the IMEI 356938035643817");
    EXPECT_EQ(out[4],
              "sim/tracker2  a/b              0.11 s  failed (4): the tracker's IMEI "
              "\"a/b\" cannot name a file");
    EXPECT_EQ(CheckProfile(ReadFile(file), ChecksumRule::Enforce).profile.imei, u"356938035643817");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("")),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(QuarnelctlAll, SaysSoWhenNoTrackerIsAttached) {
    FleetRig rig(Fleet({Demo(0)}));
    rig.fleet.Backend().Unplug("sim/tracker0");
    const FleetRig::Result r = rig.Run({"default", "--all"});
    EXPECT_EQ(r.status, Code(ExitStatus::NoTracker));
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "quarnelctl: USB CONNECT FAILURE: no tracker (USB 051a:511b) was found\n");
}

TEST(QuarnelctlAll, RecordsEveryTrackerOfASetInTheReport) {
    Scratch dir;
    const std::string profile = dir.Write("p.ini", FleetProfile());
    const std::string report = dir.File("record.csv");
    FleetRig rig(Fleet({Demo(0), Silent(1)}));
    EXPECT_EQ(rig.Run({"set", "--all", "--report", report, profile}).status,
              Code(ExitStatus::SomeFailed));
    const std::string checksum = CheckProfile(FleetProfile(), ChecksumRule::Enforce).checksum;
    std::vector<std::string> rows = Lines(ReadFile(report));
    ASSERT_EQ(rows.size(), 3u);
    std::sort(rows.begin() + 1, rows.end());
    EXPECT_EQ(rows[0], "time_utc,imei,firmware_version,profile,profile_checksum,result\r");
    // Set never got to read the silent tracker's IMEI.
    EXPECT_EQ(rows[1], "2024-06-01T12:00:00Z,,," + profile + "," + checksum +
                           ",failed (6): the tracker stopped answering: no reply to the writing "
                           "of Sleep Mode; its configuration may be partly written\r");
    EXPECT_EQ(rows[2], "2024-06-01T12:00:00Z,356938035643809,TRV-G12 V1.40207," + profile + "," +
                           checksum + ",OK\r");
}

// --- the provisioning station ---

sim::FleetTracker Plugged(size_t index, sim::SimState state, std::vector<sim::PlugSpan> spans) {
    return sim::FleetTracker{sim::FleetPath(index), std::move(state), std::move(spans)};
}

sim::PlugSpan Span(uint64_t atMs, uint64_t untilMs) {
    return sim::PlugSpan{atMs, untilMs};
}

// One cable and a pile of boxes: A is written; B is plugged in (into a hub) while A is
// being written and written alongside it; C is pulled out while it is written; A comes back
// after it was unplugged and is written again. The station ends when nothing more can
// happen, as after Ctrl+C, with its summary.
TEST(QuarnelctlStation, WritesEachTrackerPluggedInAcrossPlugsAndUnplugs) {
    Scratch dir;
    const std::string profile = dir.Write("p.ini", FleetProfile());
    const std::string report = dir.File("record.csv");
    sim::FleetSetup setup;
    setup.trackers = {Plugged(0, Demo(0), {Span(0, 3000), Span(7000, 8000)}),
                      Plugged(1, Demo(1), {Span(100, 4000)}),
                      Plugged(2, Demo(2), {Span(5000, 5150)})};
    FleetRig rig(setup);
    const FleetRig::Result r = rig.Run({"set", "--each", "--report", report, profile});
    EXPECT_EQ(r.status, Code(ExitStatus::SomeFailed)) << r.err;
    EXPECT_EQ(rig.interruptsCaught.load(), 1);

    const std::vector<std::string> out = Lines(r.out);
    ASSERT_EQ(out.size(), 9u) << r.out;
    EXPECT_EQ(out[0], "356938035643809  OK");
    EXPECT_EQ(out[1], "356938035643817  OK");
    // Pulled out 150 ms after it was plugged in: read, and part way through the writing.
    EXPECT_EQ(out[2],
              "356938035643825  failed (6): the tracker stopped answering: the tracker did not "
              "take the writing of SCU Phone number 2; its configuration may be partly written");
    EXPECT_EQ(out[3], "356938035643809  OK");
    EXPECT_EQ(out[4], "TRACKER       IMEI               TIME  RESULT");
    EXPECT_EQ(out[5], "sim/tracker0  356938035643809  0.32 s  OK");
    EXPECT_EQ(out[6], "sim/tracker1  356938035643817  0.32 s  OK");
    EXPECT_EQ(out[8], "sim/tracker0  356938035643809  0.32 s  OK");
    EXPECT_EQ(Lines(r.err).back(), "quarnelctl: 1 of 4 trackers failed");

    // B's exchange began while A's was under way, and is the one B has alone.
    const std::vector<uint64_t> a = test::Times(rig.fleet.Tracker(0));
    const std::vector<uint64_t> b = test::Times(rig.fleet.Tracker(1));
    ASSERT_FALSE(b.empty());
    EXPECT_LT(b.front(), a[a.size() / 2 - 1]);
    sim::FleetSetup justB;
    justB.trackers = {Plugged(1, Demo(1), {Span(100, 4000)})};
    FleetRig alone(justB);
    ASSERT_EQ(alone.Run({"set", "--each", profile}).status, 0);
    EXPECT_EQ(Exchange(rig.fleet.Tracker(1)), Exchange(alone.fleet.Tracker(0)));
    EXPECT_EQ(test::Times(rig.fleet.Tracker(1)), test::Times(alone.fleet.Tracker(0)));
    // A was identified, written and read back twice; each time it ended up with the profile.
    EXPECT_EQ(rig.fleet.Tracker(0).ClosingWrites(), 2u);
    EXPECT_EQ(a.size(), 2 * 2 * (2 * ReadTransactionCount() + WriteTransactionCount()));

    const std::vector<std::string> rows = Lines(ReadFile(report));
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(
        rows[1].rfind("2024-06-01T12:00:00Z,356938035643809,TRV-G12 V1.40207," + profile + "," +
                          CheckProfile(FleetProfile(), ChecksumRule::Enforce).checksum + ",OK\r",
                      0),
        0u);
    EXPECT_NE(rows[3].find(",356938035643825,TRV-G12 V1.40207,"), std::string::npos);
    EXPECT_NE(rows[3].find(",failed (6): the tracker stopped answering"), std::string::npos);
}

TEST(QuarnelctlStation, RingsTheBellOnEachResultOnATerminal) {
    Scratch dir;
    const std::string profile = dir.Write("p.ini", FleetProfile());
    FleetRig rig(Fleet({Demo(0), Refusing(1)}));
    rig.terminal = true;
    const FleetRig::Result r = rig.Run({"set", "--each", profile});
    EXPECT_EQ(r.status, Code(ExitStatus::SomeFailed));
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\a'), 2);
    // A hub full of trackers: all written at once.
    EXPECT_EQ(rig.fleet.Tracker(0).ClosingWrites(), 1u);
    EXPECT_LT(rig.NowMs(), 3000u) << r.out << r.err;
}

TEST(QuarnelctlStation, RefusesABadProfileBeforeAnyTracker) {
    Scratch dir;
    std::string damaged = FleetProfile();
    damaged.replace(damaged.find("= 900"), 5, "= 901");
    const std::string profile = dir.Write("p.ini", damaged);
    const std::string report = dir.File("record.csv");
    FleetRig rig(Fleet({Demo(0), Demo(1)}));
    const FleetRig::Result r = rig.Run({"set", "--each", "--report", report, profile});
    EXPECT_EQ(r.status, Code(ExitStatus::ProfileRefused));
    EXPECT_EQ(rig.sidesOpened, 0);
    EXPECT_TRUE(rig.fleet.Tracker(0).Transcript().empty());
    EXPECT_TRUE(rig.fleet.Tracker(1).Transcript().empty());
    EXPECT_FALSE(std::filesystem::exists(report));
}

TEST(QuarnelctlStation, StopsOnCtrlCAfterTheTrackersBeingWritten) {
    Scratch dir;
    const std::string profile = dir.Write("p.ini", FleetProfile());
    sim::FleetSetup setup;
    setup.trackers = {Plugged(0, Demo(0), {sim::PlugSpan{0, std::nullopt}}),
                      Plugged(1, Demo(1), {sim::PlugSpan{20000, std::nullopt}})};
    FleetRig rig(setup);
    sim::VirtualClock& clock = *rig.fleet.Virtual();
    rig.interrupted = [&clock] { return clock.NowUs() >= 5'000'000; };
    const FleetRig::Result r = rig.Run({"set", "--each", profile});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(r.out),
              (std::vector<std::string>{"356938035643809  OK",
                                        "TRACKER       IMEI               TIME  RESULT",
                                        "sim/tracker0  356938035643809  0.32 s  OK"}));
    EXPECT_TRUE(rig.fleet.Tracker(1).Transcript().empty());
    EXPECT_LT(rig.NowMs(), 5300u);
}

TEST(QuarnelctlStation, WillNotStartWithoutItsRecord) {
    Scratch dir;
    const std::string profile = dir.Write("p.ini", FleetProfile());
    FleetRig rig(Fleet({Demo(0)}));
    const FleetRig::Result r =
        rig.Run({"set", "--each", "--report", dir.File("no/such/record.csv"), profile});
    EXPECT_EQ(r.status, Code(ExitStatus::FileError));
    EXPECT_TRUE(Has(r.err, "No such file or directory")) << r.err;
    EXPECT_EQ(rig.sidesOpened, 0);
    EXPECT_TRUE(rig.fleet.Tracker(0).Transcript().empty());
}

TEST(QuarnelctlStation, AppendsToAnEarlierRecordAndQuotesWhatNeedsIt) {
    Scratch dir;
    Profile p = test::SampleProfile();
#ifdef _WIN32
    // Windows file names cannot hold a double quote; the comma alone asks for quotes.
    const char* const name = "a,b.ini";
    const char* const quoted = "a,b.ini";
#else
    const char* const name = "a,\"b\".ini";
    const char* const quoted = "a,\"\"b\"\".ini";
#endif
    const std::string profile = dir.Write(name, FormatProfile(p));
    const std::string report = dir.Write("record.csv", "earlier row\r\n");
    FleetRig rig(Fleet({Demo(0)}));
    ASSERT_EQ(rig.Run({"set", "--each", "--report", report, profile}).status, 0);
    const std::vector<std::string> rows = Lines(ReadFile(report));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], "earlier row\r");
    EXPECT_NE(rows[1].find(",\"" + dir.File(quoted) + "\","), std::string::npos) << rows[1];
}

// --- simulated fleets from the command line ---

TEST(QuarnelctlDemoFleet, DemoNGivesNTrackersWithTheirOwnImeis) {
    std::ostringstream out;
    std::ostringstream err;
    cli::CliEnvironment env{out, err};
    ASSERT_EQ(cli::RunQuarnelctl({"--demo", "3", "list"}, env), 0) << err.str();
    EXPECT_EQ(out.str(),
              "sim/tracker0  356938035643809  TRV-G12 V1.40207\n"
              "sim/tracker1  356938035643817  TRV-G12 V1.40207\n"
              "sim/tracker2  356938035643825  TRV-G12 V1.40207\n");
}

TEST(QuarnelctlDemoFleet, AStateFileOfSeveralTrackersIsLoadedAndSavedWhole) {
    Scratch dir;
    const std::string state = dir.Write("fleet.json", R"({"trackers": [
        {"items": {"imei": "111111111111111"},
         "log": [{"time": "2014-02-07 08:05:09", "latitude": 22.63, "longitude": 120.3}]},
        {"path": "hub/port2", "items": {"imei": "222222222222222"},
         "log": [{"time": "2014-02-07 08:05:29", "latitude": 22.64, "longitude": 120.3}],
         "faults": {"rules": [{"kind": "no_reply", "group": 0, "op": 1, "from": 3}]}}
    ]})");
    std::ostringstream out;
    std::ostringstream err;
    cli::CliEnvironment env{out, err};
    EXPECT_EQ(cli::RunQuarnelctl({"--state", state, "--save-state", state, "erase", "--all"}, env),
              Code(ExitStatus::SomeFailed));
    EXPECT_TRUE(Has(out.str(), "sim/tracker0  111111111111111")) << out.str();
    EXPECT_TRUE(Has(out.str(), "hub/port2     -")) << out.str();
    sim::FleetSetup saved;
    std::string error;
    ASSERT_TRUE(sim::LoadSimFleet(state, saved, error)) << error;
    ASSERT_EQ(saved.trackers.size(), 2u);
    EXPECT_EQ(saved.trackers[1].path, "hub/port2");
    EXPECT_EQ(saved.trackers[1].state.faults.rules.size(), 1u);
    EXPECT_TRUE(saved.trackers[0].state.log.empty());
    EXPECT_FALSE(saved.trackers[1].state.log.empty());
}

}  // namespace
}  // namespace quarnel
