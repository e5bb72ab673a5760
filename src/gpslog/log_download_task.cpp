#include "device/hid_cmd.h"
#include "form/control_ids.h"
#include "form/messages.h"
#include "gpslog/csv_file.h"
#include "gpslog/csv_log_writer.h"
#include "gpslog/log_download.h"
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

    // The window always writes the CSV.
    CsvLogWriter writer(file);
    LogDownloadResult result =
        DownloadLog(cmd, form, writer, m_downloadStop, {&m_logTotal, &m_logCurrent});
    CloseLogFile(file, result);
    if (result.problem && !m_downloadStop.Requested()) {
        m_workerUi.ShowMessage(*result.problem);
    }
    form.SetProgress(ctl::LogProgress, 0);
    end();
}

}  // namespace quarnel
