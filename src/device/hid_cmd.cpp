// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "device/hid_cmd.h"

#include <algorithm>
#include <cstring>

namespace quarnel {

CHidCmd::CHidCmd(const DeviceLink& link) : m_io(link.backend), m_link(link) {}

CHidCmd::~CHidCmd() = default;

int CHidCmd::ReadReply(uint8_t* dest, uint32_t* count, uint32_t timeoutMs) {
    const uint32_t start = m_link.clock.TickMs();
    for (;;) {
        if (!m_io.m_hRead) {
            return 0;
        }
        uint32_t n = 0;
        switch (m_io.m_hRead->Read(m_report, timeoutMs, m_io.m_hCancelEvent, n)) {
            case TransferStatus::Done:
                break;
            case TransferStatus::Cancelled:
                m_io.m_hCancelEvent.Reset();
                return 0;
            case TransferStatus::TimedOut:
            case TransferStatus::Failed:
                return 0;
        }
        n = std::min(n, kReportSize);
        if (n >= 3 && (m_report[1] & 0x7F) == m_seq) {
            uint32_t k = m_report[2];
            k = std::min(k, n - 3);
            k = std::min<uint32_t>(k, kAreaSize);
            std::memcpy(dest, m_report + 3, k);
            if (count != nullptr) {
                *count = k;
            }
            return 1;
        }
        // Not ours: a late reply to an earlier command, or garbage. The time test comes
        // after each discarded report, so a flood of them ends within about twice the
        // time-out.
        if (static_cast<uint32_t>(m_link.clock.TickMs() - start) > timeoutMs) {
            return 0;
        }
    }
}

bool Transact(CHidCmd& cmd, ReplyPolicy policy) {
    CommandAreas& areas = cmd.Link().areas;
    cmd.m_seq = static_cast<uint8_t>((cmd.m_seq + 1) & 0x7F);
    cmd.m_report[0] = 0;
    cmd.m_report[1] = cmd.m_seq;
    cmd.m_report[2] = static_cast<uint8_t>(kPayloadOnWire);
    std::memcpy(cmd.m_report + 3, areas.payload.data(), kPayloadOnWire);

    // The read follows whether or not the write was taken: a lost write shows as a
    // missing reply.
    cmd.m_io.WriteReport(cmd.m_report, nullptr);

    if (policy.clearReply) {
        areas.reply.fill(0);
    }
    return cmd.ReadReply(areas.reply.data(), nullptr, policy.timeoutMs) == 1;
}

}  // namespace quarnel
