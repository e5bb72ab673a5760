// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "form/form_access.h"

namespace quarnel {

// Keeps a command's button disabled while the command runs and enables it again on every
// way out, an exception included.
class DisabledWhileRunning {
public:
    DisabledWhileRunning(FormAccess& form, int buttonId) : m_form(form), m_id(buttonId) {
        m_form.SetEnabled(m_id, false);
    }
    ~DisabledWhileRunning() {
        // A destructor must not throw; should the window fail here as well, there is
        // nothing better left to do than leave the button as it is.
        try {
            m_form.SetEnabled(m_id, true);
        } catch (...) {
        }
    }
    DisabledWhileRunning(const DisabledWhileRunning&) = delete;
    DisabledWhileRunning& operator=(const DisabledWhileRunning&) = delete;

private:
    FormAccess& m_form;
    int m_id;
};

}  // namespace quarnel
