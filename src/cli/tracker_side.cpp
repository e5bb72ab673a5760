#include "cli/tracker_side.h"

#include "device/hidapi_backend.h"
#include "sim/sim_backend.h"
#include "sim/sim_tracker.h"
#include "sim/virtual_clock.h"

namespace quarnel::cli {

namespace {

class UsbSide final : public TrackerSide {
public:
    UsbSide() : m_backend(MakeHidapiBackend()) {}
    HidBackend& Backend() override { return *m_backend; }
    Clock& TimeSource() override { return m_clock; }

private:
    std::unique_ptr<HidBackend> m_backend;
    SteadyClock m_clock;
};

class SimSide final : public TrackerSide {
public:
    SimSide(sim::SimState state, std::optional<std::filesystem::path> saveTo)
        : m_tracker(std::move(state)), m_backend(&m_clock, true), m_saveTo(std::move(saveTo)) {
        m_backend.AddTracker(m_tracker);
    }
    HidBackend& Backend() override { return m_backend; }
    Clock& TimeSource() override { return m_backend.GetClock(); }
    bool Finish(std::string& error) override {
        if (!m_saveTo) {
            return true;
        }
        if (!sim::SaveSimState(*m_saveTo, m_tracker.State(), error)) {
            error = "cannot save the simulated tracker's state: " + error;
            return false;
        }
        return true;
    }

private:
    sim::VirtualClock m_clock;
    sim::SimTracker m_tracker;
    sim::SimBackend m_backend;
    std::optional<std::filesystem::path> m_saveTo;
};

}  // namespace

std::unique_ptr<TrackerSide> MakeUsbTrackerSide() {
    return std::make_unique<UsbSide>();
}

std::unique_ptr<TrackerSide> MakeSimTrackerSide(sim::SimState state,
                                                std::optional<std::filesystem::path> saveTo) {
    return std::make_unique<SimSide>(std::move(state), std::move(saveTo));
}

std::unique_ptr<TrackerSide> OpenTrackerSide(const GlobalOptions& options, std::string& error) {
    if (!options.Simulated()) {
        return MakeUsbTrackerSide();
    }
    sim::SimState state = sim::DemoState();
    if (options.stateFile) {
        state = sim::FactoryState();
        if (!sim::LoadSimState(*options.stateFile, state, error)) {
            error = "cannot load the simulated tracker's state: " + error;
            return nullptr;
        }
    }
    return MakeSimTrackerSide(std::move(state), options.saveStateFile);
}

}  // namespace quarnel::cli
