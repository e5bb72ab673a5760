// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

// Readable names for the cases of parameterised tests, so that the test list and a
// failure in CI say which case it is ("Cases/SetParameterRefusalTest.SendsNothing/Apn54,
// where GetParam() = Apn54") instead of a number and a byte dump of the row.

namespace quarnel::test {

// A table row that carries its case's name.
template <typename Row>
concept NamedRow = requires(const Row& row) {
    std::string_view(row.name);
};

// The fourth argument of INSTANTIATE_TEST_SUITE_P: each case is named after its row.
struct RowName {
    template <NamedRow Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& row) const {
        return std::string(row.param.name);
    }
};

// Prints a row as its name wherever GoogleTest shows a parameter. GoogleTest finds it by
// argument-dependent lookup, so a test file brings it into the namespace its rows are
// declared in: `using test::PrintTo;`.
template <NamedRow Row>
void PrintTo(const Row& row, std::ostream* os) {
    *os << std::string_view(row.name);
}

}  // namespace quarnel::test
