// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// DownloadLog and DownloadLogToFile, the download as a caller without a window runs it:
// what the writer is handed and when, how each ending is reported, and what is touched.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "form/control_ids.h"
#include "gpslog/log_download.h"
#include "gpslog/log_messages.h"
#include "gpslog/log_test_support.h"
#include "gpslog/progress_form.h"
#include "support/sim_fixture.h"

namespace quarnel {
namespace {

using sim::LogRecordBytes;
using test::Fix;

LogRecordBytes Bytes(const sim::LogFix& fix) {
    return sim::EncodeLogRecord(fix);
}

sim::SimState LogState(std::vector<LogRecordBytes> log) {
    sim::SimState state = sim::FactoryState();
    state.log = std::move(log);
    return state;
}

std::vector<LogRecordBytes> Seconds(int count) {
    std::vector<LogRecordBytes> log;
    for (int s = 0; s < count; ++s) {
        log.push_back(Bytes(Fix(2014, 2, 7, 10, 0, s)));
    }
    return log;
}

// A writer that logs every call and answers as told.
class ScriptedWriter final : public LogWriter {
public:
    bool Begin() override {
        calls.push_back("Begin");
        return beginResult;
    }
    AddResult Add(uint32_t index, const LogRecord& record, int64_t time) override {
        calls.push_back("Add " + std::to_string(index) + " " + std::to_string(record.second));
        times.push_back(time);
        const AddResult result = adds < addResults.size() ? addResults[adds] : AddResult::Accepted;
        ++adds;
        if (result == AddResult::Accepted) {
            ++saved;
        }
        if (onAdd) {
            onAdd(adds);
        }
        return result;
    }
    bool Finish() override {
        calls.push_back("Finish");
        return finishResult;
    }
    uint32_t Saved() const override { return saved; }
    std::error_code Error() const override { return std::make_error_code(std::errc::io_error); }

    bool beginResult = true;
    bool finishResult = true;
    std::vector<AddResult> addResults;
    std::function<void(size_t)> onAdd;
    std::vector<std::string> calls;
    std::vector<int64_t> times;
    size_t adds = 0;
    uint32_t saved = 0;
};

// A form that fails the test on anything but the Log progress bar.
class ProgressWatch final : public FormAccess {
public:
    void SetProgress(int id, int position) override {
        EXPECT_EQ(id, ctl::LogProgress);
        positions.push_back(position);
    }
    std::u16string GetText(int id) override { return Touched(id), std::u16string(); }
    void SetText(int id, const std::u16string&) override { Touched(id); }
    bool IsChecked(int id) override { return Touched(id), false; }
    void SetChecked(int id, bool) override { Touched(id); }
    int GetSelection(int id) override { return Touched(id), -1; }
    void SetSelection(int id, int) override { Touched(id); }
    void AddItem(int id, const std::u16string&) override { Touched(id); }
    int ItemCount(int id) override { return Touched(id), 0; }
    bool IsEnabled(int id) override { return Touched(id), false; }
    void SetEnabled(int id, bool) override { Touched(id); }
    bool IsVisible(int id) override { return Touched(id), false; }
    void SetVisible(int id, bool) override { Touched(id); }
    int GetProgress(int id) override { return Touched(id), 0; }
    int StartTimer(int id, int) override { return Touched(id), 0; }
    void StopTimer(int handle) override { Touched(handle); }
    void KeepAlive() override { Touched(0); }

    std::vector<int> positions;

private:
    static void Touched(int id) { ADD_FAILURE() << "control " << id << " was touched"; }
};

// DownloadLog on the simulated tracker, with the caller's part done as the contract asks.
struct Entry {
    // With `usbFrames` every report costs its USB frame on the virtual clock, so waits that
    // are measured in time come to an end.
    explicit Entry(sim::SimState state, bool usbFrames = false)
        : rig(std::move(state), usbFrames) {}

    LogDownloadResult Run(LogWriter& writer, LogDownloadCounters counters = {}) {
        SequenceLock sequence = LockSequence(rig.areas);
        CHidCmd cmd(rig.Link());
        AttachedCommand attached(stop, cmd);
        EXPECT_EQ(cmd.m_io.Open(), 1);
        return DownloadLog(cmd, form, writer, stop, counters);
    }
    size_t RecordCommands() {
        size_t n = 0;
        for (const auto& p : rig.SentPayloads()) {
            n += p[payload::kGroup] == 3 && p[payload::kOp] == OP_GET;
        }
        return n;
    }

    test::SimRig rig;
    ProgressWatch form;
    TaskStop stop;
};

TEST(DownloadLog, HandsTheWriterEveryRecordThatPassesTheTestWithItsIndexAndTime) {
    Entry e(LogState({Bytes(Fix(2014, 2, 7, 10, 0, 0)), Bytes(Fix(2014, 2, 7, 9, 0, 1)),
                      Bytes(Fix(2014, 2, 7, 10, 0, 2)), Bytes(Fix(2014, 2, 7, 10, 0, 3))}));
    ScriptedWriter writer;
    std::atomic<uint32_t> total{0};
    std::atomic<uint32_t> current{0};
    const LogDownloadResult r = e.Run(writer, {&total, &current});
    EXPECT_EQ(writer.calls,
              (std::vector<std::string>{"Begin", "Add 1 0", "Add 2 2", "Add 3 3", "Finish"}));
    const int seconds[] = {0, 2, 3};  // of the records written
    ASSERT_EQ(writer.times.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        const LogRecord record = ParseLogRecord(Bytes(Fix(2014, 2, 7, 10, 0, seconds[i])).data());
        EXPECT_EQ(writer.times[i], RecordTime(record));
    }
    EXPECT_EQ(r.end, LogDownloadEnd::Complete);
    EXPECT_EQ(r.problem, std::nullopt);
    EXPECT_EQ(r.reported, 4u);
    EXPECT_EQ(r.saved, 3u);
    EXPECT_EQ(r.skipped, 0u);
    EXPECT_EQ(total.load(), 4u);
    EXPECT_EQ(current.load(), 4u);
    EXPECT_EQ(e.form.positions, (std::vector<int>{0, 25, 50, 75, 100}))
        << "and no reset at the end";
}

TEST(DownloadLog, ARecordTheWriterSkipsStillSetsTheTimeOrder) {
    // The first record is skipped by the format; the second is older than it and is dropped
    // by the record test all the same, so every format keeps the same records.
    Entry e(LogState({Bytes(Fix(2014, 2, 7, 10, 0, 0)), Bytes(Fix(2014, 2, 7, 9, 0, 0)),
                      Bytes(Fix(2014, 2, 7, 10, 0, 1))}));
    ScriptedWriter writer;
    writer.addResults = {AddResult::Skipped, AddResult::Accepted};
    const LogDownloadResult r = e.Run(writer);
    EXPECT_EQ(writer.calls, (std::vector<std::string>{"Begin", "Add 1 0", "Add 2 1", "Finish"}));
    EXPECT_EQ(r.saved, 1u);
    EXPECT_EQ(r.skipped, 1u);
    EXPECT_EQ(r.end, LogDownloadEnd::Complete);
}

TEST(DownloadLog, BeginThatFailsSendsNoCommandAndNeverFinishes) {
    Entry e(LogState(Seconds(2)));
    ScriptedWriter writer;
    writer.beginResult = false;
    const LogDownloadResult r = e.Run(writer);
    EXPECT_EQ(writer.calls, (std::vector<std::string>{"Begin"}));
    EXPECT_TRUE(e.rig.SentPayloads().empty());
    EXPECT_EQ(r.end, LogDownloadEnd::WriteFailed);
    EXPECT_EQ(r.problem, msg::LogFileWriteFailed(std::make_error_code(std::errc::io_error), 0));
    EXPECT_TRUE(e.form.positions.empty());
}

TEST(DownloadLog, AddThatFailsEndsAtOnceWithoutFinishing) {
    Entry e(LogState(Seconds(5)));
    ScriptedWriter writer;
    writer.addResults = {AddResult::Accepted, AddResult::Failed};
    const LogDownloadResult r = e.Run(writer);
    EXPECT_EQ(writer.calls, (std::vector<std::string>{"Begin", "Add 1 0", "Add 2 1"}));
    EXPECT_EQ(e.RecordCommands(), 2u);
    EXPECT_EQ(r.end, LogDownloadEnd::WriteFailed);
    EXPECT_EQ(r.saved, 1u);
    EXPECT_EQ(r.problem, msg::LogFileWriteFailed(std::make_error_code(std::errc::io_error), 1));
}

TEST(DownloadLog, FinishThatFailsIsAWriteFailure) {
    Entry e(LogState(Seconds(2)));
    ScriptedWriter writer;
    writer.finishResult = false;
    const LogDownloadResult r = e.Run(writer);
    EXPECT_EQ(r.end, LogDownloadEnd::WriteFailed);
    EXPECT_EQ(r.problem, msg::LogFileWriteFailed(std::make_error_code(std::errc::io_error), 2));
}

TEST(DownloadLog, StopEndsAtTheNextStepAndStillFinishesTheFile) {
    Entry e(LogState(Seconds(5)));
    ScriptedWriter writer;
    writer.onAdd = [&](size_t adds) {
        if (adds == 2) {
            e.stop.Request();
        }
    };
    const LogDownloadResult r = e.Run(writer);
    EXPECT_EQ(writer.calls, (std::vector<std::string>{"Begin", "Add 1 0", "Add 2 1", "Finish"}));
    EXPECT_EQ(e.RecordCommands(), 2u);
    EXPECT_EQ(r.end, LogDownloadEnd::Stopped);
    EXPECT_EQ(r.problem, std::nullopt);
    EXPECT_EQ(r.saved, 2u);
}

TEST(DownloadLog, SilentTrackerFinishesTheFileAndCountsWhatItHolds) {
    sim::SimState state = LogState(Seconds(5));
    state.faults.rules.push_back({.kind = sim::FaultKind::NoReply, .group = 3, .op = 1, .from = 3});
    Entry e(state);
    ScriptedWriter writer;
    const LogDownloadResult r = e.Run(writer);
    EXPECT_EQ(writer.calls, (std::vector<std::string>{"Begin", "Add 1 0", "Add 2 1", "Finish"}));
    EXPECT_EQ(r.end, LogDownloadEnd::TrackerSilent);
    EXPECT_EQ(r.problem, u"The tracker stopped answering at record 3 of 5. 2 records were saved.");
}

TEST(DownloadLog, CountWithoutReplyAndLogNeverReadyFinishAnEmptyFile) {
    {
        sim::SimState state = LogState(Seconds(1));
        state.faults.rules.push_back({.kind = sim::FaultKind::NoReply, .group = 3, .op = 2});
        Entry e(state);
        ScriptedWriter writer;
        const LogDownloadResult r = e.Run(writer);
        EXPECT_EQ(writer.calls, (std::vector<std::string>{"Begin", "Finish"}));
        EXPECT_EQ(r.end, LogDownloadEnd::CountMissing);
        EXPECT_EQ(r.problem, std::u16string(msg::kLogCountMissing));
        EXPECT_EQ(r.reported, 0u);
    }
    {
        sim::SimState state = LogState(Seconds(1));
        state.faults.logNotReadyCount = -1;
        Entry e(state, /*usbFrames=*/true);
        ScriptedWriter writer;
        const LogDownloadResult r = e.Run(writer);
        EXPECT_EQ(writer.calls, (std::vector<std::string>{"Begin", "Finish"}));
        EXPECT_EQ(r.end, LogDownloadEnd::NotReady);
        EXPECT_EQ(r.problem, std::u16string(msg::kLogNotReady));
    }
}

TEST(DownloadLog, EmptyLogLeavesTheCountersAlone) {
    Entry e(LogState({}));
    ScriptedWriter writer;
    std::atomic<uint32_t> total{77};
    std::atomic<uint32_t> current{77};
    const LogDownloadResult r = e.Run(writer, {&total, &current});
    EXPECT_EQ(r.end, LogDownloadEnd::Complete);
    EXPECT_EQ(r.reported, 0u);
    EXPECT_EQ(total.load(), 77u);
    EXPECT_EQ(current.load(), 77u);
    EXPECT_EQ(e.form.positions, (std::vector<int>{0}));
}

// ---- DownloadLogToFile ----

struct ToFile {
    explicit ToFile(sim::SimState state) : rig(std::move(state)) {}
    LogDownloadResult Run(const std::filesystem::path& path, LogFormat format = LogFormat::Gpx) {
        return DownloadLogToFile(rig.Link(), path, format, {}, form, stop);
    }
    test::SimRig rig;
    ProgressWatch form;
    TaskStop stop;
    test::TempDir dir;
};

TEST(DownloadLogToFile, NoTrackerCreatesNoFile) {
    ToFile t(LogState(Seconds(1)));
    t.rig.backend.Unplug("sim/tracker0");
    const auto path = t.dir.File("log.gpx");
    const LogDownloadResult r = t.Run(path);
    EXPECT_EQ(r.end, LogDownloadEnd::NoTracker);
    EXPECT_EQ(r.problem, u"USB CONNECT FAILURE");
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(t.form.positions.empty());
}

TEST(DownloadLogToFile, FileThatCannotBeCreatedIsReportedAndNoLogCommandIsSent) {
    ToFile t(LogState(Seconds(1)));
    const LogDownloadResult r = t.Run(t.dir.File("no such folder") / "log.gpx");
    EXPECT_EQ(r.end, LogDownloadEnd::FileNotCreated);
    EXPECT_EQ(r.problem, u"The log file could not be created (the folder does not exist).");
    EXPECT_TRUE(t.rig.SentPayloads().empty());
}

TEST(DownloadLogToFile, StopRequestedBeforehandEndsWithoutAFile) {
    ToFile t(LogState(Seconds(1)));
    t.stop.Request();
    const auto path = t.dir.File("log.gpx");
    const LogDownloadResult r = t.Run(path);
    EXPECT_EQ(r.end, LogDownloadEnd::Stopped);
    EXPECT_EQ(r.problem, std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(t.rig.SentPayloads().empty());
}

TEST(DownloadLogToFile, WritesTheChosenFormatAndFreesTheSharedAreas) {
    ToFile t(LogState(Seconds(3)));
    const auto path = t.dir.File("log.csv");
    const LogDownloadResult r = t.Run(path, LogFormat::Csv);
    EXPECT_EQ(r.end, LogDownloadEnd::Complete);
    EXPECT_EQ(r.saved, 3u);
    EXPECT_EQ(test::ReadBytes(path).substr(0, kCsvHeader.size()), kCsvHeader);
    EXPECT_EQ(t.form.positions, (std::vector<int>{0, 33, 66, 100}));
    EXPECT_TRUE(TryLockSequence(t.rig.areas).owns_lock());
}

TEST(DownloadLogToFile, SilentTrackerLeavesACompleteDocumentOfTheRecordsThatCame) {
    sim::SimState state = LogState(Seconds(5));
    state.faults.rules.push_back({.kind = sim::FaultKind::NoReply, .group = 3, .op = 1, .from = 4});
    for (LogFormat format : {LogFormat::Gpx, LogFormat::Kml}) {
        ToFile t(state);
        const auto path = t.dir.File("log");
        const LogDownloadResult r = t.Run(path, format);
        EXPECT_EQ(r.end, LogDownloadEnd::TrackerSilent);
        EXPECT_EQ(r.problem,
                  u"The tracker stopped answering at record 4 of 5. 3 records were saved.");
        const std::string text = test::ReadBytes(path);
        EXPECT_EQ(text.substr(text.size() - 7), format == LogFormat::Gpx ? "</gpx>\n" : "</kml>\n");
    }
}

TEST(ProgressOnlyForm, PassesOnTheLogBarsPositionsAndIgnoresTheRest) {
    std::vector<int> seen;
    ProgressOnlyForm form([&](int percent) { seen.push_back(percent); });
    form.SetProgress(ctl::LogProgress, 40);
    form.SetProgress(ctl::GetGpsLogButton, 7);
    form.SetText(ctl::GetGpsLogButton, u"x");
    form.SetProgress(ctl::LogProgress, 100);
    EXPECT_EQ(seen, (std::vector<int>{40, 100}));
    EXPECT_EQ(form.GetProgress(ctl::LogProgress), 100);
    EXPECT_EQ(form.GetText(ctl::GetGpsLogButton), u"");
    ProgressOnlyForm silent;
    silent.SetProgress(ctl::LogProgress, 5);  // no callback: nothing to call
    EXPECT_EQ(silent.GetProgress(ctl::LogProgress), 5);
}

}  // namespace
}  // namespace quarnel
