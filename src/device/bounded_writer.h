// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "device/cancel_event.h"
#include "device/hid_backend.h"

namespace quarnel {

// Gives a blocking report write a bounded wait.
//
// Some platform writes have no time-out of their own (a hidraw write to a wedged device can
// block for seconds), so the write runs on a thread of this writer's own, from the writer's
// own copy of the report; the caller waits for it at most its time-out, or until `cancel`.
//
// - A write that the caller gave up on before it started is withdrawn and never sent.
// - One that had already started cannot be recalled: it finishes on the writer's thread,
//   from the writer's copy, into nothing of the caller's. The caller may reuse its buffer
//   at once. A later Write queues behind it and counts its wait from its own start.
// - Destroying the writer never waits for a stuck write. `write`, and everything it owns
//   (the device handle), is destroyed on the writer's thread once the stuck write returns.
//
// Write() and Withdraw() are called by one thread at a time.
class BoundedWriter {
public:
    // Writes `size` bytes; returns the bytes the device took, or a negative value on failure.
    using WriteFn = std::function<int(const uint8_t* data, size_t size)>;

    explicit BoundedWriter(WriteFn write);
    ~BoundedWriter();
    BoundedWriter(const BoundedWriter&) = delete;
    BoundedWriter& operator=(const BoundedWriter&) = delete;

    // Writes one report of kReportSize bytes. A cancel already set when it is called sends
    // nothing. `transferred` is 0 unless the result is Done.
    TransferStatus Write(const uint8_t* report, uint32_t timeoutMs, CancelEvent& cancel,
                         uint32_t& transferred);

    // Withdraws a report that has been handed over but not yet started.
    void Withdraw();

    // How long a wait goes before it looks at the cancel event again.
    static constexpr uint32_t kCancelPollMs = 2;

private:
    struct State;
    std::shared_ptr<State> m_state;
    std::thread m_thread;
};

}  // namespace quarnel
