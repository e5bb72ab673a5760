// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gadget/tracker_gadget.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "sim/report_descriptor.h"

namespace quarnel::gadget {

namespace {

constexpr const char* kFunction = "hid.usb0";
constexpr const char* kConfiguration = "c.1";
constexpr const char* kEnglish = "0x409";

std::string Hex16(uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04x", value);
    return text;
}

std::string Why(int error) {
    return std::strerror(error);
}

}  // namespace

TrackerGadget::TrackerGadget(ConfigTree& tree, GadgetSettings settings)
    : m_tree(tree), m_settings(std::move(settings)) {}

TrackerGadget::~TrackerGadget() {
    Remove();
}

std::filesystem::path TrackerGadget::Folder() const {
    return m_settings.configfsRoot / "usb_gadget" / m_settings.name;
}

std::filesystem::path TrackerGadget::FunctionFolder() const {
    return Folder() / "functions" / kFunction;
}

bool TrackerGadget::MakeDir(const std::filesystem::path& dir, int& error) {
    error = m_tree.MakeDir(dir);
    if (error != 0) {
        return false;
    }
    m_made.push_back({dir, false});
    return true;
}

bool TrackerGadget::Write(const std::filesystem::path& file, const std::vector<uint8_t>& bytes,
                          std::string& error) {
    const int why = m_tree.WriteAttribute(file, bytes);
    if (why != 0) {
        error = "cannot write " + file.string() + ": " + Why(why);
        return false;
    }
    return true;
}

bool TrackerGadget::Create(std::string& error) {
    const std::filesystem::path gadgets = m_settings.configfsRoot / "usb_gadget";
    if (!m_tree.IsDir(gadgets)) {
        error = "no USB gadget support in configfs: " + gadgets.string() +
                " is missing (mount configfs with 'mount -t configfs none " +
                m_settings.configfsRoot.string() + "' and load libcomposite)";
        return false;
    }
    const std::filesystem::path gadget = Folder();
    int why = 0;
    if (!MakeDir(gadget, why)) {
        error = why == EEXIST ? "a gadget named " + m_settings.name + " exists already (" +
                                    gadget.string() + "): another quarnel-usb-tracker is " +
                                    "running, or one was killed before it could remove it"
                              : "cannot create " + gadget.string() + ": " + Why(why);
        return false;
    }
    if (!Build(error)) {
        Remove();
        return false;
    }
    return true;
}

bool TrackerGadget::Build(std::string& error) {
    const std::filesystem::path gadget = Folder();
    const std::filesystem::path strings = gadget / "strings" / kEnglish;
    const std::filesystem::path function = FunctionFolder();
    const std::filesystem::path configuration = gadget / "configs" / kConfiguration;
    const std::filesystem::path link = configuration / kFunction;
    auto makeDir = [&](const std::filesystem::path& dir) {
        int why = 0;
        if (MakeDir(dir, why)) {
            return true;
        }
        // configfs asks the kernel for a function's module, and answers ENOENT when there
        // is none.
        error = why == ENOENT && dir == function
                    ? "the kernel has no HID gadget function: load usb_f_hid "
                      "(CONFIG_USB_CONFIGFS_F_HID)"
                    : "cannot create " + dir.string() + ": " + Why(why);
        return false;
    };
    if (!Write(gadget / "idVendor", AttributeText(Hex16(m_settings.vendorId)), error) ||
        !Write(gadget / "idProduct", AttributeText(Hex16(m_settings.productId)), error) ||
        !Write(gadget / "bcdDevice", AttributeText(Hex16(m_settings.deviceRelease)), error) ||
        !Write(gadget / "bcdUSB", AttributeText("0x0200"), error)) {
        return false;
    }
    if (!makeDir(strings) ||
        !Write(strings / "manufacturer", AttributeText(m_settings.manufacturer), error) ||
        !Write(strings / "product", AttributeText(m_settings.product), error) ||
        !Write(strings / "serialnumber", AttributeText(m_settings.serialNumber), error)) {
        return false;
    }
    // The descriptor is binary: written as it is, without a line end.
    const std::vector<uint8_t> descriptor(sim::kTrackerReportDescriptor.begin(),
                                          sim::kTrackerReportDescriptor.end());
    const std::string reportLength = std::to_string(sim::kReportDataSize);
    if (!makeDir(function) || !Write(function / "protocol", AttributeText("0"), error) ||
        !Write(function / "subclass", AttributeText("0"), error) ||
        !Write(function / "report_length", AttributeText(reportLength), error) ||
        !Write(function / "report_desc", descriptor, error)) {
        return false;
    }
    if (!makeDir(configuration) ||
        !Write(configuration / "MaxPower", AttributeText("100"), error)) {
        return false;
    }
    if (const int why = m_tree.MakeLink(function, link); why != 0) {
        error = "cannot link " + link.string() + ": " + Why(why);
        return false;
    }
    m_made.push_back({link, true});
    return true;
}

bool TrackerGadget::Bind(const std::string& udc, std::string& error) {
    const int why = m_tree.WriteAttribute(Folder() / "UDC", AttributeText(udc));
    if (why != 0) {
        if (why == EBUSY) {
            error = "the USB device controller " + udc + " is in use by another gadget";
        } else if (why == ENODEV || why == ENOENT || why == EINVAL) {
            error = "there is no USB device controller named " + udc;
        } else {
            error = "cannot bind the gadget to " + udc + ": " + Why(why);
        }
        return false;
    }
    m_bound = true;
    return true;
}

bool TrackerGadget::Unbind(std::string& error) {
    if (!m_bound) {
        return true;
    }
    const int why = m_tree.WriteAttribute(Folder() / "UDC", AttributeText(""));
    // Unbound already (someone wrote the attribute from outside): that is what was wanted.
    if (why != 0 && why != ENODEV) {
        error = "cannot unbind the gadget: " + Why(why);
        return false;
    }
    m_bound = false;
    return true;
}

void TrackerGadget::Remove() {
    std::string ignored;
    Unbind(ignored);
    while (!m_made.empty()) {
        const Made made = m_made.back();
        m_made.pop_back();
        if (made.link) {
            m_tree.RemoveLink(made.path);
        } else {
            m_tree.RemoveDir(made.path);
        }
    }
}

bool TrackerGadget::DeviceNumber(unsigned& major, unsigned& minor, std::string& error) {
    std::string text;
    const std::filesystem::path file = FunctionFolder() / "dev";
    const int why = m_tree.ReadAttribute(file, text);
    if (why != 0) {
        error = "cannot read " + file.string() + ": " + Why(why);
        return false;
    }
    if (std::sscanf(text.c_str(), "%u:%u", &major, &minor) != 2) {
        error = file.string() + " holds no device number: " + text;
        return false;
    }
    return true;
}

}  // namespace quarnel::gadget
