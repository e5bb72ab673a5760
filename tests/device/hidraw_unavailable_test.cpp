// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Stands in for the hidraw tests where umockdev is not installed, so that they show up as
// skipped instead of silently missing.
#include <gtest/gtest.h>

TEST(HidapiOnHidraw, NeedsUmockdev) {
    GTEST_SKIP() << "umockdev (libumockdev-dev, umockdev-wrapper) is not installed";
}
