// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <mutex>

namespace quarnel {

// hidapi keeps process-wide state: hid_init() sets it up, hid_exit() tears it down, and
// enumeration and opening record their errors in one global string. Every user of hidapi
// holds a HidapiLibrary; the first one initialises the library, the last one releases it,
// and calls that touch the global state run under Lock().
class HidapiLibrary {
public:
    HidapiLibrary();
    ~HidapiLibrary();
    HidapiLibrary(const HidapiLibrary&) = delete;
    HidapiLibrary& operator=(const HidapiLibrary&) = delete;

    // False when hid_init() failed; hidapi then finds no devices.
    bool Ready() const { return m_ready; }

    // Serialises hid_enumerate, hid_free_enumeration, hid_open_path and hid_close.
    static std::unique_lock<std::mutex> Lock();

    // How many HidapiLibrary objects exist (for tests of the reference count).
    static int Users();

private:
    bool m_ready = false;
};

}  // namespace quarnel
