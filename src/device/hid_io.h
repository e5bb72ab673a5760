// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <memory>

#include "device/cancel_event.h"
#include "device/hid_backend.h"

namespace quarnel {

inline constexpr uint16_t kTrackerVendorId = 0x051A;
inline constexpr uint16_t kTrackerProductId = 0x511B;
inline constexpr uint32_t kWriteTimeoutMs = 2000;

// Device access: finds the tracker, holds a read handle and a write handle on it, and
// moves one 65-byte report at a time with bounded waits.
//
// Where the platform's overlapped I/O needed a read event and a write event, the backend's
// bounded transfers stand in; the cancel event remains and ends whichever wait is running.
// A closed or never-opened handle is null ("invalid"); every transfer on it fails at once.
// Used by one thread at a time.
class CHidIO {
public:
    explicit CHidIO(HidBackend& backend);
    virtual ~CHidIO();
    CHidIO(const CHidIO&) = delete;
    CHidIO& operator=(const CHidIO&) = delete;

    // 1 when a tracker was found (even if its read or write handle then failed to open),
    // 0 when none was. The first matching interface in enumeration order wins.
    int Open();

    // Writes one report, waiting at most 2000 ms. 1 on success, 0 on failure; `count`
    // (optional) receives the bytes the device took, 0 on failure.
    int WriteReport(const uint8_t* report, uint32_t* count);

    // Abandons outstanding transfers and closes both handles. Safe when nothing is open.
    void Close();

    std::unique_ptr<HidChannel> m_hRead;
    std::unique_ptr<HidChannel> m_hWrite;
    CancelEvent m_hCancelEvent;  // may be set from another thread to end the current wait
    int m_bDualHandle = 1;

private:
    HidBackend& m_backend;
};

}  // namespace quarnel
