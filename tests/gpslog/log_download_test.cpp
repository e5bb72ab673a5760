// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The log download run on the test's own thread, against the simulated tracker on the
// virtual clock: the file it writes, the commands it sends, its progress and its endings.
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "form/control_ids.h"
#include "form/messages.h"
#include "gpslog/log_files.h"
#include "gpslog/log_messages.h"
#include "gpslog/log_record.h"
#include "gpslog/log_tasks.h"
#include "gpslog/log_test_support.h"
#include "support/sim_fixture.h"

namespace quarnel {
namespace {

using sim::LogRecordBytes;
using test::Bytes;
using test::Fix;
using test::WithByte;
using test::WithErasedLongitude;
using test::WithLongitudeEndingInFF;

const std::string kHeader(kCsvHeader);

// The line the example fix of the Fix() helper gives, with its INDEX, date and time.
std::string Line(int index, const char* date, const char* time) {
    return std::to_string(index) + ",T," + date + "," + time +
           ",22.629999,N,120.300003,E,12.5m,90.00,3.2km/h\r\n";
}

sim::LogFix WithTag(sim::LogFix fix, int32_t tag) {
    fix.tag = tag;
    return fix;
}

sim::SimState LogState(std::vector<LogRecordBytes> log) {
    sim::SimState state = sim::FactoryState();
    state.log = std::move(log);
    return state;
}

// A download on the simulated tracker with a save dialog answered by `file`.
struct Download {
    explicit Download(sim::SimState state, bool usbFrames = false)
        : rig(std::move(state), usbFrames), tasks(rig.Link(), rig.form, rig.form, rig.ui, table) {
        g_logDownloadDone.store(0);
    }

    void Run(std::optional<std::filesystem::path> answer) {
        rig.ui.QueueDialogAnswer(std::move(answer));
        startMs = rig.NowMs();
        tasks.DownloadGpsLog();
    }
    void Run() { Run(file); }

    std::string Csv() { return test::ReadBytes(file); }

    // Commands of the log group sent, by op: 2 count, 1 record.
    size_t Sent(uint8_t group, uint8_t op) {
        size_t n = 0;
        for (const auto& p : rig.SentPayloads()) {
            n += p[payload::kGroup] == group && p[payload::kOp] == op;
        }
        return n;
    }
    size_t CountCommands() { return Sent(3, 2); }
    size_t RecordCommands() { return Sent(3, 1); }
    uint64_t ElapsedMs() { return rig.NowMs() - startMs; }

    std::vector<int> Progress() { return rig.form.Snapshot(ctl::LogProgress).progressHistory; }
    std::vector<bool> ButtonHistory() {
        return rig.form.Snapshot(ctl::GetGpsLogButton).enabledHistory;
    }

    test::TempDir dir;
    std::filesystem::path file = dir.File("log.csv");
    test::SimRig rig;
    CLangTable table = test::ButtonTable();
    LogTasks tasks;
    uint64_t startMs = 0;
};

// ---- the file ----

struct CsvCase {
    const char* name;
    std::vector<LogRecordBytes> log;
    std::string lines;  // after the header
};
void PrintTo(const CsvCase& c, std::ostream* os) {
    *os << c.name;
}

const CsvCase kCsvCases[] = {
    {"ExampleFix", {Bytes(Fix(2014, 2, 7, 8, 5, 9))}, Line(1, "2014/02/07", "08:05:09")},
    {"SouthernLatitudeEasternLongitude",
     {Bytes(Fix(2014, 2, 7, 8, 5, 9, -22.5f, 120.25f))},
     "1,T,2014/02/07,08:05:09,22.500000,S,120.250000,E,12.5m,90.00,3.2km/h\r\n"},
    {"NineDigitLatitudeCut",
     {Bytes(Fix(2014, 2, 7, 8, 5, 9, -123456789.0f, 120.3f))},
     "1,T,2014/02/07,08:05:09,123456792.00000,S,120.300003,E,12.5m,90.00,3.2km/h\r\n"},
    {"YearBytes0And14",
     {Bytes(Fix(2000, 1, 1, 0, 0, 0)), Bytes(Fix(2014, 1, 1, 0, 0, 0))},
     Line(1, "2000/01/01", "00:00:00") + Line(2, "2014/01/01", "00:00:00")},
    {"February31PrintedAsIsOrderedAsEarlyMarch",
     {Bytes(Fix(2014, 2, 31, 0, 0, 0)), Bytes(Fix(2014, 3, 2, 23, 59, 59)),
      Bytes(Fix(2014, 3, 3, 0, 0, 0))},
     Line(1, "2014/02/31", "00:00:00") + Line(2, "2014/03/03", "00:00:00")},
    {"OlderRecordDroppedEqualTimePasses",
     {Bytes(Fix(2014, 2, 7, 10, 0, 0)), Bytes(Fix(2014, 2, 7, 9, 59, 59)),
      Bytes(Fix(2014, 2, 7, 10, 0, 0))},
     Line(1, "2014/02/07", "10:00:00") + Line(2, "2014/02/07", "10:00:00")},
    {"EveryFieldOutOfRangeDropped",
     {Bytes(Fix(2014, 2, 7, 10, 0, 0)), Bytes(Fix(2014, 0, 7, 11, 0, 0)),
      Bytes(Fix(2014, 13, 7, 11, 0, 0)), Bytes(Fix(2014, 2, 0, 11, 0, 0)),
      Bytes(Fix(2014, 2, 32, 11, 0, 0)), Bytes(Fix(2014, 2, 7, 24, 0, 0)),
      Bytes(Fix(2014, 2, 7, 11, 60, 0)), Bytes(Fix(2014, 2, 7, 11, 0, 60)),
      Bytes(Fix(2014, 2, 7, 11, 0, 0))},
     Line(1, "2014/02/07", "10:00:00") + Line(2, "2014/02/07", "11:00:00")},
    {"TagZeroAndNegativeDropped",
     {Bytes(WithTag(Fix(2014, 2, 7, 10, 0, 0), 0)), Bytes(WithTag(Fix(2014, 2, 7, 10, 0, 1), -7)),
      Bytes(WithTag(Fix(2014, 2, 7, 10, 0, 2), 3))},
     Line(1, "2014/02/07", "10:00:02")},
    {"ErasedMarkersDropped",
     {WithErasedLongitude(Fix(2014, 2, 7, 10, 0, 0)), WithByte(Fix(2014, 2, 7, 10, 0, 1), 31, 0xFF),
      Bytes(Fix(2014, 2, 7, 10, 0, 2))},
     Line(1, "2014/02/07", "10:00:02")},
    {"LongitudeEndingInFFIsWritten",
     {Bytes(WithLongitudeEndingInFF(Fix(2014, 2, 7, 10, 0, 0)))},
     "1,T,2014/02/07,10:00:00,22.629999,N,120.300774,E,12.5m,90.00,3.2km/h\r\n"},
    {"IndexWithoutGaps",
     {Bytes(Fix(2014, 2, 7, 10, 0, 0)), Bytes(WithTag(Fix(2014, 2, 7, 10, 0, 1), 0)),
      Bytes(Fix(2014, 2, 7, 10, 0, 2)), WithByte(Fix(2014, 2, 7, 10, 0, 3), 31, 0xFF),
      Bytes(Fix(2014, 2, 7, 9, 0, 0)), Bytes(Fix(2014, 2, 7, 10, 0, 4))},
     Line(1, "2014/02/07", "10:00:00") + Line(2, "2014/02/07", "10:00:02") +
         Line(3, "2014/02/07", "10:00:04")},
    {"EmptyLogHeaderOnly", {}, ""},
};

class DownloadCsvTest : public ::testing::TestWithParam<CsvCase> {};

TEST_P(DownloadCsvTest, WritesTheHeaderAndEveryUsableRecordByteForByte) {
    Download d(LogState(GetParam().log));
    d.Run();
    EXPECT_EQ(d.Csv(), kHeader + GetParam().lines);
    EXPECT_EQ(d.CountCommands(), 1u);
    EXPECT_EQ(d.RecordCommands(), GetParam().log.size()) << "the loop runs exactly count times";
    EXPECT_TRUE(d.rig.ui.Messages().empty());
    EXPECT_EQ(g_logDownloadDone.load(), 1);
}

INSTANTIATE_TEST_SUITE_P(Logs, DownloadCsvTest, ::testing::ValuesIn(kCsvCases),
                         [](const ::testing::TestParamInfo<CsvCase>& c) { return c.param.name; });

TEST(Download, AnExistingFileIsEmptiedFirst) {
    Download d(LogState({Bytes(Fix(2014, 2, 7, 8, 5, 9))}));
    std::ofstream(d.file, std::ios::binary) << std::string(5000, 'x');
    d.Run();
    EXPECT_EQ(d.Csv(), kHeader + Line(1, "2014/02/07", "08:05:09"));
}

TEST(Download, OffersCsvFirstAndAsTheDefaultThenTheOtherFormats) {
    Download d(LogState({}));
    d.Run();
    const auto events = d.rig.ui.Events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, test::RecordingUi::Event::SaveDialog);
    const std::vector<FileFilter>& filters = events[0].options.filters;
    ASSERT_EQ(filters.size(), 4u);
    EXPECT_EQ(filters[0].display, u"CSV Files (*.csv)");
    EXPECT_EQ(filters[0].pattern, u"*.csv");
    EXPECT_EQ(events[0].options.defaultExtension, u"csv");
    EXPECT_EQ(filters[1].display, u"GPX Files (*.gpx)");
    EXPECT_EQ(filters[1].pattern, u"*.gpx");
    EXPECT_EQ(filters[2].display, u"KML Files (*.kml)");
    EXPECT_EQ(filters[2].pattern, u"*.kml");
    EXPECT_EQ(filters[3].display, u"HTML Map Pages (*.html)");
    EXPECT_EQ(filters[3].pattern, u"*.html");
}

struct TypeCase {
    const char* name;
    size_t filter;
    LogFormat format;
};
void PrintTo(const TypeCase& c, std::ostream* os) {
    *os << c.name;
}

class ChosenTypeTest : public ::testing::TestWithParam<TypeCase> {};

// The file follows the type chosen in the dialog, whatever its name; the download, its
// commands, its progress and its (lack of) messages are those of the CSV. Only the map page
// reads the tracker's IMEI first, to name it.
TEST_P(ChosenTypeTest, WritesTheFileInTheChosenTypeWithTheSameDownload) {
    const TypeCase& c = GetParam();
    const std::vector<LogRecordBytes> log = sim::DemoState().log;
    Download csv(LogState(log));
    csv.Run();
    Download d(LogState(log));
    const std::filesystem::path file = d.dir.File("trip.file");
    d.rig.ui.QueueSaveAnswer(file, c.filter);
    d.tasks.DownloadGpsLog();

    test::TempDir elsewhere;
    LogWriterOptions options;
    auto sent = d.rig.SentPayloads();
    if (c.format == LogFormat::Html) {
        options.trackerImei = "356938035643809";  // the demo tracker's
        ASSERT_FALSE(sent.empty());
        const std::vector<uint8_t> imeiRead = {1, 8, 0, 0, 0, 0, 0, 0};
        EXPECT_EQ(std::vector<uint8_t>(sent[0].begin(), sent[0].begin() + 8), imeiRead);
        sent.erase(sent.begin());
    }
    const test::FileDownload expected =
        test::DownloadToFile(log, elsewhere.File("expected"), c.format, options);
    EXPECT_EQ(test::ReadBytes(file), expected.text);
    EXPECT_TRUE(d.rig.ui.Messages().empty());
    EXPECT_EQ(d.Progress(), csv.Progress());
    EXPECT_EQ(d.ButtonHistory(), csv.ButtonHistory());
    EXPECT_EQ(sent, csv.rig.SentPayloads());
    EXPECT_EQ(g_logDownloadDone.load(), 1);
}

INSTANTIATE_TEST_SUITE_P(Types, ChosenTypeTest,
                         ::testing::Values(TypeCase{"Csv", 0, LogFormat::Csv},
                                           TypeCase{"Gpx", 1, LogFormat::Gpx},
                                           TypeCase{"Kml", 2, LogFormat::Kml},
                                           TypeCase{"MapPage", 3, LogFormat::Html},
                                           TypeCase{"TypeNotOfferedIsCsv", 9, LogFormat::Csv}),
                         [](const ::testing::TestParamInfo<TypeCase>& c) { return c.param.name; });

// A file type's writer reports its problems in the same words as the CSV's.
TEST(Download, AFullDiskSaysTheSameForEveryType) {
    for (size_t filter = 0; filter < 4; ++filter) {
        SCOPED_TRACE(filter);
        Download d(LogState({Bytes(Fix(2014, 2, 7, 8, 5, 9))}));
        d.rig.ui.QueueSaveAnswer("/dev/full", filter);
        d.tasks.DownloadGpsLog();
        EXPECT_EQ(d.rig.ui.Messages(),
                  std::vector<std::u16string>{u"The log file could not be written (the disk is "
                                              u"full). The download was stopped; 0 records were "
                                              u"saved."});
        EXPECT_EQ(d.RecordCommands(), 0u);
    }
}

// ---- commands, counters and progress ----

TEST(Download, SendsTheCountThenOneRecordCommandPerRecordWithTheirExactBytes) {
    Download d(LogState({Bytes(Fix(2014, 2, 7, 8, 5, 9)), Bytes(Fix(2014, 2, 7, 8, 5, 10))}));
    d.rig.areas.payload.fill(0xAA);  // what earlier commands left
    d.Run();
    const auto sent = d.rig.SentPayloads();
    ASSERT_EQ(sent.size(), 3u);
    const std::vector<uint8_t> count = {2, 12, 3, 0, '0', '0', '0', '0', '0', '0', '0', '0'};
    const std::vector<uint8_t> record = {1, 3, 3, 0, '0', '0', '0', '0', '0', '0', '0', '0'};
    EXPECT_EQ(std::vector<uint8_t>(sent[0].begin(), sent[0].begin() + 12), count);
    for (size_t i : {1u, 2u}) {
        EXPECT_EQ(std::vector<uint8_t>(sent[i].begin(), sent[i].begin() + 12), record);
    }
    for (const auto& p : sent) {
        for (size_t b = 12; b < kPayloadOnWire; ++b) {
            EXPECT_EQ(p[b], 0xAA) << "byte " << b << " keeps what it held";
        }
    }
    EXPECT_EQ(d.rig.SentSequenceNumbers(), (std::vector<int>{19, 20, 21}));
    EXPECT_TRUE(d.rig.tracker.ProtocolNotes().empty());
}

TEST(Download, CountOfMinusOneTwiceThenFiveAsksThreeTimesAndResetsTheBarEachTime) {
    sim::SimState state = LogState({});
    for (int s = 0; s < 5; ++s) {
        state.log.push_back(Bytes(Fix(2014, 2, 7, 10, 0, s)));
    }
    state.faults.logNotReadyCount = 2;
    Download d(state);
    d.Run();
    EXPECT_EQ(d.CountCommands(), 3u);
    EXPECT_EQ(d.RecordCommands(), 5u);
    // 0 before each count, floor(100k/5) after record k, 0 at the end.
    EXPECT_EQ(d.Progress(), (std::vector<int>{0, 0, 0, 20, 40, 60, 80, 100, 0}));
    EXPECT_EQ(d.tasks.m_logTotal.load(), 5u);
    EXPECT_EQ(d.tasks.m_logCurrent.load(), 5u);
    EXPECT_EQ(d.Csv().size(), kHeader.size() + 5 * Line(1, "2014/02/07", "10:00:00").size());
}

TEST(Download, EmptyLogLeavesTheTotalAtZero) {
    Download d(LogState({}));
    d.tasks.m_logTotal.store(0);
    d.Run();
    EXPECT_EQ(d.tasks.m_logTotal.load(), 0u);
    EXPECT_EQ(d.RecordCommands(), 0u);
    EXPECT_EQ(d.Progress(), (std::vector<int>{0, 0}));
}

TEST(Download, EndsWithTheButtonEnabledAndTheFlagRaised) {
    Download d(LogState({Bytes(Fix(2014, 2, 7, 8, 5, 9))}));
    d.Run();
    EXPECT_EQ(d.ButtonHistory(), (std::vector<bool>{false, true}));
    EXPECT_EQ(g_logDownloadDone.load(), 1);
    EXPECT_EQ(d.rig.form.GetProgress(ctl::LogProgress), 0);
}

TEST(Download, TheFlagGoesUpAfterTheLastChangeToTheFormAndFreesTheSharedAreasFirst) {
    // The timer treats the flag as "everything else is done": check that nothing reaches
    // the form after it, and that the command-sequence lock is already free by then.
    struct WatchingForm : test::MemoryForm {
        void SetEnabled(int id, bool enabled) override {
            flagWhenCalled.push_back(g_logDownloadDone.load());
            MemoryForm::SetEnabled(id, enabled);
        }
        void SetProgress(int id, int position) override {
            flagWhenCalled.push_back(g_logDownloadDone.load());
            MemoryForm::SetProgress(id, position);
        }
        std::vector<int> flagWhenCalled;
    };
    test::SimRig rig(LogState({Bytes(Fix(2014, 2, 7, 8, 5, 9))}));
    WatchingForm form;
    test::TempDir dir;
    CLangTable table = test::ButtonTable();
    LogTasks tasks(rig.Link(), form, form, rig.ui, table);
    g_logDownloadDone.store(0);
    rig.ui.QueueDialogAnswer(dir.File("log.csv"));
    tasks.DownloadGpsLog();
    ASSERT_FALSE(form.flagWhenCalled.empty());
    for (int flag : form.flagWhenCalled) {
        EXPECT_EQ(flag, 0);
    }
    EXPECT_EQ(g_logDownloadDone.load(), 1);
    EXPECT_TRUE(TryLockSequence(rig.areas).owns_lock());
}

// ---- endings without a log ----

TEST(Download, NoTrackerShowsOneMessageAndNoDialog) {
    Download d(LogState({}));
    d.rig.backend.Unplug("sim/tracker0");
    d.Run();
    EXPECT_EQ(d.rig.ui.Messages(), (std::vector<std::u16string>{u"USB CONNECT FAILURE"}));
    EXPECT_EQ(d.rig.ui.Events().size(), 1u) << "no save dialog";
    EXPECT_FALSE(std::filesystem::exists(d.file));
    EXPECT_EQ(d.Progress(), (std::vector<int>{0}));
    EXPECT_EQ(d.ButtonHistory(), (std::vector<bool>{false, true}));
    EXPECT_EQ(g_logDownloadDone.load(), 1);
}

TEST(Download, CancelledDialogEndsQuietly) {
    Download d(LogState({Bytes(Fix(2014, 2, 7, 8, 5, 9))}));
    d.Run(std::nullopt);
    EXPECT_TRUE(d.rig.ui.Messages().empty());
    EXPECT_TRUE(d.rig.SentPayloads().empty());
    EXPECT_EQ(d.ButtonHistory(), (std::vector<bool>{false, true}));
    EXPECT_EQ(g_logDownloadDone.load(), 1);
}

TEST(Download, FileThatCannotBeCreatedEndsQuietly) {
    Download d(LogState({Bytes(Fix(2014, 2, 7, 8, 5, 9))}));
    d.Run(d.dir.File("no such folder") / "log.csv");
    EXPECT_TRUE(d.rig.ui.Messages().empty());
    EXPECT_TRUE(d.rig.SentPayloads().empty());
    EXPECT_EQ(d.ButtonHistory(), (std::vector<bool>{false, true}));
    EXPECT_EQ(g_logDownloadDone.load(), 1);
}

// ---- a tracker that does not answer as it should ----

TEST(DownloadFaults, CountWithoutReplyIsNotReadFromWhatAnEarlierCommandLeft) {
    sim::SimState state = LogState({Bytes(Fix(2014, 2, 7, 8, 5, 9))});
    state.faults.rules.push_back({.kind = sim::FaultKind::NoReply, .group = 3, .op = 2});
    Download d(state);
    PutLe32(d.rig.areas.reply.data(), 5);  // as if an earlier reply had said 5
    d.Run();
    EXPECT_EQ(d.CountCommands(), 1u);
    EXPECT_EQ(d.RecordCommands(), 0u);
    EXPECT_EQ(d.tasks.m_logTotal.load(), 0u);
    EXPECT_EQ(d.Csv(), kHeader);
    EXPECT_EQ(d.rig.ui.Messages(),
              (std::vector<std::u16string>{u"The tracker did not report its log."}));
    EXPECT_EQ(d.ButtonHistory(), (std::vector<bool>{false, true}));
    EXPECT_EQ(g_logDownloadDone.load(), 1);
}

TEST(DownloadFaults, CountNotReadyForEverGivesUpAfterThirtySeconds) {
    sim::SimState state = LogState({Bytes(Fix(2014, 2, 7, 8, 5, 9))});
    state.faults.logNotReadyCount = -1;
    Download d(state, /*usbFrames=*/true);  // each attempt costs its USB frames
    d.Run();
    EXPECT_GE(d.ElapsedMs(), 30000u);
    EXPECT_LT(d.ElapsedMs(), 30100u);
    EXPECT_GT(d.CountCommands(), 1000u) << "asked again at once, without a pause";
    EXPECT_EQ(d.RecordCommands(), 0u);
    EXPECT_EQ(d.rig.ui.Messages(),
              (std::vector<std::u16string>{std::u16string(msg::kLogNotReady)}));
    EXPECT_EQ(d.Csv(), kHeader);
    EXPECT_EQ(d.Progress().back(), 0);
    EXPECT_EQ(g_logDownloadDone.load(), 1);
}

TEST(DownloadFaults, CountReadyJustBeforeTheLimitStillDownloads) {
    sim::SimState state = LogState({Bytes(Fix(2014, 2, 7, 8, 5, 9))});
    state.faults.logNotReadyCount = 10000;  // about 20 s at 2 ms per attempt
    Download d(state, /*usbFrames=*/true);
    d.Run();
    EXPECT_EQ(d.CountCommands(), 10001u);
    EXPECT_EQ(d.Csv(), kHeader + Line(1, "2014/02/07", "08:05:09"));
    EXPECT_TRUE(d.rig.ui.Messages().empty());
}

struct SilenceCase {
    const char* name;
    uint64_t from;  // first record command without a reply
    std::u16string message;
    size_t lines;
};
void PrintTo(const SilenceCase& c, std::ostream* os) {
    *os << c.name;
}

class DownloadSilenceTest : public ::testing::TestWithParam<SilenceCase> {};

TEST_P(DownloadSilenceTest, RecordWithoutReplyEndsTheDownloadAndKeepsWhatCame) {
    sim::SimState state = LogState({});
    for (int s = 0; s < 5; ++s) {
        state.log.push_back(Bytes(Fix(2014, 2, 7, 10, 0, s)));
    }
    state.faults.rules.push_back(
        {.kind = sim::FaultKind::NoReply, .group = 3, .op = 1, .from = GetParam().from});
    Download d(state);
    d.Run();
    std::string expected = kHeader;
    for (size_t i = 0; i < GetParam().lines; ++i) {
        const std::string time = "10:00:0" + std::to_string(i);
        expected += Line(static_cast<int>(i + 1), "2014/02/07", time.c_str());
    }
    EXPECT_EQ(d.Csv(), expected) << "the last reply is not written again";
    EXPECT_EQ(d.RecordCommands(), GetParam().from) << "no record is asked for after it";
    EXPECT_LE(d.ElapsedMs(), 2100u) << "one reply time-out";
    EXPECT_EQ(d.rig.ui.Messages(), (std::vector<std::u16string>{GetParam().message}));
    EXPECT_EQ(d.Progress().back(), 0);
    EXPECT_EQ(d.ButtonHistory(), (std::vector<bool>{false, true}));
    EXPECT_EQ(g_logDownloadDone.load(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DownloadSilenceTest,
    ::testing::Values(
        SilenceCase{"FirstRecord", 1,
                    u"The tracker stopped answering at record 1 of 5. 0 records were saved.", 0},
        SilenceCase{"ThirdRecord", 3,
                    u"The tracker stopped answering at record 3 of 5. 2 records were saved.", 2},
        SilenceCase{"LastRecord", 5,
                    u"The tracker stopped answering at record 5 of 5. 4 records were saved.", 4}),
    [](const ::testing::TestParamInfo<SilenceCase>& c) { return c.param.name; });

TEST(DownloadFaults, UnpluggedTrackerEndsTheDownloadAtOnce) {
    sim::SimState state = LogState({});
    for (int s = 0; s < 5; ++s) {
        state.log.push_back(Bytes(Fix(2014, 2, 7, 10, 0, s)));
    }
    state.faults.unplugAfter = 3;  // the count and two records
    Download d(state);
    d.Run();
    EXPECT_EQ(d.rig.ui.Messages(),
              (std::vector<std::u16string>{
                  u"The tracker stopped answering at record 3 of 5. 2 records were saved."}));
    EXPECT_EQ(d.Csv(),
              kHeader + Line(1, "2014/02/07", "10:00:00") + Line(2, "2014/02/07", "10:00:01"));
    EXPECT_LT(d.ElapsedMs(), 100u);
}

TEST(DownloadFaults, FullDiskStopsWithAMessageAndSendsNoLogCommand) {
    Download d(LogState({Bytes(Fix(2014, 2, 7, 8, 5, 9))}));
    d.Run("/dev/full");
    EXPECT_EQ(d.rig.ui.Messages(),
              (std::vector<std::u16string>{u"The log file could not be written (the disk is "
                                           u"full). The download was stopped; 0 records were "
                                           u"saved."}));
    EXPECT_TRUE(d.rig.SentPayloads().empty());
    EXPECT_EQ(d.ButtonHistory(), (std::vector<bool>{false, true}));
    EXPECT_EQ(g_logDownloadDone.load(), 1);
}

TEST(DownloadFaults, DiskFillingUpMidwayKeepsTheWholeLinesWritten) {
    if (!test::kHaveFileSizeLimit) {
        GTEST_SKIP() << test::kNoFileSizeLimit;
    }
    sim::SimState state = LogState({});
    for (int s = 0; s < 5; ++s) {
        state.log.push_back(Bytes(Fix(2014, 2, 7, 10, 0, s)));
    }
    Download d(state);
    const std::string kept =
        kHeader + Line(1, "2014/02/07", "10:00:00") + Line(2, "2014/02/07", "10:00:01");
    {
        test::FileSizeLimit limit(kept.size() + 20);  // ends in the middle of the third line
        d.Run();
    }

    EXPECT_EQ(d.Csv(), kept);
    EXPECT_EQ(d.RecordCommands(), 3u) << "no record is fetched after the failed line";
    EXPECT_EQ(d.rig.ui.Messages(),
              (std::vector<std::u16string>{u"The log file could not be written (the file is too "
                                           u"large). The download was stopped; 2 records were "
                                           u"saved."}));
    EXPECT_EQ(d.Progress().back(), 0);
    EXPECT_EQ(g_logDownloadDone.load(), 1);
}

}  // namespace
}  // namespace quarnel
