// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/window_bridge.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QThread>
#include <chrono>
#include <exception>

namespace quarnel {

WindowBridge::WindowBridge(QObject& window, FormAccess& form, UiServices& ui)
    : m_window(window), m_form(form), m_ui(ui) {}

bool WindowBridge::OnWindowThread() const {
    return QThread::currentThread() == m_window.thread();
}

template <typename R, typename Call>
R WindowBridge::Carry(R closed, Call call) {
    if (OnWindowThread()) {
        return call();
    }
    {
        std::lock_guard lock(m_mutex);
        if (IsClosing()) {
            return closed;
        }
        ++m_inFlight;
    }
    R result = closed;
    std::exception_ptr error;
    // The window's thread runs the call unless closing began while it was queued; either
    // way the queued call finishes, which is what releases this thread. An exception goes
    // back to the caller rather than into the window's event loop.
    QMetaObject::invokeMethod(
        &m_window,
        [this, &result, &error, &call] {
            if (IsClosing()) {
                return;
            }
            try {
                result = call();
            } catch (...) {
                error = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    {
        std::lock_guard lock(m_mutex);
        --m_inFlight;
    }
    m_settled.notify_all();
    if (error) {
        std::rethrow_exception(error);
    }
    return result;
}

template <typename Call>
void WindowBridge::CarryVoid(Call call) {
    Carry(false, [&call] {
        call();
        return true;
    });
}

void WindowBridge::BeginClosing() {
    {
        std::lock_guard lock(m_mutex);
        m_closing.store(true, std::memory_order_release);
    }
    // A worker may already be waiting on a queued call, or be about to queue one: deliver
    // them here (they see the closing flag and do nothing) until none is left.
    std::unique_lock lock(m_mutex);
    while (m_inFlight > 0) {
        lock.unlock();
        QCoreApplication::sendPostedEvents(&m_window, QEvent::MetaCall);
        lock.lock();
        m_settled.wait_for(lock, std::chrono::milliseconds(1), [this] { return m_inFlight == 0; });
    }
}

// FormAccess

std::u16string WindowBridge::BridgeForm::GetText(int id) {
    return m_b.Carry(std::u16string(), [&] { return m_b.m_form.GetText(id); });
}

void WindowBridge::BridgeForm::SetText(int id, const std::u16string& text) {
    m_b.CarryVoid([&] { m_b.m_form.SetText(id, text); });
}

bool WindowBridge::BridgeForm::IsChecked(int id) {
    return m_b.Carry(false, [&] { return m_b.m_form.IsChecked(id); });
}

void WindowBridge::BridgeForm::SetChecked(int id, bool checked) {
    m_b.CarryVoid([&] { m_b.m_form.SetChecked(id, checked); });
}

int WindowBridge::BridgeForm::GetSelection(int id) {
    return m_b.Carry(-1, [&] { return m_b.m_form.GetSelection(id); });
}

void WindowBridge::BridgeForm::SetSelection(int id, int index) {
    m_b.CarryVoid([&] { m_b.m_form.SetSelection(id, index); });
}

void WindowBridge::BridgeForm::AddItem(int id, const std::u16string& text) {
    m_b.CarryVoid([&] { m_b.m_form.AddItem(id, text); });
}

int WindowBridge::BridgeForm::ItemCount(int id) {
    return m_b.Carry(0, [&] { return m_b.m_form.ItemCount(id); });
}

bool WindowBridge::BridgeForm::IsEnabled(int id) {
    return m_b.Carry(false, [&] { return m_b.m_form.IsEnabled(id); });
}

void WindowBridge::BridgeForm::SetEnabled(int id, bool enabled) {
    m_b.CarryVoid([&] { m_b.m_form.SetEnabled(id, enabled); });
}

bool WindowBridge::BridgeForm::IsVisible(int id) {
    return m_b.Carry(false, [&] { return m_b.m_form.IsVisible(id); });
}

void WindowBridge::BridgeForm::SetVisible(int id, bool visible) {
    m_b.CarryVoid([&] { m_b.m_form.SetVisible(id, visible); });
}

int WindowBridge::BridgeForm::GetProgress(int id) {
    return m_b.Carry(0, [&] { return m_b.m_form.GetProgress(id); });
}

void WindowBridge::BridgeForm::SetProgress(int id, int position) {
    m_b.CarryVoid([&] { m_b.m_form.SetProgress(id, position); });
}

int WindowBridge::BridgeForm::StartTimer(int timerId, int periodMs) {
    return m_b.Carry(0, [&] { return m_b.m_form.StartTimer(timerId, periodMs); });
}

void WindowBridge::BridgeForm::StopTimer(int handle) {
    m_b.CarryVoid([&] { m_b.m_form.StopTimer(handle); });
}

void WindowBridge::BridgeForm::KeepAlive() {
    // Another thread never holds the window up, so there is nothing to keep alive.
    if (m_b.OnWindowThread()) {
        m_b.m_form.KeepAlive();
    }
}

// UiServices

void WindowBridge::BridgeUi::ShowMessage(const std::u16string& text) {
    m_b.CarryVoid([&] { m_b.m_ui.ShowMessage(text); });
}

void WindowBridge::BridgeUi::ShowErrorBox(const std::u16string& text) {
    m_b.CarryVoid([&] { m_b.m_ui.ShowErrorBox(text); });
}

std::optional<SaveChoice> WindowBridge::BridgeUi::SaveFileDialog(const FileDialogOptions& options) {
    return m_b.Carry(std::optional<SaveChoice>(), [&] { return m_b.m_ui.SaveFileDialog(options); });
}

std::optional<std::filesystem::path> WindowBridge::BridgeUi::OpenFileDialog(
    const FileDialogOptions& options) {
    return m_b.Carry(std::optional<std::filesystem::path>(),
                     [&] { return m_b.m_ui.OpenFileDialog(options); });
}

}  // namespace quarnel
