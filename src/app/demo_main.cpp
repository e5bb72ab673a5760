// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// quarnel-demo: the configuration tool on a simulated tracker, in real time.
//   quarnel-demo [--state FILE] [--transcript FILE] [--help]
// --state loads the tracker's configuration, log and faults from a state file;
// --transcript appends every report exchanged, one line each.
#include <cstdio>
#include <string>
#include <vector>

#include "app/demo_setup.h"
#include "app/quarnel_app.h"
#include "device/command_areas.h"
#include "device/device_link.h"
#include "sim/sim_backend.h"

int main(int argc, char** argv) {
    const std::optional<quarnel::DemoOptions> options =
        quarnel::ParseDemoOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options) {
        std::fprintf(stderr, "usage: %s [--state FILE] [--transcript FILE] (see --help)\n",
                     argv[0]);
        return 2;
    }
    if (options->help) {
        std::fputs(quarnel::DemoHelp().c_str(), stdout);
        return 0;
    }
    quarnel::DemoTracker demo;
    std::string error;
    if (!demo.SetUp(*options, error)) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return 1;
    }

    // Real time and full-speed USB frames, as a tracker on the desk would answer.
    quarnel::sim::SimBackend backend(nullptr, true);
    backend.AddTracker(demo.tracker);
    quarnel::CommandAreas areas;
    const quarnel::DeviceLink link{backend, backend.GetClock(), areas};

    // The options are ours alone; Qt gets the program name only.
    int qtArgc = 1;
    quarnel::CQuarnelApp app(qtArgc, argv, link);
    app.InitInstance();
    return 0;
}
