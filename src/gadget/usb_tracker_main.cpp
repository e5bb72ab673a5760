// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// quarnel-usb-tracker: the simulated tracker as a real USB HID device, through the Linux
// USB gadget framework. See docs/usb-tracker.md.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "gadget/config_tree.h"
#include "gadget/device_controllers.h"
#include "gadget/device_node.h"
#include "gadget/report_loop.h"
#include "gadget/tracker_gadget.h"
#include "gadget/usb_tracker_options.h"
#include "sim/sim_state.h"
#include "sim/sim_tracker.h"

namespace {

using namespace quarnel;

constexpr int kStatusStopped = 0;
constexpr int kStatusFailed = 1;
constexpr int kStatusUsage = 2;
constexpr int kStatusNoGadget = 3;
constexpr int kStatusFile = 4;

// The node appears once the kernel has bound the function; give a slow machine time.
constexpr auto kNodeWait = std::chrono::seconds(10);

std::atomic<bool> g_stop{false};
std::atomic<gadget::ReportLoop*> g_loop{nullptr};

extern "C" void OnStopSignal(int) {
    g_stop = true;
    if (gadget::ReportLoop* loop = g_loop.load()) {
        loop->Stop();
    }
}

void CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "quarnel-usb-tracker: %s\n", message.c_str());
    return status;
}

// Sleeps in short steps until `done` holds, the time is up or a stop signal came.
template <typename Done>
bool WaitFor(Done done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (g_stop || std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// Serves `tracker` until a stop signal; the gadget is removed by the caller.
int Serve(sim::SimTracker& tracker, gadget::TrackerGadget& usb, const std::string& udc) {
    std::string error;
    if (!usb.Bind(udc, error)) {
        return Fail(kStatusNoGadget, error);
    }
    unsigned major = 0;
    unsigned minor = 0;
    if (!usb.DeviceNumber(major, minor, error)) {
        return Fail(kStatusFailed, error);
    }
    std::optional<std::filesystem::path> node;
    if (!WaitFor([&] { return (node = gadget::FindDeviceNode("/dev", "hidg", major, minor)); },
                 kNodeWait)) {
        return g_stop ? kStatusStopped
                      : Fail(kStatusFailed, "no /dev/hidg node for the HID function (" +
                                                std::to_string(major) + ":" +
                                                std::to_string(minor) + ") appeared");
    }
    const int fd = ::open(node->c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return Fail(kStatusFailed, "cannot open " + node->string());
    }
    std::printf(
        "quarnel-usb-tracker: serving the simulated tracker (051a:511b) on %s through "
        "%s; Ctrl+C ends\n",
        node->c_str(), udc.c_str());
    std::fflush(stdout);

    gadget::ReportLoop loop(tracker, fd);
    g_loop = &loop;
    if (g_stop) {
        loop.Stop();  // a signal that came before the loop was there
    }
    const gadget::ReportLoop::End end = loop.Run();
    int status = kStatusStopped;
    if (end == gadget::ReportLoop::End::Unplugged) {
        // The state says the tracker is gone: the host sees it unplugged, and it stays so
        // until the program is stopped.
        usb.Unbind(error);
        std::printf("quarnel-usb-tracker: unplugged after %llu commands\n",
                    static_cast<unsigned long long>(loop.ReportsTaken()));
        std::fflush(stdout);
        WaitFor([] { return false; }, std::chrono::hours(24 * 365));
    } else if (end == gadget::ReportLoop::End::Failed) {
        status = Fail(kStatusFailed, loop.FailureReason());
    }
    g_loop = nullptr;
    ::close(fd);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto options =
        gadget::ParseUsbTrackerOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "quarnel-usb-tracker: %s\n\n%s", error.c_str(),
                     gadget::UsbTrackerHelp().c_str());
        return kStatusUsage;
    }
    if (options->help) {
        std::fputs(gadget::UsbTrackerHelp().c_str(), stdout);
        return kStatusStopped;
    }
    CatchStopSignals();

    sim::SimTracker tracker(sim::DemoState());
    if (!options->statePath.empty()) {
        sim::SimState state;
        if (!sim::LoadSimState(options->statePath, state, error)) {
            return Fail(kStatusFile, error);
        }
        tracker.SetState(std::move(state));
    }
    std::ofstream transcript;
    std::mutex transcriptMutex;
    if (!options->transcriptPath.empty()) {
        transcript.open(options->transcriptPath, std::ios::app);
        if (!transcript) {
            return Fail(kStatusFile, "cannot open " + options->transcriptPath);
        }
        tracker.SetTranscriptSink([&](const sim::TranscriptEntry& entry) {
            std::lock_guard lock(transcriptMutex);
            transcript << sim::TranscriptLine(entry) << '\n';
            transcript.flush();
        });
    }

    gadget::SystemConfigTree tree;
    const std::optional<std::string> udc =
        gadget::ChooseController(gadget::DeviceControllers(tree), options->udc, error);
    if (!udc) {
        return Fail(kStatusNoGadget, error);
    }
    gadget::GadgetSettings settings;
    settings.name = "quarnel-" + *udc;
    settings.serialNumber = *udc;
    int status = kStatusStopped;
    {
        gadget::TrackerGadget usb(tree, settings);
        if (!usb.Create(error)) {
            return Fail(kStatusNoGadget, error);
        }
        status = Serve(tracker, usb, *udc);
        usb.Remove();
    }
    tracker.SetTranscriptSink(nullptr);
    if (!options->saveStatePath.empty() &&
        !sim::SaveSimState(options->saveStatePath, tracker.State(), error)) {
        return Fail(kStatusFile, error);
    }
    return status;
}
