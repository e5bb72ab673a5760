// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Record times are local time; these tests run in UTC so exact times can be asserted.
// Set before any test (and any thread) starts.
#include <gtest/gtest.h>

#include "support/time_zone.h"

namespace {

class PinUtc : public ::testing::Environment {
public:
    void SetUp() override { quarnel::test::SetTimeZone("UTC"); }
};

[[maybe_unused]] ::testing::Environment* const kPinUtc =
    ::testing::AddGlobalTestEnvironment(new PinUtc);

}  // namespace
