// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "device/device_link.h"
#include "device/hid_cmd.h"
#include "form/form_access.h"
#include "gpslog/csv_file.h"
#include "gpslog/log_format.h"
#include "gpslog/log_writer.h"
#include "gpslog/task_stop.h"

namespace quarnel {

// How a download ended; each value with its one meaning.
enum class LogDownloadEnd {
    Complete,        // every record the tracker reported was fetched
    Stopped,         // the TaskStop ended it; the file holds the records fetched before
    NoTracker,       // DownloadLogToFile only: no tracker found; no file was created
    FileNotCreated,  // DownloadLogToFile only: the file could not be created
    CountMissing,    // the log count got no reply; no record was fetched
    NotReady,        // the tracker's log stayed "not ready" for msg::kLogNotReadyLimitMs
    TrackerSilent,   // a record got no reply; the file holds the records fetched before
    WriteFailed,     // the file refused data (full disk...); it holds `saved` records
};

struct LogDownloadResult {
    LogDownloadEnd end = LogDownloadEnd::Complete;
    uint32_t reported = 0;  // records the tracker reported (0 until the count came)
    uint32_t saved = 0;     // records whose data is in the file
    uint32_t skipped = 0;   // passed the record test, but the format could not hold them
    // What to tell the user (English): set for every end but Complete and Stopped. A
    // file that fails makes the end WriteFailed whatever else happened.
    std::optional<std::u16string> problem;
};

// Counters a window timer or a progress thread may poll while the download runs; either
// may be left out.
struct LogDownloadCounters {
    std::atomic<uint32_t>* total = nullptr;    // the record count, once known and not 0
    std::atomic<uint32_t>* current = nullptr;  // 1-based number of the record being fetched
};

// Downloads the tracker's log into `writer`: writer.Begin(); the log count, asked again
// while the tracker answers -1 (up to msg::kLogNotReadyLimitMs); one log-record command
// per reported record, each record put to the record test (TestRecord) and, when it
// passes, handed to writer.Add with its INDEX; then writer.Finish(), on every way out
// except a failed write, so a file stopped part way is still a complete document. The
// record test and its time order do not depend on the format: a record the writer skips
// still counts as written for the order, so every format holds the same records in the
// same order (less the ones it cannot hold, counted in `skipped`).
//
// Contract:
// - `cmd` is a transaction object whose m_io.Open() succeeded, attached to `stop`
//   (AttachedCommand, so a stop also ends a reply wait that is running). The caller
//   opens and closes the tracker, and holds the command-sequence lock of
//   cmd.Link().areas (LockSequence) from before this call until it returns.
// - Runs wholly on the calling thread, any thread. It touches the form only through
//   progress.SetProgress(ctl::LogProgress, ...): 0 before each count command, then
//   ProgressPosition(k, count) after record k. It never resets the bar at the end.
//   No dialogs, no message boxes: the problem comes back as text.
// - stop.Request() may come from any other thread (not from a signal handler: it takes
//   a mutex). The download then ends at its next step with end Stopped.
// - The caller closes `file` underneath the writer afterwards: see CloseLogFile.
// - Throws only what memory exhaustion throws (std::bad_alloc).
LogDownloadResult DownloadLog(CHidCmd& cmd, FormAccess& progress, LogWriter& writer, TaskStop& stop,
                              LogDownloadCounters counters = {});

// Closes the file a download wrote and folds a failure to close into `result` (end
// WriteFailed and its message, unless a problem was already set).
void CloseLogFile(CsvFile& file, LogDownloadResult& result);

// The whole download into a file, for callers without a window (a command-line tool):
// takes the command-sequence lock (waiting for it), opens the tracker (none: end
// NoTracker, problem "USB CONNECT FAILURE", no file created), creates `path` (emptying
// it; failure: end FileNotCreated), writes it in `format` through DownloadLog and closes
// it. Same thread, form and stop rules as DownloadLog; `stop` is attached for the whole
// call. The tracker is closed again before it returns.
LogDownloadResult DownloadLogToFile(const DeviceLink& link, const std::filesystem::path& path,
                                    LogFormat format, const LogWriterOptions& options,
                                    FormAccess& progress, TaskStop& stop,
                                    LogDownloadCounters counters = {});

}  // namespace quarnel
