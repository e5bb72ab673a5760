// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <atomic>
#include <mutex>

#include "device/hid_cmd.h"

namespace quarnel {

// Tells a background task to stop at its next step. The task attaches the transaction
// object it is using, so that a stop also ends the wait for a reply that is running (the
// cancel event of its CHidIO) instead of letting it last its full 2000 or 60000 ms.
//
// A request stays in force: a transaction object attached after it is cancelled at once.
// Request() and Requested() may be called from any thread; Attach/Detach only by the task.
class TaskStop {
public:
    void Request();
    bool Requested() const { return m_requested.load(std::memory_order_acquire); }
    void Attach(CHidCmd& cmd);
    void Detach();

private:
    std::atomic<bool> m_requested{false};
    std::mutex m_mutex;  // guards m_cmd against the task detaching it meanwhile
    CHidCmd* m_cmd = nullptr;
};

// Keeps a transaction object attached to a TaskStop for its lifetime. Declare it after the
// object, so it detaches before the object is destroyed.
class AttachedCommand {
public:
    AttachedCommand(TaskStop& stop, CHidCmd& cmd) : m_stop(stop) { m_stop.Attach(cmd); }
    ~AttachedCommand() { m_stop.Detach(); }
    AttachedCommand(const AttachedCommand&) = delete;
    AttachedCommand& operator=(const AttachedCommand&) = delete;

private:
    TaskStop& m_stop;
};

}  // namespace quarnel
