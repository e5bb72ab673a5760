// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>
#include <utility>

#include "form/control_ids.h"
#include "form/form_access.h"

namespace quarnel {

// A form for callers without a window (a command-line tool) that want the log download's
// progress: SetProgress on the Log progress bar (1006) goes to `onProgress` (0-100), on
// the thread that runs the download; every other call is ignored and reads give nothing.
class ProgressOnlyForm final : public FormAccess {
public:
    explicit ProgressOnlyForm(std::function<void(int percent)> onProgress = {})
        : m_onProgress(std::move(onProgress)) {}

    void SetProgress(int id, int position) override {
        if (id == ctl::LogProgress) {
            m_position = position;
            if (m_onProgress) {
                m_onProgress(position);
            }
        }
    }
    int GetProgress(int id) override { return id == ctl::LogProgress ? m_position : 0; }

    std::u16string GetText(int) override { return {}; }
    void SetText(int, const std::u16string&) override {}
    bool IsChecked(int) override { return false; }
    void SetChecked(int, bool) override {}
    int GetSelection(int) override { return -1; }
    void SetSelection(int, int) override {}
    void AddItem(int, const std::u16string&) override {}
    int ItemCount(int) override { return 0; }
    bool IsEnabled(int) override { return false; }
    void SetEnabled(int, bool) override {}
    bool IsVisible(int) override { return false; }
    void SetVisible(int, bool) override {}
    int StartTimer(int, int) override { return 0; }
    void StopTimer(int) override {}
    void KeepAlive() override {}

private:
    std::function<void(int)> m_onProgress;
    int m_position = 0;
};

}  // namespace quarnel
