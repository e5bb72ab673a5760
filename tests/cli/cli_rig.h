// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/quarnelctl.h"
#include "cli/tracker_side.h"
#include "device/hid_backend.h"
#include "sim/sim_backend.h"
#include "sim/sim_tracker.h"
#include "sim/virtual_clock.h"
#include "support/counting_backend.h"
#include "support/sim_fixture.h"

namespace quarnel::test {

// quarnelctl run in-process against one simulated tracker on a virtual clock (with the
// 1 ms frame model, as --demo runs it). The tracker keeps its state from run to run.
struct CliRig {
    explicit CliRig(sim::SimState state, bool withTracker = true)
        : tracker(std::move(state)), backend(&clock, true) {
        if (withTracker) {
            backend.AddTracker(tracker);
        }
    }

    struct Result {
        int status;
        std::string out;
        std::string err;
    };

    Result Run(std::vector<std::string> args) {
        std::ostringstream out;
        std::ostringstream err;
        cli::CliEnvironment env{out, err};
        env.errIsTerminal = terminal;
        env.openTracker = [this](const cli::GlobalOptions&, std::string&) {
            ++trackerSidesOpened;
            return std::make_unique<Side>(*this);
        };
        env.now = [this] { return now; };
        const int status = cli::RunQuarnelctl(args, env);
        return {status, out.str(), err.str()};
    }

    // The commands the host sent, payload bytes 0-61 each.
    std::vector<std::vector<uint8_t>> SentPayloads() { return test::SentPayloads(tracker); }

    sim::VirtualClock clock;
    sim::SimTracker tracker;
    sim::SimBackend backend;
    CountingBackend counting{backend};
    int trackerSidesOpened = 0;
    bool terminal = false;
    std::time_t now = 1717243200;  // 2024-06-01T12:00:00Z

private:
    class Side final : public cli::TrackerSide {
    public:
        explicit Side(CliRig& rig) : m_rig(rig) {}
        HidBackend& Backend() override { return m_rig.counting; }
        Clock& TimeSource() override { return m_rig.backend.GetClock(); }

    private:
        CliRig& m_rig;
    };
};

// A folder of its own for a test's files, removed with the object.
class Scratch {
public:
    Scratch() {
        static std::atomic<int> serial{0};
        m_path =
            std::filesystem::temp_directory_path() / ("quarnel-cli-" + std::to_string(::getpid()) +
                                                      "-" + std::to_string(serial.fetch_add(1)));
        std::filesystem::create_directories(m_path);
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    std::string File(const std::string& name) const { return (m_path / name).string(); }
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(File(name), std::ios::binary) << bytes;
        return File(name);
    }

private:
    std::filesystem::path m_path;
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A profile's text without the lines that hold the time of the read and the checksum
// (which covers that time).
inline std::string WithoutReadTime(std::string profile) {
    for (const char* key : {"\nread_at = ", "\nchecksum = "}) {
        const size_t at = profile.find(key);
        if (at != std::string::npos) {
            profile.erase(at, profile.find('\n', at + 1) - at);
        }
    }
    return profile;
}

}  // namespace quarnel::test
