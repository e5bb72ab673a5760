// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Building the tracker's USB gadget in configfs, binding it and taking it down again, on
// a folder that behaves as configfs does.
#include "gadget/tracker_gadget.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "gadget/configfs_folder.h"
#include "sim/report_descriptor.h"
#include "support/row_name.h"

namespace quarnel::gadget {
namespace {

using test::ConfigfsFolder;

GadgetSettings Settings(const ConfigfsFolder& configfs) {
    GadgetSettings settings;
    settings.configfsRoot = configfs.Root();
    settings.name = "quarnel-dummy_udc.0";
    settings.serialNumber = "dummy_udc.0";
    return settings;
}

std::string Text(const std::filesystem::path& file) {
    return ConfigfsFolder::ReadText(file);
}

TEST(TrackerGadgetTest, CreateDescribesTheTrackerAndItsHidFunction) {
    ConfigfsFolder configfs;
    TrackerGadget usb(configfs, Settings(configfs));
    std::string error;
    ASSERT_TRUE(usb.Create(error)) << error;

    const std::filesystem::path g = configfs.Gadgets() / "quarnel-dummy_udc.0";
    EXPECT_EQ(usb.Folder(), g);
    EXPECT_EQ(Text(g / "idVendor"), "0x051a\n");
    EXPECT_EQ(Text(g / "idProduct"), "0x511b\n");
    EXPECT_EQ(Text(g / "bcdDevice"), "0x0100\n");
    EXPECT_EQ(Text(g / "bcdUSB"), "0x0200\n");
    EXPECT_EQ(Text(g / "strings/0x409/serialnumber"), "dummy_udc.0\n");
    EXPECT_EQ(Text(g / "strings/0x409/manufacturer"), "Quarnel\n");
    EXPECT_EQ(Text(g / "strings/0x409/product"), "GPS Tracker (simulated)\n");
    const std::filesystem::path f = g / "functions/hid.usb0";
    EXPECT_EQ(Text(f / "protocol"), "0\n");
    EXPECT_EQ(Text(f / "subclass"), "0\n");
    EXPECT_EQ(Text(f / "report_length"), "64\n");
    EXPECT_EQ(Text(f / "report_desc"), std::string(sim::kTrackerReportDescriptor.begin(),
                                                   sim::kTrackerReportDescriptor.end()))
        << "the descriptor's bytes, without a line end";
    EXPECT_EQ(Text(g / "configs/c.1/MaxPower"), "100\n");
    EXPECT_EQ(std::filesystem::read_symlink(g / "configs/c.1/hid.usb0"), f);
    EXPECT_EQ(Text(g / "UDC"), "") << "not bound yet";

    unsigned major = 0;
    unsigned minor = 9;
    ASSERT_TRUE(usb.DeviceNumber(major, minor, error)) << error;
    EXPECT_EQ(major, 245u);
    EXPECT_EQ(minor, 0u);
}

TEST(TrackerGadgetTest, BindPlugsInAndRemoveUnplugsAndLeavesNothing) {
    ConfigfsFolder configfs;
    TrackerGadget usb(configfs, Settings(configfs));
    std::string error;
    ASSERT_TRUE(usb.Create(error)) << error;
    ASSERT_TRUE(usb.Bind("dummy_udc.0", error)) << error;
    EXPECT_TRUE(usb.Bound());
    EXPECT_EQ(Text(usb.Folder() / "UDC"), "dummy_udc.0");

    configfs.calls.clear();
    usb.Remove();
    EXPECT_FALSE(usb.Bound());
    EXPECT_TRUE(std::filesystem::is_empty(configfs.Gadgets()));
    const std::vector<std::string> expected = {
        "write quarnel-dummy_udc.0/UDC \\n",
        "unlink quarnel-dummy_udc.0/configs/c.1/hid.usb0",
        "rmdir quarnel-dummy_udc.0/configs/c.1",
        "rmdir quarnel-dummy_udc.0/functions/hid.usb0",
        "rmdir quarnel-dummy_udc.0/strings/0x409",
        "rmdir quarnel-dummy_udc.0",
    };
    EXPECT_EQ(configfs.calls, expected);

    configfs.calls.clear();
    usb.Remove();
    EXPECT_TRUE(configfs.calls.empty()) << "a second Remove does nothing";
}

TEST(TrackerGadgetTest, TheDestructorTakesTheGadgetDown) {
    ConfigfsFolder configfs;
    {
        TrackerGadget usb(configfs, Settings(configfs));
        std::string error;
        ASSERT_TRUE(usb.Create(error)) << error;
        ASSERT_TRUE(usb.Bind("dummy_udc.0", error)) << error;
    }
    EXPECT_TRUE(std::filesystem::is_empty(configfs.Gadgets()));
}

TEST(TrackerGadgetTest, AnUnbindFromOutsideStillLetsRemoveFinish) {
    ConfigfsFolder configfs;
    TrackerGadget usb(configfs, Settings(configfs));
    std::string error;
    ASSERT_TRUE(usb.Create(error)) << error;
    ASSERT_TRUE(usb.Bind("dummy_udc.0", error)) << error;
    // Someone unplugs the gadget by hand: echo "" > UDC.
    ASSERT_EQ(configfs.WriteAttribute(usb.Folder() / "UDC", {'\n'}), 0);
    EXPECT_TRUE(usb.Unbind(error)) << error;
    usb.Remove();
    EXPECT_TRUE(std::filesystem::is_empty(configfs.Gadgets()));
}

// What goes wrong while building, and what the user is told.
struct CreateFailure {
    const char* name;
    void (*arrange)(ConfigfsFolder&);
    const char* says;
};
using test::PrintTo;

const CreateFailure kCreateFailures[] = {
    {"NoGadgetSupportInConfigfs", [](ConfigfsFolder& c) { std::filesystem::remove(c.Gadgets()); },
     "mount configfs with 'mount -t configfs none"},
    {"NoHidFunctionInTheKernel", [](ConfigfsFolder& c) { c.hidFunction = false; },
     "the kernel has no HID gadget function: load usb_f_hid"},
    {"AGadgetOfThatNameExists",
     [](ConfigfsFolder& c) {
         std::filesystem::create_directory(c.Gadgets() / "quarnel-dummy_udc.0");
     },
     "exists already"},
    {"TheDescriptorIsRefused",
     [](ConfigfsFolder& c) {
         c.failOn[c.Gadgets() / "quarnel-dummy_udc.0/functions/hid.usb0/report_desc"] = EINVAL;
     },
     "cannot write"},
    {"TheLinkCannotBeMade",
     [](ConfigfsFolder& c) {
         c.failOn[c.Gadgets() / "quarnel-dummy_udc.0/configs/c.1/hid.usb0"] = EPERM;
     },
     "cannot link"},
};

class CreateFailureTest : public ::testing::TestWithParam<CreateFailure> {};

TEST_P(CreateFailureTest, SaysWhyAndLeavesNothingOfItsOwn) {
    ConfigfsFolder configfs;
    GetParam().arrange(configfs);
    std::error_code ignored;
    const bool hadGadgets = std::filesystem::is_directory(configfs.Gadgets(), ignored);
    const bool hadOther = hadGadgets && !std::filesystem::is_empty(configfs.Gadgets());
    {
        TrackerGadget usb(configfs, Settings(configfs));
        std::string error;
        EXPECT_FALSE(usb.Create(error));
        EXPECT_NE(error.find(GetParam().says), std::string::npos) << error;
    }
    if (hadGadgets) {
        EXPECT_EQ(std::filesystem::is_empty(configfs.Gadgets()), !hadOther)
            << "only what was there before is left";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CreateFailureTest, ::testing::ValuesIn(kCreateFailures),
                         test::RowName());

// Binding to a controller that cannot take the gadget.
struct BindFailure {
    const char* name;
    const char* controller;
    const char* says;
};

const BindFailure kBindFailures[] = {
    {"NoControllerOfThatName", "musb-hdrc.0", "there is no USB device controller named musb"},
    {"ControllerInUse", "dummy_udc.1", "dummy_udc.1 is in use by another gadget"},
};

class BindFailureTest : public ::testing::TestWithParam<BindFailure> {};

TEST_P(BindFailureTest, SaysWhyAndStaysUnbound) {
    ConfigfsFolder configfs;
    configfs.controllers.insert("dummy_udc.1");
    configfs.busyControllers.insert("dummy_udc.1");
    TrackerGadget usb(configfs, Settings(configfs));
    std::string error;
    ASSERT_TRUE(usb.Create(error)) << error;
    EXPECT_FALSE(usb.Bind(GetParam().controller, error));
    EXPECT_NE(error.find(GetParam().says), std::string::npos) << error;
    EXPECT_FALSE(usb.Bound());
}

INSTANTIATE_TEST_SUITE_P(Cases, BindFailureTest, ::testing::ValuesIn(kBindFailures),
                         test::RowName());

}  // namespace
}  // namespace quarnel::gadget
