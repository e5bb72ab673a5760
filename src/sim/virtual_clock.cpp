// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sim/virtual_clock.h"

#include <algorithm>

namespace quarnel::sim {

VirtualClock::Participation& VirtualClock::Participation::operator=(
    Participation&& other) noexcept {
    if (this != &other) {
        if (m_clock != nullptr) {
            m_clock->Leave();
        }
        m_clock = other.m_clock;
        other.m_clock = nullptr;
    }
    return *this;
}

VirtualClock::Participation::~Participation() {
    if (m_clock != nullptr) {
        m_clock->Leave();
    }
}

VirtualClock::Participation VirtualClock::Participate() {
    Lock lock(m_mutex);
    ++m_participants;
    return Participation(this);
}

void VirtualClock::Leave() {
    Lock lock(m_mutex);
    --m_participants;
    // The one who left may have been the last one time was waiting for.
    if (m_participants > 0 && m_waiting == m_participants && !m_moving) {
        MoveShared(lock);
    }
}

void VirtualClock::SetNow(uint64_t us) {
    if (us > NowUs()) {
        m_nowUs.store(us, std::memory_order_release);
    }
}

void VirtualClock::AdvanceTo(uint64_t us) {
    Lock lock(m_mutex);
    RunTimersUpTo(lock, us);
    SetNow(us);
    ++m_generation;
    m_moved.notify_all();
}

void VirtualClock::At(uint64_t us, std::function<void()> action) {
    Lock lock(m_mutex);
    if (us <= NowUs()) {
        lock.unlock();
        action();
        return;
    }
    m_timers.emplace(us, std::move(action));
}

bool VirtualClock::TimersPending() {
    Lock lock(m_mutex);
    return !m_timers.empty();
}

void VirtualClock::RunTimersUpTo(Lock& lock, uint64_t us) {
    while (!m_timers.empty() && m_timers.begin()->first <= us) {
        const auto first = m_timers.begin();
        SetNow(first->first);
        std::function<void()> action = std::move(first->second);
        m_timers.erase(first);
        // The action may take other locks (a backend's) that are held by threads which
        // then call the clock: it runs without the clock's lock, and no one else moves time
        // meanwhile.
        const bool wasMoving = m_moving;
        m_moving = true;
        lock.unlock();
        action();
        lock.lock();
        m_moving = wasMoving;
    }
}

void VirtualClock::MoveShared(Lock& lock) {
    uint64_t next = *m_targets.begin();
    if (!m_timers.empty()) {
        next = std::min(next, m_timers.begin()->first);
    }
    m_moving = true;
    RunTimersUpTo(lock, next);
    SetNow(next);
    m_moving = false;
    ++m_generation;
    m_moved.notify_all();
}

void VirtualClock::WaitUntil(uint64_t us) {
    Lock lock(m_mutex);
    if (NowUs() >= us) {
        return;
    }
    if (m_participants == 0) {
        uint64_t target = us;
        if (!m_timers.empty()) {
            target = std::min(target, m_timers.begin()->first);
        }
        RunTimersUpTo(lock, target);
        SetNow(target);
        ++m_generation;
        m_moved.notify_all();
        return;
    }
    m_targets.insert(us);
    ++m_waiting;
    const uint64_t seen = m_generation;
    if (m_waiting == m_participants && !m_moving) {
        MoveShared(lock);
    }
    m_moved.wait(lock, [&] { return m_generation != seen; });
    --m_waiting;
    m_targets.erase(m_targets.find(us));
}

}  // namespace quarnel::sim
