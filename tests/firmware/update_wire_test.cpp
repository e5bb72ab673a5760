// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The Update command's reports on the wire, read from the simulated tracker's transcript.
#include <gtest/gtest.h>

#include "firmware/firmware_transfer.h"
#include "firmware/update_fixture.h"
#include "form/control_ids.h"
#include "form/messages.h"

namespace quarnel::test {
namespace {

constexpr size_t kHeader = 3;  // report ID, sequence, payload size before the payload

uint8_t PayloadByte(const std::vector<uint8_t>& report, size_t i) {
    return report.at(kHeader + i);
}

std::vector<uint8_t> PayloadBytes(const std::vector<uint8_t>& report, size_t from, size_t to) {
    return {report.begin() + static_cast<long>(kHeader + from),
            report.begin() + static_cast<long>(kHeader + to)};
}

// Every payload byte different and recognisable, so stale bytes can be told from set ones.
void FillPayloadPattern(CommandAreas& areas) {
    for (size_t i = 0; i < areas.payload.size(); ++i) {
        areas.payload[i] = static_cast<uint8_t>(0xC0 ^ i);
    }
}

std::vector<uint8_t> StalePattern(size_t from, size_t to) {
    std::vector<uint8_t> out;
    for (size_t i = from; i < to; ++i) {
        out.push_back(static_cast<uint8_t>(0xC0 ^ i));
    }
    return out;
}

class UpdateWire : public UpdateFixture {
protected:
    void SendHundredByteImage() {
        image = PatternBytes(100, 7);
        ChooseFiles(image, DigestOf(image) + "  tracker.bin\r\n");
        RunUpdate();
        reports = HostReports();
        ASSERT_EQ(reports.size(), 1u + kFirmwareBlockCount + 1u);
    }

    std::vector<uint8_t> image;
    std::vector<std::vector<uint8_t>> reports;
};

TEST_F(UpdateWire, SendsStartEveryBlockAndEndForAHundredByteImage) {
    SendHundredByteImage();
    const std::vector<uint8_t> area = AreaOf(image);

    for (const auto& report : reports) {
        ASSERT_EQ(report.size(), kReportSize);
        ASSERT_EQ(report[0], 0);
        ASSERT_EQ(report[2], 62);
    }
    EXPECT_EQ(reports.front()[1], 19) << "a command's first report carries 19";

    const auto& start = reports.front();
    EXPECT_EQ(PayloadBytes(start, 0, 4), (std::vector<uint8_t>{2, 3, 5, 0}));

    for (uint32_t b = 0; b < kFirmwareBlockCount; ++b) {
        const auto& report = reports[1 + b];
        ASSERT_EQ(PayloadBytes(report, 0, 3), (std::vector<uint8_t>{2, 3, 6})) << "block " << b;
        ASSERT_EQ(PayloadByte(report, 3), b % 8) << "block " << b;
        ASSERT_EQ(GetLe32(report.data() + kHeader + 4), b);
        ASSERT_EQ(PayloadBytes(report, 8, 40),
                  std::vector<uint8_t>(area.begin() + 32 * b, area.begin() + 32 * (b + 1)))
            << "block " << b;
    }
    // Blocks 0-3 carry the image and then zeros; everything after is zero.
    EXPECT_EQ(PayloadBytes(reports[1], 8, 40),
              std::vector<uint8_t>(image.begin(), image.begin() + 32));
    EXPECT_EQ(PayloadBytes(reports[4], 8, 12),
              std::vector<uint8_t>(image.begin() + 96, image.end()));
    EXPECT_EQ(PayloadBytes(reports[4], 12, 40), std::vector<uint8_t>(28, 0));
    EXPECT_EQ(PayloadBytes(reports[5], 8, 40), std::vector<uint8_t>(32, 0));

    // The end carries the digest of the whole zero-filled area, not of the 100 bytes.
    const Md5Digest areaDigest = Md5::Of(area.data(), area.size());
    const auto& end = reports.back();
    EXPECT_EQ(PayloadBytes(end, 0, 4), (std::vector<uint8_t>{2, 3, 7, 0}));
    EXPECT_EQ(PayloadBytes(end, 4, 20), std::vector<uint8_t>(areaDigest.begin(), areaDigest.end()));
    EXPECT_NE(DigestText(areaDigest), DigestOf(image));

    EXPECT_EQ(tracker.Firmware().result, sim::FirmwareStatus::Accepted);
    EXPECT_TRUE(tracker.ProtocolNotes().empty());
}

TEST_F(UpdateWire, PutsABlocksPlaceInItsRunOfEightIntoPart) {
    SendHundredByteImage();
    const auto& block8 = reports[1 + 8];
    const auto& block9 = reports[1 + 9];
    EXPECT_EQ(PayloadByte(block8, 3), 0);
    EXPECT_EQ(GetLe32(block8.data() + kHeader + 4), 8u);
    EXPECT_EQ(PayloadByte(block9, 3), 1);
    EXPECT_EQ(GetLe32(block9.data() + kHeader + 4), 9u);
}

TEST_F(UpdateWire, LeavesThePayloadBytesItDoesNotOwnAsEarlierCommandsLeftThem) {
    FillPayloadPattern(areas);
    SendHundredByteImage();
    const std::vector<uint8_t> area = AreaOf(image);

    EXPECT_EQ(PayloadBytes(reports.front(), 4, 62), StalePattern(4, 62)) << "start";
    for (uint32_t b = 0; b < kFirmwareBlockCount; ++b) {
        ASSERT_EQ(PayloadBytes(reports[1 + b], 40, 62), StalePattern(40, 62)) << "block " << b;
    }
    const auto& end = reports.back();
    EXPECT_EQ(PayloadBytes(end, 20, 40), std::vector<uint8_t>(area.end() - 20, area.end()))
        << "the last block's final 20 bytes";
    EXPECT_EQ(PayloadBytes(end, 40, 62), StalePattern(40, 62));

    // Bytes past the 62 that travel are never touched.
    EXPECT_EQ(std::vector<uint8_t>(areas.payload.begin() + 62, areas.payload.end()),
              StalePattern(62, kAreaSize));
}

TEST_F(UpdateWire, MovesTheProgressBarAfterEachBlockAndResetsItAtTheEnd) {
    form.SetProgress(ctl::UpdateProgress, 0);
    SendHundredByteImage();
    std::vector<int> history = form.Snapshot(ctl::UpdateProgress).progressHistory;
    ASSERT_EQ(history.front(), 0);  // the test's own setting
    history.erase(history.begin());

    ASSERT_EQ(history.size(), kFirmwareBlockCount + 1u);
    EXPECT_EQ(history[0], 0);
    EXPECT_EQ(history[39], 1);
    EXPECT_EQ(history[1983], 50);
    EXPECT_EQ(history[3967], 100);
    EXPECT_EQ(history.back(), 0);
    EXPECT_EQ(form.GetProgress(ctl::UpdateProgress), 0);
    // The window gets to paint at least once for every new percentage.
    EXPECT_GE(form.keepAliveCalls(), 100);
}

TEST_F(UpdateWire, ShowsExactlyTwoMessagesOnSuccess) {
    bool disabledWhileChecking = false;
    int progressAtFinalMessage = -1;
    bool enabledAtFinalMessage = false;
    ui.OnMessage([&](const std::u16string& text) {
        if (text == msg::kFileCheckMd5Ok) {
            disabledWhileChecking = !form.IsEnabled(ctl::UpdateButton);
        } else if (text == msg::kUnplugAndReboot) {
            progressAtFinalMessage = form.GetProgress(ctl::UpdateProgress);
            enabledAtFinalMessage = form.IsEnabled(ctl::UpdateButton);
        }
    });
    SendHundredByteImage();

    EXPECT_EQ(ui.Messages(), (std::vector<std::u16string>{std::u16string(msg::kFileCheckMd5Ok),
                                                          std::u16string(msg::kUnplugAndReboot)}));
    EXPECT_TRUE(disabledWhileChecking);
    EXPECT_EQ(progressAtFinalMessage, 0);
    EXPECT_TRUE(enabledAtFinalMessage);
    EXPECT_EQ(form.Snapshot(ctl::UpdateButton).enabledHistory, (std::vector<bool>{false, true}));
}

}  // namespace
}  // namespace quarnel::test
