// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "gadget/config_tree.h"
#include "gadget/report_loop.h"
#include "gadget/tracker_gadget.h"
#include "sim/sim_tracker.h"

namespace quarnel::test {

// A simulated tracker served as a USB gadget from this process, on one of the machine's
// device controllers, and seen back through the kernel's usbhid and hidraw drivers: the
// real USB stack, in the machine scripts/kernel-test.sh boots.
class GadgetHost {
public:
    // Why these tests cannot run here (no configfs gadget support, no dummy_hcd
    // controller, not root), or nullptr.
    static const char* SkipReason();

    GadgetHost(sim::SimTracker& tracker, std::string udc = "dummy_udc.0");
    ~GadgetHost();  // stops serving and removes the gadget
    GadgetHost(const GadgetHost&) = delete;
    GadgetHost& operator=(const GadgetHost&) = delete;

    // Builds the gadget (the first time), binds it, serves the tracker, and waits until the
    // host's hidraw node for it is there. False, with the reason, when it is not.
    bool Plug(std::string& error);
    // Unbinds the gadget (the cable pulled out) and stops serving; waits until the hidraw
    // node is gone. A tracker whose state unplugs it after N commands is unbound by the
    // serving thread itself.
    bool Unplug(std::string& error);
    bool Plugged() const { return m_loopThread.joinable(); }

    // The host's node for this tracker (/dev/hidrawN) while plugged in.
    const std::string& HidrawNode() const { return m_hidraw; }
    // How long the last Plug waited from the bind until the hidraw node was there.
    std::chrono::milliseconds NodeDelay() const { return m_nodeDelay; }
    const std::string& Controller() const { return m_udc; }
    gadget::ReportLoop* Loop() { return m_loop.get(); }

private:
    void StopServing();

    sim::SimTracker& m_tracker;
    std::string m_udc;
    gadget::SystemConfigTree m_tree;
    gadget::TrackerGadget m_gadget;
    std::mutex m_gadgetMutex;  // the serving thread unbinds when the tracker unplugs itself
    bool m_created = false;
    int m_fd = -1;
    std::unique_ptr<gadget::ReportLoop> m_loop;
    std::thread m_loopThread;
    std::string m_hidraw;
    std::chrono::milliseconds m_nodeDelay{0};
};

// The hidraw node whose HID device has the serial number (uniq) `serial`, if any now.
std::string HidrawNodeOfSerial(const std::string& serial);

}  // namespace quarnel::test
