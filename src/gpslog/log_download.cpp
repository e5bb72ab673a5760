#include <cstring>

#include "device/hid_cmd.h"
#include "form/control_ids.h"
#include "form/messages.h"
#include "gpslog/csv_file.h"
#include "gpslog/log_commands.h"
#include "gpslog/log_messages.h"
#include "gpslog/log_progress.h"
#include "gpslog/log_record.h"
#include "gpslog/log_tasks.h"

namespace quarnel {

namespace {

FileDialogOptions CsvDialogOptions() {
    FileDialogOptions options;
    options.filters.push_back({u"CSV Files (*.csv)", u"*.csv"});
    options.defaultExtension = u"csv";
    return options;
}

}  // namespace

void LogTasks::DownloadGpsLog() {
    FormAccess& form = m_worker;
    form.SetEnabled(ctl::GetGpsLogButton, false);

    SequenceLock sequence = LockSequence(m_link.areas);
    CHidCmd cmd(m_link);
    AttachedCommand attached(m_downloadStop, cmd);

    // Every way out: the button back, the shared areas free, and the flag up last. The
    // tracker connection closes after it, as the worker ends.
    auto end = [&] {
        form.SetEnabled(ctl::GetGpsLogButton, true);
        sequence.unlock();
        g_logDownloadDone.store(1);
    };

    if (cmd.m_io.Open() == 0) {
        if (!m_downloadStop.Requested()) {
            m_workerUi.ShowMessage(std::u16string(msg::kUsbConnectFailure));
        }
        form.SetProgress(ctl::LogProgress, 0);
        end();
        return;
    }

    const std::optional<std::filesystem::path> path =
        m_downloadStop.Requested() ? std::nullopt : m_workerUi.SaveFileDialog(CsvDialogOptions());
    CsvFile file;
    // Cancelled, or a file that cannot be created: the task ends without a word.
    if (!path || m_downloadStop.Requested() || !file.Create(*path)) {
        end();
        return;
    }

    uint32_t saved = 0;
    std::optional<std::u16string> problem = FetchLog(cmd, file, saved);
    if (!file.Close() && !problem) {
        problem = msg::LogFileWriteFailed(file.Error(), saved);
    }
    if (problem && !m_downloadStop.Requested()) {
        m_workerUi.ShowMessage(*problem);
    }
    form.SetProgress(ctl::LogProgress, 0);
    end();
}

std::optional<std::u16string> LogTasks::FetchLog(CHidCmd& cmd, CsvFile& file, uint32_t& saved) {
    CommandAreas& areas = m_link.areas;
    FormAccess& form = m_worker;
    TaskStop& stop = m_downloadStop;

    if (!file.Write(kCsvHeader)) {
        return msg::LogFileWriteFailed(file.Error(), saved);
    }

    // The count. The tracker answers -1 while its log is not ready; each attempt waits
    // only as long as its own transaction, and the attempts end after a bounded time.
    const uint32_t countStart = m_link.clock.TickMs();
    int32_t count = -1;
    for (;;) {
        if (stop.Requested()) {
            return std::nullopt;
        }
        form.SetProgress(ctl::LogProgress, 0);
        PutLogCountCommand(areas);
        // Without a reply the reply area holds whatever an earlier command left there,
        // which is no count at all.
        if (!Transact(cmd, kWritePolicy)) {
            return stop.Requested() ? std::nullopt
                                    : std::optional<std::u16string>(msg::kLogCountMissing);
        }
        count = static_cast<int32_t>(GetLe32(areas.reply.data()));
        if (count != -1) {
            break;
        }
        if (static_cast<uint32_t>(m_link.clock.TickMs() - countStart) >= msg::kLogNotReadyLimitMs) {
            return std::u16string(msg::kLogNotReady);
        }
    }

    const uint32_t total = static_cast<uint32_t>(count);
    if (total == 0) {
        return std::nullopt;
    }
    m_logTotal.store(total);

    int64_t lastWritten = 0;
    // 64-bit, so a count of 2^32 - 1 still ends.
    for (uint64_t k = 1; k <= total; ++k) {
        if (stop.Requested()) {
            return std::nullopt;
        }
        const uint32_t number = static_cast<uint32_t>(k);
        m_logCurrent.store(number);
        PutLogRecordCommand(areas);
        // The record command carries no record number and the tracker moves on with each
        // one, so a record whose reply is lost cannot be asked for again; and the reply
        // area still holds the previous reply, which must not be written twice.
        if (!Transact(cmd, kWritePolicy)) {
            return stop.Requested() ? std::nullopt
                                    : std::optional<std::u16string>(
                                          msg::LogStoppedAnswering(number, total, saved));
        }
        const LogRecord record = ParseLogRecord(areas.reply.data());
        int64_t time = 0;
        if (TestRecord(record, lastWritten, time) == RecordVerdict::Write) {
            if (!file.Write(FormatLogLine(saved + 1, record))) {
                return msg::LogFileWriteFailed(file.Error(), saved);
            }
            ++saved;
            lastWritten = time;
        }
        form.SetProgress(ctl::LogProgress, ProgressPosition(number, total));
    }
    return std::nullopt;
}

}  // namespace quarnel
