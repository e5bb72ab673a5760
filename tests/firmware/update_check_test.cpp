// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The Update command up to the transfer: the tracker, the dialogs, the files and the check.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <ostream>
#include <thread>

#include "firmware/firmware_messages.h"
#include "firmware/update_fixture.h"
#include "form/control_ids.h"
#include "form/messages.h"

namespace quarnel::test {
namespace {

using Messages = std::vector<std::u16string>;
using UpdateCommand = UpdateFixture;

const Messages kPassed{std::u16string(msg::kFileCheckMd5Ok), std::u16string(msg::kUnplugAndReboot)};
const Messages kRefused{std::u16string(msg::kFileCheckMd5Ng)};

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'f') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

std::vector<uint8_t> FirstOfArea(const std::vector<uint8_t>& bytes) {
    return {bytes.begin(),
            bytes.begin() + static_cast<long>(std::min(bytes.size(), kImageAreaSize))};
}

struct DigestCase {
    const char* name;
    std::vector<uint8_t> image;
    std::string digestFile;
    bool passes;
};

void PrintTo(const DigestCase& row, std::ostream* os) {
    *os << row.name;
}

std::vector<DigestCase> DigestCases() {
    const auto small = PatternBytes(1000, 1);
    const auto exact = PatternBytes(kImageAreaSize, 2);
    const auto longer = PatternBytes(kImageAreaSize + 500, 3);
    const std::vector<uint8_t> empty;
    return {
        {"Md5sumLayout", small, DigestOf(small) + "  tracker.bin\n", true},
        {"DigestAlone", small, DigestOf(small), true},
        {"UpperCaseDigest", small, Upper(DigestOf(small)), false},
        {"LeadingBlank", small, " " + DigestOf(small), false},
        {"ByteOrderMark", small, "\xEF\xBB\xBF" + DigestOf(small), false},
        {"ShorterThan32Bytes", small, DigestOf(small).substr(0, 31), false},
        {"EmptyDigestFile", small, "", false},
        {"DigestOfAnotherImage", small, DigestOf(PatternBytes(1000, 9)), false},
        {"ImageOfExactlyTheAreaSize", exact, DigestOf(exact), true},
        {"LongerImageWithItsWholeDigest", longer, DigestOf(longer), false},
        {"LongerImageWithTheDigestOfItsFirstAreaBytes", longer, DigestOf(FirstOfArea(longer)),
         true},
        {"EmptyImage", empty, "d41d8cd98f00b204e9800998ecf8427e *tracker.bin\n", true},
    };
}

class UpdateDigestCheck : public UpdateFixture, public testing::WithParamInterface<DigestCase> {};

TEST_P(UpdateDigestCheck, SendsOnlyWhenTheDigestFileStartsWithTheImagesDigest) {
    const DigestCase& row = GetParam();
    form.SetProgress(ctl::UpdateProgress, 37);
    ChooseFiles(row.image, row.digestFile);
    RunUpdate();

    EXPECT_TRUE(form.IsEnabled(ctl::UpdateButton));
    EXPECT_EQ(form.GetProgress(ctl::UpdateProgress), 0);
    if (row.passes) {
        EXPECT_EQ(ui.Messages(), kPassed);
        const sim::FirmwareStatus firmware = tracker.Firmware();
        EXPECT_EQ(firmware.result, sim::FirmwareStatus::Accepted);
        EXPECT_EQ(firmware.area, AreaOf(row.image)) << "the area as the tracker received it";
    } else {
        EXPECT_EQ(ui.Messages(), kRefused);
        EXPECT_TRUE(HostReports().empty()) << "nothing is sent after a failed check";
        EXPECT_EQ(tracker.Firmware().result, sim::FirmwareStatus::Idle);
    }
}

INSTANTIATE_TEST_SUITE_P(DigestFiles, UpdateDigestCheck, testing::ValuesIn(DigestCases()),
                         [](const testing::TestParamInfo<DigestCase>& row) {
                             return std::string(row.param.name);
                         });

TEST_F(UpdateCommand, ShowsBothDialogsWithTheirFiltersAndExtensions) {
    ChooseFiles(PatternBytes(10, 1), "");
    RunUpdate();
    const auto events = ui.Events();
    ASSERT_GE(events.size(), 2u);
    ASSERT_EQ(events[0].kind, RecordingUi::Event::OpenDialog);
    ASSERT_EQ(events[1].kind, RecordingUi::Event::OpenDialog);

    const FileDialogOptions& image = events[0].options;
    ASSERT_EQ(image.filters.size(), 2u);
    EXPECT_EQ(image.filters[0].display, u"BIN Files (*.bin)");
    EXPECT_EQ(image.filters[0].pattern, u"*.bin");
    EXPECT_EQ(image.filters[1].display, u"All Files (*.*)");
    EXPECT_EQ(image.filters[1].pattern, u"*.*");
    EXPECT_EQ(image.defaultExtension, u"bin");

    const FileDialogOptions& digest = events[1].options;
    ASSERT_EQ(digest.filters.size(), 2u);
    EXPECT_EQ(digest.filters[0].display, u"MD5 Files (*.md5)");
    EXPECT_EQ(digest.filters[0].pattern, u"*.md5");
    EXPECT_EQ(digest.filters[1].display, u"All Files (*.*)");
    EXPECT_EQ(digest.filters[1].pattern, u"*.*");
    EXPECT_EQ(digest.defaultExtension, u"md5");
}

TEST(UpdateWithoutTracker, ReportsTheConnectionFailureAndNeverAsksForFiles) {
    sim::VirtualClock clock;
    sim::SimBackend backend(&clock, true);
    CommandAreas areas;
    MemoryForm form;
    RecordingUi ui;
    form.SetProgress(ctl::UpdateProgress, 37);
    ui.QueueDialogAnswer(std::filesystem::path("/nonexistent/tracker.bin"));

    CommandContext ctx{DeviceLink{backend, backend.GetClock(), areas}, form, ui};
    OnUpdateFirmware(ctx);

    EXPECT_EQ(ui.Messages(), (Messages{std::u16string(msg::kUsbConnectFailure),
                                       std::u16string(msg::kUnplugAndReboot)}));
    EXPECT_EQ(ui.Events().size(), 2u) << "no dialog shown";
    EXPECT_TRUE(form.IsEnabled(ctl::UpdateButton));
    EXPECT_EQ(form.GetProgress(ctl::UpdateProgress), 0);
}

// A cancelled dialog or a file that will not open ends the command without a word:
// the button comes back, the progress bar keeps its place, and nothing is sent.
struct QuietCase {
    const char* name;
    bool imageChosen;
    bool digestChosen;
    bool imageExists;
    bool digestExists;
    size_t dialogsShown;
};

void PrintTo(const QuietCase& row, std::ostream* os) {
    *os << row.name;
}

class UpdateQuietEnd : public UpdateFixture, public testing::WithParamInterface<QuietCase> {};

TEST_P(UpdateQuietEnd, EndsWithoutAMessage) {
    const QuietCase& row = GetParam();
    const auto image = PatternBytes(100, 4);
    const auto imagePath =
        row.imageExists ? dir.Write("tracker.bin", image) : dir.Path() / "no.bin";
    const auto digestPath =
        row.digestExists ? dir.Write("tracker.md5", DigestOf(image)) : dir.Path() / "no.md5";
    ui.QueueDialogAnswer(row.imageChosen ? std::optional(imagePath) : std::nullopt);
    ui.QueueDialogAnswer(row.digestChosen ? std::optional(digestPath) : std::nullopt);
    form.SetProgress(ctl::UpdateProgress, 37);

    RunUpdate();

    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(OpenDialogsShown(), row.dialogsShown);
    EXPECT_TRUE(form.IsEnabled(ctl::UpdateButton));
    EXPECT_EQ(form.GetProgress(ctl::UpdateProgress), 37);
    EXPECT_TRUE(HostReports().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UpdateQuietEnd,
    testing::Values(QuietCase{"ImageDialogCancelled", false, true, true, true, 1},
                    QuietCase{"DigestDialogCancelled", true, false, true, true, 2},
                    QuietCase{"ImageCannotBeOpened", true, true, false, true, 2},
                    QuietCase{"DigestCannotBeOpened", true, true, true, false, 2}),
    [](const testing::TestParamInfo<QuietCase>& row) { return std::string(row.param.name); });

// A file that opens but cannot be read must not pass for an empty one: the user hears
// why nothing happens, and nothing is sent.
struct UnreadableCase {
    const char* name;
    bool imageUnreadable;
    std::u16string_view message;
};

void PrintTo(const UnreadableCase& row, std::ostream* os) {
    *os << row.name;
}

class UpdateUnreadableFile : public UpdateFixture,
                             public testing::WithParamInterface<UnreadableCase> {};

TEST_P(UpdateUnreadableFile, SaysSoAndSendsNothing) {
    const UnreadableCase& row = GetParam();
    // The empty image's digest: were the folder taken for an empty file, the check would pass.
    const auto image = dir.Write("tracker.bin", std::vector<uint8_t>());
    const auto digest = dir.Write("tracker.md5", std::string("d41d8cd98f00b204e9800998ecf8427e"));
    std::filesystem::create_directory(dir.Path() / "folder");
    ui.QueueDialogAnswer(row.imageUnreadable ? dir.Path() / "folder" : image);
    ui.QueueDialogAnswer(row.imageUnreadable ? digest : dir.Path() / "folder");
    form.SetProgress(ctl::UpdateProgress, 37);

    RunUpdate();

    EXPECT_EQ(ui.Messages(), (Messages{std::u16string(row.message)}));
    EXPECT_TRUE(form.IsEnabled(ctl::UpdateButton));
    EXPECT_EQ(form.GetProgress(ctl::UpdateProgress), 37);
    EXPECT_TRUE(HostReports().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UpdateUnreadableFile,
    testing::Values(UnreadableCase{"ImageIsAFolder", true, msg::kCannotReadImageFile},
                    UnreadableCase{"DigestIsAFolder", false, msg::kCannotReadDigestFile}),
    [](const testing::TestParamInfo<UnreadableCase>& row) { return std::string(row.param.name); });

TEST_F(UpdateCommand, ReportsAnImageReadErrorAndSendsNothing) {
    ui.QueueDialogAnswer(std::filesystem::path("/proc/self/mem"));
    ui.QueueDialogAnswer(dir.Write("tracker.md5", std::string("d41d8cd98f00b204e9800998ecf8427e")));
    RunUpdate();
    EXPECT_EQ(ui.Messages(), (Messages{std::u16string(msg::kCannotReadImageFile)}));
    EXPECT_TRUE(HostReports().empty());
}

// While a log task holds the device, the window's command must not wait for it, nor
// interleave its reports with the task's.
TEST_F(UpdateCommand, RefusesWhileALogTaskHoldsTheDevice) {
    std::mutex m;
    std::condition_variable cv;
    bool locked = false;
    bool release = false;
    std::thread task([&] {
        SequenceLock lock = LockSequence(areas);
        std::unique_lock l(m);
        locked = true;
        cv.notify_all();
        cv.wait(l, [&] { return release; });
    });
    {
        std::unique_lock l(m);
        cv.wait(l, [&] { return locked; });
    }
    ChooseFiles(PatternBytes(100, 5), DigestOf(PatternBytes(100, 5)));

    RunUpdate();

    {
        std::lock_guard l(m);
        release = true;
    }
    cv.notify_all();
    task.join();

    EXPECT_EQ(ui.Messages(), (Messages{std::u16string(msg::kFirmwareTrackerBusy)}));
    EXPECT_EQ(OpenDialogsShown(), 0u);
    EXPECT_TRUE(form.IsEnabled(ctl::UpdateButton));
    EXPECT_EQ(form.Snapshot(ctl::UpdateButton).enabledHistory, (std::vector<bool>{false, true}));
    EXPECT_EQ(tracker.CommandsTaken(), 0u);
}

}  // namespace
}  // namespace quarnel::test
