// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>

#include "device/clock.h"

namespace quarnel::sim {

// Time that passes only when the simulated tracker waits: a 2000 ms time-out costs
// nothing, and its exact bounds can be asserted. Microsecond resolution, so the 1 ms USB
// frames can be modelled on it too.
//
// Alone, a wait jumps time forward to its end. Several threads that talk to simulated
// trackers at once (one worker per tracker) share one timeline instead: each takes part
// (Participate), and time then moves only when every participant waits, to the earliest
// moment any of them waits for. So each tracker's exchange takes the same simulated time as
// when it runs alone, whatever the others do meanwhile, and a silent tracker's time-out
// neither hurries nor holds up the others.
//
// Timers (At) run at their own moment of simulated time, on the thread that moves time
// there: the plugging and unplugging of simulated trackers.
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(uint64_t startUs = 0) : m_nowUs(startUs) {}

    uint32_t TickMs() override { return static_cast<uint32_t>(NowUs() / 1000); }
    uint64_t NowUs() const { return m_nowUs.load(std::memory_order_acquire); }

    // Moves time forward to `us`, never backward, stopping at each timer on the way to run it.
    void AdvanceTo(uint64_t us);
    void Advance(uint64_t us) { AdvanceTo(NowUs() + us); }

    // Runs `action` when time reaches `us` (timers of the same moment in the order they were
    // set). It runs with no lock of the clock held, so it may use the clock.
    void At(uint64_t us, std::function<void()> action);
    // Whether a timer has still to run.
    bool TimersPending();

    // A thread's part in a shared timeline, from Participate() until it is destroyed.
    // Created by the thread that starts the participant, before it starts, so time cannot
    // move on before the new thread has had its say.
    class Participation {
    public:
        Participation() = default;
        explicit Participation(VirtualClock* clock) : m_clock(clock) {}
        Participation(Participation&& other) noexcept : m_clock(other.m_clock) {
            other.m_clock = nullptr;
        }
        Participation& operator=(Participation&& other) noexcept;
        ~Participation();

    private:
        VirtualClock* m_clock = nullptr;
    };
    Participation Participate();

    // Waits for time to reach `us`. Without participants it moves time there at once (only
    // as far as the next timer, which it runs). With participants, the caller must be one of
    // them: it waits until every participant waits, then time moves to the earliest moment
    // any of them (or a timer) waits for. It may return before `us` (time moved, or a timer
    // ran); the caller looks at what it waits for and waits again.
    void WaitUntil(uint64_t us);

private:
    using Lock = std::unique_lock<std::mutex>;

    void Leave();
    // Moves time to the earliest target or timer, runs the timers due, and wakes every
    // waiting participant. Called with every participant waiting.
    void MoveShared(Lock& lock);
    // Runs the timers due at or before `us` one by one, setting time to each one's moment.
    void RunTimersUpTo(Lock& lock, uint64_t us);
    void SetNow(uint64_t us);

    std::atomic<uint64_t> m_nowUs;
    std::mutex m_mutex;
    std::condition_variable m_moved;
    std::multimap<uint64_t, std::function<void()>> m_timers;
    int m_participants = 0;
    int m_waiting = 0;
    std::multiset<uint64_t> m_targets;  // what the waiting participants wait for
    uint64_t m_generation = 0;          // counts the moves of time (and timer runs)
    bool m_moving = false;              // a thread is running timers with the lock let go
};

}  // namespace quarnel::sim
