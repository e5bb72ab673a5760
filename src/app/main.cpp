// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Quarnel: the configuration tool on real trackers.
#include <memory>

#include "app/no_device_backend.h"
#include "app/quarnel_app.h"
#include "device/clock.h"
#include "device/command_areas.h"
#include "device/device_link.h"
#include "device/hidapi_backend.h"

int main(int argc, char** argv) {
    // The program takes no options: only the program name goes to Qt, so nothing on the
    // command line, Qt's own options included, changes what it does.
    static_cast<void>(argc);
    int qtArgc = 1;

    std::unique_ptr<quarnel::HidBackend> hidapi = quarnel::MakeHidapiBackend();
    quarnel::NoDeviceBackend noDevices;
    quarnel::SteadyClock clock;
    quarnel::CommandAreas areas;
    const quarnel::DeviceLink link{hidapi ? *hidapi : noDevices, clock, areas};

    quarnel::CQuarnelApp app(qtArgc, argv, link);
    app.InitInstance();
    return 0;
}
