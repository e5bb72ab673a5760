// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "device/clock.h"
#include "device/command_areas.h"
#include "device/hid_backend.h"

namespace quarnel {

// What a command needs to talk to a tracker: the HID backend, the clock that reply
// matching measures time with, and the shared areas. The program has one of each; tests
// hand in the simulated tracker and its virtual clock.
struct DeviceLink {
    HidBackend& backend;
    Clock& clock;
    CommandAreas& areas;
};

}  // namespace quarnel
