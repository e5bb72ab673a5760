// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gpslog/csv_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "gpslog/log_test_support.h"

namespace quarnel {
namespace {

TEST(CsvFile, CreateEmptiesAnExistingFileAndWritesBytesUnchanged) {
    test::TempDir dir;
    const auto path = dir.File("log.csv");
    std::ofstream(path, std::ios::binary) << "an older and much longer file\n\n\n";

    CsvFile file;
    ASSERT_TRUE(file.Create(path));
    EXPECT_TRUE(file.Write("A,B\r\n"));
    EXPECT_TRUE(file.Write("\n\r\x01\xff"));
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(test::ReadBytes(path), std::string("A,B\r\n\n\r\x01\xff"));
}

TEST(CsvFile, CreateFailsInAFolderThatDoesNotExist) {
    test::TempDir dir;
    CsvFile file;
    EXPECT_FALSE(file.Create(dir.File("missing") / "log.csv"));
    EXPECT_EQ(file.Error(), std::errc::no_such_file_or_directory);
    EXPECT_FALSE(file.Write("x"));
}

TEST(CsvFile, AFullDeviceReportsTheWriteAsFailed) {
    CsvFile file;
    ASSERT_TRUE(file.Create("/dev/full"));
    EXPECT_FALSE(file.Write("INDEX\r\n"));
    EXPECT_EQ(file.Error(), std::errc::no_space_on_device);
    EXPECT_TRUE(file.Close());
}

TEST(CsvFile, AWriteCutShortIsTakenBackSoOnlyWholeLinesRemain) {
    if (!test::kHaveFileSizeLimit) {
        GTEST_SKIP() << test::kNoFileSizeLimit;
    }

    test::TempDir dir;
    const auto path = dir.File("log.csv");
    CsvFile file;
    ASSERT_TRUE(file.Create(path));
    {
        test::FileSizeLimit limit(15);
        EXPECT_TRUE(file.Write("line 1\r\n"));
        EXPECT_FALSE(file.Write("line 2\r\n"));  // only 7 of its 8 bytes fit
        EXPECT_EQ(file.Error(), std::errc::file_too_large);
    }
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(test::ReadBytes(path), "line 1\r\n");
}

}  // namespace
}  // namespace quarnel
