// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>

namespace quarnel {

// The tick count that reply matching measures elapsed time with: milliseconds since an
// arbitrary start, wrapping at 2^32 like the platform tick count it stands for.
// Implementations are safe to call from any thread.
class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t TickMs() = 0;
};

// The real clock: a monotonic clock, unaffected by changes of the wall-clock time.
class SteadyClock final : public Clock {
public:
    uint32_t TickMs() override;
};

}  // namespace quarnel
