// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/tracker_side.h"

#include <chrono>
#include <thread>

#include "device/hidapi_backend.h"

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

// A simulated fleet, owned or not.
class SimSide final : public TrackerSide {
public:
    SimSide(std::unique_ptr<sim::SimFleet> owned, sim::SimFleet& fleet,
            std::optional<std::filesystem::path> saveTo)
        : m_owned(std::move(owned)), m_fleet(fleet), m_saveTo(std::move(saveTo)) {}

    HidBackend& Backend() override { return m_fleet.Backend(); }
    Clock& TimeSource() override { return m_fleet.GetClock(); }

    bool Finish(std::string& error) override {
        if (!m_saveTo) {
            return true;
        }
        if (!sim::SaveSimFleet(*m_saveTo, m_fleet.Current(), error)) {
            error = "cannot save the simulated tracker's state: " + error;
            return false;
        }
        return true;
    }

    std::unique_ptr<TimeShare> TakePart() override {
        if (m_fleet.Virtual() == nullptr) {
            return nullptr;
        }
        return std::make_unique<Share>(m_fleet.Virtual()->Participate());
    }

    void Pause(uint32_t ms) override {
        sim::VirtualClock* clock = m_fleet.Virtual();
        if (clock == nullptr) {
            TrackerSide::Pause(ms);
            return;
        }
        const uint64_t until = clock->NowUs() + uint64_t{ms} * 1000;
        while (clock->NowUs() < until) {
            clock->WaitUntil(until);
        }
    }

    bool MorePlugEvents() override { return m_fleet.PlugEventsPending(); }

private:
    class Share final : public TimeShare {
    public:
        explicit Share(sim::VirtualClock::Participation part) : m_part(std::move(part)) {}

    private:
        sim::VirtualClock::Participation m_part;
    };

    std::unique_ptr<sim::SimFleet> m_owned;
    sim::SimFleet& m_fleet;
    std::optional<std::filesystem::path> m_saveTo;
};

std::unique_ptr<TrackerSide> OwnedSimSide(sim::FleetSetup fleet,
                                          std::optional<std::filesystem::path> saveTo) {
    auto owned = std::make_unique<sim::SimFleet>(std::move(fleet));
    sim::SimFleet& ref = *owned;
    return std::make_unique<SimSide>(std::move(owned), ref, std::move(saveTo));
}

}  // namespace

void TrackerSide::Pause(uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::unique_ptr<TrackerSide> MakeUsbTrackerSide() {
    return std::make_unique<UsbSide>();
}

std::unique_ptr<TrackerSide> MakeSimTrackerSide(sim::FleetSetup fleet,
                                                std::optional<std::filesystem::path> saveTo) {
    return OwnedSimSide(std::move(fleet), std::move(saveTo));
}

std::unique_ptr<TrackerSide> MakeSimTrackerSide(sim::SimState state,
                                                std::optional<std::filesystem::path> saveTo) {
    sim::FleetSetup one;
    one.trackers.push_back(sim::FleetTracker{sim::FleetPath(0), std::move(state), {}});
    one.singleTracker = true;
    return OwnedSimSide(std::move(one), std::move(saveTo));
}

std::unique_ptr<TrackerSide> MakeSimFleetView(sim::SimFleet& fleet) {
    return std::make_unique<SimSide>(nullptr, fleet, std::nullopt);
}

std::unique_ptr<TrackerSide> OpenTrackerSide(const GlobalOptions& options, std::string& error) {
    if (!options.Simulated()) {
        return MakeUsbTrackerSide();
    }
    if (options.stateFile) {
        sim::FleetSetup fleet;
        if (!sim::LoadSimFleet(*options.stateFile, fleet, error)) {
            error = "cannot load the simulated tracker's state: " + error;
            return nullptr;
        }
        return MakeSimTrackerSide(std::move(fleet), options.saveStateFile);
    }
    if (options.demoTrackers <= 1 && !options.demoInTurn) {
        return MakeSimTrackerSide(sim::DemoState(), options.saveStateFile);
    }
    return MakeSimTrackerSide(sim::DemoFleet(options.demoTrackers, options.demoInTurn),
                              options.saveStateFile);
}

}  // namespace quarnel::cli
