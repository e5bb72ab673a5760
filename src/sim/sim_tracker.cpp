// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sim/sim_tracker.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "device/command_areas.h"
#include "device/hid_backend.h"
#include "firmware/md5.h"
#include "sim/sim_items.h"

namespace quarnel::sim {

namespace {

constexpr size_t kReplyHistory = 16;
constexpr size_t kMaxReplyData = kMaxStoredText;

std::vector<uint8_t> Report(uint8_t seq, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> r(kReportSize, 0);
    const size_t n = std::min(data.size(), kMaxReplyData);
    r[1] = seq;
    r[2] = static_cast<uint8_t>(n);
    std::copy_n(data.begin(), n, r.begin() + 3);
    return r;
}

std::vector<uint8_t> Le32(int32_t value) {
    std::vector<uint8_t> out(4);
    PutLe32(out.data(), static_cast<uint32_t>(value));
    return out;
}

// Text bytes of a body up to its first zero.
std::string TextOf(const uint8_t* body, size_t n) {
    const auto* end = std::find(body, body + n, uint8_t{0});
    return std::string(body, end);
}

bool Matches(const FaultRule& rule, int group, int op) {
    return (rule.group < 0 || rule.group == group) && (rule.op < 0 || rule.op == op);
}

}  // namespace

SimTracker::SimTracker(SimState state) {
    SetState(std::move(state));
}

SimState SimTracker::State() {
    std::lock_guard l(m_mutex);
    return m_state;
}

void SimTracker::SetState(SimState state) {
    std::lock_guard l(m_mutex);
    m_state = std::move(state);
    m_ruleMatches.assign(m_state.faults.rules.size(), 0);
    m_notReadyAnswered = 0;
    m_logCursor = 0;
}

void SimTracker::SetFaults(SimFaults faults) {
    std::lock_guard l(m_mutex);
    m_state.faults = std::move(faults);
    m_ruleMatches.assign(m_state.faults.rules.size(), 0);
    m_notReadyAnswered = 0;
}

FirmwareStatus SimTracker::Firmware() {
    std::lock_guard l(m_mutex);
    return m_firmware;
}

uint32_t SimTracker::ClosingWrites() {
    std::lock_guard l(m_mutex);
    return m_closingWrites;
}

uint32_t SimTracker::FactoryResets() {
    std::lock_guard l(m_mutex);
    return m_factoryResets;
}

uint64_t SimTracker::CommandsTaken() {
    std::lock_guard l(m_mutex);
    return m_commandsTaken;
}

std::vector<std::string> SimTracker::ProtocolNotes() {
    std::lock_guard l(m_mutex);
    return m_notes;
}

std::vector<TranscriptEntry> SimTracker::Transcript() {
    std::lock_guard l(m_mutex);
    return m_transcript;
}

void SimTracker::ClearTranscript() {
    std::lock_guard l(m_mutex);
    m_transcript.clear();
}

void SimTracker::SetTranscriptSink(std::function<void(const TranscriptEntry&)> sink) {
    std::lock_guard l(m_mutex);
    m_sink = std::move(sink);
}

void SimTracker::Note(std::string note) {
    if (m_notes.size() < 1000) {
        m_notes.push_back(std::move(note));
    }
}

SimTracker::Outcome SimTracker::Take(const uint8_t* report, size_t n, uint64_t nowUs) {
    std::lock_guard l(m_mutex);
    Outcome outcome;

    uint8_t command[kReportSize] = {};
    std::memcpy(command, report, std::min<size_t>(n, kReportSize));
    const uint8_t* payload = command + 3;
    const int op = payload[payload::kOp];
    const int group = payload[payload::kGroup];

    // Which fault rules select this command.
    std::vector<const FaultRule*> active;
    for (size_t i = 0; i < m_state.faults.rules.size(); ++i) {
        const FaultRule& rule = m_state.faults.rules[i];
        if (!Matches(rule, group, op)) {
            continue;
        }
        const uint64_t nth = ++m_ruleMatches[i];
        if (nth >= rule.from && nth - rule.from < rule.count) {
            active.push_back(&rule);
        }
    }
    auto has = [&](FaultKind kind) -> const FaultRule* {
        for (const FaultRule* rule : active) {
            if (rule->kind == kind) {
                return rule;
            }
        }
        return nullptr;
    };

    if (has(FaultKind::WriteNotAccepted)) {
        outcome.accepted = false;
        return outcome;
    }

    auto record = [&](char direction, std::vector<uint8_t> bytes, uint64_t timeUs) {
        m_transcript.push_back({direction, std::move(bytes), timeUs});
        if (m_sink) {
            m_sink(m_transcript.back());
        }
    };
    record('>', std::vector<uint8_t>(report, report + std::min<size_t>(n, kReportSize)), nowUs);
    if (n != kReportSize || command[2] != kPayloadOnWire) {
        Note("command report of " + std::to_string(n) + " bytes with size byte " +
             std::to_string(command[2]));
    }

    const uint8_t seq = command[1] & 0x7F;
    uint32_t answerDelayMs = 0;
    const std::vector<uint8_t> data = Answer(payload, nowUs, answerDelayMs);
    ++m_commandsTaken;

    if (const FaultRule* rule = has(FaultKind::Garbage)) {
        for (uint32_t i = 0; i < rule->reports; ++i) {
            std::vector<uint8_t> junk(kReportSize);
            for (auto& b : junk) {
                m_random = m_random * 1103515245u + 12345u;
                b = static_cast<uint8_t>(m_random >> 16);
            }
            junk[1] = static_cast<uint8_t>((seq + 1 + (junk[1] % 126)) & 0x7F);
            outcome.reports.push_back({std::move(junk), 0});
        }
    }
    if (const FaultRule* rule = has(FaultKind::StaleReplies)) {
        const size_t count = std::min<size_t>(rule->reports, m_sentReplies.size());
        for (size_t i = m_sentReplies.size() - count; i < m_sentReplies.size(); ++i) {
            outcome.reports.push_back({m_sentReplies[i], 0});
        }
    }

    std::vector<uint8_t> reply = Report(seq, data);
    if (has(FaultKind::WrongSequence)) {
        reply[1] = static_cast<uint8_t>((seq + 1) & 0x7F);
    }
    if (const FaultRule* rule = has(FaultKind::ShortReport)) {
        reply.resize(std::min<size_t>(rule->length, kReportSize));
    }
    uint32_t delayMs = answerDelayMs;
    if (const FaultRule* rule = has(FaultKind::LateReply)) {
        delayMs += rule->delayMs;
    }
    if (!has(FaultKind::NoReply)) {
        m_sentReplies.push_back(reply);
        if (m_sentReplies.size() > kReplyHistory) {
            m_sentReplies.erase(m_sentReplies.begin());
        }
        outcome.reports.push_back({std::move(reply), delayMs});
    }

    for (const Emission& e : outcome.reports) {
        record('<', e.report, nowUs + uint64_t{e.delayMs} * 1000);
    }
    if (m_state.faults.unplugAfter >= 0 &&
        m_commandsTaken >= static_cast<uint64_t>(m_state.faults.unplugAfter)) {
        outcome.unplugged = true;
    }
    return outcome;
}

std::vector<uint8_t> SimTracker::Answer(const uint8_t* p, uint64_t nowUs, uint32_t& delayMs) {
    const int op = p[payload::kOp];
    const int len = p[payload::kLen];
    const int group = p[payload::kGroup];
    const uint32_t index = GetLe32(p + payload::kIndex);
    const uint8_t* body = p + payload::kBody;
    const std::string what = "op " + std::to_string(op) + " group " + std::to_string(group) +
                             " index " + std::to_string(index);

    if (group <= 2 && p[payload::kPart] != 0) {
        Note(what + ": part " + std::to_string(p[payload::kPart]));
    }

    // Configuration items and phone lists.
    if (group == 2 && index >= kFirstPhoneListIndex && index < kFirstPhoneListIndex + 3) {
        auto& list = m_state.phoneLists[index - kFirstPhoneListIndex];
        const uint32_t entry = GetLe32(body);
        if (entry >= kPhoneEntries) {
            Note(what + ": entry " + std::to_string(entry));
            return {};
        }
        if (op == OP_GET) {
            if (len != 12) {
                Note(what + ": list read with len " + std::to_string(len));
            }
            std::vector<uint8_t> out(list[entry].begin(), list[entry].end());
            out.push_back(0);
            return out;
        }
        if (op == OP_SET) {
            if (len < 12 || len - 12 > static_cast<int>(payload::kBodySize) - 4) {
                Note(what + ": list write with len " + std::to_string(len));
                return {};
            }
            list[entry] = TextOf(body + 4, static_cast<size_t>(len - 12));
            return {};
        }
    }
    if (group == 0 && op == OP_SET && index == kClosingWriteIndex && len == 8) {
        ++m_closingWrites;
        return {};
    }
    if (group == 0 && op == OP_SET && index == kFactoryDefaultIndex) {
        ++m_factoryResets;
        // The IMEI and the firmware version say which tracker this is and what it runs:
        // they are not configuration, and stay.
        SimState factory = FactoryState();
        for (const auto& identity : {std::pair{0, 0}, std::pair{0, 8}}) {
            factory.items[identity] = m_state.items[identity];
        }
        m_state.items = factory.items;
        m_state.phoneLists = factory.phoneLists;
        return {};
    }
    if (group <= 2) {
        const SimItem* item = FindSimItem(group, static_cast<int>(index));
        if (item == nullptr) {
            Note(what + ": no such item");
            return {};
        }
        std::vector<uint8_t>& value = m_state.items[{group, static_cast<int>(index)}];
        if (op == OP_GET) {
            if (len != 8) {
                Note(what + ": read with len " + std::to_string(len));
            }
            std::vector<uint8_t> out = value;
            if (item->kind == SimItemKind::Text) {
                out.push_back(0);
            }
            return out;
        }
        if (op != OP_SET || !item->writable) {
            Note(what + ": not writable");
            return {};
        }
        const size_t n = len >= 8 ? static_cast<size_t>(len - 8) : 0;
        switch (item->kind) {
            case SimItemKind::Text: {
                if (n > payload::kBodySize - 1) {
                    Note(what + ": text of " + std::to_string(n) + " bytes does not fit");
                    value = std::vector<uint8_t>(body, body + payload::kBodySize);
                    break;
                }
                if (body[n] != 0 || std::find(body, body + n, 0) != body + n) {
                    Note(what + ": len does not match the text");
                }
                const std::string text = TextOf(body, n);
                value.assign(text.begin(), text.end());
                break;
            }
            case SimItemKind::Words:
                if (n != 4 * item->words) {
                    Note(what + ": len " + std::to_string(len));
                }
                value.assign(body, body + 4 * item->words);
                break;
            case SimItemKind::Transport:
                if (len != 9) {
                    Note(what + ": len " + std::to_string(len));
                }
                value.assign(body, body + 4);
                break;
        }
        return {};
    }

    // GPS log.
    if (group == 3 && op == OP_SET) {
        const int64_t notReady = m_state.faults.logNotReadyCount;
        if (notReady < 0 || m_notReadyAnswered < notReady) {
            ++m_notReadyAnswered;
            return Le32(-1);
        }
        m_logCursor = 0;
        return Le32(static_cast<int32_t>(m_state.log.size()));
    }
    if (group == 3 && op == OP_GET) {
        if (m_logCursor < m_state.log.size()) {
            const LogRecordBytes& r = m_state.log[m_logCursor++];
            return {r.begin(), r.end()};
        }
        return std::vector<uint8_t>(kLogRecordSize, 0xFF);  // erased log memory
    }
    if (group == 4 && op == OP_SET) {
        m_state.log.clear();
        m_logCursor = 0;
        m_eraseDoneUs = nowUs + uint64_t{m_state.eraseDurationMs} * 1000;
        return {1};
    }
    if (group == 4 && op == OP_GET) {
        if (m_eraseDoneUs > nowUs) {
            delayMs = static_cast<uint32_t>((m_eraseDoneUs - nowUs + 999) / 1000);
        }
        return {1};
    }

    // Firmware.
    if (group == 5 && op == OP_SET) {
        ++m_firmware.starts;
        m_firmware.result = FirmwareStatus::Receiving;
        m_firmware.blocksReceived = 0;
        m_firmware.area.assign(kFirmwareAreaSize, 0);
        m_blockSeen.assign(kFirmwareBlocks, false);
        return {1};
    }
    if (group == 6 && op == OP_SET) {
        if (m_firmware.result != FirmwareStatus::Receiving) {
            Note(what + ": firmware block without a start");
            return {0};
        }
        if (index >= kFirmwareBlocks) {
            Note(what + ": block number out of range");
            return {0};
        }
        if (p[payload::kPart] != index % 8) {
            Note(what + ": block in part " + std::to_string(p[payload::kPart]));
        }
        std::copy_n(body, 32, m_firmware.area.begin() + 32 * index);
        if (!m_blockSeen[index]) {
            m_blockSeen[index] = true;
            ++m_firmware.blocksReceived;
        }
        return {1};
    }
    if (group == 7 && op == OP_SET) {
        if (m_firmware.result != FirmwareStatus::Receiving) {
            Note(what + ": firmware end without a start");
            return {0};
        }
        if (m_firmware.blocksReceived < kFirmwareBlocks) {
            m_firmware.result = FirmwareStatus::Incomplete;
            return {0};
        }
        Md5Digest expected;
        std::copy_n(p + payload::kIndex, expected.size(), expected.begin());
        const bool good = Md5::Of(m_firmware.area.data(), m_firmware.area.size()) == expected;
        m_firmware.result = good ? FirmwareStatus::Accepted : FirmwareStatus::DigestMismatch;
        return {static_cast<uint8_t>(good ? 1 : 0)};
    }

    Note(what + ": unknown command");
    return {};
}

std::string TranscriptLine(const TranscriptEntry& entry) {
    std::string line(1, entry.direction);
    line += ' ';
    char hex[3];
    for (uint8_t b : entry.bytes) {
        std::snprintf(hex, sizeof hex, "%02x", b);
        line += hex;
    }
    return line;
}

}  // namespace quarnel::sim
