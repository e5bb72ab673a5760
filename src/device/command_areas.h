// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstdint>
#include <mutex>

namespace quarnel {

inline constexpr size_t kAreaSize = 100;      // payload and reply areas
inline constexpr size_t kPayloadOnWire = 62;  // payload bytes that travel in a report

// The payload area and the reply area that every command builds in and reads from.
// There is one of them in the program; bytes a command does not set keep what earlier
// commands left, and those stale bytes travel on the wire, so they are part of the
// protocol. Tests make their own instance to start from known bytes.
//
// `sequenceLock` is held by a command from its first transaction to its last, so two
// command sequences never interleave in the areas. It is recursive because Set Default
// runs two reads inside its own sequence on the same thread.
struct CommandAreas {
    std::array<uint8_t, kAreaSize> payload{};
    std::array<uint8_t, kAreaSize> reply{};
    std::recursive_mutex sequenceLock;
};

// Payload header offsets shared by every command.
namespace payload {
inline constexpr size_t kOp = 0;
inline constexpr size_t kLen = 1;
inline constexpr size_t kGroup = 2;
inline constexpr size_t kPart = 3;
inline constexpr size_t kIndex = 4;  // 32-bit little-endian
inline constexpr size_t kBody = 8;   // 54 bytes
inline constexpr size_t kBodySize = 54;
}  // namespace payload

inline constexpr uint8_t OP_GET = 1;
inline constexpr uint8_t OP_SET = 2;

inline void PutLe32(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
    at[2] = static_cast<uint8_t>(value >> 16);
    at[3] = static_cast<uint8_t>(value >> 24);
}

inline uint32_t GetLe32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
           static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
}

}  // namespace quarnel

namespace quarnel {

using SequenceLock = std::unique_lock<std::recursive_mutex>;

// The window's thread never waits for a running background task: it only tries the lock
// and, when a task holds it, refuses the command.
inline SequenceLock TryLockSequence(CommandAreas& areas) {
    return SequenceLock(areas.sequenceLock, std::try_to_lock);
}

// Background tasks start only when no command runs, so they take the lock outright.
inline SequenceLock LockSequence(CommandAreas& areas) {
    return SequenceLock(areas.sequenceLock);
}

}  // namespace quarnel
