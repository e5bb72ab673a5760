// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sim/sim_backend.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <deque>
#include <limits>

namespace quarnel::sim {

namespace {

constexpr uint64_t kFrameUs = 1000;
constexpr size_t kQueueLimit = 64;
// How often a real-time wait looks at the cancel event.
constexpr uint64_t kCancelSliceUs = 5000;
constexpr uint64_t kNever = std::numeric_limits<uint64_t>::max();

size_t AccessIndex(HidAccess access) {
    return static_cast<size_t>(access);
}

}  // namespace

struct SimBackend::Device {
    std::string path;
    HidAttributes attributes;
    SimTracker* tracker = nullptr;
    bool present = true;
    uint64_t plugGeneration = 0;
    bool failOpen[3] = {false, false, false};
    std::vector<Channel*> readers;
    uint64_t lastOutUs = 0;
    uint64_t lastInUs = 0;
    // Each device has its own endpoints: a report for one wakes only its own readers.
    std::condition_variable changed;
};

class SimBackend::Channel final : public HidChannel {
public:
    Channel(SimBackend& backend, Device& device, HidAccess access)
        : m_backend(backend),
          m_device(device),
          m_access(access),
          m_generation(device.plugGeneration) {}

    ~Channel() override {
        std::lock_guard l(m_backend.m_mutex);
        auto& readers = m_device.readers;
        readers.erase(std::remove(readers.begin(), readers.end(), this), readers.end());
    }

    bool GetAttributes(HidAttributes& out) override {
        std::lock_guard l(m_backend.m_mutex);
        if (!Connected()) {
            return false;
        }
        out = m_device.attributes;
        return true;
    }

    TransferStatus Write(const uint8_t* report, uint32_t timeoutMs, CancelEvent& cancel,
                         uint32_t& transferred) override {
        transferred = 0;
        std::unique_lock lock(m_backend.m_mutex);
        if (m_access != HidAccess::Write || !Connected()) {
            return TransferStatus::Failed;
        }
        const uint64_t now = m_backend.NowUsLocked();
        if (m_device.tracker == nullptr) {
            transferred = kReportSize;  // a foreign device takes the report and says nothing
            return TransferStatus::Done;
        }
        // Full-speed USB moves one report per 1 ms frame: the write goes out at the next
        // frame boundary that the previous write has not used.
        uint64_t acceptUs = now;
        if (m_backend.m_usbFrames) {
            acceptUs = std::max((now / kFrameUs + 1) * kFrameUs, m_device.lastOutUs + kFrameUs);
        }
        SimTracker::Outcome outcome = m_device.tracker->Take(report, kReportSize, acceptUs);
        if (!outcome.accepted) {
            const uint64_t deadline = now + uint64_t{timeoutMs} * 1000;
            while (m_backend.NowUsLocked() < deadline && !cancel.IsSet()) {
                m_backend.WaitUntil(lock, m_device, deadline, kNever, &cancel,
                                    [] { return false; });
            }
            return cancel.IsSet() ? TransferStatus::Cancelled : TransferStatus::TimedOut;
        }
        m_device.lastOutUs = acceptUs;
        for (SimTracker::Emission& e : outcome.reports) {
            uint64_t arrival = acceptUs;
            if (m_backend.m_usbFrames) {
                arrival = std::max(acceptUs + kFrameUs, m_device.lastInUs + kFrameUs);
            }
            arrival += uint64_t{e.delayMs} * 1000;
            m_device.lastInUs = std::max(m_device.lastInUs, arrival);
            for (Channel* reader : m_device.readers) {
                reader->Deliver(arrival, e.report);
            }
        }
        if (outcome.unplugged) {
            m_device.present = false;
        }
        m_device.changed.notify_all();
        while (m_backend.NowUsLocked() < acceptUs) {
            m_backend.WaitUntil(lock, m_device, acceptUs, kNever, nullptr, [] { return false; });
        }
        transferred = kReportSize;
        return TransferStatus::Done;
    }

    TransferStatus Read(uint8_t* report, uint32_t timeoutMs, CancelEvent& cancel,
                        uint32_t& transferred) override {
        transferred = 0;
        std::unique_lock lock(m_backend.m_mutex);
        if (m_access != HidAccess::Read) {
            return TransferStatus::Failed;
        }
        const uint64_t deadline = m_backend.NowUsLocked() + uint64_t{timeoutMs} * 1000;
        for (;;) {
            if (m_generation != m_device.plugGeneration) {
                return TransferStatus::Failed;
            }
            const uint64_t now = m_backend.NowUsLocked();
            if (!m_queue.empty() && m_queue.front().first <= now) {
                const std::vector<uint8_t>& r = m_queue.front().second;
                const size_t n = std::min<size_t>(r.size(), kReportSize);
                std::copy_n(r.begin(), n, report);  // an empty report has no data() to copy
                transferred = static_cast<uint32_t>(n);
                m_queue.pop_front();
                return TransferStatus::Done;
            }
            if (m_queue.empty() && !m_device.present) {
                return TransferStatus::Failed;
            }
            if (cancel.IsSet()) {
                return TransferStatus::Cancelled;
            }
            if (now >= deadline) {
                return TransferStatus::TimedOut;
            }
            const uint64_t next = m_queue.empty() ? kNever : m_queue.front().first;
            const size_t queued = m_queue.size();
            m_backend.WaitUntil(lock, m_device, deadline, next, &cancel,
                                [&] { return m_queue.size() != queued; });
        }
    }

    void CancelIo() override {
        // Transfers here are synchronous: nothing is outstanding once a call returned.
    }

    // Reports reach the host in the order the tracker sends them: a late reply to an
    // earlier command comes after an on-time reply to a later one.
    void Deliver(uint64_t arrivalUs, const std::vector<uint8_t>& report) {
        if (m_queue.size() == kQueueLimit) {
            m_queue.pop_front();
        }
        auto at = std::upper_bound(m_queue.begin(), m_queue.end(), arrivalUs,
                                   [](uint64_t t, const auto& queued) { return t < queued.first; });
        m_queue.emplace(at, arrivalUs, report);
    }

private:
    bool Connected() const { return m_device.present && m_generation == m_device.plugGeneration; }

    SimBackend& m_backend;
    Device& m_device;
    HidAccess m_access;
    uint64_t m_generation;
    std::deque<std::pair<uint64_t, std::vector<uint8_t>>> m_queue;
};

SimBackend::SimBackend(VirtualClock* virtualClock, bool usbFrames)
    : m_virtual(virtualClock),
      m_realClock(std::make_unique<SteadyClock>()),
      m_usbFrames(usbFrames),
      m_realStart(std::chrono::steady_clock::now()) {}

SimBackend::~SimBackend() = default;

void SimBackend::AddTracker(SimTracker& tracker, std::string path) {
    std::lock_guard l(m_mutex);
    auto device = std::make_unique<Device>();
    device->path = std::move(path);
    device->attributes = {0x051A, 0x511B};
    device->tracker = &tracker;
    m_devices.push_back(std::move(device));
}

void SimBackend::AddForeignDevice(std::string path, uint16_t vendorId, uint16_t productId) {
    std::lock_guard l(m_mutex);
    auto device = std::make_unique<Device>();
    device->path = std::move(path);
    device->attributes = {vendorId, productId};
    m_devices.push_back(std::move(device));
}

void SimBackend::FailOpen(const std::string& path, HidAccess access) {
    std::lock_guard l(m_mutex);
    for (auto& d : m_devices) {
        if (d->path == path) {
            d->failOpen[AccessIndex(access)] = true;
        }
    }
}

void SimBackend::Unplug(const std::string& path) {
    std::lock_guard l(m_mutex);
    for (auto& d : m_devices) {
        if (d->path == path) {
            d->present = false;
            d->changed.notify_all();
        }
    }
}

void SimBackend::Replug(const std::string& path) {
    std::lock_guard l(m_mutex);
    for (auto& d : m_devices) {
        if (d->path == path && !d->present) {
            // Handles opened before the unplug stay dead, as on a real system.
            d->present = true;
            ++d->plugGeneration;
        }
    }
}

Clock& SimBackend::GetClock() {
    if (m_virtual != nullptr) {
        return *m_virtual;
    }
    return *m_realClock;
}

uint64_t SimBackend::NowUs() {
    std::lock_guard l(m_mutex);
    return NowUsLocked();
}

uint64_t SimBackend::NowUsLocked() {
    if (m_virtual != nullptr) {
        return m_virtual->NowUs();
    }
    const auto elapsed = std::chrono::steady_clock::now() - m_realStart;
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count());
}

std::vector<std::string> SimBackend::EnumerateInterfaces() {
    std::lock_guard l(m_mutex);
    std::vector<std::string> paths;
    for (auto& d : m_devices) {
        if (d->present) {
            paths.push_back(d->path);
        }
    }
    return paths;
}

std::unique_ptr<HidChannel> SimBackend::Open(const std::string& path, HidAccess access) {
    std::lock_guard l(m_mutex);
    for (auto& d : m_devices) {
        if (d->path != path || !d->present) {
            continue;
        }
        if (d->failOpen[AccessIndex(access)]) {
            return nullptr;
        }
        auto channel = std::make_unique<Channel>(*this, *d, access);
        if (access == HidAccess::Read) {
            d->readers.push_back(channel.get());
        }
        return channel;
    }
    return nullptr;
}

template <typename Wake>
void SimBackend::WaitUntil(std::unique_lock<std::mutex>& lock, Device& device, uint64_t deadlineUs,
                           uint64_t eventUs, CancelEvent* cancel, Wake wake) {
    if (m_virtual != nullptr) {
        // Nothing happens in virtual time unless someone waits for it: wait for the earliest
        // thing that can end this wait. Other trackers' workers may share the clock (and
        // this backend), and a timer may plug a device in or out: the backend is let go
        // while time is waited for.
        const uint64_t target = std::min(deadlineUs, eventUs);
        if (target > m_virtual->NowUs()) {
            lock.unlock();
            m_virtual->WaitUntil(target);
            lock.lock();
        }
        return;
    }
    for (;;) {
        const uint64_t now = NowUsLocked();
        const uint64_t target = std::min(deadlineUs, eventUs);
        if (now >= target || wake() || (cancel != nullptr && cancel->IsSet())) {
            return;
        }
        const uint64_t until = std::min(target, now + kCancelSliceUs);
        device.changed.wait_until(lock, m_realStart + std::chrono::microseconds(until));
    }
}

}  // namespace quarnel::sim
