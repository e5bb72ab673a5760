// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// quarnelctl's commands run in-process against the simulated tracker: what they do to the
// tracker, what they write, and how each one ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_rig.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "firmware/image_check.h"
#include "firmware/md5.h"
#include "gpslog/log_tasks.h"
#include "i18n/lang_table.h"
#include "params/param_catalogue.h"
#include "params/param_commands.h"
#include "profile/profile_check.h"
#include "profile/profile_form.h"
#include "profile/profile_samples.h"
#include "profile/profile_write.h"
#include "sim/sim_state.h"
#include "support/row_name.h"
#include "support/sim_fixture.h"
#include "support/text_lines.h"

namespace quarnel {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

using cli::ExitStatus;
using test::CliRig;
using test::ReadFile;
using test::Replaced;
using test::Scratch;

int Code(ExitStatus s) {
    return static_cast<int>(s);
}

const std::string kSample = FormatProfile(test::SampleProfile());

using test::Lines;

// --- profiles through the tracker ---

TEST(QuarnelctlGet, WritesTheWholeConfigurationAsASealedProfile) {
    CliRig rig(sim::DemoState());
    const CliRig::Result r = rig.Run({"get"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const CheckedProfile c = CheckProfile(r.out, ChecksumRule::Enforce);
    EXPECT_TRUE(c.Usable());
    // The demonstration tracker is the sample's tracker.
    EXPECT_EQ(c.profile, test::SampleProfile());
    EXPECT_EQ(rig.SentPayloads().size(), ReadTransactionCount());
}

TEST(QuarnelctlRoundTrip, GetSetGetGivesTheSameProfileApartFromTheTime) {
    CliRig rig(sim::DemoState());
    Scratch dir;
    const std::string file = dir.File("tracker.ini");
    ASSERT_EQ(rig.Run({"get", "-o", file}).status, 0);
    rig.now += 3600;
    const CliRig::Result set = rig.Run({"set", file});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out, file + " written to the tracker and read back the same.\n");
    const CliRig::Result again = rig.Run({"get"});
    ASSERT_EQ(again.status, 0);
    EXPECT_EQ(test::WithoutReadTime(again.out), test::WithoutReadTime(ReadFile(file)));
    EXPECT_NE(again.out, ReadFile(file));
    EXPECT_NE(again.out.find("read_at = 2024-06-01T13:00:00Z"), std::string::npos);
}

TEST(QuarnelctlRoundTrip, CarriesOneTrackersConfigurationIntoAnother) {
    CliRig source(sim::DemoState());
    CliRig target(sim::FactoryState());
    Scratch dir;
    const std::string file = dir.File("fleet.ini");
    ASSERT_EQ(source.Run({"get", "-o", file}).status, 0);
    ASSERT_EQ(target.Run({"set", file}).status, 0);
    EXPECT_EQ(test::WithoutReadTime(target.Run({"get"}).out),
              test::WithoutReadTime(ReadFile(file)));
    const sim::SimState a = source.tracker.State();
    const sim::SimState b = target.tracker.State();
    for (const ParamItem& item : Catalogue()) {
        if (item.written && item.encoding != Encoding::PhoneList) {
            EXPECT_EQ(a.items.at({item.group, item.index}), b.items.at({item.group, item.index}))
                << test::Narrow(std::u16string(item.name));
        }
    }
    EXPECT_EQ(a.phoneLists, b.phoneLists);
}

// The command line's set sends exactly what the window's Set Parameter sends for the same
// field values, byte for byte, and then exactly what its Get Parameter sends.
TEST(QuarnelctlSet, SendsWhatTheWindowSendsForTheSameFields) {
    Profile profile = test::SampleProfile();
    test::Put(profile, "sleep", "mode", u"none");
    test::Put(profile, "phones", "sms", u"1,,22,333");
    test::Put(profile, "gprs", "apn", u"Z\u00FCrich");
    Scratch dir;
    const std::string file = dir.Write("p.ini", FormatProfile(profile));
    CliRig cli(sim::FactoryState());
    ASSERT_EQ(cli.Run({"set", file}).status, 0);

    test::SimRig window(sim::FactoryState());
    window.form.AddModeItems();
    FillForm(profile, window.form);
    CommandContext ctx = window.Context();
    ParamState state;
    SetParameter(ctx, state);
    GetParameter(ctx, state);

    const auto fromCli = test::SentReports(cli.tracker);
    const auto fromWindow = test::SentReports(window.tracker);
    EXPECT_EQ(fromCli.size(), WriteTransactionCount() + ReadTransactionCount());
    EXPECT_EQ(fromCli, fromWindow);
    EXPECT_TRUE(cli.tracker.ProtocolNotes().empty());
}

TEST(QuarnelctlSet, ReportsEveryValueTheTrackerReadsBackOtherwise) {
    CliRig rig(sim::FactoryState());
    // A tracker that keeps something else than the APN and the over-speed limit it is sent.
    rig.counting.rewrite = [](uint8_t* report) {
        uint8_t* p = report + 3;
        if (p[0] == 2 && p[2] == 1 && p[4] == 0) {
            std::memcpy(p + 8, "other", 6);
            p[1] = 13;
        }
        if (p[0] == 2 && p[2] == 0 && p[4] == 7) {
            std::memcpy(p + 8, "99", 3);
            p[1] = 10;
        }
    };
    Scratch dir;
    const std::string file = dir.Write("p.ini", kSample);
    const CliRig::Result r = rig.Run({"set", file});
    EXPECT_EQ(r.status, Code(ExitStatus::ReadBackDiffers));
    const std::vector<std::string> lines = Lines(r.err);
    ASSERT_EQ(lines.size(), 3u) << r.err;
    EXPECT_EQ(lines[0], file + ":" + std::to_string(test::LineOf(kSample, "over_speed")) +
                            ": [system] over_speed was written as 110, the tracker reads back 99");
    EXPECT_EQ(lines[1], file + ":" + std::to_string(test::LineOf(kSample, "apn")) +
                            ": [gprs] apn was written as internet.emome.net, the tracker reads "
                            "back other");
    EXPECT_EQ(lines[2], "quarnelctl: the tracker reads back 2 values other than written");
}

TEST(QuarnelctlGet, WarnsAboutValuesSetWouldRefuse) {
    sim::SimState state = sim::DemoState();
    state.items[{0, 6}] = {'1', '2', '3'};
    state.items[{0, 11}][0] = 0x9C;  // sleep hour -100
    state.items[{0, 11}][1] = 0xFF;
    state.items[{0, 11}][2] = 0xFF;
    state.items[{0, 11}][3] = 0xFF;
    CliRig rig(state);
    Scratch dir;
    const std::string file = dir.File("p.ini");
    const CliRig::Result r = rig.Run({"get", "-o", file});
    ASSERT_EQ(r.status, 0);
    const std::vector<std::string> lines = Lines(r.err);
    ASSERT_EQ(lines.size(), 2u) << r.err;
    EXPECT_EQ(lines[0],
              "quarnelctl: warning: [system] ring_counter = 123: is 3 characters long; the "
              "window's field takes at most 2; set will refuse this profile until the value "
              "is changed");
    EXPECT_NE(lines[1].find("[sleep] sleep_hour = -100"), std::string::npos);
    EXPECT_EQ(rig.Run({"set", file}).status, Code(ExitStatus::ProfileRefused));
}

// --- refused profiles: nothing reaches the tracker ---

struct Refused {
    const char* name;
    std::function<std::string()> text;
    std::vector<std::string> options;
    const char* says;
};

class QuarnelctlSetRefuses : public testing::TestWithParam<Refused> {};

TEST_P(QuarnelctlSetRefuses, AndSendsNothing) {
    CliRig rig(sim::DemoState());
    Scratch dir;
    const std::string file = dir.Write("p.ini", GetParam().text());
    std::vector<std::string> args{"set"};
    args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
    args.push_back(file);
    const CliRig::Result r = rig.Run(args);
    EXPECT_EQ(r.status, Code(ExitStatus::ProfileRefused)) << r.err;
    EXPECT_NE(r.err.find(file + ":"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(GetParam().says), std::string::npos) << r.err;
    const std::vector<std::string> lines = Lines(r.err);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind("quarnelctl: " + file + ": profile refused (", 0), 0u);
    EXPECT_NE(lines.back().find("); nothing was sent to the tracker"), std::string::npos);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(rig.tracker.Transcript().empty());
    EXPECT_EQ(rig.counting.enumerations, 0);
    EXPECT_EQ(rig.counting.opens, 0);
    EXPECT_EQ(rig.trackerSidesOpened, 0);
}

std::string Changed(const std::string& from, const std::string& to) {
    return Replaced(kSample, from, to);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, QuarnelctlSetRefuses,
    testing::Values(
        Refused{"OneByteChanged",
                [] { return Changed("= 600", "= 601"); },
                {},
                ": [profile] checksum does not match"},
        Refused{
            "Unsealed", [] { return Changed("checksum =", "#checksum ="); }, {}, "has no checksum"},
        Refused{"Truncated",
                [] { return kSample.substr(0, kSample.size() / 2); },
                {"--force"},
                "missing section [phones]"},
        Refused{
            "EmptyFile", [] { return std::string(); }, {"--force"}, "missing section [profile]"},
        Refused{"NotAProfile",
                [] {
                    return std::string(
                        "\x7F"
                        "ELF\x01\x02\n\xFF\xFE");
                },
                {"--force"},
                "not valid UTF-8"},
        Refused{"UnknownKey",
                [] { return Changed("[gprs]\n", "[gprs]\nproxy = 1\n"); },
                {"--force"},
                "unknown key [gprs] proxy"},
        Refused{"BeyondLatin1",
                [] { return Changed("apn = internet", "apn = \xE2\x82\xAC"); },
                {"--force"},
                "U+20AC"},
        Refused{"TooLongForTheField",
                [] { return Changed("apn = internet.emome.net", "apn = " + std::string(32, 'a')); },
                {"--force"},
                "at most 31"},
        Refused{"LastNumberTooLong",
                [] { return Changed("sos = +886933221100,", "sos = " + std::string(51, '9')); },
                {"--force"},
                "at most 50 fit one report"},
        Refused{"LettersInADigitsField",
                [] { return Changed("udp_port = 6101", "udp_port = x"); },
                {"--force"},
                "digits only"},
        Refused{"EveryProblemAtOnce",
                [] { return Changed("burglar = on", "burglar = 1\nburglar = on\nmode = 9"); },
                {},
                "appears twice"}),
    [](const testing::TestParamInfo<Refused>& p) { return std::string(p.param.name); });

TEST(QuarnelctlSet, ListsEveryProblemWithItsLineNumber) {
    CliRig rig(sim::DemoState());
    Scratch dir;
    const std::string text = Changed("ring_counter = 3", "ring_counter = 3x\nvolume = 11");
    const std::string file = dir.Write("p.ini", text);
    const CliRig::Result r = rig.Run({"set", file});
    EXPECT_EQ(Lines(r.err),
              (std::vector<std::string>{
                  file + ":" + std::to_string(test::LineOf(text, "checksum")) +
                      ": [profile] checksum does not match the values: the file is damaged, "
                      "or was edited after it was sealed",
                  file + ":" + std::to_string(test::LineOf(text, "ring_counter")) +
                      ": [system] ring_counter = 3x: takes digits only, as the window's field "
                      "does",
                  file + ":" + std::to_string(test::LineOf(text, "volume")) +
                      ": unknown key [system] volume",
                  "quarnelctl: " + file +
                      ": profile refused (3 problems); nothing was sent to the tracker"}));
}

TEST(QuarnelctlSet, WritesADamagedProfileWithForceAndSaysSo) {
    CliRig rig(sim::FactoryState());
    Scratch dir;
    const std::string file =
        dir.Write("p.ini", Changed("sms_interval = 600", "sms_interval = 601"));
    const CliRig::Result r = rig.Run({"set", "--force", file});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "quarnelctl: warning: " + file +
                         ": the checksum does not match; writing it all the same (--force)\n");
    EXPECT_EQ(rig.tracker.State().items.at({0, 1}), (std::vector<uint8_t>{'6', '0', '1'}));
}

TEST(QuarnelctlSeal, SealsAHandEditedProfileSoSetTakesIt) {
    CliRig rig(sim::FactoryState());
    Scratch dir;
    const std::string edited =
        Changed("sms_interval = 600", "# raised for the fleet\nsms_interval = 900");
    const std::string file = dir.Write("p.ini", edited);
    ASSERT_EQ(rig.Run({"set", file}).status, Code(ExitStatus::ProfileRefused));

    const CliRig::Result sealed = rig.Run({"seal", file});
    ASSERT_EQ(sealed.status, 0) << sealed.err;
    const std::string now = ReadFile(file);
    EXPECT_NE(now.find("# raised for the fleet\nsms_interval = 900\n"), std::string::npos);
    EXPECT_EQ(now.size(), edited.size());
    EXPECT_EQ(sealed.out,
              file + " sealed (" + CheckProfile(now, ChecksumRule::Enforce).checksum + ").\n");
    EXPECT_EQ(rig.trackerSidesOpened, 0);

    EXPECT_EQ(rig.Run({"seal", file}).out.find("is sealed already"), file.size() + 1);
    ASSERT_EQ(rig.Run({"set", file}).status, 0);
    EXPECT_EQ(rig.tracker.State().items.at({0, 1}), (std::vector<uint8_t>{'9', '0', '0'}));
}

TEST(QuarnelctlSeal, LeavesAProfileWithProblemsAsItIs) {
    CliRig rig(sim::FactoryState());
    Scratch dir;
    const std::string bad = Changed("burglar = on", "burglar = perhaps");
    const std::string file = dir.Write("p.ini", bad);
    const CliRig::Result r = rig.Run({"seal", file});
    EXPECT_EQ(r.status, Code(ExitStatus::ProfileRefused));
    EXPECT_EQ(Lines(r.err).back(),
              "quarnelctl: " + file + ": not sealed (1 problem); the file was not changed");
    EXPECT_EQ(ReadFile(file), bad);
}

// --- how each command ends ---

struct Ending {
    const char* name;
    std::function<void(CliRig&, const Scratch&, std::vector<std::string>&)> setup;
    ExitStatus status;
    const char* says;
    bool withTracker = true;
};

class QuarnelctlEnds : public testing::TestWithParam<Ending> {};

TEST_P(QuarnelctlEnds, WithItsStatusAndOneLine) {
    const Ending& e = GetParam();
    Scratch dir;
    std::vector<std::string> args;
    CliRig rig(sim::DemoState(), e.withTracker);
    e.setup(rig, dir, args);
    const CliRig::Result r = rig.Run(args);
    EXPECT_EQ(r.status, Code(e.status)) << r.err;
    const std::vector<std::string> lines = Lines(r.err);
    ASSERT_FALSE(lines.empty());
    // Progress lines may come first; the failure is the last line.
    EXPECT_EQ(lines.back().rfind("quarnelctl: ", 0), 0u) << r.err;
    EXPECT_NE(lines.back().find(e.says), std::string::npos) << r.err;
    if (e.status == ExitStatus::Usage) {
        EXPECT_EQ(rig.trackerSidesOpened, 0);
    }
}

void Faults(CliRig& rig, sim::FaultKind kind, int group, int op, uint64_t from) {
    sim::FaultRule r;
    r.kind = kind;
    r.group = group;
    r.op = op;
    r.from = from;
    sim::SimFaults faults;
    faults.rules.push_back(r);
    rig.tracker.SetFaults(faults);
}

std::function<void(CliRig&, const Scratch&, std::vector<std::string>&)> Args(
    std::vector<std::string> args, std::function<void(CliRig&)> more = [](CliRig&) {}) {
    return [args, more](CliRig& rig, const Scratch&, std::vector<std::string>& out) {
        out = args;
        more(rig);
    };
}

// Arguments that name files in the test's folder: "@name" becomes that file, written with
// the sample profile for ".ini", a small image for ".bin" and its digest for ".md5", and
// not written at all for any other name.
std::function<void(CliRig&, const Scratch&, std::vector<std::string>&)> WithFiles(
    std::vector<std::string> args, std::function<void(CliRig&)> more = [](CliRig&) {}) {
    return [args, more](CliRig& rig, const Scratch& dir, std::vector<std::string>& out) {
        const std::string image(1000, '\x5A');
        for (std::string a : args) {
            if (a.rfind("@", 0) == 0) {
                const std::string name = a.substr(1);
                if (name.ends_with(".ini")) {
                    a = dir.Write(name, kSample);
                } else if (name.ends_with(".bin")) {
                    a = dir.Write(name, image);
                } else if (name.ends_with(".md5")) {
                    a = dir.Write(name,
                                  DigestText(Md5::Of(reinterpret_cast<const uint8_t*>(image.data()),
                                                     image.size())) +
                                      "  fw.bin\n");
                } else {
                    a = dir.File(name);
                }
            }
            out.push_back(a);
        }
        more(rig);
    };
}

using K = sim::FaultKind;
using S = ExitStatus;

INSTANTIATE_TEST_SUITE_P(
    Commands, QuarnelctlEnds,
    testing::Values(
        // No tracker: "USB CONNECT FAILURE".
        Ending{"InfoWithoutTracker", Args({"info"}), S::NoTracker, "USB CONNECT FAILURE", false},
        Ending{"GetWithoutTracker", Args({"get"}), S::NoTracker, "USB CONNECT FAILURE", false},
        Ending{"SetWithoutTracker", WithFiles({"set", "@p.ini"}), S::NoTracker,
               "USB CONNECT FAILURE", false},
        Ending{"DefaultWithoutTracker", Args({"default"}), S::NoTracker, "USB CONNECT FAILURE",
               false},
        Ending{"LogWithoutTracker", WithFiles({"log", "@log.csv"}), S::NoTracker,
               "USB CONNECT FAILURE", false},
        Ending{"EraseWithoutTracker", Args({"erase"}), S::NoTracker, "USB CONNECT FAILURE", false},
        Ending{"UpdateWithoutTracker", WithFiles({"update", "@fw.bin", "@fw.md5"}), S::NoTracker,
               "USB CONNECT FAILURE", false},
        // A tracker this user may not open.
        Ending{"CannotOpen",
               Args({"info"},
                    [](CliRig& rig) { rig.backend.FailOpen("sim/tracker0", HidAccess::Read); }),
               S::CannotOpenTracker,
               "the tracker at sim/tracker0 cannot be opened for reading; to use it without "
               "root, install the udev rule"},
        // The tracker stops answering.
        Ending{"InfoNoReply", Args({"info"}, [](CliRig& r) { Faults(r, K::NoReply, 0, 1, 3); }),
               S::StoppedAnswering,
               "the tracker stopped answering: no reply to the reading of GPRS Interval"},
        Ending{"GetNoReplyToAPhoneEntry",
               Args({"get"}, [](CliRig& r) { Faults(r, K::NoReply, 2, 1, 5); }),
               S::StoppedAnswering, "no reply to the reading of SCU Phone number 3"},
        Ending{"GetWriteNotTaken",
               Args({"get"}, [](CliRig& r) { Faults(r, K::WriteNotAccepted, 1, 1, 2); }),
               S::StoppedAnswering, "the tracker did not take the reading of GPRS User"},
        Ending{"GetUnplugged",
               Args({"get"},
                    [](CliRig& r) {
                        sim::SimFaults f;
                        f.unplugAfter = 10;
                        r.tracker.SetFaults(f);
                    }),
               S::StoppedAnswering, "the tracker stopped answering"},
        Ending{"SetNoReply",
               WithFiles({"set", "@p.ini"}, [](CliRig& r) { Faults(r, K::NoReply, 1, 2, 2); }),
               S::StoppedAnswering,
               "no reply to the writing of GPRS User; its configuration may be partly written"},
        Ending{"SetNoReplyReadingBack",
               WithFiles({"set", "@p.ini"}, [](CliRig& r) { Faults(r, K::NoReply, 1, 1, 1); }),
               S::StoppedAnswering,
               "no reply to the reading of APN (while reading the profile back; it was "
               "written)"},
        Ending{"DefaultNoReply",
               Args({"default"}, [](CliRig& r) { Faults(r, K::NoReply, 0, 2, 1); }),
               S::StoppedAnswering, "no reply to the factory-default command"},
        Ending{"LogNoCount",
               WithFiles({"log", "@log.csv"}, [](CliRig& r) { Faults(r, K::NoReply, 3, 2, 1); }),
               S::StoppedAnswering,
               "the tracker stopped answering: The tracker did not report its log."},
        Ending{"LogNoRecord",
               WithFiles({"log", "@log.csv"}, [](CliRig& r) { Faults(r, K::NoReply, 3, 1, 10); }),
               S::StoppedAnswering,
               "the tracker stopped answering: The tracker stopped answering at record 10 of "
               "240."},
        Ending{"LogNeverReady",
               WithFiles({"log", "@log.csv"},
                         [](CliRig& r) {
                             sim::SimFaults f;
                             f.logNotReadyCount = -1;
                             r.tracker.SetFaults(f);
                         }),
               S::StoppedAnswering, "did not become ready within 30 seconds"},
        Ending{"GpxWithoutTracker", WithFiles({"log", "@log.gpx"}), S::NoTracker,
               "USB CONNECT FAILURE", false},
        Ending{"GpxNoRecord",
               WithFiles({"log", "@log.gpx"}, [](CliRig& r) { Faults(r, K::NoReply, 3, 1, 10); }),
               S::StoppedAnswering,
               "the tracker stopped answering: The tracker stopped answering at record 10 of "
               "240."},
        Ending{"KmlToAFullDisk", Args({"log", "--format", "kml", "/dev/full"}), S::FileError,
               "/dev/full: The log file could not be written (the disk is full)."},
        Ending{"MapPageToAFullDisk", Args({"log", "--format", "html", "/dev/full"}), S::FileError,
               "/dev/full: The log file could not be written (the disk is full)."},
        Ending{"KmlIntoAMissingFolder", WithFiles({"log", "@no/such/log.kml"}), S::FileError,
               "could not be created"},
        Ending{"EraseNoReply", Args({"erase"}, [](CliRig& r) { Faults(r, K::NoReply, 4, 1, 1); }),
               S::StoppedAnswering, "no reply to the wait for the log erase"},
        Ending{"UpdateNoReply",
               WithFiles({"update", "@fw.bin", "@fw.md5"},
                         [](CliRig& r) { Faults(r, K::NoReply, 6, 2, 100); }),
               S::StoppedAnswering,
               "FIRMWARE UPDATE FAILED: the tracker did not answer block 100 of 3968."},
        // Files.
        Ending{"GetToAFullDisk", Args({"get", "-o", "/dev/full"}), S::FileError,
               "cannot write /dev/full: No space left on device"},
        Ending{"GetIntoAMissingFolder", WithFiles({"get", "-o", "@no/such/p.ini"}), S::FileError,
               "No such file or directory"},
        Ending{"GetOverAFolder", WithFiles({"get", "-o", "@"}), S::FileError, "Is a directory"},
        Ending{"SetMissingProfile", WithFiles({"set", "@missing"}), S::FileError, "cannot open"},
        Ending{"SetFolderAsProfile", WithFiles({"set", "@"}), S::FileError, "cannot read"},
        Ending{"SealMissingProfile", WithFiles({"seal", "@missing"}), S::FileError,
               "No such file or directory"},
        Ending{"LogToAFullDisk", Args({"log", "/dev/full"}), S::FileError,
               "/dev/full: The log file could not be written (the disk is full)."},
        Ending{"LogIntoAMissingFolder", WithFiles({"log", "@no/such/log.csv"}), S::FileError,
               "cannot create"},
        Ending{"LogOverAFolder", WithFiles({"log", "@"}), S::FileError, "Is a directory"},
        Ending{"UpdateMissingImage", WithFiles({"update", "@no-image", "@fw.md5"}), S::FileError,
               "no-image: No such file or directory"},
        Ending{"UpdateMissingDigest", WithFiles({"update", "@fw.bin", "@no-digest"}), S::FileError,
               "no-digest: No such file or directory"},
        Ending{"UpdateFolderAsImage", WithFiles({"update", "@", "@fw.md5"}), S::FileError,
               "Cannot read the firmware image file"},
        // Usage.
        Ending{"NoCommand", Args({}), S::Usage, "no command given (see quarnelctl --help)"},
        Ending{"UnknownCommand", Args({"reboot"}), S::Usage, "no such command: reboot"},
        Ending{"UnknownOption", Args({"info", "-v"}), S::Usage, "unknown option -v"},
        Ending{"MissingOperand", Args({"update", "fw.bin"}), S::Usage,
               "wrong number of arguments for update (usage: quarnelctl update IMAGE DIGEST)"},
        Ending{"ExtraOperand", Args({"info", "now"}), S::Usage, "wrong number of arguments"},
        Ending{"OptionOfAnotherCommand", Args({"get", "--force"}), S::Usage,
               "option --force does not go with get"},
        Ending{"UnknownLogFormat", Args({"log", "--format", "xml", "x"}), S::Usage,
               "unknown log format \"xml\" (csv, gpx, kml or html)"},
        Ending{"SaveStateWithoutSimulation", Args({"--save-state", "s.json", "info"}), S::Usage,
               "--save-state needs --demo or --state"},
        Ending{"HelpForNoSuchCommand", Args({"help", "reboot"}), S::Usage,
               "no such command: reboot"}),
    [](const testing::TestParamInfo<Ending>& p) { return std::string(p.param.name); });

// --- the other commands ---

TEST(QuarnelctlInfo, PrintsTheImeiAndFirmwareVersion) {
    CliRig rig(sim::DemoState());
    const CliRig::Result r = rig.Run({"info"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "IMEI: 356938035643809\nFirmware version: TRV-G12 V1.40207\n");
    EXPECT_EQ(r.err, "");
}

TEST(QuarnelctlDefault, SendsOneFactoryDefaultAndLeavesTheFactorySettings) {
    CliRig rig(sim::DemoState());
    const CliRig::Result r = rig.Run({"default"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(rig.tracker.FactoryResets(), 1u);
    EXPECT_EQ(rig.tracker.State().items, sim::FactoryState().items);
    EXPECT_EQ(rig.SentPayloads().size(), 1 + 2 * ReadTransactionCount());
}

TEST(QuarnelctlErase, EmptiesTheLog) {
    CliRig rig(sim::DemoState());
    const CliRig::Result r = rig.Run({"erase"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "The GPS log is erased.\n");
    EXPECT_TRUE(rig.tracker.State().log.empty());
}

// The CSV file is the one the window's download writes, byte for byte.
TEST(QuarnelctlLog, WritesTheCsvFileTheWindowWrites) {
    Scratch dir;
    CliRig rig(sim::DemoState());
    const std::string file = dir.File("trip.csv");
    const CliRig::Result r = rig.Run({"log", file});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "GPS log saved to " + file + " (240 records).\n");

    test::SimRig window(sim::DemoState());
    const CLangTable table;
    LogTasks tasks(window.Link(), window.form, window.form, window.ui, table);
    window.ui.QueueDialogAnswer(std::filesystem::path(dir.File("window.csv")));
    tasks.DownloadGpsLog();
    ASSERT_TRUE(window.ui.Messages().empty());
    EXPECT_EQ(ReadFile(file), ReadFile(dir.File("window.csv")));
    EXPECT_EQ(ReadFile(file).rfind("INDEX,RCR,DATE,TIME,", 0), 0u);
}

// GPX and KML come from the same download and record test: as many points as CSV lines.
TEST(QuarnelctlLog, WritesGpxAndKmlWithTheRecordsOfTheCsv) {
    Scratch dir;
    CliRig rig(sim::DemoState());
    const CliRig::Result csv = rig.Run({"log", dir.File("trip.csv")});
    ASSERT_EQ(csv.status, 0) << csv.err;
    const std::string lines = ReadFile(dir.File("trip.csv"));
    const auto records = static_cast<size_t>(std::count(lines.begin(), lines.end(), '\n') - 1);
    struct Map {
        std::vector<std::string> args;
        std::string file;
        std::string point;
    };
    for (const Map& m :
         {Map{{"log", dir.File("trip.gpx")}, "trip.gpx", "<trkpt "},
          Map{{"log", "--format", "kml", dir.File("trip.dat")}, "trip.dat", "<when>"}}) {
        const CliRig::Result r = rig.Run(m.args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "GPS log saved to " + dir.File(m.file) + " (" + std::to_string(records) +
                             " records).\n");
        const std::string text = ReadFile(dir.File(m.file));
        size_t points = 0;
        for (size_t at = text.find(m.point); at != std::string::npos;
             at = text.find(m.point, at + 1)) {
            ++points;
        }
        EXPECT_EQ(points, records) << m.file;
    }
}

// The map page comes from the same download too, chosen by .html, .htm or --format html.
TEST(QuarnelctlLog, WritesTheMapPageWithTheRecordsOfTheCsv) {
    Scratch dir;
    CliRig rig(sim::DemoState());
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"log", dir.File("trip.html")},
          std::vector<std::string>{"log", dir.File("trip.HTM")},
          std::vector<std::string>{"log", "--format", "HTML", dir.File("trip.dat")}}) {
        const std::string file = args.back();
        const CliRig::Result r = rig.Run(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "GPS log saved to " + file + " (240 records).\n");
        const std::string page = ReadFile(file);
        EXPECT_EQ(page.rfind("<!DOCTYPE html>\n", 0), 0u) << file;
        EXPECT_NE(page.find("<dd id=\"points\" data-value=\"240\">240</dd>"), std::string::npos)
            << file;
        // Whose trip it is, read from the tracker itself.
        EXPECT_NE(page.find("<title>GPS log of tracker 356938035643809</title>"), std::string::npos)
            << file;
    }
}

TEST(QuarnelctlLog, ShowsABarOnATerminalAndLinesOtherwise) {
    Scratch dir;
    CliRig rig(sim::DemoState());
    const CliRig::Result plain = rig.Run({"log", dir.File("a.csv")});
    ASSERT_EQ(plain.status, 0);
    std::string expected;
    for (int p = 10; p <= 100; p += 10) {
        expected += "Downloading the GPS log: " + std::to_string(p) + " %\n";
    }
    EXPECT_EQ(plain.err, expected);

    rig.terminal = true;
    const CliRig::Result bar = rig.Run({"log", dir.File("b.csv")});
    ASSERT_EQ(bar.status, 0);
    EXPECT_EQ(bar.err.rfind("\rDownloading the GPS log [", 0), 0u);
    EXPECT_NE(bar.err.find("[##############################] 100 %\n"), std::string::npos);
    EXPECT_EQ(bar.err.find('\n'), bar.err.size() - 1);
}

struct Firmware {
    std::string image = std::string(5000, '\x33');
    std::string Digest() const {
        return DigestText(Md5::Of(reinterpret_cast<const uint8_t*>(image.data()), image.size()));
    }
};

TEST(QuarnelctlUpdate, SendsAnImageThatMatchesItsDigest) {
    Scratch dir;
    Firmware fw;
    CliRig rig(sim::DemoState());
    const CliRig::Result r = rig.Run(
        {"update", dir.Write("fw.bin", fw.image), dir.Write("fw.md5", fw.Digest() + "  fw.bin\n")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "FILE CHECK MD5 OK\nThe firmware was sent. UNPLUG USB and REBOOT TRACKER\n");
    EXPECT_EQ(rig.tracker.Firmware().result, sim::FirmwareStatus::Accepted);
    EXPECT_EQ(rig.SentPayloads().size(), 3970u);
    EXPECT_NE(r.err.find("Sending the firmware: 100 %\n"), std::string::npos);
}

TEST(QuarnelctlUpdate, SendsNothingWhenTheDigestDoesNotMatch) {
    Scratch dir;
    Firmware fw;
    std::string digest = fw.Digest();
    digest[0] = digest[0] == '0' ? '1' : '0';
    CliRig rig(sim::DemoState());
    const std::string image = dir.Write("fw.bin", fw.image);
    const std::string md5 = dir.Write("fw.md5", digest);
    const CliRig::Result r = rig.Run({"update", image, md5});
    EXPECT_EQ(r.status, Code(ExitStatus::DigestMismatch));
    EXPECT_EQ(r.err, "quarnelctl: FILE CHECK MD5 NG: the MD5 digest of " + image +
                         " is not the one at the start of " + md5 +
                         "; nothing was sent to the tracker\n");
    EXPECT_TRUE(rig.SentPayloads().empty());
    EXPECT_EQ(rig.tracker.Firmware().starts, 0u);
}

// --- help ---

class QuarnelctlHelp : public testing::TestWithParam<std::string> {};

TEST_P(QuarnelctlHelp, ShowsTheUsageAndEveryStatusOfTheCommand) {
    const cli::CommandSpec* command = cli::FindCommand(GetParam());
    ASSERT_NE(command, nullptr);
    CliRig rig(sim::DemoState());
    const CliRig::Result asked = rig.Run({GetParam(), "--help"});
    const CliRig::Result viaHelp = rig.Run({"help", GetParam()});
    const CliRig::Result shortOption = rig.Run({"-h", GetParam(), "--demo"});
    EXPECT_EQ(asked.status, 0);
    EXPECT_EQ(asked.err, "");
    EXPECT_EQ(viaHelp.out, asked.out);
    EXPECT_EQ(shortOption.out, asked.out);
    EXPECT_EQ(asked.out.rfind(
                  "Usage: quarnelctl [GLOBAL OPTIONS] " + std::string(command->usage) + "\n", 0),
              0u);
    EXPECT_NE(asked.out.find(std::string(command->help)), std::string::npos);
    for (const cli::ExitStatusInfo& s : cli::ExitStatuses()) {
        const bool listed = std::find(command->statuses.begin(), command->statuses.end(),
                                      s.status) != command->statuses.end();
        const std::string line =
            "\n  " + std::to_string(Code(s.status)) + "  " + std::string(s.meaning) + "\n";
        EXPECT_EQ(asked.out.find(line) != std::string::npos, listed) << line;
    }
    EXPECT_EQ(rig.trackerSidesOpened, 0);
}

INSTANTIATE_TEST_SUITE_P(Commands, QuarnelctlHelp,
                         testing::Values("list", "info", "get", "set", "default", "log", "erase",
                                         "update", "seal"),
                         [](const testing::TestParamInfo<std::string>& command) {
                             return command.param;
                         });

TEST(QuarnelctlHelp, OverallListsEveryCommandAndEveryStatus) {
    CliRig rig(sim::DemoState());
    const CliRig::Result r = rig.Run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(rig.Run({"help"}).out, r.out);
    for (const cli::CommandSpec& c : cli::Commands()) {
        EXPECT_NE(r.out.find("\n  " + std::string(c.usage) + "  "), std::string::npos) << c.name;
    }
    for (const cli::ExitStatusInfo& s : cli::ExitStatuses()) {
        EXPECT_NE(r.out.find("  " + std::to_string(Code(s.status)) + "  " + std::string(s.meaning) +
                             "\n"),
                  std::string::npos);
    }
    for (const char* option : {"--demo", "--state FILE", "--save-state FILE", "--version"}) {
        EXPECT_NE(r.out.find(option), std::string::npos) << option;
    }
}

// --- the simulated tracker the global options choose ---

TEST(QuarnelctlDemo, RunsTheDemonstrationTrackerAndSavesItsState) {
    Scratch dir;
    std::ostringstream out;
    std::ostringstream err;
    cli::CliEnvironment env{out, err};
    const std::string saved = dir.File("state.json");
    ASSERT_EQ(cli::RunQuarnelctl({"--demo", "--save-state", saved, "erase"}, env), 0) << err.str();
    sim::SimState state;
    std::string error;
    ASSERT_TRUE(sim::LoadSimState(saved, state, error)) << error;
    EXPECT_TRUE(state.log.empty());
    EXPECT_EQ(state.items, sim::DemoState().items);

    EXPECT_EQ(cli::RunQuarnelctl({"--state", saved, "log", dir.File("l.csv")}, env), 0);
    EXPECT_NE(out.str().find("(0 records)"), std::string::npos) << out.str();
}

TEST(QuarnelctlDemo, RefusesAStateFileItCannotLoadOrSave) {
    Scratch dir;
    std::ostringstream out;
    std::ostringstream err;
    cli::CliEnvironment env{out, err};
    EXPECT_EQ(cli::RunQuarnelctl({"--state", dir.Write("s.json", "{\"volume\": 3}"), "info"}, env),
              Code(ExitStatus::FileError));
    EXPECT_NE(err.str().find("quarnelctl: cannot load the simulated tracker's state: "),
              std::string::npos)
        << err.str();
    err.str("");
    EXPECT_EQ(
        cli::RunQuarnelctl({"--demo", "--save-state", dir.File("no/dir/s.json"), "info"}, env),
        Code(ExitStatus::FileError));
    EXPECT_NE(err.str().find("cannot save the simulated tracker's state"), std::string::npos);
    EXPECT_NE(out.str().find("IMEI: "), std::string::npos);
}

}  // namespace
}  // namespace quarnel
