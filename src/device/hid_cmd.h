// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>

#include "device/device_link.h"
#include "device/hid_io.h"

namespace quarnel {

// The transaction object: one per command, built at its start and destroyed on every way
// out, which closes the device. Its sequence numbers start at 18, so a command's first
// report carries 19.
class CHidCmd {
public:
    explicit CHidCmd(const DeviceLink& link);
    virtual ~CHidCmd();
    CHidCmd(const CHidCmd&) = delete;
    CHidCmd& operator=(const CHidCmd&) = delete;

    // Reads reports until one answers m_seq (low 7 bits of byte 1) and copies its data,
    // at most 100 bytes and never more than the report held, to `dest`. Returns 1 when a
    // matching reply was copied, 0 otherwise. A stream of non-matching reports can hold it
    // for up to about twice `timeoutMs`: the elapsed time is tested after each discard.
    int ReadReply(uint8_t* dest, uint32_t* count, uint32_t timeoutMs);

    uint8_t m_report[kReportSize];  // the command while built and sent, then each reply
    uint8_t m_seq = 18;
    CHidIO m_io;

    const DeviceLink& Link() const { return m_link; }

private:
    DeviceLink m_link;
};

// Reply handling of each kind of command.
struct ReplyPolicy {
    bool clearReply;     // fill the reply area with zeros before reading
    uint32_t timeoutMs;  // reply time-out
};

inline constexpr ReplyPolicy kReadPolicy{true, 2000};    // Get Parameter, Set Default
inline constexpr ReplyPolicy kWritePolicy{false, 2000};  // Set Parameter, log download, firmware
inline constexpr ReplyPolicy kErasePolicy{true, 60000};  // log erase

// Sends payload area bytes 0-61 as the next command of `cmd` and leaves the reply in the
// reply area. Returns whether a matching reply arrived. The system's commands judge a
// reply only by the reply area; the result lets a command stop when its tracker has
// stopped answering instead of grinding through time-outs.
bool Transact(CHidCmd& cmd, ReplyPolicy policy);

}  // namespace quarnel
