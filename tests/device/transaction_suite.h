// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The transaction tests that every backend must pass, written once and run on each: the
// in-process simulated backend and the production hidapi backend on a umockdev hidraw node.
//
// A rig type provides:
//   DeviceLink Link();              the backend, its clock and the command areas
//   sim::SimTracker& Tracker();     the tracker behind it
//   const char* SkipReason();       why the rig cannot run here, or nullptr
// Waits that must run out use short time-outs, because on hidapi they pass in real time.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "device/hid_cmd.h"
#include "sim/sim_items.h"
#include "sim/sim_tracker.h"
#include "support/item_read.h"
#include "support/sim_fixture.h"

namespace quarnel::test {

// A reply time-out short enough for real time, long enough for a loaded machine to answer.
inline constexpr uint32_t kShortTimeoutMs = 150;

template <typename Rig>
class TransactionSuite : public ::testing::Test {
protected:
    void SetUp() override {
        m_rig = std::make_unique<Rig>();
        if (const char* why = m_rig->SkipReason()) {
            GTEST_SKIP() << why;
        }
    }

    DeviceLink Link() { return m_rig->Link(); }
    sim::SimTracker& Tracker() { return m_rig->Tracker(); }
    CommandAreas& Areas() { return m_rig->Link().areas; }

    void Fault(sim::FaultRule rule) {
        sim::SimFaults faults;
        faults.rules.push_back(rule);
        Tracker().SetFaults(faults);
    }

    // "Read item `index` of `group`" in the payload area.
    void PutItemRead(int group, int index) { test::PutItemRead(Areas(), index, group); }

    // The tracker's reply data for an item: its value, and a zero after a text.
    std::vector<uint8_t> ItemReply(int group, int index) {
        std::vector<uint8_t> value = Tracker().State().items.at({group, index});
        const sim::SimItem* item = sim::FindSimItem(group, index);
        if (item != nullptr && item->kind == sim::SimItemKind::Text) {
            value.push_back(0);
        }
        return value;
    }

    bool ReplyAreaStartsWith(const std::vector<uint8_t>& data) {
        const auto& reply = Areas().reply;
        return data.size() <= reply.size() && std::equal(data.begin(), data.end(), reply.begin());
    }

    std::vector<int> SentSequenceNumbers() { return test::SentSequenceNumbers(Tracker()); }

    std::unique_ptr<Rig> m_rig;
};

TYPED_TEST_SUITE_P(TransactionSuite);

TYPED_TEST_P(TransactionSuite, FindsTheTrackerAndReadsAnItemWithSequence19) {
    CHidCmd cmd(this->Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    this->PutItemRead(0, 8);
    EXPECT_TRUE(Transact(cmd, kReadPolicy));
    EXPECT_TRUE(this->ReplyAreaStartsWith(this->ItemReply(0, 8)));

    const auto transcript = this->Tracker().Transcript();
    ASSERT_FALSE(transcript.empty());
    const std::vector<uint8_t>& command = transcript.front().bytes;
    ASSERT_EQ(command.size(), kReportSize);
    EXPECT_EQ(command[0], 0) << "report ID";
    EXPECT_EQ(command[1], 19);
    EXPECT_EQ(command[2], 62);
    EXPECT_TRUE(std::equal(command.begin() + 3, command.end(), this->Areas().payload.begin()));
}

TYPED_TEST_P(TransactionSuite, SequenceNumbersRunFrom19AndWrapAfter127) {
    CHidCmd cmd(this->Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    for (int i = 0; i < 111; ++i) {
        this->PutItemRead(i % 2, 1 + i % 7);
        ASSERT_TRUE(Transact(cmd, kReadPolicy)) << "transaction " << i + 1;
        ASSERT_TRUE(this->ReplyAreaStartsWith(this->ItemReply(i % 2, 1 + i % 7)));
    }
    const std::vector<int> seq = this->SentSequenceNumbers();
    ASSERT_EQ(seq.size(), 111u);
    EXPECT_EQ(seq[0], 19);
    EXPECT_EQ(seq[108], 127);
    EXPECT_EQ(seq[109], 0) << "the 110th command";
    EXPECT_EQ(seq[110], 1) << "the 111th command";
}

TYPED_TEST_P(TransactionSuite, StaleRepliesOfEarlierCommandsAreSkipped) {
    CHidCmd cmd(this->Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    this->Fault({.kind = sim::FaultKind::StaleReplies, .from = 3, .reports = 2});
    for (int index = 1; index <= 7; ++index) {
        this->PutItemRead(0, index);
        ASSERT_TRUE(Transact(cmd, kReadPolicy)) << "item " << index;
        EXPECT_TRUE(this->ReplyAreaStartsWith(this->ItemReply(0, index))) << "item " << index;
    }
}

TYPED_TEST_P(TransactionSuite, GarbageBeforeTheReplyIsSkipped) {
    CHidCmd cmd(this->Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    this->Fault({.kind = sim::FaultKind::Garbage, .reports = 20});
    this->PutItemRead(1, 0);
    EXPECT_TRUE(Transact(cmd, kReadPolicy));
    EXPECT_TRUE(this->ReplyAreaStartsWith(this->ItemReply(1, 0)));
}

TYPED_TEST_P(TransactionSuite, AReplyTooShortToCarryASequenceIsDiscarded) {
    CHidCmd cmd(this->Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    this->Fault({.kind = sim::FaultKind::ShortReport, .count = 1, .length = 2});
    this->PutItemRead(0, 8);
    EXPECT_FALSE(Transact(cmd, ReplyPolicy{true, kShortTimeoutMs}));
    for (uint8_t b : this->Areas().reply) {
        ASSERT_EQ(b, 0);
    }
    this->PutItemRead(0, 8);
    EXPECT_TRUE(Transact(cmd, kReadPolicy));
    EXPECT_TRUE(this->ReplyAreaStartsWith(this->ItemReply(0, 8)));
}

TYPED_TEST_P(TransactionSuite, ASilentTrackerReadsAsZerosForAClearingCaller) {
    CHidCmd cmd(this->Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    this->PutItemRead(0, 8);
    ASSERT_TRUE(Transact(cmd, kReadPolicy));
    this->Fault({.kind = sim::FaultKind::NoReply});
    this->PutItemRead(0, 8);
    EXPECT_FALSE(Transact(cmd, ReplyPolicy{true, kShortTimeoutMs}));
    for (uint8_t b : this->Areas().reply) {
        ASSERT_EQ(b, 0);
    }
}

TYPED_TEST_P(TransactionSuite, ASilentTrackerLeavesTheLastReplyForANonClearingCaller) {
    CHidCmd cmd(this->Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    this->PutItemRead(0, 8);
    ASSERT_TRUE(Transact(cmd, kReadPolicy));
    const auto previous = this->Areas().reply;
    this->Fault({.kind = sim::FaultKind::NoReply});
    this->PutItemRead(1, 0);
    EXPECT_FALSE(Transact(cmd, ReplyPolicy{false, kShortTimeoutMs}));
    EXPECT_EQ(this->Areas().reply, previous);
}

TYPED_TEST_P(TransactionSuite, AReplyThatComesTooLateIsSkippedLater) {
    CHidCmd cmd(this->Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    this->Fault({.kind = sim::FaultKind::LateReply, .count = 1, .delayMs = 2 * kShortTimeoutMs});
    this->PutItemRead(0, 8);
    EXPECT_FALSE(Transact(cmd, ReplyPolicy{true, kShortTimeoutMs}));
    for (int index = 1; index <= 3; ++index) {
        this->PutItemRead(0, index);
        ASSERT_TRUE(Transact(cmd, ReplyPolicy{true, 4 * kShortTimeoutMs})) << "item " << index;
        EXPECT_TRUE(this->ReplyAreaStartsWith(this->ItemReply(0, index))) << "item " << index;
    }
}

TYPED_TEST_P(TransactionSuite, TwoObjectsCountTheirSequencesIndependently) {
    CHidCmd outer(this->Link());
    ASSERT_EQ(outer.m_io.Open(), 1);
    this->PutItemRead(0, 1);
    ASSERT_TRUE(Transact(outer, kReadPolicy));
    {
        CHidCmd inner(this->Link());
        ASSERT_EQ(inner.m_io.Open(), 1);
        this->PutItemRead(0, 2);
        ASSERT_TRUE(Transact(inner, kReadPolicy));
        EXPECT_TRUE(this->ReplyAreaStartsWith(this->ItemReply(0, 2)));
    }
    this->PutItemRead(0, 3);
    ASSERT_TRUE(Transact(outer, kReadPolicy));
    EXPECT_TRUE(this->ReplyAreaStartsWith(this->ItemReply(0, 3)));
    EXPECT_EQ(this->SentSequenceNumbers(), (std::vector<int>{19, 19, 20}));
}

REGISTER_TYPED_TEST_SUITE_P(TransactionSuite, FindsTheTrackerAndReadsAnItemWithSequence19,
                            SequenceNumbersRunFrom19AndWrapAfter127,
                            StaleRepliesOfEarlierCommandsAreSkipped, GarbageBeforeTheReplyIsSkipped,
                            AReplyTooShortToCarryASequenceIsDiscarded,
                            ASilentTrackerReadsAsZerosForAClearingCaller,
                            ASilentTrackerLeavesTheLastReplyForANonClearingCaller,
                            AReplyThatComesTooLateIsSkippedLater,
                            TwoObjectsCountTheirSequencesIndependently);

}  // namespace quarnel::test
