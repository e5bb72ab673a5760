// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The built quarnelctl program itself, run as a separate process the way scripts run it:
// its exit statuses, its standard output and error, and files across runs.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include "cli/cli_rig.h"
#include "profile/profile_check.h"
#include "support/spawn_program.h"

namespace quarnel {
namespace {

using test::ReadFile;
using test::Scratch;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Starts quarnelctl with `args`; its process, or 0 when it could not be started.
pid_t Start(std::vector<std::string> args, const std::string& outFile, const std::string& errFile) {
    args.insert(args.begin(), QUARNELCTL_PATH);
    return test::SpawnProgram(std::move(args), outFile, errFile);
}

// Runs quarnelctl with `args`; its standard output goes to `stdoutPath` when given.
Outcome Quarnelctl(const Scratch& dir, std::vector<std::string> args, std::string stdoutPath = "") {
    const std::string outFile = stdoutPath.empty() ? dir.File("stdout.txt") : stdoutPath;
    const std::string errFile = dir.File("stderr.txt");
    const pid_t pid = Start(std::move(args), outFile, errFile);
    Outcome o;
    if (pid == 0) {
        return o;
    }
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    o.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    o.out = stdoutPath.empty() ? ReadFile(outFile) : "";
    o.err = ReadFile(errFile);
    return o;
}

TEST(QuarnelctlProcess, ShowsHelpAndSucceeds) {
    Scratch dir;
    const Outcome o = Quarnelctl(dir, {"--help"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out.rfind("Usage: quarnelctl", 0), 0u);
    EXPECT_EQ(o.err, "");
    const Outcome set = Quarnelctl(dir, {"set", "--help"});
    EXPECT_EQ(set.status, 0);
    EXPECT_EQ(
        set.out.rfind(
            "Usage: quarnelctl [GLOBAL OPTIONS] set [--force] [--each] [--report FILE] PROFILE\n",
            0),
        0u);
}

TEST(QuarnelctlProcess, ReadsTheDemoTracker) {
    Scratch dir;
    const Outcome info = Quarnelctl(dir, {"--demo", "info"});
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.out, "IMEI: 356938035643809\nFirmware version: TRV-G12 V1.40207\n");

    const Outcome get = Quarnelctl(dir, {"get", "--demo"});
    ASSERT_EQ(get.status, 0) << get.err;
    const CheckedProfile profile = CheckProfile(get.out, ChecksumRule::Enforce);
    EXPECT_TRUE(profile.Usable());
    EXPECT_EQ(profile.profile.values[FindProfileKey("gprs", "apn")], u"internet.emome.net");
}

TEST(QuarnelctlProcess, CarriesAProfileIntoASavedTrackerAcrossRuns) {
    Scratch dir;
    const std::string profile = dir.File("fleet.ini");
    const std::string state = dir.Write("tracker.json", "{}\n");
    ASSERT_EQ(Quarnelctl(dir, {"--demo", "get", "-o", profile}).status, 0);

    const Outcome before = Quarnelctl(dir, {"--state", state, "info"});
    ASSERT_EQ(before.status, 0);
    const Outcome set = Quarnelctl(dir, {"--state", state, "--save-state", state, "set", profile});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out, profile + " written to the tracker and read back the same.\n");

    const Outcome after = Quarnelctl(dir, {"--state", state, "get"});
    ASSERT_EQ(after.status, 0);
    EXPECT_EQ(test::WithoutReadTime(after.out), test::WithoutReadTime(ReadFile(profile)));
}

TEST(QuarnelctlProcess, EndsWithADistinctStatusAndOneLine) {
    Scratch dir;
    const std::string good = dir.File("good.ini");
    ASSERT_EQ(Quarnelctl(dir, {"--demo", "get", "-o", good}).status, 0);
    std::string damaged = ReadFile(good);
    damaged.replace(damaged.find("= 600"), 5, "= 601");
    const std::string bad = dir.Write("bad.ini", damaged);
    const std::string stopping =
        dir.Write("stop.json", R"({"faults": {"rules": [{"kind": "no_reply", "group": 0}]}})");

    const struct {
        std::vector<std::string> args;
        int status;
        const char* says;
    } cases[] = {
        {{"--demo", "frobnicate"}, 2, "quarnelctl: no such command: frobnicate"},
        {{"--demo", "set", bad}, 5, "profile refused (1 problem)"},
        {{"--demo", "set", dir.File("none.ini")}, 4, "No such file or directory"},
        {{"--state", stopping, "info"}, 6, "the tracker stopped answering"},
        {{"--state", dir.File("none.json"), "info"}, 4, "cannot load"},
        {{"--demo", "log", "/dev/full"}, 4, "the disk is full"},
    };
    for (const auto& c : cases) {
        const Outcome o = Quarnelctl(dir, c.args);
        EXPECT_EQ(o.status, c.status) << c.args.back() << ": " << o.err;
        ASSERT_FALSE(o.err.empty());
        const std::string last = o.err.substr(o.err.rfind('\n', o.err.size() - 2) + 1);
        EXPECT_NE(last.find(c.says), std::string::npos) << o.err;
        EXPECT_EQ(o.out, "");
    }
}

// Simulated trackers plugged in one after another: the station writes each, keeps its
// record, and ends by itself once no more can come.
TEST(QuarnelctlProcess, TheStationWritesDemoTrackersAsTheyArePluggedIn) {
    Scratch dir;
    const std::string profile = dir.File("fleet.ini");
    ASSERT_EQ(Quarnelctl(dir, {"--demo", "get", "-o", profile}).status, 0);
    const std::string report = dir.File("installed.csv");
    const Outcome o =
        Quarnelctl(dir, {"--demo", "3", "set", "--each", "--report", report, profile});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out.rfind("356938035643809  OK\n356938035643817  OK\n356938035643825  OK\n"
                          "TRACKER ",
                          0),
              0u)
        << o.out;
    const std::string rows = ReadFile(report);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 4) << rows;
}

// On real USB, with no tracker attached, the station waits until Ctrl+C; then it ends
// with its summary and without a failure.
TEST(QuarnelctlProcess, TheStationEndsOnCtrlC) {
    Scratch dir;
    const std::string profile = dir.File("fleet.ini");
    ASSERT_EQ(Quarnelctl(dir, {"--demo", "get", "-o", profile}).status, 0);
    const std::string out = dir.File("station.out");
    const std::string err = dir.File("station.err");
    const pid_t pid = Start({"set", "--each", profile}, out, err);
    ASSERT_NE(pid, 0);
    // It catches Ctrl+C from the moment it says that it waits.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (ReadFile(err).find("Ctrl+C ends.") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid, SIGINT);
    int wstatus = 0;
    ::waitpid(pid, &wstatus, 0);
    ASSERT_TRUE(WIFEXITED(wstatus)) << ReadFile(err);
    EXPECT_EQ(WEXITSTATUS(wstatus), 0) << ReadFile(err);
    EXPECT_EQ(ReadFile(out), "No tracker was written.\n");
}

TEST(QuarnelctlProcess, NoticesAFullStandardOutput) {
    Scratch dir;
    const Outcome o = Quarnelctl(dir, {"--demo", "get"}, "/dev/full");
    EXPECT_EQ(o.status, 4);
    EXPECT_EQ(o.err, "quarnelctl: cannot write the profile to standard output\n");
}

}  // namespace
}  // namespace quarnel
