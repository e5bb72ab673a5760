// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <gtest/gtest.h>

#include "form/form_access.h"

namespace quarnel::test {

// A form for tasks that must not touch the window: every call fails the test.
class NoAccessForm final : public FormAccess {
public:
    std::u16string GetText(int id) override { return Fail(id), std::u16string(); }
    void SetText(int id, const std::u16string&) override { Fail(id); }
    bool IsChecked(int id) override { return Fail(id), false; }
    void SetChecked(int id, bool) override { Fail(id); }
    int GetSelection(int id) override { return Fail(id), -1; }
    void SetSelection(int id, int) override { Fail(id); }
    void AddItem(int id, const std::u16string&) override { Fail(id); }
    int ItemCount(int id) override { return Fail(id), 0; }
    bool IsEnabled(int id) override { return Fail(id), false; }
    void SetEnabled(int id, bool) override { Fail(id); }
    bool IsVisible(int id) override { return Fail(id), false; }
    void SetVisible(int id, bool) override { Fail(id); }
    int GetProgress(int id) override { return Fail(id), 0; }
    void SetProgress(int id, int) override { Fail(id); }
    int StartTimer(int id, int) override { return Fail(id), 0; }
    void StopTimer(int handle) override { Fail(handle); }
    void KeepAlive() override { Fail(0); }

private:
    static void Fail(int id) { ADD_FAILURE() << "the window was touched (control " << id << ")"; }
};

}  // namespace quarnel::test
