// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "form/command_context.h"
#include "gpslog/task_stop.h"
#include "i18n/lang_table.h"

namespace quarnel {

// Completion flags of the two background tasks: 0 while the task runs, 1 once it ended.
// Raised by the task's worker as its last effect on the window, counters and shared areas.
extern std::atomic<int> g_logDownloadDone;
extern std::atomic<int> g_logEraseDone;

inline constexpr int kEraseTimerId = 1;
inline constexpr int kDownloadTimerId = 2;
inline constexpr int kEraseTimerPeriodMs = 1000;
inline constexpr int kDownloadTimerPeriodMs = 50;

// The log download and the log erase: their click handlers, the timer that shows their
// progress and gives their buttons back, and the worker threads.
//
// `window` is used on the window's thread (click handlers, timer); `worker` and
// `workerUi` are used from the worker threads and must carry every call over to the
// window's thread. The tasks run on `link` and hold its command-sequence lock from their
// first transaction to their last.
//
// One command at a time: from a task's click until the timer has given its button back,
// the buttons of every other command that needs the tracker (1001, 1002, 1004, 1009 and
// the other task's button) are disabled, and a click on either task's button is refused.
// The window's thread never waits for a running task.
class LogTasks {
public:
    LogTasks(const DeviceLink& link, FormAccess& window, FormAccess& worker, UiServices& workerUi,
             const CLangTable& table);
    ~LogTasks();  // Shutdown()
    LogTasks(const LogTasks&) = delete;
    LogTasks& operator=(const LogTasks&) = delete;

    // Click handlers of 1003 and 1007, on the window's thread: start the task's timer and
    // worker and return at once.
    void OnGetGpsLog();
    void OnEraseGpsLog();
    // Window timer handler, on the window's thread: IDs 2 (download) and 1 (erase); other
    // IDs, and ticks of a task that is not running, change nothing. Throws LangEntryMissing
    // when the text table lacks the task's caption; the timer is stopped by then.
    void OnTimer(int id);

    // True from a task's click until the timer has given its button back.
    bool IsRunning() const;

    // Tells a running task to stop at its next step (ending a reply wait that is running)
    // and waits for its worker to end; no click starts a task afterwards. On the window's
    // thread, while the worker-side form and services no longer wait for the window.
    // Touches neither form; may be called again.
    void Shutdown();

    // The tasks themselves, run by the worker threads (tests run them directly).
    // Every way out of each raises its completion flag last. The download's fetch is
    // DownloadLog (log_download.h), into the file type chosen in the save dialog: CSV
    // (first, the default), GPX, KML or the map page.
    void DownloadGpsLog();
    void EraseGpsLog();

    int m_eraseTimerId = -1;
    int m_downloadTimerId = 0;
    std::atomic<uint32_t> m_logTotal{0};    // records the tracker reported
    std::atomic<uint32_t> m_logCurrent{0};  // 1-based number of the record being fetched

private:
    void DownloadLogThreadProc();
    void EraseLogThreadProc();
    // The buttons of the commands that need the tracker, besides the running task's own.
    void SetOtherCommandsEnabled(bool enabled, int otherTaskButton);
    static void StopAndJoin(std::thread& worker, TaskStop& stop, const std::atomic<bool>& exited);

    DeviceLink m_link;
    FormAccess& m_window;
    FormAccess& m_worker;
    UiServices& m_workerUi;
    const CLangTable& m_table;

    std::thread m_downloadThread;
    std::thread m_eraseThread;
    TaskStop m_downloadStop;
    TaskStop m_eraseStop;
    std::atomic<bool> m_downloadExited{true};  // the worker's last statement has run
    std::atomic<bool> m_eraseExited{true};

    // Window's thread only.
    bool m_downloadActive = false;
    bool m_eraseActive = false;
    bool m_shutDown = false;
};

}  // namespace quarnel
