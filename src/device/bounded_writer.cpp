// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "device/bounded_writer.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>

namespace quarnel {

// Shared by the caller's side and the writer's thread; the thread holds it until it ends,
// so a write that outlives the BoundedWriter still has its copy and its device.
struct BoundedWriter::State {
    explicit State(WriteFn fn) : write(std::move(fn)) {}

    std::mutex mutex;
    std::condition_variable changed;
    WriteFn write;
    std::array<uint8_t, kReportSize> queued{};  // the next report, until the thread takes it
    bool pending = false;                       // `queued` holds a report not yet started
    bool stop = false;
    uint64_t queuedId = 0;
    uint64_t doneId = 0;
    int doneResult = 0;
};

BoundedWriter::BoundedWriter(WriteFn write) : m_state(std::make_shared<State>(std::move(write))) {
    m_thread = std::thread([state = m_state] {
        std::array<uint8_t, kReportSize> report;
        std::unique_lock lock(state->mutex);
        for (;;) {
            state->changed.wait(lock, [&] { return state->pending || state->stop; });
            if (!state->pending) {
                break;
            }
            // Our own copy: the caller's buffer is never touched after Write returns, and
            // `queued` may take the next report while this one is still on its way.
            report = state->queued;
            const uint64_t id = state->queuedId;
            state->pending = false;
            lock.unlock();
            const int result = state->write(report.data(), report.size());
            lock.lock();
            state->doneId = id;
            state->doneResult = result;
            state->changed.notify_all();
        }
        // The device goes with the write function, here on the writer's thread, possibly
        // long after the BoundedWriter has gone.
        WriteFn release;
        release.swap(state->write);
        lock.unlock();
    });
}

BoundedWriter::~BoundedWriter() {
    {
        std::lock_guard lock(m_state->mutex);
        m_state->pending = false;
        m_state->stop = true;
    }
    m_state->changed.notify_all();
    // A write stuck in the device would hold a join for as long as it is stuck; the thread
    // finishes on its own and releases the device then.
    m_thread.detach();
}

TransferStatus BoundedWriter::Write(const uint8_t* report, uint32_t timeoutMs, CancelEvent& cancel,
                                    uint32_t& transferred) {
    transferred = 0;
    if (cancel.IsSet()) {
        return TransferStatus::Cancelled;
    }
    using SteadyTime = std::chrono::steady_clock;
    const auto deadline = SteadyTime::now() + std::chrono::milliseconds(timeoutMs);

    std::unique_lock lock(m_state->mutex);
    std::memcpy(m_state->queued.data(), report, kReportSize);
    const uint64_t id = ++m_state->queuedId;
    m_state->pending = true;
    m_state->changed.notify_all();

    for (;;) {
        if (m_state->doneId == id) {
            if (m_state->doneResult < 0) {
                return TransferStatus::Failed;
            }
            transferred = static_cast<uint32_t>(m_state->doneResult);
            return TransferStatus::Done;
        }
        if (cancel.IsSet()) {
            m_state->pending = false;
            return TransferStatus::Cancelled;
        }
        const auto now = SteadyTime::now();
        if (now >= deadline) {
            m_state->pending = false;
            return TransferStatus::TimedOut;
        }
        m_state->changed.wait_until(
            lock, std::min(deadline, now + std::chrono::milliseconds(kCancelPollMs)));
    }
}

void BoundedWriter::Withdraw() {
    std::lock_guard lock(m_state->mutex);
    m_state->pending = false;
}

}  // namespace quarnel
