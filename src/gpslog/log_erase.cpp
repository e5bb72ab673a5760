// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "device/hid_cmd.h"
#include "form/messages.h"
#include "gpslog/log_commands.h"
#include "gpslog/log_tasks.h"

namespace quarnel {

void LogTasks::EraseGpsLog() {
    // The erase touches no control: the timer alone gives its button back. Its one
    // message is shown before the flag goes up, so the button returns only after the
    // user has closed it.
    SequenceLock sequence = LockSequence(m_link.areas);
    m_link.areas.reply.fill(0);
    CHidCmd cmd(m_link);
    AttachedCommand attached(m_eraseStop, cmd);
    if (cmd.m_io.Open() == 0) {
        if (!m_eraseStop.Requested()) {
            m_workerUi.ShowMessage(std::u16string(msg::kUsbConnectFailure));
        }
    } else {
        // Replies are not examined; each step gives the tracker up to a minute.
        if (!m_eraseStop.Requested()) {
            PutEraseCommand(m_link.areas);
            Transact(cmd, kErasePolicy);
        }
        if (!m_eraseStop.Requested()) {
            PutEraseWaitCommand(m_link.areas);
            Transact(cmd, kErasePolicy);
        }
    }
    sequence.unlock();
    // The tracker connection closes after this, as the worker ends.
    g_logEraseDone.store(1);
}

}  // namespace quarnel
