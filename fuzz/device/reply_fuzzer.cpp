// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// ReadReply on whatever a device may send: any number of reports of any length and
// content, arriving at any times, with any claimed length. Whatever comes, it copies only
// what a matching report held (at most 62 bytes) into the reply area and nothing beyond,
// and gives up within twice the time-out.
//
// Input: time-out (2 bytes, little-endian, in ms), then reports, each as
//   length (1 byte, taken modulo 66), gap since the previous one (2 bytes, ms),
//   claimed length (1 byte; 0 means the real length), the report bytes.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "device/hid_cmd.h"
#include "device/scripted_device.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quarnel;
    if (size < 2) {
        return 0;
    }
    const uint32_t timeoutMs = data[0] | uint32_t{data[1]} << 8;
    size_t at = 2;

    sim::VirtualClock clock(uint64_t{0xFFFFF000} * 1000);  // the tick count wraps soon
    test::ScriptedDevice device(clock);
    uint64_t arrivalMs = clock.NowUs() / 1000;
    while (at + 4 <= size) {
        const size_t length = data[at] % (kReportSize + 1);
        arrivalMs += data[at + 1] | uint32_t{data[at + 2]} << 8;
        const uint32_t claimed = data[at + 3];
        at += 4;
        const size_t n = std::min(length, size - at);
        device.Send(arrivalMs, std::vector<uint8_t>(data + at, data + at + n), claimed);
        at += n;
    }

    CommandAreas areas;
    CHidCmd cmd(DeviceLink{device, clock, areas});
    if (cmd.m_io.Open() != 1) {
        std::abort();
    }
    constexpr uint8_t kGuard = 0xA5;
    std::array<uint8_t, kAreaSize + 64> dest;
    dest.fill(kGuard);
    uint32_t count = 0;
    const uint64_t startUs = clock.NowUs();
    const int result = cmd.ReadReply(dest.data(), &count, timeoutMs);

    if (clock.NowUs() - startUs > 2 * uint64_t{timeoutMs} * 1000) {
        std::abort();  // waited beyond twice the time-out
    }
    const uint32_t copied = result == 1 ? count : 0;
    if (result != 0 && result != 1) {
        std::abort();
    }
    if (copied > kReportSize - 3) {
        std::abort();
    }
    for (size_t i = copied; i < dest.size(); ++i) {
        if (dest[i] != kGuard) {
            std::abort();  // written beyond what was copied
        }
    }
    if (result == 1 && (cmd.m_report[1] & 0x7F) != cmd.m_seq) {
        std::abort();  // took a report that does not answer the command
    }
    return 0;
}
