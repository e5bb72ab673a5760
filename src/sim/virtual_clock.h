#pragma once

#include <atomic>
#include <cstdint>

#include "device/clock.h"

namespace quarnel::sim {

// Time that passes only when the simulated tracker waits: a 2000 ms time-out costs
// nothing, and its exact bounds can be asserted. Microsecond resolution, so the 1 ms
// USB frames can be modelled on it too.
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(uint64_t startUs = 0) : m_nowUs(startUs) {}

    uint32_t TickMs() override { return static_cast<uint32_t>(NowUs() / 1000); }
    uint64_t NowUs() const { return m_nowUs.load(std::memory_order_acquire); }

    // Moves time forward to `us`; never backward.
    void AdvanceTo(uint64_t us);
    void Advance(uint64_t us) { AdvanceTo(NowUs() + us); }

private:
    std::atomic<uint64_t> m_nowUs;
};

}  // namespace quarnel::sim
