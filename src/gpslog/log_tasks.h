#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "form/command_context.h"
#include "i18n/lang_table.h"

namespace quarnel {

// Completion flags of the two background tasks: 0 while the task runs, 1 once it ended.
extern std::atomic<int> g_logDownloadDone;
extern std::atomic<int> g_logEraseDone;

inline constexpr int kEraseTimerId = 1;
inline constexpr int kDownloadTimerId = 2;

// The log download and the log erase: their click handlers, the timer that shows their
// progress and gives their buttons back, and the worker threads.
//
// `window` is used on the window's thread (click handlers, timer); `worker` and
// `workerUi` are used from the worker threads and must carry every call over to the
// window's thread. The tasks run on `link` and hold its command-sequence lock from their
// first transaction to their last.
class LogTasks {
public:
    LogTasks(const DeviceLink& link, FormAccess& window, FormAccess& worker,
             UiServices& workerUi, const CLangTable& table);
    ~LogTasks();  // Shutdown()

    void OnGetGpsLog();    // 1003
    void OnEraseGpsLog();  // 1007
    void OnTimer(int id);  // may throw LangEntryMissing from the text table

    bool IsRunning() const;
    // Tells a running task to stop at its next step and waits for its worker to end.
    // Must not be called while the window's thread is needed by the worker unless the
    // worker-side form and services stop waiting for the window (see the app's bridge).
    void Shutdown();

    int m_eraseTimerId = -1;
    int m_downloadTimerId = 0;
    std::atomic<uint32_t> m_logTotal{0};
    std::atomic<uint32_t> m_logCurrent{0};

private:
    DeviceLink m_link;
    FormAccess& m_window;
    FormAccess& m_worker;
    UiServices& m_workerUi;
    const CLangTable& m_table;
    std::thread m_downloadThread;
    std::thread m_eraseThread;
    std::atomic<bool> m_stop{false};
};

}  // namespace quarnel
