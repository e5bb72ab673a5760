// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The choices quarnel-usb-tracker makes before it builds the gadget: its command line, the
// device controller it binds to, and the /dev node of the HID function.
#include <gtest/gtest.h>

#include "gadget/device_controllers.h"
#include "gadget/device_node.h"
#include "gadget/usb_tracker_options.h"
#include "support/row_name.h"
#include "support/temp_folder.h"

namespace quarnel::gadget {
namespace {

using test::PrintTo;

struct ControllerCase {
    const char* name;
    std::vector<std::string> present;
    const char* requested;
    const char* chosen;  // nullptr: none, and `says` is in the error
    const char* says;
};

const ControllerCase kControllerCases[] = {
    {"TheOnlyOne", {"20980000.usb"}, "", "20980000.usb", ""},
    {"TheRequestedOne", {"dummy_udc.0", "dummy_udc.1"}, "dummy_udc.1", "dummy_udc.1", ""},
    {"NoneAtAll", {}, "", nullptr, "there is no USB device controller: "},
    {"NoneAtAllThoughOneIsRequested",
     {},
     "dummy_udc.0",
     nullptr,
     "there is no USB device controller: "},
    {"TheRequestedOneIsMissing",
     {"dummy_udc.0"},
     "dummy_udc.3",
     nullptr,
     "there is no USB device controller named dummy_udc.3 (there is dummy_udc.0)"},
    {"SeveralAndNoneRequested",
     {"dummy_udc.0", "dummy_udc.1"},
     "",
     nullptr,
     "there are several USB device controllers (dummy_udc.0, dummy_udc.1): choose one with "
     "--udc NAME"},
};

class ControllerChoiceTest : public ::testing::TestWithParam<ControllerCase> {};

TEST_P(ControllerChoiceTest, ChoosesOrSaysWhyNot) {
    const ControllerCase& c = GetParam();
    std::string error;
    const std::optional<std::string> chosen = ChooseController(c.present, c.requested, error);
    if (c.chosen != nullptr) {
        ASSERT_TRUE(chosen.has_value()) << error;
        EXPECT_EQ(*chosen, c.chosen);
    } else {
        EXPECT_FALSE(chosen.has_value());
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ControllerChoiceTest, ::testing::ValuesIn(kControllerCases),
                         test::RowName());

TEST(DeviceControllersTest, ListsTheControllerFolderSorted) {
    test::TempFolder folder;
    for (const char* name : {"dummy_udc.1", "dummy_udc.0"}) {
        std::filesystem::create_directory(folder.Path() / name);
    }
    SystemConfigTree tree;
    EXPECT_EQ(DeviceControllers(tree, folder.Path()),
              (std::vector<std::string>{"dummy_udc.0", "dummy_udc.1"}));
    EXPECT_TRUE(DeviceControllers(tree, folder.Path() / "missing").empty());
}

TEST(DeviceNodeTest, FindsACharacterDeviceByItsNumber) {
    // /dev/null is character device 1:3 on every Linux system.
    EXPECT_EQ(FindDeviceNode("/dev", "null", 1, 3), std::filesystem::path("/dev/null"));
    EXPECT_FALSE(FindDeviceNode("/dev", "null", 1, 5).has_value()) << "another number";
    EXPECT_FALSE(FindDeviceNode("/dev", "hidg-none", 1, 3).has_value()) << "another name";
}

struct OptionsCase {
    const char* name;
    std::vector<std::string> args;
    bool valid;
    UsbTrackerOptions expected;
    const char* says;
};

const OptionsCase kOptionsCases[] = {
    {"Nothing", {}, true, {}, ""},
    {"Everything",
     {"--udc", "dummy_udc.2", "--state", "s.json", "--transcript", "t.txt", "--save-state",
      "o.json"},
     true,
     {"dummy_udc.2", "s.json", "t.txt", "o.json", false},
     ""},
    {"Help", {"--help"}, true, {"", "", "", "", true}, ""},
    {"UnknownOption", {"--demo"}, false, {}, "unknown option --demo"},
    {"MissingValue", {"--udc"}, false, {}, "--udc needs a value"},
    {"EmptyValue", {"--state", ""}, false, {}, "--state needs a value"},
};

class OptionsTest : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(OptionsTest, ParsesOrSaysWhyNot) {
    const OptionsCase& c = GetParam();
    std::string error;
    const std::optional<UsbTrackerOptions> options = ParseUsbTrackerOptions(c.args, error);
    ASSERT_EQ(options.has_value(), c.valid) << error;
    if (c.valid) {
        EXPECT_EQ(options->udc, c.expected.udc);
        EXPECT_EQ(options->statePath, c.expected.statePath);
        EXPECT_EQ(options->transcriptPath, c.expected.transcriptPath);
        EXPECT_EQ(options->saveStatePath, c.expected.saveStatePath);
        EXPECT_EQ(options->help, c.expected.help);
    } else {
        EXPECT_EQ(error, c.says);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, OptionsTest, ::testing::ValuesIn(kOptionsCases), test::RowName());

}  // namespace
}  // namespace quarnel::gadget
