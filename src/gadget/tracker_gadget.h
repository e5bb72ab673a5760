// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "gadget/config_tree.h"

namespace quarnel::gadget {

inline constexpr const char* kConfigfsRoot = "/sys/kernel/config";

// What the gadget shows the host in its descriptors.
struct GadgetSettings {
    std::filesystem::path configfsRoot = kConfigfsRoot;
    std::string name = "quarnel";  // the gadget's folder under usb_gadget
    uint16_t vendorId = 0x051A;
    uint16_t productId = 0x511B;
    uint16_t deviceRelease = 0x0100;
    std::string manufacturer = "Quarnel";
    std::string product = "GPS Tracker (simulated)";
    std::string serialNumber = "0";
};

// A USB gadget with one HID function that looks like the tracker: 64-byte unnumbered input
// and output reports on interrupt endpoints, the tracker's report descriptor. It is built
// in configfs by Create, attached to a device controller by Bind (for the host: plugged
// in), detached by Unbind (unplugged), and taken down by Remove or the destructor, which
// undo exactly what Create made, newest first.
//
// Not thread-safe: one owner calls it.
class TrackerGadget {
public:
    TrackerGadget(ConfigTree& tree, GadgetSettings settings);
    ~TrackerGadget();
    TrackerGadget(const TrackerGadget&) = delete;
    TrackerGadget& operator=(const TrackerGadget&) = delete;

    // Builds the gadget. False, with a sentence for the user in `error`, when configfs or
    // the HID function is missing or a gadget of this name exists; nothing is left behind.
    bool Create(std::string& error);
    // Attaches the gadget to the device controller `udc` (a name in /sys/class/udc).
    bool Bind(const std::string& udc, std::string& error);
    // Detaches it: the host sees the device unplugged. Harmless when not bound.
    bool Unbind(std::string& error);
    bool Bound() const { return m_bound; }
    // Unbinds and removes everything Create made. Safe to call more than once.
    void Remove();

    std::filesystem::path Folder() const;
    std::filesystem::path FunctionFolder() const;
    // The HID function's character device (the /dev/hidgN node), once created.
    bool DeviceNumber(unsigned& major, unsigned& minor, std::string& error);

private:
    struct Made {
        std::filesystem::path path;
        bool link;
    };
    bool Build(std::string& error);  // all but the gadget's own folder
    bool MakeDir(const std::filesystem::path& dir, int& error);
    bool Write(const std::filesystem::path& file, const std::vector<uint8_t>& bytes,
               std::string& error);

    ConfigTree& m_tree;
    GadgetSettings m_settings;
    std::vector<Made> m_made;  // in the order made
    bool m_bound = false;
};

}  // namespace quarnel::gadget
