// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gpslog/log_download.h"

#include "form/control_ids.h"
#include "form/messages.h"
#include "gpslog/log_commands.h"
#include "gpslog/log_messages.h"
#include "gpslog/log_progress.h"
#include "gpslog/log_record.h"

namespace quarnel {

namespace {

void Store(std::atomic<uint32_t>* counter, uint32_t value) {
    if (counter != nullptr) {
        counter->store(value);
    }
}

// The fetch itself, up to the last record or the first thing that ends it.
struct Fetch {
    CHidCmd& cmd;
    FormAccess& progress;
    LogWriter& writer;
    TaskStop& stop;
    LogDownloadCounters counters;
    LogDownloadResult& result;
    uint32_t silentRecord = 0;  // the record that got no reply (TrackerSilent)

    // Ends when the tracker did not answer: a stop cancels the wait, so the silence is
    // then the stop's doing.
    LogDownloadEnd Silence(LogDownloadEnd end) const {
        return stop.Requested() ? LogDownloadEnd::Stopped : end;
    }

    LogDownloadEnd Run() {
        const DeviceLink& link = cmd.Link();
        CommandAreas& areas = link.areas;

        // The count. The tracker answers -1 while its log is not ready; each attempt waits
        // only as long as its own transaction, and the attempts end after a bounded time.
        const uint32_t countStart = link.clock.TickMs();
        int32_t count = -1;
        for (;;) {
            if (stop.Requested()) {
                return LogDownloadEnd::Stopped;
            }
            progress.SetProgress(ctl::LogProgress, 0);
            PutLogCountCommand(areas);
            // Without a reply the reply area holds whatever an earlier command left there,
            // which is no count at all.
            if (!Transact(cmd, kWritePolicy)) {
                return Silence(LogDownloadEnd::CountMissing);
            }
            count = static_cast<int32_t>(GetLe32(areas.reply.data()));
            if (count != -1) {
                break;
            }
            if (static_cast<uint32_t>(link.clock.TickMs() - countStart) >=
                msg::kLogNotReadyLimitMs) {
                return LogDownloadEnd::NotReady;
            }
        }

        const uint32_t total = static_cast<uint32_t>(count);
        result.reported = total;
        if (total == 0) {
            return LogDownloadEnd::Complete;
        }
        Store(counters.total, total);

        int64_t lastWritten = 0;
        uint32_t passed = 0;
        // 64-bit, so a count of 2^32 - 1 still ends.
        for (uint64_t k = 1; k <= total; ++k) {
            if (stop.Requested()) {
                return LogDownloadEnd::Stopped;
            }
            const uint32_t number = static_cast<uint32_t>(k);
            Store(counters.current, number);
            PutLogRecordCommand(areas);
            // The record command carries no record number and the tracker moves on with
            // each one, so a record whose reply is lost cannot be asked for again; and the
            // reply area still holds the previous reply, which must not be written twice.
            if (!Transact(cmd, kWritePolicy)) {
                silentRecord = number;
                return Silence(LogDownloadEnd::TrackerSilent);
            }
            const LogRecord record = ParseLogRecord(areas.reply.data());
            int64_t time = 0;
            if (TestRecord(record, lastWritten, time) == RecordVerdict::Write) {
                ++passed;
                lastWritten = time;
                switch (writer.Add(passed, record, time)) {
                    case AddResult::Accepted:
                        break;
                    case AddResult::Skipped:
                        ++result.skipped;
                        break;
                    case AddResult::Failed:
                        return LogDownloadEnd::WriteFailed;
                }
            }
            progress.SetProgress(ctl::LogProgress, ProgressPosition(number, total));
        }
        return LogDownloadEnd::Complete;
    }
};

}  // namespace

LogDownloadResult DownloadLog(CHidCmd& cmd, FormAccess& progress, LogWriter& writer, TaskStop& stop,
                              LogDownloadCounters counters) {
    LogDownloadResult result;
    Fetch fetch{cmd, progress, writer, stop, counters, result};
    // The start of the file goes first, so a file that takes nothing costs no command.
    result.end = writer.Begin() ? fetch.Run() : LogDownloadEnd::WriteFailed;
    // Finish also after a stop or a silent tracker: what came is a whole document then.
    if (result.end != LogDownloadEnd::WriteFailed && !writer.Finish()) {
        result.end = LogDownloadEnd::WriteFailed;
    }
    result.saved = writer.Saved();

    switch (result.end) {
        case LogDownloadEnd::Complete:
        case LogDownloadEnd::Stopped:
            break;
        case LogDownloadEnd::NoTracker:
        case LogDownloadEnd::FileNotCreated:
            break;  // DownloadLogToFile's own endings: DownloadLog opens nothing
        case LogDownloadEnd::CountMissing:
            result.problem = std::u16string(msg::kLogCountMissing);
            break;
        case LogDownloadEnd::NotReady:
            result.problem = std::u16string(msg::kLogNotReady);
            break;
        case LogDownloadEnd::TrackerSilent:
            result.problem =
                msg::LogStoppedAnswering(fetch.silentRecord, result.reported, result.saved);
            break;
        case LogDownloadEnd::WriteFailed:
            result.problem = msg::LogFileWriteFailed(writer.Error(), result.saved);
            break;
    }
    return result;
}

void CloseLogFile(CsvFile& file, LogDownloadResult& result) {
    if (!file.Close() && !result.problem) {
        result.end = LogDownloadEnd::WriteFailed;
        result.problem = msg::LogFileWriteFailed(file.Error(), result.saved);
    }
}

LogDownloadResult DownloadLogToFile(const DeviceLink& link, const std::filesystem::path& path,
                                    LogFormat format, const LogWriterOptions& options,
                                    FormAccess& progress, TaskStop& stop,
                                    LogDownloadCounters counters) {
    LogDownloadResult result;
    SequenceLock sequence = LockSequence(link.areas);
    CHidCmd cmd(link);
    AttachedCommand attached(stop, cmd);

    if (cmd.m_io.Open() == 0) {
        result.end = stop.Requested() ? LogDownloadEnd::Stopped : LogDownloadEnd::NoTracker;
        if (result.end == LogDownloadEnd::NoTracker) {
            result.problem = std::u16string(msg::kUsbConnectFailure);
        }
        return result;
    }
    if (stop.Requested()) {
        result.end = LogDownloadEnd::Stopped;
        return result;
    }
    CsvFile file;
    if (!file.Create(path)) {
        result.end = LogDownloadEnd::FileNotCreated;
        result.problem = msg::LogFileNotCreated(file.Error());
        return result;
    }
    const std::unique_ptr<LogWriter> writer = MakeLogWriter(format, file, options);
    result = DownloadLog(cmd, progress, *writer, stop, counters);
    CloseLogFile(file, result);
    return result;
}

}  // namespace quarnel
