// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace quarnel::sim {

inline constexpr size_t kPhoneEntries = 10;
// The longest stored text (configuration item or phone-list entry) the tracker answers
// whole: what one reply carries. The tracker keeps texts set by SMS or the web that are
// longer than a host can write in one command (the body's 54 bytes); a text of all 62
// bytes is answered without its zero.
inline constexpr size_t kMaxStoredText = 62;
inline constexpr size_t kLogRecordSize = 32;
using LogRecordBytes = std::array<uint8_t, kLogRecordSize>;

// What a fault does to the commands it selects.
enum class FaultKind {
    NoReply,           // the command is carried out but no reply comes
    LateReply,         // the reply comes `delayMs` late
    StaleReplies,      // `reports` earlier replies are sent again before the reply
    WrongSequence,     // the reply carries the next sequence number instead of the command's
    ShortReport,       // the reply report is cut to `length` bytes (report-ID byte included)
    Garbage,           // `reports` reports of random bytes and foreign sequence numbers first
    WriteNotAccepted,  // the command report is never taken (the host's write times out)
};

// A fault applies to the commands that match `group` and `op` (-1: any), from the
// `from`-th matching command (1-based) on, for `count` of them.
struct FaultRule {
    FaultKind kind = FaultKind::NoReply;
    int group = -1;
    int op = -1;
    uint64_t from = 1;
    uint64_t count = std::numeric_limits<uint64_t>::max();
    uint32_t delayMs = 0;
    uint32_t reports = 1;
    uint32_t length = 2;
};

struct SimFaults {
    std::vector<FaultRule> rules;
    int64_t logNotReadyCount = 0;  // the log count answers -1 this many times; -1: for ever
    int64_t unplugAfter = -1;      // unplugged after this many commands taken; -1: never
};

// The tracker's stored state: its configuration items as the bytes it answers with, its
// three phone lists, its GPS log, the faults it shows, and how long an erase takes.
struct SimState {
    // (group, index) -> value. Text items hold their characters (one byte each, no
    // terminator); integer items their little-endian 32-bit words.
    std::map<std::pair<int, int>, std::vector<uint8_t>> items;
    std::array<std::array<std::string, kPhoneEntries>, 3> phoneLists;  // SCU, SOS, SMS
    std::vector<LogRecordBytes> log;
    SimFaults faults;
    uint32_t eraseDurationMs = 0;
};

// The factory settings a new tracker has, and which the factory-default command restores.
SimState FactoryState();

// A tracker as the demo shows it: a plausible configuration and a log of fixes along a
// drive, on factory settings otherwise.
SimState DemoState();

// One log record in the tracker's record layout.
struct LogFix {
    int32_t tag = 1;
    int year = 2014, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    float latitude = 0, longitude = 0, altitude = 0, course = 0, speed = 0;
};
LogRecordBytes EncodeLogRecord(const LogFix& fix);

// The state file (JSON, described in docs/simulated-tracker.md). Load replaces `state`
// only when the whole file is valid; otherwise it leaves it alone and says why.
bool LoadSimState(const std::filesystem::path& path, SimState& state, std::string& error);
bool SaveSimState(const std::filesystem::path& path, const SimState& state, std::string& error);

}  // namespace quarnel::sim
