// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gpslog/task_stop.h"

namespace quarnel {

void TaskStop::Request() {
    m_requested.store(true, std::memory_order_release);
    std::lock_guard l(m_mutex);
    if (m_cmd != nullptr) {
        m_cmd->m_io.m_hCancelEvent.Set();
    }
}

void TaskStop::Attach(CHidCmd& cmd) {
    std::lock_guard l(m_mutex);
    m_cmd = &cmd;
    if (Requested()) {
        m_cmd->m_io.m_hCancelEvent.Set();
    }
}

void TaskStop::Detach() {
    std::lock_guard l(m_mutex);
    m_cmd = nullptr;
}

}  // namespace quarnel
