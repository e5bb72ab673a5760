// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "device/hidraw_bed.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <umockdev.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "sim/report_descriptor.h"

namespace quarnel::test {

namespace {

constexpr auto& kReportDescriptor = sim::kTrackerReportDescriptor;

std::string Hex(const uint8_t* bytes, size_t n) {
    std::string out;
    char two[3];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(two, sizeof two, "%02X", bytes[i]);
        out += two;
    }
    return out;
}

std::string Format(const char* format, unsigned a, unsigned b = 0, unsigned c = 0) {
    char text[256];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

using SteadyTime = std::chrono::steady_clock;

// A whole input report with its report-ID byte, as the descriptor gives its length.
constexpr size_t kReportBytes = 65;
// hidraw's ring of reports per open handle holds 64 slots, one of which stays free.
constexpr size_t kHandleQueue = 63;

}  // namespace

struct HidrawBed::Testbed {
    UMockdevTestbed* bed = umockdev_testbed_new();
    ~Testbed() { g_object_unref(bed); }
};

class HidrawBed::Node {
public:
    Node(UMockdevTestbed* bed, std::string node, std::string sysPath, uint16_t vendorId,
         uint16_t productId, HidrawResponder responder, HidrawSentHook sent)
        : m_bed(bed),
          m_node(std::move(node)),
          m_sysPath(std::move(sysPath)),
          m_vendorId(vendorId),
          m_productId(productId),
          m_responder(std::move(responder)),
          m_sent(std::move(sent)) {
        m_master = umockdev_testbed_get_dev_fd(bed, m_node.c_str());
        if (m_master < 0) {
            throw std::runtime_error("no pty behind " + m_node);
        }
        // Our own opening of the pty's far end: the one the device's reads drain the
        // doorbell bytes from. Its path is outside the testbed, so umockdev leaves it alone.
        char far[128];
        if (ptsname_r(m_master, far, sizeof far) != 0) {
            throw std::runtime_error("no pty name for " + m_node);
        }
        m_far = far;
        m_drain = open(far, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_drain < 0) {
            throw std::runtime_error("cannot open the pty of " + m_node);
        }
        m_handler = umockdev_ioctl_base_new();
        g_signal_connect(m_handler, "handle-ioctl", G_CALLBACK(&Node::OnIoctl), this);
        g_signal_connect(m_handler, "handle-read", G_CALLBACK(&Node::OnRead), this);
        g_signal_connect(m_handler, "handle-write", G_CALLBACK(&Node::OnWrite), this);
        // Each open handle is a client of its own, with its own queue of input reports.
        g_signal_connect(m_handler, "client-connected", G_CALLBACK(&Node::OnConnected), this);
        g_signal_connect(m_handler, "client-vanished", G_CALLBACK(&Node::OnVanished), this);
        GError* error = nullptr;
        if (!umockdev_testbed_attach_ioctl(bed, m_node.c_str(), m_handler, &error)) {
            const std::string why = error ? error->message : "?";
            g_clear_error(&error);
            throw std::runtime_error("cannot attach to " + m_node + ": " + why);
        }
        m_delivery = std::thread([this] { Deliver(); });
    }

    ~Node() {
        ReleaseStuckWrites();
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        m_delivery.join();
        umockdev_testbed_detach_ioctl(m_bed, m_node.c_str(), nullptr);
        g_signal_handlers_disconnect_by_data(m_handler, this);
        g_object_unref(m_handler);
        close(m_drain);
    }

    const std::string& Path() const { return m_node; }
    const std::string& SysPath() const { return m_sysPath; }
    bool Unplugged() const {
        std::lock_guard lock(m_mutex);
        return m_unplugged;
    }

    // From now on the handles fail as the kernel's do once the device is gone: poll()
    // reports a hang-up (the pty's master side is closed), read() fails with EIO and
    // write() with ENODEV; nothing more is delivered.
    void Unplug() {
        {
            std::lock_guard lock(m_mutex);
            m_unplugged = true;
            m_pending.clear();
            m_queues.clear();
            // The master's descriptor belongs to the testbed, which closes it later: it is
            // pointed at /dev/null rather than closed, which hangs the pty up all the same.
            const int nothing = ::open("/dev/null", O_RDWR | O_CLOEXEC);
            if (nothing >= 0) {
                ::dup2(nothing, m_master);
                ::close(nothing);
            }
        }
        ReleaseStuckWrites();
    }

    void ReleaseStuckWrites() {
        std::vector<UMockdevIoctlClient*> stuck;
        {
            std::lock_guard lock(m_mutex);
            stuck.swap(m_stuck);
        }
        for (UMockdevIoctlClient* client : stuck) {
            umockdev_ioctl_client_complete(client, -1, EIO);
            g_object_unref(client);
        }
    }

    // The host's handles on the node are its file descriptors on the pty's far end, less
    // our own. (umockdev does not report a client going away, so count them directly.)
    int OpenClients() const {
        int count = 0;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
            std::error_code linkError;
            if (std::filesystem::read_symlink(entry.path(), linkError) == m_far) {
                ++count;
            }
        }
        return count - 1;
    }
    bool WaitForOpenClients(int count, uint32_t timeoutMs) const {
        const auto deadline = SteadyTime::now() + std::chrono::milliseconds(timeoutMs);
        while (OpenClients() != count) {
            if (SteadyTime::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }
    size_t WritesReceived() const {
        std::lock_guard lock(m_mutex);
        return m_writes;
    }
    size_t StuckWrites() const {
        std::lock_guard lock(m_mutex);
        return m_stuck.size();
    }

private:
    struct Pending {
        SteadyTime::time_point due;
        std::vector<uint8_t> report;
    };

    static gboolean OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
        auto* node = static_cast<Node*>(self);
        UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
        GError* error = nullptr;
        const unsigned long request = umockdev_ioctl_client_get_request(client);
        if (request == HIDIOCGRDESCSIZE) {
            UMockdevIoctlData* size = umockdev_ioctl_data_resolve(arg, 0, sizeof(int), &error);
            if (size != nullptr) {
                const int value = static_cast<int>(kReportDescriptor.size());
                std::memcpy(size->data, &value, sizeof value);
                umockdev_ioctl_client_complete(client, 0, 0);
                return TRUE;
            }
        } else if (request == HIDIOCGRDESC) {
            UMockdevIoctlData* data =
                umockdev_ioctl_data_resolve(arg, 0, sizeof(hidraw_report_descriptor), &error);
            if (data != nullptr) {
                auto* descriptor = reinterpret_cast<hidraw_report_descriptor*>(data->data);
                descriptor->size = kReportDescriptor.size();
                std::memcpy(descriptor->value, kReportDescriptor.data(), kReportDescriptor.size());
                umockdev_ioctl_client_complete(client, 0, 0);
                return TRUE;
            }
        } else if (request == HIDIOCGRAWINFO) {
            UMockdevIoctlData* data =
                umockdev_ioctl_data_resolve(arg, 0, sizeof(hidraw_devinfo), &error);
            if (data != nullptr) {
                auto* info = reinterpret_cast<hidraw_devinfo*>(data->data);
                info->bustype = 3;  // BUS_USB
                info->vendor = static_cast<int16_t>(node->m_vendorId);
                info->product = static_cast<int16_t>(node->m_productId);
                umockdev_ioctl_client_complete(client, 0, 0);
                return TRUE;
            }
        }
        g_clear_error(&error);
        umockdev_ioctl_client_complete(client, -1, ENOTTY);
        return TRUE;
    }

    static gboolean OnWrite(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
        auto* node = static_cast<Node*>(self);
        if (node->Unplugged()) {
            umockdev_ioctl_client_complete(client, -1, ENODEV);
            return TRUE;
        }
        UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
        const size_t size = static_cast<size_t>(std::max(arg->data_len, 0));
        HidrawAnswer answer = node->m_responder(arg->data, size);
        std::unique_lock lock(node->m_mutex);
        ++node->m_writes;
        if (!answer.accepted) {
            // Never completed here: the writer stays blocked in write() as on a wedged
            // device, until ReleaseStuckWrites.
            node->m_stuck.push_back(static_cast<UMockdevIoctlClient*>(g_object_ref(client)));
            return TRUE;
        }
        const auto now = SteadyTime::now();
        for (HidrawAnswer::Emission& emission : answer.reports) {
            Pending pending{now + std::chrono::milliseconds(emission.delayMs),
                            std::move(emission.report)};
            // Reports keep their order among equal due times.
            auto at = std::upper_bound(
                node->m_pending.begin(), node->m_pending.end(), pending.due,
                [](SteadyTime::time_point due, const Pending& p) { return due < p.due; });
            node->m_pending.insert(at, std::move(pending));
        }
        // The delivery thread hands them out: it may have to wait for a handle opened just
        // now, whose connection this thread has not taken yet.
        lock.unlock();
        node->m_changed.notify_all();
        umockdev_ioctl_client_complete(client, static_cast<glong>(size), 0);
        return TRUE;
    }

    static gboolean OnRead(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
        auto* node = static_cast<Node*>(self);
        UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
        std::vector<uint8_t> report;
        {
            std::lock_guard lock(node->m_mutex);
            if (node->m_unplugged) {
                umockdev_ioctl_client_complete(client, -1, EIO);
                return TRUE;
            }
            auto queue = node->m_queues.find(client);
            if (queue == node->m_queues.end() || queue->second.empty()) {
                umockdev_ioctl_client_complete(client, -1, EAGAIN);
                return TRUE;
            }
            report = std::move(queue->second.front());
            queue->second.pop_front();
            node->RingLocked();
        }
        const size_t n = std::min(report.size(), static_cast<size_t>(std::max(arg->data_len, 0)));
        std::memcpy(arg->data, report.data(), n);
        umockdev_ioctl_client_complete(client, static_cast<glong>(n), 0);
        return TRUE;
    }

    static void OnConnected(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
        auto* node = static_cast<Node*>(self);
        std::lock_guard lock(node->m_mutex);
        // A new handle starts with an empty queue. (umockdev may reuse the address of a
        // client whose going it never told of: that one's reports are not this one's.)
        node->m_queues.insert_or_assign(client, std::deque<std::vector<uint8_t>>{});
        node->RingLocked();
    }

    static void OnVanished(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
        auto* node = static_cast<Node*>(self);
        std::lock_guard lock(node->m_mutex);
        node->m_queues.erase(client);
        node->RingLocked();
    }

    // umockdev tells of a handle's connection on its own thread, some time after open()
    // has returned. A report due now waits (briefly) until every open handle is known, so
    // that a handle opened before the report came gets its copy, as from the kernel.
    void AwaitConnectionsLocked(std::unique_lock<std::mutex>& lock) {
        const auto limit = SteadyTime::now() + std::chrono::milliseconds(200);
        while (!m_pending.empty() && m_pending.front().due <= SteadyTime::now() &&
               SteadyTime::now() < limit) {
            const size_t known = m_queues.size();
            lock.unlock();
            // (A handle closed just now may still be known: that is no reason to wait.)
            const bool allKnown = OpenClients() <= static_cast<int>(known);
            if (!allKnown) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            lock.lock();
            if (allKnown) {
                return;
            }
        }
    }

    // All handles share the one pty, so its doorbell bytes can only say whether some
    // handle has a report waiting: there are as many as the longest queue holds. A handle
    // with an empty queue may then wake from poll() while another's queue is full; its
    // read() says EAGAIN, which hidapi counts as nothing read.
    void RingLocked() {
        size_t wanted = 0;
        for (const auto& [client, queue] : m_queues) {
            wanted = std::max(wanted, queue.size());
        }
        char doorbell = 1;
        for (; m_rung < wanted; ++m_rung) {
            if (write(m_master, &doorbell, 1) != 1) {
                std::fprintf(stderr, "%s: cannot ring\n", m_node.c_str());
                break;
            }
        }
        for (; m_rung > wanted; --m_rung) {
            if (read(m_drain, &doorbell, 1) != 1) {
                std::fprintf(stderr, "%s: doorbell missing\n", m_node.c_str());
                break;
            }
        }
    }

    // Hands the reports that are due to every open handle, as the kernel's hidraw does.
    void DeliverDueLocked(std::unique_lock<std::mutex>&) {
        const auto now = SteadyTime::now();
        while (!m_pending.empty() && m_pending.front().due <= now) {
            std::vector<uint8_t> report = std::move(m_pending.front().report);
            m_pending.pop_front();
            if (m_sent) {
                m_sent(report);
            }
            // The HID core drops an input report shorter than the descriptor says ("Event
            // data for report 0 was too short"): no handle sees it.
            if (report.size() < kReportBytes) {
                continue;
            }
            for (auto& [client, queue] : m_queues) {
                // hidraw hands unnumbered reports over without their report-ID byte, and a
                // handle's queue that is full takes no more: the newer reports are lost.
                if (queue.size() < kHandleQueue) {
                    queue.emplace_back(report.begin() + 1, report.end());
                }
            }
        }
        RingLocked();
    }

    void Deliver() {
        std::unique_lock lock(m_mutex);
        while (!m_stop) {
            AwaitConnectionsLocked(lock);
            DeliverDueLocked(lock);
            if (m_pending.empty()) {
                m_changed.wait(lock);
            } else {
                m_changed.wait_until(lock, m_pending.front().due);
            }
        }
    }

    UMockdevTestbed* m_bed;
    std::string m_node;
    std::string m_sysPath;  // the USB device's, which takes its interface and nodes along
    uint16_t m_vendorId;
    uint16_t m_productId;
    HidrawResponder m_responder;
    HidrawSentHook m_sent;
    int m_master = -1;
    int m_drain = -1;
    std::filesystem::path m_far;  // the pty's far end, which the host's handles open
    UMockdevIoctlBase* m_handler = nullptr;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::deque<Pending> m_pending;                                              // by due time
    std::map<UMockdevIoctlClient*, std::deque<std::vector<uint8_t>>> m_queues;  // per handle
    size_t m_rung = 0;  // doorbell bytes in the pty
    bool m_unplugged = false;
    std::vector<UMockdevIoctlClient*> m_stuck;  // writes never completed
    size_t m_writes = 0;
    bool m_stop = false;
    std::thread m_delivery;
};

HidrawBed::HidrawBed() : m_testbed(std::make_unique<Testbed>()) {}

HidrawBed::~HidrawBed() {
    for (auto& node : m_nodes) {
        node->ReleaseStuckWrites();
    }
    // A writer released just now closes its handle on its own thread; give it the moment
    // it needs so no handle outlives the testbed.
    for (auto& node : m_nodes) {
        // (The handles of an unplugged node point at a pty that is gone: nothing to count.)
        if (!node->Unplugged()) {
            node->WaitForOpenClients(0, 2000);
        }
    }
    m_nodes.clear();
}

bool HidrawBed::InMockEnvironment() const {
    return umockdev_in_mock_environment();
}

std::string HidrawBed::AddDevice(uint16_t vendorId, uint16_t productId, HidrawResponder responder,
                                 HidrawSentHook sent) {
    const unsigned number = static_cast<unsigned>(m_nodes.size());
    const std::string usb = Format("/devices/pci0000:00/0000:00:14.0/usb1/1-%u", number + 1);
    const std::string interface = usb + ":1.0";
    const std::string hid =
        interface + Format("/0003:%04X:%04X.%04X", vendorId, productId, number + 1);
    const std::string hidraw = hid + Format("/hidraw/hidraw%u", number);
    const std::string description =
        "P: " + usb + "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\n" +
        Format("A: idVendor=%04x\nA: idProduct=%04x\n", vendorId, productId) +
        "A: manufacturer=Trelvin\nA: product=GPS Tracker\n" + Format("A: serial=T%04u\n", number) +
        Format("A: busnum=1\nA: devnum=%u\n\n", number + 2) + "P: " + interface +
        "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\n" + "A: bInterfaceNumber=00\n\n" +
        "P: " + hid + "\nE: SUBSYSTEM=hid\n" +
        Format("E: HID_ID=0003:%08X:%08X\n", vendorId, productId) +
        "E: HID_NAME=Trelvin GPS Tracker\n" + Format("E: HID_UNIQ=T%04u\n", number) +
        "H: report_descriptor=" + Hex(kReportDescriptor.data(), kReportDescriptor.size()) + "\n\n" +
        "P: " + hidraw + "\nE: SUBSYSTEM=hidraw\n" + Format("E: DEVNAME=/dev/hidraw%u\n", number) +
        Format("N: hidraw%u\n", number);
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(m_testbed->bed, description.c_str(), &error)) {
        const std::string why = error ? error->message : "?";
        g_clear_error(&error);
        throw std::runtime_error("cannot add a device: " + why);
    }
    // The report descriptor is read through the node's "device" link to its HID parent.
    umockdev_testbed_set_attribute_link(m_testbed->bed, ("/sys" + hidraw).c_str(), "device",
                                        "../..");
    const std::string node = Format("/dev/hidraw%u", number);
    m_nodes.push_back(std::make_unique<Node>(m_testbed->bed, node, "/sys" + usb, vendorId,
                                             productId, std::move(responder), std::move(sent)));
    return node;
}

HidrawBed::Node& HidrawBed::Find(const std::string& node) const {
    for (const auto& n : m_nodes) {
        if (n->Path() == node) {
            return *n;
        }
    }
    throw std::invalid_argument("no node " + node);
}

bool HidrawBed::Unplug(const std::string& node, std::string& error) {
    for (const auto& n : m_nodes) {
        if (n->Path() == node) {
            n->Unplug();
            umockdev_testbed_remove_device(m_testbed->bed, n->SysPath().c_str());
            return true;
        }
    }
    error = "no node " + node;
    return false;
}

void HidrawBed::ReleaseStuckWrites() {
    for (auto& node : m_nodes) {
        node->ReleaseStuckWrites();
    }
}
int HidrawBed::OpenClients(const std::string& node) const {
    return Find(node).OpenClients();
}
bool HidrawBed::WaitForOpenClients(const std::string& node, int count, uint32_t timeoutMs) const {
    return Find(node).WaitForOpenClients(count, timeoutMs);
}
size_t HidrawBed::WritesReceived(const std::string& node) const {
    return Find(node).WritesReceived();
}
size_t HidrawBed::StuckWrites(const std::string& node) const {
    return Find(node).StuckWrites();
}

}  // namespace quarnel::test
