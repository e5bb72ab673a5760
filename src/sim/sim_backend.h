// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/hid_backend.h"
#include "sim/sim_tracker.h"
#include "sim/virtual_clock.h"

namespace quarnel::sim {

// A HID backend whose devices are simulated trackers (and, for tests, foreign devices).
//
// Time: on a VirtualClock every wait advances the clock instead of sleeping, so time-outs
// cost nothing; without one, waits are real. Timing model: with `usbFrames` a report moves
// in each direction once per 1 ms frame, as on full-speed USB: a write is taken at the
// next frame boundary and its reply arrives one frame later; without it, instantly.
//
// Every open read handle receives its own copy of each report the device sends, as HID
// handles do, in a queue of at most 64 reports (the oldest is dropped).
//
// Several trackers: each device has its own endpoints and frames, so threads that talk to
// different devices at once do not wait for each other. On a shared VirtualClock every such
// thread must take part in its timeline (VirtualClock::Participate).
class SimBackend final : public HidBackend {
public:
    SimBackend(VirtualClock* virtualClock, bool usbFrames);
    ~SimBackend() override;

    // Adds a device; devices enumerate in the order they were added.
    void AddTracker(SimTracker& tracker, std::string path = "sim/tracker0");
    void AddForeignDevice(std::string path, uint16_t vendorId, uint16_t productId);
    // Makes opening `path` with `access` fail (None: the device cannot even be probed).
    void FailOpen(const std::string& path, HidAccess access);
    void Unplug(const std::string& path);
    void Replug(const std::string& path);

    // The clock reply matching must use with this backend (virtual or real).
    Clock& GetClock();
    uint64_t NowUs();

    std::vector<std::string> EnumerateInterfaces() override;
    std::unique_ptr<HidChannel> Open(const std::string& path, HidAccess access) override;

private:
    class Channel;
    struct Device;
    friend class Channel;

    uint64_t NowUsLocked();
    // Waits until `deadlineUs`, until `wake()` holds, or until `cancel` is set; in virtual
    // time it waits for the earliest of `deadlineUs` and `eventUs`, and may return sooner
    // (a timer of the clock ran): callers check again.
    template <typename Wake>
    void WaitUntil(std::unique_lock<std::mutex>& lock, Device& device, uint64_t deadlineUs,
                   uint64_t eventUs, CancelEvent* cancel, Wake wake);

    VirtualClock* m_virtual;
    std::unique_ptr<Clock> m_realClock;
    bool m_usbFrames;
    std::chrono::steady_clock::time_point m_realStart;
    std::mutex m_mutex;
    std::vector<std::unique_ptr<Device>> m_devices;
};

}  // namespace quarnel::sim
