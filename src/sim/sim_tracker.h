// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "sim/sim_state.h"

namespace quarnel::sim {

inline constexpr size_t kFirmwareAreaSize = 126976;
inline constexpr uint32_t kFirmwareBlocks = 3968;

// One report in the transcript: '>' host to tracker, '<' tracker to host.
struct TranscriptEntry {
    char direction;
    std::vector<uint8_t> bytes;  // as sent: 65 bytes, fewer for a cut report
    uint64_t timeUs;
};

struct FirmwareStatus {
    enum Result { Idle, Receiving, Accepted, DigestMismatch, Incomplete };
    Result result = Idle;
    uint32_t starts = 0;          // start commands taken
    uint32_t blocksReceived = 0;  // distinct blocks since the last start
    std::vector<uint8_t> area;    // the image area as received (kFirmwareAreaSize bytes)
};

// The tracker's device contract, without timing: it takes one command report and says
// which reports it sends back. Thread-safe.
class SimTracker {
public:
    explicit SimTracker(SimState state = FactoryState());

    struct Emission {
        std::vector<uint8_t> report;  // 65 bytes, fewer for a cut report
        uint32_t delayMs;             // extra delay beyond the normal answer time
    };
    struct Outcome {
        bool accepted = true;           // false: the write is never taken
        std::vector<Emission> reports;  // in the order they are sent
        bool unplugged = false;         // the tracker is gone after these reports
    };

    // Takes one command report of `n` bytes at time `nowUs`. The command and the reports
    // sent back are recorded in the transcript.
    Outcome Take(const uint8_t* report, size_t n, uint64_t nowUs);

    SimState State();
    void SetState(SimState state);
    void SetFaults(SimFaults faults);
    FirmwareStatus Firmware();
    uint32_t ClosingWrites();  // closing writes taken
    uint32_t FactoryResets();  // factory-default commands taken
    uint64_t CommandsTaken();
    // Commands whose bytes disagree with the protocol (wrong `len`, entry numbers out of
    // range, a block in the wrong `part`); empty for a host that speaks it correctly.
    std::vector<std::string> ProtocolNotes();

    std::vector<TranscriptEntry> Transcript();
    void ClearTranscript();
    // Called for every transcript entry as it is recorded (the demo's --transcript file).
    void SetTranscriptSink(std::function<void(const TranscriptEntry&)> sink);

private:
    std::vector<uint8_t> Answer(const uint8_t* payload, uint64_t nowUs, uint32_t& delayMs);
    void Note(std::string note);

    std::mutex m_mutex;
    SimState m_state;
    std::vector<uint64_t> m_ruleMatches;
    int64_t m_notReadyAnswered = 0;
    size_t m_logCursor = 0;
    uint64_t m_eraseDoneUs = 0;
    FirmwareStatus m_firmware;
    std::vector<bool> m_blockSeen;
    uint32_t m_closingWrites = 0;
    uint32_t m_factoryResets = 0;
    uint64_t m_commandsTaken = 0;
    std::vector<std::vector<uint8_t>> m_sentReplies;
    std::vector<std::string> m_notes;
    std::vector<TranscriptEntry> m_transcript;
    std::function<void(const TranscriptEntry&)> m_sink;
    uint32_t m_random = 0x2545F491;
};

// The transcript line of the demo's --transcript file: direction, a space, the bytes in
// lower-case hexadecimal.
std::string TranscriptLine(const TranscriptEntry& entry);

}  // namespace quarnel::sim
