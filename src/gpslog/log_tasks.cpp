// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gpslog/log_tasks.h"

#include <chrono>
#include <exception>
#include <system_error>

#include "form/control_ids.h"
#include "gpslog/log_progress.h"

namespace quarnel {

std::atomic<int> g_logDownloadDone{0};
std::atomic<int> g_logEraseDone{0};

namespace {

// "[BUTTON]" entries of the two tasks' captions.
constexpr size_t kDownloadCaptionEntry = 2;
constexpr size_t kEraseCaptionEntry = 3;

// Starts a worker. If no thread can be started the task has ended before it began: its
// flag goes up so the timer gives the buttons back, and the error goes on to the window.
template <typename Proc>
void StartWorker(std::thread& worker, LogTasks* tasks, Proc proc, std::atomic<int>& done,
                 std::atomic<bool>& exited) {
    exited.store(false);
    try {
        worker = std::thread(proc, tasks);
    } catch (const std::system_error&) {
        exited.store(true);
        done.store(1);
        throw;
    }
}

// Text of the exception being handled, for the generic error box. Call inside a handler.
std::u16string CurrentErrorText() {
    try {
        throw;
    } catch (const std::exception& e) {
        std::u16string text;
        for (const char* c = e.what(); *c != '\0'; ++c) {
            text.push_back(static_cast<char16_t>(static_cast<unsigned char>(*c)));
        }
        return text;
    } catch (...) {
        return u"Unexpected error";
    }
}

}  // namespace

LogTasks::LogTasks(const DeviceLink& link, FormAccess& window, FormAccess& worker,
                   UiServices& workerUi, const CLangTable& table)
    : m_link(link), m_window(window), m_worker(worker), m_workerUi(workerUi), m_table(table) {}

LogTasks::~LogTasks() {
    Shutdown();
}

void LogTasks::OnGetGpsLog() {
    // The button is disabled while either task runs; a click that still reaches here then
    // is refused rather than run beside the task. A download whose flag is up has only its
    // connection left to close, so a new one may start before the timer has seen the flag.
    if (m_shutDown || m_eraseActive || (m_downloadActive && g_logDownloadDone.load() == 0)) {
        return;
    }
    if (m_downloadThread.joinable()) {
        m_downloadThread.join();
    }
    m_downloadTimerId = m_window.StartTimer(kDownloadTimerId, kDownloadTimerPeriodMs);
    g_logDownloadDone.store(0);
    m_logCurrent.store(0);
    m_logTotal.store(0);
    m_window.SetEnabled(ctl::GetGpsLogButton, false);
    SetOtherCommandsEnabled(false, ctl::EraseGpsLogButton);
    m_downloadActive = true;
    StartWorker(m_downloadThread, this, &LogTasks::DownloadLogThreadProc, g_logDownloadDone,
                m_downloadExited);
}

void LogTasks::OnEraseGpsLog() {
    if (m_shutDown || m_downloadActive || (m_eraseActive && g_logEraseDone.load() == 0)) {
        return;
    }
    if (m_eraseThread.joinable()) {
        m_eraseThread.join();
    }
    m_eraseTimerId = m_window.StartTimer(kEraseTimerId, kEraseTimerPeriodMs);
    g_logEraseDone.store(0);
    m_window.SetEnabled(ctl::EraseGpsLogButton, false);
    SetOtherCommandsEnabled(false, ctl::GetGpsLogButton);
    m_eraseActive = true;
    StartWorker(m_eraseThread, this, &LogTasks::EraseLogThreadProc, g_logEraseDone, m_eraseExited);
}

void LogTasks::OnTimer(int id) {
    if (id == kDownloadTimerId && m_downloadActive) {
        const uint32_t total = m_logTotal.load();
        if (total != 0) {
            m_window.SetText(ctl::GetGpsLogButton,
                             PercentCaption(DownloadPercent(m_logCurrent.load(), total)));
        }
        if (g_logDownloadDone.load() != 0) {
            m_window.StopTimer(m_downloadTimerId);
            m_downloadActive = false;
            if (!m_eraseActive) {
                SetOtherCommandsEnabled(true, ctl::EraseGpsLogButton);
            }
            // May throw: then the caption stays and only the worker has enabled 1003.
            const std::u16string caption =
                m_table.Entry(LangSection::Button, kDownloadCaptionEntry);
            m_window.SetText(ctl::GetGpsLogButton, caption);
            m_window.SetEnabled(ctl::GetGpsLogButton, true);
        }
    } else if (id == kEraseTimerId && m_eraseActive) {
        if (g_logEraseDone.load() != 0) {
            m_window.StopTimer(m_eraseTimerId);
            m_eraseActive = false;
            if (!m_downloadActive) {
                SetOtherCommandsEnabled(true, ctl::GetGpsLogButton);
            }
            const std::u16string caption = m_table.Entry(LangSection::Button, kEraseCaptionEntry);
            m_window.SetText(ctl::EraseGpsLogButton, caption);
            m_window.SetEnabled(ctl::EraseGpsLogButton, true);
        }
    }
}

bool LogTasks::IsRunning() const {
    return m_downloadActive || m_eraseActive;
}

void LogTasks::Shutdown() {
    m_shutDown = true;
    StopAndJoin(m_downloadThread, m_downloadStop, m_downloadExited);
    StopAndJoin(m_eraseThread, m_eraseStop, m_eraseExited);
}

void LogTasks::StopAndJoin(std::thread& worker, TaskStop& stop, const std::atomic<bool>& exited) {
    if (!worker.joinable()) {
        return;
    }
    stop.Request();
    // A write that was waiting when the stop came takes the cancel for itself, and the
    // reply wait after it would then run its full time: keep cancelling until the worker
    // is out.
    while (!exited.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        stop.Request();
    }
    worker.join();
}

void LogTasks::SetOtherCommandsEnabled(bool enabled, int otherTaskButton) {
    for (int id : {ctl::GetParameterButton, ctl::SetParameterButton, ctl::UpdateButton,
                   ctl::SetDefaultButton, otherTaskButton}) {
        m_window.SetEnabled(id, enabled);
    }
}

void LogTasks::DownloadLogThreadProc() {
    try {
        DownloadGpsLog();
    } catch (...) {
        // Nothing in the download throws by design; if memory runs out on the way, the
        // task still ends on the screen.
        try {
            if (!m_downloadStop.Requested()) {
                m_workerUi.ShowErrorBox(CurrentErrorText());
            }
            m_worker.SetEnabled(ctl::GetGpsLogButton, true);
        } catch (...) {
        }
        g_logDownloadDone.store(1);
    }
    m_downloadExited.store(true);
}

void LogTasks::EraseLogThreadProc() {
    try {
        EraseGpsLog();
    } catch (...) {
        try {
            if (!m_eraseStop.Requested()) {
                m_workerUi.ShowErrorBox(CurrentErrorText());
            }
        } catch (...) {
        }
        g_logEraseDone.store(1);
    }
    m_eraseExited.store(true);
}

}  // namespace quarnel
