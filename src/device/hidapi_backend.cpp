// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "device/hidapi_backend.h"

#include <hidapi.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <mutex>
#include <optional>

#include "device/bounded_writer.h"
#include "device/hidapi_library.h"

namespace quarnel {

namespace {

// A read waits in slices of this length, so a cancel is noticed within a few milliseconds.
constexpr int kReadSliceMs = 4;

// An open hidapi device. Closed when its last owner lets go: the channel, or the writer
// thread of a write that outlived the channel.
class DeviceHandle {
public:
    DeviceHandle(std::shared_ptr<HidapiLibrary> library, hid_device* device)
        : m_library(std::move(library)), m_device(device) {}
    ~DeviceHandle() {
        auto lock = HidapiLibrary::Lock();
        hid_close(m_device);
    }
    DeviceHandle(const DeviceHandle&) = delete;
    DeviceHandle& operator=(const DeviceHandle&) = delete;

    hid_device* Get() const { return m_device; }

private:
    std::shared_ptr<HidapiLibrary> m_library;  // hid_exit waits for the last device
    hid_device* m_device;
};

// A path "opened without access rights": it only tells the attributes that enumeration
// saw, and transfers nothing.
class ProbeChannel final : public HidChannel {
public:
    explicit ProbeChannel(HidAttributes attributes) : m_attributes(attributes) {}

    bool GetAttributes(HidAttributes& out) override {
        out = m_attributes;
        return true;
    }
    TransferStatus Write(const uint8_t*, uint32_t, CancelEvent&, uint32_t& transferred) override {
        transferred = 0;
        return TransferStatus::Failed;
    }
    TransferStatus Read(uint8_t*, uint32_t, CancelEvent&, uint32_t& transferred) override {
        transferred = 0;
        return TransferStatus::Failed;
    }
    void CancelIo() override {}

private:
    HidAttributes m_attributes;
};

// A device opened for reading or for writing; like a platform handle opened with only one
// of the two rights, it refuses the other direction.
class DeviceChannel final : public HidChannel {
public:
    DeviceChannel(std::shared_ptr<DeviceHandle> handle, HidAccess access,
                  std::optional<HidAttributes> attributes)
        : m_handle(std::move(handle)), m_access(access), m_attributes(attributes) {}

    bool GetAttributes(HidAttributes& out) override {
        if (!m_attributes) {
            return false;
        }
        out = *m_attributes;
        return true;
    }

    TransferStatus Write(const uint8_t* report, uint32_t timeoutMs, CancelEvent& cancel,
                         uint32_t& transferred) override {
        transferred = 0;
        if (m_access != HidAccess::Write) {
            return TransferStatus::Failed;
        }
        if (!m_writer) {
            // Byte 0 is the report ID (0 for the tracker) and goes to hid_write as it is.
            m_writer = std::make_unique<BoundedWriter>(
                [handle = m_handle](const uint8_t* data, size_t size) {
                    return hid_write(handle->Get(), data, size);
                });
        }
        return m_writer->Write(report, timeoutMs, cancel, transferred);
    }

    TransferStatus Read(uint8_t* report, uint32_t timeoutMs, CancelEvent& cancel,
                        uint32_t& transferred) override {
        transferred = 0;
        if (m_access != HidAccess::Read) {
            return TransferStatus::Failed;
        }
        using SteadyTime = std::chrono::steady_clock;
        const auto deadline = SteadyTime::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            if (cancel.IsSet()) {
                return TransferStatus::Cancelled;
            }
            // Rounded up, so the wait never ends short of its time-out.
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyTime::now()).count();
            const int slice = static_cast<int>(std::clamp<int64_t>(left, 0, kReadSliceMs));
            // hidapi's reads are synchronous here: the bytes land in `report` during this
            // call or not at all, so nothing can arrive in it after Read has returned.
            // The tracker's reports are unnumbered, and hidapi hands them over without the
            // report-ID byte on every platform; it goes back in front as 0.
            const int n = hid_read_timeout(m_handle->Get(), report + 1, kReportSize - 1, slice);
            if (n < 0) {
                return TransferStatus::Failed;
            }
            if (n > 0) {
                report[0] = 0;
                transferred = static_cast<uint32_t>(n) + 1;
                return TransferStatus::Done;
            }
            if (SteadyTime::now() >= deadline) {
                return TransferStatus::TimedOut;
            }
        }
    }

    void CancelIo() override {
        if (m_writer) {
            m_writer->Withdraw();
        }
    }

private:
    std::shared_ptr<DeviceHandle> m_handle;
    HidAccess m_access;
    std::optional<HidAttributes> m_attributes;
    std::unique_ptr<BoundedWriter> m_writer;  // started by the first write
};

class HidapiBackend final : public HidBackend {
public:
    HidapiBackend() : m_library(std::make_shared<HidapiLibrary>()) {}

    std::vector<std::string> EnumerateInterfaces() override {
        std::vector<std::string> paths;
        std::map<std::string, HidAttributes> seen;
        if (m_library->Ready()) {
            auto lock = HidapiLibrary::Lock();
            hid_device_info* list = hid_enumerate(0, 0);
            for (const hid_device_info* info = list; info != nullptr; info = info->next) {
                if (info->path == nullptr) {
                    continue;
                }
                // hidapi lists a device once per top-level collection; the path is the
                // interface, so only its first entry counts.
                const auto [at, added] =
                    seen.try_emplace(info->path, HidAttributes{info->vendor_id, info->product_id});
                if (added) {
                    paths.push_back(at->first);
                }
            }
            hid_free_enumeration(list);
        }
        std::lock_guard lock(m_mutex);
        m_snapshot = std::move(seen);
        return paths;
    }

    std::unique_ptr<HidChannel> Open(const std::string& path, HidAccess access) override {
        std::optional<HidAttributes> attributes = SnapshotOf(path);
        if (access == HidAccess::None) {
            if (!attributes) {
                // Not seen by the last enumeration (or none was made): look again.
                EnumerateInterfaces();
                attributes = SnapshotOf(path);
            }
            if (!attributes) {
                return nullptr;
            }
            return std::make_unique<ProbeChannel>(*attributes);
        }
        if (!m_library->Ready()) {
            return nullptr;
        }
        hid_device* device = nullptr;
        {
            auto lock = HidapiLibrary::Lock();
            device = hid_open_path(path.c_str());
        }
        if (device == nullptr) {
            return nullptr;
        }
        return std::make_unique<DeviceChannel>(std::make_shared<DeviceHandle>(m_library, device),
                                               access, attributes);
    }

private:
    std::optional<HidAttributes> SnapshotOf(const std::string& path) {
        std::lock_guard lock(m_mutex);
        const auto at = m_snapshot.find(path);
        if (at == m_snapshot.end()) {
            return std::nullopt;
        }
        return at->second;
    }

    std::shared_ptr<HidapiLibrary> m_library;
    std::mutex m_mutex;  // the snapshot, should two threads share the backend
    std::map<std::string, HidAttributes> m_snapshot;
};

}  // namespace

std::unique_ptr<HidBackend> MakeHidapiBackend() {
    return std::make_unique<HidapiBackend>();
}

}  // namespace quarnel
