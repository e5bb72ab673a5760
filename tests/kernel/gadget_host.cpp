// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "kernel/gadget_host.h"

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "gadget/device_node.h"

namespace quarnel::test {

namespace {

using SteadyTime = std::chrono::steady_clock;

// The hidraw node needs 1.5 to 2 s after the bind under software emulation; this is only
// the bound past which the gadget counts as broken.
constexpr auto kNodeWait = std::chrono::seconds(20);

template <typename Done>
bool WaitFor(Done done, SteadyTime::duration limit) {
    const auto deadline = SteadyTime::now() + limit;
    while (!done()) {
        if (SteadyTime::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::string SerialOf(const std::filesystem::path& hidraw) {
    std::ifstream uevent(hidraw / "device" / "uevent");
    std::string line;
    while (std::getline(uevent, line)) {
        if (line.rfind("HID_UNIQ=", 0) == 0) {
            return line.substr(9);
        }
    }
    return {};
}

}  // namespace

const char* GadgetHost::SkipReason() {
    std::error_code error;
    if (!std::filesystem::is_directory("/sys/kernel/config/usb_gadget", error)) {
        return "no USB gadget support in configfs here: these tests run in the machine "
               "scripts/kernel-test.sh boots";
    }
    if (!std::filesystem::exists("/sys/class/udc/dummy_udc.0", error)) {
        return "no dummy_hcd device controller here: these tests run in the machine "
               "scripts/kernel-test.sh boots";
    }
    if (::geteuid() != 0) {
        return "building a USB gadget needs root";
    }
    return nullptr;
}

std::string HidrawNodeOfSerial(const std::string& serial) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/sys/class/hidraw", error)) {
        if (SerialOf(entry.path()) == serial &&
            std::filesystem::exists("/dev" / entry.path().filename(), error)) {
            return ("/dev" / entry.path().filename()).string();
        }
    }
    return {};
}

GadgetHost::GadgetHost(sim::SimTracker& tracker, std::string udc)
    : m_tracker(tracker), m_udc(std::move(udc)), m_gadget(m_tree, [this] {
          gadget::GadgetSettings settings;
          settings.name = "quarnel-test-" + m_udc;
          settings.serialNumber = m_udc;
          return settings;
      }()) {}

GadgetHost::~GadgetHost() {
    StopServing();
    m_gadget.Remove();
}

bool GadgetHost::Plug(std::string& error) {
    if (Plugged()) {
        return true;
    }
    if (!m_created) {
        if (!m_gadget.Create(error)) {
            return false;
        }
        m_created = true;
    }
    const auto bound = SteadyTime::now();
    {
        std::lock_guard lock(m_gadgetMutex);
        if (!m_gadget.Bind(m_udc, error)) {
            return false;
        }
    }
    unsigned major = 0;
    unsigned minor = 0;
    if (!m_gadget.DeviceNumber(major, minor, error)) {
        return false;
    }
    std::optional<std::filesystem::path> hidg;
    if (!WaitFor([&] { return (hidg = gadget::FindDeviceNode("/dev", "hidg", major, minor)); },
                 kNodeWait)) {
        error = "no /dev/hidg node appeared";
        return false;
    }
    m_fd = ::open(hidg->c_str(), O_RDWR | O_CLOEXEC);
    if (m_fd < 0) {
        error = "cannot open " + hidg->string();
        return false;
    }
    m_loop = std::make_unique<gadget::ReportLoop>(m_tracker, m_fd);
    m_loopThread = std::thread([this, loop = m_loop.get()] {
        // The tracker's state says it is unplugged now: so the host sees it, as it sees
        // quarnel-usb-tracker's.
        if (loop->Run() == gadget::ReportLoop::End::Unplugged) {
            std::lock_guard lock(m_gadgetMutex);
            std::string ignored;
            m_gadget.Unbind(ignored);
        }
    });
    if (!WaitFor([&] { return !(m_hidraw = HidrawNodeOfSerial(m_udc)).empty(); }, kNodeWait)) {
        error = "the host showed no hidraw node for the gadget on " + m_udc;
        return false;
    }
    m_nodeDelay = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyTime::now() - bound);
    return true;
}

bool GadgetHost::Unplug(std::string& error) {
    {
        std::lock_guard lock(m_gadgetMutex);
        if (!m_gadget.Unbind(error)) {
            return false;
        }
    }
    StopServing();
    const std::string node = m_hidraw;
    m_hidraw.clear();
    std::error_code ignored;
    if (!WaitFor([&] { return !std::filesystem::exists(node, ignored); }, kNodeWait)) {
        error = node + " is still there after the unplug";
        return false;
    }
    return true;
}

void GadgetHost::StopServing() {
    if (m_loopThread.joinable()) {
        m_loop->Stop();
        m_loopThread.join();
    }
    m_loop.reset();
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

}  // namespace quarnel::test
