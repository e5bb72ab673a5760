// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The click handlers, the timer and the worker threads together. The window's thread is
// the test's thread; the workers run on their own. Run under the thread sanitiser in CI.
#include "gpslog/log_tasks.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "form/control_ids.h"
#include "gpslog/log_record.h"
#include "gpslog/log_test_support.h"
#include "support/sim_fixture.h"

namespace quarnel {
namespace {

using namespace std::chrono_literals;
using test::Fix;

constexpr int kOtherCommands[] = {ctl::GetParameterButton, ctl::SetParameterButton,
                                  ctl::UpdateButton, ctl::SetDefaultButton};

// A latch the test opens; waits on the real clock, bounded so a broken task fails the
// test instead of hanging it.
class Latch {
public:
    void Open() {
        std::lock_guard l(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }
    bool Wait(std::chrono::milliseconds limit = 20s) {
        std::unique_lock l(m_mutex);
        return m_changed.wait_for(l, limit, [&] { return m_open; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_open = false;
};

// The worker's side of the window: holds the download at one progress position (after
// the record that gives it) until the test lets it go on.
class GateForm : public test::MemoryForm {
public:
    explicit GateForm(int position = -1) : m_position(position) {}
    void SetProgress(int id, int position) override {
        MemoryForm::SetProgress(id, position);
        if (id == ctl::LogProgress && position == m_position && !m_used.exchange(true)) {
            reached.Open();
            release.Wait();
        }
    }
    Latch reached;
    Latch release;

private:
    int m_position;
    std::atomic<bool> m_used{false};
};

sim::SimState LogOf(int records) {
    sim::SimState state = sim::FactoryState();
    for (int i = 0; i < records; ++i) {
        state.log.push_back(sim::EncodeLogRecord(Fix(2014, 2, 7, 10, i / 60, i % 60)));
    }
    return state;
}

// The log tasks on the simulated tracker and virtual clock, with the window and the
// worker's side of it as separate forms, so a test can tell who did what.
struct Window {
    explicit Window(sim::SimState state = sim::FactoryState(), int gate = -1, size_t captions = 4)
        : rig(std::move(state)),
          worker(gate),
          table(test::ButtonTable(captions)),
          tasks(rig.Link(), window, worker, rig.ui, table) {
        g_logDownloadDone.store(0);
        g_logEraseDone.store(0);
    }
    ~Window() {
        worker.release.Open();  // never leave a worker held when a test ends early
        tasks.Shutdown();
    }

    void Download() {
        rig.ui.QueueDialogAnswer(file);
        tasks.OnGetGpsLog();
    }
    bool Enabled(int id) { return window.IsEnabled(id); }
    std::u16string Caption(int id) { return window.GetText(id); }
    bool TimerRunning(int handle) {
        return window.Timers().at(static_cast<size_t>(handle - 1)).running;
    }
    size_t Sent(uint8_t group) {
        size_t n = 0;
        for (const auto& p : rig.SentPayloads()) {
            n += p[payload::kGroup] == group;
        }
        return n;
    }

    test::TempDir dir;
    std::filesystem::path file = dir.File("log.csv");
    test::SimRig rig;
    test::MemoryForm window;
    GateForm worker;
    CLangTable table;
    LogTasks tasks;
};

// ---- starting a task ----

// A form that writes each call it gets into a log shared with another form.
class LoggingForm : public test::MemoryForm {
public:
    LoggingForm(std::string who, std::mutex& mutex, std::vector<std::string>& log)
        : m_who(std::move(who)), m_mutex(mutex), m_log(log) {}
    std::function<std::string()> state;  // appended to each entry

    void SetEnabled(int id, bool enabled) override {
        Log("enable " + std::to_string(id) + " " + std::to_string(enabled));
        MemoryForm::SetEnabled(id, enabled);
    }
    int StartTimer(int id, int periodMs) override {
        Log("timer " + std::to_string(id) + " " + std::to_string(periodMs));
        return MemoryForm::StartTimer(id, periodMs);
    }

private:
    void Log(const std::string& what) {
        std::lock_guard l(m_mutex);
        m_log.push_back(m_who + " " + what + (state ? " " + state() : ""));
    }
    std::string m_who;
    std::mutex& m_mutex;
    std::vector<std::string>& m_log;
};

TEST(LogTasks, DownloadClickStartsTimerThenClearsStateThenDisablesThenStartsTheWorker) {
    test::SimRig rig(LogOf(1));
    std::mutex mutex;
    std::vector<std::string> log;
    LoggingForm window("W", mutex, log);
    LoggingForm worker("T", mutex, log);
    CLangTable table = test::ButtonTable();
    LogTasks tasks(rig.Link(), window, worker, rig.ui, table);
    window.state = [&] {
        return "flag=" + std::to_string(g_logDownloadDone.load()) +
               " total=" + std::to_string(tasks.m_logTotal.load()) +
               " current=" + std::to_string(tasks.m_logCurrent.load());
    };
    g_logDownloadDone.store(1);
    tasks.m_logTotal.store(7);
    tasks.m_logCurrent.store(3);

    tasks.OnGetGpsLog();  // the save dialog is cancelled: the worker ends at once
    ASSERT_TRUE(test::WaitForFlag(g_logDownloadDone));
    tasks.Shutdown();

    std::lock_guard l(mutex);
    ASSERT_GE(log.size(), 8u);
    EXPECT_EQ(log[0], "W timer 2 50 flag=1 total=7 current=3");
    EXPECT_EQ(log[1], "W enable 1003 0 flag=0 total=0 current=0");
    for (size_t i = 2; i < 7; ++i) {
        EXPECT_EQ(log[i].substr(0, 2), "W ") << log[i];
        EXPECT_NE(log[i].find(" 0 flag"), std::string::npos) << "disabled: " << log[i];
    }
    EXPECT_EQ(log[7], "T enable 1003 0") << "the worker starts after the handler's steps";
    EXPECT_EQ(tasks.m_downloadTimerId, 1);
}

TEST(LogTasks, EraseClickStartsTimerOneEverySecondAndDisablesItsButton) {
    Window w(LogOf(1));
    g_logEraseDone.store(1);
    w.tasks.OnEraseGpsLog();
    ASSERT_EQ(w.window.Timers().size(), 1u);
    EXPECT_EQ(w.window.Timers()[0].id, 1);
    EXPECT_EQ(w.window.Timers()[0].periodMs, 1000);
    EXPECT_EQ(w.tasks.m_eraseTimerId, 1);
    EXPECT_FALSE(w.Enabled(ctl::EraseGpsLogButton));
    EXPECT_TRUE(w.tasks.IsRunning());
    ASSERT_TRUE(test::WaitForFlag(g_logEraseDone));
    w.tasks.OnTimer(1);
    EXPECT_TRUE(w.Enabled(ctl::EraseGpsLogButton));
    EXPECT_EQ(w.Caption(ctl::EraseGpsLogButton), u"Erase GPS Log");
    EXPECT_FALSE(w.TimerRunning(1));
    EXPECT_FALSE(w.tasks.IsRunning());
    EXPECT_TRUE(w.rig.tracker.State().log.empty());
}

// ---- the download's percentage ----

struct PercentCase {
    const char* name;
    int records;
    int gate;  // progress position after the record being fetched when the timer ticks
    std::u16string caption;
};
void PrintTo(const PercentCase& c, std::ostream* os) {
    *os << c.name;
}

class DownloadPercentTimerTest : public ::testing::TestWithParam<PercentCase> {};

TEST_P(DownloadPercentTimerTest, TimerShowsThePercentageThenPutsTheCaptionBack) {
    Window w(LogOf(GetParam().records), GetParam().gate);
    w.Download();
    ASSERT_TRUE(w.worker.reached.Wait());
    w.tasks.OnTimer(2);
    EXPECT_EQ(w.Caption(ctl::GetGpsLogButton), GetParam().caption);
    EXPECT_FALSE(w.Enabled(ctl::GetGpsLogButton));
    EXPECT_TRUE(w.TimerRunning(w.tasks.m_downloadTimerId));

    w.worker.release.Open();
    ASSERT_TRUE(test::WaitForFlag(g_logDownloadDone));
    w.tasks.OnTimer(2);
    EXPECT_EQ(w.Caption(ctl::GetGpsLogButton), u"Get GPS Log");
    EXPECT_TRUE(w.Enabled(ctl::GetGpsLogButton));
    EXPECT_FALSE(w.TimerRunning(w.tasks.m_downloadTimerId));
    // The tick that sees the flag shows the percentage first, then the caption.
    const auto texts = w.window.Snapshot(ctl::GetGpsLogButton).textHistory;
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[texts.size() - 2], u"100 %");
}

INSTANTIATE_TEST_SUITE_P(Table, DownloadPercentTimerTest,
                         ::testing::Values(PercentCase{"OneOfOne", 1, 100, u"100 %"},
                                           PercentCase{"OneOfThree", 3, 33, u"33 %"},
                                           PercentCase{"FiftySevenOfHundred", 100, 57, u"56 %"}),
                         [](const ::testing::TestParamInfo<PercentCase>& c) {
                             return c.param.name;
                         });

TEST(LogTasks, EmptyLogNeverShowsAPercentage) {
    Window w(LogOf(0));
    w.Download();
    w.tasks.OnTimer(2);
    ASSERT_TRUE(test::WaitForFlag(g_logDownloadDone));
    w.tasks.OnTimer(2);
    w.tasks.OnTimer(2);
    EXPECT_EQ(w.window.Snapshot(ctl::GetGpsLogButton).textHistory,
              (std::vector<std::u16string>{u"Get GPS Log"}));
    EXPECT_EQ(test::ReadBytes(w.file), std::string(kCsvHeader));
}

// ---- one command at a time ----

TEST(LogTasks, WhileTheDownloadRunsEveryOtherDeviceCommandIsUnavailable) {
    Window w(LogOf(2), /*gate=*/50);
    w.Download();
    ASSERT_TRUE(w.worker.reached.Wait());

    for (int id : kOtherCommands) {
        EXPECT_FALSE(w.Enabled(id)) << id;
    }
    EXPECT_FALSE(w.Enabled(ctl::EraseGpsLogButton));
    EXPECT_FALSE(TryLockSequence(w.rig.areas).owns_lock()) << "the task holds the sequence";
    EXPECT_TRUE(w.tasks.IsRunning());

    // Clicks that reach the handlers anyway are refused.
    w.tasks.OnEraseGpsLog();
    w.tasks.OnGetGpsLog();
    EXPECT_EQ(w.window.Timers().size(), 1u);

    w.worker.release.Open();
    ASSERT_TRUE(test::WaitForFlag(g_logDownloadDone));
    EXPECT_TRUE(w.worker.IsEnabled(ctl::GetGpsLogButton)) << "the worker enables its button";
    EXPECT_FALSE(w.Enabled(ctl::GetParameterButton)) << "the rest waits for the timer";
    w.tasks.OnTimer(2);
    for (int id : kOtherCommands) {
        EXPECT_TRUE(w.Enabled(id)) << id;
    }
    EXPECT_TRUE(w.Enabled(ctl::EraseGpsLogButton));
    EXPECT_TRUE(TryLockSequence(w.rig.areas).owns_lock());
    EXPECT_EQ(w.Sent(4), 0u) << "no erase command was sent";
}

TEST(LogTasks, WhileTheEraseRunsEveryOtherDeviceCommandIsUnavailable) {
    Window w;
    w.rig.backend.Unplug("sim/tracker0");
    Latch shown;
    Latch closed;
    w.rig.ui.OnMessage([&](const std::u16string&) {
        shown.Open();
        closed.Wait();
    });
    w.tasks.OnEraseGpsLog();
    ASSERT_TRUE(shown.Wait());

    for (int id : kOtherCommands) {
        EXPECT_FALSE(w.Enabled(id)) << id;
    }
    EXPECT_FALSE(w.Enabled(ctl::GetGpsLogButton));
    w.tasks.OnGetGpsLog();
    w.tasks.OnEraseGpsLog();
    EXPECT_EQ(w.window.Timers().size(), 1u) << "both clicks refused";

    closed.Open();
    ASSERT_TRUE(test::WaitForFlag(g_logEraseDone));
    w.tasks.OnTimer(1);
    for (int id : kOtherCommands) {
        EXPECT_TRUE(w.Enabled(id)) << id;
    }
    EXPECT_TRUE(w.Enabled(ctl::GetGpsLogButton));
    EXPECT_TRUE(w.rig.ui.Events().size() == 1u) << "no save dialog: the download never ran";
}

TEST(LogTasks, TimerIdsOtherThanOneAndTwoChangeNothing) {
    Window w(LogOf(2), /*gate=*/50);
    w.Download();
    ASSERT_TRUE(w.worker.reached.Wait());
    const auto before = w.window.Snapshot(ctl::GetGpsLogButton);
    w.tasks.OnTimer(0);
    w.tasks.OnTimer(3);
    w.tasks.OnTimer(1);  // no erase is running
    const auto after = w.window.Snapshot(ctl::GetGpsLogButton);
    EXPECT_EQ(after.textHistory, before.textHistory);
    EXPECT_EQ(after.enabledHistory, before.enabledHistory);
    EXPECT_TRUE(w.TimerRunning(w.tasks.m_downloadTimerId));
}

TEST(LogTasks, ADownloadMayStartAgainOnceTheFlagIsUpEvenBeforeTheTick) {
    Window w(LogOf(1));
    w.Download();
    ASSERT_TRUE(test::WaitForFlag(g_logDownloadDone));
    const auto second = w.dir.File("second.csv");
    w.rig.ui.QueueDialogAnswer(second);
    w.tasks.OnGetGpsLog();
    EXPECT_EQ(w.window.Timers().size(), 2u);
    ASSERT_TRUE(test::WaitForFlag(g_logDownloadDone));
    w.tasks.OnTimer(2);
    EXPECT_TRUE(w.Enabled(ctl::GetGpsLogButton));
    EXPECT_EQ(test::ReadBytes(w.file), test::ReadBytes(second));
    EXPECT_GT(test::ReadBytes(second).size(), kCsvHeader.size());
}

// ---- a caption the text table lacks ----

TEST(LogTasks, MissingDownloadCaptionLeavesTheButtonToItsWorker) {
    Window w(LogOf(1), -1, /*captions=*/2);
    w.Download();
    ASSERT_TRUE(test::WaitForFlag(g_logDownloadDone));
    EXPECT_THROW(w.tasks.OnTimer(2), LangEntryMissing);
    EXPECT_FALSE(w.TimerRunning(w.tasks.m_downloadTimerId)) << "stopped before the entry is read";
    EXPECT_EQ(w.Caption(ctl::GetGpsLogButton), u"100 %");
    EXPECT_EQ(w.window.Snapshot(ctl::GetGpsLogButton).enabledHistory, (std::vector<bool>{false}))
        << "the timer does not enable it";
    EXPECT_TRUE(w.worker.IsEnabled(ctl::GetGpsLogButton));
    EXPECT_TRUE(w.Enabled(ctl::GetParameterButton)) << "the other commands come back";
    EXPECT_NO_THROW(w.tasks.OnTimer(2)) << "a late tick of the ended task does nothing";
}

TEST(LogTasks, MissingEraseCaptionLeavesTheButtonDisabled) {
    Window w(LogOf(1), -1, /*captions=*/3);
    w.tasks.OnEraseGpsLog();
    ASSERT_TRUE(test::WaitForFlag(g_logEraseDone));
    EXPECT_THROW(w.tasks.OnTimer(1), LangEntryMissing);
    EXPECT_FALSE(w.TimerRunning(w.tasks.m_eraseTimerId));
    EXPECT_FALSE(w.Enabled(ctl::EraseGpsLogButton));
    EXPECT_TRUE(w.Caption(ctl::EraseGpsLogButton).empty());
    EXPECT_TRUE(w.Enabled(ctl::GetGpsLogButton));
}

// ---- the erase on the screen ----

TEST(LogTasks, EraseWithoutTrackerGivesTheButtonBackOnlyAfterTheMessageWasClosed) {
    Window w;
    w.rig.backend.Unplug("sim/tracker0");
    Latch shown;
    Latch closed;
    w.rig.ui.OnMessage([&](const std::u16string&) {
        shown.Open();
        closed.Wait();
    });
    w.tasks.OnEraseGpsLog();
    ASSERT_TRUE(shown.Wait());
    w.tasks.OnTimer(1);
    EXPECT_FALSE(w.Enabled(ctl::EraseGpsLogButton)) << "the message is still shown";
    EXPECT_EQ(g_logEraseDone.load(), 0);

    closed.Open();
    ASSERT_TRUE(test::WaitForFlag(g_logEraseDone));
    w.tasks.OnTimer(1);
    EXPECT_TRUE(w.Enabled(ctl::EraseGpsLogButton));
    EXPECT_EQ(w.Caption(ctl::EraseGpsLogButton), u"Erase GPS Log");
    EXPECT_EQ(w.rig.ui.Messages(), (std::vector<std::u16string>{u"USB CONNECT FAILURE"}));
    EXPECT_TRUE(w.worker.Snapshot(ctl::EraseGpsLogButton).enabledHistory.empty())
        << "the erase worker never touches the window";
}

TEST(LogTasks, SilentTrackerKeepsTheEraseButtonDisabledForTwoFullTimeOuts) {
    sim::SimState state = LogOf(1);
    state.faults.rules.push_back({.kind = sim::FaultKind::NoReply, .group = 4});
    Window w(state);
    w.tasks.OnEraseGpsLog();
    ASSERT_TRUE(test::WaitForFlag(g_logEraseDone));
    EXPECT_GE(w.rig.NowMs(), 120000u);
    EXPECT_FALSE(w.Enabled(ctl::EraseGpsLogButton));
    w.tasks.OnTimer(1);
    EXPECT_TRUE(w.Enabled(ctl::EraseGpsLogButton));
    EXPECT_TRUE(w.rig.ui.Events().empty());
}

// ---- closing the window while a task runs ----

// The simulated tracker on the real clock, where a reply wait really waits.
struct RealTimeWindow {
    explicit RealTimeWindow(sim::SimState state)
        : tracker(std::move(state)),
          backend(nullptr, false),
          tasks(DeviceLink{backend, backend.GetClock(), areas}, window, worker, ui, table) {
        backend.AddTracker(tracker);
        g_logDownloadDone.store(0);
        g_logEraseDone.store(0);
    }
    // Waits until the tracker has taken `n` commands.
    bool WaitForCommands(uint64_t n) {
        const auto until = std::chrono::steady_clock::now() + 20s;
        while (tracker.CommandsTaken() < n) {
            if (std::chrono::steady_clock::now() > until) {
                return false;
            }
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }
    // How long Shutdown took.
    std::chrono::milliseconds TimedShutdown() {
        const auto start = std::chrono::steady_clock::now();
        tasks.Shutdown();
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
    }

    test::TempDir dir;
    sim::SimTracker tracker;
    sim::SimBackend backend;
    CommandAreas areas;
    test::MemoryForm window;
    test::MemoryForm worker;
    test::RecordingUi ui;
    CLangTable table = test::ButtonTable();
    LogTasks tasks;
};

TEST(LogTasksShutdown, StopsADownloadWaitingForAReplyAndKeepsEveryLineWritten) {
    sim::SimState state = LogOf(5);
    state.faults.rules.push_back({.kind = sim::FaultKind::NoReply, .group = 3, .op = 1, .from = 4});
    RealTimeWindow w(state);
    const auto file = w.dir.File("log.csv");
    w.ui.QueueDialogAnswer(file);
    w.tasks.OnGetGpsLog();
    ASSERT_TRUE(w.WaitForCommands(5));  // the count and four records, the last unanswered

    // The reply wait lasts 2000 ms unless the stop ends it.
    EXPECT_LT(w.TimedShutdown(), 1500ms);
    EXPECT_EQ(g_logDownloadDone.load(), 1);
    EXPECT_EQ(test::ReadBytes(file), std::string(kCsvHeader) +
                                         "1,T,2014/02/07,10:00:00,22.629999,N,120.300003,E,12.5m,"
                                         "90.00,3.2km/h\r\n"
                                         "2,T,2014/02/07,10:00:01,22.629999,N,120.300003,E,12.5m,"
                                         "90.00,3.2km/h\r\n"
                                         "3,T,2014/02/07,10:00:02,22.629999,N,120.300003,E,12.5m,"
                                         "90.00,3.2km/h\r\n");
    EXPECT_TRUE(w.ui.Messages().empty()) << "a stop asked for by the user is no failure";
    EXPECT_EQ(w.tracker.CommandsTaken(), 5u) << "nothing is sent after the stop";

    // Nothing reaches either form once Shutdown has returned, and no task starts again.
    const auto before = w.worker.Snapshot(ctl::GetGpsLogButton);
    w.tasks.OnGetGpsLog();
    w.tasks.OnEraseGpsLog();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(w.worker.Snapshot(ctl::GetGpsLogButton).enabledHistory, before.enabledHistory);
    EXPECT_EQ(w.window.Timers().size(), 1u);
}

TEST(LogTasksShutdown, StopsAnEraseInTheMiddleOfItsMinuteWait) {
    sim::SimState state = LogOf(1);
    state.faults.rules.push_back({.kind = sim::FaultKind::NoReply, .group = 4});
    RealTimeWindow w(state);
    w.tasks.OnEraseGpsLog();
    ASSERT_TRUE(w.WaitForCommands(1));
    EXPECT_LT(w.TimedShutdown(), 30000ms);
    EXPECT_EQ(g_logEraseDone.load(), 1);
    EXPECT_EQ(w.tracker.CommandsTaken(), 1u) << "the erase wait is not sent after the stop";
    EXPECT_TRUE(w.ui.Events().empty());
}

TEST(LogTasksShutdown, WithoutATaskReturnsAtOnceAndMayBeRepeated) {
    Window w;
    w.tasks.Shutdown();
    w.tasks.Shutdown();
    EXPECT_FALSE(w.tasks.IsRunning());
    w.tasks.OnGetGpsLog();
    EXPECT_TRUE(w.window.Timers().empty());
}

}  // namespace
}  // namespace quarnel
