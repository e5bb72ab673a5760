// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "i18n/file_bytes.h"

#include <gtest/gtest.h>

#include "i18n/i18n_test_files.h"
#include "support/named_pipe.h"

namespace quarnel {
namespace {

TEST(ReadFileBytes, ReturnsEveryByteOfARegularFile) {
    test::TempDir dir;
    std::string bytes(100000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7);
    }
    EXPECT_EQ(ReadFileBytes(dir.Write("f.ini", bytes)), bytes);
}

TEST(ReadFileBytes, EmptyFileIsReadable) {
    test::TempDir dir;
    EXPECT_EQ(ReadFileBytes(dir.Write("f.ini", "")), std::string());
}

TEST(ReadFileBytes, FollowsSymbolicLinks) {
    test::TempDir dir;
    const auto target = dir.Write("real.ini", "abc");
    std::error_code made;
    std::filesystem::create_symlink(target, dir.path() / "link.ini", made);
    if (made) {
        // Windows lets only administrators (or developer mode) make symbolic links.
        GTEST_SKIP() << "cannot make a symbolic link here: " << made.message();
    }
    EXPECT_EQ(ReadFileBytes(dir.path() / "link.ini"), "abc");
}

TEST(ReadFileBytes, RefusesWhatIsNoRegularFile) {
    test::TempDir dir;
    EXPECT_EQ(ReadFileBytes(dir.path() / "missing.ini"), std::nullopt);
    EXPECT_EQ(ReadFileBytes(dir.path()), std::nullopt) << "a folder";
}

TEST(ReadFileBytes, RefusesAPipeWithoutWaitingAndAnEndlessDevice) {
    test::TempDir dir;
    const auto fifo = dir.path() / "pipe";
    if (!test::MakeNamedPipe(fifo)) {
        GTEST_SKIP() << test::kNoNamedPipes;
    }
    EXPECT_EQ(ReadFileBytes(fifo), std::nullopt) << "a pipe, without waiting for a writer";
    EXPECT_EQ(ReadFileBytes("/dev/zero"), std::nullopt) << "an endless device";
}

}  // namespace
}  // namespace quarnel
