// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <iterator>
#include <memory>

#include "device/hid_cmd.h"
#include "form/control_ids.h"
#include "form/messages.h"
#include "gpslog/csv_file.h"
#include "gpslog/log_commands.h"
#include "gpslog/log_download.h"
#include "gpslog/log_format.h"
#include "gpslog/log_tasks.h"
#include "gpslog/log_writer.h"

namespace quarnel {

namespace {

// The save dialog's file types, one per format in the order of kLogFormats: the CSV first
// and the default, as the window always offered it, then the others.
FileDialogOptions LogDialogOptions() {
    FileDialogOptions options;
    options.filters = {
        {u"CSV Files (*.csv)", u"*.csv"},
        {u"GPX Files (*.gpx)", u"*.gpx"},
        {u"KML Files (*.kml)", u"*.kml"},
        {u"HTML Map Pages (*.html)", u"*.html"},
    };
    options.defaultExtension = u"csv";
    return options;
}

// The format of the file type the user chose; the CSV for a type the dialog did not offer.
LogFormat ChosenFormat(size_t filter) {
    return filter < std::size(kLogFormats) ? kLogFormats[filter] : LogFormat::Csv;
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

    const std::optional<SaveChoice> chosen =
        m_downloadStop.Requested() ? std::nullopt : m_workerUi.SaveFileDialog(LogDialogOptions());
    CsvFile file;
    // Cancelled, or a file that cannot be created: the task ends without a word.
    if (!chosen || m_downloadStop.Requested() || !file.Create(chosen->path)) {
        end();
        return;
    }

    // The file is written in the type chosen in the dialog; the download is the same. The
    // map page names the tracker: one read of its IMEI first (nothing when it is silent).
    const LogFormat format = ChosenFormat(chosen->filter);
    LogWriterOptions options;
    if (format == LogFormat::Html) {
        PutImeiReadCommand(m_link.areas);
        if (Transact(cmd, kReadPolicy)) {
            options.trackerImei = ReplyImei(m_link.areas);
        }
    }
    const std::unique_ptr<LogWriter> writer = MakeLogWriter(format, file, options);
    LogDownloadResult result =
        DownloadLog(cmd, form, *writer, m_downloadStop, {&m_logTotal, &m_logCurrent});
    CloseLogFile(file, result);
    if (result.problem && !m_downloadStop.Requested()) {
        m_workerUi.ShowMessage(*result.problem);
    }
    form.SetProgress(ctl::LogProgress, 0);
    end();
}

}  // namespace quarnel
