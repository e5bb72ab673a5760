// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <atomic>

namespace quarnel {

// A manual-reset event that ends a waiting transfer in failure. Set() may be called from
// any thread; the transfer that notices it resets it, so one Set() ends one wait.
// Backends look at it at least every few milliseconds while they wait.
class CancelEvent {
public:
    void Set() { m_signalled.store(true, std::memory_order_release); }
    void Reset() { m_signalled.store(false, std::memory_order_release); }
    bool IsSet() const { return m_signalled.load(std::memory_order_acquire); }

private:
    std::atomic<bool> m_signalled{false};
};

}  // namespace quarnel
