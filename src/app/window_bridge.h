// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "form/form_access.h"
#include "form/ui_services.h"

namespace quarnel {

// The window as a background task reaches it: a FormAccess and a UiServices that carry
// each call made on another thread over to the window's thread (a blocking queued call
// on `window`) and wait until it has been applied, so a task's calls take effect in the
// order it makes them. Called on the window's thread they go straight through.
//
// Closing: once BeginClosing() has run, calls from other threads return at once without
// touching the window: reads give empty text, unchecked, no selection, 0; message boxes
// are skipped; dialogs answer "cancelled"; KeepAlive never waits. BeginClosing() also
// settles every call already on its way, so a worker is never left waiting for a window
// that no longer serves it, and the window's thread can then join it safely.
class WindowBridge {
public:
    // `window` lives on the window's thread; `form` and `ui` are used only there.
    WindowBridge(QObject& window, FormAccess& form, UiServices& ui);
    WindowBridge(const WindowBridge&) = delete;
    WindowBridge& operator=(const WindowBridge&) = delete;

    FormAccess& Form() { return m_bridgeForm; }
    UiServices& Ui() { return m_bridgeUi; }

    // Window's thread only. Idempotent; there is no way back.
    void BeginClosing();
    bool IsClosing() const { return m_closing.load(std::memory_order_acquire); }

private:
    class BridgeForm final : public FormAccess {
    public:
        explicit BridgeForm(WindowBridge& bridge) : m_b(bridge) {}
        std::u16string GetText(int id) override;
        void SetText(int id, const std::u16string& text) override;
        bool IsChecked(int id) override;
        void SetChecked(int id, bool checked) override;
        int GetSelection(int id) override;
        void SetSelection(int id, int index) override;
        void AddItem(int id, const std::u16string& text) override;
        int ItemCount(int id) override;
        bool IsEnabled(int id) override;
        void SetEnabled(int id, bool enabled) override;
        bool IsVisible(int id) override;
        void SetVisible(int id, bool visible) override;
        int GetProgress(int id) override;
        void SetProgress(int id, int position) override;
        int StartTimer(int timerId, int periodMs) override;
        void StopTimer(int handle) override;
        void KeepAlive() override;

    private:
        WindowBridge& m_b;
    };

    class BridgeUi final : public UiServices {
    public:
        explicit BridgeUi(WindowBridge& bridge) : m_b(bridge) {}
        void ShowMessage(const std::u16string& text) override;
        void ShowErrorBox(const std::u16string& text) override;
        std::optional<SaveChoice> SaveFileDialog(const FileDialogOptions& options) override;
        std::optional<std::filesystem::path> OpenFileDialog(
            const FileDialogOptions& options) override;

    private:
        WindowBridge& m_b;
    };

    bool OnWindowThread() const;
    // Runs `call` on the window's thread and returns its result, or `closed` when the
    // window is closing.
    template <typename R, typename Call>
    R Carry(R closed, Call call);
    template <typename Call>
    void CarryVoid(Call call);

    QObject& m_window;
    FormAccess& m_form;
    UiServices& m_ui;
    BridgeForm m_bridgeForm{*this};
    BridgeUi m_bridgeUi{*this};

    std::atomic<bool> m_closing{false};
    std::mutex m_mutex;
    std::condition_variable m_settled;
    int m_inFlight = 0;  // calls between their check of m_closing and their return
};

}  // namespace quarnel
