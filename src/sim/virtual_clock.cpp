#include "sim/virtual_clock.h"

namespace quarnel::sim {

void VirtualClock::AdvanceTo(uint64_t us) {
    uint64_t now = m_nowUs.load(std::memory_order_acquire);
    while (us > now && !m_nowUs.compare_exchange_weak(now, us, std::memory_order_acq_rel)) {
    }
}

}  // namespace quarnel::sim
