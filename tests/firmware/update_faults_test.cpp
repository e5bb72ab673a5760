// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The Update command against a tracker that misbehaves during the transfer, and the
// simulated tracker's own check of what it received.
#include <gtest/gtest.h>

#include <ostream>

#include "device/hid_cmd.h"
#include "firmware/firmware_messages.h"
#include "firmware/firmware_transfer.h"
#include "firmware/update_fixture.h"
#include "form/control_ids.h"
#include "form/messages.h"

namespace quarnel::test {
namespace {

using Messages = std::vector<std::u16string>;
using UpdateCommand = UpdateFixture;

struct FaultCase {
    const char* name;
    sim::SimFaults faults;
    std::optional<UnansweredCommand> unanswered;  // nothing: the transfer completes
    size_t reportsSent;                           // command reports the host sends
};

void PrintTo(const FaultCase& row, std::ostream* os) {
    *os << row.name;
}

sim::SimFaults Rule(sim::FaultKind kind, int group, uint64_t from, uint32_t delayMs = 0) {
    sim::SimFaults faults;
    sim::FaultRule rule;
    rule.kind = kind;
    rule.group = group;
    rule.from = from;
    rule.count = 1;
    rule.delayMs = delayMs;
    rule.reports = 3;
    faults.rules.push_back(rule);
    return faults;
}

sim::SimFaults Silent() {
    sim::SimFaults faults;
    faults.rules.push_back(sim::FaultRule{});  // no reply to anything
    return faults;
}

sim::SimFaults UnplugAfter(int64_t commands) {
    sim::SimFaults faults;
    faults.unplugAfter = commands;
    return faults;
}

constexpr size_t kAllReports = 1 + kFirmwareBlockCount + 1;
using U = UnansweredCommand;

std::vector<FaultCase> FaultCases() {
    using sim::FaultKind;
    return {
        // Block b is the (b + 1)-th block command.
        {"NoReplyToBlock100", Rule(FaultKind::NoReply, 6, 101), U{U::Block, 100}, 1 + 101},
        {"NoReplyToTheFirstBlock", Rule(FaultKind::NoReply, 6, 1), U{U::Block, 0}, 2},
        {"NoReplyToTheLastBlock", Rule(FaultKind::NoReply, 6, 3968), U{U::Block, 3967}, 1 + 3968},
        {"NoReplyToTheStart", Rule(FaultKind::NoReply, 5, 1), U{U::Start}, 1},
        {"NoReplyToTheEnd", Rule(FaultKind::NoReply, 7, 1), U{U::End}, kAllReports},
        {"SilentTracker", Silent(), U{U::Start}, 1},
        // A report the tracker never takes is not in its transcript.
        {"BlockWriteNotTaken", Rule(FaultKind::WriteNotAccepted, 6, 10), U{U::Block, 9}, 1 + 9},
        {"WrongSequenceOnABlock", Rule(FaultKind::WrongSequence, 6, 2000), U{U::Block, 1999},
         1 + 2000},
        // Gone after taking the start and blocks 0-499, and answering them.
        {"UnpluggedDuringTheTransfer", UnplugAfter(501), U{U::Block, 500}, 501},
        // Answers that come, however odd, let the transfer go on.
        {"LateReplyWithinTheTimeOut", Rule(FaultKind::LateReply, 6, 50, 1500), std::nullopt,
         kAllReports},
        {"StaleRepliesFirst", Rule(FaultKind::StaleReplies, 6, 50), std::nullopt, kAllReports},
        {"GarbageFirst", Rule(FaultKind::Garbage, 6, 50), std::nullopt, kAllReports},
    };
}

class UpdateTrackerFault : public UpdateFixture, public testing::WithParamInterface<FaultCase> {};

TEST_P(UpdateTrackerFault, StopsAtTheFirstUnansweredCommandAndSaysWhich) {
    const FaultCase& row = GetParam();
    tracker.SetFaults(row.faults);
    const auto image = PatternBytes(5000, 11);
    ChooseFiles(image, DigestOf(image));

    RunUpdate();

    Messages expected{std::u16string(msg::kFileCheckMd5Ok)};
    if (row.unanswered) {
        expected.push_back(msg::FirmwareTransferFailed(*row.unanswered));
    }
    expected.push_back(std::u16string(msg::kUnplugAndReboot));
    EXPECT_EQ(ui.Messages(), expected);

    const auto reports = HostReports();
    EXPECT_EQ(reports.size(), row.reportsSent);
    if (row.unanswered && row.unanswered->kind != U::End) {
        for (const auto& report : reports) {
            ASSERT_NE(report.at(3 + payload::kGroup), kGroupFirmwareEnd)
                << "no end command after an unanswered one";
        }
    }
    EXPECT_TRUE(form.IsEnabled(ctl::UpdateButton));
    EXPECT_EQ(form.GetProgress(ctl::UpdateProgress), 0);
}

INSTANTIATE_TEST_SUITE_P(Faults, UpdateTrackerFault, testing::ValuesIn(FaultCases()),
                         [](const testing::TestParamInfo<FaultCase>& row) {
                             return std::string(row.param.name);
                         });

// Giving up at the first silence spares the user the time-outs of every command left.
TEST_F(UpdateCommand, GivesUpOnASilentTrackerAfterOneTimeOut) {
    tracker.SetFaults(Silent());
    const auto image = PatternBytes(100, 12);
    ChooseFiles(image, DigestOf(image));
    const uint64_t before = clock.NowUs();

    RunUpdate();

    const uint64_t elapsedMs = (clock.NowUs() - before) / 1000;
    EXPECT_GE(elapsedMs, 2000u);
    EXPECT_LE(elapsedMs, 2100u);
}

TEST_F(UpdateCommand, ShowsHowFarTheTransferGotUntilTheFailureIsAcknowledged) {
    tracker.SetFaults(Rule(sim::FaultKind::NoReply, 6, 1984));  // block 1983
    const auto image = PatternBytes(100, 13);
    ChooseFiles(image, DigestOf(image));
    int progressAtFailure = -1;
    ui.OnMessage([&](const std::u16string& text) {
        if (text.starts_with(u"FIRMWARE UPDATE FAILED")) {
            progressAtFailure = form.GetProgress(ctl::UpdateProgress);
        }
    });

    RunUpdate();

    EXPECT_EQ(progressAtFailure, 49) << "the last block answered was 1982";
    EXPECT_EQ(form.GetProgress(ctl::UpdateProgress), 0);
}

// The simulated tracker's own check, driven command by command: it takes a good image
// and tells a wrong area digest apart.
class SimFirmwareCheck : public UpdateFixture {
protected:
    sim::FirmwareStatus::Result SendWithEndDigest(const ImageArea& area, const Md5Digest& digest) {
        CHidCmd cmd(Link());
        EXPECT_EQ(cmd.m_io.Open(), 1);
        PutFirmwareStart(areas.payload.data());
        EXPECT_TRUE(Transact(cmd, kWritePolicy));
        for (uint32_t b = 0; b < kFirmwareBlockCount; ++b) {
            PutFirmwareBlock(areas.payload.data(), area, b);
            EXPECT_TRUE(Transact(cmd, kWritePolicy));
        }
        PutFirmwareEnd(areas.payload.data(), digest);
        EXPECT_TRUE(Transact(cmd, kWritePolicy));
        return tracker.Firmware().result;
    }
};

TEST_F(SimFirmwareCheck, AcceptsTheAreaWithItsDigest) {
    const ImageArea area = AreaOf(PatternBytes(100, 14));
    EXPECT_EQ(SendWithEndDigest(area, Md5::Of(area.data(), area.size())),
              sim::FirmwareStatus::Accepted);
}

TEST_F(SimFirmwareCheck, ReportsTheDigestOfTheImageAloneAsAMismatch) {
    const auto image = PatternBytes(100, 15);
    EXPECT_EQ(SendWithEndDigest(AreaOf(image), Md5::Of(image.data(), image.size())),
              sim::FirmwareStatus::DigestMismatch);
}

}  // namespace
}  // namespace quarnel::test
