// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "form/form_access.h"

namespace quarnel::cli {

// The window without a display: it holds every field's value as the window's controls
// would, so the window's own command logic can run on it. The Mode combo box holds the
// window's four entries from the start, so selections work as they do in the window.
// Timers are recorded but never run: the command line runs the log tasks directly.
// One thread.
class HeadlessForm final : public FormAccess {
public:
    HeadlessForm();

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

    // Called with every position a progress bar is set to, as it is set.
    void OnProgress(std::function<void(int id, int position)> observer);

private:
    struct Control {
        std::u16string text;
        bool checked = false;
        std::vector<std::u16string> items;
        int selection = -1;
        bool enabled = true;
        bool visible = true;
        int progress = 0;
    };

    std::map<int, Control> m_controls;
    std::function<void(int, int)> m_progress;
    int m_timers = 0;
};

}  // namespace quarnel::cli
