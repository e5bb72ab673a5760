// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The real programs on the real USB stack: quarnelctl, unmodified and without --demo,
// against quarnel-usb-tracker serving the simulated tracker as a USB gadget. Each command
// is also run in-process on the simulated tracker from the same state; both must end the
// same way, write the same files and exchange the same reports, byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <regex>
#include <sstream>
#include <thread>

#include "cli/cli_rig.h"
#include "firmware/image_check.h"
#include "firmware/md5.h"
#include "kernel/gadget_host.h"
#include "kernel/program_run.h"
#include "sim/sim_fleet.h"
#include "sim/sim_state.h"
#include "support/row_name.h"
#include "support/text_lines.h"

namespace quarnel::test {
namespace {

using test::PrintTo;

// What a run says, with the run's own folder shown as "@", and a gone tracker told the same
// way: whether the host's next write was still taken before the unplug is a matter of
// microseconds on a real bus ("went away during" the next command's reply, or "did not take"
// it), and says the same.
std::string Comparable(std::string text, const std::string& folder) {
    for (size_t at; (at = text.find(folder)) != std::string::npos;) {
        text.replace(at, folder.size(), "@");
    }
    return std::regex_replace(text, std::regex("the tracker did not take "),
                              "the tracker went away during ");
}

// The bytes of an update image and its digest file.
struct Firmware {
    std::string image;
    std::string digest;
    Firmware() {
        for (size_t i = 0; i < 60000; ++i) {
            image.push_back(static_cast<char>((i * 7 + i / 256) & 0xFF));
        }
        digest = DigestText(Md5::Of(reinterpret_cast<const uint8_t*>(image.data()), image.size())) +
                 "  fw.bin\n";
    }
};

// One command's run, on the gadget or in-process.
struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
    std::vector<std::string> transcript;
    std::string savedState;
};

class RealUsbStack : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* why = GadgetHost::SkipReason()) {
            GTEST_SKIP() << why;
        }
        for (const char* folder : {"in", "real", "sim"}) {
            std::filesystem::create_directories(m_dir.File(folder));
        }
        Firmware fw;
        m_dir.Write("in/fw.bin", fw.image);
        m_dir.Write("in/fw.md5", fw.digest);
        // A profile read from a tracker on factory settings: writing it changes every
        // value the demonstration tracker holds.
        CliRig factory(sim::FactoryState());
        const CliRig::Result get = factory.Run({"get", "-o", m_dir.File("in/profile.ini")});
        ASSERT_EQ(get.status, 0) << get.err;
    }

    // "@x" in `args` names x in the run's own folder, "@in/x" the shared input x.
    std::vector<std::string> Args(std::vector<std::string> args, const std::string& folder) {
        for (std::string& arg : args) {
            if (arg.rfind("@in/", 0) == 0) {
                arg = m_dir.File("in/" + arg.substr(4));
            } else if (arg.rfind("@", 0) == 0) {
                arg = m_dir.File(folder + "/" + arg.substr(1));
            }
        }
        return args;
    }

    Outcome OnGadget(const sim::SimState& state, const std::vector<std::string>& args) {
        Outcome o;
        std::string error;
        const std::string statePath = m_dir.File("real/state.json");
        const std::string savedPath = m_dir.File("real/saved.json");
        const std::string transcriptPath = m_dir.File("real/transcript.txt");
        EXPECT_TRUE(sim::SaveSimState(statePath, state, error)) << error;
        UsbTrackerProcess tracker(USB_TRACKER_PATH, m_dir.File("real"));
        if (!tracker.Start({"dummy_udc.0", statePath, transcriptPath, savedPath}, error)) {
            ADD_FAILURE() << error;
            return o;
        }
        std::vector<std::string> argv = Args(args, "real");
        argv.insert(argv.begin(), QUARNELCTL_PATH);
        const ProgramRun run = RunProgram(argv, m_dir.File("real"));
        EXPECT_TRUE(run.ended) << "quarnelctl was still running after two minutes";
        EXPECT_EQ(tracker.Stop(), 0) << tracker.Output();
        EXPECT_FALSE(tracker.GadgetPresent()) << "the gadget was not taken down";
        o.status = run.status;
        o.out = Comparable(run.out, m_dir.File("real"));
        o.err = Comparable(run.err, m_dir.File("real"));
        o.transcript = Lines(ReadFile(transcriptPath));
        o.savedState = ReadFile(savedPath);
        return o;
    }

    Outcome InProcess(const sim::SimState& state, const std::vector<std::string>& args) {
        Outcome o;
        CliRig rig(state);
        const CliRig::Result r = rig.Run(Args(args, "sim"));
        o.status = r.status;
        o.out = Comparable(r.out, m_dir.File("sim"));
        o.err = Comparable(r.err, m_dir.File("sim"));
        for (const sim::TranscriptEntry& entry : rig.tracker.Transcript()) {
            o.transcript.push_back(sim::TranscriptLine(entry));
        }
        std::string error;
        const std::string savedPath = m_dir.File("sim/saved.json");
        EXPECT_TRUE(sim::SaveSimState(savedPath, rig.tracker.State(), error)) << error;
        o.savedState = ReadFile(savedPath);
        return o;
    }

    Scratch m_dir;
};

struct CommandCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::vector<std::string> files;  // written by the command, compared byte for byte
    int64_t unplugAfter = -1;        // the tracker is unplugged after this many commands
    void (*faults)(sim::SimFaults&) = nullptr;
};

// The command ends as `status` says, and exactly as it does on the in-process tracker.
class SameAsInProcess : public RealUsbStack, public ::testing::WithParamInterface<CommandCase> {
protected:
    sim::SimState State(int64_t unplugAfter) {
        sim::SimState state = sim::DemoState();
        if (GetParam().faults != nullptr) {
            GetParam().faults(state.faults);
        }
        state.faults.unplugAfter = unplugAfter;
        return state;
    }

    // What the user sees: the status, the output and the files written.
    static std::vector<std::string> Seen(const Outcome& o, const std::vector<std::string>& files,
                                         const Scratch& dir, const std::string& folder) {
        std::vector<std::string> seen = {std::to_string(o.status), o.out, o.err};
        for (const std::string& file : files) {
            // A profile records when it was read; the in-process run's clock is fixed.
            const std::string bytes = ReadFile(dir.File(folder + "/" + file));
            seen.push_back(file.ends_with(".ini") ? WithoutReadTime(bytes) : bytes);
        }
        return seen;
    }
};

TEST_P(SameAsInProcess, EndsTheSameAndExchangesTheSameBytes) {
    const CommandCase& c = GetParam();
    const Outcome sim = InProcess(State(c.unplugAfter), c.args);
    const std::vector<std::string> simSeen = Seen(sim, c.files, m_dir, "sim");
    const Outcome real = OnGadget(State(c.unplugAfter), c.args);
    const std::vector<std::string> realSeen = Seen(real, c.files, m_dir, "real");

    EXPECT_EQ(sim.status, c.status) << sim.err;
    EXPECT_EQ(real.status, c.status) << real.err;
    ASSERT_FALSE(sim.transcript.empty());
    EXPECT_EQ(real.transcript.size(), sim.transcript.size());
    for (size_t i = 0; i < std::min(real.transcript.size(), sim.transcript.size()); ++i) {
        if (real.transcript[i] != sim.transcript[i]) {
            ADD_FAILURE() << "the reports differ first at report " << i << ":\n  real "
                          << real.transcript[i] << "\n  sim  " << sim.transcript[i];
            break;
        }
    }
    EXPECT_EQ(real.savedState, sim.savedState) << "the trackers' states after the command";
    if (c.status == 0) {
        for (size_t i = 3; i < realSeen.size(); ++i) {
            EXPECT_FALSE(realSeen[i].empty()) << c.files[i - 3];
        }
    }
    if (c.unplugAfter < 0 || realSeen == simSeen) {
        EXPECT_EQ(realSeen, simSeen);
        return;
    }
    // The gadget goes as soon as the host's controller has taken its last answer; whether
    // the program read that answer before the unplug reached it is a race on any real bus.
    // If it did not, the program ends as one whose tracker went a command earlier.
    const Outcome simEarlier = InProcess(State(c.unplugAfter - 1), c.args);
    EXPECT_EQ(realSeen, Seen(simEarlier, c.files, m_dir, "sim"))
        << "neither the end after the last answer nor the one before it";
}

void SilentFrom(sim::SimFaults& f, int group, int op, uint64_t from) {
    f.rules.push_back({.kind = sim::FaultKind::NoReply, .group = group, .op = op, .from = from});
}

const CommandCase kCommands[] = {
    {"Info", {"info"}, 0, {}},
    {"Get", {"get", "-o", "@profile.ini"}, 0, {"profile.ini"}},
    {"Set", {"set", "@in/profile.ini"}, 0, {}},
    {"LogToCsv", {"log", "@log.csv"}, 0, {"log.csv"}},
    {"LogToGpx", {"log", "@log.gpx"}, 0, {"log.gpx"}},
    {"Erase", {"erase"}, 0, {}},
    {"Update", {"update", "@in/fw.bin", "@in/fw.md5"}, 0, {}},
    {"Default", {"default"}, 0, {}},
    // The tracker unplugged (its gadget unbound) part way.
    {"UnpluggedDuringGetParameter", {"get", "-o", "@profile.ini"}, 6, {"profile.ini"}, 20},
    {"UnpluggedDuringLogDownload", {"log", "@log.csv"}, 6, {"log.csv"}, 60},
    {"UnpluggedDuringUpdate", {"update", "@in/fw.bin", "@in/fw.md5"}, 6, {}, 1000},
    // The tracker stops answering part way.
    {"SilentDuringGetParameter",
     {"get", "-o", "@profile.ini"},
     6,
     {"profile.ini"},
     -1,
     [](sim::SimFaults& f) { SilentFrom(f, -1, -1, 20); }},
    {"SilentDuringLogDownload",
     {"log", "@log.csv"},
     6,
     {"log.csv"},
     -1,
     [](sim::SimFaults& f) { SilentFrom(f, 3, 1, 50); }},
    {"SilentDuringUpdate",
     {"update", "@in/fw.bin", "@in/fw.md5"},
     6,
     {},
     -1,
     [](sim::SimFaults& f) { SilentFrom(f, 6, 2, 100); }},
};

INSTANTIATE_TEST_SUITE_P(Commands, SameAsInProcess, ::testing::ValuesIn(kCommands),
                         test::RowName());

// The gadget program itself: a signal takes the gadget down, and the state is saved.
TEST_F(RealUsbStack, TheTrackerProgramTakesItsGadgetDownOnSigterm) {
    UsbTrackerProcess tracker(USB_TRACKER_PATH, m_dir.File("real"));
    std::string error;
    ASSERT_TRUE(tracker.Start({"dummy_udc.2", "", "", m_dir.File("real/saved.json")}, error))
        << error;
    EXPECT_TRUE(tracker.GadgetPresent());
    const std::string node = tracker.HidrawNode();
    EXPECT_EQ(tracker.Stop(), 0) << tracker.Output();
    EXPECT_FALSE(tracker.GadgetPresent());
    EXPECT_FALSE(std::filesystem::exists(node)) << "the host saw the tracker unplugged";
    sim::SimState saved;
    ASSERT_TRUE(sim::LoadSimState(m_dir.File("real/saved.json"), saved, error)) << error;
    EXPECT_EQ(saved.items, sim::DemoState().items);
}

TEST_F(RealUsbStack, TheTrackerProgramRefusesABusyController) {
    UsbTrackerProcess first(USB_TRACKER_PATH, m_dir.File("real"));
    std::string error;
    UsbTrackerProcess::Options options;
    options.udc = "dummy_udc.3";
    ASSERT_TRUE(first.Start(options, error)) << error;
    const ProgramRun second =
        RunProgram({USB_TRACKER_PATH, "--udc", "dummy_udc.3"}, m_dir.File("sim"));
    EXPECT_TRUE(second.ended);
    EXPECT_EQ(second.status, 3);
    EXPECT_NE(second.err.find("exists already"), std::string::npos) << second.err;
    EXPECT_TRUE(first.GadgetPresent()) << "the running one's gadget is left alone";
    EXPECT_EQ(first.Stop(), 0);
}

// Four trackers on the machine's four controllers, each a quarnel-usb-tracker of its own
// with its own IMEI, and quarnelctl's fleet commands on them.
class RealUsbFleet : public RealUsbStack {
protected:
    static constexpr size_t kTrackers = 4;

    static sim::SimState StateOf(size_t index) {
        sim::SimState state = sim::DemoState();
        const std::string imei = sim::DemoImei(index);
        state.items[{0, 0}] = std::vector<uint8_t>(imei.begin(), imei.end());
        return state;
    }

    // Starts tracker `index` from `state` on dummy_udc.<index>.
    void Start(size_t index, const sim::SimState& state) {
        const std::string folder = "real/t" + std::to_string(index);
        std::filesystem::create_directories(m_dir.File(folder));
        std::string error;
        ASSERT_TRUE(sim::SaveSimState(m_dir.File(folder + "/state.json"), state, error)) << error;
        auto tracker = std::make_unique<UsbTrackerProcess>(USB_TRACKER_PATH, m_dir.File(folder));
        UsbTrackerProcess::Options options;
        options.udc = "dummy_udc." + std::to_string(index);
        options.statePath = m_dir.File(folder + "/state.json");
        options.saveStatePath = m_dir.File(folder + "/saved.json");
        ASSERT_TRUE(tracker->Start(options, error)) << error;
        m_trackers.push_back(std::move(tracker));
    }

    // Stops every tracker; each one's saved state.
    std::vector<sim::SimState> StopAll() {
        std::vector<sim::SimState> saved;
        for (size_t i = 0; i < m_trackers.size(); ++i) {
            EXPECT_EQ(m_trackers[i]->Stop(), 0) << m_trackers[i]->Output();
            EXPECT_FALSE(m_trackers[i]->GadgetPresent());
            sim::SimState state;
            std::string error;
            EXPECT_TRUE(sim::LoadSimState(m_dir.File("real/t" + std::to_string(i) + "/saved.json"),
                                          state, error))
                << error;
            saved.push_back(std::move(state));
        }
        return saved;
    }

    ProgramRun Quarnelctl(const std::vector<std::string>& args) {
        std::vector<std::string> argv = Args(args, "real");
        argv.insert(argv.begin(), QUARNELCTL_PATH);
        ProgramRun run = RunProgram(argv, m_dir.File("real"));
        EXPECT_TRUE(run.ended) << "quarnelctl was still running after two minutes";
        return run;
    }

    // The line of `text` that holds `needle`.
    static std::string LineWith(const std::string& text, const std::string& needle) {
        for (const std::string& line : Lines(text)) {
            if (line.find(needle) != std::string::npos) {
                return line;
            }
        }
        return {};
    }

    std::vector<std::unique_ptr<UsbTrackerProcess>> m_trackers;
};

TEST_F(RealUsbFleet, ListShowsEveryTrackerAtItsNodeWithItsImei) {
    for (size_t i = 0; i < kTrackers; ++i) {
        Start(i, StateOf(i));
    }
    ASSERT_EQ(m_trackers.size(), kTrackers);
    const ProgramRun run = Quarnelctl({"list"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Lines(run.out).size(), kTrackers) << run.out;
    for (size_t i = 0; i < kTrackers; ++i) {
        const std::string line = LineWith(run.out, sim::DemoImei(i));
        EXPECT_EQ(line.rfind(m_trackers[i]->HidrawNode() + " ", 0), 0u)
            << "tracker " << i << " at " << m_trackers[i]->HidrawNode() << ": " << run.out;
        EXPECT_NE(line.find("TRV-G12 V1.40207"), std::string::npos) << line;
    }
    StopAll();
}

TEST_F(RealUsbFleet, SetAllWritesEveryTrackerButTheOneUnpluggedPartWay) {
    constexpr size_t kUnplugged = 2;
    for (size_t i = 0; i < kTrackers; ++i) {
        sim::SimState state = StateOf(i);
        if (i == kUnplugged) {
            state.faults.unplugAfter = 30;
        }
        Start(i, state);
    }
    ASSERT_EQ(m_trackers.size(), kTrackers);
    const ProgramRun run = Quarnelctl({"set", "--all", "@in/profile.ini"});
    EXPECT_EQ(run.status, 10) << run.err;
    const std::vector<sim::SimState> saved = StopAll();
    ASSERT_EQ(saved.size(), kTrackers);

    for (size_t i = 0; i < kTrackers; ++i) {
        // The summary's row for this tracker.
        const std::string row = LineWith(run.out, m_trackers[i]->HidrawNode() + " ");
        if (i == kUnplugged) {
            EXPECT_NE(row.find("failed (6): the tracker stopped answering"), std::string::npos)
                << run.out;
            continue;
        }
        EXPECT_TRUE(row.ends_with("OK")) << run.out;
        // Written as set writes one tracker alone.
        CliRig alone(StateOf(i));
        ASSERT_EQ(alone.Run({"set", m_dir.File("in/profile.ini")}).status, 0);
        EXPECT_EQ(saved[i].items, alone.tracker.State().items) << "tracker " << i;
        EXPECT_EQ(saved[i].phoneLists, alone.tracker.State().phoneLists) << "tracker " << i;
    }
}

TEST_F(RealUsbFleet, LogAllSavesEveryTrackersLogUnderItsImei) {
    for (size_t i = 0; i < kTrackers; ++i) {
        Start(i, StateOf(i));
    }
    ASSERT_EQ(m_trackers.size(), kTrackers);
    std::filesystem::create_directories(m_dir.File("real/logs"));
    const ProgramRun run = Quarnelctl({"log", "--all", "@logs/{imei}.csv"});
    EXPECT_EQ(run.status, 0) << run.err;
    StopAll();

    CliRig alone(sim::DemoState());
    ASSERT_EQ(alone.Run({"log", m_dir.File("sim/log.csv")}).status, 0);
    const std::string expected = ReadFile(m_dir.File("sim/log.csv"));
    ASSERT_FALSE(expected.empty());
    for (size_t i = 0; i < kTrackers; ++i) {
        EXPECT_EQ(ReadFile(m_dir.File("real/logs/" + sim::DemoImei(i) + ".csv")), expected)
            << "tracker " << i;
    }
}

// The provisioning station on real plugs: trackers that appear a moment after they are
// plugged in, go when they are unplugged, and a new tracker that gets the node of one
// unplugged before it.
TEST_F(RealUsbFleet, TheStationWritesEachTrackerAsItIsPluggedIn) {
    std::vector<std::string> argv =
        Args({"set", "--each", "--report", "@installed.csv", "@in/profile.ini"}, "real");
    argv.insert(argv.begin(), QUARNELCTL_PATH);
    std::filesystem::create_directories(m_dir.File("real/station"));
    BackgroundProgram station(argv, m_dir.File("real/station"));
    ASSERT_TRUE(station.Started());

    Start(0, StateOf(0));
    ASSERT_TRUE(station.WaitForOutput(sim::DemoImei(0) + "  OK", std::chrono::seconds(60)))
        << station.Out() << station.Err();
    Start(1, StateOf(1));
    ASSERT_TRUE(station.WaitForOutput(sim::DemoImei(1) + "  OK", std::chrono::seconds(60)))
        << station.Out() << station.Err();
    // Tracker 0 unplugged, and another one plugged into the same controller: the host
    // gives it the node the first one had.
    const std::string firstNode = m_trackers[0]->HidrawNode();
    EXPECT_EQ(m_trackers[0]->Stop(), 0);
    ASSERT_EQ(m_trackers.size(), 2u);
    m_trackers.erase(m_trackers.begin());
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // a hand swapping boxes
    Start(0, StateOf(2));
    ASSERT_EQ(m_trackers.size(), 2u);
    EXPECT_EQ(m_trackers.back()->HidrawNode(), firstNode);
    ASSERT_TRUE(station.WaitForOutput(sim::DemoImei(2) + "  OK", std::chrono::seconds(60)))
        << station.Out() << station.Err();

    station.Signal(SIGINT);
    const ProgramRun run = station.Wait();
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> record = Lines(ReadFile(m_dir.File("real/installed.csv")));
    ASSERT_EQ(record.size(), 4u) << "a header and one row per tracker";
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_NE(record[i + 1].find("," + sim::DemoImei(i) + ","), std::string::npos)
            << record[i + 1];
        EXPECT_TRUE(record[i + 1].ends_with(",OK\r")) << record[i + 1];
    }
    for (auto& tracker : m_trackers) {
        EXPECT_EQ(tracker->Stop(), 0);
    }
}

}  // namespace
}  // namespace quarnel::test
