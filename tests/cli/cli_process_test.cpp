// The built quarnelctl program itself, run as a separate process the way scripts run it:
// its exit statuses, its standard output and error, and files across runs.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "cli/cli_rig.h"
#include "profile/profile_check.h"

extern char** environ;

namespace quarnel {
namespace {

using test::ReadFile;
using test::Scratch;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs quarnelctl with `args`; its standard output goes to `stdoutPath` when given.
Outcome Quarnelctl(const Scratch& dir, std::vector<std::string> args, std::string stdoutPath = "") {
    const std::string outFile = stdoutPath.empty() ? dir.File("stdout.txt") : stdoutPath;
    const std::string errFile = dir.File("stderr.txt");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    args.insert(args.begin(), QUARNELCTL_PATH);
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    Outcome o;
    if (posix_spawn(&pid, QUARNELCTL_PATH, &actions, nullptr, argv.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return o;
    }
    posix_spawn_file_actions_destroy(&actions);
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
    EXPECT_EQ(set.out.rfind("Usage: quarnelctl [GLOBAL OPTIONS] set [--force] PROFILE\n", 0), 0u);
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

TEST(QuarnelctlProcess, NoticesAFullStandardOutput) {
    Scratch dir;
    const Outcome o = Quarnelctl(dir, {"--demo", "get"}, "/dev/full");
    EXPECT_EQ(o.status, 4);
    EXPECT_EQ(o.err, "quarnelctl: cannot write the profile to standard output\n");
}

}  // namespace
}  // namespace quarnel
