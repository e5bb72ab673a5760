// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "device/hid_backend.h"
#include "device/hid_io.h"
#include "sim/virtual_clock.h"

namespace quarnel::test {

// A tracker-shaped HID device that sends exactly the reports it is told to, at the virtual
// times it is told to, whatever the host writes: for reply-matching tests that need exact
// bytes, lengths and arrival times. Writes are taken at once. One read handle at a time.
class ScriptedDevice final : public HidBackend {
public:
    static constexpr const char* kPath = "scripted/0";
    static constexpr uint64_t kNever = std::numeric_limits<uint64_t>::max();

    explicit ScriptedDevice(sim::VirtualClock& clock) : m_clock(clock) {}

    // Queues a report arriving at `atMs` (virtual). `claimed` is the length the read
    // reports, when a test wants a device that claims more than it delivered.
    void Send(uint64_t atMs, std::vector<uint8_t> bytes, uint32_t claimed = 0) {
        const uint32_t length = claimed != 0 ? claimed : static_cast<uint32_t>(bytes.size());
        Entry entry{atMs * 1000, std::move(bytes), length};
        // After every report due at the same time or earlier: equal times keep their order.
        const auto at = std::upper_bound(m_script.begin(), m_script.end(), entry.atUs,
                                         [](uint64_t us, const Entry& e) { return us < e.atUs; });
        m_script.insert(at, std::move(entry));
    }
    // Signals the waiting transfer's cancel event at `atMs`, as another thread would.
    void CancelAt(uint64_t atMs) { m_cancelAtUs = atMs * 1000; }

    size_t ReportsLeft() const { return m_script.size(); }
    const std::vector<std::vector<uint8_t>>& Written() const { return m_written; }

    std::vector<std::string> EnumerateInterfaces() override { return {kPath}; }

    std::unique_ptr<HidChannel> Open(const std::string& path, HidAccess access) override {
        if (path != kPath) {
            return nullptr;
        }
        return std::make_unique<Channel>(*this, access);
    }

private:
    struct Entry {
        uint64_t atUs;
        std::vector<uint8_t> bytes;
        uint32_t claimed;
    };

    class Channel final : public HidChannel {
    public:
        Channel(ScriptedDevice& device, HidAccess access) : m_device(device), m_access(access) {}

        bool GetAttributes(HidAttributes& out) override {
            out = {kTrackerVendorId, kTrackerProductId};
            return true;
        }
        TransferStatus Write(const uint8_t* report, uint32_t, CancelEvent& cancel,
                             uint32_t& transferred) override {
            transferred = 0;
            if (m_access != HidAccess::Write) {
                return TransferStatus::Failed;
            }
            if (cancel.IsSet()) {
                return TransferStatus::Cancelled;
            }
            m_device.m_written.emplace_back(report, report + kReportSize);
            transferred = kReportSize;
            return TransferStatus::Done;
        }
        TransferStatus Read(uint8_t* report, uint32_t timeoutMs, CancelEvent& cancel,
                            uint32_t& transferred) override {
            transferred = 0;
            if (m_access != HidAccess::Read) {
                return TransferStatus::Failed;
            }
            sim::VirtualClock& clock = m_device.m_clock;
            const uint64_t deadline = clock.NowUs() + uint64_t{timeoutMs} * 1000;
            auto& script = m_device.m_script;
            const uint64_t next = script.empty() ? kNever : script.front().atUs;
            const uint64_t cancelAt = m_device.m_cancelAtUs;
            if (cancel.IsSet()) {
                return TransferStatus::Cancelled;
            }
            if (cancelAt <= std::min(next, deadline)) {
                clock.AdvanceTo(cancelAt);
                m_device.m_cancelAtUs = kNever;
                cancel.Set();
                return TransferStatus::Cancelled;
            }
            if (next > deadline) {
                clock.AdvanceTo(deadline);
                return TransferStatus::TimedOut;
            }
            clock.AdvanceTo(next);
            const Entry& entry = script.front();
            std::copy_n(entry.bytes.begin(), std::min<size_t>(entry.bytes.size(), kReportSize),
                        report);
            transferred = entry.claimed;
            script.pop_front();
            return TransferStatus::Done;
        }
        void CancelIo() override {}

    private:
        ScriptedDevice& m_device;
        HidAccess m_access;
    };

    sim::VirtualClock& m_clock;
    std::deque<Entry> m_script;
    uint64_t m_cancelAtUs = kNever;
    std::vector<std::vector<uint8_t>> m_written;
};

// A reply report: report ID 0, the sequence byte, the length byte, then `data`, padded with
// zeros to `size` bytes.
inline std::vector<uint8_t> ReplyReport(uint8_t seqByte, uint8_t lengthByte,
                                        std::vector<uint8_t> data = {}, size_t size = kReportSize) {
    std::vector<uint8_t> r(size, 0);
    if (r.size() > 1) {
        r[1] = seqByte;
    }
    if (r.size() > 2) {
        r[2] = lengthByte;
    }
    for (size_t i = 0; i < data.size() && 3 + i < r.size(); ++i) {
        r[3 + i] = data[i];
    }
    return r;
}

}  // namespace quarnel::test
