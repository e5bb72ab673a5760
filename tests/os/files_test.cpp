// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "os/files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace quarnel {
namespace {

// A folder of its own under the system's temporary folder, removed with the object.
class Scratch {
public:
    Scratch() {
        std::random_device seed;
        m_path = std::filesystem::temp_directory_path() / ("quarnel-os-" + std::to_string(seed()));
        std::filesystem::create_directories(m_path);
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const std::filesystem::path& path, const std::string& bytes) {
    const int fd = os::Open(path, os::Access::WriteEmpty);
    ASSERT_GE(fd, 0) << os::Utf8FromPath(path);
    ASSERT_EQ(os::WriteSome(fd, bytes.data(), bytes.size()), static_cast<int64_t>(bytes.size()));
    ASSERT_TRUE(os::Close(fd));
}

TEST(OsPaths, KeepEveryCharacterOfAUtf8NameBothWays) {
    const std::string name = "\xCE\xA9mega/\xE6\x97\xA5\xE6\x9C\xAC.csv";  // Ωmega/日本.csv
    const std::filesystem::path path = os::PathFromUtf8(name);
    EXPECT_EQ(os::Utf8FromPath(path), name);
    EXPECT_EQ(os::Utf8FromPath(path.filename()), "\xE6\x97\xA5\xE6\x9C\xAC.csv");
}

TEST(OsFiles, WriteAFileNamedInAnyScript) {
    Scratch dir;
    const auto folder = dir.path() / os::PathFromUtf8("\xCE\xA9mega");
    std::filesystem::create_directory(folder);
    const auto file = folder / os::PathFromUtf8("\xE6\x97\xA5\xE6\x9C\xAC.csv");
    Write(file, "x");
    EXPECT_EQ(Read(file), "x");
}

TEST(OsFiles, WriteLineEndsByteForByte) {
    Scratch dir;
    const auto file = dir.path() / "lines.csv";
    Write(file, "a\r\nb\nc\r");
    EXPECT_EQ(Read(file), "a\r\nb\nc\r") << "no line-end translation";
}

TEST(OsFiles, ReplaceByRenameReplacesTheFileThere) {
    Scratch dir;
    const auto target = dir.path() / "profile.ini";
    Write(target, "old");
    std::filesystem::path temp;
    const int fd = os::CreateBeside(target, temp);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(temp.parent_path(), target.parent_path());
    ASSERT_EQ(os::WriteSome(fd, "new", 3), 3);
    ASSERT_TRUE(os::Close(fd));
    ASSERT_TRUE(os::ReplaceByRename(temp, target)) << errno;
    EXPECT_EQ(Read(target), "new");
    EXPECT_FALSE(std::filesystem::exists(temp));
}

TEST(OsFiles, AFolderNamedAsAFileIsSaidToBeOne) {
    Scratch dir;
    errno = 0;
    EXPECT_EQ(os::Open(dir.path(), os::Access::WriteEmpty), -1);
    EXPECT_EQ(errno, EISDIR);
    os::FileInfo info;
    ASSERT_TRUE(os::Stat(os::PathFromUtf8(os::Utf8FromPath(dir.path()) + "/"), info))
        << "a folder named with a separator at its end";
    EXPECT_TRUE(info.folder);
    EXPECT_FALSE(info.regular);
}

TEST(OsFiles, TruncateCutsTheFileAndMovesToItsEnd) {
    Scratch dir;
    const auto file = dir.path() / "log.csv";
    const int fd = os::Open(file, os::Access::ReadWriteEmpty);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(os::WriteSome(fd, "line 1\r\nline", 12), 12);
    ASSERT_TRUE(os::Truncate(fd, 8));
    ASSERT_EQ(os::WriteSome(fd, "more", 4), 4);
    os::FileInfo info;
    ASSERT_TRUE(os::Stat(fd, info));
    EXPECT_EQ(info.size, 12u);
    ASSERT_TRUE(os::Close(fd));
    EXPECT_EQ(Read(file), "line 1\r\nmore");
}

}  // namespace
}  // namespace quarnel
