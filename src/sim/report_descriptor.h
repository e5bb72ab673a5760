// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstdint>

namespace quarnel::sim {

// The tracker's HID report descriptor: a vendor-defined usage page, one application
// collection, 64-byte input and output reports without a report ID. Every door to the
// simulated tracker (umockdev's hidraw node, the USB gadget) presents this one.
inline constexpr std::array<uint8_t, 27> kTrackerReportDescriptor = {
    0x06, 0x00, 0xFF,  // Usage Page (vendor 0xFF00)
    0x09, 0x01,        // Usage (1)
    0xA1, 0x01,        // Collection (Application)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x40,        //   Report Count (64)
    0x09, 0x01,        //   Usage (1)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x95, 0x40,        //   Report Count (64)
    0x09, 0x01,        //   Usage (1)
    0x91, 0x02,        //   Output (Data, Variable, Absolute)
    0xC0,              // End Collection
};

// The data bytes of one report on the wire, after the report-ID byte the host's 65-byte
// layout puts first.
inline constexpr uint32_t kReportDataSize = 64;

}  // namespace quarnel::sim
