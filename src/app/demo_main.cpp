// quarnel-demo: the configuration tool on a simulated tracker, in real time.
//   quarnel-demo [--state FILE] [--transcript FILE]
// --state loads the tracker's configuration, log and faults from a state file;
// --transcript appends every report exchanged, one line each.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>

#include "app/quarnel_app.h"
#include "device/command_areas.h"
#include "device/device_link.h"
#include "sim/sim_backend.h"
#include "sim/sim_state.h"
#include "sim/sim_tracker.h"

namespace {

int Usage(const char* program) {
    std::fprintf(stderr, "usage: %s [--state FILE] [--transcript FILE]\n", program);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string statePath;
    std::string transcriptPath;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--state") == 0 && hasValue) {
            statePath = argv[++i];
        } else if (std::strcmp(argv[i], "--transcript") == 0 && hasValue) {
            transcriptPath = argv[++i];
        } else {
            return Usage(argv[0]);
        }
    }

    quarnel::sim::SimState state = quarnel::sim::DemoState();
    if (!statePath.empty()) {
        std::string error;
        if (!quarnel::sim::LoadSimState(statePath, state, error)) {
            std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
            return 1;
        }
    }
    quarnel::sim::SimTracker tracker(std::move(state));

    std::ofstream transcript;
    std::mutex transcriptMutex;
    if (!transcriptPath.empty()) {
        transcript.open(transcriptPath, std::ios::app);
        if (!transcript) {
            std::fprintf(stderr, "%s: cannot open %s\n", argv[0], transcriptPath.c_str());
            return 1;
        }
        tracker.SetTranscriptSink([&](const quarnel::sim::TranscriptEntry& entry) {
            std::lock_guard lock(transcriptMutex);
            transcript << quarnel::sim::TranscriptLine(entry) << '\n';
            transcript.flush();
        });
    }

    // Real time and full-speed USB frames, as a tracker on the desk would answer.
    quarnel::sim::SimBackend backend(nullptr, true);
    backend.AddTracker(tracker);
    quarnel::CommandAreas areas;
    const quarnel::DeviceLink link{backend, backend.GetClock(), areas};

    // The options are ours alone; Qt gets the program name only.
    int qtArgc = 1;
    quarnel::CQuarnelApp app(qtArgc, argv, link);
    app.InitInstance();
    tracker.SetTranscriptSink(nullptr);
    return 0;
}
