// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

namespace quarnel {

// The window as the command logic sees it: controls reached by their IDs.
//
// Thread rule: call only on the window's thread. A background task reaches the window
// through a form that carries each call over to the window's thread and waits until it
// has been applied, so a task's calls take effect in the order it makes them.
// Every operation on a control ID the form does not have is ignored (reads give empty
// text, unchecked, no selection, 0).
class FormAccess {
public:
    virtual ~FormAccess() = default;

    virtual std::u16string GetText(int id) = 0;
    virtual void SetText(int id, const std::u16string& text) = 0;

    virtual bool IsChecked(int id) = 0;
    virtual void SetChecked(int id, bool checked) = 0;

    // Selection of a combo box: the zero-based index of the selected entry, or -1 when
    // none is selected (also while its text field shows typed text that matches no entry).
    virtual int GetSelection(int id) = 0;
    // An index outside the list clears the selection.
    virtual void SetSelection(int id, int index) = 0;
    virtual void AddItem(int id, const std::u16string& text) = 0;
    virtual int ItemCount(int id) = 0;

    virtual bool IsEnabled(int id) = 0;
    virtual void SetEnabled(int id, bool enabled) = 0;
    virtual bool IsVisible(int id) = 0;
    virtual void SetVisible(int id, bool visible) = 0;

    virtual int GetProgress(int id) = 0;
    virtual void SetProgress(int id, int position) = 0;

    // Window timers: starts timer `timerId` (replacing one of that ID) so that the form
    // calls its timer handler with that ID every `periodMs`; returns the timer's handle.
    virtual int StartTimer(int timerId, int periodMs) = 0;
    virtual void StopTimer(int handle) = 0;

    // Lets the window repaint itself and answer the window manager while a long command
    // runs on the window's thread. Delivers no user input.
    virtual void KeepAlive() = 0;
};

}  // namespace quarnel
