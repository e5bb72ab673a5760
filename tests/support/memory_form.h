// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "form/form_access.h"

namespace quarnel::test {

// A window without a display: every control ID exists on first use, starts empty,
// enabled and visible. Thread-safe, so a background task may use it directly.
// Timers are recorded, not run: a test calls the timer handler itself.
class MemoryForm : public FormAccess {
public:
    struct Control {
        std::u16string text;
        bool checked = false;
        std::vector<std::u16string> items;
        int selection = -1;
        bool enabled = true;
        bool visible = true;
        int progress = 0;
        std::vector<int> progressHistory;  // every position set, in order
        std::vector<bool> enabledHistory;  // every enable/disable, in order
        std::vector<std::u16string> textHistory;
    };
    struct Timer {
        int id;
        int periodMs;
        bool running;
    };

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

    // Test helpers.
    Control Snapshot(int id);
    std::vector<Timer> Timers();
    int keepAliveCalls() {
        std::lock_guard l(m_mutex);
        return m_keepAlive;
    }
    // The four Mode entries, as the language file gives them in English.
    void AddModeItems();

private:
    std::mutex m_mutex;
    std::map<int, Control> m_controls;
    std::vector<Timer> m_timers;  // handle = index + 1
    int m_keepAlive = 0;
};

}  // namespace quarnel::test
