// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "firmware/input_file.h"

#include <gtest/gtest.h>

#include <vector>

#include "firmware/temp_dir.h"

namespace quarnel {
namespace {

TEST(InputFile, ReadsUpToTheLimitAndNoFurther) {
    test::TempDir dir;
    const auto path = dir.Write("image.bin", std::string(300, 'x'));
    InputFile file;
    ASSERT_TRUE(file.Open(path));
    std::vector<uint8_t> buffer(256, 0);
    size_t got = 0;
    EXPECT_TRUE(file.Read(buffer.data(), buffer.size(), got));
    EXPECT_EQ(got, 256u);
}

TEST(InputFile, ReadsAShortFileWhole) {
    test::TempDir dir;
    const auto path = dir.Write("digest.md5", std::string("abc"));
    InputFile file;
    ASSERT_TRUE(file.Open(path));
    std::vector<uint8_t> buffer(256, 0);
    size_t got = 0;
    EXPECT_TRUE(file.Read(buffer.data(), buffer.size(), got));
    EXPECT_EQ(got, 3u);
    EXPECT_EQ(buffer[0], 'a');
    EXPECT_EQ(buffer[3], 0);
}

TEST(InputFile, CannotOpenAMissingFile) {
    test::TempDir dir;
    InputFile file;
    EXPECT_FALSE(file.Open(dir.Path() / "missing.bin"));
    size_t got = 1;
    uint8_t byte = 0;
    EXPECT_FALSE(file.Read(&byte, 1, got));
    EXPECT_EQ(got, 0u);
}

// A folder opens for reading here but cannot be read: a read error, not an empty file.
TEST(InputFile, ReportsAFolderAsUnreadable) {
    test::TempDir dir;
    InputFile file;
    ASSERT_TRUE(file.Open(dir.Path()));
    std::vector<uint8_t> buffer(16, 0);
    size_t got = 0;
    EXPECT_FALSE(file.Read(buffer.data(), buffer.size(), got));
    EXPECT_EQ(got, 0u);
}

// The process's own memory file fails its read at address 0 with an I/O error.
TEST(InputFile, ReportsAnIoErrorAsUnreadable) {
    InputFile file;
    ASSERT_TRUE(file.Open("/proc/self/mem"));
    std::vector<uint8_t> buffer(16, 0);
    size_t got = 0;
    EXPECT_FALSE(file.Read(buffer.data(), buffer.size(), got));
}

}  // namespace
}  // namespace quarnel
