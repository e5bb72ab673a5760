// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/cancel_event.h"

namespace quarnel {

// Every report in either direction is 65 bytes: the report-ID byte, then 64 data bytes.
inline constexpr uint32_t kReportSize = 65;

struct HidAttributes {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
};

// How a path is opened. None only allows reading the attributes, as the search for the
// tracker does before it opens the one it wants for reading and for writing.
enum class HidAccess { None, Read, Write };

enum class TransferStatus {
    Done,       // the report was transferred; the count says how many bytes
    TimedOut,   // nothing within the time-out; the transfer is abandoned
    Cancelled,  // the cancel event ended the wait (the caller resets it)
    Failed,     // the transfer could not be started, or the device is gone
};

// One open handle on a HID device path. Used by one thread at a time.
//
// Contract shared by every backend:
// - Reports always use the 65-byte layout with the report-ID byte first, in both
//   directions and on every platform; a backend whose platform strips report ID 0 from
//   input reports puts it back.
// - Every wait is bounded by its time-out, also when the device sends nothing at all,
//   and ends early when `cancel` is set.
// - A transfer that timed out or was cancelled is abandoned: it can never complete later
//   into the caller's buffer, which the caller may reuse at once.
class HidChannel {
public:
    virtual ~HidChannel() = default;  // closes the handle, abandoning any transfer

    // The device's vendor and product ID, read through this handle.
    virtual bool GetAttributes(HidAttributes& out) = 0;

    // Writes one report of kReportSize bytes. `transferred` receives the bytes taken.
    virtual TransferStatus Write(const uint8_t* report, uint32_t timeoutMs, CancelEvent& cancel,
                                 uint32_t& transferred) = 0;

    // Reads one input report into `report` (kReportSize bytes of room). `transferred`
    // receives its length including the report-ID byte; a device may send short reports.
    virtual TransferStatus Read(uint8_t* report, uint32_t timeoutMs, CancelEvent& cancel,
                                uint32_t& transferred) = 0;

    // Abandons whatever transfer of this handle is outstanding.
    virtual void CancelIo() = 0;
};

// The one door to the operating system's HID layer.
class HidBackend {
public:
    virtual ~HidBackend() = default;

    // Paths of the HID interfaces present now, in the platform's enumeration order.
    virtual std::vector<std::string> EnumerateInterfaces() = 0;

    // Opens a path; nullptr when it cannot be opened with that access.
    virtual std::unique_ptr<HidChannel> Open(const std::string& path, HidAccess access) = 0;
};

}  // namespace quarnel
