// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace quarnel::gadget {

// The file operations that building a USB gadget in configfs needs, each one call on one
// path. configfs is not an ordinary file system: a directory made there comes with its
// attribute files already in it, an attribute is changed by writing it whole, and a
// directory goes with its attributes by one rmdir (the attributes cannot be unlinked).
// Tests hand in a tree of their own to watch the calls or make them fail.
//
// Every call returns 0 on success and the errno value on failure.
class ConfigTree {
public:
    virtual ~ConfigTree() = default;

    virtual int MakeDir(const std::filesystem::path& dir) = 0;
    // Writes `bytes` to an attribute in one write, as configfs wants it.
    virtual int WriteAttribute(const std::filesystem::path& file,
                               const std::vector<uint8_t>& bytes) = 0;
    virtual int ReadAttribute(const std::filesystem::path& file, std::string& text) = 0;
    virtual int MakeLink(const std::filesystem::path& target,
                         const std::filesystem::path& link) = 0;
    virtual int RemoveLink(const std::filesystem::path& link) = 0;
    virtual int RemoveDir(const std::filesystem::path& dir) = 0;
    virtual bool IsDir(const std::filesystem::path& dir) = 0;
    // The names in a directory (without "." and ".."), sorted; empty when it cannot be read.
    virtual std::vector<std::string> List(const std::filesystem::path& dir) = 0;
};

// The tree the kernel shows: plain system calls on the paths as given.
class SystemConfigTree final : public ConfigTree {
public:
    int MakeDir(const std::filesystem::path& dir) override;
    int WriteAttribute(const std::filesystem::path& file,
                       const std::vector<uint8_t>& bytes) override;
    int ReadAttribute(const std::filesystem::path& file, std::string& text) override;
    int MakeLink(const std::filesystem::path& target, const std::filesystem::path& link) override;
    int RemoveLink(const std::filesystem::path& link) override;
    int RemoveDir(const std::filesystem::path& dir) override;
    bool IsDir(const std::filesystem::path& dir) override;
    std::vector<std::string> List(const std::filesystem::path& dir) override;
};

// An attribute's bytes as `echo TEXT > attribute` writes them: the text and a line end.
std::vector<uint8_t> AttributeText(const std::string& text);

}  // namespace quarnel::gadget
