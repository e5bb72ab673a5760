// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quarnel::test {

// What a simulated device does with one output report.
struct HidrawAnswer {
    struct Emission {
        std::vector<uint8_t> report;  // report-ID byte first, as the host sees reports
        uint32_t delayMs = 0;         // after the write was taken
    };
    bool accepted = true;  // false: the write never completes (a wedged device)
    std::vector<Emission> reports;
};

// Called on umockdev's handler thread with every report the host writes (report-ID byte
// first, as hid_write passes it).
using HidrawResponder = std::function<HidrawAnswer(const uint8_t* report, size_t size)>;
// Called as each report leaves the device.
using HidrawSentHook = std::function<void(const std::vector<uint8_t>& report)>;

// A umockdev testbed with USB HID devices whose hidraw nodes the unmodified hidapi
// library enumerates, opens, writes and reads. Only works in a process started under
// umockdev-wrapper (see InMockEnvironment).
//
// Each node is a pty: poll() on it is real, read() and write() go to handlers here. Each
// read hands out exactly one report, so two reports never merge; "doorbell" bytes in the
// pty, as many as the longest queue of reports holds, make poll() wake up.
//
// The node behaves as the kernel's hidraw node does (tests/device/hidraw_contract_suite.h
// runs the same cases on both): every open handle gets its own copy of each input report,
// in a queue that keeps the first 63 waiting reports and drops newer ones; input reports
// arrive without report ID 0; a report shorter than 64 data bytes is dropped; at an
// unplug, poll() reports a hang-up, read() fails with EIO, write() with ENODEV and the node
// goes.
class HidrawBed {
public:
    HidrawBed();
    ~HidrawBed();  // completes stuck writes with an error, then removes the testbed
    HidrawBed(const HidrawBed&) = delete;
    HidrawBed& operator=(const HidrawBed&) = delete;

    // True when the testbed is in effect for this process.
    bool InMockEnvironment() const;

    // Adds a USB HID device with a hidraw node; devices enumerate in the order they are
    // added. Returns the node's path (/dev/hidrawN).
    std::string AddDevice(uint16_t vendorId, uint16_t productId, HidrawResponder responder,
                          HidrawSentHook sent = {});

    // Takes a device away, as when it is unplugged: its node goes, and its open handles
    // fail. False, with the reason, when the node is not one of the bed's.
    bool Unplug(const std::string& node, std::string& error);

    // Lets every write that a device did not accept fail with EIO.
    void ReleaseStuckWrites();
    // Open handles on a node right now.
    int OpenClients(const std::string& node) const;
    // Waits (real time, at most `timeoutMs`) until a node has `count` open handles.
    bool WaitForOpenClients(const std::string& node, int count, uint32_t timeoutMs) const;
    // Writes a node has received, and writes still stuck.
    size_t WritesReceived(const std::string& node) const;
    size_t StuckWrites(const std::string& node) const;

    class Node;

private:
    Node& Find(const std::string& node) const;

    struct Testbed;
    std::unique_ptr<Testbed> m_testbed;
    std::vector<std::unique_ptr<Node>> m_nodes;
};

}  // namespace quarnel::test
