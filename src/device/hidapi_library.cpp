// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "device/hidapi_library.h"

#include <hidapi.h>

namespace quarnel {

namespace {

// The library's state is process-wide, so its guard is too.
std::mutex& GlobalMutex() {
    static std::mutex mutex;
    return mutex;
}

int g_users = 0;
bool g_initialised = false;

}  // namespace

HidapiLibrary::HidapiLibrary() {
    std::lock_guard lock(GlobalMutex());
    if (g_users++ == 0) {
        g_initialised = hid_init() == 0;
    }
    m_ready = g_initialised;
}

HidapiLibrary::~HidapiLibrary() {
    std::lock_guard lock(GlobalMutex());
    if (--g_users == 0 && g_initialised) {
        hid_exit();
        g_initialised = false;
    }
}

std::unique_lock<std::mutex> HidapiLibrary::Lock() {
    return std::unique_lock<std::mutex>(GlobalMutex());
}

int HidapiLibrary::Users() {
    std::lock_guard lock(GlobalMutex());
    return g_users;
}

}  // namespace quarnel
